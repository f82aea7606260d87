// The viewer driven as a user drives it, on a real canvas. Numeric widgets: values set by the program
// never echo, user changes always do, slider and spin box agree. The mediator carries changes from
// panel to canvas and back, and runs one motion at a time (R key, angle and interval dialogs, "Toggle
// animation" over the selected shapes). Mouse and wheel: the four modifier sets, the quarter-degree
// grid of composed rotations, the zoom clamps. Snapshots: the cropped frame and the unwritable path.
// The motions and the pose animation stepped by hand, and pose owners. Recording the canvas into
// videos made by the real ffmpeg and read back with ffprobe: frame rate and count, the even size,
// every offered container, the extension rule, a name no shell could take, a failed encoding that
// keeps the frames, and no frame directory left behind. Landmarks picked with Z: the front surface
// under the cursor, nothing over empty space, Control+Z and clearing, meshes that leave the canvas,
// and the ".vx" file written.
#include "foundation/Maths.h"
#include "foundation/RandomEngine.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VerticesPainterGL.h"
#include "viewer/DoubleSliderSpinBox.h"
#include "viewer/LandmarksDelegate.h"
#include "viewer/SliderSpinBox.h"
#include "viewer/VideoRecorder.h"
#include "viewer/VideoRecordingDialog.h"
#include "viewer/ViewerAnimation.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerMediator.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerRandomMotion.h"
#include "viewer/ViewerScaleBarPanel.h"
#include "viewer/ViewerSpinningMotion.h"

#include "tests/support/MeshFixtures.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/OffscreenGL.h"
#include "tests/support/TestFiles.h"
#include "tests/support/VectorPrinting.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QDirIterator>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Presses the first of the held buttons at the widget's centre, moves by `move` in one step with all
// of them held and the keys down, and releases.
inline void drag(QWidget& widget, QPoint move, Qt::MouseButtons held = Qt::LeftButton,
                 Qt::KeyboardModifiers keys = Qt::NoModifier) {
  const QPoint start = widget.rect().center();
  const Qt::MouseButton first = (held & Qt::LeftButton) ? Qt::LeftButton : Qt::RightButton;
  QTest::mousePress(&widget, first, keys, start);
  QMouseEvent moved(QEvent::MouseMove, start + move, widget.mapToGlobal(start + move), Qt::NoButton, held,
                    keys);
  QApplication::sendEvent(&widget, &moved);
  QTest::mouseRelease(&widget, first, keys, start + move);
}

// Shows a widget as the active window, where the window's shortcuts work.
inline void showActive(QWidget& widget) {
  widget.show();
  QApplication::setActiveWindow(&widget);
}

inline QSlider* sliderOf(QWidget* box) {
  return box->findChild<QSlider*>();
}
// The n-th input box of a widget, in creation order.
inline SliderSpinBox* inputBox(QWidget* owner, int n) {
  return owner->findChildren<SliderSpinBox*>().at(n);
}
// A user dragging the box's slider to a position, or pressing the up arrow in its spin box.
inline void dragSlider(QWidget* box, int position) {
  sliderOf(box)->setSliderPosition(position);
}
inline void stepUp(QWidget* box) {
  QTest::keyClick(box->findChild<QAbstractSpinBox*>(), Qt::Key_Up);
}

// Notes the keys whose presses reach it.
class KeyNotingCanvas : public ViewerCanvasGL {
public:
  std::vector<int> keys;

protected:
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

// A 100 x 100 canvas, counting the poses it announces, wired to panels and menus by a mediator.
struct ViewerMediatorTest : CanvasTest {
  ViewerMediatorTest() {
    canvas.resize(100, 100);
    QObject::connect(&canvas, &ViewerCanvasGL::poseChanged, [this](const Pose&) { ++announced; });
    mediator.setCanvas(canvas);
    mediator.setPosePanel(panel);
    mediator.setScaleBarPanel(scaleBar);
    mediator.initialize();
    mediator.populatePoseMenu(poseMenu);
  }
  int shown(int box) { return inputBox(&panel, box)->getValue(); }
  void choose(int combo, const char* item) { // what a click on the item sends
    emit panel.findChildren<QComboBox*>().at(combo)->textActivated(item);
  }

  // A mediator whose selected shapes are the keys the test chooses.
  struct SelectingMediator : ViewerMediator {
    std::vector<int> selected;
    std::vector<int> selectedShapes() const override { return selected; }
  };

  KeyNotingCanvas canvas;
  ViewerPosePanel panel;
  ViewerScaleBarPanel scaleBar;
  SelectingMediator mediator;
  QMenu poseMenu;
  int announced = 0;
};

// Hands out the given uniform draws, then 0.5 (no reversal) for ever.
struct ScriptedEngine : RandomEngine {
  explicit ScriptedEngine(std::vector<double> d) : draws(std::move(d)) {}
  void init(long) override {}
  long uniformL() override { return 0; }
  double uniformLF() override { return next < draws.size() ? draws[next++] : 0.5; }
  std::vector<double> draws;
  std::size_t next = 0;
};

void expectAngles(const Vector<float>& got, const Vector<float>& want) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-3f) << i;
}

