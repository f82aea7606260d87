#include "imaging/VoxelMatrix.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "foundation/FileInfo.h"
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/TiffFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <limits>
#include <numeric>
#include <sstream>

// === Construction and sizes

template <class T> VoxelMatrix<T>::VoxelMatrix(int size1, int size2, int size3) {
  setSize(size1, size2, size3);
}

template <class T> VoxelMatrix<T>::VoxelMatrix(const std::string& filename) {
  try {
    load(filename);
  } catch (Exception& exception) {
    exception.addCall(OSTREL_HERE);
    throw;
  }
}

template <class T> void VoxelMatrix<T>::swap(VoxelMatrix& other) noexcept {
  std::swap(_size1, other._size1);
  std::swap(_size2, other._size2);
  std::swap(_size3, other._size3);
  _slices.swap(other._slices);
  std::swap(_calibration, other._calibration);
}

template <class T> void VoxelMatrix<T>::setSize(int size1, int size2, int size3) {
  if (size1 == _size1 && size2 == _size2 && size3 == _size3) return;
  _slices.clear();
  _size1 = size1;
  _size2 = size2;
  _size3 = size3;
  if (size3 < 1) return;
  _slices.reserve(size3);
  for (int k = 0; k < size3; ++k) _slices.emplace_back(size1, size2);
}

template <class T> void VoxelMatrix<T>::setSize(const Vector<int>& size) {
  setSize(size[0], size[1], size[2]);
}

template <class T> unsigned int VoxelMatrix<T>::getSize(int d) const {
  switch (d) {
  case 1:
    return _size1;
  case 2:
    return _size2;
  case 3:
    return _size3;
  default: {
    throwError<ValueError>(OSTREL_HERE, "Invalid argument value (neither 1, 2 or 3)");
  }
  }
}

template <class T> Vector<int> VoxelMatrix<T>::getSize() const {
  Vector<int> size(3);
  size[0] = _size1;
  size[1] = _size2;
  size[2] = _size3;
  return size;
}

template <class T> bool VoxelMatrix<T>::sameSizeAs(const VoxelMatrix& other) const {
  return _size1 == other._size1 && _size2 == other._size2 && _size3 == other._size3;
}

template <class T> bool VoxelMatrix<T>::contains(int i, int j, int k) const {
  return i >= 0 && i < _size1 && j >= 0 && j < _size2 && k >= 0 && k < _size3;
}

template <class T> bool VoxelMatrix<T>::contains(const Vector<int>& position) const {
  return contains(position[0], position[1], position[2]);
}

template <class T> bool VoxelMatrix<T>::operator==(const VoxelMatrix& other) const {
  if (!sameSizeAs(other)) return false;
  for (int k = 0; k < _size3; ++k)
    if (_slices[k] != other._slices[k]) return false;
  return true;
}

// === Element-wise operations

template <class T> void VoxelMatrix<T>::fill(const T& value) {
  for (auto& slice : _slices) std::fill(slice.data(), slice.data() + slice.numElements(), value);
}

template <class T> void VoxelMatrix<T>::apply(T (*f)(T)) {
  // The end is taken once per slice: after each call of f the compiler could not assume it unchanged.
  for (auto& slice : _slices)
    std::transform(slice.data(), slice.data() + slice.numElements(), slice.data(), f);
}

template <class T> void VoxelMatrix<T>::reverse() {
  std::reverse(_slices.begin(), _slices.end());
  for (auto& slice : _slices) std::reverse(slice.data(), slice.data() + slice.numElements());
}

template <class T> void VoxelMatrix<T>::checkSameSize(const VoxelMatrix& other, const char* where) const {
  if (sameSizeAs(other)) return;
  throwError<SizeError>(where, "The two matrices have different sizes");
}

