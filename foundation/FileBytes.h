#pragma once

#include <string>
#include <string_view>
#include <vector>

// The whole content of a file, read through one open, and the path it came from: the recognisers of
// file kinds and their readers all work from these bytes, so that a pipe (or process substitution's
// /dev/fd/N) is read once and a large file is not opened again by each of them.
class FileBytes {
public:
  FileBytes(std::string path, std::string bytes, bool regularFile = false);

  // Reads the file at path whole. Fails at once with a FileReadError naming the file: "Cannot open
  // file for reading" (missing, not allowed), "It is a directory", "It is a device or a socket, not
  // a file", "It is a named pipe that nothing writes to" (checked before any wait), "Cannot read the
  // file" when reading fails half-way; "Reading was cancelled" when the load is (ReadProgress).
  static FileBytes read(const std::string& path);

  const std::string& path() const { return _path; }
  std::string_view bytes() const { return _bytes; }
  // Whether path names a regular file that a reader insisting on a path may open itself.
  bool isRegularFile() const { return _regularFile; }
  // The path's suffix, lower case, without the dot ("tif"); "" when it has none.
  std::string suffix() const;
  // 1 when the suffix is one of these (lower case, without the dot), else 0: what a suffix adds to the
  // score of a kind that recognises the content (2), so that content decides first.
  int suffixScore(const std::vector<std::string>& suffixes) const;

private:
  std::string _path;
  std::string _bytes;
  bool _regularFile;
};