// "codec,width,height,pixel format,rate,frames" of the video stream as ffprobe reads it; empty when
// it cannot.
std::string probe(const std::string& file) {
  QProcess ffprobe;
  ffprobe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames", "-of",
                            "csv=p=0", QString::fromStdString(file)});
  ffprobe.waitForFinished(-1);
  return ffprobe.exitCode() ? "" : QString(ffprobe.readAllStandardOutput()).trimmed().toStdString();
}

QStringList filesBelow(const QString& directory) { // relative paths, sorted
  QStringList found;
  for (QDirIterator it(directory, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
    found << QDir(directory).relativeFilePath(it.next());
  found.sort();
  return found;
}

// A 101 x 75 canvas showing a block, with a recorder whose dialog is open.
struct RecordingUnderTest {
  RecordingUnderTest() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    canvas.resize(101, 75);
    canvas.addPainter(block);
    video.initialize(canvas);
  }
  void click(const char* text) const {
    for (QPushButton* button : canvas.findChild<VideoRecordingDialog*>()->findChildren<QPushButton*>())
      if (button->text() == text) button->click();
  }
  // " Record ", then frames grabbed by hand: the frame timer needs the event loop, which does not run.
  void record(int frames) {
    click(" Record ");
    for (int i = 0; i < frames; ++i) video.saveImage();
  }
  // " Stop ", answering the save dialog with a name (in the output directory unless absolute) and a
  // filter (the one offered first when empty); an empty name cancels it.
  void stop(const std::string& name, const QString& filter = "") {
    const QString path = QString::fromStdString(name.empty() || name[0] == '/' ? name : out.file(name));
    whenModalShows(
        [=](QWidget* chooser) {
          if (!filter.isEmpty()) static_cast<QFileDialog*>(chooser)->selectNameFilter(filter);
          chooser->findChild<QLineEdit*>("fileNameEdit")->setText(path);
          static_cast<QDialog*>(chooser)->done(path.isEmpty() ? QDialog::Rejected : QDialog::Accepted);
        },
        "QFileDialog");
    click(" Stop ");
  }

  ViewerCanvasGL canvas;
  BlockPainter block{-0.5f, -0.25f, 0, 0.5f, 0.25f, 0, 250, 40, 40};
  VideoRecorder video;
  TemporaryDirectory out;
};

// A square sheet over [-1, 1]^2 on the plane z = height + slope * x, two triangles.
std::unique_ptr<TriMesh<float>> sheet(float height, float slope) {
  auto mesh = makeMesh(
      {{-1, -1, height - slope}, {1, -1, height + slope}, {1, 1, height + slope}, {-1, 1, height - slope}},
      {{0, 1, 2}, {0, 2, 3}});
  mesh->computeNormals();
  return mesh;
}

// A shown 200 x 200 canvas with a landmark picker, the meshes given to both through their painters.
struct PickingCanvas {
  PickingCanvas() {
    QSettings().clear();
    canvas.resize(200, 200);
    showActive(canvas); // Z and Control+Z are the window's shortcuts
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&canvas));
  }
  TriMeshPainterGL<float>& add(std::unique_ptr<TriMesh<float>> mesh) {
    painters.push_back(std::make_unique<TriMeshPainterGL<float>>());
    painters.back()->setShape(*mesh);
    meshes.push_back(std::move(mesh));
    canvas.addPainter(*painters.back());
    picker.addTriMesh(*painters.back());
    canvas.grabFramebuffer(); // paints: picks use the matrices of the last paint
    return *painters.back();
  }
  // Z (or Control+Z) with the mouse cursor over a canvas position, as the user presses it.
  void press(QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier) {
    QCursor::setPos(canvas.mapToGlobal(at));
    QTest::keyClick(&canvas, Qt::Key_Z, keys);
  }
  int count() const { return picker.getLandmarks() ? picker.getLandmarks()->getNumVertices() : 0; }
  Vector<float> last() const { return picker.getLandmarks()->vertex(count() - 1); }

  std::vector<std::unique_ptr<TriMesh<float>>> meshes;
  ViewerCanvasGL canvas;
  LandmarksDelegate picker{&canvas};
  std::vector<std::unique_ptr<TriMeshPainterGL<float>>> painters;
};

} // namespace

// Program-set values are silent; a user change on either half is announced with the new value and
// the other half follows.
TEST(NumericWidgets, ProgramValuesAreSilentAndUserChangesAnnouncedWithBothHalvesAgreeing) {
  SliderSpinBox box("x ", nullptr, 5, 1000, " %");
  QSignalSpy boxSpy(&box, &SliderSpinBox::valueChanged);
  EXPECT_EQ(box.getValue(), 5); // 0 taken into the range
  box.setValue(40);
  box.setMaximum(500);
  dragSlider(&box, 41);
  stepUp(&box);
  ASSERT_EQ(boxSpy.count(), 2);
  EXPECT_EQ(boxSpy.at(1).at(0).toInt(), 42);
  EXPECT_EQ(box.findChild<QSpinBox*>()->value(), 42);

  DoubleSliderSpinBox real("a", "b", nullptr);
  QSignalSpy realSpy(&real, &DoubleSliderSpinBox::valueChanged);
  real.setValue(0.3);
  EXPECT_EQ(realSpy.count(), 0);
  stepUp(&real);
  EXPECT_NEAR(real.getValue(), 0.4, 1e-6);
  dragSlider(&real, 7);
  EXPECT_NEAR(realSpy.last().at(0).toDouble(), 0.7, 1e-6);
  EXPECT_NEAR(real.findChild<QDoubleSpinBox*>()->value(), 0.7, 1e-6);
  // A range above the old maximum, set an end at a time as the map panel does, leaves no dead zone.
  real.setMinimum(100);
  real.setMaximum(200);
  real.setSingleStep(1);
  EXPECT_EQ(sliderOf(&real)->minimum(), 0);
  dragSlider(&real, 0);
  EXPECT_NEAR(real.getValue(), 100, 1e-6);
}

