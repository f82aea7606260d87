#include "foundation/Numbers.h"
#include "foundation/Vector.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <vector>

namespace {

const auto vf = [](std::vector<float> values) { return Vector<float>(values); };
const auto vi = [](std::vector<int> values) { return Vector<int>(values); };
const auto counts = [](std::vector<unsigned int> values) { return Vector<unsigned int>(values); };

} // namespace

// Owning storage, shallow views that write through and refuse to be resized, joins and ranges.
TEST(VectorStorage, ViewsWriteThroughAndRefuseResizingWhileOwnersJoinCopyAndPaste) {
  int foreign[3] = {8, 9, 10};
  Vector<int> v;
  v.setSize(3, foreign);
  v *= 2;
  v = vi({4, 5, 6}); // equal size: written into the foreign array
  EXPECT_EQ(foreign[2], 6);
  Vector<int> owner = vi({1, 2, 3});
  owner.swap(v); // a view of the same size exchanges elements
  EXPECT_EQ(foreign[0], 1);
  EXPECT_EQ(owner, vi({4, 5, 6}));
  Vector<int> longer = vi({1, 2, 3, 4});
  expectEach<UsageError>({[&] { v = longer; }, [&] { v.setSize(4); }, [&] { longer.swap(v); },
                          [&] { v.append(longer); }, [&] { v.prepend(longer); }});
  EXPECT_EQ(v.data(), foreign);
  EXPECT_EQ(v, vi({1, 2, 3}));
  Vector<int> w = vi({1, 2});
  w.append(vi({3}));
  w.prepend(vi({-1, 0}));
  w.append(w);
  EXPECT_EQ(w, vi({-1, 0, 1, 2, 3, -1, 0, 1, 2, 3}));
  Vector<float> f = vf({0, 1, 2, 3, 4});
  EXPECT_EQ(f.copy(1, 3), vf({1, 2, 3}));
  EXPECT_EQ(f.copyFrom(3), vf({3, 4}));
  EXPECT_EQ(f.copyUntil(1), vf({0, 1}));
  f.paste(3, vf({8, 9}));
  EXPECT_EQ(f, vf({0, 1, 2, 8, 9}));
  EXPECT_THROW(f.paste(4, vf({8, 9})), SizeError);
}

// In-place transforms, element-wise arithmetic in the element type and the size rule.
TEST(VectorArithmetic, TransformsAndCombinesInTheElementTypeOrRefusesOtherSizes) {
  Vector<float> f = vf({3, -1, 2, -1});
  f.apply([](float x) { return x * x; });
  f.sort();
  f.reverse();
  f.circShift();
  EXPECT_EQ(f, vf({1, 9, 4, 1}));
  f.setSequence(10, -2);
  EXPECT_EQ(f.copyUntil(2), vf({10, 8, 6}));
  Vector<double> d(std::vector<double>{3, 0, 4});
  d.normalize();
  EXPECT_EQ(d, Vector<double>(std::vector<double>{0.6, 0, 0.8}));
  Vector<float> zero = vf({0, 0});
  zero.normalize(); // left alone instead of divided by zero
  EXPECT_EQ(zero, vf({0, 0}));
  const Vector<float> a = vf({1, 2, 3}), b = vf({4, 5, 6});
  Vector<float> results;
  for (const Vector<float>& r : {a + b, b - a, b / a, -a, a.pointwiseProduct(b)}) results.append(r);
  EXPECT_EQ(results, vf({5, 7, 9, 3, 3, 3, 4, 2.5f, 2, -1, -2, -3, 4, 10, 18}));
  EXPECT_EQ((vi({2, 4, -6}) + 1) * 3 / 4, vi({2, 3, -3})); // integer division of the element type
  const Vector<unsigned char> bytes(std::vector<unsigned char>{250, 3});
  EXPECT_EQ(bytes + static_cast<unsigned char>(10), Vector<unsigned char>(std::vector<unsigned char>{4, 13}));
  Vector<float> c = a;
  c += b;
  c -= vf({0, 1, 0});
  c /= vf({5, 3, 3});
  c -= 1.0f;
  EXPECT_EQ(c, vf({0, 1, 2}));
  const Vector<float> two = vf({1, 2});
  expectEach<SizeError>({[&] { a + two; }, [&] { a - two; }, [&] { a / two; }, [&] { c += two; },
                         [&] { c -= two; }, [&] { c /= two; }, [&] { a.pointwiseProduct(two); },
                         [&] { a.scalarProduct(two); }, [&] { a.distance(two); },
                         [&] { a.manhattanDistance(two); }, [&] { two.vectorProduct(a); }});
  const Vector<float> withNan = vf({1, std::numeric_limits<float>::quiet_NaN()});
  EXPECT_FALSE(withNan == withNan);
  // Products, norms, distances, the Householder reflection, correlation and convolution.
  const Vector<float> p = vf({1, 2, 2}), q = vf({4, 0, -1});
  EXPECT_EQ(vf({p.scalarProduct(q), p.norm(), p.sdistance(q), p.manhattanDistance(q)}), vf({2, 3, 22, 8}));
  EXPECT_EQ(counts({1, 10}).manhattanDistance(counts({4, 3})), 10u);     // no wrap-around below zero
  EXPECT_EQ(vf({0, 1, 0}).vectorProduct(vf({1, 0, 0})), vf({0, 0, -1})); // right-handed
  EXPECT_NEAR(vf({1, 1, 0}).angle(vf({1, 0, 0})), M_PI / 4, 1e-6);
  EXPECT_EQ(vf({0.2f, -0.9f, 0.9f}).closestAxis(), 1); // the first of equal magnitudes
  Vector<double> x(std::vector<double>{3, 1, 5, 1}), h;
  double beta = 0;
  x.householderVector(h, beta);
  const Vector<double> reflected = x - h * (beta * h.scalarProduct(x)); // (I - beta h h') x = ||x|| e1
  EXPECT_NEAR(std::fabs(reflected[0]) + reflected.copyFrom(1).norm(), 6.0, 1e-12);
  const Vector<float> r = vf({1, 2, 3, 4}); // kernels centred at their middle
  EXPECT_EQ(r.corr(vf({1, 1, 1})), vf({3, 6, 9, 7}));
  EXPECT_EQ(r.corr(vf({0, 0, 1})), vf({2, 3, 4, 0}));
  EXPECT_EQ(r.conv(vf({0, 0, 1})), vf({0, 1, 2, 3}));
  EXPECT_EQ(r.corr(vf({1, 2})), vf({2, 1 + 4, 2 + 6, 3 + 8})); // centre at index 1
  EXPECT_EQ(r.corr(vf({1, 1, 1}), vf({1, 0, 1, 1})), vf({1, 4, 7, 7}));
}

