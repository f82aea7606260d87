#include "foundation/Numbers.h"
#include "foundation/Vector.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
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
const float notANumber = std::numeric_limits<float>::quiet_NaN();

} // namespace

// Extremes, sums and positions.
TEST(VectorStatistics, ExtremesSumsAndProductsInTheElementType) {
  const Vector<float> v = vf({3, -1, 7, -1, 7});
  EXPECT_EQ(v.range(), vf({-1, 7}));
  EXPECT_EQ(v.minPos(), 1); // the first of ties
  EXPECT_EQ(v.maxPos(), 2);
  EXPECT_EQ(v.find(7), 2);
  EXPECT_EQ(v.find(4), -1);
  const Vector<int> w = vi({1, 2, 3, 4});
  EXPECT_EQ(w.prod(), 24);
  EXPECT_EQ(w.csum(), vi({1, 3, 6, 10}));
  EXPECT_EQ(w.cprod(), vi({1, 2, 6, 24}));
  EXPECT_EQ(Vector<unsigned char>(std::vector<unsigned char>{200, 100}).sum(), 44); // 300 wraps
  EXPECT_EQ(vf({1e8f, 1, 1, 1, 1}).sum(), 1e8f); // single precision loses the ones
}

TEST(VectorStatistics, EmptyVectorsFailWithTheOperationsSignature) {
  const Vector<float> v;
  const std::vector<std::pair<std::string, std::function<void()>>> cases = {
      {"T Vector<T>::min() const", [&] { v.min(); }},
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
      {"T Vector<T>::min() const", [&] { v.numbers(); }}};
  for (const auto& [where, call] : cases) {
    SCOPED_TRACE(where);
    expectException<SizeError>(call, where, "This vector is empty.");
  }
}

// Central values and spreads.
TEST(VectorStatistics, MedianOfOddEvenSingleAndTiedSizesLeavesTheOrder) {
  const Vector<float> v = vf({3, 1, 2, 10});
  EXPECT_EQ(v.median(), 2.5f);
  EXPECT_EQ(v, vf({3, 1, 2, 10}));
  EXPECT_EQ(vf({5}).median(), 5.0f);
  EXPECT_EQ(vf({9, 1, 5, 3, 7}).median(), 5.0f);
  EXPECT_EQ(vf({2, 2, 2, 1}).median(), 2.0f);
  EXPECT_EQ(vi({1, 2}).median(), 1); // (1 + 2) * 0.5 truncated
  EXPECT_EQ(vf({1, 1, 2, 2, 4, 6, 9}).mad(), 1.0f);
  EXPECT_EQ(vi({-3, 0, 10}).mad(), 3);
}

TEST(VectorStatistics, MeanVarianceAndStandardErrors) {
  const Vector<double> v(std::vector<double>{1, 2, 3, 4});
  EXPECT_DOUBLE_EQ(v.mean(), 2.5);
  EXPECT_DOUBLE_EQ(v.sse(), 5.0);
  EXPECT_DOUBLE_EQ(v.var(), 1.25);
  EXPECT_DOUBLE_EQ(v.std(), std::sqrt(1.25));
  EXPECT_DOUBLE_EQ(v.sem(true), std::sqrt(5.0) / (std::sqrt(3.0) * 2.0));
  EXPECT_DOUBLE_EQ(v.sem(false), std::sqrt(5.0) / 4.0);
  EXPECT_FLOAT_EQ(vf({1, 2, 3, 4}).sem(true), static_cast<float>(std::sqrt(5.0) / (std::sqrt(3.0) * 2.0)));
  EXPECT_EQ(vf({4}).sem(false), 0.0f);
  expectException<SizeError>([] { vf({4}).sem(true); }, "T Vector<T>::sem(const bool) const",
                             "This vector contains a single value.");
  EXPECT_TRUE(std::isnan(vf({1, notANumber, 3}).mean()));
  EXPECT_TRUE(std::isnan(vf({1, notANumber, 3}).var()));
}

// Order and shape tests.
TEST(VectorStatistics, PercentileOfASortedVector) {
  const Vector<float> v = vf({1, 2, 3, 4});
  EXPECT_EQ(v.percentile(50), 3.0f);
  EXPECT_EQ(v.percentile(0), 1.0f);
  EXPECT_EQ(v.percentile(100), 4.0f);
  EXPECT_EQ(v.percentile(49), 2.0f); // 1.47 + 0.5 -> 1
  EXPECT_EQ(vf({7}).percentile(80), 7.0f);
  EXPECT_EQ(vf({1, 1, 2}).percentile(50), 1.0f);
  expectException<UsageError>(
      [] {
        vf({2, 1}).percentile(50);
      },
      "T Vector::percentile(const float) const", "This vector is not sorted in increasing order");
}

