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
