#include "geometry/ShapeTextReader.h"

#include "foundation/StageTimes.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
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
    : _text(std::move(text)), _cursor(_text.data()), _end(_text.data() + _text.size()), _safeEnd(_end) {}

ShapeTextReader::ShapeTextReader(ShapeTextReader&& other) noexcept
    : _windowStart(other._windowStart), _source(other._source), _unread(other._unread),
      _failed(other._failed), _start(other._start) {
  // The positions move as offsets: a short text goes to another buffer.
  const std::ptrdiff_t cursor = other._cursor - other._text.data();
  const std::ptrdiff_t safeEnd = other._safeEnd - other._text.data();
  _text = std::move(other._text);
  _cursor = _text.data() + cursor;
  _end = _text.data() + _text.size();
  _safeEnd = _text.data() + safeEnd;
  other._text.clear();
  other._cursor = other._end = other._safeEnd = other._text.data();
  other._source = nullptr;
  other._unread = 0;
}

ShapeTextReader ShapeTextReader::fromStream(std::istream& is) {
  StageTimes::Stage stage("reading");
  std::streambuf* buffer = is.rdbuf();
  std::streamoff here = -1, last = -1;
  if (is.good() && buffer != nullptr) {
    here = buffer->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    last = buffer->pubseekoff(0, std::ios_base::end, std::ios_base::in);
  }
  const bool seekable =
      here >= 0 && last >= here && buffer->pubseekoff(here, std::ios_base::beg, std::ios_base::in) == here;
  std::string whole;
  if (!seekable && is.good() && buffer != nullptr)
    whole.assign(std::istreambuf_iterator<char>(is), std::istreambuf_iterator<char>());
  ShapeTextReader reader(std::move(whole));
  if (seekable) { // a file or a string stream: read a window at a time
    reader._start = here;
    reader._source = buffer;
    reader._unread = static_cast<std::size_t>(last - here);
    reader.refill();
  }
  if (!is.good()) reader._failed = true;
  return reader;
}

bool ShapeTextReader::refill() {
  if (_unread == 0) return false;
  StageTimes::Stage stage("reading");
  constexpr std::size_t windowBytes = std::size_t(4) << 20;
  const std::size_t kept = static_cast<std::size_t>(_end - _cursor);
  const std::size_t dropped = static_cast<std::size_t>(_cursor - _text.data());
  std::memmove(_text.data(), _cursor, kept);
  const std::size_t wanted = std::min(_unread, std::max(windowBytes, kept));
  _text.resize(kept + wanted);
  const std::streamsize got = _source->sgetn(_text.data() + kept, static_cast<std::streamsize>(wanted));
  const std::size_t added = static_cast<std::size_t>(got > 0 ? got : 0);
  _text.resize(kept + added);
  _unread = added < wanted ? 0 : _unread - added; // a file that shrank ends here
  _windowStart += dropped;
  _cursor = _text.data();
  _end = _text.data() + _text.size();
  findSafeEnd();
  return added > 0;
}

void ShapeTextReader::findSafeEnd() {
  _safeEnd = _end;
  if (_unread == 0) return;
  while (_safeEnd != _text.data() && !isBlank(_safeEnd[-1])) --_safeEnd;
  if (_safeEnd != _text.data()) --_safeEnd; // the blank itself
}

void ShapeTextReader::restore(std::istream& is) const {
  if (_start >= 0 && is.good()) is.seekg(_start + static_cast<std::streamoff>(consumed()));
  if (_failed) is.setstate(std::ios_base::failbit);
}

void ShapeTextReader::skipBlanks() {
  for (;;) {
    while (_cursor != _end && isBlank(*_cursor)) ++_cursor;
    if (_cursor != _end || !refill()) break;
  }
  while (_cursor >= _safeEnd && _cursor != _end && refill()) {
  }
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
  if (readShortDecimal(_cursor, _end, value)) return true;
  // from_chars alone, when the text starts like a stream number and from_chars stops where the
  // stream grammar stops too (it would not when an exponent mark follows: "1e", "2e+x").
  const char* number = _cursor;
  if (*number == '+') ++number;
  const char* digits = number != _end && *number == '-' ? number + 1 : number;
  if (digits != _end && (isDigit(*digits) || *digits == '.') && !(number != _cursor && *number == '-')) {
    const std::from_chars_result result = std::from_chars(number, _end, value);
    if (result.ec == std::errc() && (result.ptr == _end || (*result.ptr != 'e' && *result.ptr != 'E'))) {
      _cursor = result.ptr;
      return true;
    }
  }
  return readFloatingPointSlowly(value);
}

// The numbers shape files are made of ("-123.456", "1.23457e+06") in one pass: the digits as an
// integer w and a power of ten q. When w and 10^|q| are both exact in T, w·10^q (or w/10^-q) is a
// single correctly rounded operation, so the result is exactly what strtof or strtod give (Clinger's
// fast path). Anything else (long digit strings, large exponents, incomplete numbers) is left to
// the general paths.
template <class T> bool ShapeTextReader::readShortDecimal(const char*& cursor, const char* end, T& value) {
  if constexpr (!std::is_same_v<T, float> && !std::is_same_v<T, double>) {
    (void)cursor, (void)end, (void)value;
    return false;
  } else {
    constexpr std::uint64_t maxExactInteger = std::is_same_v<T, float> ? (1ull << 24) : (1ull << 53);
    constexpr int maxExactPower = std::is_same_v<T, float> ? 10 : 22;
    static constexpr T powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* p = cursor;
    bool negative = false;
    if (p != end && (*p == '-' || *p == '+')) negative = *p++ == '-';
    std::uint64_t w = 0;
    int numDigits = 0, q = 0;
    const char* first = p;
    for (; p != end && isDigit(*p); ++p, ++numDigits) w = w * 10 + static_cast<unsigned>(*p - '0');
    bool mantissa = p != first;
    if (p != end && *p == '.') {
      const char* fraction = ++p;
      for (; p != end && isDigit(*p); ++p, ++numDigits, --q) w = w * 10 + static_cast<unsigned>(*p - '0');
      mantissa = mantissa || p != fraction;
    }
    if (!mantissa || numDigits > 19) return false;
    if (p != end && (*p == 'e' || *p == 'E')) {
      ++p;
      bool negativeExponent = false;
      if (p != end && (*p == '-' || *p == '+')) negativeExponent = *p++ == '-';
      const char* exponentDigits = p;
      int exponent = 0;
      for (; p != end && isDigit(*p) && exponent < 1000; ++p) exponent = exponent * 10 + (*p - '0');
      if (p == exponentDigits || (p != end && isDigit(*p))) return false;
      q += negativeExponent ? -exponent : exponent;
    }
    if (w > maxExactInteger || q < -maxExactPower || q > maxExactPower) return false;
    T v = static_cast<T>(w);
    v = q < 0 ? v / powers[-q] : v * powers[q];
    value = negative ? -v : v;
    cursor = p;
    return true;
  }
}

// The general case: finds the stream's token first, then converts it, handling what from_chars
// refuses (incomplete numbers, values out of range) the way the stream does.
template <class T> bool ShapeTextReader::readFloatingPointSlowly(T& value) {
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
template bool ShapeTextReader::readShortDecimal<float>(const char*&, const char*, float&);
template bool ShapeTextReader::readShortDecimal<double>(const char*&, const char*, double&);
template bool ShapeTextReader::readShortDecimal<long double>(const char*&, const char*, long double&);
