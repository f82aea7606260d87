// Mouse and wheel on a real canvas, and its snapshots: the four modifier sets, the quarter-degree
// grid of composed rotations, the zoom clamps, the cropped snapshot and the unwritable path.
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
#include <QSettings>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A shown 100 x 100 canvas that counts the poses it announces.
struct CanvasUnderTest {
  CanvasUnderTest() {
    QSettings().clear();
    canvas.resize(100, 100);
    QObject::connect(&canvas, &ViewerCanvasGL::poseChanged, [this](const Pose&) { ++announced; });
  }
  ViewerCanvasGL canvas;
  int announced = 0;
};

} // namespace

// Left drags turn about the screen axes from wherever the scene stands, snapped to a quarter degree;
// Control zooms, Alt pans; other buttons or keys change nothing and announce nothing.
TEST(CanvasDrag, ActsOnlyForTheFourModifierSets) {
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

// Each notch changes the zoom by 0.15 within [0.01, 5].
TEST(CanvasWheel, ZoomsByNotchesWithinTheClamps) {
  const struct {
    int zoom, notches; // positive notches turn away from the user
    float want;
  } cases[] = {{100, 1, 0.85f}, {100, -2, 1.3f}, {450, -5, 5.0f}, {100, 30, 0.01f}};
  for (const auto& c : cases) {
    CanvasUnderTest t;
    t.canvas.setZoom(c.zoom);
    for (int i = 0; i < std::abs(c.notches); ++i) {
      QWheelEvent wheel(QPointF(50, 50), QPointF(), QPoint(), QPoint(0, c.notches > 0 ? 120 : -120),
                        Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
      QApplication::sendEvent(&t.canvas, &wheel);
    }
    EXPECT_NEAR(t.canvas.getZoom(), c.want, 1e-5) << c.notches;
    EXPECT_EQ(t.announced, std::abs(c.notches));
  }
}

// "Snapshot (cropped)" of a block on a uniform background saves the block; an unwritable name is
// reported with the name.
TEST(CanvasSnapshot, SavesTheCroppedFrameAndReportsAnUnwritableFile) {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
  CanvasUnderTest t;
  BlockPainter block(-0.5f, -0.25f, 0, 0.5f, 0.25f, 0, 250, 40, 40);
  block.setBox(cubeBox(1));
  t.canvas.addPainter(block);
  BackgroundGL uniform;
  uniform.setGradientEnabled(false);
  t.canvas.setBackground(uniform);
  t.canvas.toggleBoundingBox(false);
  t.canvas.initializeGL();
  TemporaryDirectory dir;
  const std::string names[] = {dir.file("cropped.png"),
                               "/proc/ostrel-frame.png"}; // no file can be made in /proc
  QString reported;
  for (const std::string& name : names) {
    whenModalShows(
        [&](QWidget* dialog) { // typed as a user types it: selectFile() skips a name field with the focus
          dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(name));
          static_cast<QDialog*>(dialog)->accept();
          if (name != names[0])
            whenModalShows(
                [&](QWidget* box) {
                  reported = qobject_cast<QMessageBox*>(box)->text();
                  static_cast<QDialog*>(box)->accept();
                },
                "QMessageBox");
        },
        "QFileDialog");
    t.canvas.croppedSnapshot();
  }
  const QImage saved(QString::fromStdString(names[0]));
  EXPECT_TRUE(saved.width() > 10 && saved.width() < 50 && std::abs(saved.width() - 2 * saved.height()) <= 2);
  EXPECT_TRUE(pixelNear(saved, 0, 0, QColor(250, 40, 40)));
  EXPECT_TRUE(pixelNear(saved, saved.width() - 1, saved.height() - 1, QColor(250, 40, 40)));
  EXPECT_TRUE(reported.endsWith(QString::fromStdString(names[1])));
}
