// Programs run as a user runs them. ostrel-render with no display server: picture size, cycle colours,
// transparent and cropped pictures, refusals; its picture agrees with the viewer's frame (shapes, images,
// voxel-matrix slices), parametric maps and turntable videos; the viewer's
// "Snapshot at size..." writes the asked picture. The entry point's report of a failure that leaves the
// event loop.
#include "application/ProblemsBar.h"
#include "application/ShapePainterFactory.h"
#include "imaging/Colormap.h"
#include "imaging/ImageWriter.h"
#include "imaging/VoxelMatrix.h"
#include "tests/application/MainWindowFixture.h"
#include "tests/support/OffscreenGL.h"
#include "viewer/SliderSpinBox.h"
#include "viewer/ViewerCanvasGL.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QSpinBox>

namespace {

struct ProgramRun {
  int status; // -1 when the program did not exit normally
  std::string errors;
};

// Runs program (by default ostrel-render) with no display server: its exit status and error stream.
ProgramRun runProgram(const QStringList& arguments, const QString& program = OSTREL_RENDER_PROGRAM) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  process.setProcessEnvironment(environment);
  process.start(program, arguments);
  process.waitForFinished(60000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromLocal8Bit(process.readAllStandardError()).toStdString()};
}

// Two squares facing the viewer, left and right of the centre; the right one lies nearer.
class RenderCommand : public MainWindowFixture {
protected:
  QString left =
      file("left.tm", "# 8\n# 3\n# 4\n-2 -1 0\n-0.5 -1 0\n-0.5 1 0\n-2 1 0\n# 2\n0 1 2\n0 2 3\n# 0\n");
  QString right =
      file("right.tm", "# 8\n# 3\n# 4\n0.5 -1 1\n2 -1 1\n2 0.5 1\n0.5 0.5 1\n# 2\n0 1 2\n0 2 3\n# 0\n");
  QString output = QString::fromStdString(_dir.file("picture.png"));
  const QStringList black = {"--uniform", "--background", "0,0,0", "--no-box"};
};

// A square facing the viewer in the viewer's lights: ambient 80 and diffuse 128 with the global ambient
// of 0.2 give about its colour, the specular 128 adds half a white.
QColor litFacing(const Vector<int>& c) {
  const auto lit = [](int v) { return std::min(255, static_cast<int>(v * (0.2 + 208 / 255.0) + 128)); };
  return QColor(lit(c[0]), lit(c[1]), lit(c[2]));
}

// Pixels whose channels differ by more than one between the pictures.
int differingPixels(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      differing += std::abs(qRed(p) - qRed(q)) > 1 || std::abs(qGreen(p) - qGreen(q)) > 1 ||
                   std::abs(qBlue(p) - qBlue(q)) > 1;
    }
  return differing;
}

// "codec,width,height,pixel format,frames" of a video as ffprobe reads it; empty when it cannot.
std::string probeVideo(const QString& file) {
  QProcess ffprobe;
  ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=codec_name,width,height,pix_fmt,nb_read_frames", "-of", "csv=p=0", file});
  ffprobe.waitForFinished(-1);
  return ffprobe.exitCode() ? "" : QString(ffprobe.readAllStandardOutput()).trimmed().toStdString();
}

QRect alphaBounds(const QImage& image) {
  QRect bounds;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) bounds |= QRect(x, y, 1, 1);
  return bounds;
}

} // namespace

