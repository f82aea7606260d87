#pragma once

#include "foundation/FileBytes.h"

#include <string>
#include <vector>

// A path to give a reader library that insists on opening the file itself, and may pick its parser by
// the suffix: the file's own path when it is a regular file with one of these suffixes (or with any,
// for a list that is empty), else a copy of the bytes already read, under the file's base name with
// the first suffix (or its own) in a private temporary folder removed with this object. So a pipe, or
// content recognised under another suffix, reaches the library too. Fails with FileWriteError
// "Cannot make a temporary copy of the file" naming the file.
class PathForReader {
public:
  PathForReader(const FileBytes& file, const std::vector<std::string>& suffixes); // lower case, no dot
  ~PathForReader();
  PathForReader(const PathForReader&) = delete;
  PathForReader& operator=(const PathForReader&) = delete;

  const std::string& path() const { return _path; }
  bool isCopy() const { return !_folder.empty(); }

private:
  std::string _path;
  std::string _folder; // the temporary folder, "" when the file's own path is used
};
