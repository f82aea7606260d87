// Real frames drawn by Mesa: mesh surfaces in their colour where they lie, replayed lists unchanged,
// nothing from hidden painters or painters without a shape.
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"

#include "tests/rendering/MeshTestShapes.h"
#include "tests/rendering/QuadMeshTestShapes.h"
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

class MeshFrames : public ::testing::Test {
protected:
  void SetUp() override {
    if (!gl.isValid()) GTEST_SKIP() << "no OpenGL context";
  }
  OffscreenGL gl{64};
};

} // namespace

TEST_F(MeshFrames, LitSurfaceShowsItsColourWhereItLiesOnly) {
  TriMesh<float> square = makeSquareMesh(0.5f);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  paintWith(painter, rgb(255, 0, 0), DISPLAY_MODE_SURFACE);
  painter.glDraw();
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 32, 32, QColor(255, 0, 0)));
  EXPECT_TRUE(pixelNear(frame, 4, 4, QColor(0, 0, 0)));
  EXPECT_TRUE(pixelNear(frame, 60, 32, QColor(0, 0, 0)));
}

TEST_F(MeshFrames, ReplayedListDrawsTheSameFrame) {
  TriMesh<float> square = makeSquareMesh(0.5f);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  paintWith(painter, rgb(0, 255, 0), DISPLAY_MODE_SURFACE);
  painter.glDraw();
  const QImage compiled = gl.grab();
  gl.clear();
  painter.glDraw();
  const QImage replayed = gl.grab();
  EXPECT_TRUE(pixelNear(replayed, 32, 32, QColor(0, 255, 0)));
  EXPECT_EQ(compiled, replayed) << saveFrame(replayed);
}

TEST_F(MeshFrames, HiddenPainterAndPainterWithoutShapeDrawNothing) {
  TriMesh<float> square = makeSquareMesh(0.9f);
  TriMeshPainterGL<float> hidden;
  hidden.setShape(square);
  paintWith(hidden, rgb(255, 255, 0), DISPLAY_MODE_SURFACE, false);
  hidden.glDraw();
  TriMeshPainterGL<float> empty;
  paintWith(empty, rgb(255, 255, 0), DISPLAY_MODE_SURFACE);
  empty.glDraw();
  const QImage frame = gl.grab();
  EXPECT_TRUE(pixelNear(frame, 32, 32, QColor(0, 0, 0)));
}

TEST_F(MeshFrames, QuadMeshSurfaceFacingTheViewerIsLit) {
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
