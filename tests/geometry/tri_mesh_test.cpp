// Triangle meshes: triangles and their pooled stars, normals, colours, measures, the STL text and the
// smoothing of vertices.
#include "geometry/TriMesh.h"
#include "geometry/TriMeshSmoothing.h"
#include "geometry/TriangleStars.h"
#include "tests/support/ExpectException.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

namespace {
void expectVector(const Vector<float>& v, float x, float y, float z) {
  EXPECT_LT(v.distance(Vector<float>(std::vector<float>{x, y, z})), 1e-5f) << ::testing::PrintToString(v);
}

std::vector<int> triple(const TriMesh<float>& mesh, int t) {
  const Vector<int> indexes = mesh.getTriangleIndexes(t);
  return {indexes[0], indexes[1], indexes[2]};
}
} // namespace

// === Triangles and stars

TEST(TriMeshTriangles, AddingRecordsTheTripleTheTriangleAndTheStarsAndRemovingAVertexRenumbers) {
  auto mesh = octahedron();
  EXPECT_EQ(triple(*mesh, 1), (std::vector<int>{2, 1, 4}));
  EXPECT_EQ(mesh->star(4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(mesh->star(5), (std::vector<int>{4, 5, 6, 7}));
  const Triangle<float>* t = mesh->triangle(1);
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(t->getServer() == mesh->getServer() && t->isClosed());
  EXPECT_TRUE(&t->vertex(0) == &mesh->vertex(2) && &t->vertex(2) == &mesh->vertex(4)) << "shared vertices";
  EXPECT_EQ(mesh->triangle(1), t) << "the triangle object is kept once created";
  expectEach<ValueError>({[&] { mesh->addTriangle(0, 1, 6); }, [&] { mesh->addTriangle(-1, 1, 2); }});
  EXPECT_EQ(mesh->getNumTriangles(), 8);
  mesh->setTriangles({Vector<int>(std::vector<int>{0, 2, 4}), Vector<int>(std::vector<int>{4, 2, 1})});
  EXPECT_EQ(mesh->getNumTriangles(), 2);
  EXPECT_EQ(mesh->star(4), (std::vector<int>{0, 1}));
  EXPECT_TRUE(mesh->star(5).empty());
  EXPECT_EQ(mesh->neighbours(2), (std::vector<int>{0, 4, 4, 1}));
  EXPECT_EQ(octahedron()->neighbours(4), (std::vector<int>{0, 2, 2, 1, 1, 3, 3, 0}));
  EXPECT_TRUE(TriMesh<float>(3, 2).neighbours(1).empty());
  // Removing a vertex drops its triangles and renumbers the others.
  auto removed = octahedron();
  removed->computeNormals();
  const Vector<float> lastVertex = removed->vertex(5);
  removed->remove(4);
  EXPECT_TRUE(removed->getNumVertices() == 5 && removed->hasNormals());
  EXPECT_EQ(removed->vertex(4), lastVertex);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(triple(*removed, t), (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(triple(*removed, 4), (std::vector<int>{2, 0, 4}));
  EXPECT_EQ(removed->star(4), (std::vector<int>{4, 5, 6, 7}));
}

// The pooled star lists behave as one list per vertex, whatever moves happen in the pool.
TEST(TriangleStars, BehaveAsOneListPerVertexUnderRandomEdits) {
  TriangleStars stars;
  std::vector<std::vector<int>> model(50);
  stars.resize(50);
  std::mt19937 random(11);
  for (int step = 0; step < 20000; ++step) {
    const int v = static_cast<int>(random() % model.size());
    if (random() % 3 != 0 || model[v].empty()) {
      const int t = static_cast<int>(random() % 1000);
      stars.add(v, t);
      model[v].push_back(t);
    } else {
      const int t = model[v][random() % model[v].size()];
      stars.remove(v, t);
      model[v].erase(std::find(model[v].begin(), model[v].end(), t));
    }
    if (step % 5000 == 4999) {
      stars.erase(7);
      model.erase(model.begin() + 7);
      stars.resize(static_cast<int>(model.size()) + 1);
      model.emplace_back();
    }
  }
  ASSERT_EQ(stars.getNumVertices(), static_cast<int>(model.size()));
  for (std::size_t v = 0; v < model.size(); ++v) EXPECT_EQ(stars.star(static_cast<int>(v)), model[v]) << v;
}

// === Normals

// Each face adds its unit normal weighted by its angle at the vertex. Face A lies in the plane z = 0
// (normal +z), face B in the plane x = 0 (normal +x); they share the edge from vertex 0 to vertex 1.
TEST(TriMeshNormals, FacesAddTheirNormalsWeightedByAcuteRightAndObtuseAngles) {
  const double pi = 3.14159265358979323846;
  struct Case {
    const char* name;
    Points vertices;
    double angleA, angleB; // at vertex 0
  };
  const Case cases[] = {
      {"A right, B 45 degrees", {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 1}}, pi / 2, pi / 4},
      {"A 135 degrees, B right", {{0, 0, 0}, {0, 1, 0}, {1, -1, 0}, {0, 0, 1}}, 3 * pi / 4, pi / 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto mesh = makeMesh(c.vertices, {{0, 2, 1}, {0, 1, 3}});
    mesh->computeNormals();
    const double length = std::hypot(c.angleA, c.angleB);
    expectVector(mesh->getNormal(0), float(c.angleB / length), 0, float(c.angleA / length));
    expectVector(mesh->getNormal(2), 0, 0, 1);
    expectVector(mesh->getNormal(3), 1, 0, 0);
  }
  auto lone = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 1, 2}});
  lone->computeNormals();
  expectVector(lone->getNormal(3), 0, 0, 0); // a vertex without triangle
  auto equilateral = equilateralTriangle();
  expectVector(equilateral->triangle(0)->normal(true), 0, 0, 1);
  expectVector(equilateral->triangle(0)->normal(false), 0, 0, std::sqrt(3.0f) / 2);
  EXPECT_THROW(TriMesh<int>(3, 3).computeNormals(), TypeError);
  // Smoothing averages neighbour normals: vertex 2 sees its own normal and those of vertices 0 and 1.
  auto smoothed = makeMesh({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 1}}, {{0, 2, 1}, {0, 1, 3}});
  smoothed->computeNormals();
  Vector<float> expected = smoothed->getNormal(2) + smoothed->getNormal(0) + smoothed->getNormal(1);
  expected.normalize();
  smoothed->smoothNormals(1);
  expectVector(smoothed->getNormal(2), expected[0], expected[1], expected[2]);
  for (int v = 0; v < 4; ++v) EXPECT_NEAR(smoothed->getNormal(v).norm(), 1.0f, 1e-5f);
}

