// Voxel matrices in memory: sizes, voxel access, element-wise operations, statistics,
// sub-volumes, conversions and reslicing.
#include "imaging/VoxelMatrix.h"
#include "imaging/VoxelMatrixReslicer.h"

#include "foundation/Exception.h"
#include "tests/imaging/VoxelFixtures.h"

#include <gtest/gtest.h>

namespace {

// Every voxel holds a value that tells where it is: i + 10 j + 100 k.
template <class T> VoxelMatrix<T> positionalMatrix(int s1, int s2, int s3) {
  VoxelMatrix<T> matrix(s1, s2, s3);
  for (int k = 0; k < s3; ++k)
    for (int i = 0; i < s1; ++i)
      for (int j = 0; j < s2; ++j) matrix(i, j, k) = static_cast<T>(i + 10 * j + 100 * k);
  return matrix;
}

Vector<int> triple(int a, int b, int c) {
  Vector<int> v(3);
  v[0] = a;
  v[1] = b;
  v[2] = c;
  return v;
}

} // namespace

TEST(VoxelMatrixSizes, ADefaultMatrixIsEmptyWithTheDefaultCalibration) {
  const VoxelMatrix<float> matrix;
  EXPECT_EQ(matrix.getSize(), triple(0, 0, 0));
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelDepth(), 1);
}

TEST(VoxelMatrixSizes, SlicesHaveSize1RowsAndSize2Columns) {
  const VoxelMatrix<short> matrix(2, 3, 4);
  EXPECT_EQ(matrix.getSize(), triple(2, 3, 4));
  EXPECT_EQ(matrix.getSize(1), 2u);
  EXPECT_EQ(matrix.getSize(2), 3u);
  EXPECT_EQ(matrix.getSize(3), 4u);
  EXPECT_EQ(matrix[3].getSize1(), 2);
  EXPECT_EQ(matrix[3].getSize2(), 3);
}

TEST(VoxelMatrixSizes, GetSizeOfAnotherDimensionIsAValueError) {
  const VoxelMatrix<float> matrix(1, 1, 1);
  try {
    matrix.getSize(4);
    FAIL() << "no exception";
  } catch (const ValueError& error) {
    EXPECT_EQ(error.getWhere(), "unsigned int VoxelMatrix<T>::getSize(...) const");
    EXPECT_EQ(error.getWhat(), "Invalid argument value (neither 1, 2 or 3)");
  }
}

TEST(VoxelMatrixSizes, SetSizeWithUnchangedSizesKeepsTheVoxels) {
  VoxelMatrix<int> matrix = positionalMatrix<int>(2, 2, 2);
  matrix.setSize(triple(2, 2, 2));
  EXPECT_EQ(matrix(1, 1, 1), 111);
  matrix.setSize(3, 2, 2);
  EXPECT_EQ(matrix.getSize(), triple(3, 2, 2));
}

TEST(VoxelMatrixSizes, ContainsTestsEveryBound) {
  const VoxelMatrix<float> matrix(2, 3, 4);
  EXPECT_TRUE(matrix.contains(1, 2, 3));
  EXPECT_TRUE(matrix.contains(triple(0, 0, 0)));
  EXPECT_FALSE(matrix.contains(2, 0, 0));
  EXPECT_FALSE(matrix.contains(0, 3, 0));
  EXPECT_FALSE(matrix.contains(0, 0, 4));
  EXPECT_FALSE(matrix.contains(-1, 0, 0));
}

TEST(VoxelMatrixValues, CopiesAreDeepAndCompareEqual) {
  VoxelMatrix<float> original = positionalMatrix<float>(2, 3, 2);
  VoxelCalibration calibration;
  calibration.setVoxelDepth(5);
  original.setVoxelCalibration(calibration);
  VoxelMatrix<float> copy(original);
  EXPECT_EQ(copy, original);
  EXPECT_FLOAT_EQ(copy.getVoxelCalibration().getVoxelDepth(), 5);
  copy(0, 0, 0) = -1;
  EXPECT_NE(copy, original);
  EXPECT_EQ(original(0, 0, 0), 0);
}

TEST(VoxelMatrixValues, SwapExchangesContents) {
  VoxelMatrix<int> a = positionalMatrix<int>(1, 1, 2);
  VoxelMatrix<int> b(3, 3, 3);
  a.swap(b);
  EXPECT_EQ(a.getSize(), triple(3, 3, 3));
  EXPECT_EQ(b(0, 0, 1), 100);
}

