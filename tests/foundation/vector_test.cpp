#include "foundation/Numbers.h"
#include "foundation/Vector.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

Vector<float> vf(std::vector<float> values) {
  return Vector<float>(values);
}
Vector<int> vi(std::vector<int> values) {
  return Vector<int>(values);
}
Vector<unsigned int> counts(std::vector<unsigned int> values) {
  return Vector<unsigned int>(values);
}

// Runs every call of the table and expects E with the call's where-text and the given what-text.
template <class E>
void expectFailures(const std::vector<std::pair<std::string, std::function<void()>>>& calls,
                    const std::string& what) {
  for (const auto& [where, call] : calls) {
    SCOPED_TRACE(where);
    expectException<E>(call, where, what);
  }
}

} // namespace

// Owning storage, shallow views and their rules.
TEST(VectorStorage, SetSizeSwapsAndViewsThatWriteThrough) {
  Vector<int> v = vi({1, 2, 3});
  const int* before = v.data();
  v.setSize(3); // the same size keeps the elements
  EXPECT_EQ(v.data(), before);
  EXPECT_EQ(v[2], 3);
  v.setSize(0);
  EXPECT_EQ(v.data(), nullptr);
  int foreign[3] = {8, 9, 10};
  v.setSize(3, foreign);
  v[1] = 7;
  v *= 2;
  EXPECT_EQ(foreign[1], 14);
  v = vi({4, 5, 6}); // equal size: written into the foreign array
  EXPECT_TRUE(v.isShallow());
  EXPECT_EQ(foreign[2], 6);
  Vector<int> copy(v);
  EXPECT_FALSE(copy.isShallow());
  Vector<int> owner = vi({1, 2, 3});
  owner.swap(v); // a view of the same size exchanges elements
  EXPECT_EQ(foreign[0], 1);
  EXPECT_EQ(owner, vi({4, 5, 6}));
  Vector<int> other = vi({7});
  Vector<int>& alias = other;
  other = alias;
  const int* otherData = other.data();
  copy.swap(other); // owners exchange storage of any size
  EXPECT_EQ(copy.data(), otherData);
  EXPECT_EQ(other, vi({4, 5, 6}));
}

TEST(VectorStorage, ViewsRefuseEveryResizeAndStayUnchanged) {
  float foreign[3] = {1, 2, 3};
  Vector<float> view(3, foreign);
  Vector<float> longer = vf({4, 5, 6, 7});
  const std::string setSize = "void Vector<T>::setSize(const int,T*)";
  const std::string swap = "void Vector<T>::swap(Vector&)";
  expectFailures<UsageError>({{setSize, [&] { view = longer; }},
                              {setSize, [&] { view.setSize(4); }},
                              {setSize, [&] { view.setZeros(4); }}},
                             "This is a shallow vector, cannot be resized without data");
  expectFailures<UsageError>({{swap, [&] { longer.swap(view); }}, {swap, [&] { view.swap(longer); }}},
                             "Vector size differ and at least one of them is shallow");
  expectFailures<UsageError>({{"void Vector<T>::append(const Vector&)", [&] { view.append(longer); }},
                              {"void Vector<T>::prepend(const Vector&)", [&] { view.prepend(longer); }}},
                             "This is a shallow vector (cannot be resized)");
  EXPECT_EQ(view.data(), foreign);
  EXPECT_EQ(view, vf({1, 2, 3}));
  EXPECT_EQ(longer.getSize(), 4);
}