// === Colours, measures and the STL text

TEST(TriMeshColors, OfTheWrongCountAreRefusedMeasuresOfTheCubeAndTheStlText) {
  auto mesh = tetrahedron();
  mesh->setVertexColors(new TriMesh<int>(3, 4));
  TriMesh<int> tooFew(3, 3);
  EXPECT_THROW(mesh->setVertexColors(&tooFew), SizeError);
  EXPECT_FALSE(mesh->hasVertexColors());
  auto box = unitCube();
  EXPECT_NEAR(box->area(), 6.0f, 1e-5f);
  EXPECT_NEAR(box->volume(), 1.0f, 1e-5f);
  EXPECT_TRUE(box->contains(Vector<float>(std::vector<float>{0.3f, 0.6f, 0.2f})));
  EXPECT_FALSE(box->contains(Vector<float>(std::vector<float>{1.3f, 0.6f, 0.2f})));
  // The STL text: nine lines per triangle, none for removed ones.
  auto patch = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 1}}, {{0, 1, 2}}, "patch");
  std::ostringstream os;
  patch->export2AsciiSTL(os);
  EXPECT_EQ(os.str(), "solid patch\n  facet normal 0 -0.707107 0.707107\n    outer loop\n      vertex 0 0 0\n"
                      "      vertex 1 0 0\n      vertex 0 1 1\n    endloop\n  endfacet\nendsolid patch\n");
  auto solid = tetrahedron();
  solid->removeTriangle(2);
  std::ostringstream skipping;
  solid->export2AsciiSTL(skipping);
  const std::string text = skipping.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 3 * 7);
}

