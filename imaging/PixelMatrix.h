#pragma once

#include "foundation/Vector.h"
#include "imaging/PixelCalibration.h"

#include <memory>

class Image;

// A 2D matrix of pixel values, size1 rows by size2 columns, stored row after row in one block, with
// a pixel calibration. One slice of a voxel matrix. Indices are not checked.
// Instantiated for char, unsigned char, short, unsigned short, int, unsigned int, float, double,
// long double.
template <class T> class PixelMatrix {
public:
  PixelMatrix() = default;
  PixelMatrix(int size1, int size2);
  PixelMatrix(const PixelMatrix& other);
  PixelMatrix& operator=(const PixelMatrix& other);
  PixelMatrix(PixelMatrix&& other) noexcept = default;
  PixelMatrix& operator=(PixelMatrix&& other) noexcept = default;
  void swap(PixelMatrix& other) noexcept;

  // Reallocates (values not set) unless the sizes are unchanged; negative sizes count as 0.
  void setSize(int size1, int size2);
  int getSize1() const { return _size1; }
  int getSize2() const { return _size2; }
  long long numElements() const { return static_cast<long long>(_size1) * _size2; }

  T* operator[](int i) { return _data.get() + static_cast<long long>(i) * _size2; } // row i
  const T* operator[](int i) const { return _data.get() + static_cast<long long>(i) * _size2; }
  T& operator()(int i, int j) { return (*this)[i][j]; }
  const T& operator()(int i, int j) const { return (*this)[i][j]; }
  T* data() { return _data.get(); }
  const T* data() const { return _data.get(); }

  bool operator==(const PixelMatrix& other) const; // same sizes and values
  bool operator!=(const PixelMatrix& other) const { return !(*this == other); }

  const PixelCalibration& getPixelCalibration() const { return _pixelCalibration; }
  void setPixelCalibration(const PixelCalibration& calibration) { _pixelCalibration = calibration; }

  // Counts of values in bins [min + b w, min + (b + 1) w), w = (max - min) / bins; values outside
  // [min, max] are not counted, max itself goes to the last bin. With a mask only the pixels whose
  // mask value is not 0 count.
  Vector<unsigned int> histogram(T min, T max, int bins) const;
  Vector<unsigned int> histogram(T min, T max, int bins, const PixelMatrix& mask) const;

  // Image of width size2, height size1 and the given depth carrying this calibration; at depth 8 or
  // 16 each value is truncated toward zero, values outside the pixel range are clamped to it and NaN
  // becomes 0. Other depths leave the pixels as allocated.
  void convertToImage(Image& image, int depth) const;
  // The reverse: one value per pixel; 24- and 32-bit pixels give the mean of red, green and blue.
  void convertFromImage(const Image& image);

private:
  int _size1 = 0;
  int _size2 = 0;
  std::unique_ptr<T[]> _data;
  PixelCalibration _pixelCalibration;
};