TEST(VoxelMatrixValues, MatricesOfDifferentSizesDiffer) {
  EXPECT_NE(VoxelMatrix<int>(1, 2, 3), VoxelMatrix<int>(3, 2, 1));
}

TEST(VoxelMatrixOperations, FillAndElementWiseArithmetic) {
  VoxelMatrix<float> a(2, 2, 2), b(2, 2, 2);
  a.setOnes();
  b.fill(3);
  a += b;
  EXPECT_EQ(a(1, 1, 1), 4);
  a *= b;
  EXPECT_EQ(a(0, 1, 0), 12);
  a -= b;
  EXPECT_EQ(a(1, 0, 1), 9);
  a /= 3.0f;
  a += 1.0f;
  a -= 0.5f;
  a *= 2.0f;
  EXPECT_EQ(a(0, 0, 0), 7);
  b.setZeros();
  EXPECT_EQ(b.sum(), 0);
}

TEST(VoxelMatrixOperations, CombiningMatricesOfDifferentSizesIsASizeError) {
  VoxelMatrix<float> a(2, 2, 2), b(2, 2, 3);
  EXPECT_THROW(a += b, SizeError);
}

TEST(VoxelMatrixOperations, ApplyAndReverse) {
  VoxelMatrix<int> matrix = positionalMatrix<int>(2, 2, 2);
  matrix.apply([](int v) { return v + 1; });
  EXPECT_EQ(matrix(1, 1, 1), 112);
  matrix.reverse();
  EXPECT_EQ(matrix(0, 0, 0), 112);
  EXPECT_EQ(matrix(1, 1, 1), 1);
  EXPECT_EQ(matrix(1, 0, 1), 11); // was (0, 1, 0)
}

TEST(VoxelMatrixStatistics, MinMaxRangeSumOverAllVoxels) {
  const VoxelMatrix<int> matrix = positionalMatrix<int>(2, 2, 2);
  EXPECT_EQ(matrix.min(), 0);
  EXPECT_EQ(matrix.max(), 111);
  const Vector<int> range = matrix.range();
  EXPECT_EQ(range[0], 0);
  EXPECT_EQ(range[1], 111);
  EXPECT_EQ(matrix.sum(), (0 + 1 + 10 + 11) + (100 + 101 + 110 + 111));
}

TEST(VoxelMatrixStatistics, AnEmptyMatrixHasNoStatistics) {
  const VoxelMatrix<float> empty;
  try {
    empty.min();
    FAIL() << "no exception";
  } catch (const SizeError& error) {
    EXPECT_EQ(error.getWhat(), "This matrix is empty");
  }
  EXPECT_THROW(empty.max(), SizeError);
  EXPECT_THROW(empty.sum(), SizeError);
  try {
    empty.range();
    FAIL() << "no exception";
  } catch (const SizeError& error) {
    EXPECT_EQ(error.getWhat(), "This matrix is empty.");
  }
}

TEST(VoxelMatrixStatistics, HistogramSumsTheSlicesAndHonoursTheMask) {
  VoxelMatrix<float> matrix(2, 2, 2);
  for (int k = 0; k < 2; ++k)
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j) matrix(i, j, k) = static_cast<float>(i * 2 + j); // 0 1 2 3 twice
  const Vector<unsigned int> counts = matrix.histogram(0, 4, 4);
  ASSERT_EQ(counts.getSize(), 4);
  for (int b = 0; b < 4; ++b) EXPECT_EQ(counts[b], 2u);
  VoxelMatrix<float> mask(2, 2, 2);
  mask.setZeros();
  mask(1, 1, 0) = 1;
  const Vector<unsigned int> masked = matrix.histogram(0, 4, 4, mask);
  EXPECT_EQ(masked[3], 1u);
  EXPECT_EQ(masked[0], 0u);
}

TEST(VoxelMatrixSubVolumes, CopyExtractsAnInclusiveBoxAndPastePutsItBack) {
  const VoxelMatrix<int> matrix = positionalMatrix<int>(4, 4, 4);
  const VoxelMatrix<int> box = matrix.copy(1, 2, 2, 3, 0, 1);
  EXPECT_EQ(box.getSize(), triple(2, 2, 2));
  EXPECT_EQ(box(0, 0, 0), 21);
  EXPECT_EQ(box(1, 1, 1), 132);
  VoxelMatrix<int> target(4, 4, 4);
  target.setZeros();
  target.paste(1, 2, 0, box);
  EXPECT_EQ(target(2, 3, 1), 132);
  EXPECT_EQ(target(0, 0, 0), 0);
}

