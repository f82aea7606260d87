#include "imaging/ImageSourceVoxelMatrixFilePlane.h"

#include "imaging/VoxelMatrix.h"

void ImageSourceVoxelMatrixFilePlane::setVoxelMatrixFilename(const std::string& filename) {
  _filename = filename;
  VoxelMatrix<float> header;
  header.loadHeader(filename);
  setVoxelMatrixSize(VoxelMatrix<float>::fileSizes(filename));
}