// Floating-point operations are refused for integer element types before anything else is looked at.
TEST(VectorTypes, IntegerTypesRefuseFloatingPointStatisticsAndConversionsWrapInsteadOfClamping) {
  const Vector<int> v = vi({1, 2, 3});
  expectException<TypeError>([&] { v.mean(); }, "T Vector<T>::mean() const [with T = int]",
                             "Method not available for type 'int'");
  expectEach<TypeError>({[] { Vector<int>().norm(); }, [&] { v.std(); }, [&] { v.distance(v); },
                         [] { Vector<unsigned char>(2).mad(); }, [] { Vector<short>(2).var(); }});
  EXPECT_EQ(v.mad(), 1);
  // The mean of truth values is the share of true ones rounded, not their sum (logical or).
  const auto bools = [](std::initializer_list<bool> values) {
    Vector<bool> v(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), v.data());
    return v.mean();
  };
  EXPECT_EQ(
      std::vector<bool>({bools({true, false, false}), bools({true, false}), bools({true, true, false})}),
      std::vector<bool>({false, true, true}));
  EXPECT_EQ(Vector<char>(std::vector<char>{1, 2, 3}).sse(), 2);
  // Colour-map files may hold values outside 0 .. 255: they are truncated and wrapped, never clamped.
  EXPECT_EQ(vf({1.9f, -1.9f, 2.5f}).toType<int>(), vi({1, -1, 2}));
  EXPECT_EQ(Vector<double>(std::vector<double>{0.1}).toType<float>()[0], 0.1f);
  const Vector<float> f(std::vector<float>{200.7f, -1.0f, 300.9f, -200.5f, 256.0f, NAN, 1e30f});
  EXPECT_EQ(f.toType<unsigned char>(),
            Vector<unsigned char>(std::vector<unsigned char>{200, 255, 44, 56, 0, 0, 0}));
  EXPECT_EQ(vf({3e9f, -3e9f}).toType<int>(), vi({static_cast<int>(3000000000LL - 4294967296LL),
                                                 static_cast<int>(4294967296LL - 3000000000LL)}));
  Vector<float> shuffled = vf({10, 20, 30, 40});
  const Vector<int> p = vi({2, 0, 3, 1});
  shuffled.shuffle(p);
  EXPECT_EQ(shuffled, vf({30, 10, 40, 20}));
  shuffled.unshuffle(p);
  EXPECT_EQ(shuffled, vf({10, 20, 30, 40})) << "unshuffled";
  EXPECT_THROW(shuffled.shuffle(vi({0})), SizeError);
}