TEST_F(RenderCommand, DrawsEachShapeInItsCycleColourWhereItLiesAndCropsToTheModel) {
  ASSERT_EQ(
      runProgram(QStringList{"-o", output, "--resolution", "160,120"} + black + QStringList{left, right})
          .status,
      0);
  const QImage picture(output);
  ASSERT_EQ(picture.size(), QSize(160, 120));
  for (int n = 0; n < 2; ++n) {
    const QColor lit = litFacing(ShapePainterFactory::cycleColor(n, 14));
    EXPECT_TRUE(pixelNear(picture, n == 0 ? 55 : 105, 65, lit)) << n;
  }
  EXPECT_TRUE(pixelNear(picture, 80, 20, Qt::black, 0));
  // Transparent and cropped pictures keep only the model.
  ASSERT_EQ(runProgram({"-o", output, "--transparent", "--no-box", left, right}).status, 0);
  const QImage whole(output);
  ASSERT_TRUE(whole.hasAlphaChannel());
  for (const QPoint corner : {QPoint(0, 0), QPoint(799, 799)}) EXPECT_EQ(qAlpha(whole.pixel(corner)), 0);
  EXPECT_EQ(qAlpha(whole.pixel(300, 400)), 255);
  const QRect model = alphaBounds(whole);
  // Cropping follows what was drawn, over a gradient as over a transparent background.
  for (const QStringList& background : {QStringList{"--transparent"}, QStringList{}}) {
    ASSERT_EQ(runProgram(QStringList{"-o", output, "--crop", "--no-box", left, right} + background).status,
              0);
    const QImage cropped(output);
    EXPECT_EQ(cropped.size(), model.size()) << background.join(" ").toStdString();
    if (!background.isEmpty()) {
      EXPECT_EQ(cropped, whole.copy(model));
    }
  }
}

// --clip cuts away what lies on the negative side of a plane through the scene's centre (the squares
// lie left and right of it); --opacity lets the background through.
TEST_F(RenderCommand, ClipsShapesAndDrawsThemAtTheAskedOpacity) {
  const QColor leftColor = litFacing(ShapePainterFactory::cycleColor(0, 14));
  const QColor rightColor = litFacing(ShapePainterFactory::cycleColor(1, 14));
  const auto half = [](const QColor& c) { return QColor(c.red() / 2, c.green() / 2, c.blue() / 2); };
  const struct {
    QStringList options;
    QColor leftShows, rightShows;
  } cases[] = {
      {{"--clip", "1,0,0,0"}, Qt::black, rightColor},
      {{"--clip", "1,0,0,0", "--clip", "-1,0,0,-1"}, Qt::black, Qt::black},
      {{"--opacity", "50"}, half(leftColor), half(rightColor)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options.join(" ").toStdString());
    ASSERT_EQ(runProgram(QStringList{"-o", output, "--resolution", "160,120"} + black + c.options +
                         QStringList{left, right})
                  .status,
              0);
    const QImage picture(output);
    EXPECT_TRUE(pixelNear(picture, 55, 65, c.leftShows));
    EXPECT_TRUE(pixelNear(picture, 105, 65, c.rightShows));
  }
}

TEST_F(RenderCommand, RefusesBadCommandLinesAndReportsUnreadableFilesWhileDrawingTheOthers) {
  const auto in = [this](const char* name) { return QString::fromStdString(_dir.file(name)); };
  const struct {
    QStringList arguments;
    int status;
    const char* says;
  } cases[] = {
      {{"-o", output, "--frobnicate", left}, 2, "unknown option '--frobnicate'"},
      {{"-o", output, "--zoom", "3", left}, 2, "--zoom: '3' is not a number from 5 to 1000"},
      {{"-o", output, "--rotation", "1,2", left}, 2, "--rotation: '1,2' should be 3 numbers"},
      {{"-o", output, "--resolution", "100000,10", left}, 2, "'100000' is not a number from 1 to 16384"},
      {{"-o", left, right, left}, 2, "left.tm' is one of the files to draw"},
      {{"-o", in("copy.TM"), left}, 2, "copy.TM' is named as a file that ostrel-render reads (.tm)"},
      {{"-o", in("no/such/folder.png"), left}, 2, "such does not exist or cannot be written to"},
      {{"-o", in("picture.xyz"), left}, 2, "pictures are written as "},
      {{left}, 2, "no output file"},
      {{"-o", output, "--clip", "1,0,0", left}, 2, "--clip: '1,0,0' should be 4 numbers"},
      {{"-o", output, "--clip=1,0,0,0", "--clip=0,1,0,0", "--clip=0,0,1,0", "--clip=1,1,0,0", left},
       2,
       "--clip: at most 3 planes"},
      {{"-o", output, "--opacity", "0", left}, 2, "--opacity: '0' is not a number from 1 to 100"},
      {{"-o", output, QString::fromStdString(_dir.file("missing.tm")), left},
       1,
       "missing.tm: Cannot open file"},
      {{"-o", output, "--colormap", "Fire", left}, 2, "--colormap and --range colour the meshes by"},
      {{"-o", output, "--map", "T", "--colormap", "Blue", left}, 2, "'Blue' is none of Grey, Fire, Thermal"},
      {{"-o", output, "--map", "T", "--range", "5,1", left}, 2, "'5,1' has its minimum above its maximum"},
      {{"-o", output, "--turntable", "1", "--crop", left}, 2, "--crop cannot be used with --turntable"},
      {{"-o", output, "--map", "T", left}, 1, "no triangle mesh has a parameter named T"},
      {{"-o", output, "--each", "pictures", left}, 2, "-o cannot be used with --each"},
      {{"--each", "pictures", left, left}, 2, "/left.tm would both be drawn into pictures/left.png"},
  };
  for (const auto& c : cases) {
    QFile::remove(output);
    const ProgramRun run = runProgram(c.arguments);
    EXPECT_EQ(run.status, c.status) << c.says;
    EXPECT_NE(run.errors.find(c.says), std::string::npos) << run.errors;
    EXPECT_EQ(QFile::exists(output), c.status == 1) << c.says; // the readable file is still drawn
  }
  EXPECT_TRUE(QImage(left).isNull()) << "an input refused as the output is left as it was";
  EXPECT_EQ(runProgram({"-o", in("picture.jpg"), left}).status, 0);
  QFile jpeg(in("picture.jpg"));
  EXPECT_TRUE(jpeg.open(QIODevice::ReadOnly) && jpeg.read(2) == "\xff\xd8") << "JPEG bytes, not PNG";
}

