#pragma once

#include "imaging/ImageSourceVoxelMatrixBase.h"

template <class T> class VoxelMatrix;

// One slice of a voxel matrix in memory; the matrix is referenced, not owned.
class ImageSourceVoxelMatrixPlane : public ImageSourceVoxelMatrixBase {
public:
  std::unique_ptr<ImageSource> clone() const override {
    return std::make_unique<ImageSourceVoxelMatrixPlane>(*this);
  }
  int getType() const override { return 2; }
  bool isDefined() const override { return _matrix != nullptr && getPlane() >= 0; }

  void setVoxelMatrix(const VoxelMatrix<float>& matrix); // remembers it and copies its size
  const VoxelMatrix<float>* getVoxelMatrix() const { return _matrix; }

private:
  const VoxelMatrix<float>* _matrix = nullptr;
};
