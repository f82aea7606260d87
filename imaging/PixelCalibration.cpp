#include "imaging/PixelCalibration.h"

#include <cmath>

void PixelCalibration::clear() {
  *this = PixelCalibration();
}

void PixelCalibration::setPixelWidth(float width) {
  _pixelWidth = width;
  _pixelWidthUnset = false;
}

void PixelCalibration::setPixelHeight(float height) {
  _pixelHeight = height;
  _pixelHeightUnset = false;
}

void PixelCalibration::setAspectRatio(float ratio) {
  _aspectRatio = ratio;
  _aspectRatioUnset = false;
}

Vector<float> PixelCalibration::getPixelSize() const {
  Vector<float> size(2);
  size[0] = _pixelHeight;
  size[1] = _pixelWidth;
  return size;
}

float PixelCalibration::pixelDiagonal() const {
  return std::sqrt(_pixelWidth * _pixelWidth + _pixelHeight * _pixelHeight);
}

bool PixelCalibration::compute() {
  const bool widthSet = !_pixelWidthUnset;
  const bool heightSet = !_pixelHeightUnset;
  if (_aspectRatioUnset) {
    if (widthSet && heightSet) {
      _aspectRatio = _pixelHeight / _pixelWidth;
    } else if (widthSet) {
      _pixelHeight = _pixelWidth;
    } else if (heightSet) {
      _pixelWidth = _pixelHeight;
    } else {
      return false;
    }
    return true;
  }
  if (!heightSet) {
    _pixelHeight = _aspectRatio * _pixelWidth;
    return true;
  }
  if (!widthSet) {
    _pixelWidth = _pixelHeight / _aspectRatio;
    return true;
  }
  return false;
}

bool PixelCalibration::operator==(const PixelCalibration& other) const {
  return _pixelWidth == other._pixelWidth && _pixelHeight == other._pixelHeight &&
         _aspectRatio == other._aspectRatio;
}
