#include "fuzz/FuzzWorkspace.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

namespace {

class Folder {
public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrel-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path path;
};

const Folder& folder() {
  static const Folder instance;
  return instance;
}

} // namespace

std::string FuzzWorkspace::write(const std::string& name, const std::uint8_t* data, std::size_t size) {
  const std::string path = (folder().path / name).string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  if (!out.flush()) std::abort();
  return path;
}

void FuzzWorkspace::remove(const std::string& name) {
  std::error_code ignored;
  std::filesystem::remove(folder().path / name, ignored);
}

void FuzzWorkspace::silenceStandardOutput() {
  std::cout.rdbuf(nullptr);
}
