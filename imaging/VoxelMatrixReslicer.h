#pragma once

#include "imaging/VoxelMatrix.h"

// Turns a voxel matrix so that its slices run along its former rows.
// Instantiated for int, float, double and long double.
template <class T> class VoxelMatrixReslicer {
public:
  // Result of sizes (s2, s3, s1) with voxel (i, j, k) = source voxel (k, i, j), and voxel size
  // (component 1, component 2, component 0) of the source's in the same unit.
  VoxelMatrix<T> resliceAlongDimension1(const VoxelMatrix<T>& source) const;
};
