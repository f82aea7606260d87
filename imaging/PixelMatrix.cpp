#include "imaging/PixelMatrix.h"

#include "imaging/Image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

// value truncated toward zero and clamped to 0 .. maximum; NaN gives 0.
template <class T> unsigned int clampedPixel(T value, unsigned int maximum) {
  if constexpr (std::is_floating_point_v<T>) {
    if (!(value > 0)) return 0; // also NaN
    if (value >= static_cast<T>(maximum)) return maximum;
    return static_cast<unsigned int>(value);
  } else {
    if (value <= 0) return 0;
    if (static_cast<unsigned long long>(value) >= maximum) return maximum;
    return static_cast<unsigned int>(value);
  }
}

template <class T, class Pixel> void storePixels(const PixelMatrix<T>& matrix, Image& image) {
  const unsigned int maximum = static_cast<Pixel>(~Pixel(0));
  for (int i = 0; i < matrix.getSize1(); ++i) {
    const T* source = matrix[i];
    Pixel* target = reinterpret_cast<Pixel*>(image.row(i));
    for (int j = 0; j < matrix.getSize2(); ++j)
      target[j] = static_cast<Pixel>(clampedPixel(source[j], maximum));
  }
}

template <class T> T pixelValue(const unsigned char* pixel, int depth) {
  switch (depth) {
  case 8:
    return static_cast<T>(pixel[0]);
  case 16: {
    unsigned short value;
    std::memcpy(&value, pixel, sizeof value);
    return static_cast<T>(value);
  }
  default:
    return static_cast<T>((pixel[0] + pixel[1] + pixel[2]) / 3);
  }
}

} // namespace

template <class T> PixelMatrix<T>::PixelMatrix(int size1, int size2) {
  setSize(size1, size2);
}

template <class T> PixelMatrix<T>::PixelMatrix(const PixelMatrix& other) {
  *this = other;
}

template <class T> PixelMatrix<T>& PixelMatrix<T>::operator=(const PixelMatrix& other) {
  if (this == &other) return *this;
  setSize(other._size1, other._size2);
  std::copy(other.data(), other.data() + numElements(), data());
  _pixelCalibration = other._pixelCalibration;
  return *this;
}

template <class T> void PixelMatrix<T>::swap(PixelMatrix& other) noexcept {
  std::swap(_size1, other._size1);
  std::swap(_size2, other._size2);
  std::swap(_data, other._data);
  std::swap(_pixelCalibration, other._pixelCalibration);
}

template <class T> void PixelMatrix<T>::setSize(int size1, int size2) {
  size1 = std::max(size1, 0);
  size2 = std::max(size2, 0);
  if (size1 == _size1 && size2 == _size2) return;
  _data.reset();
  _size1 = size1;
  _size2 = size2;
  if (numElements() > 0) _data.reset(new T[numElements()]);
}

template <class T> bool PixelMatrix<T>::operator==(const PixelMatrix& other) const {
  return _size1 == other._size1 && _size2 == other._size2 &&
         std::equal(data(), data() + numElements(), other.data());
}

template <class T> Vector<unsigned int> PixelMatrix<T>::histogram(T min, T max, int bins) const {
  PixelMatrix<T> everything;
  return histogram(min, max, bins, everything);
}

template <class T>
Vector<unsigned int> PixelMatrix<T>::histogram(T min, T max, int bins, const PixelMatrix& mask) const {
  Vector<unsigned int> counts(std::max(bins, 0));
  counts.fill(0);
  if (bins < 1 || !(max > min)) return counts;
  const bool masked = mask.numElements() == numElements() && numElements() > 0;
  const double width = (static_cast<double>(max) - static_cast<double>(min)) / bins;
  for (long long n = 0; n < numElements(); ++n) {
    if (masked && mask.data()[n] == T(0)) continue;
    const T value = data()[n];
    if (value < min || value > max) continue;
    const int bin =
        std::min(static_cast<int>((static_cast<double>(value) - static_cast<double>(min)) / width), bins - 1);
    ++counts[bin];
  }
  return counts;
}

template <class T> void PixelMatrix<T>::convertToImage(Image& image, int depth) const {
  image.init(_size2, _size1, depth);
  image.getHeader().setPixelCalibration(_pixelCalibration);
  if (depth == 8)
    storePixels<T, unsigned char>(*this, image);
  else if (depth == 16)
    storePixels<T, unsigned short>(*this, image);
}

template <class T> void PixelMatrix<T>::convertFromImage(const Image& image) {
  setSize(image.getHeight(), image.getWidth());
  _pixelCalibration = image.getHeader().getPixelCalibration();
  const int step = image.bytesPerPixel();
  const int depth = image.getDepth();
  for (int i = 0; i < _size1; ++i) {
    const unsigned char* source = image.row(i);
    T* target = (*this)[i];
    if (depth == 8) {
      for (int j = 0; j < _size2; ++j) target[j] = static_cast<T>(source[j]);
    } else {
      for (int j = 0; j < _size2; ++j) target[j] = pixelValue<T>(source + j * step, depth);
    }
  }
}

template class PixelMatrix<char>;
template class PixelMatrix<unsigned char>;
template class PixelMatrix<short>;
template class PixelMatrix<unsigned short>;
template class PixelMatrix<int>;
template class PixelMatrix<unsigned int>;
template class PixelMatrix<float>;
template class PixelMatrix<double>;
template class PixelMatrix<long double>;
