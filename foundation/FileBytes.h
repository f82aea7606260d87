#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The whole content of a file, read through one open, and the path it came from: the recognisers of
// file kinds and their readers all work from these bytes, so that a pipe (or process substitution's
// /dev/fd/N) is read once and a large file is not opened again by each of them.
// A regular file is mapped into memory rather than copied, and stays open: the few bytes that
// recognisers look at come in as pages, and a reader that takes the file in blocks (copy) reads them
// from the file, so that a large file is never in memory whole beside what is made of it. A file that
// another program cuts short while it is mapped reads as zeros beyond its new end (where a mapping
// would raise SIGBUS), and its reader then finds it broken.
class FileBytes {
public:
  FileBytes(std::string path, std::string bytes, bool regularFile = false);

  // Reads the file at path whole. Fails at once with a FileReadError naming the file: "Cannot open
  // file for reading" (missing, not allowed), "It is a directory", "It is a device or a socket, not
  // a file", "It is a named pipe that nothing writes to" (checked before any wait), "Cannot read the
  // file" when reading fails half-way; "Reading was cancelled" when the load is (ReadProgress).
  static FileBytes read(const std::string& path);

  const std::string& path() const { return _path; }
  std::string_view bytes() const {
    return _mapping ? std::string_view(_mapping.get(), _mapping.get_deleter().size) : _bytes;
  }
  // Copies up to count bytes from offset on to `to`, and returns how many: fewer at the end, or when
  // the file cannot be read any more. A mapped file's are read from the file, not through its pages.
  std::size_t copy(char* to, std::size_t offset, std::size_t count) const;
  // Whether path names a regular file that a reader insisting on a path may open itself.
  bool isRegularFile() const { return _regularFile; }
  // The path's suffix, lower case, without the dot ("tif"); "" when it has none.
  std::string suffix() const;
  // 1 when the suffix is one of these (lower case, without the dot), else 0: what a suffix adds to the
  // score of a kind that recognises the content (2), so that content decides first.
  int suffixScore(const std::vector<std::string>& suffixes) const;

private:
  struct Unmap { // and closes the file
    std::size_t size;
    int descriptor;
    void operator()(const char* start) const;
  };

  FileBytes(std::string path, std::unique_ptr<const char, Unmap> mapping);

  std::string _path;
  std::string _bytes;                          // of a pipe, or given; empty when mapped
  std::unique_ptr<const char, Unmap> _mapping; // a regular file's, read only; null when not mapped
  bool _regularFile;
};
