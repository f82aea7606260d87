// Triangle-mesh painter: display lists compiled once per change and replayed, the smoothing rules of
// setAttributes, and which meshes go to the blended pass.
#include "rendering/TriMeshPainterGL.h"

#include "foundation/Exception.h"
#include "geometry/TriMeshSmoothing.h"
#include "tests/rendering/MeshTestShapes.h"
#include "tests/support/GLCallRecorder.h"
#include "tests/support/TraceText.h"

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

} // namespace

TEST(TriMeshLists, FirstDrawCompilesAndLaterDrawsReplay) {
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  EXPECT_EQ(painter.getAttributes().getDisplayMode(), DISPLAY_MODE_SURFACE);
  EXPECT_TRUE(painter.isDisplayListEnabled());
  painter.setShape(square);
  GLCallRecorder recorder;
  painter.glDraw();
  ASSERT_EQ(recorder.count("glNewList"), 1);
  const double list = recorder.named("glNewList")[0].args[0];
  EXPECT_EQ(recorder.named("glNewList")[0].args[1], GL_COMPILE_AND_EXECUTE);
  EXPECT_EQ(recorder.count("glEndList"), 1);
  EXPECT_EQ(recorder.batches().size(), 2u); // one batch per triangle
  EXPECT_EQ(recorder.count("glNormal3f"), 6);

  for (int paint = 0; paint < 3; ++paint) {
    recorder.clear();
    painter.glDraw();
    EXPECT_EQ(recorder.count("glNewList"), 0);
    EXPECT_EQ(recorder.count("glBegin"), 0);
    ASSERT_EQ(recorder.count("glCallList"), 1);
    EXPECT_EQ(recorder.named("glCallList")[0].args[0], list);
  }
}

TEST(TriMeshLists, AnyAttributeChangeRecompilesOnce) {
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  GLCallRecorder recorder;
  painter.glDraw();
  const double first = recorder.named("glNewList")[0].args[0];
  painter.setAttributes(painter.getAttributes()); // nothing changes, the list is still rebuilt
  recorder.clear();
  painter.glDraw();
  ASSERT_EQ(recorder.count("glDeleteLists"), 1);
  EXPECT_EQ(recorder.named("glDeleteLists")[0].args[0], first);
  EXPECT_EQ(recorder.count("glNewList"), 1);
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.count("glNewList"), 0);
}

TEST(TriMeshLists, WireframeUsesItsOwnListOfSegments) {
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  setMode(painter, DISPLAY_MODE_MESH);
  GLCallRecorder recorder;
  painter.glDraw();
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 1u);
  EXPECT_EQ(batches[0].mode, GL_LINES);
  ASSERT_EQ(batches[0].vertices.size(), 12u);                // three segments per triangle, shared edge twice
  EXPECT_EQ(batches[0].vertices[4], batches[0].vertices[0]); // a-c closes the first triangle
  EXPECT_EQ(recorder.count("glNormal3f"), 0);
  EXPECT_EQ(recorder.count("glNewList"), 1);
}

TEST(TriMeshLists, OtherModesDrawThePointsWithoutLists) {
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  setMode(painter, DISPLAY_MODE_CURVE);
  GLCallRecorder recorder;
  painter.glDraw();
  ASSERT_EQ(recorder.batches().size(), 1u);
  EXPECT_EQ(recorder.batches()[0].mode, GL_POINTS);
  EXPECT_EQ(recorder.count("glNewList"), 0);
}

TEST(TriMeshLists, DestructorFreesTheCompiledLists) {
  TriMesh<float> square = makeSquareMesh(1);
  GLCallRecorder recorder;
  double list = 0;
  {
    TriMeshPainterGL<float> painter;
    painter.setShape(square);
    painter.glDraw();
    list = recorder.named("glNewList")[0].args[0];
    recorder.clear();
  }
  ASSERT_EQ(recorder.count("glDeleteLists"), 1);
  EXPECT_EQ(recorder.named("glDeleteLists")[0].args[0], list);
}

TEST(TriMeshShape, RejectsShapesThatAreNotTriangleMeshes) {
  Vertices<float> points = makeVertices({{0, 0, 0}});
  TriMeshPainterGL<float> painter;
  try {
    painter.setShape(points);
    FAIL() << "no exception";
  } catch (const TypeError& error) {
    EXPECT_EQ(error.getWhat(), "Non TriMesh shape passed as function argument");
    EXPECT_EQ(error.getWhere(), "void TriMeshPainterGL<T>::setShape(...)");
  }
}

TEST(TriMeshOpacity, UndefinedOrFullTransparencyIsOpaque) {
  TriMeshPainterGL<float> painter;
  EXPECT_TRUE(painter.isOpaque());
  setTransparency(painter, 254.5f);
  EXPECT_FALSE(painter.isOpaque());
  ShapePainterAttributesGL attributes;
  attributes.clear();
  painter.setAttributes(attributes);
  EXPECT_TRUE(painter.isOpaque());
}

TEST(TriMeshSmoothingRules, UnchangedCountsLeaveTheMeshAlone) {
  TriMesh<float> mesh =
      makeTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
  TriMeshPainterGL<float> painter;
  painter.setShape(mesh);
  const Vector<float> before = mesh[3];
  painter.setAttributes(painter.getAttributes());
  EXPECT_EQ(mesh[3], before);
}

