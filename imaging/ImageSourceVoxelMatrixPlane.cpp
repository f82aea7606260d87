#include "imaging/ImageSourceVoxelMatrixPlane.h"

#include "imaging/VoxelMatrix.h"

void ImageSourceVoxelMatrixPlane::setVoxelMatrix(const VoxelMatrix<float>& matrix) {
  _matrix = &matrix;
  setVoxelMatrixSize(matrix.getSize());
}
