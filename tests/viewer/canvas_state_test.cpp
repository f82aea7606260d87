// The canvas's programmatic interface: painter list and its signals, scene box, pose conversions,
// saved background, and unprojection of widget positions.
#include "viewer/ViewerCanvasGL.h"

#include "tests/viewer/CanvasTestPainters.h"

#include <QColor>
#include <QSettings>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

Vector<int> pair(int x, int y) {
  Vector<int> v(2);
  v[0] = x;
  v[1] = y;
  return v;
}

BlockPainter block(float x1, float y1, float z1, float x2, float y2, float z2) {
  return BlockPainter(x1, y1, z1, x2, y2, z2, 255, 255, 255);
}

class CanvasState : public ::testing::Test {
protected:
  void SetUp() override {
    QSettings().clear();
    canvas = std::make_unique<ViewerCanvasGL>();
    canvas->resize(100, 100);
  }
  std::unique_ptr<ViewerCanvasGL> canvas;
};

} // namespace

TEST_F(CanvasState, AddingAndRemovingPaintersEmitsTheirSignalsInListOrder) {
  BlockPainter a = block(0, 0, 0, 1, 1, 1), b = block(0, 0, 0, 1, 1, 1), c = block(0, 0, 0, 1, 1, 1);
  int added = 0;
  std::vector<const PainterGL<float>*> removed;
  QObject::connect(canvas.get(), &ViewerCanvasGL::painterAdded, [&](PainterGL<float>&) { ++added; });
  QObject::connect(canvas.get(), &ViewerCanvasGL::painterRemoved,
                   [&](PainterGL<float>& painter) { removed.push_back(&painter); });
  for (BlockPainter* painter : {&a, &b, &c}) canvas->addPainter(*painter);
  EXPECT_EQ(added, 3);
  canvas->removePainter(b);
  BlockPainter stranger = block(0, 0, 0, 1, 1, 1);
  canvas->removePainter(stranger); // not listed: no signal
  EXPECT_EQ(removed, (std::vector<const PainterGL<float>*>{&b}));
  EXPECT_EQ(canvas->getPainters().size(), 2u);
  canvas->setPainters({&a, &b, &c});
  removed.clear();
  canvas->removePainters();
  EXPECT_EQ(removed, (std::vector<const PainterGL<float>*>{&a, &b, &c}));
  EXPECT_TRUE(canvas->getPainters().empty());
}

TEST_F(CanvasState, SceneBoxMergesThePaintersAndGrowsByTheScaling) {
  BlockPainter a = block(0, 0, 0, 1, 1, 1), b = block(-1, 2, 0, 0, 3, 2);
  canvas->addPainter(a);
  canvas->addPainter(b);
  int changed = 0;
  QObject::connect(canvas.get(), &ViewerCanvasGL::boundingBoxChanged,
                   [&](const BoundingBox<float>&) { ++changed; });
  canvas->setBoundingBoxScaling(100);
  ASSERT_EQ(changed, 1);
  const BoundingBox<float> tight = canvas->getBoundingBoxPainter().getBoundingBox();
  EXPECT_EQ(tight.getVertex1()[0], -1.0f);
  EXPECT_EQ(tight.getVertex2()[1], 3.0f);
  EXPECT_EQ(tight.getVertex2()[2], 2.0f);
  EXPECT_FLOAT_EQ(canvas->getCenter()[1], 1.5f);
  EXPECT_FLOAT_EQ(canvas->getScale(), 0.6f * std::sqrt(17.0f));

  canvas->setBoundingBoxScaling(150); // half the size on every side
  const BoundingBox<float> grown = canvas->getBoundingBoxPainter().getBoundingBox();
  EXPECT_FLOAT_EQ(grown.getVertex1()[0], -2.0f);
  EXPECT_FLOAT_EQ(grown.getVertex2()[1], 4.5f);
  canvas->setBoundingBoxScaling(90); // a tenth less on every side
  EXPECT_FLOAT_EQ(canvas->getBoundingBoxPainter().getBoundingBox().getVertex2()[2], 1.8f);
  EXPECT_FLOAT_EQ(canvas->getScale(), 0.6f * std::sqrt(17.0f)); // the scale follows the tight box
}

