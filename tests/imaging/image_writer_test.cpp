// Writing images as one-page TIFF files, and reading them back.
#include "imaging/ImageWriter.h"

#include "foundation/Exception.h"
#include "imaging/ImageReader.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

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

TEST(ImageWriter, GreyImagesAreBlackIsZeroAndReadBack) {
  TemporaryDirectory directory;
  const Image image = patternImage(8);
  ImageWriter().write(image, directory.file("grey.tif"));
  EXPECT_EQ(photometricOf(directory.file("grey.tif")), PHOTOMETRIC_MINISBLACK);
  Image back;
  ImageReader().read(back, directory.file("grey.tif"));
  ASSERT_EQ(back.dataLength(), image.dataLength());
  EXPECT_TRUE(std::equal(image.getData(), image.getData() + image.dataLength(), back.getData()));
}

TEST(ImageWriter, ColourImagesAreRgb) {
  TemporaryDirectory directory;
  for (int depth : {24, 32}) {
    const Image image = patternImage(depth);
    const std::string path = directory.file("rgb" + std::to_string(depth) + ".tif");
    ImageWriter().write(image, path);
    EXPECT_EQ(photometricOf(path), PHOTOMETRIC_RGB);
    Image back;
    ImageReader().read(back, path);
    EXPECT_EQ(back.getDepth(), depth);
    EXPECT_EQ(back.row(3)[17], image.row(3)[17]);
  }
}

TEST(ImageWriter, IndexedImagesKeepTheirPalette) {
  TemporaryDirectory directory;
  Image image = patternImage(8);
  image.setColormap(Colormap::fire());
  ImageWriter().write(image, directory.file("palette.tif"));
  EXPECT_EQ(photometricOf(directory.file("palette.tif")), PHOTOMETRIC_PALETTE);
  Image back;
  ImageReader().read(back, directory.file("palette.tif"));
  ASSERT_NE(back.getColormap(), nullptr);
  EXPECT_EQ(*back.getColormap(), Colormap::fire());
}

TEST(ImageWriter, RefusesToOverwriteUnlessAsked) {
  TemporaryDirectory directory;
  const std::string path = directory.file("kept.tif");
  writeFile(path, "old");
  try {
    ImageWriter().write(patternImage(8), path);
    FAIL() << "no exception";
  } catch (const FileWriteError& error) {
    EXPECT_EQ(error.getWhere(), "void ImageWriter::write(...)");
    EXPECT_EQ(error.getWhat(), "File already exists");
  }
  EXPECT_EQ(readFile(path), "old");
  ImageWriter().write(patternImage(8), path, true);
  EXPECT_EQ(photometricOf(path), PHOTOMETRIC_MINISBLACK);
}

TEST(ImageWriter, AnUnwritablePlaceIsReported) {
  try {
    ImageWriter().write(patternImage(8), "/nonexistent-dir/image.tif", true);
    FAIL() << "no exception";
  } catch (const FileWriteError& error) {
    EXPECT_EQ(error.getWhat(), "Cannot open file for writing");
    EXPECT_EQ(error.getFilename(), "/nonexistent-dir/image.tif");
  }
}