TEST(VoxelMatrixSubVolumes, PasteDropsWhatFallsOutside) {
  VoxelMatrix<int> target(2, 2, 2);
  target.setZeros();
  VoxelMatrix<int> ones(3, 3, 3);
  ones.setOnes();
  target.paste(1, 1, 1, ones);
  EXPECT_EQ(target.sum(), 1);
  target.paste(-2, -2, -2, ones);
  EXPECT_EQ(target(0, 0, 0), 1);
}

TEST(VoxelMatrixSubVolumes, CatListsSliceAfterSliceRowAfterRow) {
  const Vector<int> all = positionalMatrix<int>(2, 2, 2).cat();
  ASSERT_EQ(all.getSize(), 8);
  const int expected[8] = {0, 10, 1, 11, 100, 110, 101, 111};
  for (int n = 0; n < 8; ++n) EXPECT_EQ(all[n], expected[n]);
}

TEST(VoxelMatrixConversion, ToTypeTruncatesAndKeepsTheCalibration) {
  VoxelMatrix<float> matrix(1, 2, 1);
  matrix(0, 0, 0) = 2.9f;
  matrix(0, 1, 0) = -2.9f;
  VoxelCalibration calibration;
  calibration.setVoxelWidth(0.5f);
  matrix.setVoxelCalibration(calibration);
  const VoxelMatrix<int> converted = matrix.toType<int>();
  EXPECT_EQ(converted(0, 0, 0), 2);
  EXPECT_EQ(converted(0, 1, 0), -2);
  EXPECT_FLOAT_EQ(converted.getVoxelCalibration().getVoxelWidth(), 0.5f);
  EXPECT_EQ(converted.toType<double>().toType<float>().toType<unsigned char>()(0, 0, 0), 2);
}

TEST(VoxelMatrixReslicer, TurnsSizesAndMovesEveryVoxel) {
  const VoxelMatrix<float> source = positionalMatrix<float>(2, 3, 4);
  const VoxelMatrix<float> result = VoxelMatrixReslicer<float>().resliceAlongDimension1(source);
  EXPECT_EQ(result.getSize(), triple(3, 4, 2));
  EXPECT_EQ(result(1, 2, 0), source(0, 1, 2));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 4; ++j)
      for (int k = 0; k < 2; ++k) ASSERT_EQ(result(i, j, k), source(k, i, j)) << i << ' ' << j << ' ' << k;
}

TEST(VoxelMatrixReslicer, CrossesTileBoundariesOfLargerMatrices) {
  const VoxelMatrix<int> source = positionalMatrix<int>(5, 70, 37);
  const VoxelMatrix<int> result = VoxelMatrixReslicer<int>().resliceAlongDimension1(source);
  for (int i = 0; i < 70; ++i)
    for (int j = 0; j < 37; ++j)
      for (int k = 0; k < 5; ++k) ASSERT_EQ(result(i, j, k), source(k, i, j));
}

TEST(VoxelMatrixReslicer, TurnsTheVoxelSizeAndKeepsTheUnit) {
  VoxelMatrix<double> source(2, 2, 2);
  source.setVoxelCalibration(voxelCalibration(1, 2, 3, -6));
  const VoxelMatrix<double> result = VoxelMatrixReslicer<double>().resliceAlongDimension1(source);
  EXPECT_FLOAT_EQ(result.getVoxelCalibration().getVoxelSize()[0], 2);
  EXPECT_FLOAT_EQ(result.getVoxelCalibration().getVoxelSize()[1], 3);
  EXPECT_FLOAT_EQ(result.getVoxelCalibration().getVoxelSize()[2], 1);
  EXPECT_EQ(result.getVoxelCalibration().getLengthUnit().getScale(), -6);
}

TEST(VoxelMatrixReslicer, ReslicingThreeTimesGivesTheSourceBack) {
  const VoxelMatrix<long double> source = positionalMatrix<long double>(3, 4, 5);
  const VoxelMatrixReslicer<long double> reslicer;
  EXPECT_EQ(reslicer.resliceAlongDimension1(
                reslicer.resliceAlongDimension1(reslicer.resliceAlongDimension1(source))),
            source);
}