namespace {

template <class T, class Operation>
void combine(VoxelMatrix<T>& target, const VoxelMatrix<T>& source, Operation operation) {
  for (int k = 0; k < target.getSize3(); ++k) {
    T* a = target[k].data();
    const T* b = source[k].data();
    const long long n = target[k].numElements();
    for (long long e = 0; e < n; ++e) a[e] = operation(a[e], b[e]);
  }
}

template <class T, class Operation>
void combine(VoxelMatrix<T>& target, const T& value, Operation operation) {
  for (int k = 0; k < target.getSize3(); ++k) {
    T* a = target[k].data();
    const long long n = target[k].numElements();
    for (long long e = 0; e < n; ++e) a[e] = operation(a[e], value);
  }
}

} // namespace

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator+=(const VoxelMatrix& other) {
  checkSameSize(other, OSTREL_HERE);
  combine(*this, other, [](T a, T b) { return static_cast<T>(a + b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator-=(const VoxelMatrix& other) {
  checkSameSize(other, OSTREL_HERE);
  combine(*this, other, [](T a, T b) { return static_cast<T>(a - b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator*=(const VoxelMatrix& other) {
  checkSameSize(other, OSTREL_HERE);
  combine(*this, other, [](T a, T b) { return static_cast<T>(a * b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator+=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a + b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator-=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a - b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator*=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a * b); });
  return *this;
}

template <class T> VoxelMatrix<T>& VoxelMatrix<T>::operator/=(const T& value) {
  combine(*this, value, [](T a, T b) { return static_cast<T>(a / b); });
  return *this;
}

// === Sub-volumes

template <class T> VoxelMatrix<T> VoxelMatrix<T>::copy(int i1, int i2, int j1, int j2, int k1, int k2) const {
  i1 = std::max(i1, 0), j1 = std::max(j1, 0), k1 = std::max(k1, 0);
  i2 = std::min(i2, _size1 - 1), j2 = std::min(j2, _size2 - 1), k2 = std::min(k2, _size3 - 1);
  VoxelMatrix result(std::max(i2 - i1 + 1, 0), std::max(j2 - j1 + 1, 0), std::max(k2 - k1 + 1, 0));
  result._calibration = _calibration;
  for (int k = 0; k < result._size3; ++k)
    for (int i = 0; i < result._size1; ++i)
      std::copy(_slices[k1 + k][i1 + i] + j1, _slices[k1 + k][i1 + i] + j1 + result._size2,
                result._slices[k][i]);
  return result;
}

template <class T> void VoxelMatrix<T>::paste(int i, int j, int k, const VoxelMatrix& other) {
  for (int c = std::max(0, -k); c < other._size3 && k + c < _size3; ++c)
    for (int a = std::max(0, -i); a < other._size1 && i + a < _size1; ++a)
      for (int b = std::max(0, -j); b < other._size2 && j + b < _size2; ++b)
        _slices[k + c](i + a, j + b) = other._slices[c](a, b);
}

template <class T> Vector<T> VoxelMatrix<T>::cat() const {
  Vector<T> all(static_cast<int>(numElements()));
  T* target = all.data();
  for (const auto& slice : _slices)
    target = std::copy(slice.data(), slice.data() + slice.numElements(), target);
  return all;
}

// === Statistics

template <class T> void VoxelMatrix<T>::checkNotEmpty(const char* where, const char* what) const {
  if (numElements() > 0) return;
  throwError<SizeError>(where, what);
}

template <class T> T VoxelMatrix<T>::min() const {
  checkNotEmpty(OSTREL_HERE, "This matrix is empty");
  T result = _slices[0].data()[0];
  for (const auto& slice : _slices)
    result = std::min(result, *std::min_element(slice.data(), slice.data() + slice.numElements()));
  return result;
}

template <class T> T VoxelMatrix<T>::max() const {
  checkNotEmpty(OSTREL_HERE, "This matrix is empty");
  T result = _slices[0].data()[0];
  for (const auto& slice : _slices)
    result = std::max(result, *std::max_element(slice.data(), slice.data() + slice.numElements()));
  return result;
}

template <class T> Vector<T> VoxelMatrix<T>::range() const {
  checkNotEmpty(OSTREL_HERE, "This matrix is empty.");
  Vector<T> result(2);
  result[0] = min();
  result[1] = max();
  return result;
}

template <class T> T VoxelMatrix<T>::sum() const {
  checkNotEmpty(OSTREL_HERE, "This matrix is empty");
  T result = T(0);
  for (const auto& slice : _slices)
    result = std::accumulate(slice.data(), slice.data() + slice.numElements(), result,
                             [](T s, T v) { return static_cast<T>(s + v); });
  return result;
}

template <class T> Vector<unsigned int> VoxelMatrix<T>::histogram(T min, T max, int bins) const {
  Vector<unsigned int> counts(std::max(bins, 0));
  counts.fill(0);
  for (const auto& slice : _slices) counts += slice.histogram(min, max, bins);
  return counts;
}

template <class T>
Vector<unsigned int> VoxelMatrix<T>::histogram(T min, T max, int bins, const VoxelMatrix& mask) const {
  checkSameSize(mask, OSTREL_HERE);
  Vector<unsigned int> counts(std::max(bins, 0));
  counts.fill(0);
  for (int k = 0; k < _size3; ++k) counts += _slices[k].histogram(min, max, bins, mask._slices[k]);
  return counts;
}

template <class T> void VoxelMatrix<T>::print(const std::string& title) const {
  if (!title.empty()) std::cout << title << '\n';
  std::cout << "size: " << _size1 << ' ' << _size2 << ' ' << _size3 << '\n';
  std::cout << "voxel size: " << _calibration.getVoxelHeight() << ' ' << _calibration.getVoxelWidth() << ' '
            << _calibration.getVoxelDepth() << ' ' << _calibration.getLengthUnit().symbol() << '\n';
  for (int k = 0; k < _size3; ++k) {
    std::cout << "slice " << k << ":\n";
    for (int i = 0; i < _size1; ++i) {
      for (int j = 0; j < _size2; ++j) std::cout << (j ? " " : "") << +_slices[k](i, j);
      std::cout << '\n';
    }
  }
  std::cout.flush();
}

template <class T> template <class U> VoxelMatrix<U> VoxelMatrix<T>::toType() const {
  VoxelMatrix<U> result(_size1, _size2, _size3);
  result.setVoxelCalibration(_calibration);
  for (int k = 0; k < _size3; ++k) {
    const T* source = _slices[k].data();
    U* target = result[k].data();
    const long long n = _slices[k].numElements();
    for (long long e = 0; e < n; ++e) target[e] = static_cast<U>(source[e]);
  }
  return result;
}

template class VoxelMatrix<char>;
template class VoxelMatrix<unsigned char>;
template class VoxelMatrix<short>;
template class VoxelMatrix<unsigned short>;
template class VoxelMatrix<int>;
template class VoxelMatrix<unsigned int>;
template class VoxelMatrix<float>;
template class VoxelMatrix<double>;
template class VoxelMatrix<long double>;

#define OSTREL_VOXEL_MATRIX_CONVERSION(From, To)                                                             \
  template VoxelMatrix<To> VoxelMatrix<From>::toType<To>() const;
#define OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(From)                                                           \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, unsigned char)                                                        \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, int)                                                                  \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, float)                                                                \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, double)                                                               \
  OSTREL_VOXEL_MATRIX_CONVERSION(From, long double)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(unsigned char)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(int)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(float)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(double)
OSTREL_VOXEL_MATRIX_CONVERSIONS_FROM(long double)
