// Painters tested on two tiers. The OpenGL they issue, recorded. Point sets: attributes turned into
// state around the drawing, points or solid symbols of equal volume. Curves: loops and strips. Boxes
// that draw nothing. Triangle meshes: display lists compiled once per change and replayed, the
// smoothing rules of setAttributes, removed triangles. Quad meshes: strips per band, the wireframe in
// both directions, caps. The attribute sets all painters share. And real frames drawn by Mesa:
// painters put their colour where their shape lies, from display lists or vertex arrays and never over
// a removed triangle; points and lines keep their shade; images are resampled to powers of two and
// voxel-matrix slices show their grey levels at their depth.
#include "rendering/BoundingBoxPainterGL.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/ImagePainterGL.h"
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VerticesPainterGL.h"
#include "rendering/VoxelMatrixSlicePainterGL.h"

#include "foundation/Exception.h"
#include "geometry/TriMeshSmoothing.h"
#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/ExpectException.h"
#include "tests/support/GLCallRecorder.h"
#include "tests/support/OffscreenGL.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

using Point = std::vector<double>;

class PointPainting : public ::testing::Test {
protected:
  PointPainting() { painter.setShape(points); }
  Vertices<float> points = makeVertices({{1, 2, 3}, {-1, 0, 4}});
  VerticesPainterGL<float> painter;
};

// The display-list calls since the last look, each with the list it names: "glNewList 3 glEndList ".
std::string listCalls(GLCallRecorder& recorder) {
  std::string text;
  for (const GLCall& call : recorder.calls())
    if (call.name.find("List") != std::string::npos && call.name != "glGenLists")
      text += call.name + " " + (call.name == "glEndList" ? "" : std::to_string(int(call.args[0])) + " ");
  recorder.clear();
  return text;
}

class TriMeshLists : public ::testing::Test {
protected:
  void SetUp() override { painter.setShape(square); }
  TriMesh<float> square = makeSquareMesh(1);
  TriMeshPainterGL<float> painter;
  GLCallRecorder recorder;
};

template <class Painter> void paintWith(Painter& painter, const Vector<int>& color, DisplayModeGL mode) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) {
    a.setColor(color);
    a.setDisplayMode(mode);
    a.setShininess(0);
  });
}

class PainterFrames : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(gl.isValid()) << "no OpenGL context"; }
  OffscreenGL gl{64};
};

} // namespace

