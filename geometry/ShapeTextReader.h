#pragma once

#include <cstddef>
#include <ios>
#include <iosfwd>
#include <string>

// Reads the tokens of a shape text file from one block of memory, giving exactly what stream
// extraction with the "C" locale gives, but without going through iostreams:
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
  // Reads the rest of the stream in one block.
  static ShapeTextReader fromStream(std::istream& is);

  ShapeTextReader(const ShapeTextReader&) = delete;
  ShapeTextReader& operator=(const ShapeTextReader&) = delete;
  ShapeTextReader(ShapeTextReader&& other) noexcept;
  ShapeTextReader& operator=(ShapeTextReader&&) = delete;

  bool failed() const { return _failed; }
  std::size_t consumed() const { return static_cast<std::size_t>(_cursor - _text.data()); }
  std::size_t remaining() const { return static_cast<std::size_t>(_end - _cursor); }

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

private:
  void skipBlanks();
  bool fail();
  bool readInteger(int& value);
  template <class T> bool readFloatingPoint(T& value);
  template <class T> bool readFloatingPointSlowly(T& value);
  template <class T> bool readShortDecimal(T& value);
  const char* scanFloatingPoint(const char* p, bool& complete) const;

  std::string _text;
  const char* _cursor;
  const char* _end;
  bool _failed = false;
  std::streamoff _start = -1; // where the text began in the stream it came from, -1 when unknown
};