TEST(VectorStorage, JoinsCopiesAndPastesRanges) {
  Vector<int> v = vi({1, 2});
  v.append(vi({3}));
  v.prepend(vi({-1, 0}));
  v.append(v);
  EXPECT_EQ(v, vi({-1, 0, 1, 2, 3, -1, 0, 1, 2, 3}));
  Vector<float> f = vf({0, 1, 2, 3, 4});
  EXPECT_EQ(f.copy(1, 3), vf({1, 2, 3}));
  EXPECT_EQ(f.copyFrom(3), vf({3, 4}));
  EXPECT_EQ(f.copyUntil(1), vf({0, 1}));
  f.paste(3, vf({8, 9}));
  EXPECT_EQ(f, vf({0, 1, 2, 8, 9}));
  const auto pastePastTheEnd = [&] { f.paste(4, vf({8, 9})); };
  expectFailures<SizeError>({{"Vector Vector<T>::paste(...)", pastePastTheEnd}},
                            "Vector to large to be pasted at specified position");
  EXPECT_EQ(f, vf({0, 1, 2, 8, 9}));
}

// Filling and in-place reordering.
TEST(VectorFilling, FillsSortsReversesShiftsAndNormalizes) {
  Vector<int> v(4);
  v.fill(7);
  EXPECT_EQ(v, vi({7, 7, 7, 7}));
  v.setOnes(3);
  EXPECT_EQ(v, vi({1, 1, 1}));
  Vector<float> f(3);
  f.setCanonical(1);
  EXPECT_EQ(f, vf({0, 1, 0}));
  f.setSequence(10, -2);
  EXPECT_EQ(f, vf({10, 8, 6}));
  f = vf({3, -1, 2, -1});
  f.apply([](float x) { return x * x; });
  f.sort();
  f.reverse();
  f.circShift();
  EXPECT_EQ(f, vf({1, 9, 4, 1}));
  Vector<double> d(std::vector<double>{3, 0, 4});
  d.normalize();
  EXPECT_EQ(d, Vector<double>(std::vector<double>{0.6, 0, 0.8}));
  Vector<float> zero = vf({0, 0});
  zero.normalize(); // left alone instead of divided by zero
  EXPECT_EQ(zero, vf({0, 0}));
  EXPECT_EQ(Vector<double>::epsilon(), 1e-15);
  EXPECT_EQ(Vector<long double>::epsilon(), 1e-18L);
}

// Element-wise operations and their size rule.
TEST(VectorArithmetic, CombinesElementWiseAndWithScalarsInTheElementTypeInPlaceToo) {
  const Vector<float> a = vf({1, 2, 3});
  const Vector<float> b = vf({4, 5, 6});
  EXPECT_EQ(a + b, vf({5, 7, 9}));
  EXPECT_EQ(b - a, vf({3, 3, 3}));
  EXPECT_EQ(b / a, vf({4, 2.5f, 2}));
  EXPECT_EQ(a.pointwiseProduct(b), vf({4, 10, 18}));
  EXPECT_EQ(-a, vf({-1, -2, -3}));
  const Vector<int> c = vi({2, 4, -6});
  EXPECT_EQ((c + 1) * 3 - 1, vi({8, 14, -16}));
  EXPECT_EQ(c / 4, vi({0, 1, -1})); // integer division of the element type
  const Vector<unsigned char> bytes(std::vector<unsigned char>{250, 3});
  EXPECT_EQ(bytes + static_cast<unsigned char>(10), Vector<unsigned char>(std::vector<unsigned char>{4, 13}));
  Vector<float> d = a;
  const float* storage = d.data();
  d += b;
  d -= vf({0, 1, 0});
  d /= vf({5, 3, 3});
  d += 1.0f;
  d *= 3.0f;
  d -= 1.0f;
  d /= 2.0f;
  EXPECT_EQ(d, vf({2.5f, 4, 5.5f}));
  EXPECT_EQ(d.data(), storage);
}

