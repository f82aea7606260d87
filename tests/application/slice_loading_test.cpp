// Voxel matrices and images loaded through the window: the slice box chooses what every matrix
// shows in the canvas, files are recognised by their content, unreadable ones are reported while the
// scene stays, and textures come and go with their matrices.
#include "imaging/ImageWriter.h"
#include "imaging/VoxelMatrix.h"
#include "tests/application/MainWindowFixture.h"
#include "tests/support/OffscreenGL.h"
#include "viewer/QInputBox.h"
#include "viewer/ViewerCanvasGL.h"

#include <QMessageBox>
#include <QSpinBox>

#include <cstdio>

#include <GL/gl.h>

namespace {

class SliceLoadingTest : public MainWindowFixture {
protected:
  // A matrix of `rows` rows of 4 x 4 voxels whose row i holds the grey level 20 i + 5 everywhere:
  // once resliced, slice i of the window's copy is that grey.
  std::string gradientFile(const std::string& name, int rows) {
    VoxelMatrix<float> matrix(rows, 4, 4);
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < 16; ++j) matrix(i, j % 4, j / 4) = 20.0f * i + 5.0f;
    matrix.save(_dir.file(name) + ".vm");
    std::rename((_dir.file(name) + ".vm").c_str(), _dir.file(name).c_str()); // any name, not only ".vm"
    return _dir.file(name);
  }
  QSpinBox& sliceBox() const { return *_window->findChild<QInputBox*>()->findChild<QSpinBox*>(); }
  ViewerCanvasGL& canvas() const { return *_window->mediator()->getCanvas(); }
  const ImageLayers& layers() const { return _window->mediator()->getImageLayers(); }
};

} // namespace

TEST_F(SliceLoadingTest, TheSliceBoxChoosesTheGreyLevelShownInTheCanvas) {
  _window->loadVoxelMatrix(gradientFile("gradient.vm", 6));
  canvas().setRotation(Vector<float>(std::vector<float>{0, 90, 0})); // slices, planes x = const, face us
  for (const int slice : {0, 3, 5}) {
    SCOPED_TRACE(slice);
    sliceBox().setValue(slice); // as the user types it
    const QImage frame = canvas().grabFramebuffer();
    const int grey = 20 * slice + 5;
    const int middle = frame.height() / 2;
    EXPECT_TRUE(pixelNear(frame, frame.width() / 2, middle, QColor(grey, grey, grey), 1));
    EXPECT_FALSE(pixelNear(frame, 1, middle, QColor(grey, grey, grey), 3));
  }
}

TEST_F(SliceLoadingTest, RecognisesVoxelMatricesAndImagesByTheirContent) {
  const std::string data = sharedDataDirectory();
  if (data.empty()) GTEST_SKIP() << "no shared data";
  struct Case {
    std::string file;
    int matrices, images, shapes, lastSlice;
  };
  const Case cases[] = {
      {data + "/tiff/cancer_cell_migration_crop.tif", 1, 0, 0, 129}, // 48 planes of 130 x 130
      {data + "/tiff/hela-cells-8bit.tif", 1, 1, 0, 129},
      {data + "/lsm/test.lsm", 1, 2, 0, 129},
      {gradientFile("no-suffix", 3), 2, 2, 0, 2},
      {file("points.txt", "# 6\n# 3\n# 1\n1 2 3\n").toStdString(), 2, 2, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    _window->openFile(QString::fromStdString(c.file));
    EXPECT_EQ(layers().getSlicePainters().size(), std::size_t(c.matrices));
    EXPECT_EQ(layers().numImages(), c.images);
    EXPECT_EQ(numShapes(), c.shapes);
    EXPECT_EQ(sliceBox().maximum(), c.lastSlice);
  }
}

TEST_F(SliceLoadingTest, AnUnreadableMatrixIsReportedAndTheShapesStayDrawn) {
  _window->openShapeFile(
      file("square.txt", "# 8\n# 3\n# 4\n-1 -1 0\n1 -1 0\n1 1 0\n-1 1 0\n# 2\n0 1 2\n0 2 3\n"));
  ASSERT_EQ(numShapes(), 1);
  const QString bad = file("cut.vm", std::string("\0\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0\5\0\0\0\100\0\0\0", 24));
  ErrorCapture errors;
  QString message;
  whenModalShows([&message](QWidget* dialog) {
    message = qobject_cast<QMessageBox*>(dialog)->text();
    qobject_cast<QMessageBox*>(dialog)->accept();
  });
  _window->openFile(bad);
  EXPECT_TRUE(message.contains(bad)) << message.toStdString();
  EXPECT_NE(errors.text().find(message.toStdString()), std::string::npos) << errors.text();
  EXPECT_EQ(numShapes(), 1);
  const QImage frame = canvas().grabFramebuffer();
  const QColor centre = frame.pixelColor(frame.width() / 2, frame.height() / 2);
  EXPECT_NE(centre, frame.pixelColor(1, frame.height() / 2))
      << "the square is still drawn" << saveFrame(frame);
}

// Textures live as long as their images and matrices: removing them gives every texture back.
TEST_F(SliceLoadingTest, LoadingAndRemovingMatricesAndImagesLeavesNoTextureBehind) {
  const std::string matrix = gradientFile("gradient.vm", 6);
  ImageWriter().write(Image(30, 20, 8), _dir.file("image.tif"), true);
  auto liveTextures = [this] {
    canvas().makeCurrent();
    int live = 0;
    for (GLuint texture = 1; texture < 2000; ++texture) live += glIsTexture(texture) ? 1 : 0;
    return live;
  };
  canvas().grabFramebuffer();
  const int before = liveTextures();
  for (int round = 0; round < 40; ++round) {
    _window->loadVoxelMatrix(matrix);
    _window->loadVoxelMatrix(matrix);
    _window->openFile(QString::fromStdString(_dir.file("image.tif")));
    sliceBox().setValue(round % 6);
    canvas().grabFramebuffer();
    _window->mediator()->removeImagesAndVoxelMatrices();
  }
  EXPECT_EQ(liveTextures(), before);
  EXPECT_TRUE(layers().getSlicePainters().empty() && layers().numImages() == 0);
}
