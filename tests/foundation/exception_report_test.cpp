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

template <class E> std::string defaultWhat() {
  return E().getWhat();
}

} // namespace

TEST(ExceptionReport, DefaultConstructedPrintsPlaceholders) {
  EXPECT_EQ(reportOf(Exception()), "Exception raised:\n"
                                   "  What: Undocumented error\n"
                                   "  Where: <unknown>\n"
                                   "  Calls: [0] <unknown>\n");
}

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

TEST(ExceptionReport, SingleCallerReplacesThePlaceholder) {
  Exception e;
  e.addWhere("f()");
  EXPECT_EQ(e.callStack(), "[0] <unknown>\n[1] f()");
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
                                   "  Filename: \n");
}

TEST(ExceptionReport, FileErrorPrintsItsNameWhenCaughtAsTheRoot) {
  try {
    FileReadError e;
    e.setFilename("x.tm");
    throw e;
  } catch (Exception& e) {
    EXPECT_NE(reportOf(e).find("  Filename: x.tm\n"), std::string::npos);
  }
}

TEST(ExceptionClasses, EachHasItsOwnDefaultMessage) {
  EXPECT_EQ(defaultWhat<Exception>(), "Undocumented error");
  EXPECT_EQ(defaultWhat<FileError>(), "Undocumented file error");
  EXPECT_EQ(defaultWhat<FileFormatError>(), "Undocumented file format error");
  EXPECT_EQ(defaultWhat<FileReadError>(), "Undocumented file read error");
  EXPECT_EQ(defaultWhat<FileWriteError>(), "Undocumented file write error");
  EXPECT_EQ(defaultWhat<MathError>(), "Undocumented mathematical error");
  EXPECT_EQ(defaultWhat<ProgramError>(), "Undocumented program error");
  EXPECT_EQ(defaultWhat<SizeError>(), "Undocumented size error");
  EXPECT_EQ(defaultWhat<TypeError>(), "Undocumented type error");
  EXPECT_EQ(defaultWhat<UsageError>(), "Undocumented usage error");
  EXPECT_EQ(defaultWhat<ValueError>(), "Undocumented value error");
  EXPECT_EQ(defaultWhat<NameError>(), "Undocumented name error");
  EXPECT_EQ(defaultWhat<ColormapError>(), "Colormap error");
  EXPECT_EQ(defaultWhat<DepthError>(), "Image depth error");
}

TEST(ExceptionClasses, FileFormatErrorsAreCaughtAsFileErrors) {
  EXPECT_THROW(throw FileFormatError(), FileError);
  EXPECT_THROW(throw FileWriteError(), Exception);
  EXPECT_THROW(throw DepthError(), Exception);
}