// The scene box bounds the controls in data units; the announced bar is in scene units, its caption
// gives its sizes, fractions included, in the unit chosen.
TEST(ScaleBarPanel, BoundsItsControlsByTheSceneBoxAndAnnouncesScaledBoxesWithTheirCaption) {
  ViewerScaleBarPanel panel;
  BoundingBox<float> announced;
  QString caption;
  QObject::connect(&panel, &ViewerScaleBarPanel::scaleBarChanged,
                   [&](const BoundingBox<float>& b) { announced = b; });
  QObject::connect(&panel, &ViewerScaleBarPanel::captionChanged, [&](const QString& c) { caption = c; });
  panel.setBoundingBox(BoundingBox<float>());
  EXPECT_FALSE(panel.isEnabled());
  panel.setScaling(point3(2, 2, 2));
  panel.setBoundingBox(BoundingBox<float>(point3(0, 0, 0), point3(200, 100, 50)));
  EXPECT_TRUE(panel.isEnabled());
  const QList<QDoubleSpinBox*> boxes = panel.findChildren<QDoubleSpinBox*>(); // origin and size per axis
  EXPECT_EQ(boxes[0]->maximum(), 100);                                        // "X"
  panel.setScaling(point3(0.5f, 0.5f, 2.0f));
  panel.findChild<QCheckBox*>()->click();
  boxes[0]->setValue(2.5);
  boxes[1]->setValue(1.25);
  EXPECT_EQ(announced.getVertex1(), point3(1.25f, 0, 0));
  EXPECT_EQ(announced.getVertex2(), point3(1.875f, 0, 0));
  EXPECT_EQ(caption, "1.25 µm");
  boxes[3]->setValue(0.5);
  panel.findChild<QComboBox*>()->setCurrentText("nm");
  EXPECT_EQ(caption, "1.25 × 0.5 nm");
}

// Panel to canvas (user changes), canvas to panel (a drag and a double click), and the scale bar.
TEST_F(ViewerMediatorTest, RoutesPanelChangesToTheCanvasAndCanvasChangesToThePanel) {
  dragSlider(inputBox(&panel, 5), 250);
  stepUp(inputBox(&panel, 1)); // through the spin box: the slider follows before the announcement
  dragSlider(inputBox(&panel, 6), 30);
  EXPECT_FLOAT_EQ(canvas.getZoom(), 2.5f);
  EXPECT_EQ(canvas.getRotation(), point3(0, 1, 0));
  EXPECT_EQ(canvas.getPose().getAmbientLight(), 30);
  choose(0, "Uniform"); // the panel's own colour, not the canvas's
  EXPECT_FALSE(canvas.getBackground().isGradientEnabled());
  EXPECT_EQ(canvas.getBackground().getColor()[2], 255);
  dragSlider(inputBox(&panel, 9), 3);
  EXPECT_EQ(canvas.view().projection.getPerspectiveStrength(), 3);
  choose(1, "Orthographic");
  EXPECT_TRUE(canvas.view().projection.isOrthographic());
  EXPECT_FALSE(inputBox(&panel, 9)->isEnabled());
  choose(1, "Perspective"); // strength 1 again, whatever the box shows
  EXPECT_EQ(canvas.view().projection.getPerspectiveStrength(), 1);
  panel.findChild<QCheckBox*>()->click();
  EXPECT_FALSE(canvas.view().sceneBoxShown);
  EXPECT_FALSE(inputBox(&panel, 10)->isEnabled());
  panel.findChild<QComboBox*>("clipPlane")->setCurrentIndex(1);
  panel.findChild<QCheckBox*>("clipPlaneOn")->click();
  panel.findChild<QDoubleSpinBox*>("clipPlaneOffset")->setValue(4);
  EXPECT_TRUE(canvas.view().clipPlanes[1].enabled);
  EXPECT_EQ(canvas.view().clipPlanes[1].offset, 4);
  EXPECT_FALSE(canvas.view().clipPlanes[0].enabled);

  drag(canvas, {36, 0});
  EXPECT_EQ(shown(1), 10);
  QTest::mouseDClick(&canvas, Qt::LeftButton);
  EXPECT_EQ(shown(1), 0);
  EXPECT_EQ(shown(5), 100);
  EXPECT_EQ(shown(6), 30); // the lights stay

  BlockPainter block(0, 0, 0, 20, 10, 5, 255, 255, 255);
  canvas.addPainter(block);
  canvas.setBoundingBoxScaling(100); // the new scene box reaches the scale bar panel
  const QList<QDoubleSpinBox*> bar = scaleBar.findChildren<QDoubleSpinBox*>();
  EXPECT_EQ(bar[0]->maximum(), 20);
  EXPECT_FALSE(canvas.view().scaleBarShown);
  scaleBar.findChild<QCheckBox*>()->click();
  bar[1]->setValue(3); // a bar 3 wide at the origin
  EXPECT_TRUE(canvas.view().scaleBarShown);
  EXPECT_EQ(canvas.view().scaleBar.getVertex2(), point3(3, 0, 0));
  EXPECT_EQ(canvas.view().scaleBarCaption, "3 µm");
}