TEST_F(PointPainting, DefinedAttributesBecomeStateAroundTheDrawing) {
  painter.setSymbolSizeScale(0.5f);
  changeAttributes(painter, [](ShapePainterAttributesGL& a) {
    a.setColor(rgb(300, 20, 30)); // only the low byte reaches OpenGL
    a.setOpacity(127.9f);
    a.setShininess(12.0f);
    a.setLineWidth(3.0f);
    a.setSymbolSize(8.0f);
  });
  GLCallRecorder recorder;
  painter.glDraw();
  std::vector<std::pair<std::string, std::vector<double>>> calls; // the normal points towards the viewer
  for (const GLCall& call : recorder.calls()) calls.push_back({call.name, call.args});
  EXPECT_EQ(calls, (decltype(calls){{"glEnable", {GL_COLOR_MATERIAL}},
                                    {"glColor4ub", {44, 20, 30, 127}},
                                    {"glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 1, 1, 1, 1}},
                                    {"glMaterialf", {GL_FRONT_AND_BACK, GL_SHININESS, 12}},
                                    {"glPointSize", {4}},
                                    {"glLineWidth", {3}},
                                    {"glNormal3f", {0, 0, 1}},
                                    {"glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 0, 0, 0, 1}},
                                    {"glBegin", {GL_POINTS}},
                                    {"glVertex3f", {1, 2, 3}},
                                    {"glVertex3f", {-1, 0, 4}},
                                    {"glEnd", {}},
                                    {"glDisable", {GL_COLOR_MATERIAL}}}));
}

TEST_F(PointPainting, SphereIsAGluSphereOfTheScaleOrOfTheScaledSymbolSize) {
  painter.setSymbolSizeScale(1.5f);
  ShapePainterAttributesGL attributes;
  attributes.clear();
  attributes.setVertexSymbol(VERTEX_SYMBOL_SPHERE);
  GLCallRecorder recorder;
  for (const float size : {0.0f, 2.0f}) { // 0: undefined
    if (size > 0) attributes.setSymbolSize(size);
    painter.setAttributes(attributes);
    painter.glDraw();
  }
  const auto spheres = recorder.named("gluSphere");
  ASSERT_EQ(spheres.size(), 4u);
  EXPECT_EQ(spheres[0].args, (std::vector<double>{1.5, 8, 6}));
  EXPECT_EQ(spheres[3].args[0], 3);
  EXPECT_EQ(recorder.named("gluQuadricDrawStyle")[0].args[0], GLU_FILL);
  EXPECT_EQ(recorder.named("gluQuadricNormals")[0].args[0], GLU_SMOOTH);
}

TEST_F(PointPainting, SolidsAreCentredOnEachVertexCulledAndEncloseTheVolumeOfTheSphereWithOutwardFaces) {
  const double radius = 3.0; // symbol size 2 at scale 1.5
  const double sphereVolume = 4.0 / 3.0 * 3.14159265358979323846 * radius * radius * radius;
  const auto minus = [](const Point& a, const Point& b) {
    return Point{a[0] - b[0], a[1] - b[1], a[2] - b[2]};
  };
  const auto dot = [](const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
  const auto cross = [](const Point& a, const Point& b) {
    return Point{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  };
  painter.setSymbolSizeScale(1.5f);
  for (VertexSymbolGL symbol : {VERTEX_SYMBOL_CUBE, VERTEX_SYMBOL_TETRAHEDRON, VERTEX_SYMBOL_DIAMOND}) {
    SCOPED_TRACE(symbol);
    changeAttributes(painter, [&](ShapePainterAttributesGL& a) {
      a.setVertexSymbol(symbol);
      a.setSymbolSize(2);
    });
    GLCallRecorder recorder;
    painter.glDraw();
    EXPECT_EQ(recorder.count("glPushMatrix") + recorder.count("glPopMatrix"), 4);
    ASSERT_EQ(recorder.count("glTranslatef"), 2);
    EXPECT_EQ(recorder.named("glTranslatef")[1].args, (std::vector<double>{-1, 0, 4}));
    EXPECT_EQ(recorder.named("glEnable").at(0).args[0], GL_CULL_FACE);
    EXPECT_EQ(recorder.named("glCullFace").at(0).args[0], GL_BACK);
    EXPECT_EQ(recorder.named("glDisable").back().args[0], GL_CULL_FACE);
    double volume = 0; // by the divergence theorem: positive for outward winding
    for (const auto& batch : recorder.batches()) {
      const std::size_t corners = batch.mode == GL_QUADS ? 4 : 3;
      for (std::size_t i = 0; i + corners <= batch.vertices.size(); i += corners)
        for (std::size_t k = 1; k + 1 < corners; ++k) { // quads in two triangles
          const Point &a = batch.vertices[i], &b = batch.vertices[i + k], &c = batch.vertices[i + k + 1];
          volume += dot(a, cross(b, c)) / 6.0;
          EXPECT_GT(dot(cross(minus(b, a), minus(c, b)), batch.normals[i]), 0.0)
              << "winds against its normal";
          EXPECT_NEAR(dot(batch.normals[i], batch.normals[i]), 1.0, 1e-6);
        }
    }
    EXPECT_NEAR(volume, 2 * sphereVolume, sphereVolume * 1e-5); // one solid per point
  }
}

TEST(CurvePainting, ClosedCurvesAreLoopsOpenOnesStripsAndSymbolsPoints) {
  // open, mode (the last one without meaning for curves); the batches drawn
  for (const auto& [open, mode, batches] :
       {std::tuple{false, DISPLAY_MODE_CURVE, std::vector<int>{GL_LINE_LOOP}},
        {true, DISPLAY_MODE_CURVE, {GL_LINE_STRIP}},
        {true, DISPLAY_MODE_SYMBOL, {GL_POINTS}},
        {true, DISPLAY_MODE_SYMBOL_CURVE, {GL_LINE_STRIP, GL_POINTS}},
        {false, DISPLAY_MODE_SURFACE, {GL_LINE_LOOP}}}) {
    SCOPED_TRACE(testing::Message() << "open " << open << ", mode " << mode);
    Curve<float> curve = makeCurve({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}}, open);
    CurvePainterGL<float> painter;
    painter.setShape(curve);
    setMode(painter, mode);
    GLCallRecorder recorder;
    painter.glDraw();
    std::vector<int> modes;
    for (const auto& batch : recorder.batches()) {
      modes.push_back(batch.mode);
      EXPECT_EQ(batch.vertices.size(), 3u);
    }
    EXPECT_EQ(modes, batches);
  }
}

TEST(BoundingBoxPainting, DrawsNothingUnsetOfNoSizeOrInactive) {
  const Vector<double> zero(std::vector<double>{0, 0, 0}), one(std::vector<double>{1, 1, 1});
  BoundingBoxPainterGL<double> painter;
  GLCallRecorder recorder;
  painter.glDraw();
  painter.setBoundingBox(BoundingBox<double>(one, one));
  painter.glDraw();
  painter.setBoundingBox(BoundingBox<double>(zero, one));
  painter.setActive(false);
  painter.glDraw();
  EXPECT_TRUE(recorder.calls().empty());
  painter.setActive(true);
  painter.glDraw();
  EXPECT_EQ(recorder.count("glVertex3f"), 16); // two loops of four corners, four edges between them
}

// Sets are equal only when all twelve attributes are defined and equal; reading an undefined one fails.
TEST(ShapePainterAttributes, EqualityNeedsAllTwelveDefinedAndEqualAndUndefinedOnesAreNotRead) {
  ShapePainterAttributesGL fresh, full;
  EXPECT_FALSE(fresh == fresh);
  full.setColor(rgb(10, 20, 30));
  full.setVerticesSmoothing(2);
  full.setNormalsSmoothing(3);
  full.setBeginCapFlag(true);
  full.setEndCapFlag(false);
  ShapePainterAttributesGL other = full;
  EXPECT_TRUE(full == other);
  other.setEndCapFlag(true);
  EXPECT_TRUE(full != other);
  other.clear();
  expectEach<ProgramError>(
      {[&] { other.getVisibility(); }, [&] { other.getBeginCapFlag(); }, [&] { other.getEndCapFlag(); }});
}

// The colour, line width and (without vertex colours) the opacity are set around the list; a
// smoothing count or the alpha of vertex colours is in it.
TEST_F(TriMeshLists, FirstDrawCompilesAListThatLaterDrawsReplayUntilWhatItHoldsChanges) {
  painter.glDraw();
  ASSERT_EQ(recorder.batches().size(), 1u); // one batch holds every triangle
  EXPECT_EQ(recorder.batches()[0].vertices.size(), 6u);
  EXPECT_EQ(recorder.named("glNewList").at(0).args[1], GL_COMPILE);
  const std::string list = std::to_string(int(recorder.named("glNewList")[0].args[0]));
  EXPECT_EQ(listCalls(recorder), "glNewList " + list + " glEndList glCallList " + list + " ");
  painter.glDraw();
  EXPECT_TRUE(recorder.batches().empty());
  EXPECT_EQ(listCalls(recorder), "glCallList " + list + " ");
  const std::pair<std::function<void(ShapePainterAttributesGL&)>, bool> changes[] = {
      {[](ShapePainterAttributesGL& a) { a.setColor(rgb(0, 0, 255)); }, false},
      {[](ShapePainterAttributesGL& a) { a.setLineWidth(4); }, false},
      {[](ShapePainterAttributesGL& a) { a.setOpacity(100); }, false},
      {[](ShapePainterAttributesGL& a) { a.setNormalsSmoothing(1); }, true},
      {[&](ShapePainterAttributesGL& a) {
         square.setVertexColors(new TriMesh<int>(3, 4));
         painter.setShape(square);
         painter.glDraw();
         recorder.clear();
         a.setOpacity(200);
       },
       true}};
  for (const auto& [change, compiles] : changes) {
    changeAttributes(painter, change);
    painter.glDraw();
    const std::string calls = listCalls(recorder);
    EXPECT_EQ(calls.find("glNewList") != std::string::npos, compiles) << calls;
  }
}

// A removed triangle keeps its place with the vertex numbers -1: neither filled nor outlined.
TEST_F(TriMeshLists, RemovedTrianglesAreNeitherFilledNorOutlined) {
  square.removeTriangle(0);
  for (const auto& [mode, vertices] : {std::pair{DISPLAY_MODE_SURFACE, 3u}, {DISPLAY_MODE_MESH, 6u}}) {
    setMode(painter, mode);
    recorder.clear();
    painter.glDraw();
    ASSERT_EQ(recorder.batches().size(), 1u);
    EXPECT_EQ(recorder.batches()[0].vertices.size(), vertices);
  }
}

TEST(MeshPainterShapes, MeshPaintersRejectShapesOfAnotherKind) {
  Curve<float> curve = makeCurve({{0, 0, 0}}, true);
  QuadMeshPainterGL<float> quads;
  EXPECT_THROW(quads.setShape(curve), TypeError);
  EXPECT_FALSE(quads.hasShape());
  EXPECT_THROW(TriMeshPainterGL<float>().setShape(curve), TypeError);
}

// A new vertex count smooths the mesh that many more passes and recomputes its normals with the normal
// count; a new normal count alone smooths the normals; the same counts leave the mesh alone.
TEST(TriMeshSmoothingRules, OnlyChangedCountsChangeTheMeshAndVertexPassesAddUp) {
  // A 3 x 3 grid whose middle vertex is raised: smoothing lowers it and tilts every normal.
  const auto raisedGrid = [] {
    return makeTriMesh(
        {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 1}, {2, 1, 0}, {0, 2, 0}, {1, 2, 0}, {2, 2, 0}},
        {{0, 1, 4}, {0, 4, 3}, {1, 2, 5}, {1, 5, 4}, {3, 4, 7}, {3, 7, 6}, {4, 5, 8}, {4, 8, 7}});
  };
  TriMesh<float> mesh = raisedGrid(), expected = raisedGrid();
  TriMeshPainterGL<float> painter;
  painter.setShape(mesh);
  TriMeshSmoothing<float> smoothing;
  // vertex and normal counts set, and the vertex passes they make
  for (const auto& [vertices, normals, passes] :
       {std::tuple{0, 1, 0}, {1, 1, 1}, {2, 1, 2}, {2, 1, 0}, {2, 2, 0}}) {
    changeAttributes(painter, [&, v = vertices, n = normals](ShapePainterAttributesGL& a) {
      a.setVerticesSmoothing(v);
      a.setNormalsSmoothing(n);
    });
    smoothing.setNumIterations(passes);
    smoothing.smooth(expected);
    expected.smoothNormals(normals);
    for (int v = 0; v < 9; ++v)
      for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(mesh[v][i], expected[v][i], 1e-6) << vertices << normals << " vertex " << v;
        EXPECT_NEAR(mesh.getNormal(v)[i], expected.getNormal(v)[i], 1e-6)
            << vertices << normals << " vertex " << v;
      }
  }
}

TEST(QuadMeshPainting, SurfaceIsOneStripPerBandClosedAroundTheTube) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
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
  EXPECT_EQ(batches[1].vertices[0], (Point{1, -1, 1})); // row 1 first, then row 2
  EXPECT_EQ(batches[1].vertices[1], (Point{1, -1, 2}));
  EXPECT_NEAR(batches[0].normals[0][0], -1 / std::sqrt(2.0), 1e-6);
  EXPECT_EQ(recorder.count("glColor4ub"), 0); // no vertex colours
}

