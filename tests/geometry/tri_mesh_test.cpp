// Triangle meshes: triangles and stars, normals, colours, files and the STL text.
#include "geometry/TriMesh.h"

#include "tests/support/ExpectException.h"
#include "tests/support/MeshFixtures.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>
#include <omp.h>

#include <cmath>
#include <sstream>

namespace {
void expectVector(const Vector<float>& v, float x, float y, float z, float tolerance = 1e-5f) {
  ASSERT_EQ(v.getSize(), 3);
  EXPECT_NEAR(v[0], x, tolerance);
  EXPECT_NEAR(v[1], y, tolerance);
  EXPECT_NEAR(v[2], z, tolerance);
}

std::vector<int> triple(const TriMesh<float>& mesh, int t) {
  const Vector<int> indexes = mesh.getTriangleIndexes(t);
  return {indexes[0], indexes[1], indexes[2]};
}
} // namespace

// === Triangles and stars

TEST(TriMeshTriangles, AddingRecordsTheTripleTheTriangleAndTheStars) {
  auto mesh = octahedron();
  EXPECT_EQ(mesh->getNumTriangles(), 8);
  EXPECT_EQ(triple(*mesh, 1), (std::vector<int>{2, 1, 4}));
  EXPECT_EQ(mesh->star(4), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(mesh->star(5), (std::vector<int>{4, 5, 6, 7}));
  const Triangle<float>* t = mesh->triangle(1);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->getServer(), mesh->getServer());
  EXPECT_TRUE(t->isClosed());
  EXPECT_EQ(&t->vertex(0), &mesh->vertex(2));
  EXPECT_EQ(&t->vertex(2), &mesh->vertex(4));
  EXPECT_EQ(mesh->triangle(1), t) << "the triangle object is kept once created";
}

TEST(TriMeshTriangles, RefusesVertexNumbersOutsideTheList) {
  TriMesh<float> mesh(3, 3);
  EXPECT_THROW(mesh.addTriangle(0, 1, 3), ValueError);
  EXPECT_THROW(mesh.addTriangle(-1, 1, 2), ValueError);
  EXPECT_EQ(mesh.getNumTriangles(), 0);
}

TEST(TriMeshTriangles, SetTrianglesReplacesEverything) {
  auto mesh = octahedron();
  mesh->setTriangles({Vector<int>(std::vector<int>{0, 2, 4}), Vector<int>(std::vector<int>{4, 2, 1})});
  EXPECT_EQ(mesh->getNumTriangles(), 2);
  EXPECT_EQ(mesh->star(4), (std::vector<int>{0, 1}));
  EXPECT_TRUE(mesh->star(5).empty());
  EXPECT_EQ(mesh->neighbours(2), (std::vector<int>{0, 4, 4, 1}));
}

