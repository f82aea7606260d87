#include "foundation/Vector.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

Vector<float> vf(std::vector<float> values) {
  return Vector<float>(values);
}
Vector<int> vi(std::vector<int> values) {
  return Vector<int>(values);
}

} // namespace

// Element-wise operations and their size rule.
TEST(VectorArithmetic, CombinesElementWise) {
  const Vector<float> a = vf({1, 2, 3});
  const Vector<float> b = vf({4, 5, 6});
  EXPECT_EQ(a + b, vf({5, 7, 9}));
  EXPECT_EQ(b - a, vf({3, 3, 3}));
  EXPECT_EQ(b / a, vf({4, 2.5f, 2}));
  EXPECT_EQ(a.pointwiseProduct(b), vf({4, 10, 18}));
  EXPECT_EQ(-a, vf({-1, -2, -3}));
}

TEST(VectorArithmetic, InPlaceFormsKeepTheStorage) {
  Vector<float> a = vf({1, 2, 3});
  const float* storage = a.data();
  a += vf({1, 1, 1});
  a -= vf({0, 1, 0});
  a /= vf({2, 1, 4});
  EXPECT_EQ(a, vf({1, 2, 1}));
  a += 1.0f;
  a *= 3.0f;
  a -= 1.0f;
  a /= 2.0f;
  EXPECT_EQ(a, vf({2.5f, 4, 2.5f}));
  EXPECT_EQ(a.data(), storage);
}

TEST(VectorArithmetic, ScalarOperandsMakeNewVectors) {
  const Vector<int> a = vi({2, 4, -6});
  EXPECT_EQ(a + 1, vi({3, 5, -5}));
  EXPECT_EQ(a - 1, vi({1, 3, -7}));
  EXPECT_EQ(a * 3, vi({6, 12, -18}));
  EXPECT_EQ(a / 4, vi({0, 1, -1})); // integer division of the element type
  EXPECT_EQ(a, vi({2, 4, -6}));
}

TEST(VectorArithmetic, UsesTheArithmeticOfTheElementType) {
  const Vector<unsigned char> bytes(std::vector<unsigned char>{250, 3});
  const Vector<unsigned char> sum = bytes + static_cast<unsigned char>(10);
  EXPECT_EQ(sum[0], 4); // wraps like the type
  EXPECT_EQ(sum[1], 13);
  const Vector<bool> flags(std::vector<bool>{true, false});
  EXPECT_EQ((flags + flags)[0], true);
  EXPECT_EQ(flags.pointwiseProduct(Vector<bool>(std::vector<bool>{true, true}))[1], false);
}

TEST(VectorArithmetic, DifferentSizesFailWithTheOperationsSignature) {
  Vector<float> a = vf({1, 2, 3});
  const Vector<float> b = vf({1, 2});
  const char* what = "The two vectors have different sizes";
  expectException<SizeError>([&] { a + b; }, "Vector Vector<T>::operator+(const Vector&) const", what);
  expectException<SizeError>([&] { a - b; }, "Vector<T> Vector<T>::operator-(const Vector&) const", what);
  expectException<SizeError>([&] { a / b; }, "Vector<T> Vector<T>::operator/(const Vector&) const", what);
  expectException<SizeError>([&] { a.pointwiseProduct(b); }, "Vector pointwiseProduct(const Vector&) const",
                             what);
  expectException<SizeError>([&] { a += b; }, "void Vector<T>::operator+=(const Vector&)", what);
  expectException<SizeError>([&] { a -= b; }, "void Vector<T>::operator-=(const Vector&)", what);
  expectException<SizeError>([&] { a /= b; }, "void Vector<T>::operator/=(const Vector&)", what);
  expectException<SizeError>([&] { a.scalarProduct(b); }, "T Vector<T>::scalarProduct(const Vector&) const",
                             what);
  expectException<SizeError>([&] { a.sdistance(b); }, "T Vector<T>::sdistance(const Vector&) const", what);
  expectException<SizeError>([&] { a.distance(b); }, "T Vector<T>::sdistance(const Vector&) const", what);
  expectException<SizeError>([&] { a.manhattanDistance(b); },
                             "T Vector<T>::manhattanDistance(const Vector&) const", what);
  EXPECT_EQ(a, vf({1, 2, 3}));
}

