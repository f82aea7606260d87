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
#include "tests/support/VectorPrinting.h"
#include "tests/viewer/CanvasTestPainters.h"
#include "tests/viewer/PanelProbe.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

// Hands out the given uniform draws, then 0.5 (no reversal) for ever.
class ScriptedEngine : public RandomEngine {
public:
  explicit ScriptedEngine(std::deque<double> draws) : _draws(std::move(draws)) {}
  void init(long) override {}
  long uniformL() override { return 0; }
  double uniformLF() override {
    const double u = _draws.empty() ? 0.5 : _draws.front();
    if (!_draws.empty()) _draws.pop_front();
    return u;
  }

private:
  std::deque<double> _draws;
};

void expectAngles(const Vector<float>& got, const Vector<float>& want) {
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], want[i], 1e-3f) << i << ": " << testing::PrintToString(got);
}

Matrix<float> rotationMatrix(const Vector<float>& degrees) {
  using namespace Maths;
  return xRotationMatrix3D(toRadians(degrees[0])) * yRotationMatrix3D(toRadians(degrees[1])) *
         zRotationMatrix3D(toRadians(degrees[2]));
}

std::unique_ptr<ShapeViewerPainterGL> shapePainter(bool selected = false) {
  auto painter = std::make_unique<ShapeViewerPainterGL>();
  painter->setProxy(new VerticesPainterGL<float>());
  painter->setSelected(selected);
  return painter;
}

struct ClearedSettings {
  ClearedSettings() { QSettings().clear(); }
};

// A mediator over a canvas and a pose panel, made with no settings stored.
struct MediatorUnderTest : ClearedSettings {
  MediatorUnderTest() {
    mediator.setCanvas(canvas);
    mediator.setPosePanel(panel);
    mediator.initialize();
  }
  ViewerCanvasGL canvas;
  ViewerPosePanel panel;
  ViewerMediator mediator;
};

} // namespace

// All three angles move by the angle in their direction and wrap at +-180; a draw below 0.001
// reverses its own axis, three draws per step, x first. Each step announces the angles.
TEST(RandomMotion, DriftsAllAnglesWrapsAtHalfTurnAndReversesAnAxisOnASmallDraw) {
  const struct {
    int angle;
    Vector<float> from;
    std::deque<double> draws;
    int steps;
    Vector<float> want;
  } cases[] = {
      {5, point3(173, -5, -173), {0.5, 0.5, 0.0005}, 2, point3(-177, 5, 177)}, // z reversed, then all wrap
      {2, point3(0, 0, 0), {0.5, 0.5, 0.5, 0.7, 0.0009, 0.2}, 2, point3(4, 0, 4)},
      {1, point3(0, 0, 0), {0.001, 0.001, 0.001}, 1, point3(1, 1, 1)},
      {-3, point3(-179, 0, 10), {}, 1, point3(178, -3, 7)},
  };
  for (const auto& c : cases) {
    ViewerRandomMotion motion;
    motion.getRandomGenerator().setRandomEngine(new ScriptedEngine(c.draws));
    motion.setAngle(c.angle);
    motion.setRotation(c.from);
    std::vector<Vector<float>> announced;
    QObject::connect(&motion, &ViewerMotion::rotationChanged,
                     [&](const Vector<float>& r) { announced.push_back(r); });
    for (int i = 0; i < c.steps; ++i) motion.step();
    ASSERT_EQ(announced.size(), std::size_t(c.steps));
    expectAngles(announced.back(), c.want);
  }
}

// Each step turns the scene about the screen's vertical axis, whatever its orientation, and the
// angles are not snapped: n steps give the old rotation turned on the left by n x angle about y.
TEST(SpinningMotion, TurnsAboutTheScreensVerticalAxisWithoutSnapping) {
  using namespace Maths;
  const struct {
    Vector<float> from;
    int angle, steps;
  } cases[] = {{point3(0, 0, 0), 1, 2},
               {point3(90, 0, 0), 1, 1},
               {point3(30, 20, 10), 7, 1},
               {point3(-45, 60, 170), -3, 5},
               {point3(30, 20, 10), 1, 360}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.from) + " by " + std::to_string(c.angle));
    ViewerSpinningMotion motion;
    motion.setAngle(c.angle);
    motion.setRotation(c.from);
    for (int i = 0; i < c.steps; ++i) motion.step();
    const Matrix<float> want =
        yRotationMatrix3D(toRadians(float(c.angle * c.steps))) * rotationMatrix(c.from);
    const Matrix<float> got = rotationMatrix(motion.getRotation());
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[r][k], want[r][k], c.steps * 2e-6f) << r << k;
    if (c.from[0] == 0 && c.from[2] == 0)
      expectAngles(motion.getRotation(), point3(0, 2, 0)); // (0, 1, 0) twice
  }
}

