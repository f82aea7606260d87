#include "imaging/ImageSourceVoxelMatrixBase.h"

ImageSourceVoxelMatrixBase::ImageSourceVoxelMatrixBase() : _size(3) {
  _size.fill(0);
}
