// The numeric widgets, the pose and scale bar panels and the viewer mediator that wires them to a real
// canvas, driven as a user drives them: values set by the program never echo, user changes always do,
// slider and spin box agree, and changes travel from panel to canvas and back.
#include "viewer/QDoubleCompositeBox.h"
#include "viewer/QDoubleSlider.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerMediator.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include "tests/support/VectorPrinting.h"
#include "tests/viewer/CanvasDrag.h"
#include "tests/viewer/CanvasTestPainters.h"
#include "tests/viewer/PanelProbe.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Notes the keys whose presses reach it.
class KeyNotingCanvas : public ViewerCanvasGL {
public:
  std::vector<int> keys;

protected:
  void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

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
  void choose(int combo, const char* item) { // what a click on the item sends
    emit panel.findChildren<QComboBox*>().at(combo)->textActivated(item);
  }

  KeyNotingCanvas canvas;
  ViewerPosePanel panel;
  ViewerScaleBarPanel scaleBar;
  ViewerMediator mediator;
  QMenu fileMenu, poseMenu;
};

} // namespace

// Program-set values are silent; a user change on either half is announced with the new value and
// the other half follows. Slider positions are the nearest multiples of the step, clamped.
TEST(NumericWidgets, ProgramValuesAreSilentAndUserChangesAnnouncedWithBothHalvesAgreeing) {
  QInputBox box("x ", nullptr, 5, 1000, " %");
  QSignalSpy boxSpy(&box, &QInputBox::valueChanged);
  EXPECT_EQ(box.getValue(), 5); // 0 taken into the range
  box.setValue(40);
  box.setMaximum(500);
  dragSlider(&box, 41);
  stepUp(&box);
  ASSERT_EQ(boxSpy.count(), 2);
  EXPECT_EQ(boxSpy.at(1).at(0).toInt(), 42);
  EXPECT_EQ(box.findChild<QSpinBox*>()->value(), 42);

  QDoubleCompositeBox real("a", "b", nullptr);
  QSignalSpy realSpy(&real, &QDoubleCompositeBox::valueChanged);
  real.setValue(0.3);
  EXPECT_EQ(realSpy.count(), 0);
  stepUp(&real);
  EXPECT_NEAR(real.getValue(), 0.4, 1e-6);
  dragSlider(&real, 7);
  EXPECT_NEAR(realSpy.last().at(0).toDouble(), 0.7, 1e-6);
  EXPECT_NEAR(real.findChild<QDoubleSpinBox*>()->value(), 0.7, 1e-6);

  QDoubleSlider slider;
  slider.setSingleStep(0.05);
  const std::pair<double, int> positions[] = {{0.52, 10}, {-3, 0}, {7, 20}, {0.974, 19}, {0.976, 20}};
  for (const auto& [value, position] : positions) {
    slider.setValue(value);
    EXPECT_EQ(slider.QSlider::value(), position) << value;
  }
}

TEST(PosePanel, ShowsAnglesToTheNearestDegreeWithoutAnnouncingThem) {
  ViewerPosePanel panel;
  QSignalSpy spy(&panel, &ViewerPosePanel::rotationChanged);
  panel.setRotation(point3(12.5f, -0.4f, 179.6f));
  const int want[] = {13, 0, 180};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(inputBox(&panel, i)->getValue(), want[i]) << "axis " << i;
  EXPECT_EQ(spy.count(), 0);
}

// The scene box bounds the controls in data units; the announced bar is in scene units.
TEST(ScaleBarPanel, BoundsItsControlsByTheSceneBoxAndAnnouncesScaledBoxes) {
  ViewerScaleBarPanel panel;
  BoundingBox<float> announced;
  QObject::connect(&panel, &ViewerScaleBarPanel::scaleBarChanged,
                   [&](const BoundingBox<float>& b) { announced = b; });
  panel.setBoundingBox(BoundingBox<float>());
  EXPECT_FALSE(panel.isEnabled());
  panel.setScaling(point3(2, 2, 2));
  panel.setBoundingBox(BoundingBox<float>(point3(0, 0, 0), point3(200, 100, 50)));
  EXPECT_TRUE(panel.isEnabled());
  EXPECT_EQ(sliderOf(inputBox(&panel, 0))->maximum(), 100); // "X"
  EXPECT_EQ(sliderOf(inputBox(&panel, 1))->maximum(), 100); // "Width "
  panel.setScaling(point3(0.5f, 0.5f, 2.0f));
  dragSlider(inputBox(&panel, 0), 10);
  dragSlider(inputBox(&panel, 1), 4);
  EXPECT_EQ(announced.getVertex1(), point3(5, 0, 0));
  EXPECT_EQ(announced.getVertex2(), point3(7, 0, 0));
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
  EXPECT_EQ(canvas.getProjection().getPerspectiveStrength(), 3);
  choose(1, "Orthographic");
  EXPECT_TRUE(canvas.getProjection().isOrthographic());
  EXPECT_FALSE(inputBox(&panel, 9)->isEnabled());
  choose(1, "Perspective"); // strength 1 again, whatever the box shows
  EXPECT_EQ(canvas.getProjection().getPerspectiveStrength(), 1);
  panel.findChild<QCheckBox*>()->click();
  EXPECT_FALSE(canvas.getBoundingBoxPainter().isActive());
  EXPECT_FALSE(inputBox(&panel, 10)->isEnabled());

  drag(canvas, {36, 0});
  EXPECT_EQ(shown(1), 10);
  QTest::mouseDClick(&canvas, Qt::LeftButton);
  EXPECT_EQ(shown(1), 0);
  EXPECT_EQ(shown(5), 100);
  EXPECT_EQ(shown(6), 30); // the lights stay

  BlockPainter block(0, 0, 0, 20, 10, 5, 255, 255, 255);
  canvas.addPainter(block);
  canvas.setBoundingBoxScaling(100); // the new scene box reaches the scale bar panel
  EXPECT_EQ(sliderOf(inputBox(&scaleBar, 0))->maximum(), 20);
  dragSlider(inputBox(&scaleBar, 1), 3); // a bar 3 wide at the origin
  EXPECT_EQ(canvas.getScaleBarPainter().getBoundingBox().getVertex2(), point3(3, 0, 0));
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

TEST_F(ViewerMediatorTest, SwallowsDeleteAndRButLetsOtherKeysReachTheCanvas) {
  const std::pair<QKeySequence, bool> cases[] = {
      {Qt::Key_Delete, false}, {Qt::Key_R, false}, {Qt::CTRL | Qt::Key_R, false}, {Qt::Key_A, true}};
  for (const auto& [key, reaches] : cases) {
    canvas.keys.clear();
    QTest::keySequence(&canvas, key);
    const int code = key[0] & ~Qt::KeyboardModifierMask;
    EXPECT_EQ(std::count(canvas.keys.begin(), canvas.keys.end(), code), reaches ? 1 : 0) << code;
  }
}
