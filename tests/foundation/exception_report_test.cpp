// The exact bytes of exception reports: every failure of the program reaches the user this way.
#include "foundation/Exception.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string reportOf(const Exception& e) {
  std::ostringstream out;
  out << e;
  return out.str();
}

} // namespace

TEST(ExceptionReport, CallersAreNumberedFromOneAfterTheRaisingFunction) {
  ValueError e;
  e.setWhere("void Thing::raise(int)");
  e.setWhat("Bad value");
  e.addWhere("void Caller::first(...)");
  e.addCall("int main()");
  EXPECT_EQ(e.callStack(), "[0] void Thing::raise(int)\n[1] void Caller::first(...)\n[2] int main()");
  EXPECT_EQ(reportOf(e), "Exception raised:\n"
                         "  What: Bad value\n"
                         "  Where: void Thing::raise(int)\n"
                         "  Calls: [0] void Thing::raise(int)\n"
                         "[1] void Caller::first(...)\n"
                         "[2] int main()\n");
}

TEST(ExceptionReport, FileErrorsEndWithTheFileNameEvenWhenEmpty) {
  FileFormatError e;
  e.setWhere("void Shape<T>::load(const string&)");
  e.setWhat("Bad header");
  e.setFilename("/tmp/a b.vx");
  EXPECT_EQ(reportOf(e), "Exception raised:\n"
                         "  What: Bad header\n"
                         "  Where: void Shape<T>::load(const string&)\n"
                         "  Calls: [0] void Shape<T>::load(const string&)\n"
                         "  Filename: /tmp/a b.vx\n");
  EXPECT_EQ(reportOf(FileError()), "Exception raised:\n"
                                   "  What: Undocumented file error\n"
                                   "  Where: <unknown>\n"
                                   "  Calls: [0] <unknown>\n"
                                   "  Filename: \n"); // even when empty
}

TEST(ExceptionClasses, FileFormatErrorsAreCaughtAsFileErrors) {
  EXPECT_THROW(throw FileFormatError(), FileError);
  EXPECT_THROW(throw FileWriteError(), Exception);
  EXPECT_THROW(throw DepthError(), Exception);
}