TEST(VectorArithmetic, DifferentSizesFailWithTheOperationsSignature) {
  Vector<float> a = vf({1, 2, 3});
  const Vector<float> b = vf({1, 2});
  expectFailures<SizeError>(
      {{"Vector Vector<T>::operator+(const Vector&) const", [&] { a + b; }},
       {"Vector<T> Vector<T>::operator-(const Vector&) const", [&] { a - b; }},
       {"Vector<T> Vector<T>::operator/(const Vector&) const", [&] { a / b; }},
       {"Vector pointwiseProduct(const Vector&) const", [&] { a.pointwiseProduct(b); }},
       {"void Vector<T>::operator+=(const Vector&)", [&] { a += b; }},
       {"void Vector<T>::operator-=(const Vector&)", [&] { a -= b; }},
       {"void Vector<T>::operator/=(const Vector&)", [&] { a /= b; }},
       {"T Vector<T>::scalarProduct(const Vector&) const", [&] { a.scalarProduct(b); }},
       {"T Vector<T>::sdistance(const Vector&) const", [&] { a.sdistance(b); }},
       {"T Vector<T>::sdistance(const Vector&) const", [&] { a.distance(b); }},
       {"T Vector<T>::manhattanDistance(const Vector&) const", [&] { a.manhattanDistance(b); }}},
      "The two vectors have different sizes");
  EXPECT_EQ(a, vf({1, 2, 3}));
  EXPECT_NE(vf({1, 2}), vf({1, 3}));
  const Vector<float> withNan = vf({1, std::numeric_limits<float>::quiet_NaN()});
  EXPECT_FALSE(withNan == withNan);
}

// Products, norms and distances.
TEST(VectorProducts, ScalarAndCrossProductsNormsDistancesAndAngles) {
  const Vector<float> a = vf({1, 2, 2});
  const Vector<float> b = vf({4, 0, -1});
  EXPECT_EQ(a.scalarProduct(b), 2.0f);
  EXPECT_EQ(a.norm(), 3.0f);
  EXPECT_EQ(a.sdistance(b), 22.0f);
  EXPECT_FLOAT_EQ(a.distance(b), std::sqrt(22.0f));
  EXPECT_EQ(a.manhattanDistance(b), 8.0f);
  const Vector<unsigned int> u(std::vector<unsigned int>{1, 10});
  // No wrap-around below zero for unsigned elements.
  EXPECT_EQ(u.manhattanDistance(Vector<unsigned int>(std::vector<unsigned int>{4, 3})), 10u);
  EXPECT_EQ(vf({0, 1, 0}).vectorProduct(vf({1, 0, 0})), vf({0, 0, -1})); // right-handed
  EXPECT_EQ(vi({2, 3, 4}).vectorProduct(vi({5, 6, 7})), vi({-3, 6, -3}));
  const auto crossOfTwoAndThree = [] { vf({1, 0}).vectorProduct(vf({0, 1, 0})); };
  expectFailures<SizeError>({{"Vector vectorProduct(const Vector&) const", crossOfTwoAndThree}},
                            "At least one vector have a size different from 3");
  EXPECT_NEAR(vf({1, 1, 0}).angle(vf({1, 0, 0})), M_PI / 4, 1e-6);
  EXPECT_EQ(vf({0.2f, -0.9f, 0.9f}).closestAxis(), 1); // the first of equal magnitudes
  EXPECT_EQ(Vector<float>().closestAxis(), 0);
}

TEST(VectorProducts, HouseholderVectorReflectsOntoTheFirstAxis) {
  Vector<double> x(std::vector<double>{3, 1, 5, 1});
  Vector<double> v;
  double beta = 0;
  x.householderVector(v, beta);
  EXPECT_DOUBLE_EQ(v[0], 1.0);
  // (I - beta v v') x = ||x|| e1
  const Vector<double> reflected = x - v * (beta * v.scalarProduct(x));
  EXPECT_NEAR(std::fabs(reflected[0]), 6.0, 1e-12);
  EXPECT_NEAR(reflected.copyFrom(1).norm(), 0.0, 1e-12);
  double inPlaceBeta = 0;
  x.householderVector(inPlaceBeta);
  EXPECT_EQ(x, v);
  EXPECT_EQ(inPlaceBeta, beta);
  Vector<double> axis(std::vector<double>{2, 0, 0});
  axis.householderVector(beta);
  EXPECT_EQ(beta, 0.0);
}

