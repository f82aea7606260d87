#include "foundation/Exception.h"

#include <ostream>

void Exception::addWhere(const std::string& caller) {
  ++_numCalls;
  const std::string entry = "[" + std::to_string(_numCalls) + "] " + caller;
  if (_numCalls == 1)
    _calls = entry;
  else
    _calls += "\n" + entry;
}

std::string Exception::callStack() const {
  std::string stack = "[0] " + _where;
  if (_numCalls != 0) stack += "\n" + _calls;
  return stack;
}

void Exception::print(std::ostream& os) const {
  os << "Exception raised:" << std::endl;
  os << "  What: " << _what << std::endl;
  os << "  Where: " << _where << std::endl;
  os << "  Calls: " << callStack() << std::endl;
}

std::ostream& operator<<(std::ostream& os, const Exception& e) {
  e.print(os);
  return os;
}

void FileError::print(std::ostream& os) const {
  Exception::print(os);
  os << "  Filename: " << _filename << std::endl;
}
