#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The whole content of a file, read through one open, and the path it came from: the recognisers of
// file kinds and their readers all work from these bytes, so that a pipe (or process substitution's
// /dev/fd/N) is read once and a large file is not opened again by each of them.
// A regular file is mapped into memory rather than copied: its pages come in as they are first read,
// and a reader that has parsed a part can let them go (release), so that a large file is never in
// memory whole beside what is made of it. As with any mapping, a file cut short by another program
// while it is read stops this one (SIGBUS) where reading would have given fewer bytes.
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
  // Gives the memory of the bytes before offset back to the system, for a reader that has parsed
  // them. They stay readable: a mapped file's pages are read again from the file when touched again.
  // Does nothing for bytes that are not mapped.
  void release(std::size_t offset) const;
  // Whether path names a regular file that a reader insisting on a path may open itself.
  bool isRegularFile() const { return _regularFile; }
  // The path's suffix, lower case, without the dot ("tif"); "" when it has none.
  std::string suffix() const;
  // 1 when the suffix is one of these (lower case, without the dot), else 0: what a suffix adds to the
  // score of a kind that recognises the content (2), so that content decides first.
  int suffixScore(const std::vector<std::string>& suffixes) const;

private:
  struct Unmap {
    std::size_t size;
    void operator()(const char* start) const;
  };

  FileBytes(std::string path, std::unique_ptr<const char, Unmap> mapping);

  std::string _path;
  std::string _bytes;                          // of a pipe, or given; empty when mapped
  std::unique_ptr<const char, Unmap> _mapping; // a regular file's, read only; null when not mapped
  mutable std::size_t _released = 0;           // bytes of the mapping already given back
  bool _regularFile;
};
