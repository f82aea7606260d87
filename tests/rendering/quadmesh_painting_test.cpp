// Quad-mesh painter: smooth normals from the quads around each vertex, strips per band, the
// wireframe in both directions, and which meshes go to the blended pass.
#include "rendering/QuadMeshPainterGL.h"

#include "foundation/Exception.h"
#include "tests/rendering/QuadMeshTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

template <class Painter> void setMode(Painter& painter, DisplayModeGL mode) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setDisplayMode(mode);
  painter.setAttributes(attributes);
}

template <class Painter> void setTransparency(Painter& painter, float alpha) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setTransparency(alpha);
  painter.setAttributes(attributes);
}

void expectNormal(const Vector<float>& normal, float x, float y, float z) {
  EXPECT_NEAR(normal[0], x, 1e-5f);
  EXPECT_NEAR(normal[1], y, 1e-5f);
  EXPECT_NEAR(normal[2], z, 1e-5f);
}

const float r = 1.0f / std::sqrt(2.0f);

} // namespace

TEST(QuadMeshNormals, ClosedTubeGetsRadialNormalsOnEveryRow) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  const QuadMesh<float>& normals = painter.getNormals();
  ASSERT_EQ(normals.getHeight(), 3);
  ASSERT_EQ(normals.getWidth(), 4);
  for (int row = 0; row < 3; ++row) {
    expectNormal(normals[row][0], -r, r, 0); // vertex (1, -1): minus the outward diagonal
    expectNormal(normals[row][2], r, -r, 0); // vertex (-1, 1)
  }
}

TEST(QuadMeshNormals, OpenMeshEdgesUseTheirOneSidedQuadsOnly) {
  QuadMesh<float> strip = makeQuadMesh(
      {{{1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}}, {{1, -1, 1}, {1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}}},
      true);
  QuadMeshPainterGL<float> painter;
  painter.setShape(strip);
  const QuadMesh<float>& normals = painter.getNormals();
  expectNormal(normals[0][0], -1, 0, 0); // only the face x = 1 touches the first column
  expectNormal(normals[1][3], 1, 0, 0);  // only the face x = -1 touches the last column
  expectNormal(normals[0][1], -r, -r, 0);
}

TEST(QuadMeshNormals, RejectsShapesThatAreNotQuadMeshes) {
  Curve<float> curve = makeCurve({{0, 0, 0}}, true);
  QuadMeshPainterGL<float> painter;
  try {
    painter.setShape(curve);
    FAIL() << "no exception";
  } catch (const TypeError& error) {
    EXPECT_EQ(error.getWhat(), "Non QuadMesh shape passed as function argument");
    EXPECT_EQ(error.getWhere(), "void QuadMeshPainterGL<T>::setShape(...)");
  }
  EXPECT_FALSE(painter.hasShape());
}

TEST(QuadMeshSurface, OneStripPerBandClosedAroundTheTube) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  EXPECT_EQ(painter.getAttributes().getDisplayMode(), DISPLAY_MODE_SURFACE);
  painter.setShape(tube);
  GLCallRecorder recorder;
  painter.glDraw();
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 2u);
  for (const auto& batch : batches) {
    EXPECT_EQ(batch.mode, GL_TRIANGLE_STRIP);
    ASSERT_EQ(batch.vertices.size(), 10u); // four pairs and the first pair again
    EXPECT_EQ(batch.vertices[8], batch.vertices[0]);
    EXPECT_EQ(batch.vertices[9], batch.vertices[1]);
  }
  EXPECT_EQ(batches[1].vertices[0], (std::vector<double>{1, -1, 1})); // row 1 first, then row 2
  EXPECT_EQ(batches[1].vertices[1], (std::vector<double>{1, -1, 2}));
  EXPECT_NEAR(batches[0].normals[0][0], -r, 1e-6);
  EXPECT_EQ(recorder.count("glColor4ub"), 0); // no vertex colours
}

TEST(QuadMeshSurface, SingleCurveDrawsNoSurfaceAndAWireframeOfThatCurve) {
  QuadMesh<float> ring = makeTube(1);
  QuadMeshPainterGL<float> painter;
  painter.setShape(ring);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_TRUE(recorder.batches().empty());
  recorder.clear();
  setMode(painter, DISPLAY_MODE_MESH);
  painter.glDraw();
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 5u); // the ring, then four one-vertex transverse curves
  EXPECT_EQ(batches[0].mode, GL_LINE_LOOP);
  for (std::size_t i = 1; i < 5; ++i) {
    EXPECT_EQ(batches[i].mode, GL_LINE_STRIP);
    EXPECT_EQ(batches[i].vertices.size(), 1u);
  }
}

TEST(QuadMeshWireframe, DrawsRowsThenColumnsThroughEveryRow) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  setMode(painter, DISPLAY_MODE_MESH);
  GLCallRecorder recorder;
  painter.glDraw();
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 7u);
  EXPECT_EQ(batches[6].mode, GL_LINE_STRIP);
  EXPECT_EQ(batches[6].vertices, (std::vector<std::vector<double>>{{-1, -1, 0}, {-1, -1, 1}, {-1, -1, 2}}));
}

TEST(QuadMeshOpacity, FollowsTheTransparency) {
  QuadMeshPainterGL<float> painter;
  EXPECT_TRUE(painter.isOpaque());
  setTransparency(painter, 254.5f);
  EXPECT_FALSE(painter.isOpaque());
  QuadMesh<float> tube = makeTube(2);
  painter.setShape(tube);
  Vector<int> color(3);
  color.fill(100);
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setColor(color);
  painter.setAttributes(attributes);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(recorder.named("glColor4ub")[0].args[3], 254);
}

TEST(QuadMeshCaps, DrawnOnlyWhenTheirFlagIsSetAndTheMeshHasThem) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setBeginCapFlag(true);
  attributes.setEndCapFlag(false);
  painter.setAttributes(attributes);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(recorder.batches().size(), 2u); // no cap built yet

  tube.buildCaps();
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.batches().size(), 2u + 9u); // the begin cap's ten rows make nine bands
  attributes.setEndCapFlag(true);
  painter.setAttributes(attributes);
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.batches().size(), 2u + 18u);
}

TEST(QuadMeshSurface, VertexColoursPrecedeEveryVertexWithThePainterAlpha) {
  QuadMesh<float> tube = makeTube(2);
  auto* colors = new QuadMesh<int>(3, 2, 4, 0, 0, false);
  for (int r = 0; r < 2; ++r)
    for (int k = 0; k < 4; ++k) {
      (*colors)[r][k][0] = 10 * r + k;
      (*colors)[r][k][1] = 256 + k; // only the low byte is used
      (*colors)[r][k][2] = 0;
    }
  tube.setVertexColors(colors);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  setTransparency(painter, 200.7f);
  GLCallRecorder recorder;
  painter.glDraw();
  const auto colours = recorder.named("glColor4ub");
  ASSERT_EQ(colours.size(), 10u);
  EXPECT_EQ(colours[0].args, (std::vector<double>{0, 0, 0, 200}));  // row 0, column 0
  EXPECT_EQ(colours[3].args, (std::vector<double>{11, 1, 0, 200})); // row 1, column 1
}
