// The tracer's lines: colours and indent.
#include "foundation/Trace.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

// Captures what the tracer writes to the standard output while it lives.
class CapturedOutput {
public:
  CapturedOutput() : _previous(std::cout.rdbuf(_buffer.rdbuf())) {}
  ~CapturedOutput() { std::cout.rdbuf(_previous); }
  std::string text() const { return _buffer.str(); }

private:
  std::ostringstream _buffer;
  std::streambuf* _previous;
};

} // namespace

TEST(Trace, EnterAndLeaveWriteColouredLinesAroundAnIndentedPrint) {
  CapturedOutput out;
  Trace::enterFunction("void A::f()");
  Trace::print("hello");
  Trace::leaveFunction("void A::f()");
  EXPECT_EQ(out.text(), "ENTER> \033[1;33mvoid A::f()\033[0m [1]\n"
                        "|   PRINT> \033[34;1mhello\033[0m\n"
                        "LEAVE> \033[33mvoid A::f()\033[0m\n");
  EXPECT_EQ(Trace::depth(), 0);
}
