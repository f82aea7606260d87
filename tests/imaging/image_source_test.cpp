// Image sources: their kinds, when they are defined, what they answer from headers, and reading
// their pixels through the image reader.
#include "imaging/ImageSourceFile.h"
#include "imaging/ImageSourceFileMosaic.h"
#include "imaging/ImageSourceLSMStackPlane.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/ImageSourceVoxelMatrixFilePlane.h"
#include "imaging/ImageSourceVoxelMatrixPlane.h"

#include "foundation/Exception.h"
#include "imaging/ImageReader.h"
#include "imaging/VoxelMatrix.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

std::string writeImageJStack(const TemporaryDirectory& directory) {
  TiffLayout layout;
  layout.description = "ImageJ=1.47v\nimages=3\nslices=3\nunit=micron\nspacing=0.75\nloop=false";
  const std::string path = directory.file("stack.tif");
  writeTiff(path, layout, 3);
  return path;
}

} // namespace

TEST(ImageSourceKinds, TypesFollowTheOrderOfTheKinds) {
  EXPECT_EQ(ImageSourceFile().getType(), 0);
  EXPECT_EQ(ImageSourceFileMosaic().getType(), 1);
  EXPECT_EQ(ImageSourceVoxelMatrixPlane().getType(), 2);
  EXPECT_EQ(ImageSourceVoxelMatrixFilePlane().getType(), 3);
  EXPECT_EQ(ImageSourceTiffStackPlane().getType(), 4);
  EXPECT_EQ(ImageSourceLSMStackPlane().getType(), 5);
}

TEST(ImageSourceKinds, NewSourcesAreUndefinedAndEmpty) {
  const ImageSourceTiffStackPlane stack;
  EXPECT_FALSE(stack.isDefined());
  EXPECT_EQ(stack.getSize1(), 0);
  EXPECT_EQ(stack.getSize2(), 0);
  EXPECT_EQ(stack.getNumImages(), 0);
  EXPECT_EQ(stack.getColormap(), nullptr);
  EXPECT_FALSE(ImageSourceFile().isDefined());
  EXPECT_FALSE(ImageSourceFileMosaic(2, 2).isDefined());
  EXPECT_FALSE(ImageSourceVoxelMatrixPlane().isDefined());
  EXPECT_FALSE(ImageSourceVoxelMatrixFilePlane().isDefined());
  EXPECT_FALSE(ImageSourceLSMStackPlane().isDefined());
}

TEST(ImageSourceKinds, ClonesKeepKindAndAnswers) {
  TemporaryDirectory directory;
  ImageSourceTiffStackPlane stack;
  stack.setTiffStackFilename(writeImageJStack(directory));
  stack.setPlane(2);
  const std::unique_ptr<ImageSource> clone = stack.clone();
  EXPECT_EQ(clone->getType(), 4);
  EXPECT_EQ(clone->getSize(), stack.getSize());
  EXPECT_EQ(static_cast<const ImageSourceTiffStackPlane&>(*clone).getPlane(), 2);
  EXPECT_FLOAT_EQ(static_cast<const ImageSourceTiffStackPlane&>(*clone).getVoxelSizeZ(), 0.75f);
}

TEST(ImageSourceTiffStack, AnswersFromTheStacksHeader) {
  TemporaryDirectory directory;
  ImageSourceTiffStackPlane stack;
  stack.setTiffStackFilename(writeImageJStack(directory));
  EXPECT_TRUE(stack.isDefined());
  EXPECT_EQ(stack.getNumImages(), 3);
  EXPECT_FLOAT_EQ(stack.getVoxelSizeZ(), 0.75f);
  EXPECT_EQ(stack.getSize1(), 3);
  EXPECT_EQ(stack.getSize2(), 4);
  EXPECT_EQ(stack.getDepth(), 8);
  EXPECT_EQ(stack.getPixelCalibration().getLengthUnit().getScale(), -6);
  stack.setPlane(-1);
  EXPECT_FALSE(stack.isDefined());
}

TEST(ImageSourceTiffStack, ReadsThePixelsOfTheChosenPlane) {
  TemporaryDirectory directory;
  ImageSourceTiffStackPlane stack;
  stack.setTiffStackFilename(writeImageJStack(directory));
  Image image;
  for (int plane : {2, 0, 1}) {
    stack.setPlane(plane);
    ImageReader().read(image, stack);
    EXPECT_EQ(image.row(1)[2], defaultPixelValue(plane, 1, 2, 0)) << "plane " << plane;
  }
}

TEST(ImageSourceTiffStack, APlaneBeyondTheLastIsAReadError) {
  TemporaryDirectory directory;
  ImageSourceTiffStackPlane stack;
  stack.setTiffStackFilename(writeImageJStack(directory));
  stack.setPlane(3);
  Image image;
  EXPECT_THROW(ImageReader().read(image, stack), FileReadError);
}

