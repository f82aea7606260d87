#pragma once

#include "foundation/LengthUnit.h"
#include "foundation/Vector.h"
#include "imaging/PixelCalibration.h"

// Physical size of one voxel: height (component 0, along rows), width (component 1, along
// columns) and depth (component 2, between slices), in the held length unit.
class VoxelCalibration {
public:
  VoxelCalibration();

  float getVoxelHeight() const { return _voxelSize[0]; }
  float getVoxelWidth() const { return _voxelSize[1]; }
  float getVoxelDepth() const { return _voxelSize[2]; }
  void setVoxelHeight(float height) { _voxelSize[0] = height; }
  void setVoxelWidth(float width) { _voxelSize[1] = width; }
  void setVoxelDepth(float depth) { _voxelSize[2] = depth; }

  const Vector<float>& getVoxelSize() const { return _voxelSize; }
  void setVoxelSize(const Vector<float>& size); // exactly three values, else SizeError

  const LengthUnit& getLengthUnit() const { return _lengthUnit; }
  void setLengthUnit(const LengthUnit& unit) { _lengthUnit = unit; }

  // The same unit, pixel width = component 0 and pixel height = component 1, computed.
  PixelCalibration pixelCalibration() const;

private:
  LengthUnit _lengthUnit;
  Vector<float> _voxelSize;
};