TEST_F(ViewerMediatorTest, StandardPosesFromTheMenuKeepTheLights) {
  dragSlider(inputBox(&panel, 6), 200);
  dragSlider(inputBox(&panel, 5), 300);
  drag(canvas, {16, 20}, Qt::LeftButton, Qt::AltModifier);
  const std::pair<int, Vector<float>> cases[] = {{1, point3(0, 90, 0)},
                                                 {5, point3(-90, 0, 0)}}; // entry, angles
  for (const auto& [entry, rotation] : cases) {
    poseMenu.actions().at(entry)->trigger();
    const Pose pose = canvas.getPose();
    EXPECT_EQ(pose.getRotation(), rotation);
    EXPECT_EQ(pose.getZoom(), 100);
    EXPECT_EQ(pose.getTranslation(), Vector<int>(std::vector<int>{0, 0}));
    EXPECT_EQ(pose.getAmbientLight(), 200);
    EXPECT_EQ(shown(0), static_cast<int>(rotation[0]));
    EXPECT_EQ(shown(6), 200);
  }
}

// R is the random motion's shortcut, which works wherever the focus is in the canvas's window.
TEST_F(ViewerMediatorTest, SwallowsDeleteTakesRForTheMotionAndLetsOtherKeysReachTheCanvas) {
  showActive(canvas);
  const std::pair<QKeySequence, bool> cases[] = {
      {Qt::Key_Delete, false}, {Qt::Key_R, false}, {Qt::CTRL | Qt::Key_R, true}, {Qt::Key_A, true}};
  for (const auto& [key, reaches] : cases) {
    canvas.keys.clear();
    QTest::keySequence(&canvas, key);
    const int code = key[0] & ~Qt::KeyboardModifierMask;
    EXPECT_EQ(std::count(canvas.keys.begin(), canvas.keys.end(), code), reaches ? 1 : 0) << code;
  }
  EXPECT_TRUE(mediator.getRandomMotion().isActive());
  mediator.toggleRandomMotion();
}

// Left drags turn about the screen axes from wherever the scene stands, snapped to a quarter degree;
// Control zooms, Alt pans; other buttons or keys change nothing and announce nothing.
TEST_F(ViewerMediatorTest, DragActsOnlyForTheFourModifierSets) {
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier, control = Qt::ControlModifier;
  const Vector<float> zero = point3(0, 0, 0), x90 = point3(90, 0, 0);
  const struct {
    Vector<float> from;
    Qt::MouseButtons held;
    Qt::KeyboardModifiers keys;
    QPoint move;
    Vector<float> want;
    float zoom, panX, panY;
  } cases[] = {{zero, Qt::LeftButton, none, {40, 0}, point3(0, 10, 0), 1, 0, 0},
               {zero, Qt::LeftButton, none, {0, 40}, point3(10, 0, 0), 1, 0, 0},
               {x90, Qt::LeftButton, none, {40, 0}, point3(90, 0, -10), 1, 0, 0},
               {point3(30, 20, 0), Qt::LeftButton, none, {12, 29}, point3(37.75f, 22.5f, -1.5f), 1, 0, 0},
               {zero, Qt::LeftButton, shift, {30, 0}, point3(0, 0, 30), 1, 0, 0},
               {x90, Qt::LeftButton, shift, {30, 0}, point3(90, 30, 0), 1, 0, 0},
               {zero, Qt::LeftButton, control, {30, 5}, zero, 1.9f, 0, 0},
               {zero, Qt::LeftButton, Qt::AltModifier, {10, 20}, zero, 1, -0.1f, 0.2f},
               {zero, Qt::RightButton, none, {30, 10}, zero, 1, 0, 0},
               {x90, Qt::LeftButton, shift | control, {30, 10}, x90, 1, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.move.x() << ", " << c.move.y() << " keys " << c.keys);
    canvas.setPose(Pose());
    canvas.setRotation(c.from);
    announced = 0;
    drag(canvas, c.move, c.held, c.keys);
    EXPECT_EQ(canvas.getRotation(), c.want);
    EXPECT_FLOAT_EQ(canvas.getZoom(), c.zoom);
    EXPECT_FLOAT_EQ(canvas.getTranslationX(), c.panX);
    EXPECT_FLOAT_EQ(canvas.getTranslationY(), c.panY);
    EXPECT_EQ(announced, c.want != c.from || c.zoom != 1 || c.panX != 0 ? 1 : 0);
  }
}