TEST(ImageSourceTiffStack, HeaderErrorsReachTheCallerWithTheSetterInTheChain) {
  TemporaryDirectory directory;
  writeFile(directory.file("junk.tif"), "not an image");
  ImageSourceTiffStackPlane stack;
  try {
    stack.setTiffStackFilename(directory.file("junk.tif"));
    FAIL() << "no exception";
  } catch (const FileFormatError& error) {
    EXPECT_EQ(error.getWhat(), "Unrecognized image file format");
    EXPECT_NE(error.callStack().find("ImageSourceTiffStackPlane::setTiffStackFilename"), std::string::npos);
  }
  EXPECT_THROW(ImageSourceFile().setFilename("/nonexistent.tif"), FileReadError);
}

TEST(ImageSourceLSMStack, AnswersChannelsAndReadsTheFrameAsTheSample) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.samplesPerPixel = 2;
  layout.planarConfig = 2;
  layout.lsmBlock = lsmInformationBlock(3, 4, 1, 2, 1e-6, 1e-6, 1e-6);
  writeTiff(directory.file("two.lsm"), layout);
  ImageSourceLSMStackPlane stack;
  testing::internal::CaptureStdout();
  stack.setLSMStackFilename(directory.file("two.lsm"));
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_NE(output.find("ImageSourceLSMStackPlane::setLSMStackFilename(const string& filename)"),
            std::string::npos);
  EXPECT_EQ(stack.getChannel(), 2);
  EXPECT_EQ(stack.getNewSubFileType(), 0);
  EXPECT_EQ(stack.getNumImages(), 1);
  stack.setFrame(1);
  Image image;
  ImageReader().read(image, stack);
  EXPECT_EQ(image.row(2)[3], defaultPixelValue(0, 2, 3, 1));
}

TEST(ImageSourceFile, ReadsTheWholeFile) {
  TemporaryDirectory directory;
  writeTiff(directory.file("one.tif"), TiffLayout());
  ImageSourceFile source;
  source.setFilename(directory.file("one.tif"));
  EXPECT_TRUE(source.isDefined());
  EXPECT_EQ(source.getSize2(), 4);
  Image image;
  ImageReader().read(image, source);
  EXPECT_EQ(image.row(2)[1], defaultPixelValue(0, 2, 1, 0));
}

TEST(ImageSourceVoxelMatrix, APlaneInMemoryIsA16BitImageOfItsSlice) {
  VoxelMatrix<float> matrix(2, 3, 2);
  matrix.fill(7);
  matrix(1, 2, 1) = 1000.5f;
  ImageSourceVoxelMatrixPlane source;
  source.setVoxelMatrix(matrix);
  source.setPlane(1);
  EXPECT_TRUE(source.isDefined());
  EXPECT_EQ(source.getSize1(), 2);
  EXPECT_EQ(source.getSize2(), 3);
  EXPECT_EQ(source.getDepth(), 32);
  Image image;
  testing::internal::CaptureStdout();
  ImageReader().read(image, source);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("image read from voxel matrix:\n", 0), 0u);
  ASSERT_EQ(image.getDepth(), 16);
  std::uint16_t value;
  std::memcpy(&value, image.row(1) + 4, 2);
  EXPECT_EQ(value, 1000);
}

TEST(ImageSourceVoxelMatrix, APlaneOfAFileIsAn8BitImageAndTheSizeComesFromTheHeader) {
  TemporaryDirectory directory;
  VoxelMatrix<float> matrix(2, 3, 4);
  matrix.fill(9);
  matrix(0, 1, 3) = 200;
  matrix.save(directory.file("m.vm"));
  ImageSourceVoxelMatrixFilePlane source;
  source.setVoxelMatrixFilename(directory.file("m.vm"));
  EXPECT_EQ(source.getVoxelMatrixSize()[2], 4);
  EXPECT_EQ(source.getSize1(), 2);
  source.setPlane(3);
  Image image;
  testing::internal::CaptureStdout();
  ImageReader().read(image, source);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("image read from voxel matrix file:\n", 0), 0u);
  EXPECT_EQ(image.getDepth(), 8);
  EXPECT_EQ(image.row(0)[1], 200);
}

TEST(ImageSourceMosaic, AssemblesCellsInAGrid) {
  TemporaryDirectory directory;
  TiffLayout small;
  small.width = 2;
  small.height = 2;
  small.value = [](int, int, int, int) { return 10u; };
  TiffLayout wide;
  wide.width = 3;
  wide.height = 1;
  wide.value = [](int, int, int, int) { return 20u; };
  writeTiff(directory.file("small.tif"), small);
  writeTiff(directory.file("wide.tif"), wide);
  ImageSourceFile a, b;
  a.setFilename(directory.file("small.tif"));
  b.setFilename(directory.file("wide.tif"));
  ImageSourceFileMosaic mosaic(2, 2);
  mosaic.setCell(0, 0, a);
  mosaic.setCell(1, 1, b);
  EXPECT_TRUE(mosaic.isDefined());
  EXPECT_EQ(mosaic.getSize1(), 3); // rows 2 + 1
  EXPECT_EQ(mosaic.getSize2(), 5); // columns 2 + 3
  EXPECT_EQ(mosaic.getDepth(), 8);
  Image image;
  ImageReader().read(image, mosaic);
  EXPECT_EQ(image.row(1)[1], 10);
  EXPECT_EQ(image.row(2)[4], 20);
  EXPECT_EQ(image.row(0)[4], 0);
}
