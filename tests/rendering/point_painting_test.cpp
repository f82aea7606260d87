// The OpenGL that point-set painters issue: attributes turned into state around the drawing, points
// or solid symbols of equal volume.
#include "rendering/VerticesPainterGL.h"

#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

namespace {

using Point = std::vector<double>;

void setSymbol(VerticesPainterGL<float>& painter, VertexSymbolGL symbol, float size) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) {
    a.setVertexSymbol(symbol);
    a.setSymbolSize(size);
  });
}

Point minus(const Point& a, const Point& b) {
  return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
Point cross(const Point& a, const Point& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const Point& a, const Point& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The recorded solid as triangles (quads split in two), each with the normal given for its face.
struct Face {
  Point a, b, c, normal;
};

std::vector<Face> recordedTriangles(const GLCallRecorder& recorder) {
  std::vector<Face> triangles;
  for (const auto& batch : recorder.batches()) {
    const auto& v = batch.vertices;
    const auto& n = batch.normals;
    if (batch.mode == GL_TRIANGLES)
      for (std::size_t i = 0; i + 2 < v.size(); i += 3) triangles.push_back({v[i], v[i + 1], v[i + 2], n[i]});
    if (batch.mode == GL_QUADS)
      for (std::size_t i = 0; i + 3 < v.size(); i += 4) {
        triangles.push_back({v[i], v[i + 1], v[i + 2], n[i]});
        triangles.push_back({v[i], v[i + 2], v[i + 3], n[i]});
      }
  }
  return triangles;
}

class PointPainting : public ::testing::Test {
protected:
  Vertices<float> points = makeVertices({{1, 2, 3}, {-1, 0, 4}});
};

} // namespace

TEST_F(PointPainting, DefinedAttributesBecomeStateAroundTheDrawing) {
  VerticesPainterGL<float> painter;
  painter.setShape(points);
  painter.setSymbolSizeScale(0.5f);
  changeAttributes(painter, [](ShapePainterAttributesGL& a) {
    a.setColor(rgb(300, 20, 30)); // only the low byte reaches OpenGL
    a.setTransparency(127.9f);
    a.setShininess(12.0f);
    a.setLineWidth(3.0f);
    a.setSymbolSize(8.0f);
  });
  GLCallRecorder recorder;
  painter.glDraw();
  const std::vector<GLCall> expected = {{"glEnable", {GL_COLOR_MATERIAL}},
                                        {"glColor4ub", {44, 20, 30, 127}},
                                        {"glMaterialfv", {GL_FRONT_AND_BACK, GL_SPECULAR, 1, 1, 1, 1}},
                                        {"glMaterialf", {GL_FRONT_AND_BACK, GL_SHININESS, 12}},
                                        {"glPointSize", {4}},
                                        {"glLineWidth", {3}},
                                        {"glNormal3f", {0, 0, 1}}, // towards the viewer
                                        {"glBegin", {GL_POINTS}},
                                        {"glVertex3f", {1, 2, 3}},
                                        {"glVertex3f", {-1, 0, 4}},
                                        {"glEnd", {}},
                                        {"glDisable", {GL_COLOR_MATERIAL}}};
  ASSERT_EQ(recorder.calls().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(recorder.calls()[i].name, expected[i].name) << i;
    EXPECT_EQ(recorder.calls()[i].args, expected[i].args) << expected[i].name;
  }
}

TEST_F(PointPainting, SphereIsAGluSphereOfTheSymbolRadiusOrOfTheScaleWhenUndefined) {
  VerticesPainterGL<float> painter;
  painter.setShape(points);
  painter.setSymbolSizeScale(1.5f);
  setSymbol(painter, VERTEX_SYMBOL_SPHERE, 2);
  GLCallRecorder recorder;
  painter.glDraw();
  const auto spheres = recorder.named("gluSphere");
  ASSERT_EQ(spheres.size(), 2u);
  EXPECT_EQ(spheres[0].args, (std::vector<double>{3, 8, 6}));
  EXPECT_EQ(recorder.named("gluQuadricDrawStyle")[0].args[0], GLU_FILL);
  EXPECT_EQ(recorder.named("gluQuadricNormals")[0].args[0], GLU_SMOOTH);

  ShapePainterAttributesGL attributes;
  attributes.clear();
  attributes.setVertexSymbol(VERTEX_SYMBOL_SPHERE);
  painter.setAttributes(attributes);
  painter.setSymbolSizeScale(0.25f);
  recorder.clear();
  painter.glDraw();
  EXPECT_EQ(recorder.named("gluSphere")[0].args[0], 0.25);
}

TEST_F(PointPainting, SolidsAreCentredOnEachVertexCulledAndEncloseTheVolumeOfTheSphereWithOutwardFaces) {
  const double radius = 3.0; // symbol size 2 at scale 1.5
  const double sphereVolume = 4.0 / 3.0 * 3.14159265358979323846 * radius * radius * radius;
  for (VertexSymbolGL symbol : {VERTEX_SYMBOL_CUBE, VERTEX_SYMBOL_TETRAHEDRON, VERTEX_SYMBOL_DIAMOND}) {
    SCOPED_TRACE(symbol);
    VerticesPainterGL<float> painter;
    Vertices<float> origin = makeVertices({{0, 0, 0}, {-1, 0, 4}});
    painter.setShape(origin);
    painter.setSymbolSizeScale(1.5f);
    setSymbol(painter, symbol, 2);
    GLCallRecorder recorder;
    painter.glDraw();
    EXPECT_EQ(recorder.count("glPushMatrix"), 2);
    EXPECT_EQ(recorder.count("glPopMatrix"), 2);
    ASSERT_EQ(recorder.count("glTranslatef"), 2);
    EXPECT_EQ(recorder.named("glTranslatef")[1].args, (std::vector<double>{-1, 0, 4}));
    EXPECT_EQ(recorder.names().front(), "glMaterialfv"); // pre-draw of the default attributes comes first
    EXPECT_EQ(recorder.named("glEnable").at(0).args[0], GL_CULL_FACE);
    EXPECT_EQ(recorder.named("glCullFace").at(0).args[0], GL_BACK);
    EXPECT_EQ(recorder.named("glDisable").back().args[0], GL_CULL_FACE);
    recorder.clear();
    Vertices<float> single = makeVertices({{0, 0, 0}});
    painter.setShape(single);
    painter.glDraw();
    const std::vector<Face> triangles = recordedTriangles(recorder);
    ASSERT_FALSE(triangles.empty());
    double volume = 0; // divergence theorem, positive for outward winding
    for (const Face& t : triangles) {
      volume += dot(t.a, cross(t.b, t.c)) / 6.0;
      EXPECT_GT(dot(cross(minus(t.b, t.a), minus(t.c, t.b)), t.normal), 0.0)
          << "face winds against its normal";
      EXPECT_NEAR(dot(t.normal, t.normal), 1.0, 1e-6);
    }
    EXPECT_NEAR(volume, sphereVolume, sphereVolume * 1e-5);
  }
}