// --each draws every file alone, centred in its own picture named after it, in a folder it makes; a file
// that fails is named and leaves no picture.
TEST_F(RenderCommand, DrawsEachFileIntoItsOwnPictureAndGoesOnAfterAFailure) {
  const QString missing = QString::fromStdString(_dir.file("missing.tm"));
  const QString folder = QString::fromStdString(_dir.file("new/pictures"));
  const ProgramRun run = runProgram(QStringList{"--each", folder, "--resolution", "160,120"} + black +
                                    QStringList{left, missing, right});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("failed: " + missing.toStdString()), std::string::npos) << run.errors;
  EXPECT_THAT(QDir(folder).entryList(QDir::Files), testing::ElementsAre("left.png", "right.png"));
  for (const char* name : {"left.png", "right.png"})
    EXPECT_TRUE(
        pixelNear(QImage(folder + "/" + name), 80, 60, litFacing(ShapePainterFactory::cycleColor(0, 14))))
        << name;
}

// The canvas and ostrel-render draw the same frame of the same scene: start pose and standard poses.
TEST_F(RenderCommand, DrawsTheViewersFramePixelForPixelAndTheSnapshotAtTheAskedSize) {
  QOpenGLContext probe;
  if (!probe.create()) GTEST_SKIP() << "no OpenGL on this display";
  _window->openFile(left);
  _window->openFile(right);
  _window->waitForLoads();
  ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
  canvas.resize(150, 110);
  QImage unposed;
  for (const int pose : {0, 2, 6}) {
    if (pose == 2) _window->mediator()->setStandardPose2();
    if (pose == 6) _window->mediator()->setRevStandardPose3();
    const QImage viewer = canvas.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    QStringList arguments = {"-o", output, "--scaling", "1", "--resolution", "150,110", left, right};
    if (pose) arguments << "--pose" << QString::number(pose);
    ASSERT_EQ(runProgram(arguments).status, 0);
    const QImage picture(output);
    ASSERT_EQ(picture.size(), viewer.size());
    EXPECT_EQ(differingPixels(viewer, picture), 0)
        << "pose " << pose << ": " << saveFrame(viewer, "viewer") << " " << saveFrame(picture, "render");
    if (pose == 0) {
      unposed = viewer;
    } else {
      EXPECT_NE(viewer, unposed) << "pose " << pose << " turns the model";
    }
  }
  // "File" > "Snapshot at size..." offers twice the canvas, and saves the asked size with a transparent
  // background when asked.
  const QString snapshot = QString::fromStdString(_dir.file("snapshot.png"));
  QSize offered;
  whenModalShows([&](QWidget* dialog) {
    auto* width = dialog->findChild<QSpinBox*>("width");
    auto* height = dialog->findChild<QSpinBox*>("height");
    offered = QSize(width->value(), height->value());
    width->setValue(300), height->setValue(100);
    dialog->findChild<QCheckBox*>("transparent")->setChecked(true);
    whenModalShows(
        [&](QWidget* files) {
          files->findChild<QLineEdit*>("fileNameEdit")->setText(snapshot);
          static_cast<QDialog*>(files)->accept();
        },
        "QFileDialog");
    static_cast<QDialog*>(dialog)->accept();
  });
  for (QAction* action : _window->findChildren<QAction*>())
    if (action->text() == "Snapshot at size...") action->trigger();
  EXPECT_EQ(offered, 2 * canvas.size());
  const QImage saved(snapshot);
  ASSERT_EQ(saved.size(), QSize(300, 100));
  EXPECT_EQ(qAlpha(saved.pixel(0, 0)), 0);
  EXPECT_FALSE(alphaBounds(saved).isEmpty());
}

