// Colour maps: the named tables cell for cell, the grey ramps, the tests and the value semantics.
#include "imaging/Colormap.h"

#include "foundation/Exception.h"
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

TEST(ColormapNamed, FireInterpolatesTruncatingTheSumAndRepeatsItsLastPoint) {
  const Colormap fire = Colormap::fire();
  ASSERT_EQ(fire.getSize(), 256);
  // 57: 227 - 17/8 truncated as a whole
  EXPECT_EQ(cells(fire, {0, 4, 8, 57, 128}), "0=0,0,0 4=0,0,30 8=0,0,61 57=125,0,224 128=240,79,0");
  for (int i = 248; i < 256; ++i) EXPECT_EQ(cells(fire, {i}), std::to_string(i) + "=255,255,255");
}

TEST(ColormapNamed, Cold2HotHasLogarithmicQuartersAndRefusesOtherSizes) {
  const Colormap map = Colormap::cold2Hot(256);
  ASSERT_EQ(map.getSize(), 256);
  EXPECT_EQ(cells(map, {0, 1, 63, 64, 127}), "0=0,0,255 1=0,0,255 63=0,254,255 64=0,255,255 127=0,255,0");
  EXPECT_EQ(cells(map, {128, 191, 192, 255}), "128=42,255,0 191=254,255,0 192=255,254,0 255=255,0,0");
  EXPECT_EQ(cells(Colormap::cold2Hot(4), {3}), "3=255,0,0");
  EXPECT_EQ(Colormap::cold2Hot(0).getSize(), 0);
  EXPECT_THROW(Colormap::cold2Hot(10), SizeError);
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
