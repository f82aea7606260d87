// The random and spinning motions and the pose animation stepped by hand, and how the mediator
// drives them: at most one motion at a time, the R key, the angle and interval dialogs with their
// settings, and "Toggle animation" with its dialog over the selected shape painters.
#include "foundation/Maths.h"
#include "foundation/RandomEngine.h"
#include "rendering/VerticesPainterGL.h"
#include "viewer/ShapeViewerPainterGL.h"
#include "viewer/ViewerAnimation.h"
#include "viewer/ViewerAnimationDialog.h"
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
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
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
    if (_draws.empty()) return 0.5;
    const double u = _draws.front();
    _draws.pop_front();
    return u;
  }

private:
  std::deque<double> _draws;
};

void expectAngles(const Vector<float>& got, const Vector<float>& want, float tolerance = 1e-3f) {
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(got[i], want[i], tolerance) << "axis " << i << ": " << testing::PrintToString(got);
}

Matrix<float> rotationMatrix(const Vector<float>& degrees) {
  using namespace Maths;
  return xRotationMatrix3D(toRadians(degrees[0])) * yRotationMatrix3D(toRadians(degrees[1])) *
         zRotationMatrix3D(toRadians(degrees[2]));
}

QTimer* timerOf(QObject& owner) {
  return owner.findChild<QTimer*>();
}

// A shape viewer painter with a proxy whose visibility the animation sets.
std::unique_ptr<ShapeViewerPainterGL> shapePainter() {
  auto painter = std::make_unique<ShapeViewerPainterGL>();
  painter->setProxy(new VerticesPainterGL<float>());
  return painter;
}

std::string visibleOnes(const std::vector<std::unique_ptr<ShapeViewerPainterGL>>& painters) {
  std::string shown;
  for (std::size_t k = 0; k < painters.size(); ++k)
    if (painters[k]->getProxy()->isVisible()) shown += std::to_string(k);
  return shown;
}

} // namespace

// All three angles move by the angle in their direction and wrap at +-180; a draw below 0.001
// reverses its own axis, three draws per step, x first.
TEST(RandomMotion, DriftsAllAnglesWrapsAtHalfTurnAndReversesAnAxisOnASmallDraw) {
  const struct {
    const char* name;
    int angle;
    Vector<float> from;
    std::deque<double> draws;
    int steps;
    Vector<float> want;
  } cases[] = {
      {"z reversed, then wrapped", 5, point3(173, -5, -173), {0.5, 0.5, 0.0005}, 2, point3(-177, 5, 177)},
      {"second step reverses y", 2, point3(0, 0, 0), {0.5, 0.5, 0.5, 0.7, 0.0009, 0.2}, 2, point3(4, 0, 4)},
      {"0.001 itself does not reverse", 1, point3(0, 0, 0), {0.001, 0.001, 0.001}, 1, point3(1, 1, 1)},
      {"negative angle", -3, point3(-179, 0, 10), {}, 1, point3(178, -3, 7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerRandomMotion motion;
    motion.getRandomGenerator().setRandomEngine(new ScriptedEngine(c.draws));
    motion.setAngle(c.angle);
    motion.setRotation(c.from);
    std::vector<Vector<float>> announced;
    QObject::connect(&motion, &ViewerMotion::rotationChanged,
                     [&](const Vector<float>& r) { announced.push_back(r); });
    for (int i = 0; i < c.steps; ++i) motion.step();
    expectAngles(motion.getRotation(), c.want);
    ASSERT_EQ(announced.size(), std::size_t(c.steps));
    expectAngles(announced.back(), c.want);
  }
}

// Each step turns the scene about the screen's vertical axis, whatever its orientation, without a
// grid: the new angles give the old rotation turned on the left by the angle about y.
TEST(SpinningMotion, TurnsAboutTheScreensVerticalAxisWithoutSnapping) {
  using namespace Maths;
  const struct {
    Vector<float> from;
    int angle;
  } cases[] = {
      {point3(0, 0, 0), 1}, {point3(90, 0, 0), 1}, {point3(30, 20, 10), 7}, {point3(-45, 60, 170), -3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.from) + " by " + std::to_string(c.angle));
    ViewerSpinningMotion motion;
    motion.setAngle(c.angle);
    motion.setRotation(c.from);
    motion.step();
    const Matrix<float> want = yRotationMatrix3D(toRadians(float(c.angle))) * rotationMatrix(c.from);
    const Matrix<float> got = rotationMatrix(motion.getRotation());
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[r][k], want[r][k], 1e-5f) << r << k;
  }
  ViewerSpinningMotion motion; // from rest: (0, 1, 0), (0, 2, 0), ... off any quarter-degree grid
  motion.setAngle(1);
  motion.step();
  expectAngles(motion.getRotation(), point3(0, 1, 0), 1e-5f);
  motion.step();
  expectAngles(motion.getRotation(), point3(0, 2, 0), 1e-5f);
  motion.setRotation(point3(30, 20, 10));
  for (int i = 0; i < 360; ++i) motion.step();
  expectAngles(motion.getRotation(), point3(30, 20, 10), 0.05f);
  motion.step();
  EXPECT_NE(std::fmod(motion.getRotation()[1] * 4, 1.0f), 0.0f);
}

