#pragma once

#include "foundation/Vector.h"

#include <memory>

class Colormap;

// Where one 2D image comes from, without its pixels: a file, a plane of a TIFF or LSM stack, a
// slice of a voxel matrix in memory or in a ".vm" file, or a mosaic of files. ImageReader reads
// the pixels. getType() tells the kind (0 to 5, in the order of the subclasses above).
class ImageSource {
public:
  virtual ~ImageSource() = default;
  virtual std::unique_ptr<ImageSource> clone() const = 0;
  virtual int getType() const = 0;
  virtual bool isDefined() const = 0;
  virtual int getSize1() const = 0;                // rows, the image height
  virtual int getSize2() const = 0;                // columns, the image width
  virtual int getDepth() const = 0;                // bits per pixel
  virtual const Colormap* getColormap() const = 0; // null when none

  Vector<int> getSize() const; // (size1, size2)
};