// The wireframe is each row as a loop, then each column as a strip through every row; a mesh of one
// row has no surface.
TEST(QuadMeshPainting, WireframeDrawsRowsThenColumnsThroughEveryRow) {
  // rows, mode; batches drawn, the last one
  for (const auto& [height, mode, count, last] :
       {std::tuple{3, DISPLAY_MODE_MESH, 7u, std::vector<Point>{{-1, -1, 0}, {-1, -1, 1}, {-1, -1, 2}}},
        {1, DISPLAY_MODE_MESH, 5u, {{-1, -1, 0}}},
        {1, DISPLAY_MODE_SURFACE, 0u, {}}}) {
    QuadMesh<float> tube = makeTube(height);
    QuadMeshPainterGL<float> painter;
    painter.setShape(tube);
    setMode(painter, mode);
    GLCallRecorder recorder;
    painter.glDraw();
    const auto batches = recorder.batches();
    ASSERT_EQ(batches.size(), count) << height;
    if (count == 0) continue;
    EXPECT_EQ(batches[0].mode, GL_LINE_LOOP);
    EXPECT_EQ(batches.back().mode, GL_LINE_STRIP);
    EXPECT_EQ(batches.back().vertices, last);
  }
}

TEST(QuadMeshPainting, CapsAreDrawnOnlyWhenBuiltAndTheirFlagIsSet) {
  QuadMesh<float> tube = makeTube(3);
  QuadMeshPainterGL<float> painter;
  painter.setShape(tube);
  const struct {
    bool built, begin, end;
    std::size_t bands; // two of the tube, nine of each cap's ten rows
  } cases[] = {{false, true, true, 2},
               {true, false, false, 2},
               {true, true, false, 11},
               {true, false, true, 11},
               {true, true, true, 20}};
  for (const auto& c : cases) {
    if (c.built && !tube.hasBeginCap()) tube.buildCaps();
    changeAttributes(painter, [&](ShapePainterAttributesGL& a) {
      a.setBeginCapFlag(c.begin);
      a.setEndCapFlag(c.end);
    });
    GLCallRecorder recorder;
    painter.glDraw();
    EXPECT_EQ(recorder.batches().size(), c.bands) << c.built << c.begin << c.end;
  }
}