// Vertex smoothing keeps a surface's size and does not drift its centre.
namespace {
double rmsSize(const TriMesh<float>& mesh) {
  const Vector<float> centre = mesh.cog();
  double sum = 0;
  for (int v = 0; v < mesh.getNumVertices(); ++v) sum += (mesh.vertex(v) - centre).snorm();
  return std::sqrt(sum / mesh.getNumVertices());
}

// A torus stretched along x, so that smoothing really moves its vertices.
std::unique_ptr<TriMesh<float>> stretchedTorus() {
  auto ring = torus(16, 10);
  ring->scale(Vector<float>(std::vector<float>{2.0f, 1.0f, 0.5f}));
  return ring;
}

void smooth(TriMesh<float>& mesh, int iterations) {
  TriMeshSmoothing<float> smoothing;
  smoothing.setNumIterations(iterations);
  smoothing.smooth(mesh);
}
} // namespace

TEST(TriMeshSmoothing, KeepsRootMeanSquareSizeOfEveryClosedMeshAndTheCentreOfASymmetricOne) {
  auto meshes = closedMeshes();
  meshes.push_back(stretchedTorus());
  for (auto& mesh : meshes) {
    const double size = rmsSize(*mesh);
    const Vector<float> original = mesh->toVector();
    smooth(*mesh, 5);
    EXPECT_NEAR(rmsSize(*mesh), size, 1e-5 * size) << mesh->getName();
    EXPECT_TRUE(mesh->getName() != "torus" || mesh->toVector() != original) << "smoothing moved nothing";
  }
  // Without iterations nothing moves (beyond rounding).
  auto still = stretchedTorus();
  const Vector<float> original = still->toVector();
  smooth(*still, 0);
  EXPECT_LT(still->toVector().distance(original), 1e-4f);
  // The torus is symmetric under the half turn about z, which its triangles respect.
  std::unique_ptr<TriMesh<float>> symmetric[] = {stretchedTorus(), octahedron()};
  for (auto& mesh : symmetric) {
    smooth(*mesh, 10);
    EXPECT_NEAR(mesh->cog().copyUntil(1).norm(), 0.0f, 1e-5f) << mesh->getName();
  }
  // Everything collapsed on the centre: the rescaling is skipped.
  auto collapsed = makeMesh({{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, {{0, 1, 2}});
  smooth(*collapsed, 1);
  EXPECT_EQ(collapsed->toVector(), Vector<float>(std::vector<float>(9, 1)));
}

TEST(TriMeshSmoothing, OnePassAveragesEachVertexWithItsNeighbourList) {
  // Vertex 0 sees vertices 1, 2 (first triangle) and 2, 3 (second): (p0 + p1 + 2 p2 + p3) / 5.
  auto mesh = makeMesh({{0, 0, 0}, {5, 0, 0}, {0, 5, 0}, {0, 0, 5}, {9, 9, 9}}, {{0, 1, 2}, {0, 2, 3}});
  TriMeshSmoothing<float> smoothing;
  smoothing.averageVertices(*mesh);
  EXPECT_EQ(mesh->vertex(0), Vector<float>(std::vector<float>{1, 2, 1}));
  // Vertex 3 sees 0 and 2: (p3 + p0 + p2) / 3, all from the positions before the pass.
  EXPECT_EQ(mesh->vertex(3), Vector<float>(std::vector<float>{0, 5.0f / 3, 5.0f / 3}));
  EXPECT_EQ(mesh->vertex(4), Vector<float>(std::vector<float>{9, 9, 9})) << "a vertex without triangle stays";
}