TEST_F(CanvasState, PoseRoundTripKeepsPanningZoomAndLights) {
  for (int zoom : {100, 50, 250}) {
    SCOPED_TRACE(zoom);
    Pose pose;
    pose.setRotation(Pose::canonicalPose3().getRotation());
    pose.setZoom(zoom);
    canvas->setPose(pose); // sets the zoom first, so the panning converts at that zoom below
    pose.setTranslation(pair(37, -12));
    pose.setAmbientLight(40);
    pose.setDiffuseLight(200);
    pose.setSpecularLight(255);
    canvas->setPose(pose);
    const Pose back = canvas->getPose();
    EXPECT_EQ(back.getXTranslation(), 37);
    EXPECT_EQ(back.getYTranslation(), -12);
    EXPECT_EQ(back.getZoom(), zoom);
    EXPECT_EQ(back.getAmbientLight(), 40);
    EXPECT_EQ(back.getDiffuseLight(), 200);
    EXPECT_EQ(back.getSpecularLight(), 255);
    EXPECT_EQ(back.getXRotation(), 90);
  }
}

TEST_F(CanvasState, ResetPoseKeepsLightsAndAnnouncesThePoseWhileProgrammaticChangesAnnounceNothing) {
  int announced = 0;
  QObject::connect(canvas.get(), &ViewerCanvasGL::rotationChanged,
                   [&](const Vector<float>&) { ++announced; });
  QObject::connect(canvas.get(), &ViewerCanvasGL::translationChanged,
                   [&](const Vector<int>&) { ++announced; });
  QObject::connect(canvas.get(), &ViewerCanvasGL::zoomChanged, [&](int) { ++announced; });
  QObject::connect(canvas.get(), &ViewerCanvasGL::poseChanged, [&](const Pose&) { ++announced; });
  canvas->setRotation(Pose::canonicalPose2().getRotation());
  canvas->setTranslation(pair(3, 4));
  canvas->setZoom(150);
  canvas->setStandardPose1();
  Pose pose = Pose::canonicalPose2();
  pose.setZoom(300);
  pose.setAmbientLight(77);
  pose.setXTranslation(5);
  canvas->setPose(pose);
  EXPECT_EQ(announced, 0);
  canvas->resetPose();
  EXPECT_EQ(announced, 1);
  const Pose reset = canvas->getPose();
  EXPECT_EQ(reset.getYRotation(), 0);
  EXPECT_EQ(reset.getZoom(), 100);
  EXPECT_EQ(reset.getXTranslation(), 0);
  EXPECT_EQ(reset.getAmbientLight(), 77);
}

TEST_F(CanvasState, BackgroundIsSavedAndRestoredByTheNextCanvasAndAnUnreadableOneReadsAsBlack) {
  QSettings settings;
  settings.setValue("viewerCanvas/background/color", "not a colour");
  ViewerCanvasGL blank;
  const Vector<int> black = blank.getBackground().getColor();
  EXPECT_EQ(black[0] + black[1] + black[2], 0);
  EXPECT_EQ(black[3], 255);
  EXPECT_TRUE(blank.getBackground().isGradientEnabled());      // no saved flag: gradient
  EXPECT_EQ(blank.getBoundingBoxPainter().getColor()[0], 255); // white box on black

  BackgroundGL background;
  Vector<int> color(3);
  color[0] = 200;
  color[1] = 10;
  color[2] = 20;
  background.setColor(color);
  background.setGradientEnabled(false);
  canvas->setBackground(background);
  ViewerCanvasGL next;
  EXPECT_EQ(next.getBackground().getColor()[0], 200);
  EXPECT_EQ(next.getBackground().getColor()[3], 255);
  EXPECT_FALSE(next.getBackground().isGradientEnabled());
  EXPECT_EQ(next.getBoundingBoxPainter().getColor()[0], 0); // black box on a light background
}

TEST_F(CanvasState, UnProjectInvertsTheLastPaintPass) {
  BlockPainter a = block(-1, -1, -1, 1, 1, 1);
  canvas->addPainter(a);
  ProjectionGL orthographic;
  orthographic.setOrthographic();
  canvas->setProjection(orthographic);
  canvas->initializeGL();
  canvas->grabFramebuffer();
  canvas->makeCurrent();
  const float scale = canvas->getScale();
  const Vector<float> centre = canvas->unProject(QPoint(50, 50), 0.5f);
  EXPECT_NEAR(centre[0], 0.0f, scale * 0.02f);
  EXPECT_NEAR(centre[1], 0.0f, scale * 0.02f);
  EXPECT_NEAR(centre[2], 0.0f, 1e-4f);
  const Vector<float> corner = canvas->unProject(QPoint(100, 0), 0.0f);
  EXPECT_NEAR(corner[0], scale, 1e-4f);
  EXPECT_NEAR(corner[1], scale, 1e-4f);
  EXPECT_NEAR(corner[2], scale, 1e-4f); // the near plane of the orthographic box
}
