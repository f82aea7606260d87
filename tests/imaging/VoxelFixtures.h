#pragma once

#include "imaging/VoxelCalibration.h"

// A voxel calibration with the voxel size vector (size0, size1, size2) and the length unit of the
// given power of ten (-6: micrometres).
inline VoxelCalibration voxelCalibration(float size0, float size1, float size2, int unitScale) {
  VoxelCalibration calibration;
  calibration.setVoxelSize(Vector<float>(std::vector<float>{size0, size1, size2}));
  LengthUnit unit;
  unit.setScale(unitScale);
  calibration.setLengthUnit(unit);
  return calibration;
}