TEST(VectorArithmetic, EqualityNeedsSameSizeAndEqualElements) {
  EXPECT_EQ(Vector<float>(), Vector<float>());
  EXPECT_NE(vf({1, 2}), vf({1, 2, 3}));
  EXPECT_NE(vf({1, 2}), vf({1, 3}));
  EXPECT_FALSE(vf({1, 2}) != vf({1, 2}));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Vector<float> withNan = vf({1, nan});
  EXPECT_FALSE(withNan == withNan);
}

// Products, norms and distances.
TEST(VectorProducts, ScalarProductNormsAndDistances) {
  const Vector<float> a = vf({1, 2, 2});
  const Vector<float> b = vf({4, 0, -1});
  EXPECT_EQ(a.scalarProduct(b), 2.0f);
  EXPECT_EQ(a.snorm(), 9.0f);
  EXPECT_EQ(a.norm(), 3.0f);
  EXPECT_EQ(a.sdistance(b), 9.0f + 4.0f + 9.0f);
  EXPECT_FLOAT_EQ(a.distance(b), std::sqrt(22.0f));
  EXPECT_EQ(a.manhattanDistance(b), 3.0f + 2.0f + 3.0f);
  const Vector<unsigned int> u(std::vector<unsigned int>{1, 10});
  const Vector<unsigned int> w(std::vector<unsigned int>{4, 3});
  EXPECT_EQ(u.manhattanDistance(w), 10u); // no unsigned wrap-around
}

TEST(VectorProducts, CrossProductIsRightHanded) {
  EXPECT_EQ(vf({1, 0, 0}).vectorProduct(vf({0, 1, 0})), vf({0, 0, 1}));
  EXPECT_EQ(vf({0, 1, 0}).vectorProduct(vf({1, 0, 0})), vf({0, 0, -1}));
  const Vector<int> a = vi({2, 3, 4});
  const Vector<int> b = vi({5, 6, 7});
  const Vector<int> c = a.vectorProduct(b);
  EXPECT_EQ(c.scalarProduct(a), 0);
  EXPECT_EQ(c.scalarProduct(b), 0);
  expectException<SizeError>(
      [&] {
        vf({1, 0}).vectorProduct(vf({0, 1, 0}));
      },
      "Vector vectorProduct(const Vector&) const", "At least one vector have a size different from 3");
  expectException<SizeError>(
      [&] {
        vf({1, 0, 0}).vectorProduct(vf({0, 1}));
      },
      "Vector vectorProduct(const Vector&) const", "At least one vector have a size different from 3");
}

TEST(VectorProducts, AngleAndClosestAxis) {
  EXPECT_NEAR(vf({1, 0, 0}).angle(vf({0, 3, 0})), M_PI / 2, 1e-6);
  EXPECT_NEAR(vf({1, 1, 0}).angle(vf({1, 0, 0})), M_PI / 4, 1e-6);
  EXPECT_EQ(vf({0.2f, -0.9f, 0.9f}).closestAxis(), 1);
  EXPECT_EQ(vf({0.2f, 0.1f, -3}).closestAxis(), 2);
  EXPECT_EQ(vf({-5}).closestAxis(), 0);
  EXPECT_EQ(Vector<float>().closestAxis(), 0);
}

TEST(VectorProducts, HouseholderVectorReflectsOntoTheFirstAxis) {
  const Vector<double> x(std::vector<double>{3, 1, 5, 1});
  Vector<double> v;
  double beta = 0;
  x.householderVector(v, beta);
  EXPECT_DOUBLE_EQ(v[0], 1.0);
  // (I - beta v v') x = ||x|| e1
  const Vector<double> reflected = x - v * (beta * v.scalarProduct(x));
  EXPECT_NEAR(std::fabs(reflected[0]), 6.0, 1e-12);
  for (int i = 1; i < 4; ++i) EXPECT_NEAR(reflected[i], 0.0, 1e-12);
  Vector<double> inPlace = x;
  double inPlaceBeta = 0;
  inPlace.householderVector(inPlaceBeta);
  EXPECT_EQ(inPlace, v);
  EXPECT_EQ(inPlaceBeta, beta);
  Vector<double> axis(std::vector<double>{2, 0, 0});
  axis.householderVector(beta);
  EXPECT_EQ(beta, 0.0);
}
