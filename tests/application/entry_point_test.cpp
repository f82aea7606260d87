// The entry point's report of a failure that leaves the event loop, checked on a real process.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

namespace {

struct ProbeRun {
  int exitCode;
  std::string errors;
};

ProbeRun runProbe(const QString& failure) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  process.setProcessEnvironment(environment);
  process.start(OSTREL_GUARDED_LOOP_PROBE, {failure});
  process.waitForFinished(30000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          process.readAllStandardError().toStdString()};
}

} // namespace

TEST(EntryPoint, ReportsWhereWhatAndCallStackOfAnExceptionLeavingTheLoop) {
  const ProbeRun run = runProbe("exception");
  EXPECT_EQ(run.exitCode, 7);
  const std::string expected = "void VoxelMatrix<T>::load(const string&)\n"
                               "Cannot open file\n"
                               "[0] void VoxelMatrix<T>::load(const string&)\n"
                               "[1] void ShapeViewerMainWindow::loadVoxelMatrix(...)\n"
                               "returned 0\n";
  ASSERT_GE(run.errors.size(), expected.size()) << run.errors;
  EXPECT_EQ(run.errors.substr(run.errors.size() - expected.size()), expected) << run.errors;
}

TEST(EntryPoint, ReportsTheTextOfAStandardException) {
  const ProbeRun run = runProbe("standard");
  EXPECT_EQ(run.exitCode, 7);
  const std::string expected = "standard failure\nreturned 0\n";
  ASSERT_GE(run.errors.size(), expected.size()) << run.errors;
  EXPECT_EQ(run.errors.substr(run.errors.size() - expected.size()), expected) << run.errors;
}
