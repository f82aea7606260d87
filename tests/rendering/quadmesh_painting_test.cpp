// Quad-mesh painter: smooth normals from the quads around each vertex, strips per band, the
// wireframe in both directions, caps, vertex colours and which meshes go to the blended pass.
#include "rendering/QuadMeshPainterGL.h"

#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectNormal(const Vector<float>& normal, float x, float y, float z) {
  EXPECT_NEAR(normal[0], x, 1e-5f);
  EXPECT_NEAR(normal[1], y, 1e-5f);
  EXPECT_NEAR(normal[2], z, 1e-5f);
}

const float r = 1.0f / std::sqrt(2.0f);

} // namespace

TEST(QuadMeshNormals, ClosedTubeGetsRadialNormalsAndOpenEdgesUseTheirOneSidedQuads) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  ASSERT_EQ(painter.getNormals().getHeight(), 3);
  for (int row = 0; row < 3; ++row) {
    expectNormal(painter.getNormals()[row][0], -r, r, 0); // vertex (1, -1): minus the outward diagonal
    expectNormal(painter.getNormals()[row][2], r, -r, 0); // vertex (-1, 1)
  }
  QuadMesh<float> strip = makeQuadMesh(
      {{{1, -1, 0}, {1, 1, 0}, {-1, 1, 0}, {-1, -1, 0}}, {{1, -1, 1}, {1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}}},
      true);
  painter.setShape(strip);
  expectNormal(painter.getNormals()[0][0], -1, 0, 0); // only the face x = 1 touches the first column
  expectNormal(painter.getNormals()[1][3], 1, 0, 0);  // only the face x = -1 touches the last column
  expectNormal(painter.getNormals()[0][1], -r, -r, 0);
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

TEST(QuadMeshWireframe, DrawsRowsThenColumnsThroughEveryRow) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  setMode(painter, DISPLAY_MODE_MESH);
  GLCallRecorder recorder;
  painter.glDraw();
  auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 7u);
  EXPECT_EQ(batches[6].mode, GL_LINE_STRIP);
  EXPECT_EQ(batches[6].vertices, (std::vector<std::vector<double>>{{-1, -1, 0}, {-1, -1, 1}, {-1, -1, 2}}));

  // A single curve has no surface, and its wireframe is the ring and four one-vertex columns.
  QuadMesh<float> ring = makeTube(1);
  painter.setShape(ring);
  recorder.clear();
  painter.glDraw();
  batches = recorder.batches();
  ASSERT_EQ(batches.size(), 5u);
  EXPECT_EQ(batches[0].mode, GL_LINE_LOOP);
  EXPECT_EQ(batches[4].vertices.size(), 1u);
  setMode(painter, DISPLAY_MODE_SURFACE);
  recorder.clear();
  painter.glDraw();
  EXPECT_TRUE(recorder.batches().empty());
}

TEST(QuadMeshCaps, DrawnOnlyWhenTheirFlagIsSetAndTheMeshHasThem) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  changeAttributes(painter, [](ShapePainterAttributesGL& a) {
    a.setBeginCapFlag(true);
    a.setEndCapFlag(false);
  });
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(recorder.batches().size(), 2u); // no cap built yet
  tube.buildCaps();
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.batches().size(), 2u + 9u); // the begin cap's ten rows make nine bands
  changeAttributes(painter, [](ShapePainterAttributesGL& a) { a.setEndCapFlag(true); });
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.batches().size(), 2u + 18u);
}

TEST(QuadMeshSurface, VertexColoursPrecedeEveryVertexWithThePainterAlphaAndMakeItTransparent) {
  QuadMesh<float> tube = makeTube(2);
  auto* colors = new QuadMesh<int>(3, 2, 4, 0, 0, false);
  for (int row = 0; row < 2; ++row)
    for (int k = 0; k < 4; ++k) {
      (*colors)[row][k][0] = 10 * row + k;
      (*colors)[row][k][1] = 256 + k; // only the low byte is used
      (*colors)[row][k][2] = 0;
    }
  tube.setVertexColors(colors);
  QuadMeshPainterGL<float> painter;
  EXPECT_TRUE(painter.isOpaque());
  painter.setShape(tube);
  setTransparency(painter, 200.7f);
  EXPECT_FALSE(painter.isOpaque());
  GLCallRecorder recorder;
  painter.glDraw();
  const auto colours = recorder.named("glColor4ub");
  ASSERT_EQ(colours.size(), 10u);
  EXPECT_EQ(colours[0].args, (std::vector<double>{0, 0, 0, 200}));  // row 0, column 0
  EXPECT_EQ(colours[3].args, (std::vector<double>{11, 1, 0, 200})); // row 1, column 1
}
