// Real files written by ImageJ, tifffile, Photoshop, a Zeiss microscope and a fuzzer, read from the
// shared data folder beside the repository; skipped when that folder is absent.
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/VoxelMatrix.h"

#include "foundation/Exception.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

namespace {

class SharedData : public testing::Test {
protected:
  void SetUp() override {
    _directory = sharedDataDirectory();
    if (_directory.empty()) GTEST_SKIP() << "no shared data folder";
  }
  std::string path(const std::string& name) const { return _directory + "/" + name; }

  ImageHeader header(const std::string& name) const { return headerOf(path(name)); }

private:
  std::string _directory;
};

bool hasNonZeroPixel(const Image& image) {
  return std::any_of(image.getData(), image.getData() + image.dataLength(),
                     [](unsigned char b) { return b; });
}

} // namespace

TEST_F(SharedData, SinglePagesReadWithTheCalibrationImageJShows) {
  // appleCells: a PackBits palette with a zero resolution; hopper: Photoshop LZW with a predictor;
  // HeLa cells: 1 / 19.420064 per pixel.
  const std::pair<std::string, const char*> cases[] = {
      {"AICS_12_134_C=0.tif", "1024x1024x1, depth 16, channels 0, unit -6, pixel 0.065x0.065, z 1"},
      {"hela-cells-8bit.tif", "672x512x1, depth 24, channels 0, unit -6, pixel 0.0514931x0.0514931, z 1"},
      {"appleCells.tif", "256x256x1, depth 8, channels 0, unit -2, pixel 1x1, z 1"},
      {"hopper_lzw.tif", "128x128x1, depth 24, channels 0, unit -2, pixel 0.026462x0.026462, z 1"}};
  for (const auto& [name, expected] : cases) {
    SCOPED_TRACE(name);
    Image picture;
    ImageReader().read(picture, path("tiff/" + name));
    EXPECT_EQ(describe(picture.getHeader()), std::string("format 3, ") + expected);
    EXPECT_TRUE(hasNonZeroPixel(picture));
    const bool apple = name == "appleCells.tif";
    EXPECT_EQ(picture.isIndexed(), apple);
    EXPECT_EQ(picture.getHeader().getPixelCalibration().isPixelWidthSet(), !apple);
  }
  // The description gives min=543 max=1320 for the displayed range: values lie around it.
  Image aics;
  ImageReader().read(aics, path("tiff/AICS_12_134_C=0.tif"));
  std::vector<std::uint16_t> values(1024 * 1024);
  std::memcpy(values.data(), aics.getData(), 2 * values.size());
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  EXPECT_GT(*high, 543);
  EXPECT_LT(*low, 1320);
}

TEST_F(SharedData, ImageJPaletteStackGivesPlanesPaletteAndCalibrationAlsoAsAVoxelMatrix) {
  const ImageHeader stack = header("tiff/DeconvolutionSampleVerticalGrid1AU-crop.tif");
  // ImageJ escapes the micro sign as the text \u00B5m and shows micrometres for it; 1 / 45.527587 per pixel.
  EXPECT_EQ(describe(stack),
            "format 3, 150x150x21, depth 8, channels 0, unit -6, pixel 0.0219647x0.0219647, z 0.125");
  ASSERT_NE(stack.getColormap(), nullptr);
  EXPECT_EQ(stack.getColormap()->getSize(), 256);
  const VoxelMatrix<float> matrix(path("tiff/DeconvolutionSampleVerticalGrid1AU-crop.tif"));
  EXPECT_EQ(matrix.getSize(), (Vector<int>(std::vector<int>{150, 150, 21})));
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelDepth(), 0.125f);
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_GT(matrix.max(), matrix.min());
  EXPECT_LE(matrix.max(), 255);
}

TEST_F(SharedData, TifffileStackWithAJsonDescriptionHasNoImageJCalibration) {
  const ImageHeader stack = header("tiff/cancer_cell_migration_crop.tif");
  EXPECT_EQ(describe(stack), "format 3, 130x130x48, depth 16, channels 0, unit 0, pixel 1x1, z 1");
  const VoxelMatrix<float> matrix(path("tiff/cancer_cell_migration_crop.tif"));
  EXPECT_EQ(matrix.getSize(), (Vector<int>(std::vector<int>{130, 130, 48})));
  EXPECT_GT(matrix.max(), 255); // sixteen-bit values are kept
}

TEST_F(SharedData, SixteenBitRgbaHasADepthImagesCannotHold) {
  EXPECT_EQ(header("tiff/tiff_16bit_RGBa.tiff").getDepth(), 64);
  Image picture;
  EXPECT_THROW(ImageReader().read(picture, path("tiff/tiff_16bit_RGBa.tiff")), DepthError);
}

// The values of the Bio-Formats dump beside the file (lsm/test-metadata.txt).
TEST_F(SharedData, ZeissLsmMatchesTheReferenceDumpAndReadsThroughTheStackSource) {
  const ImageHeader lsm = header("lsm/test.lsm");
  // The image and its thumbnail; DimensionZ is 1.
  EXPECT_EQ(describe(lsm),
            "format 4, 512x512x2, depth 16, channels 1, unit -6, pixel 0.691888x0.691888, z 1");
  ImageSourceLSMStackPlane source;
  quietly([&] { source.setLSMStackFilename(path("lsm/test.lsm")); });
  EXPECT_EQ(source.getChannel(), 1);
  EXPECT_EQ(source.getNewSubFileType(), 0);
  Image picture;
  ImageReader().read(picture, source);
  EXPECT_EQ(picture.getDepth(), 16);
  EXPECT_TRUE(hasNonZeroPixel(picture));
  // The thumbnail directory is smaller and RGB: reading it must stay inside both buffers.
  source.setPlane(1);
  ImageReader().read(picture, source);
  source.setFrame(5); // no such channel
  EXPECT_THROW(ImageReader().read(picture, source), Exception);
}

TEST_F(SharedData, FuzzedLsmFilesAreRefusedEverywhere) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(path("lsm/malformed"))) {
    ++files;
    const std::string file = entry.path().string();
    ImageHeader fuzzedHeader;
    EXPECT_THROW(ImageReader().read(fuzzedHeader, file), Exception) << file;
    Image picture;
    EXPECT_THROW(ImageReader().read(picture, file), Exception) << file;
    ImageSourceLSMStackPlane source;
    EXPECT_THROW(source.setLSMStackFilename(file), Exception) << file;
    // Not a TIFF suffix: read as a layout-0 ".vm" file, whose sizes must fit the file or be refused.
    try {
      const VoxelMatrix<float> matrix(file);
      EXPECT_LE(matrix.numElements() * 4, static_cast<long long>(std::filesystem::file_size(file))) << file;
    } catch (const Exception&) {
    }
  }
  EXPECT_GE(files, 2);
}