// The canvas shows its frames in a native window of its own: they reach the screen, a drag there turns
// the scene as on the widget, and a click there gives the keyboard focus to the canvas widget, whose
// top-level window's shortcuts then work.
TEST(CanvasWindow, PutsFramesOnTheScreenAndHandsItsInputToTheCanvas) {
  QSettings().clear();
  QWidget top;
  auto* layout = new QHBoxLayout(&top);
  auto* edit = new QLineEdit;
  auto* canvas = new ViewerCanvasGL;
  layout->addWidget(edit);
  layout->addWidget(canvas);
  canvas->setBackground(uniform(200, 40, 40));
  top.resize(300, 120);
  showActive(top);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
  edit->setFocus();
  QWindow* window = nullptr;
  for (QWindow* each : QGuiApplication::allWindows())
    if (each->parent() == top.windowHandle()) window = each;
  ASSERT_TRUE(window);
  QTRY_VERIFY(window->isExposed());
  canvas->repaint();
  const QPoint corner = canvas->mapToGlobal(QPoint(0, 0));
  const QImage screen =
      top.screen()->grabWindow(0, corner.x(), corner.y(), canvas->width(), canvas->height()).toImage();
  EXPECT_TRUE(pixelNear(screen, canvas->width() / 2, canvas->height() / 2, QColor(200, 40, 40), 2));
  QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(10, 50));
  QTest::mouseMove(window, QPoint(50, 50));
  QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_EQ(canvas->getRotation(), point3(0, 10, 0));
  EXPECT_TRUE(canvas->hasFocus());
}

// Each notch changes the zoom by 0.15 within [0.01, 5].
TEST_F(ViewerMediatorTest, WheelZoomsByNotchesWithinTheClamps) {
  const struct {
    int zoom, notches; // positive notches turn away from the user
    float want;
  } cases[] = {{100, 1, 0.85f}, {100, -2, 1.3f}, {450, -5, 5.0f}, {100, 30, 0.01f}};
  for (const auto& c : cases) {
    canvas.setZoom(c.zoom);
    announced = 0;
    for (int i = 0; i < std::abs(c.notches); ++i) {
      QWheelEvent wheel(QPointF(50, 50), QPointF(), QPoint(), QPoint(0, c.notches > 0 ? 120 : -120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&canvas, &wheel);
    }
    EXPECT_NEAR(canvas.getZoom(), c.want, 1e-5) << c.notches;
    EXPECT_EQ(announced, std::abs(c.notches));
  }
}

// "Snapshot (cropped)" of a block on a uniform background saves the block, a name without suffix
// getting ".png"; an unwritable name is reported with the name.
TEST_F(CanvasTest, SnapshotSavesTheCroppedFrameAndReportsAnUnwritableFile) {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  BlockPainter block(-0.5f, -0.25f, 0, 0.5f, 0.25f, 0, 250, 40, 40);
  auto canvas = flatView({&block});
  TemporaryDirectory dir;
  const std::string names[] = {dir.file("cropped"), "/proc/ostrel-frame.png"}; // no file can be made in /proc
  QString reported;
  for (const std::string& name : names) {
    whenModalShows(
        [&](QWidget* dialog) { // typed as a user types it: selectFile() skips a name field with the focus
          dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(name));
          static_cast<QDialog*>(dialog)->accept();
          if (name != names[0]) acceptMessageBox(reported);
        },
        "QFileDialog");
    canvas->croppedSnapshot();
  }
  const QImage saved(QString::fromStdString(names[0] + ".png"));
  EXPECT_TRUE(saved.width() > 10 && saved.width() < 50 && std::abs(saved.width() - 2 * saved.height()) <= 2);
  EXPECT_TRUE(pixelNear(saved, 0, 0, QColor(250, 40, 40)));
  EXPECT_TRUE(pixelNear(saved, saved.width() - 1, saved.height() - 1, QColor(250, 40, 40)));
  EXPECT_TRUE(reported.endsWith(QString::fromStdString(names[1])));
}

// All three angles move by the angle in their direction and wrap beyond +-180; a draw below 0.001
// reverses its own axis, three draws per step, x first.
TEST(RandomMotion, DriftsAllAnglesWrapsAtHalfTurnAndReversesAnAxisOnASmallDraw) {
  // angle, start, draws, steps, angles after them
  for (const auto& [angle, from, draws, steps, want] :
       {std::make_tuple(5, point3(173, -5, -173), std::vector<double>{0.5, 0.5, 0.0005}, 2,
                        point3(-177, 5, 177)), // z reversed, then all wrap
        {2, point3(0, 0, 0), {0.5, 0.5, 0.5, 0.7, 0.0009, 0.2}, 2, point3(4, 0, 4)},
        {1, point3(179, 0, 0), {0.001, 0.001, 0.001}, 1, point3(180, 1, 1)},
        {-3, point3(-179, 180, -177), {}, 1, point3(178, 177, -180)}}) {
    ViewerRandomMotion motion;
    motion.getRandomGenerator().setRandomEngine(new ScriptedEngine(draws));
    motion.setAngle(angle);
    motion.setRotation(from);
    for (int i = 0; i < steps; ++i) motion.step();
    expectAngles(motion.getRotation(), want);
  }
}

