#include "foundation/Vector.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// Floating-point operations are refused per integer element type, with the type named.
namespace {

template <class T> Vector<T> sample() {
  return Vector<T>(std::vector<T>{1, 2, 3});
}

template <class T> void expectRefused(const std::string& type, const std::string& pattern, void (*call)()) {
  std::string where;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.compare(i, 1, "T") == 0 && (i == 0 || pattern[i - 1] == '<' || pattern[i - 1] == ' ') &&
        (i + 1 == pattern.size() || pattern[i + 1] == '>' || pattern[i + 1] == ' '))
      where += type;
    else
      where += pattern[i];
  }
  expectException<TypeError>(call, where, "Method not available for type '" + type + "'");
}

template <class T> void expectNormRefused(const std::string& type) {
  expectRefused<T>(type, "T Vector<T>::norm() const", [] { sample<T>().norm(); });
  expectRefused<T>(type, "void Vector<T>::normalize()", [] { sample<T>().normalize(); });
  expectRefused<T>(type, "T Vector<T>::mean() const", [] { sample<T>().mean(); });
}

template <class T> void expectDeviationRefused(const std::string& type) {
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

template <class T> void expectMadRefused(const std::string& type) {
  expectRefused<T>(type, "T Vector<T>::mad() const", [] { sample<T>().mad(); });
}

} // namespace

TEST(VectorRefusedTypes, NormNormalizeAndMeanRefusedForEveryIntegerType) {
  expectNormRefused<char>("char");
  expectNormRefused<unsigned char>("unsigned char");
  expectNormRefused<short>("short");
  expectNormRefused<unsigned short>("unsigned short");
  expectNormRefused<int>("int");
  expectNormRefused<unsigned int>("unsigned int");
}

TEST(VectorRefusedTypes, DeviationsRefusedForIntegerTypesButChar) {
  expectDeviationRefused<unsigned char>("unsigned char");
  expectDeviationRefused<short>("short");
  expectDeviationRefused<unsigned short>("unsigned short");
  expectDeviationRefused<int>("int");
  expectDeviationRefused<unsigned int>("unsigned int");
  const Vector<char> c = sample<char>();
  EXPECT_EQ(c.sse(), 2);
  EXPECT_EQ(c.distance(Vector<char>(std::vector<char>{1, 2, 5})), 2);
}

TEST(VectorRefusedTypes, MadRefusedForUnsignedTypesAndShort) {
  expectMadRefused<unsigned char>("unsigned char");
  expectMadRefused<short>("short");
  expectMadRefused<unsigned short>("unsigned short");
  expectMadRefused<unsigned int>("unsigned int");
  EXPECT_EQ(sample<int>().mad(), 1);
  EXPECT_EQ(sample<char>().mad(), 1);
}

TEST(VectorRefusedTypes, RefusalHappensBeforeTheEmptyCheck) {
  expectException<TypeError>([] { Vector<int>().mean(); }, "int Vector<int>::mean() const",
                             "Method not available for type 'int'");
}

TEST(VectorRefusedTypes, NormalizeOfAnIntVectorLeavesItUnchanged) {
  Vector<int> v = sample<int>();
  EXPECT_THROW(v.normalize(), TypeError);
  EXPECT_EQ(v, sample<int>());
}

TEST(VectorRefusedTypes, FloatingTypesAllowEverything) {
  EXPECT_NO_THROW(sample<float>().mad());
  EXPECT_NO_THROW(sample<long double>().sem(true));
  EXPECT_NO_THROW(sample<double>().norm());
  EXPECT_EQ(sample<int>().median(), 2);
  EXPECT_EQ(sample<unsigned int>().sum(), 6u);
}

TEST(VectorConversion, ConvertsByPlainConversion) {
  const Vector<float> f(std::vector<float>{1.9f, -1.9f, 2.5f});
  EXPECT_EQ(f.toType<int>(), Vector<int>(std::vector<int>{1, -1, 2}));
  EXPECT_EQ(f.toType<double>()[0], static_cast<double>(1.9f));
  EXPECT_EQ(f.toType<long double>()[2], 2.5L);
  EXPECT_EQ(f.toType<float>(), f);
  const Vector<float> bytes(std::vector<float>{0.0f, 200.7f, 255.0f});
  EXPECT_EQ(bytes.toType<unsigned char>(), Vector<unsigned char>(std::vector<unsigned char>{0, 200, 255}));
  EXPECT_EQ(Vector<int>(std::vector<int>{-3, 7}).toType<float>(), Vector<float>(std::vector<float>{-3, 7}));
  EXPECT_EQ(Vector<unsigned int>(std::vector<unsigned int>{3}).toType<float>()[0], 3.0f);
  EXPECT_EQ(Vector<double>(std::vector<double>{0.1}).toType<float>()[0], 0.1f);
  EXPECT_EQ(Vector<long double>(std::vector<long double>{0.25L}).toType<float>()[0], 0.25f);
}

// Colour-map files may hold values outside 0 .. 255: they are truncated and wrapped, never clamped.
TEST(VectorConversion, OutOfRangeFloatsWrapInsteadOfClamping) {
  const Vector<float> f(std::vector<float>{-1.0f, 300.9f, -200.5f, 256.0f, NAN, 1e30f});
  EXPECT_EQ(f.toType<unsigned char>(),
            Vector<unsigned char>(std::vector<unsigned char>{255, 44, 56, 0, 0, 0}));
  const Vector<float> big(std::vector<float>{3e9f, -3e9f});
  EXPECT_EQ(big.toType<int>(), Vector<int>(std::vector<int>{static_cast<int>(3000000000LL - 4294967296LL),
                                                            static_cast<int>(4294967296LL - 3000000000LL)}));
}

TEST(VectorPermutation, ShuffleAndUnshuffleAreInverse) {
  const Vector<float> v(std::vector<float>{10, 20, 30, 40});
  const Vector<int> p(std::vector<int>{2, 0, 3, 1});
  Vector<float> shuffled = v;
  shuffled.shuffle(p);
  EXPECT_EQ(shuffled, Vector<float>(std::vector<float>{30, 10, 40, 20}));
  shuffled.unshuffle(p);
  EXPECT_EQ(shuffled, v);
  Vector<float> w = v;
  expectException<SizeError>([&] { w.shuffle(Vector<int>(std::vector<int>{0})); },
                             "void Vector<T>::shuffle(const Vector<int>&)",
                             "Permutation size differs from number of elements");
  expectException<SizeError>([&] { w.unshuffle(Vector<int>(std::vector<int>{0})); },
                             "void Vector<T>::unshuffle(const Vector<int>&)",
                             "Permutation size differs from number of elements");
  EXPECT_EQ(w, v);
}
