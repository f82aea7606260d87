// Real frames drawn by Mesa: painters put their colour where their shape lies, replayed lists draw
// the same frame, hidden painters and painters without a shape draw nothing.
#include "rendering/CurvePainterGL.h"
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VerticesPainterGL.h"

#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

template <class Painter>
void paintWith(Painter& painter, const Vector<int>& color, DisplayModeGL mode, bool visible = true) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) {
    a.setColor(color);
    a.setDisplayMode(mode);
    a.setVisibility(visible);
    a.setShininess(0);
  });
}

class PainterFrames : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(gl.isValid()) << "no OpenGL context"; }
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
  points.glDraw();
  curve.glDraw();
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 16, 16, QColor(0, 0, 255)));
  EXPECT_TRUE(pixelNear(frame, 40, 48, QColor(0, 255, 255), 40) ||
              pixelNear(frame, 40, 47, QColor(0, 255, 255), 40));
  EXPECT_TRUE(pixelNear(frame, 40, 32, QColor(0, 0, 0)));
}

TEST_F(PainterFrames, LitSurfaceShowsItsColourWhereItLiesAndItsReplayedListTheSameFrame) {
  TriMesh<float> square = makeSquareMesh(0.5f);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  paintWith(painter, rgb(255, 0, 0), DISPLAY_MODE_SURFACE);
  painter.glDraw();
  const QImage compiled = gl.grab();
  EXPECT_TRUE(pixelNear(compiled, 32, 32, QColor(255, 0, 0)));
  EXPECT_TRUE(pixelNear(compiled, 4, 4, QColor(0, 0, 0)));
  EXPECT_TRUE(pixelNear(compiled, 60, 32, QColor(0, 0, 0)));
  gl.clear();
  painter.glDraw();
  const QImage replayed = gl.grab();
  EXPECT_EQ(compiled, replayed) << saveFrame(replayed);
}

TEST_F(PainterFrames, QuadMeshSurfaceFacingTheViewerIsLit) {
  QuadMesh<float> sheet =
      makeQuadMesh({{{-0.5f, -0.5f, 0}, {0.5f, -0.5f, 0}}, {{-0.5f, 0.5f, 0}, {0.5f, 0.5f, 0}}}, true);
  QuadMeshPainterGL<float> painter;
  painter.setShape(sheet);
  paintWith(painter, rgb(255, 128, 0), DISPLAY_MODE_SURFACE);
  painter.glDraw();
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 32, 32, QColor(255, 128, 0), 8));
  EXPECT_TRUE(pixelNear(frame, 4, 32, QColor(0, 0, 0)));
}

// Points and lines get a normal towards the viewer: neither the normal left by what was drawn before
// nor the model's orientation changes their shade.
TEST_F(PainterFrames, PointsAndLinesKeepTheirShadeWhateverWasDrawnBefore) {
  Vertices<float> dot = makeVertices({{0, 0.5f, 0}});
  VerticesPainterGL<float> points;
  points.setShape(dot);
  paintWith(points, rgb(0, 0, 255), DISPLAY_MODE_SYMBOL);
  changeAttributes(points, [](ShapePainterAttributesGL& a) { a.setSymbolSize(6); });
  Curve<float> line = makeCurve({{0, -0.2f, 0}, {0, -0.9f, 0}}, true);
  CurvePainterGL<float> curve;
  curve.setShape(line);
  paintWith(curve, rgb(0, 255, 255), DISPLAY_MODE_CURVE);
  changeAttributes(curve, [](ShapePainterAttributesGL& a) { a.setLineWidth(5); });
  for (const float turn : {0.0f, 70.0f}) { // degrees about the vertical axis
    gl.clear();
    glPushMatrix();
    glRotatef(turn, 0, 1, 0);
    glNormal3f(0, 0, turn > 0 ? 1 : -1); // the object's z axis, or away from the viewer
    points.glDraw();
    curve.glDraw();
    glPopMatrix();
    const QImage frame = gl.grab();
    EXPECT_TRUE(pixelNear(frame, 32, 16, QColor(0, 0, 255))) << turn;
    EXPECT_TRUE(pixelNear(frame, 32, 50, QColor(0, 255, 255))) << turn;
  }
}
