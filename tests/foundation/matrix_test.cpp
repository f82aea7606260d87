#include "foundation/Maths.h"
#include "foundation/Matrix.h"

#include "foundation/Exception.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

Matrix<float> matrixOf(int rows, int columns, std::vector<float> values, bool owner = false) {
  Matrix<float> m;
  m.setSize(rows, columns, owner);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) m(i, j) = values[static_cast<std::size_t>(i * columns + j)];
  return m;
}

void expectMatrixNear(const Matrix<float>& m, int rows, int columns, std::vector<float> values,
                      float tolerance = 0) {
  ASSERT_EQ(m.getSize1(), rows);
  ASSERT_EQ(m.getSize2(), columns);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j)
      EXPECT_NEAR(m(i, j), values[static_cast<std::size_t>(i * columns + j)], tolerance) << i << "," << j;
}

Matrix<float> compose(float a, float b, float c) {
  return Maths::xRotationMatrix3D(a) * Maths::yRotationMatrix3D(b) * Maths::zRotationMatrix3D(c);
}

// Decomposes m into Rx(a) Ry(b) Rz(c), checks that the angles give m back and returns them.
std::vector<float> decomposeAndRecompose(const Matrix<float>& m) {
  float a, b, c;
  Maths::decomposeRotationMatrix3D(m, a, b, c);
  const Matrix<float> back = compose(a, b, c);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(back(i, j), m(i, j), 2e-5f) << i << "," << j;
  return {a, b, c};
}

const float halfPi = static_cast<float>(M_PI / 2);

} // namespace

// Products, rotations about the axes, angle units and rounding.
TEST(MatrixProduct, MultipliesRowsByColumnsOrFailsTurnsRightHandedlyAndRoundsHalvesUp) {
  const Matrix<float> a = matrixOf(2, 3, {1, 2, 3, 4, 5, 6}, true);
  const Matrix<float> b = matrixOf(3, 2, {7, 8, 9, 10, 11, 12});
  EXPECT_TRUE((a * b).isOwner()); // the left operand's storage mode
  expectMatrixNear(a * b, 2, 2, {58, 64, 139, 154});
  EXPECT_THROW(a * a, SizeError);
  const Vector<float> u(std::vector<float>{1, 2});
  expectMatrixNear(u.outerProduct(Vector<float>(std::vector<float>{3, 4, 5})), 2, 3, {3, 4, 5, 6, 8, 10});
  // Rotation matrices about the axes are right-handed.
  expectMatrixNear(Maths::xRotationMatrix3D(halfPi), 3, 3, {1, 0, 0, 0, 0, -1, 0, 1, 0}, 1e-7f);
  expectMatrixNear(Maths::yRotationMatrix3D(halfPi), 3, 3, {0, 0, 1, 0, 1, 0, -1, 0, 0}, 1e-7f);
  expectMatrixNear(Maths::zRotationMatrix3D(halfPi), 3, 3, {0, -1, 0, 1, 0, 0, 0, 0, 1}, 1e-7f);
  EXPECT_EQ(Maths::yRotationMatrix3D(0.7)(0, 1), 0.0); // exact zeros off the plane
  EXPECT_FLOAT_EQ(Maths::toRadians(180) + Maths::toDegrees(halfPi), static_cast<float>(M_PI) + 90.0f);
  // 8388609 is exact in float, but 8388609.5 is not: the half must be added in double precision.
  EXPECT_EQ(Maths::fround(Vector<float>(std::vector<float>{2.5f, -2.5f, -2.6f, 0.49f, 8388609.0f})),
            Vector<int>(std::vector<int>{3, -2, -3, 0, 8388609}));
  EXPECT_EQ(Maths::fround(Vector<double>(std::vector<double>{0.374, 0.376, -7.0, 1e12}), 0.25),
            Vector<double>(std::vector<double>{0.25, 0.5, -7.0, 1e12})); // beyond the range of int
}

// Decomposition into Rx(a) Ry(b) Rz(c).
TEST(RotationDecomposition, RecoversGivenTriplesRecomposesRandomOnesAndHandlesGimbalLockAndTheSecondBranch) {
  EXPECT_EQ(decomposeAndRecompose(compose(0, 0, 0)), (std::vector<float>{0, 0, 0}));
  const std::vector<float> angles = decomposeAndRecompose(compose(0.3f, -0.2f, 1.1f));
  EXPECT_NEAR(std::fabs(angles[0] - 0.3f) + std::fabs(angles[1] + 0.2f) + std::fabs(angles[2] - 1.1f), 0,
              3e-5f);
  std::mt19937 engine(12345);
  std::uniform_real_distribution<float> angle(-static_cast<float>(M_PI), static_cast<float>(M_PI));
  for (int trial = 0; trial < 2000 && !HasFailure(); ++trial)
    decomposeAndRecompose(compose(angle(engine), angle(engine), angle(engine)));
  decomposeAndRecompose(compose(0.4f, halfPi, -0.9f));
  decomposeAndRecompose(compose(0.4f, -halfPi, -0.9f));
  // |m[2][2]| <= |m[1][2]|: a near a quarter turn takes the branch with sin(a) > 0.
  EXPECT_GT(std::sin(decomposeAndRecompose(compose(2.0f, 0.3f, 0.1f))[0]), 0.0f);
}
