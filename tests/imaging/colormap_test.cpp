// Colour maps: the named tables cell for cell, the grey ramps, the tests and the value semantics.
#include "imaging/Colormap.h"

#include "foundation/Exception.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sstream>

namespace {

using Rgb = std::array<int, 3>;

Rgb cell(const Colormap& map, int i) {
  return {map.getRed()[i], map.getGreen()[i], map.getBlue()[i]};
}

std::string captureStdout(const std::function<void()>& action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

} // namespace

TEST(ColormapFlag, HasTheSixteenCellsOfItsTable) {
  const Rgb expected[16] = {{0, 0, 0},     {255, 255, 255}, {255, 0, 0},     {85, 0, 255},
                            {0, 170, 0},   {255, 170, 0},   {170, 255, 127}, {170, 170, 0},
                            {0, 170, 255}, {255, 170, 255}, {170, 0, 255},   {170, 170, 255},
                            {255, 255, 0}, {170, 85, 0},    {0, 255, 255},   {255, 0, 255}};
  const Colormap flag = Colormap::flag();
  ASSERT_EQ(flag.getSize(), 16);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(cell(flag, i), expected[i]) << "cell " << i;
}

TEST(ColormapFlag, GetColorReturnsANewThreeComponentVector) {
  const Vector<int> color = Colormap::flag().getColor(2);
  ASSERT_EQ(color.getSize(), 3);
  EXPECT_EQ(color[0], 255);
  EXPECT_EQ(color[1], 0);
  EXPECT_EQ(color[2], 0);
}

TEST(ColormapFire, InterpolatesBetweenControlPointsAndTruncatesTheSum) {
  const Colormap fire = Colormap::fire();
  ASSERT_EQ(fire.getSize(), 256);
  EXPECT_EQ(cell(fire, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(cell(fire, 8), (Rgb{0, 0, 61}));
  EXPECT_EQ(cell(fire, 57), (Rgb{125, 0, 224})); // 227 - 17/8 truncated as a whole
  EXPECT_EQ(cell(fire, 128), (Rgb{240, 79, 0}));
  EXPECT_EQ(cell(fire, 4), (Rgb{0, 0, 30})); // halfway to 61
}

TEST(ColormapFire, RepeatsTheLastControlPointAfterCell248) {
  const Colormap fire = Colormap::fire();
  for (int i = 248; i < 256; ++i) EXPECT_EQ(cell(fire, i), (Rgb{255, 255, 255})) << "cell " << i;
}

TEST(ColormapThermal, MatchesTheTellingRowsOfItsTable) {
  const Colormap thermal = Colormap::thermal();
  ASSERT_EQ(thermal.getSize(), 256);
  const std::pair<int, Rgb> rows[] = {{0, {70, 0, 115}},     {32, {70, 0, 217}},     {64, {14, 136, 251}},
                                      {96, {76, 255, 247}},  {124, {254, 254, 254}}, {128, {251, 254, 243}},
                                      {160, {57, 255, 51}},  {192, {162, 255, 21}},  {213, {255, 229, 44}},
                                      {224, {255, 175, 37}}, {255, {255, 2, 2}}};
  for (const auto& [i, rgb] : rows) EXPECT_EQ(cell(thermal, i), rgb) << "cell " << i;
}

TEST(ColormapThermal, RedRisesMonotonicallyOverItsLastQuarter) {
  const Colormap thermal = Colormap::thermal();
  for (int i = 193; i < 256; ++i) EXPECT_GE(thermal.getRed()[i], thermal.getRed()[i - 1]) << "cell " << i;
}

TEST(ColormapTemperature, HasTheLogarithmicQuartersOf256Cells) {
  const Colormap map = Colormap::cold2Hot(256);
  ASSERT_EQ(map.getSize(), 256);
  const std::pair<int, Rgb> cells[] = {{0, {0, 0, 255}},     {1, {0, 0, 255}},     {63, {0, 254, 255}},
                                       {64, {0, 255, 255}},  {127, {0, 255, 0}},   {128, {42, 255, 0}},
                                       {191, {254, 255, 0}}, {192, {255, 254, 0}}, {255, {255, 0, 0}}};
  for (const auto& [i, rgb] : cells) EXPECT_EQ(cell(map, i), rgb) << "cell " << i;
}

TEST(ColormapTemperature, RefusesASizeThatIsNotAMultipleOfFour) {
  try {
    Colormap::cold2Hot(10);
    FAIL() << "no exception";
  } catch (const SizeError& error) {
    EXPECT_EQ(error.getWhere(), "Colormap Colormap::cold2Hot(const int)");
    EXPECT_EQ(error.getWhat(), "Colormap dimension is not a multiple of 4");
  }
}

TEST(ColormapTemperature, SizeZeroGivesAnEmptyMapAndSizeFourDoesNotCrash) {
  EXPECT_EQ(Colormap::cold2Hot(0).getSize(), 0);
  const Colormap four = Colormap::cold2Hot(4);
  ASSERT_EQ(four.getSize(), 4);
  EXPECT_EQ(cell(four, 3), (Rgb{255, 0, 0}));
}

TEST(ColormapGrey, MakeGrayscaleOf256CellsIsTheIdentityRamp) {
  Colormap map(256);
  map.makeGrayscale();
  EXPECT_TRUE(map.isIdentity());
  EXPECT_TRUE(map.isGrayscale());
}

TEST(ColormapGrey, MakeGrayscaleSpreadsSmallMapsOverTheWholeRange) {
  Colormap map(4);
  map.makeGrayscale();
  EXPECT_EQ(cell(map, 1), (Rgb{85, 85, 85}));
  EXPECT_EQ(cell(map, 3), (Rgb{255, 255, 255}));
  EXPECT_FALSE(map.isIdentity());
}

TEST(ColormapGrey, ConvertToGrayscaleTakesTheIntegerMean) {
  Colormap flag = Colormap::flag();
  flag.convertToGrayscale();
  EXPECT_TRUE(flag.isGrayscale());
  EXPECT_EQ(cell(flag, 6), (Rgb{184, 184, 184})); // (170 + 255 + 127) / 3
  EXPECT_EQ(cell(flag, 3), (Rgb{113, 113, 113})); // (85 + 0 + 255) / 3
}

TEST(ColormapTests, SingleChannelMapsAreRecognised) {
  Colormap map(3);
  for (int i = 0; i < 3; ++i) {
    map.getRed()[i] = static_cast<unsigned char>(10 * i);
    map.getGreen()[i] = 0;
    map.getBlue()[i] = 0;
  }
  EXPECT_TRUE(map.isRedOnly());
  EXPECT_FALSE(map.isGreenOnly());
  EXPECT_FALSE(map.isBlueOnly());
  EXPECT_FALSE(map.isGrayscale());
}

TEST(ColormapTests, AnEmptyMapPassesEveryTest) {
  const Colormap empty;
  EXPECT_TRUE(empty.isIdentity());
  EXPECT_TRUE(empty.isGrayscale());
  EXPECT_TRUE(empty.isRedOnly());
  EXPECT_TRUE(empty.isGreenOnly());
  EXPECT_TRUE(empty.isBlueOnly());
  EXPECT_EQ(empty, Colormap());
}

TEST(ColormapValues, CopiesAreIndependentAndEqual) {
  Colormap original = Colormap::flag();
  Colormap copy(original);
  EXPECT_EQ(copy, original);
  copy.getGreen()[0] = 7;
  EXPECT_NE(copy, original);
  EXPECT_EQ(original.getGreen()[0], 0);
}

TEST(ColormapValues, AssignmentResizesAndSelfAssignmentKeepsTheMap) {
  Colormap map(3);
  map = Colormap::fire();
  EXPECT_EQ(map, Colormap::fire());
  Colormap& alias = map;
  map = alias;
  EXPECT_EQ(map, Colormap::fire());
}

TEST(ColormapValues, MapsOfDifferentSizesDiffer) {
  EXPECT_NE(Colormap::cold2Hot(8), Colormap::cold2Hot(12));
}

TEST(ColormapSize, SetSizeAndClearResizeTheThreeChannelsTogether) {
  Colormap map;
  map.setSize(5);
  EXPECT_EQ(map.getRed().getSize(), 5);
  EXPECT_EQ(map.getGreen().getSize(), 5);
  EXPECT_EQ(map.getBlue().getSize(), 5);
  map.clear();
  EXPECT_EQ(map.getSize(), 0);
  EXPECT_EQ(map.getBlue().getSize(), 0);
}

TEST(ColormapPrint, WritesTheTitleThenOneLinePerCell) {
  Colormap map(2);
  map.makeGrayscale();
  EXPECT_EQ(captureStdout([&] { map.print("grey"); }), "grey\n0 = 0 0 0\n1 = 255 255 255\n");
  EXPECT_EQ(captureStdout([&] { map.print(""); }), "0 = 0 0 0\n1 = 255 255 255\n");
}

TEST(ColormapFile, ReadsTheRedGreenBlueColumnsOfADataSet) {
  TemporaryDirectory directory;
  writeFile(directory.file("map.df"), "Index\tBlue\tGreen\tRed\n0\t3\t2\t1\n1\t30\t20\t10\n2\t255\t128\t0\n");
  const Colormap map(directory.file("map.df"));
  ASSERT_EQ(map.getSize(), 3);
  EXPECT_EQ(cell(map, 0), (Rgb{1, 2, 3}));
  EXPECT_EQ(cell(map, 2), (Rgb{0, 128, 255}));
}

TEST(ColormapFile, DecimalValuesAreTruncated) {
  TemporaryDirectory directory;
  writeFile(directory.file("map.df"), "Red\tGreen\tBlue\n1.9\t2.5\t200.99\n");
  const Colormap map(directory.file("map.df"));
  ASSERT_EQ(map.getSize(), 1);
  EXPECT_EQ(cell(map, 0), (Rgb{1, 2, 200}));
}

TEST(ColormapFile, DataSetErrorsPropagate) {
  TemporaryDirectory directory;
  EXPECT_THROW(Colormap(directory.file("missing.df")), FileReadError);
  writeFile(directory.file("nogreen.df"), "Red\tBlue\n1\t2\n");
  EXPECT_THROW(Colormap(directory.file("nogreen.df")), NameError);
}
