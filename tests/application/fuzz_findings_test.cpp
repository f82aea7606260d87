// Every input that once brought a reader down, run through the same reading as the fuzz harnesses:
// the shared reproducers beside the repository (skipped when that folder is absent) and the findings
// kept in fuzz/findings. Under the sanitizers a leak, an overflow or undefined behaviour fails here.
#include "fuzz/ReaderExercises.h"

#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

std::vector<std::string> filesIn(const std::filesystem::path& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

void runAll(const std::vector<std::string>& files) {
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    testing::internal::CaptureStdout();
    const bool taken = ReaderExercises::bySuffix(file);
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(taken) << "no reader takes this suffix";
  }
}

} // namespace

TEST(FuzzFindings, SharedReproducersAreRefusedOrReadCleanly) {
  const std::string shared = sharedDataDirectory();
  if (shared.empty()) GTEST_SKIP() << "no shared data folder";
  const std::vector<std::string> files = filesIn(shared + "/fuzz");
  EXPECT_GE(files.size(), 8u);
  runAll(files);
}

TEST(FuzzFindings, KeptFindingsAreRefusedOrReadCleanly) {
  const char* source = std::getenv("OSTREL_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const std::vector<std::string> files = filesIn(std::string(source) + "/fuzz/findings");
  runAll(files);
}
