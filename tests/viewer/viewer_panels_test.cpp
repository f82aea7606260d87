// The numeric widgets and the pose and scale bar panels, driven as a user drives them: values set by
// the program never echo, user changes always do, and slider and spin box agree.
#include "viewer/QDoubleCompositeBox.h"
#include "viewer/QDoubleSlider.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

#include "tests/support/VectorPrinting.h"
#include "tests/viewer/CanvasTestPainters.h"
#include "tests/viewer/PanelProbe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSignalSpy>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

// Program-set values are silent; a user change is announced with the new value (the composite box
// may announce it through both inner widgets) and the other inner widget follows.
TEST(NumericWidgets, ProgramValuesAreSilentAndUserChangesAnnouncedWithBothHalvesAgreeing) {
  QInputBox box("x ", nullptr, 5, 1000, " %");
  QSignalSpy boxSpy(&box, &QInputBox::valueChanged);
  EXPECT_EQ(box.getValue(), 5); // 0 taken into the range
  box.setValue(40);
  box.setMinimum(10);
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
  EXPECT_NEAR(realSpy.last().at(0).toDouble(), 0.4, 1e-6);
  EXPECT_NEAR(real.getValue(), 0.4, 1e-6);
  dragSlider(&real, 7);
  EXPECT_NEAR(real.findChild<QDoubleSpinBox*>()->value(), 0.7, 1e-6);
}

TEST(NumericWidgets, DoubleSliderMapsValuesToClampedNearestPositions) {
  QDoubleSlider slider;
  slider.setSingleStep(0.05);
  EXPECT_EQ(slider.QSlider::maximum(), 20);
  const struct {
    double set;
    int position;
  } cases[] = {{0.52, 10}, {-3, 0}, {7, 20}, {0.974, 19}, {0.976, 20}};
  for (const auto& c : cases) {
    slider.setValue(c.set);
    EXPECT_EQ(slider.QSlider::value(), c.position) << c.set;
    EXPECT_NEAR(slider.value(), c.position * 0.05, 1e-6) << c.set;
  }
}

// The background announces the panel's own colour; back to perspective forgets the strength box.
TEST(PosePanel, AnnouncesUserChangesOfRotationBackgroundProjectionAndBox) {
  const auto choose = [](ViewerPosePanel& p, int combo, const char* item) {
    emit p.findChildren<QComboBox*>().at(combo)->textActivated(item); // what a click on the item sends
  };
  const struct {
    const char* name;
    std::function<void(ViewerPosePanel&)> act;
    std::string want;
  } cases[] = {
      {"rotation by the spin box", [](ViewerPosePanel& p) { stepUp(inputBox(&p, 1)); }, "rotation 0 1 0;"},
      {"uniform", [&](ViewerPosePanel& p) { choose(p, 0, "Uniform"); }, "background 85 170 255 0;"},
      {"projection",
       [&](ViewerPosePanel& p) {
         dragSlider(inputBox(&p, 9), 3);
         choose(p, 1, "Orthographic");
         EXPECT_FALSE(inputBox(&p, 9)->isEnabled());
         choose(p, 1, "Perspective");
       },
       "projection 1 3;projection 0 1;projection 1 1;"},
      {"box hidden",
       [](ViewerPosePanel& p) {
         p.findChild<QCheckBox*>()->click();
         EXPECT_FALSE(inputBox(&p, 10)->isEnabled());
       },
       "box 0;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ViewerPosePanel panel;
    std::ostringstream log;
    QObject::connect(&panel, &ViewerPosePanel::rotationChanged, [&](const Vector<float>& r) {
      log << "rotation " << r[0] << ' ' << r[1] << ' ' << r[2] << ';';
    });
    QObject::connect(&panel, &ViewerPosePanel::backgroundChanged, [&](const BackgroundGL& b) {
      const Vector<int>& rgb = b.getColor();
      log << "background " << rgb[0] << ' ' << rgb[1] << ' ' << rgb[2] << ' ' << b.isGradientEnabled() << ';';
    });
    QObject::connect(&panel, &ViewerPosePanel::projectionChanged, [&](const ProjectionGL& p) {
      log << "projection " << p.isPerspective() << ' ' << p.getPerspectiveStrength() << ';';
    });
    QObject::connect(&panel, &ViewerPosePanel::boundingBoxToggled,
                     [&](bool shown) { log << "box " << shown << ';'; });
    c.act(panel);
    EXPECT_EQ(log.str(), c.want);
  }
}

TEST(PosePanel, ShowsPosesToTheNearestDegreeWithoutAnnouncingThem) {
  ViewerPosePanel panel;
  QSignalSpy zoomSpy(&panel, &ViewerPosePanel::zoomChanged);
  Pose pose;
  pose.setXTranslation(-7);
  pose.setZoom(300);
  pose.setSpecularLight(99);
  panel.setPose(pose);
  panel.setRotation(point3(12.5f, -0.4f, 179.6f));
  panel.setBoundingBoxScaling(107);
  const int want[] = {13, 0, 180, -7, 0, 300, 0, 0, 99, 1, 107};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(inputBox(&panel, i)->getValue(), want[i]) << "box " << i;
  EXPECT_EQ(zoomSpy.count(), 0);
}

// The scene box bounds the controls in data units; the announced bar is in scene units.
TEST(ScaleBarPanel, BoundsItsControlsByTheSceneBoxAndAnnouncesScaledBoxes) {
  ViewerScaleBarPanel panel;
  std::vector<BoundingBox<float>> announced;
  QObject::connect(&panel, &ViewerScaleBarPanel::scaleBarChanged,
                   [&](const BoundingBox<float>& box) { announced.push_back(box); });
  panel.setBoundingBox(BoundingBox<float>());
  EXPECT_FALSE(panel.isEnabled());
  panel.setScaling(point3(2, 2, 2));
  panel.setBoundingBox(BoundingBox<float>(point3(0, 0, 0), point3(200, 100, 50)));
  EXPECT_TRUE(panel.isEnabled());
  EXPECT_EQ(sliderOf(inputBox(&panel, 0))->maximum(), 100); // "X"
  EXPECT_EQ(sliderOf(inputBox(&panel, 1))->maximum(), 100); // "Width "
  EXPECT_TRUE(announced.empty());

  panel.setScaling(point3(0.5f, 0.5f, 2.0f));
  dragSlider(inputBox(&panel, 0), 10);
  dragSlider(inputBox(&panel, 1), 4);
  ASSERT_EQ(announced.size(), 2u);
  EXPECT_EQ(announced.back().getVertex1(), point3(5, 0, 0));
  EXPECT_EQ(announced.back().getVertex2(), point3(7, 0, 0));
}
