#include "geometry/ShapeTextWriter.h"

#include <charconv>
#include <cmath>
#include <ostream>
#include <type_traits>

namespace {

constexpr std::size_t blockSize = 1 << 20; // bytes handed to the stream at a time
constexpr std::size_t longestNumber = 64;  // "-1.23457e+4932" and any int fit easily

// Powers of ten 1e-35 .. 1e43, each the double nearest to it.
constexpr int lowestPower = -35;
constexpr double powersOfTen[] = {
    1e-35, 1e-34, 1e-33, 1e-32, 1e-31, 1e-30, 1e-29, 1e-28, 1e-27, 1e-26, 1e-25, 1e-24, 1e-23, 1e-22,
    1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9,  1e-8,
    1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,
    1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,
    1e21,  1e22,  1e23,  1e24,  1e25,  1e26,  1e27,  1e28,  1e29,  1e30,  1e31,  1e32,  1e33,  1e34,
    1e35,  1e36,  1e37,  1e38,  1e39,  1e40,  1e41,  1e42,  1e43};

double powerOfTen(int k) {
  return powersOfTen[k - lowestPower];
}

// Writes a finite, non-zero value with 6 significant digits exactly as printf's %g does (which is
// what a stream writes by default), for magnitudes 1e-30 .. 1e37; returns null, leaving the work to
// to_chars, outside that range or when the value lies too close to a rounding tie for the scaled
// double to decide. The scaled value w = |v|·10^(5−X) is within a few units of 1e-10 of the exact
// one, so away from ties it rounds to the same six digits.
char* writeSixDigits(double value, char* out) {
  const double magnitude = value < 0 ? -value : value;
  if (!(magnitude >= 1e-30 && magnitude <= 1e37)) return nullptr;
  int binaryExponent = 0;
  std::frexp(magnitude, &binaryExponent);
  int exponent = static_cast<int>(std::floor((binaryExponent - 1) * 0.30102999566398120));
  double scaled = magnitude * powerOfTen(5 - exponent);
  while (scaled < 1e5) scaled = magnitude * powerOfTen(5 - --exponent);
  while (scaled >= 1e6) scaled = magnitude * powerOfTen(5 - ++exponent);
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (fraction > 0.5 - 1e-7 && fraction < 0.5 + 1e-7) return nullptr;
  unsigned digits = static_cast<unsigned>(whole) + (fraction > 0.5 ? 1u : 0u);
  if (digits == 1000000u) {
    digits = 100000u;
    ++exponent;
  }
  char d[6];
  for (int i = 5; i >= 0; --i, digits /= 10) d[i] = static_cast<char>('0' + digits % 10);
  int significant = 6; // without the trailing zeros
  while (significant > 1 && d[significant - 1] == '0') --significant;
  char* p = out;
  if (value < 0) *p++ = '-';
  if (exponent < -4 || exponent >= 6) {
    *p++ = d[0];
    if (significant > 1) {
      *p++ = '.';
      for (int i = 1; i < significant; ++i) *p++ = d[i];
    }
    *p++ = 'e';
    *p++ = exponent < 0 ? '-' : '+';
    const int e = exponent < 0 ? -exponent : exponent;
    *p++ = static_cast<char>('0' + e / 10);
    *p++ = static_cast<char>('0' + e % 10);
  } else if (exponent >= 0) {
    for (int i = 0; i <= exponent; ++i) *p++ = d[i];
    if (significant > exponent + 1) {
      *p++ = '.';
      for (int i = exponent + 1; i < significant; ++i) *p++ = d[i];
    }
  } else {
    *p++ = '0';
    *p++ = '.';
    for (int i = 0; i < -exponent - 1; ++i) *p++ = '0';
    for (int i = 0; i < significant; ++i) *p++ = d[i];
  }
  return p;
}

} // namespace

ShapeTextWriter::ShapeTextWriter(std::ostream& os) : _os(os), _buffer(blockSize + longestNumber, '\0') {}

ShapeTextWriter::~ShapeTextWriter() = default;

void ShapeTextWriter::reserve(std::size_t bytes) {
  if (_used + bytes <= _buffer.size()) return;
  flush();
  if (bytes > _buffer.size()) _buffer.resize(bytes);
}

void ShapeTextWriter::flush() {
  if (_used > 0) _os.write(_buffer.data(), static_cast<std::streamsize>(_used));
  _used = 0;
}

template <class T> void ShapeTextWriter::number(T value) {
  reserve(longestNumber);
  char* first = _buffer.data() + _used;
  char* last = _buffer.data() + _buffer.size();
  char* end = nullptr;
  if constexpr (std::is_same_v<T, float> || std::is_same_v<T, double>) {
    if (value != 0 && std::isfinite(value)) end = writeSixDigits(static_cast<double>(value), first);
  }
  if (!end) {
    std::to_chars_result result;
    if constexpr (std::is_integral_v<T>)
      result = std::to_chars(first, last, value);
    else
      result = std::to_chars(first, last, value, std::chars_format::general, 6);
    end = result.ptr;
  }
  _used = static_cast<std::size_t>(end - _buffer.data());
  if (_used >= blockSize) flush();
}

template <class T> void ShapeTextWriter::numbers(const T* values, int count) {
  for (int i = 0; i < count; ++i) {
    if (i > 0) character(' ');
    number(values[i]);
  }
  character('\n');
}

void ShapeTextWriter::headerItem(int value) {
  character('#');
  character(' ');
  number(value);
  character('\n');
}

void ShapeTextWriter::text(const std::string& s) {
  reserve(s.size());
  s.copy(_buffer.data() + _used, s.size());
  _used += s.size();
}

void ShapeTextWriter::character(char c) {
  reserve(1);
  _buffer[_used++] = c;
}

template void ShapeTextWriter::number<int>(int);
template void ShapeTextWriter::number<float>(float);
template void ShapeTextWriter::number<double>(double);
template void ShapeTextWriter::number<long double>(long double);
template void ShapeTextWriter::numbers<int>(const int*, int);
template void ShapeTextWriter::numbers<float>(const float*, int);
template void ShapeTextWriter::numbers<double>(const double*, int);
template void ShapeTextWriter::numbers<long double>(const long double*, int);
