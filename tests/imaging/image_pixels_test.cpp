// Images in memory, their pixels as pixel matrices of every depth, images written as one-page TIFF files
// and read back; colour maps, the named tables cell for cell, the grey ramps and those read from files;
// display ranges of grey levels.
#include "foundation/Exception.h"
#include "imaging/Colormap.h"
#include "imaging/DisplayRange.h"
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageWriter.h"
#include "imaging/PixelMatrix.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

int photometricOf(const std::string& path) {
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return -1;
  uint16_t photometric = 0;
  TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
  TIFFClose(tiff);
  return photometric;
}

Image patternImage(int depth) {
  Image image(6, 4, depth);
  for (int i = 0; i < 4; ++i)
    for (int b = 0; b < image.bytesPerLine(); ++b) image.row(i)[b] = static_cast<unsigned char>(i * 40 + b);
  return image;
}

// The listed cells of a map as "i=red,green,blue", separated by spaces.
std::string cells(const Colormap& map, std::initializer_list<int> indices) {
  std::string text;
  for (int i : indices)
    text += (text.empty() ? "" : " ") + std::to_string(i) + "=" + std::to_string(map.getRed()[i]) + "," +
            std::to_string(map.getGreen()[i]) + "," + std::to_string(map.getBlue()[i]);
  return text;
}

} // namespace

TEST(ImageWriter, GreyColourAndIndexedImagesReadBackExactlyAndNothingIsOverwrittenUnasked) {
  TemporaryDirectory directory;
  Image indexed = patternImage(8);
  indexed.setColormap(Colormap::fire());
  const std::pair<Image, int> cases[] = {{patternImage(8), PHOTOMETRIC_MINISBLACK},
                                         {patternImage(24), PHOTOMETRIC_RGB},
                                         {patternImage(32), PHOTOMETRIC_RGB},
                                         {indexed, PHOTOMETRIC_PALETTE}};
  int n = 0;
  for (const auto& [image, photometric] : cases) {
    const std::string path = directory.file(std::to_string(n++) + ".tif");
    SCOPED_TRACE(path);
    ImageWriter().write(image, path);
    EXPECT_EQ(photometricOf(path), photometric);
    Image back;
    ImageReader().read(back, path);
    EXPECT_EQ(back.getDepth(), image.getDepth());
    ASSERT_EQ(back.dataLength(), image.dataLength());
    EXPECT_TRUE(std::equal(image.getData(), image.getData() + image.dataLength(), back.getData()));
    EXPECT_EQ(back.isIndexed(), image.isIndexed());
    if (image.isIndexed()) {
      EXPECT_EQ(*back.getColormap(), Colormap::fire());
    }
  }
  // An existing file is overwritten only when asked; an unwritable place is named.
  const std::string path = directory.file("kept.tif");
  writeFile(path, "old");
  EXPECT_THROW(ImageWriter().write(patternImage(8), path), FileWriteError);
  EXPECT_EQ(readFile(path), "old");
  ImageWriter().write(patternImage(8), path, true);
  EXPECT_EQ(photometricOf(path), PHOTOMETRIC_MINISBLACK);
  const auto error = expectThrow<FileWriteError>(
      [] { ImageWriter().write(patternImage(8), "/nonexistent-dir/image.tif", true); });
  EXPECT_EQ(error.getFilename(), "/nonexistent-dir/image.tif");
}

TEST(ImageInit, RowsAreUnpaddedAndBadSizesOrDepthsAreRefused) {
  Image image(5, 3, 24);
  EXPECT_EQ(image.row(2) - image.row(0), 30);
  image.getHeader().setFormat(ImageFormat::Tiff);
  image.init(5, 3, 24); // unchanged: nothing happens
  EXPECT_EQ(image.getHeader().getFormat(), ImageFormat::Tiff);
  image.init(5, 4, 24); // the header is cleared
  EXPECT_EQ(image.getHeader().getFormat(), ImageFormat::None);
  EXPECT_THROW(image.init(10, 10, 12), DepthError);
  EXPECT_THROW(image.init(-1, 5, 8), SizeError);
  EXPECT_THROW(image.init(70000, 70000, 32), SizeError);
}

