// Image sources: their kinds, when they are defined, what they answer from headers, and reading
// their pixels through the image reader.
#include "imaging/ImageSourceFile.h"
#include "imaging/ImageSourceFileMosaic.h"
#include "imaging/ImageSourceTiffStackPlane.h"
#include "imaging/ImageSourceVoxelMatrixFilePlane.h"
#include "imaging/ImageSourceVoxelMatrixPlane.h"

#include "foundation/Exception.h"
#include "imaging/ImageReader.h"
#include "imaging/VoxelMatrix.h"
#include "tests/imaging/TiffFixtures.h"
#include "tests/support/ExpectException.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(ImageSourceTiffStack, AnswersFromTheStacksHeaderReadsPlanesAndClones) {
  TemporaryDirectory directory;
  TiffLayout layout;
  layout.description = "ImageJ=1.47v\nimages=3\nslices=3\nunit=micron\nspacing=0.75\nloop=false";
  writeTiff(directory.file("stack.tif"), layout, 3);
  ImageSourceTiffStackPlane stack;
  stack.setTiffStackFilename(directory.file("stack.tif"));
  EXPECT_TRUE(stack.isDefined());
  EXPECT_EQ(stack.getNumImages(), 3);
  EXPECT_FLOAT_EQ(stack.getVoxelSizeZ(), 0.75f);
  EXPECT_EQ(stack.getSize(), Vector<int>(std::vector<int>{3, 4}));
  EXPECT_EQ(stack.getDepth(), 8);
  EXPECT_EQ(stack.getPixelCalibration().getLengthUnit().getScale(), -6);
  Image image;
  for (int plane : {2, 0, 1}) {
    stack.setPlane(plane);
    ImageReader().read(image, stack);
    EXPECT_EQ(image.row(1)[2], defaultPixelValue(plane, 1, 2, 0)) << "plane " << plane;
  }
  const std::unique_ptr<ImageSource> clone = stack.clone();
  const auto& copy = static_cast<const ImageSourceTiffStackPlane&>(*clone);
  EXPECT_EQ(copy.getType(), 4);
  EXPECT_EQ(copy.getSize(), stack.getSize());
  EXPECT_EQ(copy.getPlane(), 1);
  EXPECT_FLOAT_EQ(copy.getVoxelSizeZ(), 0.75f);
  stack.setPlane(3);
  EXPECT_THROW(ImageReader().read(image, stack), FileReadError);
  stack.setPlane(-1);
  EXPECT_FALSE(stack.isDefined());
  writeFile(directory.file("junk.tif"), "not an image"); // header errors reach the caller
  EXPECT_THROW(stack.setTiffStackFilename(directory.file("junk.tif")), FileFormatError);
  EXPECT_THROW(ImageSourceFile().setFilename("/nonexistent.tif"), FileReadError);
}

TEST(ImageSourceVoxelMatrix, PlanesInMemoryAre16BitAndPlanesOfFiles8Bit) {
  TemporaryDirectory directory;
  VoxelMatrix<float> matrix(2, 3, 4);
  matrix.fill(7);
  matrix(1, 2, 1) = 1000.5f;
  matrix(0, 1, 3) = 200;
  ImageSourceVoxelMatrixPlane memory;
  memory.setVoxelMatrix(matrix);
  memory.setPlane(1);
  EXPECT_TRUE(memory.isDefined());
  EXPECT_EQ(memory.getSize2(), 3);
  EXPECT_EQ(memory.getDepth(), 32);
  Image image;
  quietly([&] { ImageReader().read(image, memory); });
  ASSERT_EQ(image.getDepth(), 16);
  std::uint16_t value;
  std::memcpy(&value, image.row(1) + 4, 2);
  EXPECT_EQ(value, 1000);
  matrix.save(directory.file("m.vm"));
  ImageSourceVoxelMatrixFilePlane file; // sizes come from the header
  file.setVoxelMatrixFilename(directory.file("m.vm"));
  EXPECT_EQ(file.getVoxelMatrixSize()[2], 4);
  EXPECT_EQ(file.getSize1(), 2);
  file.setPlane(3);
  quietly([&] { ImageReader().read(image, file); });
  EXPECT_EQ(image.getDepth(), 8);
  EXPECT_EQ(image.row(0)[1], 200);
}

TEST(ImageSourceMosaic, AssemblesFileCellsInAGrid) {
  TemporaryDirectory directory;
  ImageSourceFile cells[2];
  for (int n = 0; n < 2; ++n) { // 2 x 2 pixels of 10, then 1 x 3 pixels of 20
    TiffLayout layout;
    layout.width = 2 + n, layout.height = 2 - n;
    layout.value = [n](int, int, int, int) { return 10u + 10u * n; };
    writeTiff(directory.file(std::to_string(n) + ".tif"), layout);
    cells[n].setFilename(directory.file(std::to_string(n) + ".tif"));
  }
  EXPECT_TRUE(cells[0].isDefined());
  ImageSourceFileMosaic mosaic(2, 2);
  mosaic.setCell(0, 0, cells[0]);
  mosaic.setCell(1, 1, cells[1]);
  EXPECT_TRUE(mosaic.isDefined());
  EXPECT_EQ(mosaic.getSize(), Vector<int>(std::vector<int>{3, 5})); // rows 2 + 1, columns 2 + 3
  EXPECT_EQ(mosaic.getDepth(), 8);
  Image image;
  ImageReader().read(image, mosaic);
  EXPECT_EQ(image.row(1)[1], 10);
  EXPECT_EQ(image.row(2)[4], 20);
  EXPECT_EQ(image.row(0)[4], 0);
}
