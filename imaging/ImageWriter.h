#pragma once

#include "imaging/Image.h"

#include <string>

// Writes an image as a one-page TIFF through libtiff.
class ImageWriter {
public:
  // Palette for 8-bit images with a colour map, black-is-zero for other 8-bit images, RGB
  // otherwise. Refuses an existing file unless overwrite is set.
  void write(const Image& image, const std::string& filename, bool overwrite = false);
};