// Floating-point operations are refused per integer element type, with the type named.
namespace {

template <class T> Vector<T> sample() {
  return Vector<T>(std::vector<T>{1, 2, 3});
}

// where is written with T for the element type, as in "T Vector<T>::norm() const".
template <class T> void expectRefused(const std::string& type, const std::string& where, void (*call)()) {
  expectException<TypeError>(call, std::regex_replace(where, std::regex("\\bT\\b"), type),
                             "Method not available for type '" + type + "'");
}

template <class T> void expectRefusals(const std::string& type, bool refusesDeviations, bool refusesMad) {
  SCOPED_TRACE(type);
  expectRefused<T>(type, "T Vector<T>::norm() const", [] { sample<T>().norm(); });
  expectRefused<T>(type, "void Vector<T>::normalize()", [] { sample<T>().normalize(); });
  expectRefused<T>(type, "T Vector<T>::mean() const", [] { sample<T>().mean(); });
  if (refusesMad) expectRefused<T>(type, "T Vector<T>::mad() const", [] { sample<T>().mad(); });
  if (!refusesDeviations) return;
  expectRefused<T>(type, "T Vector<T>::sse() const", [] { sample<T>().sse(); });
  expectRefused<T>(type, "T Vector<T>::var() const", [] { sample<T>().var(); });
  expectRefused<T>(type, "T Vector<T>::std() const", [] { sample<T>().std(); });
  expectRefused<T>(type, "T Vector<T>::sem(const bool) const", [] { sample<T>().sem(true); });
  expectRefused<T>(type, "T Vector<T>::distance(const Vector&) const",
                   [] { sample<T>().distance(sample<T>()); });
  expectRefused<T>(type, "void Vector<T>::houseHolderVector(...)", [] {
    T beta;
    Vector<T> v = sample<T>();
    v.householderVector(beta);
  });
}

} // namespace

TEST(VectorRefusedTypes, FloatingPointOperationsRefusedPerIntegerTypeBeforeAnythingElse) {
  expectRefusals<char>("char", false, false);
  expectRefusals<unsigned char>("unsigned char", true, true);
  expectRefusals<short>("short", true, true);
  expectRefusals<unsigned short>("unsigned short", true, true);
  expectRefusals<int>("int", true, false);
  expectRefusals<unsigned int>("unsigned int", true, true);
  EXPECT_EQ(sample<char>().sse(), 2);
  EXPECT_EQ(sample<char>().distance(Vector<char>(std::vector<char>{1, 2, 5})), 2);
  EXPECT_EQ(sample<char>().mad(), 1);
  EXPECT_EQ(sample<int>().mad(), 1);
  EXPECT_NO_THROW(sample<long double>().sem(true));
  // The type is refused before the size is looked at, and the vector is left as it was.
  expectRefused<int>("int", "T Vector<T>::mean() const", [] { Vector<int>().mean(); });
  Vector<int> v = sample<int>();
  EXPECT_THROW(v.normalize(), TypeError);
  EXPECT_EQ(v, sample<int>());
}

// Conversions and permutations.
TEST(VectorConversion, ConvertsByPlainConversion) {
  const Vector<float> f(std::vector<float>{1.9f, -1.9f, 2.5f});
  EXPECT_EQ(f.toType<int>(), vi({1, -1, 2}));
  EXPECT_EQ(f.toType<double>()[0], static_cast<double>(1.9f));
  EXPECT_EQ(f.toType<long double>()[2], 2.5L);
  EXPECT_EQ(vi({-3, 7}).toType<float>(), vf({-3, 7}));
  EXPECT_EQ(Vector<unsigned int>(std::vector<unsigned int>{3}).toType<float>()[0], 3.0f);
  EXPECT_EQ(Vector<double>(std::vector<double>{0.1}).toType<float>()[0], 0.1f);
  EXPECT_EQ(Vector<long double>(std::vector<long double>{0.25L}).toType<float>()[0], 0.25f);
}

