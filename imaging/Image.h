#pragma once

#include "foundation/Vector.h"
#include "imaging/ImageHeader.h"

#include <cstddef>
#include <string>
#include <vector>

// A 2D raster of 8, 16, 24 or 32 bits per pixel with its header. Pixels are one contiguous block,
// rows unpadded, with a table of row pointers into it.
class Image {
public:
  Image() = default;
  Image(int width, int height, int depth);                   // through init
  Image(const std::string& name, const std::string& prefix); // reads the file prefix + name
  Image(const Image& other);
  Image& operator=(const Image& other);
  virtual ~Image() = default;

  // Allocates width x height pixels of depth bits and clears the header (which then records the new
  // size and depth); does nothing when the size and depth are unchanged and pixels exist. Depths other than
  // 8, 16, 24, 32 give a DepthError; negative sizes a SizeError.
  void init(int width, int height, int depth);

  int getWidth() const { return _width; }
  int getHeight() const { return _height; }
  int getDepth() const { return _depth; }
  int bytesPerPixel() const { return _depth / 8; }
  int bytesPerLine() const { return _width * bytesPerPixel(); }
  std::size_t dataLength() const { return _data.size(); } // bytes of pixel data
  Vector<int> getSize() const;                            // (height, width)

  unsigned char* getData() { return _data.data(); } // first byte of row 0
  const unsigned char* getData() const { return _data.data(); }
  unsigned char* const* getPixels() { return _rows.data(); } // row pointers
  const unsigned char* const* getPixels() const { return _rows.data(); }
  unsigned char* row(int i) { return _rows[i]; }
  const unsigned char* row(int i) const { return _rows[i]; }

  ImageHeader& getHeader() { return _header; }
  const ImageHeader& getHeader() const { return _header; }
  void setHeader(const ImageHeader& header) { _header = header; }

  void setColormap(const Colormap& colormap) { _header.setColormap(colormap); }
  const Colormap* getColormap() const { return _header.getColormap(); } // null when none
  bool isIndexed() const { return _depth == 8 && _header.hasColormap(); }

  // The title (when not empty), then size, depth and calibration, to the standard output.
  void print(const std::string& title = "") const;

private:
  void rebuildRows();

  ImageHeader _header;
  int _width = 0;
  int _height = 0;
  int _depth = 0;
  std::vector<unsigned char> _data;
  std::vector<unsigned char*> _rows;
};
