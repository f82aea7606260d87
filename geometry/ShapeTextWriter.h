#pragma once

#include "foundation/ErrorThrowing.h"

#include <ostream>
#include <string>

// Writes shape text files through a memory buffer, formatting numbers with std::to_chars exactly
// as an output stream with its default settings would (6 significant digits, general notation),
// so that the files are byte-identical to those written with stream insertion.
// The buffer goes to the stream in large blocks and at flush().
class ShapeTextWriter {
public:
  explicit ShapeTextWriter(std::ostream& os);
  ~ShapeTextWriter(); // does not flush: a writer left by an exception drops its buffer

  ShapeTextWriter(const ShapeTextWriter&) = delete;
  ShapeTextWriter& operator=(const ShapeTextWriter&) = delete;

  // "# " value and a line end.
  void headerItem(int value);
  // The values separated by one space, and a line end.
  template <class T> void numbers(const T* values, int count);
  // A number in the stream's default format (int, float, double or long double).
  template <class T> void number(T value);
  void text(const std::string& s);
  void character(char c);
  void flush();

private:
  void reserve(std::size_t bytes);

  std::ostream& _os;
  std::string _buffer;
  std::size_t _used = 0;
};

// Runs write() with the stream throwing on failure and restores the stream's exception mask
// afterwards; a stream failure becomes a FileWriteError raised at where, carrying the failure's text.
template <class Write> void writeRaisingFileWriteErrors(std::ostream& os, const char* where, Write write) {
  const std::ios_base::iostate saved = os.exceptions();
  try {
    os.exceptions(std::ios_base::failbit | std::ios_base::badbit);
    write();
  } catch (const std::ios_base::failure& failure) {
    // Cleared first: restoring a mask that holds the failed state would throw again.
    os.clear();
    os.exceptions(saved);
    throwError<FileWriteError>(where, failure.what());
  }
  os.exceptions(saved);
}
