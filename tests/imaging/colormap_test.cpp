// Colour maps: the named tables cell for cell, the grey ramps, the tests and the value semantics.
#include "imaging/Colormap.h"

#include "foundation/Exception.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

// The listed cells of a map as "i=red,green,blue", separated by spaces.
std::string cells(const Colormap& map, std::initializer_list<int> indices) {
  std::string text;
  for (int i : indices)
    text += (text.empty() ? "" : " ") + std::to_string(i) + "=" + std::to_string(map.getRed()[i]) + "," +
            std::to_string(map.getGreen()[i]) + "," + std::to_string(map.getBlue()[i]);
  return text;
}

} // namespace

TEST(ColormapNamed, FlagHasTheSixteenCellsOfItsTable) {
  const Colormap flag = Colormap::flag();
  ASSERT_EQ(flag.getSize(), 16);
  EXPECT_EQ(cells(flag, {0, 1, 2, 3, 4, 5, 6, 7}),
            "0=0,0,0 1=255,255,255 2=255,0,0 3=85,0,255 4=0,170,0 5=255,170,0 6=170,255,127 7=170,170,0");
  EXPECT_EQ(cells(flag, {8, 9, 10, 11, 12, 13, 14, 15}),
            "8=0,170,255 9=255,170,255 10=170,0,255 "
            "11=170,170,255 12=255,255,0 13=170,85,0 14=0,255,255 "
            "15=255,0,255");
  const Vector<int> color = flag.getColor(2);
  ASSERT_EQ(color.getSize(), 3);
  EXPECT_EQ(color[0], 255);
}

TEST(ColormapNamed, FireInterpolatesTruncatingTheSumAndRepeatsItsLastPoint) {
  const Colormap fire = Colormap::fire();
  ASSERT_EQ(fire.getSize(), 256);
  // 57: 227 - 17/8 truncated as a whole
  EXPECT_EQ(cells(fire, {0, 4, 8, 57, 128}), "0=0,0,0 4=0,0,30 8=0,0,61 57=125,0,224 128=240,79,0");
  for (int i = 248; i < 256; ++i) EXPECT_EQ(cells(fire, {i}), std::to_string(i) + "=255,255,255");
}

TEST(ColormapNamed, ThermalMatchesTheTellingRowsOfItsTable) {
  const Colormap thermal = Colormap::thermal();
  ASSERT_EQ(thermal.getSize(), 256);
  EXPECT_EQ(cells(thermal, {0, 32, 64, 96, 124, 128}),
            "0=70,0,115 32=70,0,217 64=14,136,251 96=76,255,247 124=254,254,254 128=251,254,243");
  EXPECT_EQ(cells(thermal, {160, 192, 213, 224, 255}),
            "160=57,255,51 192=162,255,21 213=255,229,44 224=255,175,37 255=255,2,2");
  for (int i = 193; i < 256; ++i) EXPECT_GE(thermal.getRed()[i], thermal.getRed()[i - 1]) << "cell " << i;
}

TEST(ColormapNamed, Cold2HotHasLogarithmicQuartersAndRefusesOtherSizes) {
  const Colormap map = Colormap::cold2Hot(256);
  ASSERT_EQ(map.getSize(), 256);
  EXPECT_EQ(cells(map, {0, 1, 63, 64, 127}), "0=0,0,255 1=0,0,255 63=0,254,255 64=0,255,255 127=0,255,0");
  EXPECT_EQ(cells(map, {128, 191, 192, 255}), "128=42,255,0 191=254,255,0 192=255,254,0 255=255,0,0");
  EXPECT_EQ(cells(Colormap::cold2Hot(4), {3}), "3=255,0,0");
  EXPECT_EQ(Colormap::cold2Hot(0).getSize(), 0);
  expectException<SizeError>([] { Colormap::cold2Hot(10); }, "Colormap Colormap::cold2Hot(const int)",
                             "Colormap dimension is not a multiple of 4");
}

TEST(ColormapGrey, RampsAndConversion) {
  Colormap ramp(256);
  ramp.makeGrayscale();
  EXPECT_TRUE(ramp.isIdentity());
  EXPECT_TRUE(ramp.isGrayscale());
  Colormap small(4); // spread over the whole range
  small.makeGrayscale();
  EXPECT_EQ(cells(small, {1, 3}), "1=85,85,85 3=255,255,255");
  EXPECT_FALSE(small.isIdentity());
  Colormap flag = Colormap::flag(); // the integer mean
  flag.convertToGrayscale();
  EXPECT_TRUE(flag.isGrayscale());
  EXPECT_EQ(cells(flag, {3, 6}), "3=113,113,113 6=184,184,184");
}

TEST(ColormapTests, SingleChannelMapsAndTheEmptyMap) {
  Colormap map(3);
  for (int i = 0; i < 3; ++i) {
    map.getRed()[i] = static_cast<unsigned char>(10 * i);
    map.getGreen()[i] = map.getBlue()[i] = 0;
  }
  EXPECT_TRUE(map.isRedOnly());
  EXPECT_FALSE(map.isGreenOnly());
  EXPECT_FALSE(map.isBlueOnly());
  EXPECT_FALSE(map.isGrayscale());
  const Colormap empty;
  EXPECT_TRUE(empty.isIdentity() && empty.isGrayscale() && empty.isRedOnly() && empty.isGreenOnly() &&
              empty.isBlueOnly());
}

TEST(ColormapValues, CopiesAssignmentAndSizes) {
  Colormap copy(Colormap::flag());
  EXPECT_EQ(copy, Colormap::flag());
  copy.getGreen()[0] = 7;
  EXPECT_NE(copy, Colormap::flag());
  Colormap map(3);
  map = Colormap::fire();
  Colormap& alias = map;
  map = alias;
  EXPECT_EQ(map, Colormap::fire());
  EXPECT_NE(Colormap::cold2Hot(8), Colormap::cold2Hot(12));
  map.setSize(5);
  EXPECT_EQ(map.getGreen().getSize(), 5);
  EXPECT_EQ(map.getBlue().getSize(), 5);
  map.clear();
  EXPECT_EQ(map.getBlue().getSize(), 0);
}

TEST(ColormapPrint, WritesTheTitleThenOneLinePerCell) {
  Colormap map(2);
  map.makeGrayscale();
  testing::internal::CaptureStdout();
  map.print("grey");
  map.print("");
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "grey\n0 = 0 0 0\n1 = 255 255 255\n0 = 0 0 0\n1 = 255 255 255\n");
}

TEST(ColormapFile, ReadsTruncatedRedGreenBlueColumnsOfADataSet) {
  TemporaryDirectory directory;
  writeFile(directory.file("map.df"),
            "Index\tBlue\tGreen\tRed\n0\t3\t2\t1\n1\t30\t20\t10\n2\t255.9\t128.5\t0\n");
  const Colormap map(directory.file("map.df"));
  ASSERT_EQ(map.getSize(), 3);
  EXPECT_EQ(cells(map, {0, 2}), "0=1,2,3 2=0,128,255");
  EXPECT_THROW(Colormap(directory.file("missing.df")), FileReadError);
  writeFile(directory.file("nogreen.df"), "Red\tBlue\n1\t2\n");
  EXPECT_THROW(Colormap(directory.file("nogreen.df")), NameError);
}
