#include "foundation/Trace.h"

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

void Trace::enterFunction(const std::string& name) {
  const int count = ++enterCounts()[name];
  traceIndent();
  std::cout << "ENTER> \033[1;33m" << name << "\033[0m [" << count << "]\n";
  ++traceDepth;
}

void Trace::leaveFunction(const std::string& name) {
  --traceDepth;
  traceIndent();
  std::cout << "LEAVE> \033[33m" << name << "\033[0m\n";
}

void Trace::print(const std::string& message) {
  traceIndent();
  std::cout << "PRINT> \033[34;1m" << message << "\033[0m\n";
}

void Trace::eval(const std::string& expression) {
  traceIndent();
  std::cout << "EVAL> " << expression << " = ";
}

int Trace::depth() {
  return traceDepth;
}

Trace::Scope::Scope(std::string name) : _name(std::move(name)), _uncaught(std::uncaught_exceptions()) {
  enterFunction(_name);
}

Trace::Scope::~Scope() {
  if (std::uncaught_exceptions() == _uncaught) leaveFunction(_name);
}

void OBSOLETE(const std::string& oldCall, const std::string& newCall) {
  traceIndent();
  std::cout << "*** WARNING: Obsolete call to " << oldCall << "\n";
  traceIndent();
  std::cout << "***   Replace by call to: " << newCall << "\n";
}