// A new interval applies at once to a running timer and from the next start to a stopped one.
TEST(TimedMotions, TakeANewIntervalAtOnceWhileRunning) {
  ViewerRandomMotion random;
  ViewerSpinningMotion spinning;
  ViewerAnimation animation;
  QObject* owners[] = {&random, &spinning, &animation};
  for (QObject* owner : owners) {
    const auto setInterval = [&](int ms) {
      ViewerAnimationConfig config = animation.getConfig();
      config.setTimeout(ms);
      owner == &animation ? animation.setConfig(config) : static_cast<ViewerMotion*>(owner)->setTimeout(ms);
    };
    QTimer* timer = owner->findChild<QTimer*>();
    setInterval(70);
    EXPECT_FALSE(timer->isActive());
    owner == &animation ? animation.toggle() : static_cast<ViewerMotion*>(owner)->setActive(true);
    EXPECT_EQ(timer->interval(), 70);
    setInterval(20);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 20);
  }
}

// The window of stepSize painters moves forward and wraps (circular), turns at both ends (back and
// forth), or stops at the end leaving the last window shown (no auto-repeat, nothing announced
// past the end). A painter that is no shape viewer painter (the block, x) keeps its visibility.
TEST(PoseAnimation, ShowsItsWindowForwardCircularOrBackAndForth) {
  const struct {
    const char* painters;
    int stepSize;
    bool circular, autoRepeat;
    std::vector<std::string> shown; // after the start, then after each step
  } cases[] = {
      {"sssss", 1, false, true, {"0", "1", "2", "3", "4", "3", "2", "1", "0", "0", "1"}},
      {"sssss", 1, true, true, {"0", "1", "2", "3", "4", "0", "1"}},
      {"ssss", 2, true, true, {"01", "23", "01"}},
      {"sss", 1, true, false, {"0", "1", "2", "2", "2"}},
      {"sssss", 2, false, true, {"01", "23", "4", "34", "12", "01", "23"}},
      {"sxs", 1, true, true, {"0x", "x", "x2", "0x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.painters << c.stepSize << c.circular << c.autoRepeat);
    std::vector<std::unique_ptr<ShapeViewerPainterGL>> shapes;
    BlockPainter block(0, 0, 0, 1, 1, 1, 255, 0, 0);
    std::vector<PainterGL<float>*> list;
    for (const char* kind = c.painters; *kind; ++kind) {
      if (*kind == 's') shapes.push_back(shapePainter());
      list.push_back(*kind == 's' ? static_cast<PainterGL<float>*>(shapes.back().get()) : &block);
    }
    const auto visible = [&] {
      std::string shown;
      for (std::size_t k = 0; k < list.size(); ++k) {
        auto* shape = dynamic_cast<ShapeViewerPainterGL*>(list[k]);
        if (!shape || shape->getProxy()->isVisible()) shown += shape ? std::to_string(k) : "x";
      }
      return shown;
    };
    ViewerAnimation animation;
    ViewerAnimationConfig config;
    config.setStepSize(c.stepSize);
    config.setCircular(c.circular);
    config.setAutoRepeat(c.autoRepeat);
    animation.setConfig(config);
    animation.setPainters(list);
    int announced = 0;
    QObject::connect(&animation, &ViewerAnimation::currentIndexChanged, [&] { ++announced; });
    animation.toggle();
    std::vector<std::string> shown{visible()};
    while (shown.size() < c.shown.size()) {
      animation.makeOneStep();
      shown.push_back(visible());
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(animation.isRunning(), c.autoRepeat);
    EXPECT_EQ(announced, c.autoRepeat ? int(c.shown.size()) : int(list.size()));
  }
}

// R and the two toggles keep at most one motion running; a motion's step reaches the canvas, the
// pose panel and the other motion, and a user pose change on the canvas re-bases both.
TEST(MotionsThroughTheMediator, RunOneAtATimeAndFollowEachOtherAndTheCanvas) {
  MediatorUnderTest t;
  ViewerRandomMotion& random = t.mediator.getRandomMotion();
  ViewerSpinningMotion& spinning = t.mediator.getSpinningMotion();
  const struct {
    char act; // R key, Spinning toggle, Random toggle
    bool random, spinning;
  } steps[] = {{'S', false, true}, {'R', true, false}, {'R', false, false}, {'S', false, true},
               {'r', true, false}, {'S', false, true}, {'S', false, false}};
  for (const auto& s : steps) {
    if (s.act == 'R') QTest::keyClick(&t.canvas, Qt::Key_R);
    if (s.act == 'S') t.mediator.toggleSpinningMotion();
    if (s.act == 'r') t.mediator.toggleRandomMotion();
    EXPECT_EQ(random.isActive(), s.random) << s.act;
    EXPECT_EQ(spinning.isActive(), s.spinning) << s.act;
  }
  spinning.setAngle(10);
  spinning.step();
  expectAngles(t.canvas.getRotation(), point3(0, 10, 0));
  expectAngles(random.getRotation(), point3(0, 10, 0));
  EXPECT_EQ(inputBox(&t.panel, 1)->getValue(), 10);
  random.getRandomGenerator().setRandomEngine(new ScriptedEngine({}));
  random.step();
  expectAngles(spinning.getRotation(), point3(1, 11, 1));
  Pose dragged;
  dragged.setRotation(point3(5, 6, 7));
  emit t.canvas.poseChanged(dragged);
  expectAngles(random.getRotation(), point3(5, 6, 7));
  expectAngles(spinning.getRotation(), point3(5, 6, 7));
}

// "Set motion angle..." and "Set motion timeout..." give both motions the value and save it on OK;
// cancelling changes nothing and saves nothing.
TEST(MotionsThroughTheMediator, AngleAndIntervalDialogsSetBothMotionsAndTheSettings) {
  const struct {
    bool angle, accepted;
    int typed, want;
  } cases[] = {{true, true, -30, -30}, {true, false, 45, 1}, {false, true, 200, 200}, {false, false, 9, 50}};
  for (const auto& c : cases) {
    MediatorUnderTest t;
    whenModalShows(
        [&](QWidget* dialog) {
          static_cast<QInputDialog*>(dialog)->setIntValue(c.typed);
          static_cast<QDialog*>(dialog)->done(c.accepted ? QDialog::Accepted : QDialog::Rejected);
        },
        "QInputDialog");
    c.angle ? t.mediator.runRandomMotionAngleDialog() : t.mediator.runRandomMotionTimeoutDialog();
    const auto value = [&](ViewerMotion& m) { return c.angle ? m.getAngle() : m.getTimeout(); };
    EXPECT_EQ(value(t.mediator.getRandomMotion()), c.want) << c.typed;
    EXPECT_EQ(value(t.mediator.getSpinningMotion()), c.want) << c.typed;
    EXPECT_EQ(QSettings().contains(c.angle ? "viewer/motion/angle" : "viewer/motion/timeout"), c.accepted);
  }
}

// "Toggle animation" asks for the configuration (empty settings show 10 ms and step 1), animates
// the selected shape painters and saves the configuration; with none selected it runs over the
// previous painters and saves nothing; cancelled it does not start; running, it stops. A painter
// removed from the canvas leaves the animation before it is deleted.
TEST(MotionsThroughTheMediator, ToggleAnimationRunsOverTheSelectedShapesWithTheChosenSetup) {
  MediatorUnderTest t;
  auto chosen = shapePainter(true), other = shapePainter();
  t.canvas.addPainter(*other);
  t.canvas.addPainter(*chosen);
  ViewerAnimation& animation = t.mediator.getAnimation();
  QString shown; // timeout and step size as the dialog showed them
  const auto answer = [&](int stepSize, const char* button) {
    whenModalShows(
        [&shown, stepSize, button](QWidget* dialog) {
          const auto boxes = dialog->findChildren<QSpinBox*>();
          shown = boxes.at(0)->text() + " " + boxes.at(1)->text();
          boxes.at(1)->setValue(stepSize);
          dialog->findChildren<QCheckBox*>().at(1)->setChecked(false); // back and forth
          for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == button) b->click();
        },
        "ViewerAnimationDialog");
    t.mediator.toggleAnimation();
  };
  answer(3, "Cancel");
  EXPECT_FALSE(animation.isRunning());
  answer(3, "Start");
  EXPECT_EQ(shown, "10 1");
  EXPECT_TRUE(animation.isRunning());
  EXPECT_EQ(animation.getPainters(), std::vector<PainterGL<float>*>{chosen.get()});
  EXPECT_FALSE(animation.getConfig().isCircular());
  t.mediator.toggleAnimation();
  EXPECT_FALSE(animation.isRunning());
  chosen->setSelected(false);
  answer(5, "Start");
  EXPECT_EQ(shown, "10 3"); // as saved
  EXPECT_TRUE(animation.isRunning());
  EXPECT_EQ(animation.getPainters(), std::vector<PainterGL<float>*>{chosen.get()});
  EXPECT_EQ(animation.getConfig().getStepSize(), 3);
  EXPECT_EQ(QSettings().value("viewer/animation/stepSize").toInt(), 3);
  t.canvas.removePainter(*other);
  t.canvas.removePainter(*chosen);
  chosen.reset();
  EXPECT_TRUE(animation.getPainters().empty());
  animation.makeOneStep();
}
