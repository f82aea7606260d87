#include "rendering/VoxelMatrixSlicePainterGL.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Trace.h"

template <class V, class C> VoxelMatrixSlicePainterGL<V, C>::VoxelMatrixSlicePainterGL() : _origin(3) {
  _origin.setZeros();
}

template <class V, class C>
void VoxelMatrixSlicePainterGL<V, C>::setVoxelMatrix(const VoxelMatrix<V>& matrix) {
  _matrix = &matrix;
  _imagePainter.setPixelCalibration(matrix.getVoxelCalibration().pixelCalibration());
  setCurrentSlice(0);
}

template <class V, class C> const VoxelMatrix<V>& VoxelMatrixSlicePainterGL<V, C>::getVoxelMatrix() const {
  if (!_matrix) throwError<ProgramError>(OSTREL_HERE, "No voxel matrix is associated to this painter");
  return *_matrix;
}

template <class V, class C> void VoxelMatrixSlicePainterGL<V, C>::glInit() {
  setCurrentSlice(0);
}

template <class V, class C> void VoxelMatrixSlicePainterGL<V, C>::setCurrentSlice(int k) {
  Trace::Scope scope("void VoxelMatrixSlicePainterGL<VoxelType,CoordType>::setCurrentSlice(const int)");
  traceValue("slice", k);
  if (!_matrix || k == _currentSlice || k < 0 || k >= _matrix->getSize3()) return;
  showSlice(k);
}

template <class V, class C> void VoxelMatrixSlicePainterGL<V, C>::setDisplayRange(const DisplayRange& range) {
  if (range == _displayRange) return;
  _displayRange = range;
  if (_matrix && _currentSlice >= 0) showSlice(_currentSlice);
}

template <class V, class C> void VoxelMatrixSlicePainterGL<V, C>::showSlice(int k) {
  const Vector<float>& voxelSize = _matrix->getVoxelCalibration().getVoxelSize();
  const C a = static_cast<C>(_matrix->getSize1() * voxelSize[0]);
  const C b = static_cast<C>(_matrix->getSize2() * voxelSize[1]);
  const C z = static_cast<C>(_origin[2] + voxelSize[2] * k);
  Vertices<C> corners(3, 4);
  const C xy[4][2] = {{0, 0}, {a, 0}, {a, b}, {0, b}};
  for (int i = 0; i < 4; ++i) {
    Vector<C>& corner = corners[i];
    corner[0] = xy[i][0];
    corner[1] = xy[i][1];
    corner[2] = z;
    if (_direction == 0) corner.circShift();
  }
  // The painter lets go of the old image before it is deleted.
  _imagePainter.glClear();
  _sliceImage = _displayRange.greyImage((*_matrix)[k]);
  _imagePainter.setImage(*_sliceImage);
  _imagePainter.setCorners(corners);
  _currentSlice = k;
}

template <class V, class C> BoundingBox<C> VoxelMatrixSlicePainterGL<V, C>::boundingBox() const {
  if (!_matrix) return BoundingBox<C>();
  const Vector<float>& voxelSize = _matrix->getVoxelCalibration().getVoxelSize();
  Vector<C> upper(3);
  for (int d = 0; d < 3; ++d) upper[d] = static_cast<C>(_origin[d] + _matrix->getSize(d + 1) * voxelSize[d]);
  return BoundingBox<C>(_origin, upper);
}

template <class V, class C> void VoxelMatrixSlicePainterGL<V, C>::glDraw() const {
  _imagePainter.glDraw();
}

template class VoxelMatrixSlicePainterGL<float, float>;