// A figure made in the window (a parametric map, a look changed, the scene turned, zoomed and panned with the
// mouse by fractions the pose panel rounds, a clipping plane, a uniform background, a tight scene box) and
// saved as a view is drawn again pixel for pixel by ostrel-render from the files at another scaling, and by
// the window when the view is loaded back after everything was changed.
TEST_F(RenderCommand, RedrawsAFigureSavedAsAView) {
  QOpenGLContext probe;
  if (!probe.create()) GTEST_SKIP() << "no OpenGL on this display";
  file("left-parameters.df", "T\n0\n1\n2\n3\n");
  _window->setScaling(scaling(2));
  _window->openFile(left);
  _window->openFile(right);
  _window->waitForLoads();
  Scene& scene = _window->scene();
  ParameterData map;
  map.setName("T");
  map.setColormapName("Fire");
  map.updateMinimum(0.5f);
  map.updateMaximum(2.5f);
  ASSERT_TRUE(_window->mediator()->chooseParameter(map));
  ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
  canvas.resize(150, 110);
  ShapePainterAttributesGL look;
  look.clear();
  look.setOpacity(120);
  look.setColor(Vector<int>(std::vector<int>{200, 40, 90}));
  scene.apply({scene.at(1).id()}, look);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(&canvas, &press);
  for (const auto& [keys, to] :
       {std::pair(Qt::NoModifier, QPointF(63, 58)), std::pair(Qt::ControlModifier, QPointF(70, 58)),
        std::pair(Qt::AltModifier, QPointF(73, 61))}) {
    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, keys);
    QApplication::sendEvent(&canvas, &move);
  }
  ClipPlanesGL planes;
  planes[0] = {true, {1.0, 0.2, 0.0}, 2.0}; // through the left square
  canvas.setClipPlanes(planes);
  BackgroundGL background;
  background.setGradientEnabled(false);
  canvas.setBackground(background);
  canvas.setBoundingBoxScaling(100); // the scene box drawn tight around the shapes
  const QImage figure = canvas.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  const QString view = QString::fromStdString(_dir.file("figure.json"));
  ASSERT_TRUE(_window->saveView(view));

  ASSERT_EQ(runProgram({"-o", output, "--resolution", "150,110", "--view", view, left, right}).status, 0);
  const QImage picture(output);
  EXPECT_EQ(differingPixels(figure, picture), 0)
      << saveFrame(figure, "window") << " " << saveFrame(picture, "render");

  _window->mediator()->resetPose();
  _window->mediator()->chooseParameter(ParameterData());
  canvas.setClipPlanes(ClipPlanesGL());
  canvas.setBoundingBoxScaling(110);
  look.setOpacity(255);
  scene.apply(scene.ids(), look);
  _window->loadView(view);
  const QImage again = canvas.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(differingPixels(figure, again), 0) << saveFrame(again, "loaded");
  EXPECT_TRUE(_window->problemsBar()->problems().isEmpty());
}

