#include "foundation/ProgressMonitor.h"
#include "foundation/ProgressSubject.h"
#include "foundation/StringTools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Number formatting and splitting.
TEST(StringTools, WritesIntegersPlainOrPadded) {
  EXPECT_EQ(StringTools::toString(-42), "-42");
  EXPECT_EQ(StringTools::toString(7, 4, '0'), "0007");
  EXPECT_EQ(StringTools::toString(12345, 3, '0'), "12345");
  EXPECT_EQ(StringTools::toString(5, 3, ' '), "  5");
}

TEST(StringTools, TokenizesAtAnySeparator) {
  EXPECT_EQ(StringTools::tokenize("a, b,,c", ", "), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(StringTools::tokenize("", ","), std::vector<std::string>{});
  EXPECT_EQ(StringTools::tokenize("abc", ","), std::vector<std::string>{"abc"});
}

// Progress notifications reach every attached monitor.
namespace {

class RecordingMonitor : public ProgressMonitor {
public:
  void subjectStarted(ProgressSubject* subject) override {
    ProgressMonitor::subjectStarted(subject);
    events.push_back("started");
  }
  void subjectFinished(ProgressSubject*) override { events.push_back("finished"); }
  void subjectCanceled(ProgressSubject*) override { events.push_back("canceled"); }
  void subjectProgressed(ProgressSubject*, const std::string& message) override { events.push_back(message); }
  void subjectProgressed(ProgressSubject*, int current, int total) override {
    events.push_back(std::to_string(current) + "/" + std::to_string(total));
  }
  void subjectWarning(ProgressSubject*, const std::string& message) override {
    events.push_back("warning " + message);
  }
  void subjectError(ProgressSubject*, const std::string& message) override {
    events.push_back("error " + message);
  }

  std::vector<std::string> events;
};

} // namespace

TEST(Progress, NotifiesEveryAttachedMonitorInOrder) {
  ProgressSubject subject;
  RecordingMonitor a, b;
  subject.addMonitor(&a);
  subject.addMonitor(&b);
  subject.addMonitor(&a);
  subject.notifyStarted();
  subject.notifyProgressed("half");
  subject.notifyProgressed(3, 4);
  subject.notifyWarning("w");
  subject.notifyError("e");
  subject.notifyCanceled();
  subject.notifyFinished();
  const std::vector<std::string> expected = {"started", "half",     "3/4",     "warning w",
                                             "error e", "canceled", "finished"};
  EXPECT_EQ(a.events, expected);
  EXPECT_EQ(b.events, expected);
  EXPECT_EQ(a.getSubject(), &subject);
  subject.removeMonitor(&a);
  subject.notifyFinished();
  EXPECT_EQ(a.events.size(), expected.size());
  EXPECT_EQ(b.events.size(), expected.size() + 1);
}

TEST(Progress, CancelFlagIsSetAndReset) {
  ProgressSubject subject;
  EXPECT_FALSE(subject.isCanceled());
  subject.cancel();
  EXPECT_TRUE(subject.isCanceled());
  subject.reset();
  EXPECT_FALSE(subject.isCanceled());
}

TEST(Progress, DefaultMonitorIgnoresEverything) {
  ProgressSubject subject;
  ProgressMonitor quiet;
  subject.addMonitor(&quiet);
  subject.notifyProgressed(1, 2);
  subject.notifyError("x");
  EXPECT_EQ(quiet.getSubject(), nullptr);
}
