// Data shown with the shapes. Voxel matrices and images loaded through the window: the slice box chooses
// what every matrix shows in the canvas, the display range box its greys, files are recognised by their
// content, unreadable ones are reported while the scene stays, and textures come and go with their matrices.
// Parametric maps: the cell of a value, and meshes loaded with their "-parameters.df" files coloured through
// the "Parametric maps" panel as a user chooses variables, with the colour bar on the canvas.
#include "application/ParameterData.h"
#include "application/ParameterPanel.h"
#include "application/ProblemsBar.h"
#include "application/Scene.h"
#include "geometry/TriMesh.h"
#include "imaging/ImageWriter.h"
#include "imaging/VoxelMatrix.h"
#include "tests/application/MainWindowFixture.h"
#include "tests/support/OffscreenGL.h"
#include "viewer/DisplayRangeBox.h"
#include "viewer/SliderSpinBox.h"
#include "viewer/ViewerCanvasGL.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>

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
  QSpinBox& sliceBox() const { return *_window->findChild<SliderSpinBox*>()->findChild<QSpinBox*>(); }
  QDoubleSpinBox& rangeEnd(int i) const {
    return *_window->findChild<DisplayRangeBox*>()->findChildren<QDoubleSpinBox*>().at(i);
  }
  // The grey at the canvas's centre, where the shown slice faces the viewer.
  int centreGrey() {
    const QImage frame = canvas().grabFramebuffer();
    return qGray(frame.pixel(frame.width() / 2, frame.height() / 2));
  }
  ViewerCanvasGL& canvas() const { return *_window->mediator()->getCanvas(); }
  const ImageLayers& layers() const { return _window->mediator()->getImageLayers(); }
};

// Two sheets side by side facing the viewer, with values rising from left to right, a third one
// whose data set is too short; the left sheet has its own colours.
class ParametricMaps : public MainWindowFixture {
protected:
  static std::string sheet(float x) {
    const std::string left = std::to_string(x) + " ", right = std::to_string(x + 1) + " ";
    return "# 8\n# 3\n# 4\n" + left + "0 0\n" + right + "0 0\n" + right + "1 0\n" + left +
           "1 0\n# 2\n0 1 2\n0 2 3\n# 0\n";
  }
  void SetUp() override {
    MainWindowFixture::SetUp();
    _window->resize(1500, 700);
    _window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(_window));
    file("left.vcolors.tm", "# 8\n# 3\n# 4\n0 200 0\n0 200 0\n0 200 0\n0 200 0\n# 0\n# 0\n");
    file("short.vcolors.tm", "# 8\n# 3\n# 4\n99 99 99\n99 99 99\n99 99 99\n99 99 99\n# 0\n# 0\n");
    file("left-parameters.df", "T\n0.0\n5.0\n5.0\n0.0\n");
    file("right-parameters.df", "T label\n3.5 1\n9.0 2\n9.0 3\n3.5 4\n");
    file("short-parameters.df", "T\n1.0\n2.0\n");
    const std::pair<const char*, float> sheets[] = {{"left", -1.5f}, {"right", 0.5f}, {"short", 3}};
    loadErrors = errorsOf([&] {
      for (const auto& [name, x] : sheets) _window->openFile(file(std::string(name) + ".tm", sheet(x)));
    });
    const QList<QComboBox*> combos = _window->findChild<ParameterPanel*>()->findChildren<QComboBox*>();
    parameterCombo = combos[0];
    colormapCombo = combos[1];
  }
  const TriMesh<float>& mesh(int i) const { return static_cast<const TriMesh<float>&>(shape(i)); }
  Vector<int> vertexColor(int i, int v) const { return (*mesh(i).getVertexColors())[v]; }
  QImage frame() const {
    ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
    canvas.repaint();
    return canvas.grabFramebuffer();
  }
  // Strongly red and strongly blue pixels in the columns x0 <= x < x1 of the middle rows.
  static std::pair<int, int> redAndBlue(const QImage& image, int x0, int x1) {
    int red = 0, blue = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y)
      for (int x = x0; x < x1; ++x) {
        const QColor c = image.pixelColor(x, y);
        red += c.red() > c.green() + 80 && c.red() > c.blue() + 80;
        blue += c.blue() > c.red() + 80 && c.blue() > c.green() + 80;
      }
    return {red, blue};
  }

  std::string loadErrors;
  QComboBox* parameterCombo = nullptr;
  QComboBox* colormapCombo = nullptr;
};

} // namespace

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
    _window->waitForLoads();
    EXPECT_EQ(layers().numVoxelMatrices(), c.matrices);
    EXPECT_EQ(layers().numImages(), c.images);
    EXPECT_EQ(numShapes(), c.shapes);
    EXPECT_EQ(sliceBox().maximum(), c.lastSlice);
  }
}

