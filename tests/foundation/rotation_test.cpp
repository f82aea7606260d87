#include "foundation/Maths.h"

#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

Vector<float> apply(const Matrix<float>& m, const Vector<float>& v) {
  Vector<float> result(3);
  for (int i = 0; i < 3; ++i) result[i] = m[i].scalarProduct(v);
  return result;
}

Matrix<float> compose(float a, float b, float c) {
  return Maths::xRotationMatrix3D(a) * Maths::yRotationMatrix3D(b) * Maths::zRotationMatrix3D(c);
}

void expectNear(const Matrix<float>& m, const Matrix<float>& expected, float tolerance) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(m(i, j), expected(i, j), tolerance) << i << "," << j;
}

const float halfPi = static_cast<float>(M_PI / 2);

} // namespace

// Rotation matrices about the axes are right-handed.
TEST(RotationMatrices, QuarterTurnsMoveAxesRightHandedly) {
  const Vector<float> x(std::vector<float>{1, 0, 0});
  const Vector<float> y(std::vector<float>{0, 1, 0});
  const Vector<float> z(std::vector<float>{0, 0, 1});
  const auto expectVectorNear = [](const Vector<float>& got, const Vector<float>& want) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-6f) << testing::PrintToString(got);
  };
  expectVectorNear(apply(Maths::xRotationMatrix3D(halfPi), y), z);
  expectVectorNear(apply(Maths::yRotationMatrix3D(halfPi), z), x);
  expectVectorNear(apply(Maths::zRotationMatrix3D(halfPi), x), y);
}

TEST(RotationMatrices, AreOrthonormalWithExactZerosOffThePlane) {
  const Matrix<double> m = Maths::yRotationMatrix3D(0.7);
  EXPECT_EQ(m(0, 1), 0.0);
  EXPECT_EQ(m(1, 0), 0.0);
  EXPECT_EQ(m(1, 1), 1.0);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(m[i].norm(), 1.0, 1e-15);
  EXPECT_NEAR(m[0].scalarProduct(m[2]), 0.0, 1e-15);
  const Matrix<long double> z = Maths::zRotationMatrix3D(0.0L);
  EXPECT_EQ(z(0, 0), 1.0L);
  EXPECT_EQ(z(0, 1), 0.0L);
}

// Decomposition into Rx(a) Ry(b) Rz(c).
TEST(RotationDecomposition, RecoversAGivenTriple) {
  float a, b, c;
  Maths::decomposeRotationMatrix3D(compose(0.3f, -0.2f, 1.1f), a, b, c);
  EXPECT_NEAR(a, 0.3f, 1e-5f);
  EXPECT_NEAR(b, -0.2f, 1e-5f);
  EXPECT_NEAR(c, 1.1f, 1e-5f);
}

TEST(RotationDecomposition, IdentityGivesZeroAngles) {
  Matrix<float> identity(3, 3);
  identity.fill(0);
  for (int i = 0; i < 3; ++i) identity(i, i) = 1;
  float a = 9, b = 9, c = 9;
  Maths::decomposeRotationMatrix3D(identity, a, b, c);
  EXPECT_EQ(a, 0.0f);
  EXPECT_EQ(b, 0.0f);
  EXPECT_EQ(c, 0.0f);
}

TEST(RotationDecomposition, RecomposesManyRandomTriples) {
  std::mt19937 engine(12345);
  std::uniform_real_distribution<float> angle(-static_cast<float>(M_PI), static_cast<float>(M_PI));
  for (int trial = 0; trial < 2000; ++trial) {
    const Matrix<float> m = compose(angle(engine), angle(engine), angle(engine));
    float a, b, c;
    Maths::decomposeRotationMatrix3D(m, a, b, c);
    expectNear(compose(a, b, c), m, 2e-5f);
    if (HasFailure()) break;
  }
}

TEST(RotationDecomposition, HandlesGimbalLockAndTheSecondBranch) {
  for (const float b : {halfPi, -halfPi}) {
    const Matrix<float> m = compose(0.4f, b, -0.9f);
    float ra, rb, rc;
    Maths::decomposeRotationMatrix3D(m, ra, rb, rc);
    expectNear(compose(ra, rb, rc), m, 2e-5f);
  }
  // |m[2][2]| <= |m[1][2]|: a near a quarter turn takes the branch with sin(a) > 0.
  const Matrix<float> m = compose(2.0f, 0.3f, 0.1f);
  float a, b, c;
  Maths::decomposeRotationMatrix3D(m, a, b, c);
  EXPECT_GT(std::sin(a), 0.0f);
  expectNear(compose(a, b, c), m, 2e-5f);
}

// Angle units and rounding.
TEST(MathsUnits, DegreesAndRadians) {
  EXPECT_FLOAT_EQ(Maths::toRadians(180), static_cast<float>(M_PI));
  EXPECT_FLOAT_EQ(Maths::toDegrees(halfPi), 90.0f);
  EXPECT_FLOAT_EQ(Maths::toDegrees(Maths::toRadians(37.5f)), 37.5f);
}

TEST(MathsRounding, HalvesGoUp) {
  EXPECT_EQ(Maths::fround(2.5f), 3);
  EXPECT_EQ(Maths::fround(-2.5f), -2);
  EXPECT_EQ(Maths::fround(-2.6), -3);
  EXPECT_EQ(Maths::fround(0.49L), 0);
}

TEST(MathsRounding, SnapsToMultiplesOfAStep) {
  EXPECT_EQ(Maths::fround(0.374f, 0.25f), 0.25f);
  EXPECT_EQ(Maths::fround(0.376f, 0.25f), 0.5f);
  EXPECT_EQ(Maths::fround(-7.0, 5.0), -5.0);
  EXPECT_EQ(Maths::fround(1e12, 1.0), 1e12); // beyond the range of int
}

TEST(MathsRounding, RoundsVectorsElementWise) {
  const Vector<float> v(std::vector<float>{0.5f, -0.5f, 1.49f});
  EXPECT_EQ(Maths::fround(v), Vector<int>(std::vector<int>{1, 0, 1}));
  EXPECT_EQ(Maths::fround(v, 2.0f), Vector<float>(std::vector<float>{0, 0, 2}));
  EXPECT_EQ(Maths::fround(v, 0.5f), Vector<float>(std::vector<float>{0.5f, -0.5f, 1.5f}));
}
