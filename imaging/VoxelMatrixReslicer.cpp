#include "imaging/VoxelMatrixReslicer.h"

#include <algorithm>

namespace {

// Result slice k is the transpose of the s3 x s2 matrix made of row k of every source slice. It is
// written in square tiles so that both the rows read and the rows written stay in the cache.
constexpr int tile = 32;

template <class T> void transposeRowsIntoSlice(const VoxelMatrix<T>& source, int k, PixelMatrix<T>& target) {
  const int s2 = source.getSize2(), s3 = source.getSize3();
  for (int j0 = 0; j0 < s3; j0 += tile) {
    const int j1 = std::min(j0 + tile, s3);
    for (int i0 = 0; i0 < s2; i0 += tile) {
      const int i1 = std::min(i0 + tile, s2);
      for (int j = j0; j < j1; ++j) {
        const T* row = source[j][k];
        for (int i = i0; i < i1; ++i) target[i][j] = row[i];
      }
    }
  }
}

} // namespace

template <class T>
VoxelMatrix<T> VoxelMatrixReslicer<T>::resliceAlongDimension1(const VoxelMatrix<T>& source) const {
  VoxelMatrix<T> result(source.getSize2(), source.getSize3(), source.getSize1());
  for (int k = 0; k < source.getSize1(); ++k) transposeRowsIntoSlice(source, k, result[k]);
  VoxelCalibration calibration = source.getVoxelCalibration();
  const Vector<float>& size = source.getVoxelCalibration().getVoxelSize();
  Vector<float> turned(3);
  turned[0] = size[1];
  turned[1] = size[2];
  turned[2] = size[0];
  calibration.setVoxelSize(turned);
  result.setVoxelCalibration(calibration);
  return result;
}

template class VoxelMatrixReslicer<int>;
template class VoxelMatrixReslicer<float>;
template class VoxelMatrixReslicer<double>;
template class VoxelMatrixReslicer<long double>;