// Each step turns the scene about the screen's vertical axis, whatever its orientation, and the
// angles are not snapped: n steps give the old rotation turned on the left by n x angle about y.
TEST(SpinningMotion, TurnsAboutTheScreensVerticalAxisWithoutSnapping) {
  using namespace Maths;
  const auto matrix = [](const Vector<float>& d) {
    return xRotationMatrix3D(toRadians(d[0])) * yRotationMatrix3D(toRadians(d[1])) *
           zRotationMatrix3D(toRadians(d[2]));
  };
  for (const auto& [from, angle, steps] : {std::make_tuple(point3(90, 0, 0), 1, 1),
                                           {point3(-45, 60, 170), -3, 5},
                                           {point3(30, 20, 10), 1, 360}}) {
    ViewerSpinningMotion motion;
    motion.setAngle(angle);
    motion.setRotation(from);
    for (int i = 0; i < steps; ++i) motion.step();
    const Matrix<float> want = yRotationMatrix3D(toRadians(float(angle * steps))) * matrix(from);
    const Matrix<float> got = matrix(motion.getRotation());
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[r][k], want[r][k], steps * 2e-6f) << angle << r << k;
  }
}

// The window of stepSize shapes moves forward and wraps (circular), turns at both ends (back and
// forth), or stops at the end (no auto-repeat). Stopping, at the end or by a toggle, gives every
// shape back the visibility it had at the start (h: hidden). A new interval applies at once to the
// running timer.
TEST(PoseAnimation, ShowsItsWindowForwardCircularOrBackAndForthAndStopsAsItStarted) {
  // shapes, step size, circular, auto-repeat; the shapes shown after the start, then after each step
  for (const auto& [shapes, stepSize, circular, autoRepeat, want] :
       {std::make_tuple(std::string("sssss"), 1, false, true, std::string("0 1 2 3 4 3 2 1 0 0 1")),
        {"sssss", 1, true, true, "0 1 2 3 4 0 1"},
        {"ssss", 2, true, true, "01 23 01"},
        {"sss", 1, true, false, "0 1 2 012 012"},
        {"sssss", 2, false, true, "01 23 4 34 12 01 23"},
        {"shs", 1, true, true, "0 1 2 0"}}) {
    SCOPED_TRACE(shapes + std::to_string(stepSize) + std::to_string(circular));
    std::vector<bool> visible; // of the shapes keyed 10, 11, ...
    std::vector<int> keys;
    for (char kind : shapes) {
      visible.push_back(kind == 's');
      keys.push_back(10 + int(keys.size()));
    }
    ViewerAnimation animation;
    animation.setVisibilityReader([&](int key) { return bool(visible.at(std::size_t(key - 10))); });
    QObject::connect(&animation, &ViewerAnimation::visibilityRequested,
                     [&](const std::vector<int>& requested, const std::vector<bool>& shown) {
                       for (std::size_t k = 0; k < requested.size(); ++k)
                         visible.at(std::size_t(requested[k] - 10)) = shown[k];
                     });
    ViewerAnimationConfig config;
    config.setStepSize(stepSize);
    config.setCircular(circular);
    config.setAutoRepeat(autoRepeat);
    animation.setConfig(config);
    animation.setShapes(keys);
    int announced = 0;
    QObject::connect(&animation, &ViewerAnimation::currentIndexChanged, [&] { ++announced; });
    const auto shown = [&] {
      std::string indexes;
      for (std::size_t k = 0; k < visible.size(); ++k)
        if (visible[k]) indexes += std::to_string(k);
      return indexes;
    };
    animation.toggle();
    const int steps = int(std::count(want.begin(), want.end(), ' '));
    std::string seen;
    for (int i = 0; i <= steps; ++i) {
      if (i) animation.makeOneStep(), seen += ' ';
      seen += shown();
    }
    EXPECT_EQ(seen, want);
    EXPECT_EQ(animation.isRunning(), autoRepeat);
    EXPECT_EQ(announced, steps + 1);
    config.setTimeout(20);
    animation.setConfig(config);
    EXPECT_EQ(animation.findChild<QTimer*>()->interval(), autoRepeat ? 20 : 50);
    if (autoRepeat) animation.toggle();
    std::string atStart;
    for (std::size_t k = 0; k < shapes.size(); ++k)
      if (shapes[k] == 's') atStart += std::to_string(k);
    EXPECT_EQ(shown(), atStart);
  }
}

