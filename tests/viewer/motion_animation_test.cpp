// The motions and the pose animation stepped by hand, and how the mediator drives them: one motion
// at a time, the R key, the angle and interval dialogs, "Toggle animation" over the selected shapes.
#include "foundation/Maths.h"
#include "foundation/RandomEngine.h"
#include "rendering/VerticesPainterGL.h"
#include "viewer/ShapeViewerPainterGL.h"
#include "viewer/ViewerAnimation.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerMediator.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerRandomMotion.h"
#include "viewer/ViewerSpinningMotion.h"

#include "tests/support/ModalDialogs.h"
#include "tests/viewer/CanvasTestPainters.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

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

std::unique_ptr<ShapeViewerPainterGL> shapePainter() {
  auto painter = std::make_unique<ShapeViewerPainterGL>();
  painter->setProxy(new VerticesPainterGL<float>());
  return painter;
}

} // namespace

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

// The window of stepSize painters moves forward and wraps (circular), turns at both ends (back and
// forth), or stops at the end leaving the last window shown (no auto-repeat, nothing announced
// past the end). A painter that is no shape viewer painter (x) is left alone. A new interval
// applies at once to the running timer.
TEST(PoseAnimation, ShowsItsWindowForwardCircularOrBackAndForth) {
  // painters (s: shape viewer painter), step size, circular, auto-repeat; the painters shown after
  // the start, then after each step
  for (const auto& [painters, stepSize, circular, autoRepeat, want] :
       {std::make_tuple(std::string("sssss"), 1, false, true, std::string("0 1 2 3 4 3 2 1 0 0 1")),
        {"sssss", 1, true, true, "0 1 2 3 4 0 1"},
        {"ssss", 2, true, true, "01 23 01"},
        {"sss", 1, true, false, "0 1 2 2 2"},
        {"sssss", 2, false, true, "01 23 4 34 12 01 23"},
        {"sxs", 1, true, true, "0  2 0"}}) {
    SCOPED_TRACE(painters + std::to_string(stepSize) + std::to_string(circular));
    std::vector<std::unique_ptr<ShapeViewerPainterGL>> shapes;
    VerticesPainterGL<float> plain;
    std::vector<PainterGL<float>*> list;
    for (char kind : painters) {
      shapes.push_back(shapePainter());
      list.push_back(kind == 's' ? static_cast<PainterGL<float>*>(shapes.back().get()) : &plain);
    }
    ViewerAnimation animation;
    ViewerAnimationConfig config;
    config.setStepSize(stepSize);
    config.setCircular(circular);
    config.setAutoRepeat(autoRepeat);
    animation.setConfig(config);
    animation.setPainters(list);
    int announced = 0;
    QObject::connect(&animation, &ViewerAnimation::currentIndexChanged, [&] { ++announced; });
    animation.toggle();
    const int steps = int(std::count(want.begin(), want.end(), ' '));
    std::string shown;
    for (int i = 0; i <= steps; ++i) {
      if (i) animation.makeOneStep(), shown += ' ';
      for (std::size_t k = 0; k < list.size(); ++k)
        if (list[k] != &plain && shapes[k]->getProxy()->isVisible()) shown += std::to_string(k);
    }
    EXPECT_EQ(shown, want);
    EXPECT_EQ(animation.isRunning(), autoRepeat);
    EXPECT_EQ(announced, autoRepeat ? steps + 1 : int(list.size()));
    config.setTimeout(20);
    animation.setConfig(config);
    EXPECT_EQ(animation.findChild<QTimer*>()->interval(), autoRepeat ? 20 : 50);
  }
}

// R and the two toggles keep at most one motion running. A motion's step reaches the canvas and
// the other motion; a user pose change on the canvas re-bases both. The angle and interval dialogs
// set both motions, a running timer at once, and save the value on OK only. "Toggle animation"
// animates the selected shape painters with the chosen setup and saves it; with none selected it
// runs over the previous painters with the previous setup; cancelled it does not start; running, it
// stops. A painter removed from the canvas leaves the animation before it is deleted.
TEST(MotionsThroughTheMediator, RunOneAtATimeFollowTheCanvasAndTakeTheDialogsValues) {
  QSettings().clear();
  ViewerCanvasGL canvas;
  ViewerPosePanel panel;
  ViewerMediator mediator;
  mediator.setCanvas(canvas);
  mediator.setPosePanel(panel);
  mediator.initialize();
  ViewerRandomMotion& random = mediator.getRandomMotion();
  ViewerSpinningMotion& spinning = mediator.getSpinningMotion();
  // R key, Spinning toggle, random toggle; then the motions running
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

  auto chosen = shapePainter(), other = shapePainter();
  canvas.addPainter(*other);
  canvas.addPainter(*chosen);
  ViewerAnimation& animation = mediator.getAnimation();
  // step size and button in the dialog (none: no dialog, the running animation stops); running after
  for (const auto& [stepSize, button, running] :
       {std::make_tuple(3, "Cancel", false), {3, "Start", true}, {0, "", false}, {5, "Start", true}}) {
    chosen->setSelected(stepSize != 5); // the last start finds no shape selected
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
  EXPECT_EQ(animation.getPainters(), std::vector<PainterGL<float>*>{chosen.get()});
  EXPECT_EQ(animation.getConfig().getStepSize(), 3);
  EXPECT_EQ(QSettings().value("viewer/animation/stepSize").toInt(), 3);
  EXPECT_FALSE(animation.getConfig().isCircular());
  canvas.removePainter(*other);
  canvas.removePainter(*chosen);
  chosen.reset();
  EXPECT_TRUE(animation.getPainters().empty());
  animation.makeOneStep();
}
