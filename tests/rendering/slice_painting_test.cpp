// Images and voxel-matrix slices drawn as textures: resampled copies of odd-sized images, the slice
// placed at its depth with its grey levels.
#include "rendering/ImagePainterGL.h"
#include "rendering/VoxelMatrixSlicePainterGL.h"

#include "tests/support/GLCallRecorder.h"
#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

class SlicePainting : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gl.isValid()) GTEST_SKIP() << "no OpenGL context";
  }
  OffscreenGL gl{64};
};

// 4 rows, 4 columns, 5 slices of a quarter unit each way: voxel (i, j, k) = 40 k + 10 i.
VoxelMatrix<float> gradientVolume() {
  VoxelMatrix<float> volume(4, 4, 5);
  for (int k = 0; k < 5; ++k)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) volume(i, j, k) = 40.0f * k + 10.0f * i;
  VoxelCalibration calibration;
  calibration.setVoxelSize(Vector<float>(std::vector<float>{0.25f, 0.25f, 0.25f}));
  volume.setVoxelCalibration(calibration);
  return volume;
}

} // namespace

TEST_F(SlicePainting, ResamplesImagesWhoseSidesAreNotPowersOfTwoToTheNextPowers) {
  struct Case {
    int width, height, depth, scaledWidth, scaledHeight;
  };
  const Case cases[] = {
      {100, 60, 8, 128, 64}, {64, 32, 8, 0, 0}, {3, 5, 24, 4, 8}, {1, 1, 8, 0, 0}, {200, 512, 16, 256, 512}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Image image(c.width, c.height, c.depth);
    ImagePainterGL<float> painter;
    painter.setImage(image);
    painter.glInit();
    const Image* scaled = painter.getScaledImage();
    ASSERT_EQ(scaled != nullptr, c.scaledWidth > 0);
    if (!scaled) continue;
    EXPECT_EQ(scaled->getSize(), Vector<int>(std::vector<int>{c.scaledHeight, c.scaledWidth}));
    EXPECT_EQ(scaled->getDepth(), c.depth);
  }
}

// Direction 0 turns the slice (x, y, z) -> (z, x, y): seen along x, its rows run up the frame and its
// columns across. The box is the whole volume, not turned.
TEST_F(SlicePainting, ShowsTheGreyLevelsOfTheChosenSliceTurnedByDirectionZero) {
  const VoxelMatrix<float> volume = gradientVolume();
  VoxelMatrixSlicePainterGL<float, float> painter;
  painter.setDirection(0);
  painter.setVoxelMatrix(volume);
  painter.setCurrentSlice(3);
  glRotatef(90, 0, 1, 0); // (x, y, z) -> (z, y, -x): the slice, at x = 0.75, faces the viewer
  painter.glDraw();
  const QImage frame = gl.grab();
  // Row i spans y from 0.25 i to 0.25 (i + 1): pixel rows 24 - 8 i to 32 - 8 i from the top.
  for (int i = 0; i < 4; ++i) {
    const int grey = 120 + 10 * i;
    EXPECT_TRUE(pixelNear(frame, 48, 28 - 8 * i, QColor(grey, grey, grey), 1)) << "row " << i;
  }
  EXPECT_TRUE(pixelNear(frame, 16, 16, Qt::black, 0));
  EXPECT_TRUE(pixelNear(frame, 48, 48, Qt::black, 0));
  EXPECT_EQ(painter.boundingBox().getVertex2(), Vector<float>(std::vector<float>{1, 1, 1.25f}));
}