// Extremes, sums, central values, spreads, percentiles, histograms and their refusals.
TEST(VectorStatistics, OfOddEvenTiedAndNaNInputsTheirRefusalsHistogramsAndTheSummaryRecord) {
  const Vector<float> v = vf({3, -1, 7, -1, 7});
  EXPECT_EQ(v.range(), vf({-1, 7}));
  EXPECT_EQ(vi({v.minPos(), v.maxPos(), v.find(4)}), vi({1, 2, -1})); // the first of ties
  EXPECT_EQ(vi({1, 2, 3, 4}).csum(), vi({1, 3, 6, 10}));
  EXPECT_EQ(vi({1, 2, 3, 4}).cprod(), vi({1, 2, 6, 24}));
  EXPECT_EQ(Vector<unsigned char>(std::vector<unsigned char>{200, 100}).sum(), 44); // 300 wraps
  const Vector<float> four = vf({1, 2, 3, 4});
  EXPECT_EQ(vf({vf({3, 1, 2, 10}).median(), vf({9, 1, 5, 3, 7}).median(), vf({2, 2, 2, 1}).median(),
                vf({1, 1, 2, 2, 4, 6, 9}).mad(), four.percentile(49), four.percentile(50),
                four.percentile(100), vf({1, 1, 2}).percentile(50), vf({4}).sem(false)}),
            vf({2.5f, 5, 2, 1, 2, 3, 4, 1, 0}));
  EXPECT_EQ(vi({1, 2}).median(), 1); // (1 + 2) * 0.5 truncated
  const Vector<double> d(std::vector<double>{1, 2, 3, 4});
  EXPECT_EQ(d.sse() * 4, 20.0);
  EXPECT_DOUBLE_EQ(d.std() * d.std() + d.sem(true) * d.sem(true), 1.25 + 5.0 / 12);
  EXPECT_TRUE(std::isnan(vf({1, NAN, 3}).var()));
  EXPECT_TRUE(vf({1, 1, 2}).isIncreasing() && !vf({1, 1, 2}).isDecreasing() && vf({3, 3, -1}).isDecreasing());
  EXPECT_TRUE(vf({2, 2, 2}).isConstant() && !vf({NAN, NAN}).isConstant());
  EXPECT_TRUE(vf({1, 2, 2, 1}).isSymmetrical() && !vf({1, 2, 3}).isSymmetrical());
  EXPECT_TRUE(vf({1, 2, 9, -2, -1}).isAntiSymmetrical()); // the middle is not examined
  EXPECT_EQ(vf({1, 4, 9}).diff(2), vf({8, 0, 0}));
  const Vector<float> empty, one = vf({4}), three = vf({1, 4, 9}), two = vf({1, 2});
  expectEach<SizeError>({[&] { empty.min(); }, [&] { empty.max(); }, [&] { empty.median(); },
                         [&] { empty.sum(); }, [&] { empty.prod(); }, [&] { empty.var(); },
                         [&] { empty.mad(); }, [&] { empty.numbers(); }, [&] { empty.isIncreasing(); },
                         [&] { one.sem(true); }, [&] { three.diff(3); }, [&] { two.corr(one, one); }});
  EXPECT_THROW(vf({2, 1}).percentile(50), UsageError);
  // Histograms by bisection over the lower bin edges: outliers go to the end bins.
  const Vector<float> spread = vf({-5, 0, 0.5f, 1, 2, 99});
  EXPECT_EQ(spread.histogram(0, 1, 3), counts({3, 1, 2}));
  EXPECT_EQ(spread.histogram(-10, 10, 4), counts({1, 4, 0, 1}));
  const Vector<int> w = vi({0, 1, 2, 3, 4, 5});
  EXPECT_EQ(w.histogram(0, 2, 3), counts({2, 2, 2}));
  EXPECT_EQ(w.histogram(0, 2, 3, vi({1, 0, 1, 0, 7, 0})), counts({1, 1, 1})); // masked
  Vector<float> many(1000);
  for (int i = 0; i < 1000; ++i) many[i] = static_cast<float>((i * 37) % 101) - 20.5f;
  for (int bins : {2, 7, 64}) EXPECT_EQ(many.histogram(-3.0f, 1.25f, bins).sum(), 1000u) << bins;
  // The summary record; character types print numbers, not characters.
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
