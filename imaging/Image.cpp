#include "imaging/Image.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"
#include "imaging/ImageReader.h"

#include <iostream>
#include <limits>

Image::Image(int width, int height, int depth) {
  init(width, height, depth);
}

Image::Image(const std::string& name, const std::string& prefix) {
  ImageReader reader;
  reader.read(*this, prefix + name);
}

Image::Image(const Image& other)
    : _header(other._header), _width(other._width), _height(other._height), _depth(other._depth),
      _data(other._data) {
  rebuildRows();
}

Image& Image::operator=(const Image& other) {
  if (this == &other) return *this;
  _header = other._header;
  _width = other._width;
  _height = other._height;
  _depth = other._depth;
  _data = other._data;
  rebuildRows();
  return *this;
}

void Image::init(int width, int height, int depth) {
  if (width == _width && height == _height && depth == _depth && !_data.empty()) return;
  _data.clear();
  _rows.clear();
  _width = _height = _depth = 0;
  _header.clear();
  if (depth != 8 && depth != 16 && depth != 24 && depth != 32)
    throwError<DepthError>(OSTREL_HERE, "Invalid depth value");
  const std::size_t bytesPerRow = static_cast<std::size_t>(width) * (depth / 8);
  const std::size_t limit = std::numeric_limits<int>::max();
  if (width < 0 || height < 0 || bytesPerRow > limit || (height > 0 && bytesPerRow > limit / height))
    throwError<SizeError>(OSTREL_HERE, "Invalid image size");
  _data.resize(bytesPerRow * height);
  _width = width;
  _height = height;
  _depth = depth;
  _header.setWidth(width);
  _header.setHeight(height);
  _header.setDepth(depth);
  rebuildRows();
}

Vector<int> Image::getSize() const {
  Vector<int> size(2);
  size[0] = _height;
  size[1] = _width;
  return size;
}

void Image::rebuildRows() {
  _rows.resize(_height);
  for (int i = 0; i < _height; ++i) _rows[i] = _data.data() + static_cast<std::size_t>(i) * bytesPerLine();
}

void Image::print(const std::string& title) const {
  if (!title.empty()) std::cout << title << '\n';
  const PixelCalibration& calibration = _header.getPixelCalibration();
  std::cout << "width: " << _width << ", height: " << _height << ", depth: " << _depth
            << (isIndexed() ? ", indexed" : "") << '\n'
            << "pixel size: " << calibration.getPixelWidth() << " x " << calibration.getPixelHeight() << ' '
            << calibration.getLengthUnit().name() << std::endl;
}