// Colour-map files may hold values outside 0 .. 255: they are truncated and wrapped, never clamped.
TEST(VectorConversion, OutOfRangeFloatsWrapInsteadOfClamping) {
  const Vector<float> f(std::vector<float>{200.7f, -1.0f, 300.9f, -200.5f, 256.0f, NAN, 1e30f});
  EXPECT_EQ(f.toType<unsigned char>(),
            Vector<unsigned char>(std::vector<unsigned char>{200, 255, 44, 56, 0, 0, 0}));
  EXPECT_EQ(vf({3e9f, -3e9f}).toType<int>(), vi({static_cast<int>(3000000000LL - 4294967296LL),
                                                 static_cast<int>(4294967296LL - 3000000000LL)}));
}

TEST(VectorPermutation, ShuffleAndUnshuffleAreInverse) {
  const Vector<float> v = vf({10, 20, 30, 40});
  const Vector<int> p = vi({2, 0, 3, 1});
  Vector<float> shuffled = v;
  shuffled.shuffle(p);
  EXPECT_EQ(shuffled, vf({30, 10, 40, 20}));
  shuffled.unshuffle(p);
  EXPECT_EQ(shuffled, v);
  expectFailures<SizeError>(
      {{"void Vector<T>::shuffle(const Vector<int>&)", [&] { shuffled.shuffle(vi({0})); }},
       {"void Vector<T>::unshuffle(const Vector<int>&)", [&] { shuffled.unshuffle(vi({0})); }}},
      "Permutation size differs from number of elements");
  EXPECT_EQ(shuffled, v);
}

// Extremes, sums and positions.
TEST(VectorStatistics, ExtremesSumsAndProductsInTheElementType) {
  const Vector<float> v = vf({3, -1, 7, -1, 7});
  EXPECT_EQ(v.range(), vf({-1, 7}));
  EXPECT_EQ(v.minPos(), 1); // the first of ties
  EXPECT_EQ(v.maxPos(), 2);
  EXPECT_EQ(v.find(7), 2);
  EXPECT_EQ(v.find(4), -1);
  EXPECT_EQ(vi({1, 2, 3, 4}).csum(), vi({1, 3, 6, 10}));
  EXPECT_EQ(vi({1, 2, 3, 4}).cprod(), vi({1, 2, 6, 24}));
  EXPECT_EQ(Vector<unsigned char>(std::vector<unsigned char>{200, 100}).sum(), 44); // 300 wraps
  EXPECT_EQ(vf({1e8f, 1, 1, 1, 1}).sum(), 1e8f); // single precision loses the ones
}

TEST(VectorStatistics, EmptyShortAndUnsortedVectorsFailWithTheOperationsSignature) {
  const Vector<float> v;
  expectFailures<SizeError>({{"T Vector<T>::min() const", [&] { v.min(); }},
                             {"T Vector<T>::max() const", [&] { v.max(); }},
                             {"Vector<T> Vector<T>::range() const", [&] { v.range(); }},
                             {"int Vector<T>::minPos() const", [&] { v.minPos(); }},
                             {"int Vector<T>::maxPos() const", [&] { v.maxPos(); }},
                             {"T Vector<T>::sum() const", [&] { v.sum(); }},
                             {"T Vector<T>::prod() const", [&] { v.prod(); }},
                             {"T Vector<T>::mean() const", [&] { v.mean(); }},
                             {"T Vector<T>::median() const", [&] { v.median(); }},
                             {"T Vector<T>::sse() const", [&] { v.sse(); }},
                             {"T Vector<T>::var() const", [&] { v.var(); }},
                             {"T Vector<T>::var() const", [&] { v.std(); }},
                             {"T Vector<T>::median() const", [&] { v.mad(); }},
                             {"T Vector<T>::sem(const bool) const", [&] { v.sem(true); }},
                             {"bool Vector<T>::isIncreasing() const", [&] { v.isIncreasing(); }},
                             {"bool Vector<T>::isDecreasing() const", [&] { v.isDecreasing(); }},
                             {"bool Vector<T>::isIncreasing() const", [&] { v.percentile(50); }},
                             {"T Vector<T>::min() const", [&] { v.numbers(); }}},
                            "This vector is empty.");
  expectFailures<SizeError>({{"T Vector<T>::sem(const bool) const", [] { vf({4}).sem(true); }}},
                            "This vector contains a single value.");
  expectFailures<SizeError>({{"Vector<T> Vector<T>::diff(const int) const",
                              [] {
                                vf({1, 4, 9}).diff(3);
                              }}},
                            "This vector does not contain enough elements");
  expectFailures<UsageError>({{"T Vector::percentile(const float) const",
                               [] {
                                 vf({2, 1}).percentile(50);
                               }}},
                             "This vector is not sorted in increasing order");
  const Vector<int> six = vi({0, 1, 2, 3, 4, 5});
  expectFailures<SizeError>({{"Vectorui Vector<T>::histogram(...)", [&] { six.histogram(0, 2, 3, vi({1})); }},
                             {"Vector<T> Vector<T>::corr(const Vector&, const Vector&) const",
                              [] {
                                vf({1, 2}).corr(vf({1}), vf({1}));
                              }}},
                            "The mask is not the same length as this vector");
}