// The square spans pixels 16 to 48; its lower right triangle is removed. Vertex colours are drawn
// from vertex arrays instead of the display list. Quad meshes are lit as triangle meshes are.
TEST_F(PainterFrames, LitSurfacesShowTheirColourWhereTheyLieFromListsOrArraysButNotOverARemovedTriangle) {
  TriMesh<float> square = makeSquareMesh(0.5f);
  square.removeTriangle(0);
  TriMeshPainterGL<float> painter;
  painter.setShape(square);
  paintWith(painter, rgb(255, 0, 0), DISPLAY_MODE_SURFACE);
  painter.glDraw();
  const QImage compiled = gl.grab();
  EXPECT_TRUE(pixelNear(compiled, 24, 24, QColor(255, 0, 0)));
  EXPECT_TRUE(pixelNear(compiled, 40, 40, Qt::black));
  EXPECT_TRUE(pixelNear(compiled, 60, 32, Qt::black));
  gl.clear();
  painter.glDraw();
  EXPECT_EQ(gl.grab(), compiled) << saveFrame(gl.grab(), "replayed");
  paintWith(painter, rgb(0, 0, 255), DISPLAY_MODE_SURFACE); // the colour is set around the list
  gl.clear();
  painter.glDraw();
  EXPECT_TRUE(pixelNear(gl.grab(), 24, 24, QColor(0, 0, 255)));
  auto colours = std::make_unique<TriMesh<int>>(3, 4);
  for (int v = 0; v < 4; ++v) setPoint((*colours)[v], {0, 255, 0});
  square.setVertexColors(colours.release());
  painter.vertexColorsChanged();
  gl.clear();
  GLCallRecorder recorder(true);
  painter.glDraw();
  EXPECT_EQ(recorder.named("glDrawElements").at(0).args[1], 3); // the vertices of the triangle left
  const QImage arrays = gl.grab();
  EXPECT_TRUE(pixelNear(arrays, 24, 24, QColor(0, 255, 0)));
  EXPECT_TRUE(pixelNear(arrays, 40, 40, Qt::black));
  QuadMesh<float> sheet =
      makeQuadMesh({{{0.6f, -0.9f, 0}, {0.9f, -0.9f, 0}}, {{0.6f, 0.9f, 0}, {0.9f, 0.9f, 0}}}, true);
  QuadMeshPainterGL<float> quads;
  quads.setShape(sheet);
  paintWith(quads, rgb(255, 128, 0), DISPLAY_MODE_SURFACE);
  quads.glDraw();
  EXPECT_TRUE(pixelNear(gl.grab(), 60, 32, QColor(255, 128, 0), 8)); // a quad mesh is lit alike
}

