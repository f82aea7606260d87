#include "foundation/FileInfo.h"
#include "foundation/LengthUnit.h"
#include "foundation/ProgressMonitor.h"
#include "foundation/ProgressSubject.h"
#include "foundation/StringTools.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Number formatting and splitting.
TEST(StringTools, WritesIntegersPlainOrPaddedAndTokenizesAtAnySeparator) {
  EXPECT_EQ(StringTools::toString(-42) + StringTools::toString(7, 4, '0'), "-420007");
  EXPECT_EQ(StringTools::toString(12345, 3, '0') + StringTools::toString(5, 3, ' '), "12345  5");
  EXPECT_EQ(StringTools::tokenize("a, b,,c", ", "), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(StringTools::tokenize("", ","), std::vector<std::string>{});
}

// Path names split at slashes and dots: file, base, suffix and directory names.
TEST(FileInfo, SplitsDirectoryBaseAndSuffix) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/b.c.d", "b.c.d|b.c|d|a/"},       {"b.c", "b.c|b|c|"},
      {"noslash", "noslash|noslash||"},    {"dir/", "|||dir/"},
      {"dir.x/file", "file|file||dir.x/"}, {"/x/mesh.tm", "mesh.tm|mesh|tm|/x/"}};
  for (const auto& [path, parts] : cases)
    EXPECT_EQ(FileInfo::fileName(path) + "|" + FileInfo::baseName(path) + "|" + FileInfo::suffixName(path) +
                  "|" + FileInfo::dirName(path),
              parts);
}

TEST(FileInfo, TokenizesSimplifiesAndRelates) {
  EXPECT_EQ(FileInfo::tokenize("/a//b/"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(FileInfo::detokenize({"a", "b"}, true), "/a/b");
  EXPECT_EQ(FileInfo::simplifyPath("/a/./b/../c/"), "/a/c");
  EXPECT_EQ(FileInfo::simplifyPath("../a/../../b"), "../../b");
  EXPECT_EQ(FileInfo::simplifyPath("/.."), "/");
  EXPECT_EQ(FileInfo::simplifyPath("a/.."), ".");
  EXPECT_EQ(FileInfo::relativePath("/a/b/c.txt", "/a/d"), "../b/c.txt");
  EXPECT_EQ(FileInfo::relativePath("/a/b", "/a/b"), ".");
  EXPECT_EQ(FileInfo::relativePath("x/y", "/a"), "x/y");
}

// Units as powers of ten of the metre, named by SI prefixes.
TEST(LengthUnit, NamesScalesByTheirPrefixWithTheUtf8MicroSignAndListsThePrefixedOnes) {
  const std::pair<int, const char*> cases[] = {{0, "|meter|m"},
                                               {-6, "micro|micrometer|\xC2\xB5m"},
                                               {-3, "milli|millimeter|mm"},
                                               {-2, "centi|centimeter|cm"},
                                               {24, "yotta|yottameter|Ym"},
                                               {1, "???|???meter|???m"}};
  for (const auto& [scale, names] : cases) {
    LengthUnit unit;
    unit.setScale(scale);
    EXPECT_EQ(unit.prefixName() + "|" + unit.name() + "|" + unit.symbol(), names);
  }
  EXPECT_EQ(LengthUnit::availableScales().size(), 18u);
  EXPECT_EQ(LengthUnit::availableNames()[0] + LengthUnit::availableSymbols()[6], "yoctometer\xC2\xB5m");
}

// Progress notifications reach every attached monitor.
namespace {

class RecordingMonitor : public ProgressMonitor {
public:
  void subjectStarted(ProgressSubject* s) override { ProgressMonitor::subjectStarted(s), log += "started "; }
  void subjectFinished(ProgressSubject*) override { log += "finished "; }
  void subjectCanceled(ProgressSubject*) override { log += "canceled "; }
  void subjectProgressed(ProgressSubject*, const std::string& m) override { log += m + " "; }
  void subjectProgressed(ProgressSubject*, int i, int n) override { log += std::to_string(i * 10 + n) + " "; }
  void subjectWarning(ProgressSubject*, const std::string& m) override { log += "warning " + m + " "; }
  void subjectError(ProgressSubject*, const std::string& m) override { log += "error " + m + " "; }
  std::string log;
};

} // namespace

TEST(Progress, NotifiesEveryAttachedMonitorOnceInOrderAndKeepsTheCancelFlag) {
  ProgressSubject subject;
  RecordingMonitor a, b;
  ProgressMonitor quiet; // the default monitor ignores everything
  for (ProgressMonitor* monitor : std::initializer_list<ProgressMonitor*>{&a, &b, &a, &quiet})
    subject.addMonitor(monitor);
  subject.notifyStarted();
  subject.notifyProgressed("half");
  subject.notifyProgressed(3, 4);
  subject.notifyWarning("w");
  subject.notifyError("e");
  subject.notifyCanceled();
  subject.notifyFinished();
  EXPECT_EQ(a.log, "started half 34 warning w error e canceled finished ");
  EXPECT_EQ(a.getSubject(), &subject);
  subject.removeMonitor(&a);
  subject.notifyFinished();
  EXPECT_EQ(b.log, a.log + "finished ");
  EXPECT_FALSE(subject.isCanceled());
  subject.cancel();
  EXPECT_TRUE(subject.isCanceled());
  subject.reset();
  EXPECT_FALSE(subject.isCanceled());
}
