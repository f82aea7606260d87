#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TemporaryDirectory::TemporaryDirectory() {
  std::string pattern = (fs::temp_directory_path() / "ostrel-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary directory";
  _path = pattern;
}

TemporaryDirectory::~TemporaryDirectory() {
  std::error_code ignored;
  fs::remove_all(_path, ignored);
}

std::string TemporaryDirectory::file(const std::string& name) const {
  return (fs::path(_path) / name).string();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) ADD_FAILURE() << "cannot write " << path;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

std::string sharedDataDirectory() {
  const char* source = std::getenv("OSTREL_SOURCE_DIR");
  fs::path base = source ? fs::path(source) : fs::current_path();
  fs::path data = base / ".." / "shared" / "data";
  std::error_code ignored;
  return fs::is_directory(data, ignored) ? fs::canonical(data, ignored).string() : std::string();
}
