// Pixel and voxel calibrations: how missing pixel sizes are completed, and the voxel size vector.
#include "imaging/PixelCalibration.h"
#include "imaging/VoxelCalibration.h"

#include "foundation/Exception.h"
#include "tests/imaging/VoxelFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(PixelCalibrationCompute, WidthAndHeightGiveTheAspectRatio) {
  PixelCalibration calibration;
  calibration.setPixelWidth(2);
  calibration.setPixelHeight(3);
  EXPECT_TRUE(calibration.compute());
  EXPECT_FLOAT_EQ(calibration.getAspectRatio(), 1.5f);
}

TEST(PixelCalibrationCompute, OneSideAloneMakesSquarePixels) {
  PixelCalibration widthOnly;
  widthOnly.setPixelWidth(0.5f);
  EXPECT_TRUE(widthOnly.compute());
  EXPECT_FLOAT_EQ(widthOnly.getPixelHeight(), 0.5f);

  PixelCalibration heightOnly;
  heightOnly.setPixelHeight(4);
  EXPECT_TRUE(heightOnly.compute());
  EXPECT_FLOAT_EQ(heightOnly.getPixelWidth(), 4);
}

TEST(PixelCalibrationCompute, NothingSetOrEverythingSetComputesNothing) {
  PixelCalibration none;
  EXPECT_FALSE(none.compute());
  EXPECT_FLOAT_EQ(none.getPixelWidth(), 1);

  PixelCalibration all;
  all.setPixelWidth(2);
  all.setPixelHeight(3);
  all.setAspectRatio(7);
  EXPECT_FALSE(all.compute());
  EXPECT_FLOAT_EQ(all.getAspectRatio(), 7);
}

TEST(PixelCalibrationCompute, TheRatioCompletesTheMissingSide) {
  PixelCalibration widthAndRatio;
  widthAndRatio.setPixelWidth(2);
  widthAndRatio.setAspectRatio(3);
  EXPECT_TRUE(widthAndRatio.compute());
  EXPECT_FLOAT_EQ(widthAndRatio.getPixelHeight(), 6);

  PixelCalibration ratioOnly; // width stays at its default 1
  ratioOnly.setAspectRatio(2);
  EXPECT_TRUE(ratioOnly.compute());
  EXPECT_FLOAT_EQ(ratioOnly.getPixelHeight(), 2);

  PixelCalibration heightAndRatio;
  heightAndRatio.setPixelHeight(6);
  heightAndRatio.setAspectRatio(3);
  EXPECT_TRUE(heightAndRatio.compute());
  EXPECT_FLOAT_EQ(heightAndRatio.getPixelWidth(), 2);
}

TEST(PixelCalibrationCompute, LeavesTheFlagsAsTheyWere) {
  PixelCalibration calibration;
  calibration.setPixelWidth(2);
  calibration.compute();
  EXPECT_TRUE(calibration.isPixelWidthSet());
  EXPECT_FALSE(calibration.isPixelHeightSet());
  EXPECT_FALSE(calibration.isAspectRatioSet());
}

TEST(PixelCalibrationValues, ClearRestoresTheDefaults) {
  PixelCalibration calibration;
  calibration.setPixelWidth(2);
  LengthUnit unit;
  unit.setScale(-6);
  calibration.setLengthUnit(unit);
  calibration.clear();
  EXPECT_FALSE(calibration.isPixelWidthSet());
  EXPECT_EQ(calibration.getLengthUnit().getScale(), 0);
  EXPECT_EQ(calibration, PixelCalibration());
}

TEST(PixelCalibrationValues, SizeIsHeightThenWidthAndDiagonalIsPythagorean) {
  PixelCalibration calibration;
  calibration.setPixelWidth(3);
  calibration.setPixelHeight(4);
  const Vector<float> size = calibration.getPixelSize();
  ASSERT_EQ(size.getSize(), 2);
  EXPECT_FLOAT_EQ(size[0], 4);
  EXPECT_FLOAT_EQ(size[1], 3);
  EXPECT_FLOAT_EQ(calibration.pixelDiagonal(), 5);
}

TEST(PixelCalibrationValues, EqualityComparesTheThreeValuesOnly) {
  PixelCalibration a, b;
  a.setPixelWidth(1); // same value as the default: flags differ, values do not
  EXPECT_EQ(a, b);
  b.setAspectRatio(2);
  EXPECT_NE(a, b);
}

TEST(VoxelCalibration, DefaultsToUnitVoxelsAndScaleZero) {
  const VoxelCalibration calibration;
  EXPECT_EQ(calibration.getVoxelSize().getSize(), 3);
  EXPECT_FLOAT_EQ(calibration.getVoxelHeight(), 1);
  EXPECT_FLOAT_EQ(calibration.getVoxelWidth(), 1);
  EXPECT_FLOAT_EQ(calibration.getVoxelDepth(), 1);
  EXPECT_EQ(calibration.getLengthUnit().getScale(), 0);
}

TEST(VoxelCalibration, AccessorsMapHeightWidthDepthToComponents012) {
  VoxelCalibration calibration;
  calibration.setVoxelHeight(0.5f);
  calibration.setVoxelWidth(0.25f);
  calibration.setVoxelDepth(2);
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[0], 0.5f);
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[1], 0.25f);
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[2], 2);
}

TEST(VoxelCalibration, RefusesASizeVectorOfOtherThanThreeValues) {
  VoxelCalibration calibration;
  Vector<float> two(2);
  two.fill(5);
  try {
    calibration.setVoxelSize(two);
    FAIL() << "no exception";
  } catch (const SizeError& error) {
    EXPECT_EQ(error.getWhere(), "void VoxelCalibration::setVoxelSize(const Vector<float>&)");
    EXPECT_EQ(error.getWhat(), "Size vector does not contain three values as expected");
  }
  EXPECT_FLOAT_EQ(calibration.getVoxelHeight(), 1);
}

TEST(VoxelCalibration, PixelCalibrationTakesComponentsZeroAndOneAndTheUnit) {
  const VoxelCalibration calibration = voxelCalibration(2, 3, 9, -3);
  const PixelCalibration pixels = calibration.pixelCalibration();
  EXPECT_FLOAT_EQ(pixels.getPixelWidth(), 2);
  EXPECT_FLOAT_EQ(pixels.getPixelHeight(), 3);
  EXPECT_FLOAT_EQ(pixels.getAspectRatio(), 1.5f);
  EXPECT_EQ(pixels.getLengthUnit().getScale(), -3);
}
