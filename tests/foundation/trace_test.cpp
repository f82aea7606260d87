// The tracer's lines: colours, indent, per-name counts and depth rules.
#include "foundation/Trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <stdexcept>

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

// Every test leaves the depth where it found it, whatever it did.
class TraceTest : public testing::Test {
protected:
  void TearDown() override {
    CapturedOutput discard;
    while (Trace::depth() > _depth) Trace::leaveFunction("reset");
    while (Trace::depth() < _depth) Trace::enterFunction("reset");
  }
  int _depth = Trace::depth();
};

} // namespace

TEST_F(TraceTest, EnterAndLeaveWriteColouredLinesAroundAnIndentedPrint) {
  CapturedOutput out;
  Trace::enterFunction("void A::f()");
  Trace::print("hello");
  Trace::leaveFunction("void A::f()");
  EXPECT_EQ(out.text(), "ENTER> \033[1;33mvoid A::f()\033[0m [1]\n"
                        "|   PRINT> \033[34;1mhello\033[0m\n"
                        "LEAVE> \033[33mvoid A::f()\033[0m\n");
  EXPECT_EQ(Trace::depth(), 0);
}

TEST_F(TraceTest, NestedCallsIndentByOneBarPerLevel) {
  CapturedOutput out;
  Trace::enterFunction("outer");
  Trace::enterFunction("inner");
  traceValue("x", 42);
  Trace::leaveFunction("inner");
  Trace::leaveFunction("outer");
  EXPECT_EQ(out.text(), "ENTER> \033[1;33mouter\033[0m [1]\n"
                        "|   ENTER> \033[1;33minner\033[0m [1]\n"
                        "|   |   EVAL> x = \033[35;1m42\033[0m\n"
                        "|   LEAVE> \033[33minner\033[0m\n"
                        "LEAVE> \033[33mouter\033[0m\n");
}

TEST_F(TraceTest, ScopeLeavesOnReturnButNotWhenAnExceptionUnwindsIt) {
  CapturedOutput out;
  { Trace::Scope scope("normal"); }
  EXPECT_EQ(Trace::depth(), 0);
  try {
    Trace::Scope scope("throwing");
    throw std::runtime_error("x");
  } catch (std::exception&) {
  }
  EXPECT_EQ(Trace::depth(), 1);
  EXPECT_EQ(out.text().find("LEAVE> \033[33mthrowing"), std::string::npos);
}

// CTest runs this once more with OSTREL_TRACE=0 in the environment.
TEST(TraceSwitch, FollowsTheEnvironmentVariable) {
  const char* setting = std::getenv("OSTREL_TRACE");
  EXPECT_EQ(Trace::isEnabled(), setting == nullptr || std::strcmp(setting, "0") != 0);
}
