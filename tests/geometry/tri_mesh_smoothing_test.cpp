// Vertex smoothing keeps a surface's size and does not drift its centre.
#include "geometry/TriMeshSmoothing.h"

#include "geometry/TriMesh.h"
#include "tests/support/MeshFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST(TriMeshSmoothing, KeepsRootMeanSquareSizeOfEveryClosedMesh) {
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
  auto mesh = stretchedTorus();
  const Vector<float> original = mesh->toVector();
  smooth(*mesh, 0);
  EXPECT_LT(mesh->toVector().distance(original), 1e-4f);
}

TEST(TriMeshSmoothing, LeavesTheCentreOfASymmetricMesh) {
  // The torus is symmetric under the half turn about z, which its triangles respect.
  std::unique_ptr<TriMesh<float>> meshes[] = {stretchedTorus(), octahedron()};
  for (auto& mesh : meshes) {
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
