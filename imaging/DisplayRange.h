#pragma once

#include <memory>

class Image;
template <class T> class PixelMatrix;

// The values shown as grey levels: the minimum black, the maximum white, linear between them, and
// values beyond either end clamped to it (never wrapped). Plain value.
class DisplayRange {
public:
  DisplayRange() = default; // 0 to 255: 8-bit data as it is
  DisplayRange(double minimum, double maximum);

  // 0 to 255 for data within 0 to 255, else the data's own smallest and largest value.
  static DisplayRange automatic(double smallest, double largest);
  // The automatic range of an image's grey levels (8- or 16-bit).
  static DisplayRange automatic(const Image& image);

  double getMinimum() const { return _minimum; }
  double getMaximum() const { return _maximum; }
  bool operator==(const DisplayRange& other) const;
  bool operator!=(const DisplayRange& other) const { return !(*this == other); }

  // 0 at or below the minimum, 255 at or above the maximum (and when both ends are equal), rounded
  // between them; NaN gives 0.
  unsigned char grey(double value) const;
  // An 8-bit image of the values, rows of the matrix as image rows, with its pixel calibration.
  std::unique_ptr<Image> greyImage(const PixelMatrix<float>& values) const;
  // An 8-bit image of a 16-bit image's grey levels (an 8-bit one is mapped the same way).
  std::unique_ptr<Image> greyImage(const Image& image) const;

private:
  double _minimum = 0.0;
  double _maximum = 255.0;
};
