#pragma once

#include <cstddef>
#include <ios>
#include <iosfwd>
#include <string>

// Reads the tokens of a shape text file from memory, giving exactly what stream extraction with the
// "C" locale gives, but without going through iostreams:
// - any white space (space, tab, line ends, vertical tab, form feed) separates tokens;
// - a number is taken with the grammar the stream accepts (a '+' or '-' sign, digits, one
//   decimal point, an exponent), so numbers may touch ("1-2" is 1 then -2) and "inf", "nan" or
//   hexadecimal text are not numbers;
// - a text that is not a number, or a value out of range, makes the extraction fail; the failed
//   value becomes 0 (an integer out of range becomes the nearest limit, a floating-point value
//   too large becomes the type's largest finite value) and every later extraction fails too.
class ShapeTextReader {
public:
  // Takes the text to read; the reader works on its own copy.
  explicit ShapeTextReader(std::string text);
  // Reads the rest of the stream: a file (a stream that can seek) a window of a few MB at a time,
  // so that a large file is never in memory whole; anything else in one block. The stream must
  // outlive the reader and not be read by anyone else meanwhile.
  static ShapeTextReader fromStream(std::istream& is);

  ShapeTextReader(const ShapeTextReader&) = delete;
  ShapeTextReader& operator=(const ShapeTextReader&) = delete;
  ShapeTextReader(ShapeTextReader&& other) noexcept;
  ShapeTextReader& operator=(ShapeTextReader&&) = delete;

  bool failed() const { return _failed; }
  std::size_t consumed() const { return _windowStart + static_cast<std::size_t>(_cursor - _text.data()); }
  std::size_t remaining() const { return static_cast<std::size_t>(_end - _cursor) + _unread; }

  // The next non-blank character; fails at the end of the text.
  bool readCharacter(char& c);
  // One number of type T (int, float, double or long double).
  template <class T> bool readNumber(T& value);
  // count numbers into values; after a failure the failed value and all later ones are 0.
  // Returns how many were read successfully.
  template <class T> int readNumbers(T* values, int count);
  // A header item: one non-blank character, then an integer.
  bool readHeaderItem(char& c, int& value);
  bool readHeaderItem(int& value);

  // Puts the stream this reader came from back where the reader stopped (when the stream can
  // seek), and in the failed state when an extraction failed, so that stream readers can go on.
  void restore(std::istream& is) const;

  // The numbers shape files are made of ("-123.456", "1.23457e+06") read from [cursor, end) exactly
  // as strtof and strtod read them, moving cursor past the number; false (cursor unmoved) for what
  // this fast path leaves to a general parser: long digit strings, large exponents, incomplete
  // numbers, a T other than float and double. Other readers of text numbers use it too.
  template <class T> static bool readShortDecimal(const char*& cursor, const char* end, T& value);

private:
  // Skips blanks, then makes sure that the token starting there ends in the window.
  void skipBlanks();
  // Moves what is left of the window to its front and reads more of the stream after it (at least
  // as much again as is left); false when the stream has nothing more.
  bool refill();
  void findSafeEnd();
  bool fail();
  bool readInteger(int& value);
  template <class T> bool readFloatingPoint(T& value);
  template <class T> bool readFloatingPointSlowly(T& value);
  const char* scanFloatingPoint(const char* p, bool& complete) const;

  std::string _text;                 // the window: the whole text, or the part of a file being read
  const char* _cursor;               // in _text
  const char* _end;                  // of _text
  const char* _safeEnd;              // a token starting before it ends in the window: its last blank, or _end
  std::size_t _windowStart = 0;      // position of _text[0] in the whole text
  std::streambuf* _source = nullptr; // where the rest of a file comes from
  std::size_t _unread = 0;           // bytes of the file not yet in the window
  bool _failed = false;
  std::streamoff _start = -1; // where the text began in the stream it came from, -1 when unknown
};
