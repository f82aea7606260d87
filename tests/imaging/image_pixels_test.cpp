// Images in memory, their pixels as pixel matrices of every depth, and images written as one-page TIFF
// files and read back.
#include "imaging/Image.h"
#include "imaging/ImageWriter.h"
#include "imaging/PixelMatrix.h"

#include "foundation/Exception.h"
#include "imaging/ImageReader.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstring>

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

} // namespace

TEST(ImageWriter, GreyColourAndIndexedImagesReadBackExactly) {
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
}

TEST(ImageWriter, RefusesToOverwriteUnlessAskedAndReportsUnwritablePlaces) {
  TemporaryDirectory directory;
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
