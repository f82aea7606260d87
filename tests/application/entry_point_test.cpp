// The entry point's report of a failure that leaves the event loop, checked on a real process.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

TEST(EntryPoint, ReportsAnExceptionLeavingTheLoopAndCarriesOn) {
  const std::pair<QString, std::string> cases[] = {
      {"exception", "void VoxelMatrix<T>::load(const string&)\n"
                    "Cannot open file\n"
                    "[0] void VoxelMatrix<T>::load(const string&)\n"
                    "[1] void ShapeViewerMainWindow::loadVoxelMatrix(...)\n"
                    "returned 0\n"},
      {"standard", "standard failure\nreturned 0\n"}}; // the text of a std::exception
  for (const auto& [failure, expected] : cases) {
    SCOPED_TRACE(failure.toStdString());
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(OSTREL_GUARDED_LOOP_PROBE, {failure});
    process.waitForFinished(30000);
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 7); // the probe's own exit after the loop returned
    const std::string errors = process.readAllStandardError().toStdString();
    ASSERT_GE(errors.size(), expected.size()) << errors;
    EXPECT_EQ(errors.substr(errors.size() - expected.size()), expected) << errors;
  }
}