// Points and lines are drawn in their colour with a normal towards the viewer: neither the normal left
// by what was drawn before nor the model's orientation changes their shade.
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
    EXPECT_TRUE(pixelNear(frame, 16, 32, QColor(0, 0, 0))) << turn;
  }
}

TEST_F(PainterFrames, ImagesWhoseSidesAreNotPowersOfTwoAreResampledToTheNextPowers) {
  const struct {
    int width, height, depth, scaledWidth, scaledHeight;
  } cases[] = {
      {100, 60, 8, 128, 64}, {64, 32, 8, 0, 0}, {3, 5, 24, 4, 8}, {1, 1, 8, 0, 0}, {200, 512, 16, 256, 512}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
    Image image(c.width, c.height, c.depth);
    ImagePainterGL<float> painter;
    painter.setImage(image);
    painter.glInit();
    const Image* scaled = painter.getScaledImage();
    ASSERT_EQ(scaled != nullptr, c.scaledWidth > 0);
    if (!scaled) continue;
    EXPECT_EQ(scaled->getSize(), Vector<int>(std::vector<int>{c.scaledHeight, c.scaledWidth}));
    EXPECT_EQ(scaled->getDepth(), c.depth);
  }
}

// Direction 0 turns the slice (x, y, z) -> (z, x, y): seen along x, its rows run up the frame and its
// columns across. The box is the whole volume, not turned.
TEST_F(PainterFrames, SliceShowsTheGreyLevelsOfTheChosenSliceTurnedByDirectionZero) {
  VoxelMatrix<float> volume(4, 4, 5); // a quarter unit each way: voxel (i, j, k) = 40 k + 10 i
  for (int k = 0; k < 5; ++k)
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) volume(i, j, k) = 40.0f * k + 10.0f * i;
  VoxelCalibration calibration;
  calibration.setVoxelSize(Vector<float>(std::vector<float>{0.25f, 0.25f, 0.25f}));
  volume.setVoxelCalibration(calibration);
  VoxelMatrixSlicePainterGL<float, float> painter;
  painter.setDirection(0);
  painter.setVoxelMatrix(volume);
  painter.setCurrentSlice(3);
  glRotatef(90, 0, 1, 0); // (x, y, z) -> (z, y, -x): the slice, at x = 0.75, faces the viewer
  painter.glDraw();
  const QImage frame = gl.grab();
  // Row i spans y from 0.25 i to 0.25 (i + 1): pixel rows 24 - 8 i to 32 - 8 i from the top.
  for (int i = 0; i < 4; ++i) {
    const int grey = 120 + 10 * i;
    EXPECT_TRUE(pixelNear(frame, 48, 28 - 8 * i, QColor(grey, grey, grey), 1)) << "row " << i;
  }
  EXPECT_TRUE(pixelNear(frame, 16, 16, Qt::black, 0));
  EXPECT_TRUE(pixelNear(frame, 48, 48, Qt::black, 0));
  EXPECT_EQ(painter.boundingBox().getVertex2(), Vector<float>(std::vector<float>{1, 1, 1.25f}));
}

