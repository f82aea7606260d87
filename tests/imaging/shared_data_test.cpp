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
#include <fstream>
#include <map>
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

// "Key: value" lines of the Bio-Formats dump of the LSM file.
std::map<std::string, std::string> metadataDump(const std::string& file) {
  std::map<std::string, std::string> values;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t colon = line.find(": ");
    if (colon != std::string::npos) values.emplace(line.substr(0, colon), line.substr(colon + 2));
  }
  return values;
}

bool hasNonZeroPixel(const Image& image) {
  return std::any_of(image.getData(), image.getData() + image.dataLength(),
                     [](unsigned char b) { return b; });
}

} // namespace

TEST_F(SharedData, SinglePagesReadWithTheCalibrationImageJShows) {
  struct Case {
    const char* name;
    int width, height, depth, scale;
    float pixelWidth; // 0: not set
  };
  const Case cases[] = {{"tiff/AICS_12_134_C=0.tif", 1024, 1024, 16, -6, 0.065f},
                        {"tiff/hela-cells-8bit.tif", 672, 512, 24, -6, 1 / 19.420064f},
                        {"tiff/appleCells.tif", 256, 256, 8, -2, 0},   // PackBits palette, zero resolution
                        {"tiff/hopper_lzw.tif", 128, 128, 24, -2, 0}}; // Photoshop LZW with predictor
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image picture;
    ImageReader().read(picture, path(c.name));
    EXPECT_EQ(picture.getWidth(), c.width);
    EXPECT_EQ(picture.getHeight(), c.height);
    EXPECT_EQ(picture.getDepth(), c.depth);
    EXPECT_TRUE(hasNonZeroPixel(picture));
    const PixelCalibration& calibration = picture.getHeader().getPixelCalibration();
    EXPECT_EQ(calibration.getLengthUnit().getScale(), c.scale);
    if (c.pixelWidth > 0) {
      EXPECT_NEAR(calibration.getPixelWidth(), c.pixelWidth, 1e-6);
      EXPECT_NEAR(calibration.getPixelHeight(), c.pixelWidth, 1e-6);
    }
  }
  Image apple;
  ImageReader().read(apple, path("tiff/appleCells.tif"));
  EXPECT_TRUE(apple.isIndexed());
  EXPECT_FALSE(apple.getHeader().getPixelCalibration().isPixelWidthSet());
  EXPECT_FLOAT_EQ(apple.getHeader().getPixelCalibration().getPixelWidth(), 1);
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
  try {
    ImageReader().read(picture, path("tiff/tiff_16bit_RGBa.tiff"));
    FAIL() << "no exception";
  } catch (const DepthError& error) {
    EXPECT_EQ(error.getWhat(), "Invalid depth value");
    EXPECT_NE(error.callStack().find("void ImageReader::read(...)"), std::string::npos);
  }
}

TEST_F(SharedData, ZeissLsmMatchesTheReferenceDumpAndReadsThroughTheStackSource) {
  const std::map<std::string, std::string> dump = metadataDump(path("lsm/test-metadata.txt"));
  const ImageHeader lsm = header("lsm/test.lsm");
  // The image and its thumbnail; DimensionZ is 1.
  EXPECT_EQ(describe(lsm),
            "format 4, 512x512x2, depth 16, channels 1, unit -6, pixel 0.691888x0.691888, z 1");
  EXPECT_EQ(lsm.getHeight(), std::stoi(dump.at("DimensionX")));
  EXPECT_EQ(lsm.getWidth(), std::stoi(dump.at("DimensionY")));
  EXPECT_EQ(lsm.getChannels(), std::stoi(dump.at("DimensionChannels")));
  EXPECT_NEAR(lsm.getVoxelSizeX(), std::stod(dump.at("VoxelSizeX")), 1e-5);
  EXPECT_NEAR(lsm.getVoxelSizeY(), std::stod(dump.at("VoxelSizeY")), 1e-5);
  EXPECT_EQ(lsm.getNewSubfileType(), 0);
  ImageSourceLSMStackPlane source;
  quietly([&] { source.setLSMStackFilename(path("lsm/test.lsm")); });
  EXPECT_EQ(source.getChannel(), 1);
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

TEST_F(SharedData, EveryFileIsReadOrRefusedCleanly) {
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path(""))) {
    if (!entry.is_regular_file()) continue;
    ++files;
    Image picture;
    try {
      quietly([&] { ImageReader().read(picture, entry.path().string()); });
    } catch (const Exception&) {
    }
  }
  EXPECT_GE(files, 10);
}
