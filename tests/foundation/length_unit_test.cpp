#include "foundation/LengthUnit.h"

#include <gtest/gtest.h>

#include <algorithm>

// Units as powers of ten of the metre, named by SI prefixes.
TEST(LengthUnit, DefaultIsTheMetre) {
  const LengthUnit unit;
  EXPECT_EQ(unit.getScale(), 0);
  EXPECT_EQ(unit.prefixName(), "");
  EXPECT_EQ(unit.name(), "meter");
  EXPECT_EQ(unit.symbol(), "m");
}

TEST(LengthUnit, MicrometreUsesTheUtf8MicroSign) {
  LengthUnit unit;
  unit.setScale(-6);
  EXPECT_EQ(unit.prefixName(), "micro");
  EXPECT_EQ(unit.prefixSymbol(), "\xC2\xB5");
  EXPECT_EQ(unit.name(), "micrometer");
  EXPECT_EQ(unit.symbol(), "\xC2\xB5m");
  unit.setScale(-3);
  EXPECT_EQ(unit.symbol(), "mm");
  unit.setScale(-2);
  EXPECT_EQ(unit.name(), "centimeter");
  unit.setScale(24);
  EXPECT_EQ(unit.symbol(), "Ym");
}

TEST(LengthUnit, ScalesWithoutPrefixAreStoredButUnnamed) {
  LengthUnit unit;
  unit.setScale(1);
  EXPECT_EQ(unit.getScale(), 1);
  EXPECT_EQ(unit.prefixName(), "???");
  EXPECT_EQ(unit.prefixSymbol(), "???");
  EXPECT_EQ(unit.name(), "???meter");
  EXPECT_EQ(unit.symbol(), "???m");
}

TEST(LengthUnit, ListsTheEighteenPrefixedScalesInOrder) {
  const std::vector<int> scales = LengthUnit::availableScales();
  ASSERT_EQ(scales.size(), 18u);
  EXPECT_EQ(scales.front(), -24);
  EXPECT_EQ(scales.back(), 24);
  EXPECT_TRUE(std::is_sorted(scales.begin(), scales.end()));
  for (int missing : {-1, 1, 2}) EXPECT_EQ(std::count(scales.begin(), scales.end(), missing), 0);
  EXPECT_EQ(std::count(scales.begin(), scales.end(), -2), 1);
  const std::vector<std::string> names = LengthUnit::availableNames();
  const std::vector<std::string> symbols = LengthUnit::availableSymbols();
  ASSERT_EQ(names.size(), 18u);
  ASSERT_EQ(symbols.size(), 18u);
  EXPECT_EQ(names[0], "yoctometer");
  EXPECT_EQ(symbols[6], "\xC2\xB5m");
  EXPECT_EQ(names[9], "meter");
  EXPECT_EQ(symbols[17], "Ym");
}

TEST(LengthUnit, ComparesByScale) {
  LengthUnit a, b;
  a.setScale(-6);
  b.setScale(-6);
  EXPECT_TRUE(a == b);
  b.setScale(-3);
  EXPECT_TRUE(a != b);
  LengthUnit copy = a;
  EXPECT_EQ(copy.getScale(), -6);
}
