// Voxel matrices in memory: sizes, voxel access, element-wise operations, statistics,
// sub-volumes, conversions and reslicing.
#include "imaging/VoxelMatrix.h"
#include "imaging/VoxelMatrixReslicer.h"

#include "foundation/Exception.h"
#include "tests/imaging/VoxelFixtures.h"
#include "tests/support/ExpectException.h"

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
  return Vector<int>(std::vector<int>{a, b, c});
}

} // namespace

TEST(VoxelMatrixOperations, BoundsElementWiseArithmeticStatisticsReversalAndConversion) {
  VoxelMatrix<int> matrix = positionalMatrix<int>(2, 3, 4);
  EXPECT_THROW(matrix.getSize(4), ValueError);
  EXPECT_TRUE(matrix.contains(1, 2, 3));
  for (const Vector<int>& outside : {triple(2, 0, 0), triple(0, 3, 0), triple(0, 0, 4), triple(-1, 0, 0)})
    EXPECT_FALSE(matrix.contains(outside));
  matrix.setSize(triple(2, 3, 4)); // unchanged sizes keep the voxels
  EXPECT_EQ(matrix(1, 2, 3), 321);
  VoxelMatrix<float> a(2, 2, 2), b(2, 2, 2);
  a.setOnes();
  b.fill(3);
  ((((a += b) *= b) -= b) /= 3.0f) += 1.0f; // 4, 12, 9, 3, 4
  (a -= 0.5f) *= 2.5f;
  EXPECT_EQ(a.toType<int>()(0, 0, 0), 8); // 8.75 truncated
  EXPECT_THROW(a += VoxelMatrix<float>(2, 2, 3), SizeError);
  matrix = positionalMatrix<int>(2, 2, 2);
  EXPECT_EQ(matrix.range(), Vector<int>(std::vector<int>{matrix.min(), matrix.max()}));
  EXPECT_EQ(matrix.range(), Vector<int>(std::vector<int>{0, 111}));
  EXPECT_EQ(matrix.sum(), (0 + 1 + 10 + 11) + (100 + 101 + 110 + 111));
  matrix.apply([](int v) { return v + 1; });
  matrix.reverse();
  EXPECT_EQ(matrix(0, 0, 0), 112);
  EXPECT_EQ(matrix(1, 0, 1), 11); // was (0, 1, 0)
  const VoxelMatrix<float> empty;
  expectEach<SizeError>(
      {[&] { empty.min(); }, [&] { empty.range(); }, [&] { empty.max(); }, [&] { empty.sum(); }});
}

TEST(VoxelMatrixStatistics, HistogramSumsTheSlicesAndHonoursTheMask) {
  VoxelMatrix<float> matrix(2, 2, 2), mask(2, 2, 2);
  for (int n = 0; n < 8; ++n) matrix(n / 2 % 2, n % 2, n / 4) = static_cast<float>(n % 4); // 0 1 2 3 twice
  EXPECT_EQ(matrix.histogram(0, 4, 4), Vector<unsigned int>(std::vector<unsigned int>{2, 2, 2, 2}));
  mask.setZeros();
  mask(1, 1, 0) = 1;
  EXPECT_EQ(matrix.histogram(0, 4, 4, mask), Vector<unsigned int>(std::vector<unsigned int>{0, 0, 0, 1}));
}

TEST(VoxelMatrixSubVolumes, CopyPasteAndCat) {
  const VoxelMatrix<int> box = positionalMatrix<int>(4, 4, 4).copy(1, 2, 2, 3, 0, 1); // inclusive
  EXPECT_EQ(box.getSize(), triple(2, 2, 2));
  EXPECT_EQ(box(1, 1, 1), 132);
  VoxelMatrix<int> target(4, 4, 4);
  target.setZeros();
  target.paste(1, 2, 0, box);
  EXPECT_EQ(target(2, 3, 1), 132);
  VoxelMatrix<int> small(2, 2, 2), ones(3, 3, 3);
  small.setZeros();
  ones.setOnes();
  small.paste(1, 1, 1, ones); // what falls outside is dropped
  EXPECT_EQ(small.sum(), 1);
  small.paste(-2, -2, -2, ones);
  EXPECT_EQ(small(0, 0, 0), 1);
  EXPECT_EQ(positionalMatrix<int>(2, 2, 2).cat(), // slice after slice, row after row
            Vector<int>(std::vector<int>{0, 10, 1, 11, 100, 110, 101, 111}));
}

TEST(VoxelMatrixReslicer, MovesEveryVoxelAcrossTilesAndTurnsTheCalibration) {
  VoxelMatrix<int> source = positionalMatrix<int>(5, 70, 37);
  source.setVoxelCalibration(voxelCalibration(1, 2, 3, -6));
  const VoxelMatrixReslicer<int> reslicer;
  const VoxelMatrix<int> result = reslicer.resliceAlongDimension1(source);
  EXPECT_EQ(result.getSize(), triple(70, 37, 5));
  for (int i = 0; i < 70; ++i)
    for (int j = 0; j < 37; ++j)
      for (int k = 0; k < 5; ++k) ASSERT_EQ(result(i, j, k), source(k, i, j)) << i << ' ' << j << ' ' << k;
  EXPECT_EQ(result.getVoxelCalibration().getVoxelSize(), Vector<float>(std::vector<float>{2, 3, 1}));
  EXPECT_EQ(result.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_EQ(reslicer.resliceAlongDimension1(reslicer.resliceAlongDimension1(result)), source);
  const VoxelMatrix<long double> wide = positionalMatrix<long double>(3, 4, 5);
  const VoxelMatrixReslicer<long double> wideReslicer;
  EXPECT_EQ(wideReslicer.resliceAlongDimension1(
                wideReslicer.resliceAlongDimension1(wideReslicer.resliceAlongDimension1(wide))),
            wide);
}
