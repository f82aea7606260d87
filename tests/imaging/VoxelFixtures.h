#pragma once

#include "imaging/VoxelCalibration.h"

// A voxel calibration with the voxel size vector (size0, size1, size2) and the length unit of the
// given power of ten (-6: micrometres).
inline VoxelCalibration voxelCalibration(float size0, float size1, float size2, int unitScale) {
  VoxelCalibration calibration;
  Vector<float> size(3);
  size[0] = size0;
  size[1] = size1;
  size[2] = size2;
  calibration.setVoxelSize(size);
  LengthUnit unit;
  unit.setScale(unitScale);
  calibration.setLengthUnit(unit);
  return calibration;
}
