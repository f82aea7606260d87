#include "imaging/DisplayRange.h"

#include "imaging/Image.h"
#include "imaging/PixelMatrix.h"

#include <algorithm>
#include <cmath>

namespace {

// Each grey level of an image, whatever its depth of 8 or 16 bits.
template <class F> void forEachGreyLevel(const Image& image, F visit) {
  for (int i = 0; i < image.getHeight(); ++i) {
    const unsigned char* row = image.row(i);
    for (int j = 0; j < image.getWidth(); ++j)
      visit(i, j, image.getDepth() == 16 ? reinterpret_cast<const unsigned short*>(row)[j] : row[j]);
  }
}

std::unique_ptr<Image> greyImageLike(int width, int height, const PixelCalibration& calibration) {
  auto grey = std::make_unique<Image>(width, height, 8);
  grey->getHeader().setPixelCalibration(calibration);
  return grey;
}

} // namespace

DisplayRange::DisplayRange(double minimum, double maximum) : _minimum(minimum), _maximum(maximum) {}

DisplayRange DisplayRange::automatic(double smallest, double largest) {
  if (smallest >= 0.0 && largest <= 255.0) return DisplayRange();
  return DisplayRange(smallest, largest);
}

DisplayRange DisplayRange::automatic(const Image& image) {
  if (image.getWidth() == 0 || image.getHeight() == 0) return DisplayRange();
  unsigned int smallest = 65535;
  unsigned int largest = 0;
  forEachGreyLevel(image, [&](int, int, unsigned int level) {
    smallest = std::min(smallest, level);
    largest = std::max(largest, level);
  });
  return automatic(smallest, largest);
}

bool DisplayRange::operator==(const DisplayRange& other) const {
  return _minimum == other._minimum && _maximum == other._maximum;
}

unsigned char DisplayRange::grey(double value) const {
  if (std::isnan(value)) return 0;
  if (value >= _maximum) return 255;
  if (value <= _minimum) return 0;
  // Within the range the scaled value lies in (0, 255): adding a half and truncating rounds it.
  return static_cast<unsigned char>((value - _minimum) * 255.0 / (_maximum - _minimum) + 0.5);
}

std::unique_ptr<Image> DisplayRange::greyImage(const PixelMatrix<float>& values) const {
  auto grey = greyImageLike(values.getSize2(), values.getSize1(), values.getPixelCalibration());
  for (int i = 0; i < values.getSize1(); ++i) {
    const float* source = values[i];
    unsigned char* target = grey->row(i);
    for (int j = 0; j < values.getSize2(); ++j) target[j] = this->grey(source[j]);
  }
  return grey;
}

std::unique_ptr<Image> DisplayRange::greyImage(const Image& image) const {
  auto grey = greyImageLike(image.getWidth(), image.getHeight(), image.getHeader().getPixelCalibration());
  forEachGreyLevel(image, [&](int i, int j, unsigned int level) { grey->row(i)[j] = this->grey(level); });
  return grey;
}
