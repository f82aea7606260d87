// The block reader gives exactly what stream extraction gives, and the writer writes exactly what
// stream insertion writes: shape files must not depend on which of the two read or wrote them.
#include "geometry/ShapeTextReader.h"
#include "geometry/ShapeTextWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <vector>

namespace {

// Reads text value by value with a stream and with the reader, until both fail: each value, and the
// value a failed extraction leaves (0, or the largest value on overflow), must be the same, bit for bit.
template <class T> void expectSameAsStream(const std::string& text) {
  std::istringstream is(text);
  ShapeTextReader reader(text);
  for (int k = 0;; ++k) {
    T expected{}, got{};
    const bool streamRead = static_cast<bool>(is >> expected), readerRead = reader.readNumber(got);
    EXPECT_TRUE(streamRead == readerRead && std::signbit(expected) == std::signbit(got) &&
                (expected == got || (std::isnan(expected) && std::isnan(got))))
        << "text: [" << text << "] value " << k << ": " << expected << " read as " << got;
    if (!streamRead || !readerRead || ::testing::Test::HasFailure()) return;
  }
}

// clang-format off
const char* const trickyTexts[] = {
    "1 2 3", " \t\n\r\v\f 4.5\r\n6", "+7 -8 +0.5", "1.5.3", "1-2-3", ".5 -.5 +.5", "1e5 1E-5 2e+3", "1e", "1e+",
    "1e-x", "2ex", "inf 1", "nan", "-inf", "0x1p3", "0x10", "+-5", "-+5", "+", "-", ".", "..5", ".e5", "5.",
    "5.e3", "00012 -000", "1e400", "-1e400", "1e-400", "1e-42", "3.4028235e38", "3.4028236e38",
    "1.7976931348623157e308", "1e5e3", "12abc", "2147483647", "2147483648", "-2147483648", "-2147483649",
    "99999999999999999999999", "#6", "1,5", "", "   ", "4 5 x 6", "-1e999"};
// clang-format on

} // namespace

TEST(ShapeTextReader, ReadsTrickyTextsExactlyAsAStream) {
  for (const char* text : trickyTexts) {
    expectSameAsStream<int>(text);
    expectSameAsStream<float>(text);
    expectSameAsStream<double>(text);
    expectSameAsStream<long double>(text);
  }
}

TEST(ShapeTextReader, ReadsRandomHalfwayAndLongNumbersExactlyAsAStream) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> exponent(-50, 50);
  for (int precision : {3, 6, 9, 17, 25}) {
    std::ostringstream text;
    text.precision(precision);
    for (int i = 0; i < 3000; ++i) {
      const double value = mantissa(random) * std::pow(10.0, exponent(random) % (precision < 9 ? 12 : 50));
      text << value << (i % 7 ? " " : "\n");
    }
    expectSameAsStream<float>(text.str());
    expectSameAsStream<double>(text.str());
    expectSameAsStream<long double>(text.str());
  }
  // Decimal values halfway between two floats, digit strings longer than 19 digits, exponents at
  // the edge of the exact powers of ten.
  expectSameAsStream<float>("16777217 16777216.5 33554433 0.1 0.2 0.30000001 1e10 1e11 1e-10 1e-11 "
                            "12345678901234567890123 0.00000000000000000000000000001 "
                            "1.000000059604644775390625 1.0000000596046447753906251 7e22 7e23 "
                            "123456789e-10 9007199254740993 4.9406564584124654e-324");
  expectSameAsStream<double>("9007199254740993 9007199254740992.5 1e22 1e23 1.5e-22 1e-23 0.1 "
                             "2.2250738585072011e-308 2.2250738585072014e-308 4.9406564584124654e-324 "
                             "1.7976931348623157e308 1.7976931348623159e308");
  std::istringstream is("skip 1 2 3 tail");
  std::string word;
  is >> word;
  ShapeTextReader reader = ShapeTextReader::fromStream(is);
  int a, b, c;
  ASSERT_TRUE(reader.readNumber(a) && reader.readNumber(b));
  reader.restore(is);
  is >> c >> word;
  EXPECT_EQ(std::to_string(c) + word, "3tail");
}

namespace {

template <class T> std::string streamWritten(const std::vector<T>& values) {
  std::ostringstream os;
  for (std::size_t i = 0; i < values.size(); ++i) os << (i ? " " : "") << values[i];
  os << "\n";
  return os.str();
}

template <class T> std::string writerWritten(const std::vector<T>& values) {
  std::ostringstream os;
  ShapeTextWriter writer(os);
  writer.numbers(values.data(), static_cast<int>(values.size()));
  writer.flush();
  return os.str();
}

template <class T> std::vector<T> awkwardValues() {
  std::vector<T> values = {0,        -0.0f,  1,      -1,      0.5,      123456,    1234567,
                           999999.5, 1e-5,   1.5e-5, 0.0001,  1e15,     1e16,      3.14159265,
                           2.5e-38,  100000, 999999, 9999995, 0.999999, 0.9999995, 1e-40f};
  using L = std::numeric_limits<T>;
  values.insert(values.end(), {L::max(), L::lowest(), L::min(), L::denorm_min(), L::infinity(),
                               -L::infinity(), L::quiet_NaN(), -L::quiet_NaN()});
  return values;
}

} // namespace

TEST(ShapeTextWriter, WritesHeaderItemsIntegersAndMillionsOfValuesAsAStreamWould) {
  const std::vector<int> ints = {0, -1, 7, 2147483647, -2147483647 - 1, 255};
  EXPECT_EQ(writerWritten(ints), streamWritten(ints));
  std::ostringstream os;
  ShapeTextWriter writer(os);
  writer.headerItem(-3);
  writer.flush();
  EXPECT_EQ(os.str(), "# -3\n");
  // Awkward values (limits, infinities, NaNs, six-digit edges), every magnitude, values that are integers,
  // decimal ties of six digits, and their neighbours.
  std::mt19937 random(3);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::uniform_int_distribution<int> exponent(-45, 38);
  std::vector<float> floats = awkwardValues<float>();
  std::vector<double> doubles = awkwardValues<double>();
  const auto longDoubles = awkwardValues<long double>();
  EXPECT_EQ(writerWritten(longDoubles), streamWritten(longDoubles));
  for (int i = 0; i < 400000; ++i) {
    const double v = (i % 2 ? -1 : 1) * mantissa(random) * std::pow(10.0, exponent(random));
    floats.push_back(static_cast<float>(v));
    doubles.push_back(v);
  }
  for (int i = 0; i < 100000; ++i) {
    const double tie =
        (std::floor(mantissa(random) * 100000) + 0.5) * std::pow(10.0, exponent(random) % 8 - 5);
    floats.push_back(static_cast<float>(tie));
    floats.push_back(std::nextafter(static_cast<float>(tie), 0.f));
    floats.push_back(std::nextafter(static_cast<float>(tie), 1e30f));
    doubles.push_back(tie);
    floats.push_back(static_cast<float>(i * 37));
    doubles.push_back(i * 1234567.0);
  }
  EXPECT_EQ(writerWritten(floats), streamWritten(floats));
  EXPECT_EQ(writerWritten(doubles), streamWritten(doubles));
}
