#include "imaging/VoxelCalibration.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Exception.h"

VoxelCalibration::VoxelCalibration() : _voxelSize(3) {
  _voxelSize.fill(1.0f);
}

void VoxelCalibration::setVoxelSize(const Vector<float>& size) {
  if (size.getSize() != 3)
    throwError<SizeError>(OSTREL_HERE, "Size vector does not contain three values as expected");
  _voxelSize = size;
}

PixelCalibration VoxelCalibration::pixelCalibration() const {
  PixelCalibration calibration;
  calibration.setLengthUnit(_lengthUnit);
  calibration.setPixelWidth(_voxelSize[0]);
  calibration.setPixelHeight(_voxelSize[1]);
  calibration.compute();
  return calibration;
}
