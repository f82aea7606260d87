#include "geometry/ShapeTextReader.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <istream>
#include <iterator>
#include <limits>
#include <type_traits>
#include <utility>

namespace {

// The characters that the "C" locale classifies as space.
constexpr bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

constexpr bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Conversion of a complete decimal token that from_chars found out of range, done the way the
// stream does it (strtof and friends): overflow gives infinity, underflow a subnormal or zero.
template <class T> T convertOutOfRange(const std::string& token);
template <> float convertOutOfRange<float>(const std::string& token) {
  return std::strtof(token.c_str(), nullptr);
}
template <> double convertOutOfRange<double>(const std::string& token) {
  return std::strtod(token.c_str(), nullptr);
}
template <> long double convertOutOfRange<long double>(const std::string& token) {
  return std::strtold(token.c_str(), nullptr);
}

} // namespace

ShapeTextReader::ShapeTextReader(std::string text)
    : _text(std::move(text)), _cursor(_text.data()), _end(_text.data() + _text.size()) {}

ShapeTextReader::ShapeTextReader(ShapeTextReader&& other) noexcept
    : _text(std::move(other._text)), _cursor(_text.data()), _end(_text.data() + _text.size()),
      _failed(other._failed), _start(other._start) {
  other._cursor = other._end = other._text.data();
}

ShapeTextReader ShapeTextReader::fromStream(std::istream& is) {
  std::string text;
  std::streamoff start = -1;
  std::streambuf* buffer = is.rdbuf();
  if (is.good() && buffer != nullptr) {
    const std::streamoff here = buffer->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    const std::streamoff last = buffer->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    if (here >= 0 && last >= here &&
        buffer->pubseekoff(here, std::ios_base::beg, std::ios_base::in) == here) {
      // A file or string stream: one block read of everything that is left.
      start = here;
      text.resize(static_cast<std::size_t>(last - here));
      const std::streamsize got = buffer->sgetn(text.data(), static_cast<std::streamsize>(text.size()));
      text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    } else {
      text.assign(std::istreambuf_iterator<char>(is), std::istreambuf_iterator<char>());
    }
  }
  ShapeTextReader reader(std::move(text));
  reader._start = start;
  if (!is.good()) reader._failed = true;
  return reader;
}

void ShapeTextReader::restore(std::istream& is) const {
  if (_start >= 0 && is.good()) is.seekg(_start + static_cast<std::streamoff>(consumed()));
  if (_failed) is.setstate(std::ios_base::failbit);
}

void ShapeTextReader::skipBlanks() {
  while (_cursor != _end && isBlank(*_cursor)) ++_cursor;
}

bool ShapeTextReader::fail() {
  _failed = true;
  return false;
}

bool ShapeTextReader::readCharacter(char& c) {
  if (_failed) return false;
  skipBlanks();
  if (_cursor == _end) return fail();
  c = *_cursor++;
  return true;
}

bool ShapeTextReader::readHeaderItem(char& c, int& value) {
  return readCharacter(c) && readNumber(value);
}

bool ShapeTextReader::readHeaderItem(int& value) {
  char ignored;
  return readHeaderItem(ignored, value);
}

bool ShapeTextReader::readInteger(int& value) {
  const char* p = _cursor;
  bool negative = false;
  if (p != _end && (*p == '+' || *p == '-')) negative = *p++ == '-';
  const char* digits = p;
  while (p != _end && isDigit(*p)) ++p;
  _cursor = p;
  if (p == digits) {
    value = 0;
    return fail();
  }
  // Accumulate the magnitude, saturating: anything beyond the int range is clamped and fails.
  constexpr long long limit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  for (const char* d = digits; d != p && magnitude <= limit; ++d) magnitude = magnitude * 10 + (*d - '0');
  if (negative) {
    if (magnitude > limit) {
      value = INT_MIN;
      return fail();
    }
    value = static_cast<int>(-magnitude);
    return true;
  }
  if (magnitude > INT_MAX) {
    value = INT_MAX;
    return fail();
  }
  value = static_cast<int>(magnitude);
  return true;
}

// Finds the end of the text the stream would take as a floating-point number starting at p:
// a sign, digits, one decimal point before any exponent, then 'e' or 'E' (only after a digit)
// with its own sign and digits. complete tells whether that text is a whole number; the stream
// consumes an incomplete one ("-", ".", "1e", "2e+") and then fails.
const char* ShapeTextReader::scanFloatingPoint(const char* p, bool& complete) const {
  if (p != _end && (*p == '+' || *p == '-')) ++p;
  bool mantissa = false, point = false, exponent = false, exponentDigits = false;
  while (p != _end) {
    const char c = *p;
    if (isDigit(c)) {
      if (exponent)
        exponentDigits = true;
      else
        mantissa = true;
    } else if (c == '.') {
      if (point || exponent) break;
      point = true;
    } else if ((c == 'e' || c == 'E') && mantissa && !exponent) {
      exponent = true;
      if (p + 1 != _end && (p[1] == '+' || p[1] == '-')) ++p;
    } else {
      break;
    }
    ++p;
  }
  complete = mantissa && (!exponent || exponentDigits);
  return p;
}

template <class T> bool ShapeTextReader::readFloatingPoint(T& value) {
  const char* first = _cursor;
  bool complete = false;
  const char* last = scanFloatingPoint(first, complete);
  _cursor = last;
  if (!complete) {
    value = 0;
    return fail();
  }
  // from_chars takes no '+' sign; after it the scanner guarantees a digit or a point.
  const char* number = *first == '+' ? first + 1 : first;
  const std::from_chars_result result = std::from_chars(number, last, value);
  if (result.ec == std::errc() && result.ptr == last) return true;
  const T converted = convertOutOfRange<T>(std::string(number, last));
  if (converted == std::numeric_limits<T>::infinity()) {
    value = std::numeric_limits<T>::max();
    return fail();
  }
  if (converted == -std::numeric_limits<T>::infinity()) {
    value = -std::numeric_limits<T>::max();
    return fail();
  }
  value = converted;
  return true;
}

template <class T> bool ShapeTextReader::readNumber(T& value) {
  if (_failed) return false;
  skipBlanks();
  if (_cursor == _end) return fail();
  if constexpr (std::is_same_v<T, int>)
    return readInteger(value);
  else
    return readFloatingPoint(value);
}

template <class T> int ShapeTextReader::readNumbers(T* values, int count) {
  // A failed value keeps what the failed extraction gave it (0 at the end of the text); the
  // values after it, which a stream would leave untouched, become 0 rather than undefined.
  int i = 0;
  for (; i < count; ++i) {
    values[i] = T(0);
    if (!readNumber(values[i])) break;
  }
  for (int j = i + 1; j < count; ++j) values[j] = T(0);
  return i;
}

template bool ShapeTextReader::readNumber<int>(int&);
template bool ShapeTextReader::readNumber<float>(float&);
template bool ShapeTextReader::readNumber<double>(double&);
template bool ShapeTextReader::readNumber<long double>(long double&);
template int ShapeTextReader::readNumbers<int>(int*, int);
template int ShapeTextReader::readNumbers<float>(float*, int);
template int ShapeTextReader::readNumbers<double>(double*, int);
template int ShapeTextReader::readNumbers<long double>(long double*, int);
