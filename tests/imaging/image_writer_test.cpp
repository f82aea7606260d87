// Writing images as one-page TIFF files, and reading them back.
#include "imaging/ImageWriter.h"

#include "foundation/Exception.h"
#include "imaging/ImageReader.h"
#include "tests/support/ExpectException.h"
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
  expectException<FileWriteError>([&] { ImageWriter().write(patternImage(8), path); },
                                  "void ImageWriter::write(...)", "File already exists");
  EXPECT_EQ(readFile(path), "old");
  ImageWriter().write(patternImage(8), path, true);
  EXPECT_EQ(photometricOf(path), PHOTOMETRIC_MINISBLACK);
  const auto error = expectThrow<FileWriteError>(
      [] { ImageWriter().write(patternImage(8), "/nonexistent-dir/image.tif", true); });
  EXPECT_EQ(error.getWhat(), "Cannot open file for writing");
  EXPECT_EQ(error.getFilename(), "/nonexistent-dir/image.tif");
}