// R and the two toggles keep at most one motion running. A motion's step reaches the canvas and
// the other motion; a user pose change on the canvas re-bases both. The angle and interval dialogs
// set both motions, a running timer at once, and save the value on OK only. "Toggle animation"
// animates the selected shapes with the chosen setup and saves it; with none selected it
// runs over the previous shapes with the previous setup; cancelled it does not start; running, it
// stops. Shapes that go leave the animation.
TEST_F(ViewerMediatorTest, MotionsRunOneAtATimeFollowTheCanvasAndTakeTheDialogsValues) {
  ViewerRandomMotion& random = mediator.getRandomMotion();
  ViewerSpinningMotion& spinning = mediator.getSpinningMotion();
  // R key, Spinning toggle, random toggle; then the motions running
  showActive(canvas);
  for (const char* s : {"S-s", "Rr-", "R--", "S-s", "rr-", "S-s", "S--"}) {
    if (s[0] == 'R') QTest::keyClick(&canvas, Qt::Key_R);
    if (s[0] == 'S') mediator.toggleSpinningMotion();
    if (s[0] == 'r') mediator.toggleRandomMotion();
    EXPECT_EQ(random.isActive(), s[1] == 'r') << s;
    EXPECT_EQ(spinning.isActive(), s[2] == 's') << s;
  }
  const auto answer = [&](void (ViewerMediator::*run)(), int typed, bool ok) {
    whenModalShows([=](QWidget* dialog) {
      static_cast<QInputDialog*>(dialog)->setIntValue(typed);
      static_cast<QDialog*>(dialog)->done(ok ? QDialog::Accepted : QDialog::Rejected);
    });
    (mediator.*run)();
  };
  answer(&ViewerMediator::runRandomMotionAngleDialog, 45, false);
  answer(&ViewerMediator::runRandomMotionTimeoutDialog, 9, false);
  EXPECT_TRUE(QSettings().allKeys().isEmpty());
  answer(&ViewerMediator::runRandomMotionAngleDialog, 10, true);
  spinning.step();
  expectAngles(canvas.getRotation(), point3(0, 10, 0));
  random.getRandomGenerator().setRandomEngine(new ScriptedEngine({}));
  random.step();
  expectAngles(spinning.getRotation(), point3(10, 20, 10));
  Pose dragged;
  dragged.setRotation(point3(5, 6, 7));
  emit canvas.poseChanged(dragged);
  expectAngles(random.getRotation(), point3(5, 6, 7));
  expectAngles(spinning.getRotation(), point3(5, 6, 7));
  mediator.toggleSpinningMotion();
  EXPECT_EQ(spinning.findChild<QTimer*>()->interval(), 50);
  answer(&ViewerMediator::runRandomMotionTimeoutDialog, 90, true);
  EXPECT_EQ(spinning.findChild<QTimer*>()->interval(), 90);
  EXPECT_EQ(random.getTimeout(), 90);
  EXPECT_EQ(QSettings().value("viewer/motion/angle").toInt(), 10);
  EXPECT_EQ(QSettings().value("viewer/motion/timeout").toInt(), 90);
  mediator.toggleSpinningMotion();

  ViewerAnimation& animation = mediator.getAnimation();
  // step size and button in the dialog (none: no dialog, the running animation stops); running after
  for (const auto& [stepSize, button, running] :
       {std::make_tuple(3, "Cancel", false), {3, "Start", true}, {0, "", false}, {5, "Start", true}}) {
    mediator.selected = stepSize != 5 ? std::vector<int>{7} : std::vector<int>{}; // the last start finds none
    if (*button)
      whenModalShows([stepSize = stepSize, button = button](QWidget* dialog) {
        dialog->findChildren<QSpinBox*>().at(1)->setValue(stepSize);
        dialog->findChildren<QCheckBox*>().at(1)->setChecked(false); // back and forth
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
          if (b->text() == button) b->click();
      });
    mediator.toggleAnimation();
    EXPECT_EQ(animation.isRunning(), running) << stepSize;
  }
  EXPECT_EQ(animation.getShapes(), std::vector<int>{7});
  EXPECT_EQ(animation.getConfig().getStepSize(), 3);
  EXPECT_EQ(QSettings().value("viewer/animation/stepSize").toInt(), 3);
  EXPECT_FALSE(animation.getConfig().isCircular());
  animation.removeShapes({8, 7});
  EXPECT_TRUE(animation.getShapes().empty());
  animation.makeOneStep();
}

