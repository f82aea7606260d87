#pragma once

#include "imaging/Colormap.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <string>
#include <vector>

// The legend of a colour map shown over the scene: a vertical bar running through the map from the
// minimum (bottom) to the maximum (top), the variable's name above it and labels at round values
// beside it. It is drawn in window pixels at the right edge of the picture, after the scene, so it
// is neither lit nor turned with the pose, and it is part of every frame read back. Plain value;
// the default one shows nothing.
class ColorBarGL {
public:
  ColorBarGL() = default;
  ColorBarGL(const Colormap& colormap, float minimum, float maximum, const std::string& title);

  bool isShown() const { return _colormap.getSize() > 0; }
  float getMinimum() const { return _minimum; }
  float getMaximum() const { return _maximum; }
  const std::string& getTitle() const { return _title; }

  // Round values within [minimum, maximum]: the multiples of the largest step of the form 1, 2 or 5
  // times a power of ten that gives 4 to 8 of them (the step closest to 6 values when none does);
  // the single value of an empty range.
  static std::vector<double> ticks(double minimum, double maximum);
  // A tick value with the decimals its step needs and no more ("0.25" for step 0.05, "10" for 2).
  static std::string tickLabel(double value, double step);

  // The legend for a picture of that size (it grows with the picture), text in textColor,
  // transparent around the bar and the letters.
  QImage image(int pictureWidth, int pictureHeight, const QColor& textColor) const;
  // Draws the legend at the right edge of a picture of width x height whose pixel (left, bottom) is
  // at the current draw buffer's origin; needs a current context. Keeps the image between frames.
  void glDraw(int width, int height, int left, int bottom, const QColor& textColor) const;

private:
  Colormap _colormap;
  float _minimum = 0.0f;
  float _maximum = 0.0f;
  std::string _title;
  mutable QImage _image; // the legend drawn last, for the picture size and colour it was made for
  mutable QSize _imageSize;
  mutable QColor _imageColor;
};
