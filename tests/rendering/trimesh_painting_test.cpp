// Triangle-mesh painter: display lists compiled once per change and replayed, the smoothing rules of
// setAttributes, and removed triangles.
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"

#include "foundation/Exception.h"
#include "geometry/TriMeshSmoothing.h"
#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

double listOf(const GLCallRecorder& recorder, const char* call) {
  return recorder.named(call).at(0).args[0];
}

TriMesh<float> tetrahedron() {
  return makeTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                     {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
}

void setSmoothing(TriMeshPainterGL<float>& painter, int vertices, int normals) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) {
    a.setVerticesSmoothing(vertices);
    a.setNormalsSmoothing(normals);
  });
}

class TriMeshLists : public ::testing::Test {
protected:
  void SetUp() override { painter.setShape(square); }
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  GLCallRecorder recorder;
};

} // namespace

TEST_F(TriMeshLists, FirstDrawCompilesAndLaterDrawsReplayUntilAnAttributeChanges) {
  EXPECT_EQ(painter.getAttributes().getDisplayMode(), DISPLAY_MODE_SURFACE);
  painter.glDraw();
  ASSERT_EQ(recorder.count("glNewList"), 1);
  const double list = listOf(recorder, "glNewList");
  EXPECT_EQ(recorder.named("glNewList")[0].args[1], GL_COMPILE);
  EXPECT_EQ(recorder.count("glEndList"), 1);
  ASSERT_EQ(recorder.count("glCallList"), 1); // the compiled list draws the first frame too
  EXPECT_EQ(listOf(recorder, "glCallList"), list);
  const auto batches = recorder.batches(); // one batch holds every triangle, in index order
  ASSERT_EQ(batches.size(), 1u);
  EXPECT_EQ(batches[0].mode, GL_TRIANGLES);
  const int order[] = {0, 1, 2, 0, 2, 3};
  ASSERT_EQ(batches[0].vertices.size(), 6u);
  for (int k = 0; k < 6; ++k) {
    const Vector<float>& p = square[order[k]];
    EXPECT_EQ(batches[0].vertices[k], (std::vector<double>{p[0], p[1], p[2]})) << k;
  }
  EXPECT_EQ(recorder.count("glNormal3f"), 6);
  for (int paint = 0; paint < 2; ++paint) {
    recorder.clear();
    painter.glDraw();
    EXPECT_EQ(recorder.count("glNewList") + recorder.count("glBegin"), 0) << "paint " << paint;
    ASSERT_EQ(recorder.count("glCallList"), 1);
    EXPECT_EQ(listOf(recorder, "glCallList"), list);
  }
  painter.setAttributes(painter.getAttributes()); // nothing changes, the list is still rebuilt
  recorder.clear();
  painter.glDraw();
  ASSERT_EQ(recorder.count("glDeleteLists"), 1);
  EXPECT_EQ(listOf(recorder, "glDeleteLists"), list);
  EXPECT_EQ(recorder.count("glNewList"), 1);
}

// A removed triangle keeps its place with the vertex numbers -1: neither filled nor outlined.
TEST_F(TriMeshLists, RemovedTrianglesAreNeitherFilledNorOutlined) {
  square.removeTriangle(0);
  painter.glDraw();
  ASSERT_EQ(recorder.batches().size(), 1u);
  EXPECT_EQ(recorder.batches()[0].vertices.size(), 3u);
  setMode(painter, DISPLAY_MODE_MESH);
  recorder.clear();
  painter.glDraw();
  ASSERT_EQ(recorder.batches().size(), 1u);
  EXPECT_EQ(recorder.batches()[0].vertices.size(), 6u);
}

TEST(MeshPainterShapes, MeshPaintersRejectShapesOfAnotherKind) {
  Curve<float> curve = makeCurve({{0, 0, 0}}, true);
  QuadMeshPainterGL<float> quads;
  EXPECT_THROW(quads.setShape(curve), TypeError);
  EXPECT_FALSE(quads.hasShape());
  TriMeshPainterGL<float> triangles;
  EXPECT_THROW(triangles.setShape(curve), TypeError);
}

TEST(TriMeshSmoothingRules, OnlyChangedVertexCountsMoveTheMeshCumulatively) {
  TriMesh<float> mesh = tetrahedron();
  TriMeshPainterGL<float> painter;
  painter.setShape(mesh);
  const Vector<float> original = mesh[1];
  const Vector<float> normalBefore = mesh.getNormal(1);
  setSmoothing(painter, 0, 2); // normal smoothing alone keeps the vertices
  EXPECT_EQ(mesh[1], original);
  EXPECT_NE(mesh.getNormal(1), normalBefore);
  setSmoothing(painter, 1, 2);
  const Vector<float> once = mesh[1];
  EXPECT_NE(once, original);
  setSmoothing(painter, 2, 2);
  EXPECT_NE(mesh[1], once); // two more passes on the smoothed mesh
  const Vector<float> twice = mesh[1];
  painter.setAttributes(painter.getAttributes()); // unchanged counts leave the mesh alone
  EXPECT_EQ(mesh[1], twice);
}

TEST(TriMeshSmoothingRules, VertexSmoothingRecomputesTheNormalsWithTheUnchangedNormalCount) {
  // A 3 x 3 grid whose middle vertex is raised: smoothing lowers it and tilts every normal.
  const auto raisedGrid = [] {
    return makeTriMesh(
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 1}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}, {2, 2, 0}},
        {{0, 1, 4}, {0, 4, 3}, {1, 2, 5}, {1, 5, 4}, {3, 4, 7}, {3, 7, 6}, {4, 5, 8}, {4, 8, 7}});
  };
  TriMesh<float> mesh = raisedGrid();
  TriMeshPainterGL<float> painter;
  painter.setShape(mesh);
  setSmoothing(painter, 0, 1);
  const Vector<float> normalBefore = mesh.getNormal(1);
  setSmoothing(painter, 1, 1);

  TriMesh<float> expected = raisedGrid();
  TriMeshSmoothing<float> smoothing;
  smoothing.setNumIterations(1);
  smoothing.smooth(expected);
  expected.smoothNormals(1);
  EXPECT_NE(mesh.getNormal(1), normalBefore); // the moved mesh has other normals
  for (int v = 0; v < 9; ++v)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(mesh.getNormal(v)[i], expected.getNormal(v)[i], 1e-6) << v;
}
