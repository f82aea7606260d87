// Real frames drawn by Mesa: point, curve and box painters put their colour where their shape lies.
#include "rendering/BoundingBoxPainterGL.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/VerticesPainterGL.h"

#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

Vector<int> rgb(int r, int g, int b) {
  Vector<int> color(3);
  color[0] = r;
  color[1] = g;
  color[2] = b;
  return color;
}

template <class Painter>
void paintWith(Painter& painter, const Vector<int>& color, DisplayModeGL mode, bool visible = true) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setColor(color);
  attributes.setDisplayMode(mode);
  attributes.setVisibility(visible);
  attributes.setShininess(0);
  painter.setAttributes(attributes);
}

class PainterFrames : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gl.isValid()) GTEST_SKIP() << "no OpenGL context";
  }
  OffscreenGL gl{64};
};

} // namespace

TEST_F(PainterFrames, PointsAndLinesAreDrawnInTheirColour) {
  Vertices<float> dot = makeVertices({{-0.5f, 0.5f, 0}});
  VerticesPainterGL<float> points;
  points.setShape(dot);
  paintWith(points, rgb(0, 0, 255), DISPLAY_MODE_SYMBOL);
  Curve<float> line = makeCurve({{-1, -0.5f, 0}, {1, -0.5f, 0}}, true);
  CurvePainterGL<float> curve;
  curve.setShape(line);
  paintWith(curve, rgb(0, 255, 255), DISPLAY_MODE_CURVE);
  glNormal3f(0, 0, 1); // points and lines are lit with the current normal
  points.glDraw();
  curve.glDraw();
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 16, 16, QColor(0, 0, 255)));
  EXPECT_TRUE(pixelNear(frame, 40, 48, QColor(0, 255, 255), 40) ||
              pixelNear(frame, 40, 47, QColor(0, 255, 255), 40));
  EXPECT_TRUE(pixelNear(frame, 40, 32, QColor(0, 0, 0)));
}

TEST_F(PainterFrames, BoundingBoxIsAnUnlitOutlineAndLightingIsOnAfterwards) {
  BoundingBoxPainterGL<float> painter;
  Vector<float> lower(3), upper(3);
  lower.fill(-0.5f);
  upper.fill(0.5f);
  painter.setBoundingBox(BoundingBox<float>(lower, upper));
  painter.setColor(rgb(255, 0, 255));
  glDisable(GL_LIGHTING);
  painter.glDraw();
  EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 16, 32, QColor(255, 0, 255), 2) ||
              pixelNear(frame, 15, 32, QColor(255, 0, 255), 2));
  EXPECT_TRUE(pixelNear(frame, 32, 32, QColor(0, 0, 0)));
}
