#pragma once

#include "foundation/FileBytes.h"
#include "foundation/ReadProgress.h"

#include <istream>
#include <streambuf>
#include <string_view>

// An input stream over bytes held elsewhere (which must outlive it), seekable like a file, so that
// the readers written for streams read a file already in memory without a copy of it. Reading in blocks
// (sgetn) reports how far it got to the thread's ReadProgress; over a file's bytes, it reads the
// blocks from the file (FileBytes::copy), so that a mapped file's pages need not come into memory.
class MemoryStream : public std::istream {
public:
  explicit MemoryStream(std::string_view bytes) : std::istream(nullptr), _buffer(bytes, nullptr) {
    rdbuf(&_buffer);
  }
  explicit MemoryStream(const FileBytes& file) : std::istream(nullptr), _buffer(file.bytes(), &file) {
    rdbuf(&_buffer);
  }

private:
  class Buffer : public std::streambuf {
  public:
    Buffer(std::string_view bytes, const FileBytes* file) : _file(file) {
      char* begin = const_cast<char*>(bytes.data()); // the get area is only read
      setg(begin, begin, begin + bytes.size());
    }

  protected:
    std::streamsize xsgetn(char* to, std::streamsize count) override {
      std::streamsize got = 0;
      if (!_file) {
        got = std::streambuf::xsgetn(to, count);
      } else if (count > 0) {
        got = static_cast<std::streamsize>(
            _file->copy(to, static_cast<std::size_t>(gptr() - eback()), static_cast<std::size_t>(count)));
        setg(eback(), gptr() + got, egptr());
      }
      ReadProgress::report(static_cast<std::size_t>(gptr() - eback()),
                           static_cast<std::size_t>(egptr() - eback()));
      return got;
    }
    pos_type seekoff(off_type offset, std::ios_base::seekdir origin, std::ios_base::openmode) override {
      const off_type base = origin == std::ios_base::beg   ? 0
                            : origin == std::ios_base::cur ? gptr() - eback()
                                                           : egptr() - eback();
      return seekpos(pos_type(base + offset), std::ios_base::in);
    }
    pos_type seekpos(pos_type position, std::ios_base::openmode) override {
      const off_type at = off_type(position);
      if (at < 0 || at > egptr() - eback()) return pos_type(off_type(-1));
      setg(eback(), eback() + at, egptr());
      return position;
    }

  private:
    const FileBytes* _file; // whose bytes these are, or null
  };

  Buffer _buffer;
};
