// Real files written by ImageJ, tifffile, Photoshop, a Zeiss microscope and a fuzzer, read from the
// shared data folder beside the repository; skipped when that folder is absent.
#include "imaging/ImageReader.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/VoxelMatrix.h"

#include "foundation/Exception.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

class SharedData : public testing::Test {
protected:
  void SetUp() override {
    _directory = sharedDataDirectory();
    if (_directory.empty()) GTEST_SKIP() << "no shared data folder";
  }
  std::string path(const std::string& name) const { return _directory + "/" + name; }

  ImageHeader header(const std::string& name) const {
    ImageHeader result;
    testing::internal::CaptureStdout(); // the LSM reader reports its magic number
    try {
      ImageReader().read(result, path(name));
    } catch (...) {
      testing::internal::GetCapturedStdout();
      throw;
    }
    testing::internal::GetCapturedStdout();
    return result;
  }

  Image image(const std::string& name) const {
    Image result;
    ImageReader().read(result, path(name));
    return result;
  }

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

std::uint16_t pixel16(const Image& image, int row, int column) {
  std::uint16_t value;
  std::memcpy(&value, image.row(row) + 2 * column, 2);
  return value;
}

bool hasNonZeroPixel(const Image& image) {
  for (std::size_t n = 0; n < image.dataLength(); ++n)
    if (image.getData()[n] != 0) return true;
  return false;
}

} // namespace