// No modal box: the status bar says it, the list of problems keeps it, the error stream has it too.
TEST_F(SliceLoadingTest, AnUnreadableMatrixIsReportedAndTheShapesStayDrawn) {
  _window->openFile(file("square.txt", "# 8\n# 3\n# 4\n-1 -1 0\n1 -1 0\n1 1 0\n-1 1 0\n# 2\n0 1 2\n0 2 3\n"));
  ASSERT_EQ(numShapes(), 1);
  const QString bad = file("cut.vm", std::string("\0\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0\5\0\0\0\100\0\0\0", 24));
  const std::string errors = errorsOf([&] { _window->openFile(bad); });
  const ProblemsBar& problems = *_window->problemsBar();
  ASSERT_EQ(problems.problems().size(), 1);
  const QString message = problems.problems().first();
  EXPECT_TRUE(message.startsWith("Cannot read " + bad + " as a Voxel matrix: ")) << message.toStdString();
  EXPECT_EQ(problems.currentMessage(), message);
  EXPECT_TRUE(problems.button()->isVisibleTo(_window));
  EXPECT_NE(errors.find(message.toStdString()), std::string::npos) << errors;
  EXPECT_EQ(numShapes(), 1);
  const QImage frame = canvas().grabFramebuffer();
  const QColor centre = frame.pixelColor(frame.width() / 2, frame.height() / 2);
  EXPECT_NE(centre, frame.pixelColor(1, 1)) // a corner lies outside the square whatever the canvas's shape
      << "the square is still drawn" << saveFrame(frame);
}

// Textures live as long as their images and matrices: removing them gives every texture back.
TEST_F(SliceLoadingTest, TheSliceBoxChoosesTheGreyShownAndRemovingMatricesLeavesNoTextureBehind) {
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
    _window->openFile(QString::fromStdString(matrix));
    _window->openFile(QString::fromStdString(matrix));
    _window->openFile(QString::fromStdString(_dir.file("image.tif")));
    _window->waitForLoads();
    sliceBox().setValue(round % 6);
    canvas().grabFramebuffer();
    _window->mediator()->removeImagesAndVoxelMatrices();
  }
  EXPECT_EQ(liveTextures(), before);
  EXPECT_TRUE(layers().numVoxelMatrices() == 0 && layers().numImages() == 0);
  EXPECT_FALSE(sliceBox().isEnabled()) << "no matrix to choose a slice of";
  // Then the slice box chooses the grey level every matrix shows in the canvas, the first matrix of an
  // empty scene facing us.
  _window->openFile(QString::fromStdString(matrix));
  _window->waitForLoads();
  for (const int slice : {0, 3, 5}) {
    SCOPED_TRACE(slice);
    sliceBox().setValue(slice); // as the user types it
    const QImage frame = canvas().grabFramebuffer();
    const int grey = 20 * slice + 5;
    const int middle = frame.height() / 2;
    EXPECT_TRUE(pixelNear(frame, frame.width() / 2, middle, QColor(grey, grey, grey), 1));
    EXPECT_FALSE(pixelNear(frame, 1, 1, QColor(grey, grey, grey), 3)); // a corner, outside the slice
  }
}

// Values beyond 0..255 are shown through their own range, which the display range box shows; a range
// typed there clamps the values beyond it (1500 above 1000 is white, not 1500 mod 256), "Auto" gives
// the matrix its own range back, and without matrices the box shows 0 to 255 again.
TEST_F(SliceLoadingTest, TheDisplayRangeBoxShowsAndChangesTheGreysOfValuesBeyond255) {
  VoxelMatrix<float> matrix(3, 4, 4);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 16; ++j) matrix(i, j % 4, j / 4) = 1000.0f * i + 500.0f;
  matrix.save(_dir.file("wide.vm"));
  _window->openFile(QString::fromStdString(_dir.file("wide.vm")));
  _window->waitForLoads();
  canvas().setRotation(Vector<float>(std::vector<float>{0, 90, 0}));
  sliceBox().setValue(1); // 1500
  EXPECT_EQ(rangeEnd(0).value(), 500.0);
  EXPECT_EQ(rangeEnd(1).value(), 2500.0);
  EXPECT_NEAR(centreGrey(), 128, 1);
  rangeEnd(0).setValue(0); // as the user types them
  rangeEnd(1).setValue(1000);
  EXPECT_NEAR(centreGrey(), 255, 1);
  rangeEnd(1).setValue(3000);
  EXPECT_NEAR(centreGrey(), 128, 1);
  for (QPushButton* button : _window->findChild<DisplayRangeBox*>()->findChildren<QPushButton*>())
    button->click(); // "Auto"
  EXPECT_EQ(rangeEnd(0).value(), 500.0);
  EXPECT_NEAR(centreGrey(), 128, 1);
  _window->mediator()->removeImagesAndVoxelMatrices();
  EXPECT_EQ(rangeEnd(1).value(), 255.0);
}

