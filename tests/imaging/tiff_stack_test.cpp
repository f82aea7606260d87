// Voxel matrices as TIFF stacks: the pages and tags saveAsTiff writes, the TIFF-stack path of load and
// the round trip between them.
#include "imaging/Image.h"
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/VoxelMatrix.h"

#include "foundation/Exception.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/imaging/VoxelFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <sstream>
#include <vector>

namespace {

VoxelMatrix<float> rampMatrix(int s1, int s2, int s3) {
  VoxelMatrix<float> matrix(s1, s2, s3);
  for (int k = 0; k < s3; ++k)
    for (int i = 0; i < s1; ++i)
      for (int j = 0; j < s2; ++j)
        matrix(i, j, k) = static_cast<float>((7 * i + 3 * j + 40 * k) % 256) + 0.75f;
  matrix.setVoxelCalibration(voxelCalibration(0.5f, 0.25f, 2, -6));
  return matrix;
}

// One page as libtiff reads it back: its tags on one line, and its rows.
struct Page {
  std::string tags;
  std::vector<std::vector<unsigned char>> rows;
};

template <class Value> std::string tag(TIFF* tiff, ttag_t name) {
  Value value{};
  return TIFFGetField(tiff, name, &value) ? std::to_string(value) : "-";
}

std::vector<Page> readPages(const std::string& path) {
  std::vector<Page> pages;
  TIFF* tiff = TIFFOpen(path.c_str(), "r");
  if (!tiff) return pages;
  do {
    std::uint16_t page = 0, count = 0;
    float x = 0, y = 0;
    char* description = nullptr;
    TIFFGetField(tiff, TIFFTAG_PAGENUMBER, &page, &count);
    TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x);
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y);
    TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description);
    std::ostringstream tags;
    tags << tag<std::uint32_t>(tiff, TIFFTAG_IMAGEWIDTH) << "x"
         << tag<std::uint32_t>(tiff, TIFFTAG_IMAGELENGTH) << " subfile "
         << tag<std::uint32_t>(tiff, TIFFTAG_SUBFILETYPE) << " samples "
         << tag<std::uint16_t>(tiff, TIFFTAG_SAMPLESPERPIXEL) << " bits "
         << tag<std::uint16_t>(tiff, TIFFTAG_BITSPERSAMPLE) << " orientation "
         << tag<std::uint16_t>(tiff, TIFFTAG_ORIENTATION) << " planar "
         << tag<std::uint16_t>(tiff, TIFFTAG_PLANARCONFIG) << " photometric "
         << tag<std::uint16_t>(tiff, TIFFTAG_PHOTOMETRIC) << " page " << page << "/" << count
         << " resolution " << x << "x" << y << " unit " << tag<std::uint16_t>(tiff, TIFFTAG_RESOLUTIONUNIT)
         << " compression " << tag<std::uint16_t>(tiff, TIFFTAG_COMPRESSION) << " predictor "
         << tag<std::uint16_t>(tiff, TIFFTAG_PREDICTOR) << "\n"
         << (description ? description : "");
    Page result{tags.str(), {}};
    std::uint32_t length = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &length);
    for (std::uint32_t i = 0; i < length; ++i) {
      result.rows.emplace_back(TIFFScanlineSize(tiff));
      TIFFReadScanline(tiff, result.rows.back().data(), i, 0);
    }
    pages.push_back(result);
  } while (TIFFReadDirectory(tiff));
  TIFFClose(tiff);
  return pages;
}

} // namespace

TEST(TiffStackWrite, EveryPageCarriesTheTagsAndClampedBytesOfItsSlice) {
  TemporaryDirectory directory;
  VoxelMatrix<float> matrix = rampMatrix(3, 5, 4);
  matrix(1, 2, 1) = 300; // beyond a byte: clamped
  matrix(0, 0, 1) = -4;
  matrix.saveAsTiff(directory.file("stack.tif"));
  const std::vector<Page> pages = readPages(directory.file("stack.tif"));
  ASSERT_EQ(pages.size(), 4u);
  for (int k = 0; k < 4; ++k) // the resolutions are 1 / voxel width and 1 / voxel height
    EXPECT_EQ(pages[k].tags,
              "5x3 subfile 1 samples 1 bits 8 orientation 1 planar 1 photometric 1 page " +
                  std::to_string(k) + "/4 resolution 4x2 unit 1 compression 1 predictor -\n" +
                  "ImageJ=1.47v\nimages=4\nslices=4\nunit=micron\nspacing=2.000000\nloop=false");
  EXPECT_EQ(pages[0].rows[1][2], static_cast<unsigned char>(matrix(1, 2, 0))); // truncated
  EXPECT_EQ(pages[1].rows[1][2], 255);
  EXPECT_EQ(pages[1].rows[0][0], 0);
}

TEST(TiffStackRoundTrip, SizesVoxelsUnitAndSpacingComeBackCompressedOrNot) {
  TemporaryDirectory directory;
  const VoxelMatrix<float> original = rampMatrix(16, 9, 4);
  original.saveAsTiff(directory.file("round.tif"));
  original.saveAsTiff(directory.file("packed.tif"), true);
  const VoxelMatrix<float> loaded(directory.file("round.tif"));
  ASSERT_EQ(loaded.getSize(), original.getSize());
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 16; ++i)
      for (int j = 0; j < 9; ++j) ASSERT_EQ(loaded(i, j, k), static_cast<int>(original(i, j, k)));
  const VoxelCalibration& calibration = loaded.getVoxelCalibration();
  EXPECT_EQ(calibration.getLengthUnit().getScale(), -6);
  EXPECT_FLOAT_EQ(calibration.getVoxelDepth(), 2);
  // The pixel width comes from XResolution (1 / component 1) and lands in component 0.
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[0], 0.25f);
  EXPECT_FLOAT_EQ(calibration.getVoxelSize()[1], 0.5f);
  EXPECT_EQ(VoxelMatrix<float>(directory.file("packed.tif")), loaded);
}

TEST(TiffStackRoundTrip, AZeroVoxelSizeStillWritesAReadableStack) {
  TemporaryDirectory directory;
  VoxelMatrix<float> matrix = rampMatrix(2, 2, 2);
  matrix.setVoxelCalibration(voxelCalibration(0, 0, 1, 0));
  matrix.saveAsTiff(directory.file("flat.tif"));
  const VoxelMatrix<float> loaded(directory.file("flat.tif"));
  EXPECT_EQ(loaded.getSize3(), 2);
  EXPECT_EQ(loaded(1, 1, 1), static_cast<int>(matrix(1, 1, 1)));
}
