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
  EXPECT_EQ(StringTools::toString(-42), "-42");
  EXPECT_EQ(StringTools::toString(7, 4, '0'), "0007");
  EXPECT_EQ(StringTools::toString(12345, 3, '0'), "12345");
  EXPECT_EQ(StringTools::toString(5, 3, ' '), "  5");
  EXPECT_EQ(StringTools::tokenize("a, b,,c", ", "), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(StringTools::tokenize("", ","), std::vector<std::string>{});
}

// Path names split at slashes and dots.
TEST(FileInfo, SplitsDirectoryBaseAndSuffix) {
  struct Case {
    const char *path, *fileName, *baseName, *suffixName, *dirName;
  };
  for (const Case& c : {Case{"a/b.c.d", "b.c.d", "b.c", "d", "a/"}, Case{"b.c", "b.c", "b", "c", ""},
                        Case{"noslash", "noslash", "noslash", "", ""}, Case{"dir/", "", "", "", "dir/"},
                        Case{"dir.x/file", "file", "file", "", "dir.x/"},
                        Case{"/x/mesh.tm", "mesh.tm", "mesh", "tm", "/x/"}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileInfo::fileName(c.path), c.fileName);
    EXPECT_EQ(FileInfo::baseName(c.path), c.baseName);
    EXPECT_EQ(FileInfo::suffixName(c.path), c.suffixName);
    EXPECT_EQ(FileInfo::dirName(c.path), c.dirName);
  }
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
  struct Case {
    int scale;
    const char *prefixName, *name, *symbol;
  };
  for (const Case& c : {Case{0, "", "meter", "m"}, Case{-6, "micro", "micrometer", "\xC2\xB5m"},
                        Case{-3, "milli", "millimeter", "mm"}, Case{-2, "centi", "centimeter", "cm"},
                        Case{24, "yotta", "yottameter", "Ym"}, Case{1, "???", "???meter", "???m"}}) {
    SCOPED_TRACE(c.scale);
    LengthUnit unit;
    unit.setScale(c.scale);
    EXPECT_EQ(unit.prefixName(), c.prefixName);
    EXPECT_EQ(unit.name(), c.name);
    EXPECT_EQ(unit.symbol(), c.symbol);
  }
  EXPECT_EQ(LengthUnit::availableScales().size(), 18u);
  EXPECT_EQ(LengthUnit::availableNames()[0] + LengthUnit::availableSymbols()[6], "yoctometer\xC2\xB5m");
}

// Progress notifications reach every attached monitor.
namespace {

class RecordingMonitor : public ProgressMonitor {
public:
  void subjectStarted(ProgressSubject* subject) override {
    ProgressMonitor::subjectStarted(subject);
    log.push_back("started");
  }
  void subjectFinished(ProgressSubject*) override { log.push_back("finished"); }
  void subjectCanceled(ProgressSubject*) override { log.push_back("canceled"); }
  void subjectProgressed(ProgressSubject*, const std::string& m) override { log.push_back(m); }
  void subjectProgressed(ProgressSubject*, int i, int n) override {
    log.push_back(std::to_string(i) + "/" + std::to_string(n));
  }
  void subjectWarning(ProgressSubject*, const std::string& m) override { log.push_back("warning " + m); }
  void subjectError(ProgressSubject*, const std::string& m) override { log.push_back("error " + m); }

  std::vector<std::string> log;
};

} // namespace

TEST(Progress, NotifiesEveryAttachedMonitorOnceInOrderAndKeepsTheCancelFlag) {
  ProgressSubject subject;
  RecordingMonitor a, b;
  ProgressMonitor quiet; // the default monitor ignores everything
  subject.addMonitor(&a);
  subject.addMonitor(&b);
  subject.addMonitor(&a);
  subject.addMonitor(&quiet);
  subject.notifyStarted();
  subject.notifyProgressed("half");
  subject.notifyProgressed(3, 4);
  subject.notifyWarning("w");
  subject.notifyError("e");
  subject.notifyCanceled();
  subject.notifyFinished();
  const std::vector<std::string> expected = {"started", "half",     "3/4",     "warning w",
                                             "error e", "canceled", "finished"};
  EXPECT_EQ(a.log, expected);
  EXPECT_EQ(b.log, expected);
  EXPECT_EQ(a.getSubject(), &subject);
  subject.removeMonitor(&a);
  subject.notifyFinished();
  EXPECT_EQ(a.log.size(), expected.size());
  EXPECT_EQ(b.log.size(), expected.size() + 1);
  EXPECT_FALSE(subject.isCanceled());
  subject.cancel();
  EXPECT_TRUE(subject.isCanceled());
  subject.reset();
  EXPECT_FALSE(subject.isCanceled());
}
