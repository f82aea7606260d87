// Quad-mesh painter: strips per band, the wireframe in both directions, and caps.
#include "rendering/QuadMeshPainterGL.h"

#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

const float r = 1.0f / std::sqrt(2.0f);

} // namespace

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
