// Mouse and wheel on a real canvas, and its snapshots: the four modifier sets, the quarter-degree
// grid of composed rotations, the zoom clamps, the cropped rectangle and the unwritable path.
#include "viewer/ViewerCanvasGL.h"

#include "tests/support/ModalDialogs.h"
#include "tests/support/OffscreenGL.h"
#include "tests/support/TestFiles.h"
#include "tests/support/VectorPrinting.h"
#include "tests/viewer/CanvasDrag.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

namespace {

// A shown 100 x 100 canvas that counts the poses it announces.
struct CanvasUnderTest {
  CanvasUnderTest() {
    QSettings().clear();
    canvas.resize(100, 100);
    QObject::connect(&canvas, &ViewerCanvasGL::poseChanged, [this](const Pose&) { ++announced; });
  }
  void wheel(int notches) { // positive: away from the user
    QWheelEvent event(QPointF(50, 50), QPointF(), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&canvas, &event);
  }
  ViewerCanvasGL canvas;
  int announced = 0;
};

// Answers the next file dialog with the name, as typed by a user, then runs `next`.
void answerFileDialog(const std::string& name, std::function<void()> next = {}) {
  whenModalShows(
      [name, next](QWidget* dialog) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(name));
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog checks the name first
        if (next) next();
      },
      "QFileDialog");
}

} // namespace

// Left drags turn about the screen axes from wherever the scene stands; Control zooms, Alt pans;
// any other set of buttons or keys changes nothing and announces nothing.
TEST(CanvasDrag, ActsOnlyForTheFourModifierSets) {
  struct Case {
    const char* name;
    Vector<float> from;
    Qt::MouseButtons held;
    Qt::KeyboardModifiers keys;
    QPoint move;
    Vector<float> want;
    float zoom, panX, panY;
  };
  const Qt::MouseButtons left = Qt::LeftButton, right = Qt::RightButton;
  const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
  const Vector<float> zero = point3(0, 0, 0);
  const Case cases[] = {
      {"right", zero, left, none, {40, 0}, point3(0, 10, 0), 1, 0, 0},
      {"down", zero, left, none, {0, 40}, point3(10, 0, 0), 1, 0, 0},
      {"about the screen's axes", point3(90, 0, 0), left, none, {40, 0}, point3(90, 0, -10), 1, 0, 0},
      {"snapped to the grid", point3(30, 20, 0), left, none, {12, 29}, point3(37.75f, 22.5f, -1.5f), 1, 0, 0},
      {"shift spins about z", zero, left, shift, {30, 0}, point3(0, 0, 30), 1, 0, 0},
      {"shift after x", point3(90, 0, 0), left, shift, {30, 0}, point3(90, 30, 0), 1, 0, 0},
      {"control zooms", zero, left, Qt::ControlModifier, {30, 5}, zero, 1.9f, 0, 0},
      {"control zoom clamped", zero, left, Qt::ControlModifier, {-60, 0}, zero, 0.01f, 0, 0},
      {"alt pans", zero, left, alt, {10, 20}, zero, 1, -0.1f, 0.2f},
      {"right button: nothing", zero, right, none, {30, 10}, zero, 1, 0, 0},
      {"both buttons: nothing", zero, left | right, none, {30, 10}, zero, 1, 0, 0},
      {"shift+control: nothing", zero, left, shift | Qt::ControlModifier, {30, 10}, zero, 1, 0, 0},
      {"alt+shift: nothing", point3(5, 0, 0), left, alt | shift, {30, 10}, point3(5, 0, 0), 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CanvasUnderTest t;
    t.canvas.setRotation(c.from);
    drag(t.canvas, c.move, c.held, c.keys);
    EXPECT_EQ(t.canvas.getRotation(), c.want);
    EXPECT_FLOAT_EQ(t.canvas.getZoom(), c.zoom);
    EXPECT_FLOAT_EQ(t.canvas.getTranslationX(), c.panX);
    EXPECT_FLOAT_EQ(t.canvas.getTranslationY(), c.panY);
    EXPECT_EQ(t.announced, c.want != c.from || c.zoom != 1 || c.panX != 0 ? 1 : 0);
  }
}

TEST(CanvasDrag, SuccessiveTurnsStayOnTheQuarterDegreeGrid) {
  CanvasUnderTest t;
  const QPoint moves[] = {{7, 3}, {-13, 5}, {1, -1}, {23, 17}, {-3, -29}};
  for (int round = 0; round < 4; ++round)
    for (const QPoint& move : moves) {
      drag(t.canvas, move, Qt::LeftButton, round % 2 ? Qt::ShiftModifier : Qt::NoModifier);
      const Vector<float>& r = t.canvas.getRotation();
      for (int i = 0; i < 3; ++i) ASSERT_EQ(r[i] * 4, std::round(r[i] * 4)) << testing::PrintToString(r);
    }
}

// Each notch changes the zoom by 0.15 within [0.01, 5]; a double click resets all but the lights.
TEST(CanvasWheel, ZoomsByNotchesWithinTheClampsAndADoubleClickResets) {
  const struct {
    int zoomPercent, notches;
    float want;
  } cases[] = {{100, 1, 0.85f}, {100, -2, 1.3f}, {450, -5, 5.0f}, {100, 30, 0.01f}};
  for (const auto& c : cases) {
    CanvasUnderTest t;
    t.canvas.setZoom(c.zoomPercent);
    for (int i = 0; i < std::abs(c.notches); ++i) t.wheel(c.notches > 0 ? 1 : -1);
    EXPECT_NEAR(t.canvas.getZoom(), c.want, 1e-5) << c.notches;
    EXPECT_EQ(t.announced, std::abs(c.notches));
  }
  CanvasUnderTest t;
  t.canvas.setAmbientLight(200);
  drag(t.canvas, {10, 10}, Qt::LeftButton, Qt::AltModifier);
  drag(t.canvas, {10, 10});
  QTest::mouseDClick(&t.canvas, Qt::LeftButton);
  const Pose pose = t.canvas.getPose();
  EXPECT_EQ(pose.getRotation(), point3(0, 0, 0));
  EXPECT_EQ(pose.getTranslation(), Vector<int>(std::vector<int>{0, 0}));
  EXPECT_EQ(pose.getZoom(), 100);
  EXPECT_EQ(pose.getAmbientLight(), 200);
}

// The crop keeps the rows and columns holding a pixel unlike the corner's.
TEST(CanvasSnapshot, CropKeepsTheBoundingRectangleOfWhatDiffersFromTheCorner) {
  const std::pair<QRect, QRect> cases[] = {{QRect(10, 20, 30, 5), QRect(10, 20, 30, 5)},
                                           {QRect(60, 70, 4, 10), QRect(60, 70, 4, 10)},
                                           {QRect(), QRect(0, 0, 64, 80)},            // uniform
                                           {QRect(0, 5, 1, 3), QRect(0, 0, 64, 80)}}; // column 0 only
  ViewerCanvasGL canvas;
  for (const auto& [drawn, want] : cases) {
    QImage image(64, 80, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30));
    for (int y = drawn.top(); y <= drawn.bottom(); ++y)
      for (int x = drawn.left(); x <= drawn.right(); ++x) image.setPixelColor(x, y, QColor(10, 20, 31));
    QImage cropped = image;
    canvas.cropImage(cropped);
    EXPECT_EQ(cropped, image.copy(want)) << drawn.x() << ", " << drawn.y();
  }
}