// A new interval applies at once to a running timer and from the next start to a stopped one.
TEST(TimedMotions, TakeANewIntervalAtOnceWhileRunning) {
  ViewerRandomMotion random;
  ViewerSpinningMotion spinning;
  ViewerAnimation animation;
  const auto setInterval = [&](int which, int ms) {
    if (which < 2) {
      (which == 0 ? static_cast<ViewerMotion&>(random) : spinning).setTimeout(ms);
    } else {
      ViewerAnimationConfig config = animation.getConfig();
      config.setTimeout(ms);
      animation.setConfig(config);
    }
  };
  QObject* owners[] = {&random, &spinning, &animation};
  for (int which = 0; which < 3; ++which) {
    SCOPED_TRACE(which);
    QTimer* timer = timerOf(*owners[which]);
    setInterval(which, 70); // stopped: kept for the start
    EXPECT_FALSE(timer->isActive());
    if (which < 2)
      static_cast<ViewerMotion*>(owners[which])->setActive(true);
    else
      animation.toggle();
    EXPECT_EQ(timer->interval(), 70);
    setInterval(which, 20);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 20);
  }
}

// The window of stepSize painters moves forward and wraps (circular), turns at both ends (back and
// forth), or stops at the end leaving the last window shown (no auto-repeat).
TEST(PoseAnimation, ShowsItsWindowForwardCircularOrBackAndForth) {
  const struct {
    const char* name;
    int painters, stepSize;
    bool circular, autoRepeat;
    std::vector<std::string> shown; // after the start, then after each step
    bool runsAtTheEnd;
  } cases[] = {
      {"back and forth", 5, 1, false, true, {"0", "1", "2", "3", "4", "3", "2", "1", "0", "0", "1"}, true},
      {"circular", 5, 1, true, true, {"0", "1", "2", "3", "4", "0", "1"}, true},
      {"circular by two", 4, 2, true, true, {"01", "23", "01"}, true},
      {"once", 3, 1, true, false, {"0", "1", "2", "2", "2"}, false},
      {"back and forth by two", 5, 2, false, true, {"01", "23", "4", "34", "12", "01", "23"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::unique_ptr<ShapeViewerPainterGL>> painters;
    std::vector<PainterGL<float>*> list;
    for (int k = 0; k < c.painters; ++k) {
      painters.push_back(shapePainter());
      list.push_back(painters.back().get());
    }
    ViewerAnimation animation;
    ViewerAnimationConfig config;
    config.setStepSize(c.stepSize);
    config.setCircular(c.circular);
    config.setAutoRepeat(c.autoRepeat);
    animation.setConfig(config);
    animation.setPainters(list);
    QSignalSpy announced(&animation, &ViewerAnimation::currentIndexChanged);
    animation.toggle();
    std::vector<std::string> shown{visibleOnes(painters)};
    while (shown.size() < c.shown.size()) {
      animation.makeOneStep();
      shown.push_back(visibleOnes(painters));
    }
    EXPECT_EQ(shown, c.shown);
    EXPECT_EQ(animation.isRunning(), c.runsAtTheEnd);
    if (!c.autoRepeat) {
      EXPECT_EQ(announced.count(), c.painters); // nothing announced past the end
    }
  }
}

// Painters that are not shape viewer painters keep their visibility; a painter removed from the
// canvas leaves the animation before it is deleted.
TEST(PoseAnimation, LeavesOtherPaintersAloneAndDropsRemovedOnes) {
  ViewerCanvasGL canvas;
  ViewerPosePanel panel;
  ViewerMediator mediator;
  mediator.setCanvas(canvas);
  mediator.setPosePanel(panel);
  mediator.initialize();
  auto first = shapePainter();
  auto* second = shapePainter().release();
  BlockPainter block(0, 0, 0, 1, 1, 1, 255, 0, 0);
  for (PainterGL<float>* painter : std::initializer_list<PainterGL<float>*>{first.get(), &block, second})
    canvas.addPainter(*painter);
  ViewerAnimation& animation = mediator.getAnimation();
  animation.setPainters(canvas.getPainters());
  animation.makeOneStep(); // window at 1: the block, which is left alone
  EXPECT_FALSE(first->getProxy()->isVisible());
  EXPECT_FALSE(second->getProxy()->isVisible());
  canvas.removePainter(*second);
  delete second;
  EXPECT_EQ(animation.getPainters(), (std::vector<PainterGL<float>*>{first.get(), &block}));
  animation.makeOneStep(); // past the end of two: back to the first
  EXPECT_TRUE(first->getProxy()->isVisible());
}

namespace {

struct ClearedSettings {
  ClearedSettings() { QSettings().clear(); }
};

// A mediator over a canvas and a pose panel, made with no settings stored.
struct MediatorUnderTest : ClearedSettings {
  MediatorUnderTest() {
    canvas.resize(100, 100);
    mediator.setCanvas(canvas);
    mediator.setPosePanel(panel);
    mediator.initialize();
  }
  ViewerCanvasGL canvas;
  ViewerPosePanel panel;
  ViewerMediator mediator;
};

} // namespace

// R and the two menu toggles keep at most one motion running; a motion's step reaches the canvas,
// the pose panel and the other motion, and a user pose change on the canvas re-bases both.
TEST(MotionsThroughTheMediator, RunOneAtATimeAndFollowEachOtherAndTheCanvas) {
  MediatorUnderTest t;
  ViewerRandomMotion& random = t.mediator.getRandomMotion();
  ViewerSpinningMotion& spinning = t.mediator.getSpinningMotion();
  const struct {
    const char* act;
    bool random, spinning;
  } steps[] = {{"spin", false, true},   {"R", true, false},    {"R", false, false},   {"spin", false, true},
               {"random", true, false}, {"spin", false, true}, {"spin", false, false}};
  for (const auto& s : steps) {
    if (s.act == std::string("R"))
      QTest::keyClick(&t.canvas, Qt::Key_R);
    else if (s.act == std::string("spin"))
      t.mediator.toggleSpinningMotion();
    else
      t.mediator.toggleRandomMotion();
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
    bool angle;
    int typed;
    bool accepted;
    int want;
  } cases[] = {{true, -30, true, -30}, {true, 45, false, 1}, {false, 200, true, 200}, {false, 9, false, 50}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.angle << " " << c.typed << " " << c.accepted);
    MediatorUnderTest t;
    whenModalShows(
        [&](QWidget* dialog) {
          auto* input = static_cast<QInputDialog*>(dialog);
          input->setIntValue(c.typed);
          c.accepted ? input->accept() : input->reject();
        },
        "QInputDialog");
    const char* key = c.angle ? "viewer/motion/angle" : "viewer/motion/timeout";
    if (c.angle)
      t.mediator.runRandomMotionAngleDialog();
    else
      t.mediator.runRandomMotionTimeoutDialog();
    for (ViewerMotion* motion :
         std::initializer_list<ViewerMotion*>{&t.mediator.getRandomMotion(), &t.mediator.getSpinningMotion()})
      EXPECT_EQ(c.angle ? motion->getAngle() : motion->getTimeout(), c.want);
    EXPECT_EQ(QSettings().contains(key), c.accepted);
    EXPECT_EQ(ViewerMediator().getRandomMotionAngle(), c.angle ? c.want : 1); // read back at start
  }
}

// "Toggle animation" asks for the configuration (empty settings show 10 ms and step 1), animates
// the selected shape painters and saves the configuration; with none selected it runs over the
// previous painters and saves nothing; cancelled it does not start; running, it stops.
TEST(MotionsThroughTheMediator, ToggleAnimationRunsOverTheSelectedShapesWithTheChosenSetup) {
  MediatorUnderTest t;
  auto chosen = shapePainter(), other = shapePainter();
  chosen->setSelected(true);
  BlockPainter block(0, 0, 0, 1, 1, 1, 255, 0, 0);
  for (PainterGL<float>* painter :
       std::initializer_list<PainterGL<float>*>{other.get(), chosen.get(), &block})
    t.canvas.addPainter(*painter);
  ViewerAnimation& animation = t.mediator.getAnimation();
  const auto answer = [](int stepSize, bool start, int* shownTimeout = nullptr, int* shownStep = nullptr) {
    whenModalShows(
        [=](QWidget* dialog) {
          const auto boxes = dialog->findChildren<QSpinBox*>();
          if (shownTimeout) *shownTimeout = boxes.at(0)->value();
          if (shownStep) *shownStep = boxes.at(1)->value();
          boxes.at(1)->setValue(stepSize);
          dialog->findChildren<QCheckBox*>().at(1)->setChecked(false); // back and forth
          for (QPushButton* button : dialog->findChildren<QPushButton*>())
            if (button->text() == (start ? "Start" : "Cancel")) button->click();
        },
        "ViewerAnimationDialog");
  };
  answer(3, false);
  t.mediator.toggleAnimation();
  EXPECT_FALSE(animation.isRunning());
  int shownTimeout = 0, shownStep = 0;
  answer(3, true, &shownTimeout, &shownStep);
  t.mediator.toggleAnimation();
  EXPECT_EQ(shownTimeout, 10);
  EXPECT_EQ(shownStep, 1);
  EXPECT_TRUE(animation.isRunning());
  EXPECT_EQ(animation.getPainters(), std::vector<PainterGL<float>*>{chosen.get()});
  EXPECT_EQ(animation.getConfig().getStepSize(), 3);
  EXPECT_FALSE(animation.getConfig().isCircular());
  EXPECT_EQ(QSettings().value("viewer/animation/stepSize").toInt(), 3);
  EXPECT_EQ(QSettings().value("viewer/animation/timeout").toInt(), 10);
  t.mediator.toggleAnimation();
  EXPECT_FALSE(animation.isRunning());
  chosen->setSelected(false);
  answer(5, true, nullptr, &shownStep);
  t.mediator.toggleAnimation();
  EXPECT_EQ(shownStep, 3); // the saved step size
  EXPECT_TRUE(animation.isRunning());
  EXPECT_EQ(animation.getPainters(), std::vector<PainterGL<float>*>{chosen.get()});
  EXPECT_EQ(animation.getConfig().getStepSize(), 3);
  EXPECT_EQ(QSettings().value("viewer/animation/stepSize").toInt(), 3);
  for (PainterGL<float>* painter :
       std::initializer_list<PainterGL<float>*>{other.get(), chosen.get(), &block})
    t.canvas.removePainter(*painter);
}

// Without a runnable ffmpeg, "Record" only says that it must be installed.
TEST(MotionsThroughTheMediator, RecordWithoutFfmpegAsksToInstallIt) {
  MediatorUnderTest t;
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", "/nonexistent");
  QString told;
  whenModalShows(
      [&](QWidget* box) {
        told = static_cast<QMessageBox*>(box)->text();
        static_cast<QDialog*>(box)->reject();
      },
      "QMessageBox");
  t.mediator.videoStart();
  qputenv("PATH", path);
  EXPECT_TRUE(told.startsWith("Please install ffmpeg software  ")) << told.toStdString();
  EXPECT_TRUE(t.canvas.findChildren<QDialog*>().isEmpty());
}
