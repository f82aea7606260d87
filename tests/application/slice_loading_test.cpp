// Voxel matrices and images loaded through the window: the slice box chooses what every matrix
// shows in the canvas, files are recognised by their content, unreadable ones are reported while the
// scene stays, and textures come and go with their matrices.
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
  QString gradientFile(const std::string& name, int rows) {
    VoxelMatrix<float> matrix(rows, 4, 4);
    for (int i = 0; i < rows; ++i)
      for (int j = 0; j < 4; ++j)
        for (int k = 0; k < 4; ++k) matrix(i, j, k) = 20.0f * i + 5.0f;
    matrix.save(_dir.file(name) + ".vm");
    std::rename((_dir.file(name) + ".vm").c_str(), _dir.file(name).c_str()); // any name, not only ".vm"
    return QString::fromStdString(_dir.file(name));
  }
  QInputBox& sliceBox() const { return *_window->findChild<QInputBox*>(); }
  // The user types a slice number into the box.
  void chooseSlice(int slice) {
    auto* spinBox = sliceBox().findChild<QSpinBox*>();
    spinBox->setValue(slice);
  }
  ViewerCanvasGL& canvas() const { return *_window->mediator()->getCanvas(); }
  // The canvas seen along x, so that slices (planes of constant x) face the viewer.
  QImage frameAlongX() {
    Vector<float> rotation(std::vector<float>{0, 90, 0});
    canvas().resize(100, 100);
    canvas().setRotation(rotation);
    canvas().toggleBoundingBox(false);
    return canvas().grabFramebuffer();
  }
  std::vector<int> shownSlices() const {
    std::vector<int> slices;
    for (const auto& painter : _window->mediator()->getImageLayers().getSlicePainters())
      slices.push_back(painter->getCurrentSlice());
    return slices;
  }
};

// Closes the message box that the next unreadable file brings up and returns its text.
std::shared_ptr<QString> closeNextMessageBox() {
  auto text = std::make_shared<QString>();
  whenModalShows([text](QWidget* dialog) {
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box) *text = box->text();
    if (box) box->accept();
  });
  return text;
}

} // namespace

TEST_F(SliceLoadingTest, TheSliceBoxChoosesTheGreyLevelShownInTheCanvas) {
  _window->loadVoxelMatrix(gradientFile("gradient.vm", 6).toStdString());
  for (const int slice : {0, 3, 5}) {
    SCOPED_TRACE(slice);
    chooseSlice(slice);
    const QImage frame = frameAlongX();
    const int grey = 20 * slice + 5;
    EXPECT_TRUE(pixelNear(frame, 50, 50, QColor(grey, grey, grey), 1));
    EXPECT_FALSE(pixelNear(frame, 1, 50, QColor(grey, grey, grey), 3));
  }
}

// Every matrix follows the box; the box's range is that of the matrix loaded last.
TEST_F(SliceLoadingTest, EveryMatrixFollowsTheBoxWhoseRangeIsTheLastMatrixs) {
  _window->loadVoxelMatrix(gradientFile("six.vm", 6).toStdString());
  EXPECT_EQ(sliceBox().findChild<QSpinBox*>()->maximum(), 5);
  chooseSlice(4);
  _window->loadVoxelMatrix(gradientFile("three.vm", 3).toStdString());
  EXPECT_EQ(sliceBox().findChild<QSpinBox*>()->maximum(), 2);
  EXPECT_EQ(shownSlices(), (std::vector<int>{4, 0})) << "the new matrix has no slice 4";
  chooseSlice(1);
  EXPECT_EQ(shownSlices(), (std::vector<int>{1, 1}));
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
      {gradientFile("no-suffix", 3).toStdString(), 2, 2, 0, 2},
      {file("points.txt", "# 6\n# 3\n# 1\n1 2 3\n").toStdString(), 2, 2, 1, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    _window->openFile(QString::fromStdString(c.file));
    EXPECT_EQ(_window->mediator()->getImageLayers().getSlicePainters().size(), std::size_t(c.matrices));
    EXPECT_EQ(_window->mediator()->getImageLayers().numImages(), c.images);
    EXPECT_EQ(numShapes(), c.shapes);
    EXPECT_EQ(sliceBox().findChild<QSpinBox*>()->maximum(), c.lastSlice);
  }
}

TEST_F(SliceLoadingTest, AnUnreadableMatrixIsReportedAndTheShapesStayDrawn) {
  _window->openShapeFile(
      file("square.txt", "# 8\n# 3\n# 4\n-1 -1 0\n1 -1 0\n1 1 0\n-1 1 0\n# 2\n0 1 2\n0 2 3\n"));
  ASSERT_EQ(numShapes(), 1);
  const QString bad = file("cut.vm", std::string("\0\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0\5\0\0\0\100\0\0\0", 24));
  ErrorCapture errors;
  const auto message = closeNextMessageBox();
  _window->openFile(bad);
  EXPECT_TRUE(message->contains(bad)) << message->toStdString();
  EXPECT_NE(errors.text().find(message->toStdString()), std::string::npos) << errors.text();
  EXPECT_EQ(numShapes(), 1);
  const QImage frame = canvas().grabFramebuffer();
  const QColor centre = frame.pixelColor(frame.width() / 2, frame.height() / 2);
  EXPECT_NE(centre, frame.pixelColor(1, frame.height() / 2))
      << "the square is still drawn" << saveFrame(frame);
}

// Textures live as long as their matrices: removing every matrix gives them all back.
TEST_F(SliceLoadingTest, LoadingAndRemovingMatricesLeavesNoTextureBehind) {
  const std::string name = gradientFile("gradient.vm", 6).toStdString();
  auto liveTextures = [this] {
    canvas().makeCurrent();
    int live = 0;
    for (GLuint texture = 1; texture < 2000; ++texture) live += glIsTexture(texture) ? 1 : 0;
    canvas().doneCurrent();
    return live;
  };
  canvas().grabFramebuffer();
  const int before = liveTextures();
  for (int round = 0; round < 40; ++round) {
    _window->loadVoxelMatrix(name);
    _window->loadVoxelMatrix(name);
    chooseSlice(round % 6);
    canvas().grabFramebuffer();
    _window->mediator()->removeImagesAndVoxelMatrices();
  }
  EXPECT_EQ(liveTextures(), before);
  EXPECT_TRUE(_window->mediator()->getImageLayers().getSlicePainters().empty());
}
