#pragma once

#include "foundation/LengthUnit.h"
#include "foundation/Vector.h"

// Physical size of one pixel of a 2D image. Width, height and aspect ratio (height / width) each
// carry a flag telling whether it was set; compute() derives the missing ones from those given.
class PixelCalibration {
public:
  PixelCalibration() = default;

  void clear(); // back to 1, 1, 1 with every value marked as not set, unit scale 0

  float getPixelWidth() const { return _pixelWidth; }
  float getPixelHeight() const { return _pixelHeight; }
  float getAspectRatio() const { return _aspectRatio; }
  void setPixelWidth(float width);
  void setPixelHeight(float height);
  void setAspectRatio(float ratio);
  bool isPixelWidthSet() const { return !_pixelWidthUnset; }
  bool isPixelHeightSet() const { return !_pixelHeightUnset; }
  bool isAspectRatioSet() const { return !_aspectRatioUnset; }

  Vector<float> getPixelSize() const; // (height, width)
  float pixelDiagonal() const;        // sqrt(width^2 + height^2)

  const LengthUnit& getLengthUnit() const { return _lengthUnit; }
  void setLengthUnit(const LengthUnit& unit) { _lengthUnit = unit; }

  // Completes the values that were not set from those that were; false when there was nothing to
  // derive (none set, or all three set). The flags are left as they are.
  bool compute();

  bool operator==(const PixelCalibration& other) const; // width, height and ratio, exactly
  bool operator!=(const PixelCalibration& other) const { return !(*this == other); }

private:
  float _pixelWidth = 1.0f;
  float _pixelHeight = 1.0f;
  float _aspectRatio = 1.0f;
  bool _pixelWidthUnset = true;
  bool _pixelHeightUnset = true;
  bool _aspectRatioUnset = true;
  LengthUnit _lengthUnit;
};