// ostrel-render draws images and voxel matrices as the canvas does: an 8-bit TIFF image and slice 2 of a
// matrix whose values go beyond 0..255, shown through their own range.
TEST_F(RenderCommand, DrawsImagesAndVoxelMatrixSlicesAsTheViewerDoes) {
  Image image(30, 20, 8);
  for (int i = 0; i < 20; ++i)
    for (int j = 0; j < 30; ++j) image.row(i)[j] = static_cast<unsigned char>(8 * i + j);
  ImageWriter().write(image, _dir.file("image.tif"));
  VoxelMatrix<float> matrix(4, 25, 25);
  for (int k = 0; k < 25; ++k)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 25; ++j) matrix(i, j, k) = 1000.0f * i + 40.0f * j + k;
  matrix.save(_dir.file("matrix.vm"));
  _window->openFile(QString::fromStdString(_dir.file("image.tif")));
  _window->openFile(QString::fromStdString(_dir.file("matrix.vm")));
  _window->waitForLoads();
  _window->findChild<SliderSpinBox*>()->findChild<QSpinBox*>()->setValue(2);
  ViewerCanvasGL& canvas = *_window->mediator()->getCanvas();
  canvas.resize(150, 110);
  canvas.setRotation(Vector<float>(std::vector<float>{20, 60, 0}));
  const QImage viewer = canvas.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(runProgram({"-o", output, "--resolution", "150,110", "--rotation", "20,60,0", "--slice", "2",
                        QString::fromStdString(_dir.file("image.tif")),
                        QString::fromStdString(_dir.file("matrix.vm"))})
                .status,
            0);
  const QImage picture(output);
  ASSERT_EQ(picture.size(), viewer.size());
  EXPECT_EQ(differingPixels(viewer, picture), 0)
      << saveFrame(viewer, "viewer") << " " << saveFrame(picture, "render");
}

// --map colours the meshes with the panel's defaults (its grey map over the variable's whole range on all
// meshes) or the colour map and range asked, with the colour bar at the right edge; --turntable writes an
// H.264 video in yuv420p of seconds x fps frames, odd sides padded, ".mp4" added to a bare name.
TEST_F(RenderCommand, ColoursMeshesByAParameterAndWritesTurntableVideos) {
  file("left-parameters.df", "T\n0\n0\n0\n0\n");
  file("right-parameters.df", "T\n10\n10\n10\n10\n");
  const Colormap hot = Colormap::cold2Hot(256);
  const struct {
    QStringList map;
    Vector<int> left, right;
  } cases[] = {
      {{"--map", "T"}, std::vector<int>{0, 0, 0}, std::vector<int>{255, 255, 255}},
      {{"--map", "T", "--range", "-10,10"}, std::vector<int>{128, 128, 128}, std::vector<int>{255, 255, 255}},
      {{"--map", "T", "--colormap", "Temperature"}, hot.getColor(0), hot.getColor(255)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.map.join(" ").toStdString());
    ASSERT_EQ(runProgram(QStringList{"-o", output, "--resolution", "160,120"} + black + c.map +
                         QStringList{left, right})
                  .status,
              0);
    const QImage picture(output);
    EXPECT_TRUE(pixelNear(picture, 55, 65, litFacing(c.left))) << saveFrame(picture);
    EXPECT_TRUE(pixelNear(picture, 105, 65, litFacing(c.right))) << saveFrame(picture);
    EXPECT_NE(picture.pixelColor(155, 60), QColor(Qt::black)) << "the colour bar";
  }
  const QString movie = QString::fromStdString(_dir.file("movie"));
  ASSERT_EQ(
      runProgram({"-o", movie, "--resolution", "81,60", "--turntable", "0.5", "--fps", "8", left, right})
          .status,
      0);
  EXPECT_EQ(probeVideo(movie + ".mp4"), "h264,82,60,yuv420p,4");
}

TEST(EntryPoint, ReportsAnExceptionLeavingTheLoopAndCarriesOn) {
  const std::pair<QString, std::string> cases[] = {
      {"exception", "void VoxelMatrix<T>::load(const string&)\n"
                    "Cannot open file\n"
                    "[0] void VoxelMatrix<T>::load(const string&)\n"
                    "[1] void ShapeViewerMainWindow::loadVoxelMatrix(...)\n"
                    "returned 0\n"},
      {"standard", "standard failure\nreturned 0\n"}}; // the text of a std::exception
  for (const auto& [failure, expected] : cases) {
    SCOPED_TRACE(failure.toStdString());
    const ProgramRun run = runProgram({failure}, OSTREL_GUARDED_LOOP_PROBE);
    EXPECT_EQ(run.status, 7); // the probe's own exit after the loop returned
    EXPECT_THAT(run.errors, testing::EndsWith(expected));
  }
}