// With the scaling of 10, a square mesh over one quarter of a white image (in the image's pixel units)
// covers one quarter of what the image shows: the image is scaled as the shape is.
TEST_F(SliceLoadingTest, AnImageTakesTheScalingOfTheShapesSegmentedFromIt) {
  Image white(20, 20, 8);
  std::fill(white.getData(), white.getData() + 400, 255);
  ImageWriter().write(white, _dir.file("white.tif"), true);
  _window->setScaling(scaling(10));
  _window->openFile(QString::fromStdString(_dir.file("white.tif")));
  _window->openFile(
      file("quarter.tm", "# 8\n# 3\n# 4\n0 0 1\n10 0 1\n10 10 1\n0 10 1\n# 2\n0 1 2\n0 2 3\n# 0\n"));
  _window->waitForLoads();
  const QImage frame = canvas().grabFramebuffer();
  std::map<QRgb, int> count; // the background is a gradient: the mesh is the commonest colour but white
  for (int y = 0; y < frame.height(); ++y)
    for (int x = 0; x < frame.width(); ++x) ++count[frame.pixel(x, y) | 0xff000000];
  const int image = count[0xffffffff];
  count.erase(0xffffffff);
  int mesh = 0;
  for (const auto& entry : count) mesh = std::max(mesh, entry.second);
  EXPECT_NEAR(image, 3 * mesh, 0.1 * image) << saveFrame(frame);
}

// Single-precision cells, halves rounded up; below, above and an empty range at the ends.
TEST(ParameterData, MapsValuesToTheCellsOfItsColormap) {
  const struct {
    float minimum, maximum, value;
    int cell;
  } cases[] = {{0, 10, 5, 128},   {0, 10, -1, 0},     {0, 10, 11, 255}, {0, 10, 0, 0},   {0, 10, 10, 255},
               {0, 255, 7.5f, 8}, {0, 255, 7.49f, 7}, {3, 3, 3, 255},   {0, 10, NAN, 0}, {-2, 2, 0, 128}};
  for (const char* map : {"Grey", "Temperature"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(map) + " " + std::to_string(c.value));
      ParameterData data;
      data.setColormapName(map);
      data.updateMinimum(c.minimum);
      data.updateMaximum(c.maximum);
      EXPECT_EQ(data.valueToColor(c.value), data.getColormap().getColor(c.cell));
    }
  }
}