TEST(TriMeshTriangles, RemovingATriangleKeepsTheOtherPositions) {
  auto mesh = octahedron();
  mesh->triangle(2);
  mesh->removeTriangle(1);
  EXPECT_EQ(mesh->getNumTriangles(), 8);
  EXPECT_EQ(triple(*mesh, 1), (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(mesh->triangle(1), nullptr);
  EXPECT_EQ(triple(*mesh, 2), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(mesh->star(4), (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(mesh->star(1), (std::vector<int>{2, 5, 6}));
}

TEST(TriMeshTriangles, RemovingAVertexDropsItsTrianglesAndRenumbersTheOthers) {
  auto mesh = octahedron();
  mesh->computeNormals();
  const Vector<float> lastVertex = mesh->vertex(5);
  mesh->remove(4);
  EXPECT_EQ(mesh->getNumVertices(), 5);
  EXPECT_EQ(mesh->getNormals().getNumVertices(), 5);
  EXPECT_EQ(mesh->vertex(4), lastVertex);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(triple(*mesh, t), (std::vector<int>{-1, -1, -1}));
  EXPECT_EQ(triple(*mesh, 4), (std::vector<int>{2, 0, 4}));
  EXPECT_EQ(mesh->star(4), (std::vector<int>{4, 5, 6, 7}));
}

TEST(TriMeshTriangles, NeighboursListEveryOtherCornerOfTheStarInOrder) {
  auto mesh = octahedron();
  EXPECT_EQ(mesh->neighbours(4), (std::vector<int>{0, 2, 2, 1, 1, 3, 3, 0}));
  TriMesh<float> lonely(3, 2);
  EXPECT_TRUE(lonely.neighbours(1).empty());
}

TEST(TriMeshTriangles, StarsGrowBeyondTheirFirstRoom) {
  // A fan of 40 triangles around vertex 0 moves its star several times in the pool.
  TriMesh<float> fan(3, 42);
  for (int k = 1; k <= 40; ++k) fan.addTriangle(0, k, k + 1);
  const std::vector<int> star = fan.star(0);
  ASSERT_EQ(star.size(), 40u);
  for (int k = 0; k < 40; ++k) EXPECT_EQ(star[k], k);
  EXPECT_EQ(fan.star(20), (std::vector<int>{18, 19}));
}

TEST(TriMeshTriangles, CopiesAreIndependentInTrianglesAndNormals) {
  auto mesh = tetrahedron();
  mesh->computeNormals();
  TriMesh<float> copy(*mesh);
  EXPECT_EQ(copy.getServer(), mesh->getServer());
  copy.removeTriangle(0);
  Vector<float> up(std::vector<float>{0, 0, 1});
  copy.setNormal(0, up);
  EXPECT_EQ(triple(*mesh, 0), (std::vector<int>{0, 1, 2}));
  EXPECT_NE(mesh->getNormal(0), up);
}

// === Normals

TEST(TriMeshNormals, AnEquilateralTriangleGivesItsUnitNormalToEveryVertex) {
  auto mesh = equilateralTriangle();
  mesh->computeNormals();
  for (int v = 0; v < 3; ++v) expectVector(mesh->getNormal(v), 0, 0, 1);
  expectVector(mesh->triangle(0)->normal(true), 0, 0, 1);
  expectVector(mesh->triangle(0)->normal(false), 0, 0, std::sqrt(3.0f) / 2);
}

TEST(TriMeshNormals, TwoFacesAtARightAngleAddTheirAngleWeightedNormals) {
  // Face A in the plane z = 0 (normal +z) and face B in the plane x = 0 (normal +x) share the edge
  // from (0,0,0) to (0,1,0). At the shared vertex 0 face A has a right angle and face B 45 degrees.
  auto mesh = makeMesh({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 1}}, {{0, 2, 1}, {0, 1, 3}});
  mesh->computeNormals();
  const double pi = 3.14159265358979323846;
  const double a = pi / 2, b = pi / 4, length = std::sqrt(a * a + b * b);
  expectVector(mesh->getNormal(0), float(b / length), 0, float(a / length));
  // At vertex 1 face A has 45 degrees, face B a right angle.
  expectVector(mesh->getNormal(1), float(a / length), 0, float(b / length));
  expectVector(mesh->getNormal(2), 0, 0, 1);
  expectVector(mesh->getNormal(3), 1, 0, 0);
}

TEST(TriMeshNormals, AVertexWithoutTriangleKeepsAZeroNormal) {
  auto mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}}, {{0, 1, 2}});
  mesh->computeNormals();
  expectVector(mesh->getNormal(3), 0, 0, 0);
}

TEST(TriMeshNormals, PointOutwardsOnClosedSolids) {
  for (auto& mesh : closedMeshes()) {
    mesh->computeNormals();
    const Vector<float> centre = mesh->cog();
    for (int v = 0; v < mesh->getNumVertices(); ++v) {
      const Vector<float>& n = mesh->getNormal(v);
      EXPECT_NEAR(n.norm(), 1.0f, 1e-5f) << mesh->getName();
      if (mesh->getName() != "torus") {
        EXPECT_GT(n.scalarProduct(mesh->vertex(v) - centre), 0) << mesh->getName();
      }
    }
  }
}

TEST(TriMeshNormals, OfATorusAreTheTubeDirections) {
  auto ring = torus(24, 16);
  ring->computeNormals();
  for (int v = 0; v < ring->getNumVertices(); ++v) {
    const Vector<float>& p = ring->vertex(v);
    const float r = std::hypot(p[0], p[1]);
    Vector<float> tube(std::vector<float>{p[0] - 3 * p[0] / r, p[1] - 3 * p[1] / r, p[2]});
    tube.normalize();
    EXPECT_GT(ring->getNormal(v).scalarProduct(tube), 0.99f);
  }
}

TEST(TriMeshNormals, OfACubeCornerIsTheDiagonal) {
  auto box = unitCube();
  // Each corner meets three faces at a right angle in total: the normal is the corner's diagonal,
  // whatever the split of the faces into triangles... up to the angle weights, which are equal here.
  const float third = 1.0f / std::sqrt(3.0f);
  expectVector(box->getNormal(0), -third, -third, -third, 1e-4f);
  expectVector(box->getNormal(7), third, third, third, 1e-4f);
}

TEST(TriMeshNormals, SmoothingAveragesNeighbourNormals) {
  auto mesh = makeMesh({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 1, 1}}, {{0, 2, 1}, {0, 1, 3}});
  mesh->smoothNormals(0);
  const Vector<float> computed = mesh->getNormal(2);
  expectVector(computed, 0, 0, 1);
  mesh->smoothNormals(1);
  // Vertex 2 sees its own normal and those of vertices 0 and 1.
  mesh->computeNormals();
  Vector<float> expected = mesh->getNormal(2) + mesh->getNormal(0) + mesh->getNormal(1);
  expected.normalize();
  mesh->smoothNormals(1);
  expectVector(mesh->getNormal(2), expected[0], expected[1], expected[2]);
  for (int v = 0; v < 4; ++v) EXPECT_NEAR(mesh->getNormal(v).norm(), 1.0f, 1e-5f);
}

