#include "foundation/Trace.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <iostream>
#include <map>

namespace {

int traceDepth = 0;

std::map<std::string, int>& enterCounts() {
  static std::map<std::string, int> counts;
  return counts;
}

} // namespace

void traceIndent() {
  for (int i = 0; i < traceDepth; ++i) std::cout << "|   ";
}

bool Trace::initiallyEnabled() {
  const char* setting = std::getenv("OSTREL_TRACE");
  return setting == nullptr || std::strcmp(setting, "0") != 0;
}

void OBSOLETE(const std::string& oldCall, const std::string& replacement) {
  if (!Trace::isEnabled()) return;
  traceIndent();
  std::cout << "*** WARNING: Obsolete call to " << oldCall << "\n";
  traceIndent();
  std::cout << "***   Replace by call to: " << replacement << "\n";
}

void Trace::enterFunction(const std::string& name) {
  if (!isEnabled()) return;
  const int count = ++enterCounts()[name];
  traceIndent();
  std::cout << "ENTER> \033[1;33m" << name << "\033[0m [" << count << "]\n";
  ++traceDepth;
}

void Trace::leaveFunction(const std::string& name) {
  if (!isEnabled()) return;
  --traceDepth;
  traceIndent();
  std::cout << "LEAVE> \033[33m" << name << "\033[0m\n";
}

void Trace::print(const std::string& message) {
  if (!isEnabled()) return;
  traceIndent();
  std::cout << "PRINT> \033[34;1m" << message << "\033[0m\n";
}

void Trace::eval(const std::string& expression) {
  if (!isEnabled()) return;
  traceIndent();
  std::cout << "EVAL> " << expression << " = ";
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