// Central values, spreads and percentiles.
TEST(VectorStatistics, CentralValuesAndSpreadsOfOddEvenSingleTiedAndNaNInputs) {
  const Vector<float> v = vf({3, 1, 2, 10});
  EXPECT_EQ(v.median(), 2.5f);
  EXPECT_EQ(v, vf({3, 1, 2, 10}));
  EXPECT_EQ(vf({5}).median(), 5.0f);
  EXPECT_EQ(vf({9, 1, 5, 3, 7}).median(), 5.0f);
  EXPECT_EQ(vf({2, 2, 2, 1}).median(), 2.0f);
  EXPECT_EQ(vi({1, 2}).median(), 1); // (1 + 2) * 0.5 truncated
  EXPECT_EQ(vf({1, 1, 2, 2, 4, 6, 9}).mad(), 1.0f);
  EXPECT_EQ(vi({-3, 0, 10}).mad(), 3);
  const Vector<double> d(std::vector<double>{1, 2, 3, 4});
  EXPECT_DOUBLE_EQ(d.mean(), 2.5);
  EXPECT_DOUBLE_EQ(d.sse(), 5.0);
  EXPECT_DOUBLE_EQ(d.std(), std::sqrt(1.25));
  EXPECT_DOUBLE_EQ(d.sem(true), std::sqrt(5.0) / (std::sqrt(3.0) * 2.0));
  EXPECT_DOUBLE_EQ(d.sem(false), std::sqrt(5.0) / 4.0);
  EXPECT_EQ(vf({4}).sem(false), 0.0f);
  EXPECT_TRUE(std::isnan(vf({1, NAN, 3}).mean()));
  EXPECT_TRUE(std::isnan(vf({1, NAN, 3}).var()));
}

TEST(VectorStatistics, PercentilesMonotonyConstancyAndSymmetry) {
  const Vector<float> v = vf({1, 2, 3, 4});
  EXPECT_EQ(v.percentile(0), 1.0f);
  EXPECT_EQ(v.percentile(49), 2.0f); // 1.47 + 0.5 -> 1
  EXPECT_EQ(v.percentile(50), 3.0f);
  EXPECT_EQ(v.percentile(100), 4.0f);
  EXPECT_EQ(vf({7}).percentile(80), 7.0f);
  EXPECT_EQ(vf({1, 1, 2}).percentile(50), 1.0f);
  EXPECT_TRUE(vf({1, 1, 2}).isIncreasing() && !vf({1, 1, 2}).isDecreasing());
  EXPECT_TRUE(vf({3, 3, -1}).isDecreasing() && !vf({1, 3, 2}).isIncreasing());
  EXPECT_TRUE(vf({5}).isIncreasing() && vf({5}).isDecreasing());
  EXPECT_TRUE(vf({2, 2, 2}).isConstant() && Vector<float>().isConstant());
  EXPECT_FALSE(vf({NAN, NAN}).isConstant());
  EXPECT_TRUE(vf({1, 2, 5, 2, 1}).isSymmetrical() && vf({1, 2, 2, 1}).isSymmetrical());
  EXPECT_FALSE(vf({1, 2, 3}).isSymmetrical());
  EXPECT_TRUE(vf({1, 2, 9, -2, -1}).isAntiSymmetrical()); // the middle is not examined
  EXPECT_FALSE(vf({1}).isAntiSymmetrical() || vf({3, 3}).isAntiSymmetrical());
  EXPECT_EQ(vf({1, 4, 9}).diff(1), vf({3, 5, 0}));
  EXPECT_EQ(vf({1, 4, 9}).diff(2), vf({8, 0, 0}));
}