TEST_F(SharedData, ImageJPaletteStackGivesPlanesPaletteAndCalibration) {
  const ImageHeader stack = header("tiff/DeconvolutionSampleVerticalGrid1AU-crop.tif");
  EXPECT_EQ(stack.getFormat(), 3);
  EXPECT_EQ(stack.getWidth(), 150);
  EXPECT_EQ(stack.getHeight(), 150);
  EXPECT_EQ(stack.getPlanes(), 21);
  EXPECT_EQ(stack.getDepth(), 8);
  ASSERT_NE(stack.getColormap(), nullptr);
  EXPECT_EQ(stack.getColormap()->getSize(), 256);
  EXPECT_FLOAT_EQ(stack.getVoxelSizeZ(), 0.125f);
  // ImageJ escapes the micro sign as the text \u00B5m and shows micrometres for it.
  EXPECT_EQ(stack.getPixelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_NEAR(stack.getPixelCalibration().getPixelWidth(), 1 / 45.527587, 1e-6);
}

TEST_F(SharedData, ImageJPaletteStackLoadsAsAVoxelMatrix) {
  const VoxelMatrix<float> matrix(path("tiff/DeconvolutionSampleVerticalGrid1AU-crop.tif"));
  EXPECT_EQ(matrix.getSize1(), 150);
  EXPECT_EQ(matrix.getSize2(), 150);
  EXPECT_EQ(matrix.getSize3(), 21);
  EXPECT_FLOAT_EQ(matrix.getVoxelCalibration().getVoxelDepth(), 0.125f);
  EXPECT_EQ(matrix.getVoxelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_GT(matrix.max(), matrix.min());
  EXPECT_LE(matrix.max(), 255);
}

TEST_F(SharedData, ImageJSixteenBitImageInMicrons) {
  const Image picture = image("tiff/AICS_12_134_C=0.tif");
  EXPECT_EQ(picture.getWidth(), 1024);
  EXPECT_EQ(picture.getHeight(), 1024);
  EXPECT_EQ(picture.getDepth(), 16);
  const PixelCalibration& calibration = picture.getHeader().getPixelCalibration();
  EXPECT_EQ(calibration.getLengthUnit().getScale(), -6);
  EXPECT_NEAR(calibration.getPixelWidth(), 0.065, 1e-6);
  EXPECT_NEAR(calibration.getPixelHeight(), 0.065, 1e-6);
  // The description gives min=543 max=1320 for the displayed range: values lie around it.
  std::uint16_t low = 65535, high = 0;
  for (int i = 0; i < 1024; i += 7)
    for (int j = 0; j < 1024; j += 7) {
      low = std::min(low, pixel16(picture, i, j));
      high = std::max(high, pixel16(picture, i, j));
    }
  EXPECT_GT(high, 543);
  EXPECT_LT(low, 1320);
}

TEST_F(SharedData, ImageJRgbImage) {
  const Image picture = image("tiff/hela-cells-8bit.tif");
  EXPECT_EQ(picture.getWidth(), 672);
  EXPECT_EQ(picture.getHeight(), 512);
  EXPECT_EQ(picture.getDepth(), 24);
  EXPECT_TRUE(hasNonZeroPixel(picture));
  EXPECT_EQ(picture.getHeader().getPixelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_NEAR(picture.getHeader().getPixelCalibration().getPixelWidth(), 1 / 19.420064, 1e-6);
}

TEST_F(SharedData, TifffileStackWithAJsonDescriptionHasNoImageJCalibration) {
  const ImageHeader stack = header("tiff/cancer_cell_migration_crop.tif");
  EXPECT_EQ(stack.getPlanes(), 48);
  EXPECT_EQ(stack.getDepth(), 16);
  EXPECT_EQ(stack.getPixelCalibration().getLengthUnit().getScale(), 0);
  EXPECT_FLOAT_EQ(stack.getPixelCalibration().getPixelWidth(), 1);
  EXPECT_FLOAT_EQ(stack.getVoxelSizeZ(), 1);
  const VoxelMatrix<float> matrix(path("tiff/cancer_cell_migration_crop.tif"));
  EXPECT_EQ(matrix.getSize(), (Vector<int>(std::vector<int>{130, 130, 48})));
  EXPECT_GT(matrix.max(), 255); // sixteen-bit values are kept
}

TEST_F(SharedData, PackBitsPaletteWithZeroResolutionReads) {
  const Image picture = image("tiff/appleCells.tif");
  EXPECT_EQ(picture.getWidth(), 256);
  EXPECT_EQ(picture.getDepth(), 8);
  EXPECT_TRUE(picture.isIndexed());
  EXPECT_TRUE(hasNonZeroPixel(picture));
  const PixelCalibration& calibration = picture.getHeader().getPixelCalibration();
  EXPECT_EQ(calibration.getLengthUnit().getScale(), -2);
  EXPECT_FALSE(calibration.isPixelWidthSet());
  EXPECT_FLOAT_EQ(calibration.getPixelWidth(), 1);
}

TEST_F(SharedData, PhotoshopLzwWithPredictorReads) {
  const Image picture = image("tiff/hopper_lzw.tif");
  EXPECT_EQ(picture.getWidth(), 128);
  EXPECT_EQ(picture.getHeight(), 128);
  EXPECT_EQ(picture.getDepth(), 24);
  EXPECT_TRUE(hasNonZeroPixel(picture));
  EXPECT_EQ(picture.getHeader().getPixelCalibration().getLengthUnit().getScale(), -2);
}

TEST_F(SharedData, SixteenBitRgbaHasADepthImagesCannotHold) {
  const ImageHeader rgba = header("tiff/tiff_16bit_RGBa.tiff");
  EXPECT_EQ(rgba.getDepth(), 64);
  Image picture;
  try {
    ImageReader().read(picture, path("tiff/tiff_16bit_RGBa.tiff"));
    FAIL() << "no exception";
  } catch (const DepthError& error) {
    EXPECT_EQ(error.getWhat(), "Invalid depth value");
    EXPECT_NE(error.callStack().find("void ImageReader::read(...)"), std::string::npos);
  }
}

TEST_F(SharedData, ZeissLsmHeaderMatchesTheReferenceDump) {
  const std::map<std::string, std::string> dump = metadataDump(path("lsm/test-metadata.txt"));
  const ImageHeader lsm = header("lsm/test.lsm");
  EXPECT_EQ(lsm.getFormat(), 4);
  EXPECT_EQ(lsm.getHeight(), std::stoi(dump.at("DimensionX")));
  EXPECT_EQ(lsm.getWidth(), std::stoi(dump.at("DimensionY")));
  EXPECT_EQ(lsm.getChannels(), std::stoi(dump.at("DimensionChannels")));
  EXPECT_NEAR(lsm.getVoxelSizeX(), std::stod(dump.at("VoxelSizeX")), 1e-5);
  EXPECT_NEAR(lsm.getVoxelSizeY(), std::stod(dump.at("VoxelSizeY")), 1e-5);
  EXPECT_FLOAT_EQ(lsm.getVoxelSizeZ(), 1); // DimensionZ is 1
  EXPECT_EQ(lsm.getDepth(), 16);
  EXPECT_EQ(lsm.getPlanes(), 2); // the image and its thumbnail
  EXPECT_EQ(lsm.getNewSubfileType(), 0);
  EXPECT_EQ(lsm.getPixelCalibration().getLengthUnit().getScale(), -6);
  EXPECT_NEAR(lsm.getPixelCalibration().getPixelWidth(), 0.6918882, 1e-6);
}

TEST_F(SharedData, ZeissLsmPixelsReadThroughTheStackSource) {
  ImageSourceLSMStackPlane source;
  testing::internal::CaptureStdout();
  source.setLSMStackFilename(path("lsm/test.lsm"));
  testing::internal::GetCapturedStdout();
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
    testing::internal::CaptureStdout();
    try {
      ImageReader().read(picture, entry.path().string());
    } catch (const Exception&) {
    }
    testing::internal::GetCapturedStdout();
  }
  EXPECT_GE(files, 10);
}