TEST(VectorStatistics, MonotonyConstancyAndSymmetry) {
  EXPECT_TRUE(vf({1, 1, 2}).isIncreasing());
  EXPECT_FALSE(vf({1, 1, 2}).isDecreasing());
  EXPECT_TRUE(vf({3, 3, -1}).isDecreasing());
  EXPECT_TRUE(vf({5}).isIncreasing() && vf({5}).isDecreasing());
  EXPECT_FALSE(vf({1, 3, 2}).isIncreasing());
  EXPECT_TRUE(vf({2, 2, 2}).isConstant());
  EXPECT_TRUE(Vector<float>().isConstant());
  EXPECT_FALSE(vf({notANumber, notANumber}).isConstant());
  EXPECT_TRUE(vf({1, 2, 5, 2, 1}).isSymmetrical());
  EXPECT_TRUE(vf({1, 2, 2, 1}).isSymmetrical());
  EXPECT_FALSE(vf({1, 2, 3}).isSymmetrical());
  EXPECT_FALSE(vf({1}).isAntiSymmetrical());
  EXPECT_TRUE(vf({1, 2, 9, -2, -1}).isAntiSymmetrical()); // the middle is not examined
  EXPECT_FALSE(vf({3, 3}).isAntiSymmetrical());
}

TEST(VectorStatistics, DifferencesAtADistance) {
  EXPECT_EQ(vf({1, 4, 9}).diff(1), vf({3, 5, 0}));
  EXPECT_EQ(vf({1, 4, 9}).diff(2), vf({8, 0, 0}));
  expectException<SizeError>(
      [] {
        vf({1, 4, 9}).diff(3);
      },
      "Vector<T> Vector<T>::diff(const int) const", "This vector does not contain enough elements");
}

// Histograms by bisection over the lower bin edges.
TEST(VectorHistogram, OutliersGoToTheEndBinsAndEdgesToTheBinStartingThere) {
  const Vector<float> v = vf({-5, 0, 0.5f, 1, 2, 99});
  EXPECT_EQ(v.histogram(0, 1, 3), counts({3, 1, 2}));
  EXPECT_EQ(v.histogram(0, 1, 1), counts({6}));
  EXPECT_EQ(v.histogram(-10, 10, 4), counts({1, 4, 0, 1}));
  EXPECT_EQ(Vector<float>().histogram(0, 1, 3), counts({0, 0, 0}));
  Vector<float> many(1000);
  for (int i = 0; i < 1000; ++i) many[i] = static_cast<float>((i * 37) % 101) - 20.5f;
  for (int bins : {2, 7, 64}) EXPECT_EQ(many.histogram(-3.0f, 1.25f, bins).sum(), 1000u) << bins;
}

TEST(VectorHistogram, IntegerValuesAndMasks) {
  const Vector<int> v = vi({0, 1, 2, 3, 4, 5});
  EXPECT_EQ(v.histogram(0, 2, 3), counts({2, 2, 2}));
  EXPECT_EQ(v.histogram(0, 2, 3, vi({1, 0, 1, 0, 7, 0})), counts({1, 1, 1}));
  expectException<SizeError>([&] { v.histogram(0, 2, 3, vi({1})); }, "Vectorui Vector<T>::histogram(...)",
                             "The mask is not the same length as this vector");
}

// Summary record.
TEST(VectorNumbers, PrintsSevenLabelledLinesAndTheUnsetDeviation) {
  Numbers<float> n = vf({4, 1, 3, 2}).numbers();
  EXPECT_FALSE(n.hasStddev());
  EXPECT_THROW(n.getStddev(), UsageError);
  n.setStddev(0.5f);
  std::ostringstream out;
  out << n;
  EXPECT_EQ(out.str(),
            "Count:   4\nMinimum: 1\nMedian:  2.5\nMaximum: 4\nSum:     10\nMean:    2.5\nStdDev:  0.5\n");
  EXPECT_EQ(vi({4, 1}).numbers().getMean(), 2); // integer vectors summarise too
}

TEST(VectorNumbers, CharacterTypesPrintNumbers) {
  std::ostringstream out;
  out << Vector<unsigned char>(std::vector<unsigned char>{65, 7, 200}).numbers();
  EXPECT_EQ(out.str(), "Count:   3\nMinimum: 7\nMedian:  65\nMaximum: 200\nSum:     16\nMean:    5\n"
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
  expectException<SizeError>([&] { v.corr(vf({1}), vf({1})); },
                             "Vector<T> Vector<T>::corr(const Vector&, const Vector&) const",
                             "The mask is not the same length as this vector");
}
