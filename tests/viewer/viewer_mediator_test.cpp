// The viewer mediator with a real canvas and real panels: start values, routing in both directions,
// standard poses that keep the lights, the menus, the canvas's key filter, the motion settings.
#include "viewer/ViewerMediator.h"

#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include "tests/support/VectorPrinting.h"
#include "tests/viewer/CanvasDrag.h"
#include "tests/viewer/CanvasTestPainters.h"
#include "tests/viewer/PanelProbe.h"

#include <QAction>
#include <QMenu>
#include <QSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Notes the keys whose presses reach it.
class KeyNotingCanvas : public ViewerCanvasGL {
public:
  std::vector<int> keys;

protected:
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

QStringList texts(const QMenu& menu) {
  QStringList result;
  for (QAction* action : menu.actions()) result << (action->isSeparator() ? QString("|") : action->text());
  return result;
}

struct ViewerMediatorTest : ::testing::Test {
  ViewerMediatorTest() {
    QSettings().clear();
    canvas.resize(100, 100);
    mediator.setCanvas(canvas);
    mediator.setPosePanel(panel);
    mediator.setScaleBarPanel(scaleBar);
    mediator.initialize();
    mediator.populateFileMenu(fileMenu);
    mediator.populatePoseMenu(poseMenu);
  }
  int shown(int box) { return inputBox(&panel, box)->getValue(); }

  KeyNotingCanvas canvas;
  ViewerPosePanel panel;
  ViewerScaleBarPanel scaleBar;
  ViewerMediator mediator;
  QMenu fileMenu, poseMenu;
};

} // namespace

TEST_F(ViewerMediatorTest, FillsTheMenusAndStartsCanvasAndPanelAlike) {
  EXPECT_EQ(texts(fileMenu), QStringList({"Snapshot", "Snapshot (cropped)", "Record", "Clear landmarks",
                                          "Save landmarks..."}));
  EXPECT_EQ(texts(poseMenu),
            QStringList({"Standard pose 1", "Standard pose 2", "Standard pose 3", "Reverse standard pose 1",
                         "Reverse standard pose 2", "Reverse standard pose 3", "|", "Toggle animation",
                         "Toggle random motion", "Toggle spinning motion", "Set motion angle...",
                         "Set motion timeout..."}));
  const Pose pose = canvas.getPose();
  EXPECT_EQ(pose.getZoom(), 100);
  EXPECT_EQ(canvas.getBoundingBoxScaling(), 110);
  EXPECT_EQ(pose.getAmbientLight(), 80);
  EXPECT_EQ(pose.getSpecularLight(), 128);
  const int panelWants[] = {0, 0, 0, 0, 0, 100, 80, 128, 128, 1, 110};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(shown(i), panelWants[i]) << "box " << i;
}

// Panel to canvas (user changes), canvas to panel (a drag and a double click), and the scale bar.
TEST_F(ViewerMediatorTest, RoutesPanelChangesToTheCanvasAndCanvasChangesToThePanel) {
  dragSlider(inputBox(&panel, 5), 250);
  dragSlider(inputBox(&panel, 1), 30);
  dragSlider(inputBox(&panel, 6), 30);
  dragSlider(inputBox(&panel, 10), 100);
  EXPECT_FLOAT_EQ(canvas.getZoom(), 2.5f);
  EXPECT_EQ(canvas.getRotation(), point3(0, 30, 0));
  EXPECT_EQ(canvas.getPose().getAmbientLight(), 30);
  EXPECT_EQ(canvas.getBoundingBoxScaling(), 100);

  drag(canvas, {40, 0});
  EXPECT_EQ(shown(1), 40);
  QTest::mouseDClick(&canvas, Qt::LeftButton);
  EXPECT_EQ(shown(1), 0);
  EXPECT_EQ(shown(5), 100);
  EXPECT_EQ(shown(6), 30); // the lights stay

  BlockPainter block(0, 0, 0, 20, 10, 5, 255, 255, 255);
  canvas.addPainter(block);
  canvas.setBoundingBoxScaling(100); // the scene box reaches the scale bar panel
  EXPECT_EQ(sliderOf(inputBox(&scaleBar, 0))->maximum(), 20);
  dragSlider(inputBox(&scaleBar, 1), 3); // width 3 at the origin
  EXPECT_EQ(canvas.getScaleBarPainter().getBoundingBox().getVertex2(), point3(3, 0, 0));
}

TEST_F(ViewerMediatorTest, StandardPosesFromTheMenuKeepTheLights) {
  dragSlider(inputBox(&panel, 6), 200);
  dragSlider(inputBox(&panel, 5), 300);
  drag(canvas, {16, 20}, Qt::LeftButton, Qt::AltModifier);
  const std::pair<int, Vector<float>> cases[] = {
      {1, point3(0, 90, 0)}, {5, point3(-90, 0, 0)}, {0, point3(0, 180, 0)}}; // menu entry, rotation
  for (const auto& [entry, rotation] : cases) {
    SCOPED_TRACE(entry);
    poseMenu.actions().at(entry)->trigger();
    const Pose pose = canvas.getPose();
    EXPECT_EQ(pose.getRotation(), rotation);
    EXPECT_EQ(pose.getZoom(), 100);
    EXPECT_EQ(pose.getTranslation(), Vector<int>(std::vector<int>{0, 0}));
    EXPECT_EQ(pose.getAmbientLight(), 200);
    EXPECT_EQ(shown(0), static_cast<int>(rotation[0]));
    EXPECT_EQ(shown(5), 100);
    EXPECT_EQ(shown(6), 200);
  }
}

TEST_F(ViewerMediatorTest, SwallowsDeleteAndRButLetsOtherKeysReachTheCanvas) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool reaches;
  } cases[] = {{Qt::Key_Delete, Qt::NoModifier, false},
               {Qt::Key_R, Qt::NoModifier, false},
               {Qt::Key_R, Qt::ControlModifier, false},
               {Qt::Key_A, Qt::NoModifier, true}};
  for (const auto& c : cases) {
    canvas.keys.clear();
    QTest::keyClick(&canvas, c.key, c.modifiers);
    EXPECT_EQ(std::count(canvas.keys.begin(), canvas.keys.end(), c.key), c.reaches ? 1 : 0) << c.key;
  }
}

TEST(ViewerMediatorSettings, MotionSettingsAreReadAtConstructionAndSavedBySetters) {
  QSettings().clear();
  EXPECT_EQ(ViewerMediator().getRandomMotionAngle(), 1);
  EXPECT_EQ(ViewerMediator().getMotionTimeout(), 50);
  ViewerMediator().setRandomMotionAngle(-7);
  ViewerMediator().setMotionTimeout(80);
  EXPECT_EQ(ViewerMediator().getRandomMotionAngle(), -7);
  EXPECT_EQ(ViewerMediator().getMotionTimeout(), 80);
  QSettings().clear();
}
