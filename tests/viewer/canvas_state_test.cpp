// The canvas's programmatic interface: the saved background and unprojection of widget positions.
#include "viewer/ViewerCanvasGL.h"

#include "tests/viewer/CanvasTestPainters.h"

#include <QColor>
#include <QSettings>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

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
  background.setColor(Vector<int>(std::vector<int>{200, 10, 20}));
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