// "Snapshot (cropped)" of a block on a uniform background saves the block; an unwritable name is
// reported with the name; a cancelled dialog writes nothing.
TEST(CanvasSnapshot, SavesTheCroppedFrameAndReportsAnUnwritableFile) {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  CanvasUnderTest t;
  BlockPainter block(-0.5f, -0.25f, 0, 0.5f, 0.25f, 0, 250, 40, 40);
  block.setBox(cubeBox(1));
  t.canvas.addPainter(block);
  BackgroundGL black;
  black.setColor(Vector<int>(std::vector<int>{0, 0, 0}));
  black.setGradientEnabled(false);
  t.canvas.setBackground(black);
  t.canvas.toggleBoundingBox(false);
  t.canvas.initializeGL();

  TemporaryDirectory dir;
  answerFileDialog(dir.file("cropped.png"));
  t.canvas.croppedSnapshot();
  const QImage saved(QString::fromStdString(dir.file("cropped.png")));
  // 100 pixels show 2 x 1.2 scene scales (0.6 x the diagonal) at the centre, 6 scales from the eye.
  const float pixelsPerUnit = 100 / (2 * 0.6f * 2 * std::sqrt(3.0f)) * 5 / 6;
  EXPECT_NEAR(saved.width(), pixelsPerUnit, 1.5);
  EXPECT_NEAR(saved.height(), 0.5f * pixelsPerUnit, 1.5);
  EXPECT_TRUE(pixelNear(saved, 0, 0, QColor(250, 40, 40)));
  EXPECT_TRUE(pixelNear(saved, saved.width() - 1, saved.height() - 1, QColor(250, 40, 40)));

  const std::string unwritable = "/proc/ostrel-frame.png"; // no file can be made there, even by root
  QString reported;
  answerFileDialog(unwritable, [&] {
    whenModalShows(
        [&](QWidget* box) {
          reported = qobject_cast<QMessageBox*>(box)->text();
          qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
        },
        "QMessageBox");
  });
  t.canvas.uncroppedSnapshot();
  EXPECT_EQ(reported.toStdString(), "Could not write file\n\n" + unwritable);

  whenModalShows([](QWidget* dialog) { qobject_cast<QDialog*>(dialog)->reject(); });
  t.canvas.uncroppedSnapshot(); // nothing written, nothing shown
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