// A large mesh's surface is drawn from vertex arrays (kept in buffer objects while display lists are
// on, read in place or copied otherwise), a small one's vertex by vertex: on a lit, wavy sheet the
// frames are the same pixel for pixel, with and without vertex colours (also changed afterwards, as a
// parameter map does), removed triangles and vertices in several blocks of storage; on quad meshes,
// an open one and a closed one with vertex colours and caps (also at another opacity afterwards).
// Most of the sheet's triangles are smaller than a pixel, and the arrays leave out those that cover
// no pixel centre; each frame shows the shapes in parallel projection and in perspective, side by side.
TEST_F(PainterFrames, ArraysDrawTheFramesOfTheVertexByVertexPath) {
  auto frame = [&](auto& painter) {
    gl.clear();
    for (const bool perspective : {false, true}) {
      glViewport(perspective ? 32 : 0, 0, 32, 64);
      glMatrixMode(GL_PROJECTION);
      glPushMatrix();
      if (perspective) glLoadIdentity(), glFrustum(-0.6, 0.6, -1.2, 1.2, 2, 4);
      glMatrixMode(GL_MODELVIEW);
      glPushMatrix();
      if (perspective) glTranslatef(0, 0, -3);
      glRotatef(50, 1, 0.3f, 0);
      painter.glDraw();
      glPopMatrix();
      glMatrixMode(GL_PROJECTION);
      glPopMatrix();
      glMatrixMode(GL_MODELVIEW);
    }
    glViewport(0, 0, 64, 64);
    return gl.grab();
  };
  struct Case {
    const char* name;
    bool colours, removed, blocks;
  } cases[] = {{"plain", false, false, false},
               {"vertex colours", true, false, false},
               {"removed triangles", false, true, false},
               {"all, vertices in blocks", true, true, true}};
  const int side = 72;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TriMesh<float> sheet(3, c.blocks ? 1 : side * side, 0, 7); // grows 7 vertices a block
    for (int v = 0; v < side * side; ++v) {
      const float x = 1.8f * float(v % side) / (side - 1) - 0.9f,
                  y = 1.8f * float(v / side) / (side - 1) - 0.9f;
      const Triple p = {x, y, 0.3f * std::sin(5 * x) * std::cos(4 * y)};
      if (v > 0 && c.blocks)
        sheet.append(Vector<float>(std::vector<float>(p)));
      else
        setPoint(sheet[v], p);
    }
    for (int a = 0; a + side + 1 < side * side; ++a)
      if (a % side != side - 1)
        sheet.addTriangle(a, a + 1, a + side + 1), sheet.addTriangle(a, a + side + 1, a + side);
    if (c.removed)
      for (int t = 0; t < sheet.getNumTriangles(); t += 5) sheet.removeTriangle(t);
    sheet.computeNormals();
    auto colour = [&](int shift) {
      auto colours = std::make_unique<TriMesh<int>>(3, side * side);
      for (int v = 0; v < side * side; ++v)
        setPoint((*colours)[v], {float((v * 7 + shift) % 256), float(v % 256), 90});
      sheet.setVertexColors(colours.release());
    };
    if (c.colours) colour(0);
    TriMeshPainterGL<float> oneByOne, buffers, inPlace;
    oneByOne.setArraysFromTriangles(1 << 30);
    buffers.setArraysFromTriangles(0);
    inPlace.setArraysFromTriangles(0);
    inPlace.enableDisplayLists(false);
    for (TriMeshPainterGL<float>* painter : {&oneByOne, &buffers, &inPlace}) {
      painter->setShape(sheet);
      paintWith(*painter, rgb(200, 120, 40), DISPLAY_MODE_SURFACE);
    }
    const QImage expected = frame(oneByOne);
    GLCallRecorder recorder(true);
    EXPECT_EQ(frame(buffers), expected) << saveFrame(frame(buffers), "buffers");
    int corners = 0;
    for (const GLCall& call : recorder.named("glDrawElements")) corners += int(call.args[1]);
    EXPECT_LT(corners, 3 * sheet.getNumTriangles()); // two draws of under half the triangles
    EXPECT_EQ(frame(inPlace), expected) << saveFrame(frame(inPlace), "in-place");
    if (!c.colours) continue;
    colour(100);
    oneByOne.setShape(sheet); // compiles the list again
    buffers.vertexColorsChanged();
    const QImage recoloured = frame(oneByOne);
    EXPECT_NE(recoloured, expected);
    EXPECT_EQ(frame(buffers), recoloured) << saveFrame(frame(buffers), "recoloured");
  }
  for (const bool open : {true, false}) {
    SCOPED_TRACE(open ? "open quad mesh" : "closed quad mesh, vertex colours, caps");
    const int rows = 12, around = 20;
    QuadMesh<float> tube(3, rows, around, 0, 0, open);
    auto colours = std::make_unique<QuadMesh<int>>(3, rows, around, 0, 0, open);
    for (int r = 0; r < rows; ++r)
      for (int k = 0; k < around; ++k) {
        const float a = 6.2832f * float(k) / around, radius = 0.5f + 0.1f * std::sin(3 * a + float(r));
        setPoint(tube[r][k],
                 {radius * std::cos(a), 1.6f * float(r) / (rows - 1) - 0.8f, radius * std::sin(a)});
        setPoint((*colours)[r][k], {float(r * 20), float(k * 12), 90});
      }
    if (!open) tube.setVertexColors(colours.release()), tube.buildCaps();
    QuadMeshPainterGL<float> oneByOne, buffers, copies;
    oneByOne.setArraysFromQuads(1 << 30);
    buffers.setArraysFromQuads(0);
    copies.setArraysFromQuads(0);
    copies.enableDisplayLists(false);
    for (QuadMeshPainterGL<float>* painter : {&oneByOne, &buffers, &copies}) {
      painter->setShape(tube);
      paintWith(*painter, rgb(200, 120, 40), DISPLAY_MODE_SURFACE);
      changeAttributes(*painter,
                       [](ShapePainterAttributesGL& a) { a.setBeginCapFlag(true), a.setEndCapFlag(true); });
    }
    const QImage expected = frame(oneByOne);
    EXPECT_EQ(frame(buffers), expected) << saveFrame(frame(buffers), "quad-buffers");
    EXPECT_EQ(frame(copies), expected) << saveFrame(frame(copies), "quad-copies");
    for (QuadMeshPainterGL<float>* painter : {&oneByOne, &buffers})
      changeAttributes(*painter, [](ShapePainterAttributesGL& a) { a.setOpacity(128); });
    EXPECT_EQ(frame(buffers), frame(oneByOne)) << saveFrame(frame(buffers), "quad-translucent");
  }
}