// At 25 frames per second the frame timer ticks every 40 ms and each tick becomes one frame of a
// video of the canvas made even in size, H.264 in yuv420p, ".mp4" unless another filter is chosen.
// When ffmpeg fails the user reads its last lines and the frames stay: " Record " adds to them and
// " Stop " saves them. Each later recording starts again from the first frame; each offered filter
// gives a video ffprobe reads; its extension is added unless the name ends in a video suffix in any
// case; a name full of shell syntax is taken as it is.
TEST(VideoRecording, RecordsTheCanvasIntoVideosFfprobeReadsUnderExactlyTheNamesChosen) {
  RecordingUnderTest t;
  EXPECT_EQ(t.canvas.size(), QSize(102, 76));
  QTest::keyClick(t.canvas.findChild<QSpinBox*>(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(t.canvas.findChild<QSpinBox*>(), "25");
  t.click(" Record ");
  EXPECT_EQ(t.video.findChild<QTimer*>()->interval(), 40);
  const QString frames = t.video.getTmpDir();
  ASSERT_TRUE(QTest::qWaitFor([&] { return filesBelow(frames).size() >= 4; }, 10000));
  QString told;
  acceptMessageBox(told);
  t.stop("/proc/ostrel-video.mp4"); // nothing can be made there: ffmpeg's last line names the file
  EXPECT_TRUE(told.split("\n").last().contains("/proc/ostrel-video.mp4")) << told.toStdString();
  const int kept = filesBelow(frames).size();
  EXPECT_GE(kept, 4);
  t.record(1);
  t.stop("clip");
  EXPECT_EQ(probe(t.out.file("clip.mp4")), "h264,102,76,yuv420p,25/1," + std::to_string(kept + 1));
  EXPECT_NE(readFile(t.out.file("clip.mp4")).find("crf=20.0"),
            std::string::npos); // the quality asked of x264
  EXPECT_FALSE(QDir(frames).exists());
  QDir(QString::fromStdString(t.out.path())).mkdir("my clips");
  QStringList want{"clip.mp4"};
  for (const auto& [typed, filter, saved] : {std::make_tuple("clip", "*.mpg", "clip.mpg"),
                                             {"b.AVI", "*.avi", "b.AVI"},
                                             {"movie.mp4", "*.mpg", "movie.mp4"},
                                             {"clip", "*.mov", "clip.mov"},
                                             {"clip", "*.flv", "clip.flv"},
                                             {"my clips/a;b $(x).mp4", "*.mp4", "my clips/a;b $(x).mp4"}}) {
    t.record(2);
    t.stop(typed, filter);
    EXPECT_EQ(probe(t.out.file(saved)), "h264,102,76,yuv420p,25/1,2") << saved;
    want << saved;
  }
  want.sort();
  EXPECT_EQ(filesBelow(QString::fromStdString(t.out.path())), want);
}

// " Cancel ", closing the dialog, cancelling the save dialog and closing the program throw the
// frames away with their directory.
TEST(VideoRecording, CancelAndCloseLeaveNoFramesBehind) {
  for (const std::string way : {"cancel", "close", "no name", "quit"}) {
    auto t = std::make_unique<RecordingUnderTest>();
    t->record(2);
    const QString frames = t->video.getTmpDir();
    ASSERT_TRUE(QDir(frames).exists());
    if (way == "cancel") t->click(" Cancel ");
    if (way == "close") t->canvas.findChild<VideoRecordingDialog*>()->close();
    if (way == "no name") t->stop("");
    if (way == "quit") t.reset();
    EXPECT_FALSE(QDir(frames).exists()) << way;
  }
}

// Z marks the surface point under the cursor nearest to the viewer, whichever mesh it belongs to.
TEST(LandmarkPicking, MarksTheFrontSurfaceUnderTheCursor) {
  const struct {
    const char* name;
    std::vector<float> heights; // one tilted sheet per height, slope 0.25
    float turn;                 // degrees about the vertical axis
    QPoint at;
    int picked;
    float height; // of the sheet that must be hit
  } cases[] = {
      {"centre of one sheet", {0.2f}, 0, {100, 100}, 1, 0.2f},
      {"off centre", {0.2f}, 0, {70, 130}, 1, 0.2f},
      {"empty space", {0.2f}, 0, {2, 2}, 0, 0},
      {"front of two", {-0.5f, 0.5f}, 0, {110, 90}, 1, 0.5f},
      {"front of two, other order", {0.5f, -0.5f}, 0, {110, 90}, 1, 0.5f},
      {"turned round, the other is in front", {0.5f, -0.5f}, 180, {110, 90}, 1, -0.5f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PickingCanvas scene;
    for (float height : c.heights) scene.add(sheet(height, 0.25f));
    scene.canvas.setRotation(point3(0, c.turn, 0));
    scene.canvas.grabFramebuffer();
    scene.press(c.at);
    ASSERT_EQ(scene.count(), c.picked);
    if (c.picked == 0) continue;
    const Vector<float> p = scene.last();
    EXPECT_NEAR(p[2], c.height + 0.25f * p[0], 1e-5f); // on the surface that was hit
    // Under the cursor: the point projects back to where the cursor was.
    EXPECT_LT(std::abs(p[0] - (c.turn == 0 ? 1 : -1) * (c.at.x() - 100) / 100.0f * 1.8f), 1.0f);
    EXPECT_GT((p[1] - 0) * (100 - c.at.y()), -1e-3f);
  }
}

// Control+Z removes the last mark, clearing removes all, a mesh gone from the canvas is no longer
// hit (marks on it stay), and the file holds the marks in order with ".vx" appended.
TEST(LandmarkPicking, UndoesClearsForgetsRemovedMeshesAndSaves) {
  PickingCanvas scene;
  TriMeshPainterGL<float>& front = scene.add(sheet(0.5f, 0));
  scene.add(sheet(-0.5f, 0));
  const QPoint at[] = {{60, 60}, {100, 100}, {140, 120}};
  for (const QPoint& p : at) scene.press(p);
  ASSERT_EQ(scene.count(), 3);
  scene.press({100, 100}, Qt::ControlModifier);
  EXPECT_EQ(scene.count(), 2);
  EXPECT_EQ(scene.canvas.getPainters().size(), 3u); // the two meshes and the marks

  TemporaryDirectory dir;
  scene.picker.saveLandmarks(dir.file("marks"));
  const Vertices<float> saved(dir.file("marks.vx"));
  ASSERT_EQ(saved.getNumVertices(), 2);
  for (int v = 0; v < 2; ++v) EXPECT_EQ(saved.vertex(v), scene.picker.getLandmarks()->vertex(v));

  scene.canvas.removePainter(front);
  scene.picker.removeTriMesh(*scene.meshes.front());
  EXPECT_EQ(scene.picker.numQueries(), 1);
  scene.press({100, 100});
  ASSERT_EQ(scene.count(), 3);
  EXPECT_FLOAT_EQ(scene.last()[2], -0.5f); // the sheet behind is hit now

  scene.picker.clearLandmarks();
  EXPECT_EQ(scene.count(), 0);
  EXPECT_EQ(scene.canvas.getPainters().size(), 1u);
  scene.press({100, 100}, Qt::ControlModifier); // nothing to undo
  scene.picker.saveLandmarks(dir.file("none"));
  EXPECT_EQ(readFile(dir.file("none.vx")), "");
}
