#include "foundation/Trace.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>
#include <mutex>

namespace {

// Files are read on a loading thread while the GUI thread draws, and both trace: each thread nests
// on its own, and the counts and the output are shared under one lock.
thread_local int traceDepth = 0;
std::mutex traceMutex;

std::map<std::string, int>& enterCounts() {
  static std::map<std::string, int> counts;
  return counts;
}

// Writes text after the current thread's indent, as one piece that no other thread's line splits.
void writeIndented(const std::string& text) {
  std::string line;
  for (int i = 0; i < traceDepth; ++i) line += "|   ";
  line += text;
  const std::lock_guard<std::mutex> lock(traceMutex);
  std::cout << line;
}

} // namespace

void traceIndent() {
  writeIndented("");
}

bool Trace::initiallyEnabled() {
  const char* setting = std::getenv("OSTREL_TRACE");
  return setting == nullptr || std::strcmp(setting, "0") != 0;
}

void OBSOLETE(const std::string& oldCall, const std::string& replacement) {
  if (!Trace::isEnabled()) return;
  writeIndented("*** WARNING: Obsolete call to " + oldCall + "\n");
  writeIndented("***   Replace by call to: " + replacement + "\n");
}

void Trace::enterFunction(const std::string& name) {
  if (!isEnabled()) return;
  int count = 0;
  {
    const std::lock_guard<std::mutex> lock(traceMutex);
    count = ++enterCounts()[name];
  }
  writeIndented("ENTER> \033[1;33m" + name + "\033[0m [" + std::to_string(count) + "]\n");
  ++traceDepth;
}

void Trace::leaveFunction(const std::string& name) {
  if (!isEnabled()) return;
  --traceDepth;
  writeIndented("LEAVE> \033[33m" + name + "\033[0m\n");
}

void Trace::print(const std::string& message) {
  if (!isEnabled()) return;
  writeIndented("PRINT> \033[34;1m" + message + "\033[0m\n");
}

void Trace::eval(const std::string& expression) {
  if (!isEnabled()) return;
  writeIndented("EVAL> " + expression + " = ");
}

int Trace::depth() {
  return traceDepth;
}

void Trace::Scope::enter() {
  _uncaught = std::uncaught_exceptions();
  enterFunction(_name);
}

void Trace::Scope::leave() {
  if (std::uncaught_exceptions() == _uncaught) leaveFunction(_name);
}
