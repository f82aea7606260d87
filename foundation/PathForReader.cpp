#include "foundation/PathForReader.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

PathForReader::PathForReader(const FileBytes& file, const std::vector<std::string>& suffixes)
    : _path(file.path()) {
  if (file.isRegularFile() && (suffixes.empty() || file.suffixScore(suffixes) > 0)) return;
  const std::string suffix = suffixes.empty() ? file.suffix() : suffixes.front();
  const char* temporary = std::getenv("TMPDIR");
  std::string pattern = std::string(temporary && *temporary ? temporary : "/tmp") + "/ostrel-XXXXXX";
  std::vector<char> folder(pattern.begin(), pattern.end());
  folder.push_back('\0');
  const char* const where = OSTREL_HERE;
  if (!::mkdtemp(folder.data()))
    throwFileError<FileWriteError>(where, "Cannot make a temporary copy of the file", file.path());
  _folder = folder.data();
  std::string base = FileInfo::baseName(file.path());
  _path = _folder + "/" + (base.empty() ? "file" : base) + (suffix.empty() ? "" : "." + suffix);
  std::ofstream copy(_path, std::ios_base::binary);
  copy.write(file.bytes().data(), static_cast<std::streamsize>(file.bytes().size()));
  if (!copy.flush()) {
    std::error_code ignored;
    std::filesystem::remove_all(_folder, ignored);
    throwFileError<FileWriteError>(where, "Cannot make a temporary copy of the file", file.path());
  }
}

PathForReader::~PathForReader() {
  std::error_code ignored;
  if (!_folder.empty()) std::filesystem::remove_all(_folder, ignored);
}
