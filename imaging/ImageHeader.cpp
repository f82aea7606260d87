#include "imaging/ImageHeader.h"

ImageHeader::ImageHeader(const ImageHeader& other) {
  *this = other;
}

ImageHeader& ImageHeader::operator=(const ImageHeader& other) {
  if (this == &other) return *this;
  _format = other._format;
  _height = other._height;
  _width = other._width;
  _planes = other._planes;
  _depth = other._depth;
  _pixelCalibration = other._pixelCalibration;
  if (other._depth == 8 && other._colormap)
    _colormap = std::make_unique<Colormap>(*other._colormap);
  else
    _colormap.reset();
  return *this;
}

void ImageHeader::clear() {
  _format = ImageFormat::None;
  _height = 0;
  _width = 0;
  _planes = 0;
  _depth = 0;
  _pixelCalibration.clear();
  _colormap.reset();
}

void ImageHeader::setColormap(const Colormap& colormap) {
  _colormap = std::make_unique<Colormap>(colormap);
}
