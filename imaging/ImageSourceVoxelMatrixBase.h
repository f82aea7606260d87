#pragma once

#include "foundation/Vector.h"
#include "imaging/ImageSource.h"

// Base of the sources that name one slice (plane) of a voxel matrix; the image is 32 bits deep.
class ImageSourceVoxelMatrixBase : public ImageSource {
public:
  ImageSourceVoxelMatrixBase();

  int getSize1() const override { return _size[0]; }
  int getSize2() const override { return _size[1]; }
  int getDepth() const override { return 32; }
  const Colormap* getColormap() const override { return nullptr; }

  const Vector<int>& getVoxelMatrixSize() const { return _size; } // (size1, size2, size3)
  void setPlane(int plane) { _plane = plane; }
  int getPlane() const { return _plane; }

protected:
  void setVoxelMatrixSize(const Vector<int>& size) { _size = size; }

private:
  Vector<int> _size;
  int _plane = 0;
};