TEST(TriMeshSmoothingRules, NormalSmoothingAloneKeepsTheVertices) {
  TriMesh<float> mesh =
      makeTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
  TriMeshPainterGL<float> painter;
  painter.setShape(mesh);
  const Vector<float> vertexBefore = mesh[1];
  const Vector<float> normalBefore = mesh.getNormal(1);
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setNormalsSmoothing(2);
  painter.setAttributes(attributes);
  EXPECT_EQ(mesh[1], vertexBefore);
  EXPECT_NE(mesh.getNormal(1), normalBefore);
}

TEST(TriMeshSmoothingRules, VertexSmoothingMovesTheMeshCumulatively) {
  TriMesh<float> mesh =
      makeTriMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
  TriMeshPainterGL<float> painter;
  painter.setShape(mesh);
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setVerticesSmoothing(1);
  painter.setAttributes(attributes);
  const Vector<float> once = mesh[0];
  EXPECT_NE(once, makeTriMesh({{0, 0, 0}}, {})[0]);
  attributes.setVerticesSmoothing(2);
  painter.setAttributes(attributes);
  EXPECT_NE(mesh[0], once); // two more passes on the smoothed mesh
  attributes.setVerticesSmoothing(2);
  const Vector<float> twice = mesh[0];
  painter.setAttributes(attributes);
  EXPECT_EQ(mesh[0], twice);
}

TEST(TriMeshLists, ChangingTheModeKeepsTheOtherListUntilThatModeIsDrawnAgain) {
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  GLCallRecorder recorder;
  painter.glDraw();
  const double surface = recorder.named("glNewList")[0].args[0];
  setMode(painter, DISPLAY_MODE_MESH);
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.count("glDeleteLists"), 0); // only the list of the mode drawn is renewed
  ASSERT_EQ(recorder.count("glNewList"), 1);
  const double mesh = recorder.named("glNewList")[0].args[0];
  EXPECT_NE(mesh, surface);

  setMode(painter, DISPLAY_MODE_SURFACE);
  recorder.clear();
  painter.glDraw();
  ASSERT_EQ(recorder.count("glDeleteLists"), 1);
  EXPECT_EQ(recorder.named("glDeleteLists")[0].args[0], surface);
  EXPECT_EQ(recorder.count("glNewList"), 1);
}

TEST(TriMeshSurface, VertexColoursThenNormalsPrecedeEveryVertexWithThePainterAlpha) {
  TriMesh<float> square = makeSquareMesh(1);
  auto* colors = new TriMesh<int>(3, 4);
  for (int v = 0; v < 4; ++v) {
    colors->vertex(v)[0] = 10 * v;
    colors->vertex(v)[1] = 512 + v; // only the low byte is used
    colors->vertex(v)[2] = 7;
  }
  square.setVertexColors(colors);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  setTransparency(painter, 254.5f);
  EXPECT_FALSE(painter.isOpaque());
  GLCallRecorder recorder;
  painter.glDraw();
  std::vector<GLCall> inBatches;
  bool inside = false;
  for (const GLCall& call : recorder.calls()) {
    if (call.name == "glBegin") inside = true;
    if (call.name == "glEnd") inside = false;
    if (inside && call.name != "glBegin") inBatches.push_back(call);
  }
  ASSERT_EQ(inBatches.size(), 18u); // two triangles of three (colour, normal, vertex)
  const int order[] = {0, 1, 2, 0, 2, 3};
  for (int k = 0; k < 6; ++k) {
    const int v = order[k];
    EXPECT_EQ(inBatches[3 * k].name, "glColor4ub");
    EXPECT_EQ(inBatches[3 * k].args, (std::vector<double>{10.0 * v, double(v), 7, 254})) << k;
    EXPECT_EQ(inBatches[3 * k + 1].name, "glNormal3f");
    EXPECT_EQ(inBatches[3 * k + 1].args, (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(inBatches[3 * k + 2].name, "glVertex3f");
  }
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
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setNormalsSmoothing(1);
  painter.setAttributes(attributes);
  const Vector<float> normalBefore = mesh.getNormal(1);
  attributes.setVerticesSmoothing(1);
  painter.setAttributes(attributes);

  TriMesh<float> expected = raisedGrid();
  TriMeshSmoothing<float> smoothing;
  smoothing.setNumIterations(1);
  smoothing.smooth(expected);
  expected.smoothNormals(1);
  EXPECT_NE(mesh.getNormal(1), normalBefore); // the moved mesh has other normals
  for (int v = 0; v < 9; ++v)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(mesh.getNormal(v)[i], expected.getNormal(v)[i], 1e-6) << v;
}

TEST(TriMeshTracing, NamesSetShapeDrawingAndTheColourQuestion) {
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  testing::internal::CaptureStdout();
  painter.setShape(square);
  GLCallRecorder recorder;
  painter.glDraw();
  const std::string trace = withoutColours(testing::internal::GetCapturedStdout());
  EXPECT_NE(trace.find("ENTER> void TriMeshPainterGL<T>::setShape(const Shape<T>&) ["), std::string::npos)
      << trace;
  EXPECT_NE(trace.find("ENTER> void TriMeshPainterGL<T>::glDrawShape() const ["), std::string::npos);
  EXPECT_NE(trace.find("ENTER> void TriMeshPainterGL<T>::glDrawSurface() const ["), std::string::npos);
  EXPECT_NE(trace.find("EVAL> triMesh.hasVertexColors() = 0\n"), std::string::npos);
}