// The table holds the union of the meshes' ranges; a short data set is refused with its counts.
TEST_F(ParametricMaps, ListsTheVariablesColoursTheMeshesAndTheBarGoesWithTheLastMappedMesh) {
  ASSERT_EQ(numShapes(), 3);
  EXPECT_NE(loadErrors.find("short-parameters.df"), std::string::npos) << loadErrors;
  EXPECT_NE(loadErrors.find(" 2 rows"), std::string::npos) << loadErrors;
  EXPECT_NE(loadErrors.find(" 4 vertices"), std::string::npos) << loadErrors;
  const auto& table = _window->scene().parameters();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(*table.at("T").getMinimum(), 0.0f);
  EXPECT_EQ(*table.at("T").getMaximum(), 9.0f);
  EXPECT_EQ(*table.at("label").getMaximum(), 4.0f); // an integer column, converted
  EXPECT_EQ(parameterCombo->count(), 3);            // the empty entry, "T", "label"
  EXPECT_FALSE(colormapCombo->isEnabled());

  // "Temperature" colours both meshes at once, blue at the low end and red at the high end, with the
  // colour bar at the right edge; the empty entry gives the meshes their own colours back and hides it.
  colormapCombo->setCurrentText("Temperature"); // nothing is chosen yet: no effect
  parameterCombo->setCurrentText("T");
  EXPECT_TRUE(colormapCombo->isEnabled());
  colormapCombo->setCurrentText("Temperature");
  EXPECT_EQ(vertexColor(0, 0), Colormap::cold2Hot(256).getColor(0));   // left sheet, value 0
  EXPECT_EQ(vertexColor(1, 1), Colormap::cold2Hot(256).getColor(255)); // right sheet, value 9
  EXPECT_EQ(vertexColor(2, 0), (std::vector<int>{99, 99, 99}));        // its data set was refused
  QImage image = frame();
  const int w = image.width();
  EXPECT_EQ(redAndBlue(image, 0, w / 2).first, 0); // blue low values on the left sheet,
  EXPECT_GT(redAndBlue(image, 0, w / 2).second, 0);
  EXPECT_GT(redAndBlue(image, w / 2, w - 60).first, 0); // red high values on the right one
  EXPECT_EQ(redAndBlue(image, w / 2, w - 60).second, 0);
  EXPECT_GT(redAndBlue(image, w - 40, w).first, 0); // the colour bar's two ends
  EXPECT_GT(redAndBlue(image, w - 40, w).second, 0);

  parameterCombo->setCurrentText("label"); // only the right sheet has it; its map is still "Grey"
  EXPECT_EQ(vertexColor(1, 3), (std::vector<int>{255, 255, 255}));
  EXPECT_EQ(vertexColor(0, 0), Colormap::cold2Hot(256).getColor(0));

  parameterCombo->setCurrentText("");
  EXPECT_FALSE(colormapCombo->isEnabled());
  for (int v = 0; v < 4; ++v) EXPECT_EQ(vertexColor(0, v), (std::vector<int>{0, 200, 0})) << v;
  EXPECT_FALSE(mesh(1).hasVertexColors());
  image = frame();
  EXPECT_EQ(redAndBlue(image, w - 40, w), std::make_pair(0, 0));

  // Deleting the meshes that show a map takes the colour bar away with them.
  parameterCombo->setCurrentText("T");
  auto* list = _window->findChild<QListView*>();
  ASSERT_TRUE(list);
  const ColorBarGL& bar = _window->mediator()->getCanvas()->getColorBar();
  QApplication::setActiveWindow(_window); // Delete is a shortcut of the active window
  for (int row : {1, 0}) { // the right sheet first: the bar stays while the left one shows the map
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 0)).center());
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(bar.isShown(), row == 1) << row;
  }
}

// Tabs or runs of blanks with CRLF line ends are read; a parameter file that cannot be read is reported
// with its name; a mesh without companion files says nothing.
TEST_F(MainWindowFixture, ParameterFilesOfEveryLayoutAreReadAndAnUnreadableOneIsReported) {
  const std::pair<std::string, const char*> cases[] = {{"tabs", "T\tU\r\n0\t1\r\n1\t1\r\n2\t1\r\n3\t1\r\n"},
                                                       {"blanks", "  T    U \n0   1\n1 1\n\n2  1\n 3 1\n"},
                                                       {"plain", nullptr},
                                                       {"folder", ""}}; // a folder in the file's place
  for (const auto& [name, table] : cases) {
    const std::string parameters = _dir.file(name + "-parameters.df");
    if (table && *table) file(name + "-parameters.df", table);
    if (table && !*table) std::filesystem::create_directory(parameters);
    const std::string errors = errorsOf([&, name = name] {
      _window->openFile(
          file(name + ".tm", "# 8\n# 3\n# 4\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n# 2\n0 1 2\n0 2 3\n# 0\n"));
    });
    EXPECT_EQ(errors.substr(0, 12 + parameters.size()), table && !*table ? "Cannot read " + parameters : "");
    const Scene& scene = _window->scene();
    const auto values = SceneItem::floatValues(scene.at(scene.size() - 1).parameters(), "T");
    EXPECT_EQ(values ? values->sum() : 0, table && *table ? 6 : 0) << name;
  }
}

// A map chosen before a mesh is loaded colours it too, and its values widen the range the map spans.
TEST_F(ParametricMaps, AMapChosenBeforeColoursMeshesLoadedLaterOverTheWidenedRange) {
  parameterCombo->setCurrentText("T");
  colormapCombo->setCurrentText("Temperature");
  file("later-parameters.df", "T\n18\n18\n18\n18\n");
  _window->openFile(file("later.tm", sheet(5)));
  ASSERT_EQ(numShapes(), 4);
  EXPECT_EQ(*_window->scene().parameters().at("T").getMaximum(), 18.0f);
  EXPECT_EQ(colormapCombo->currentText(), "Temperature");
  EXPECT_EQ(vertexColor(3, 0), Colormap::cold2Hot(256).getColor(255));
  EXPECT_EQ(vertexColor(1, 1), Colormap::cold2Hot(256).getColor(128)); // 9 is the middle of 0 to 18
}
