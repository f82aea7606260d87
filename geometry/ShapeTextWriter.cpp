#include "geometry/ShapeTextWriter.h"

#include <charconv>
#include <ostream>
#include <type_traits>

namespace {

constexpr std::size_t blockSize = 1 << 20; // bytes handed to the stream at a time
constexpr std::size_t longestNumber = 64;  // "-1.23457e+4932" and any int fit easily

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
  std::to_chars_result result;
  if constexpr (std::is_integral_v<T>)
    result = std::to_chars(first, last, value);
  else
    result = std::to_chars(first, last, value, std::chars_format::general, 6);
  _used = static_cast<std::size_t>(result.ptr - _buffer.data());
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