TEST(TriMeshNormals, AreRefusedForIntegerMeshes) {
  TriMesh<int> mesh(3, 3);
  expectException<TypeError>([&] { mesh.computeNormals(); }, "void TriMesh<T>::computeNormals()",
                             "Method not available for type 'int'");
}

// === Vertex colours

TEST(TriMeshColors, AreTakenWhenTheCountMatches) {
  auto mesh = tetrahedron();
  mesh->setVertexColors(new TriMesh<int>(3, 4));
  EXPECT_TRUE(mesh->hasVertexColors());
  EXPECT_EQ(mesh->getVertexColors()->getNumVertices(), 4);
  mesh->setVertexColors(nullptr);
  EXPECT_FALSE(mesh->hasVertexColors());
}

TEST(TriMeshColors, OfTheWrongCountAreRefusedAndTheOldOnesDropped) {
  auto mesh = tetrahedron();
  mesh->setVertexColors(new TriMesh<int>(3, 4));
  TriMesh<int> tooFew(3, 3);
  expectException<SizeError>([&] { mesh->setVertexColors(&tooFew); },
                             "void TriMesh<T>::setVertexColors(TriMesh<int>*)",
                             "The number of colors differs from the number of vertices");
  EXPECT_FALSE(mesh->hasVertexColors());
}

// === Measures

TEST(TriMeshMeasures, OfTheUnitCube) {
  auto box = unitCube();
  EXPECT_NEAR(box->area(), 6.0f, 1e-5f);
  EXPECT_NEAR(box->volume(), 1.0f, 1e-5f);
  expectVector(box->centerOfGravity(), 0.5f, 0.5f, 0.5f);
  EXPECT_NEAR(box->equivalentRadius(), std::cbrt(3.0 / (4 * 3.14159265358979)), 1e-5);
  EXPECT_TRUE(box->contains(Vector<float>(std::vector<float>{0.3f, 0.6f, 0.2f})));
  EXPECT_FALSE(box->contains(Vector<float>(std::vector<float>{1.3f, 0.6f, 0.2f})));
  Vector<float> q;
  box->closestPoint(Vector<float>(std::vector<float>{0.5f, 0.5f, 3}), q);
  expectVector(q, 0.5f, 0.5f, 1);
}

// === STL text

TEST(TriMeshStl, OneTriangleExportsAsNineLines) {
  auto mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 1}}, {{0, 1, 2}}, "patch");
  std::ostringstream os;
  mesh->export2AsciiSTL(os);
  EXPECT_EQ(os.str(), "solid patch\n"
                      "  facet normal 0 -0.707107 0.707107\n"
                      "    outer loop\n"
                      "      vertex 0 0 0\n"
                      "      vertex 1 0 0\n"
                      "      vertex 0 1 1\n"
                      "    endloop\n"
                      "  endfacet\n"
                      "endsolid patch\n");
}

TEST(TriMeshStl, SkipsRemovedTriangles) {
  auto mesh = tetrahedron();
  mesh->removeTriangle(2);
  std::ostringstream os;
  mesh->export2AsciiSTL(os);
  const std::string text = os.str();
  std::size_t facets = 0;
  for (std::size_t at = text.find("facet normal"); at != std::string::npos;
       at = text.find("facet normal", at + 1))
    ++facets;
  EXPECT_EQ(facets, 3u);
}

TEST(TriMeshNormals, AreTheSameWithOneThreadAndWithSeveral) {
  auto normalsWith = [](int threads) {
    auto ring = torus(60, 40);
    ring->scale(Vector<float>(std::vector<float>{1.0f, 2.0f, 0.7f}));
    const int saved = omp_get_max_threads();
    omp_set_num_threads(threads);
    ring->smoothNormals(3);
    omp_set_num_threads(saved);
    return ring->getNormals().toVector();
  };
  EXPECT_EQ(normalsWith(1), normalsWith(2));
}
