// The exact bytes of exception reports and trace lines: every failure of the program reaches the user
// this way, and the tracer's colours and indent are read by people following a run.
#include "foundation/Exception.h"
#include "foundation/Trace.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

TEST(ExceptionReport, FileErrorsEndWithTheFileNameEvenWhenEmpty) {
  FileFormatError e;
  e.setWhere("void Shape<T>::load(const string&)");
  e.setWhat("Bad header");
  e.setFilename("/tmp/a b.vx");
  std::ostringstream out;
  out << e << FileError();
  EXPECT_EQ(out.str(), "Exception raised:\n  What: Bad header\n  Where: void Shape<T>::load(const string&)\n"
                       "  Calls: [0] void Shape<T>::load(const string&)\n  Filename: /tmp/a b.vx\n"
                       "Exception raised:\n  What: Undocumented file error\n  Where: <unknown>\n"
                       "  Calls: [0] <unknown>\n  Filename: \n");
}

TEST(Trace, EnterAndLeaveWriteColouredLinesAroundAnIndentedPrint) {
  std::ostringstream out;
  std::streambuf* const standardOutput = std::cout.rdbuf(out.rdbuf());
  Trace::enterFunction("void A::f()");
  Trace::print("hello");
  Trace::leaveFunction("void A::f()");
  std::cout.rdbuf(standardOutput);
  EXPECT_EQ(out.str(), "ENTER> \033[1;33mvoid A::f()\033[0m [1]\n"
                       "|   PRINT> \033[34;1mhello\033[0m\n"
                       "LEAVE> \033[33mvoid A::f()\033[0m\n");
  EXPECT_EQ(Trace::depth(), 0);
}