// Histograms by bisection over the lower bin edges.
TEST(VectorHistogram, OutliersGoToTheEndBinsAndEdgesToTheBinStartingThere) {
  const Vector<float> v = vf({-5, 0, 0.5f, 1, 2, 99});
  EXPECT_EQ(v.histogram(0, 1, 3), counts({3, 1, 2}));
  EXPECT_EQ(v.histogram(0, 1, 1), counts({6}));
  EXPECT_EQ(v.histogram(-10, 10, 4), counts({1, 4, 0, 1}));
  EXPECT_EQ(Vector<float>().histogram(0, 1, 3), counts({0, 0, 0}));
  const Vector<int> w = vi({0, 1, 2, 3, 4, 5});
  EXPECT_EQ(w.histogram(0, 2, 3), counts({2, 2, 2}));
  EXPECT_EQ(w.histogram(0, 2, 3, vi({1, 0, 1, 0, 7, 0})), counts({1, 1, 1})); // masked
  Vector<float> many(1000);
  for (int i = 0; i < 1000; ++i) many[i] = static_cast<float>((i * 37) % 101) - 20.5f;
  for (int bins : {2, 7, 64}) EXPECT_EQ(many.histogram(-3.0f, 1.25f, bins).sum(), 1000u) << bins;
}

// Summary record; character types print numbers, not characters.
TEST(VectorNumbers, PrintsSevenLabelledLines) {
  Numbers<float> n = vf({4, 1, 3, 2}).numbers();
  EXPECT_THROW(n.getStddev(), UsageError);
  n.setStddev(0.5f);
  std::ostringstream out;
  out << n << Vector<unsigned char>(std::vector<unsigned char>{65, 7, 200}).numbers();
  EXPECT_EQ(out.str(),
            "Count:   4\nMinimum: 1\nMedian:  2.5\nMaximum: 4\nSum:     10\nMean:    2.5\nStdDev:  0.5\n"
            "Count:   3\nMinimum: 7\nMedian:  65\nMaximum: 200\nSum:     16\nMean:    5\n"
            "StdDev:  not set\n");
}

// Correlation and convolution with a kernel centred at its middle.
TEST(VectorCorrelation, CorrelatesWithinTheBordersWithOrWithoutAMask) {
  const Vector<float> v = vf({1, 2, 3, 4});
  EXPECT_EQ(v.corr(vf({1, 1, 1})), vf({3, 6, 9, 7}));
  EXPECT_EQ(v.corr(vf({0, 0, 1})), vf({2, 3, 4, 0}));
  EXPECT_EQ(v.conv(vf({0, 0, 1})), vf({0, 1, 2, 3}));
  EXPECT_EQ(v.corr(vf({1, 2})), vf({2, 1 + 4, 2 + 6, 3 + 8})); // centre at index 1
  EXPECT_EQ(Vector<float>().corr(vf({1, 1, 1})).getSize(), 0);
  EXPECT_EQ(v.corr(vf({1, 1, 1}), vf({1, 0, 1, 1})), vf({1, 4, 7, 7}));
  EXPECT_EQ(v.conv(vf({0, 0, 1}), vf({1, 1, 1, 1})), vf({0, 1, 2, 3}));
}