// 8 bits round trip; 16 bits give their value, 24 bits their green sample.
TEST(PixelMatrixFromImage, OneValuePerPixelAtEveryDepth) {
  PixelMatrix<unsigned char> bytes(3, 7), back;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 7; ++j) bytes(i, j) = static_cast<unsigned char>(i * 80 + j);
  Image image;
  bytes.convertToImage(image, 8);
  back.convertFromImage(image);
  EXPECT_EQ(back, bytes);
  PixelMatrix<float> matrix;
  image.init(1, 1, 16);
  const std::uint16_t value = 1234;
  std::memcpy(image.row(0), &value, 2);
  matrix.convertFromImage(image);
  EXPECT_EQ(matrix(0, 0), 1234);
  image.init(1, 1, 24);
  std::memcpy(image.row(0), "\x1e\x3c\x5a", 3);
  matrix.convertFromImage(image);
  EXPECT_EQ(matrix(0, 0), 0x3c);
}

TEST(ColormapNamed, FireTruncatesItsInterpolationAndCold2HotHasLogarithmicQuarters) {
  const Colormap fire = Colormap::fire();
  ASSERT_EQ(fire.getSize(), 256);
  // 57: 227 - 17/8 truncated as a whole
  EXPECT_EQ(cells(fire, {0, 4, 8, 57, 128}), "0=0,0,0 4=0,0,30 8=0,0,61 57=125,0,224 128=240,79,0");
  for (int i = 248; i < 256; ++i) EXPECT_EQ(cells(fire, {i}), std::to_string(i) + "=255,255,255");
  // Cold2hot has logarithmic quarters and refuses sizes it cannot split into them.
  const Colormap map = Colormap::cold2Hot(256);
  ASSERT_EQ(map.getSize(), 256);
  EXPECT_EQ(cells(map, {0, 1, 63, 64, 127}), "0=0,0,255 1=0,0,255 63=0,254,255 64=0,255,255 127=0,255,0");
  EXPECT_EQ(cells(map, {128, 191, 192, 255}), "128=42,255,0 191=254,255,0 192=255,254,0 255=255,0,0");
  EXPECT_EQ(cells(Colormap::cold2Hot(4), {3}), "3=255,0,0");
  EXPECT_EQ(Colormap::cold2Hot(0).getSize(), 0);
  EXPECT_THROW(Colormap::cold2Hot(10), SizeError);
}

TEST(ColormapGreyAndFile, RampsConversionAndTheTruncatedColumnsOfADataSet) {
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
  // A data set gives its Red, Green and Blue columns truncated.
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

// A display range shows its ends black and white, linear between, and clamps values beyond them: a
// 16-bit 300 or 65535 is white in 0..255, never wrapped. The automatic range is 0..255 for data within
// it, the data's own ends beyond it.
TEST(DisplayRange, ShowsValuesLinearlyBetweenItsEndsAndClampsTheOthers) {
  const struct {
    const char* name;
    DisplayRange range;
    double value;
    int grey;
  } cases[] = {{"8-bit as it is", {}, 77, 77},
               {"300 is white", {}, 300, 255},
               {"65535 is white", {}, 65535, 255},
               {"negative is black", {}, -4, 0},
               {"NaN is black", {}, NAN, 0},
               {"middle, rounded", {1000, 3000}, 2000, 128},
               {"below the minimum", {1000, 3000}, 999, 0},
               {"empty range", {5, 5}, 5, 255}};
  for (const auto& c : cases) EXPECT_EQ(c.range.grey(c.value), c.grey) << c.name;
  EXPECT_EQ(DisplayRange::automatic(3, 250), DisplayRange());
  EXPECT_EQ(DisplayRange::automatic(-2, 250), DisplayRange(-2, 250));
  Image image(3, 1, 16);
  const unsigned short levels[] = {100, 4000, 60000};
  std::memcpy(image.getData(), levels, sizeof levels);
  EXPECT_EQ(DisplayRange::automatic(image), DisplayRange(100, 60000));
  const std::unique_ptr<Image> grey = DisplayRange(0, 1000).greyImage(image);
  ASSERT_EQ(grey->getDepth(), 8);
  EXPECT_EQ(std::vector<int>(grey->getData(), grey->getData() + 3), (std::vector<int>{26, 255, 255}));
}
