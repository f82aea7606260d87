// Surface queries: segment crossings for picking, containment, closest points.
#include "geometry/TriMeshQuery.h"

#include "geometry/Edge.h"
#include "geometry/TriMesh.h"
#include "tests/geometry/ShapeTesting.h"
#include "tests/support/MeshFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {
Edge<float> segment(float ax, float ay, float az, float bx, float by, float bz) {
  Edge<float> edge(3);
  const float a[3] = {ax, ay, az}, b[3] = {bx, by, bz};
  for (int i = 0; i < 3; ++i) edge.vertex(0)[i] = a[i], edge.vertex(1)[i] = b[i];
  return edge;
}

std::vector<std::vector<float>> sortedPoints(const Vertices<float>& points) {
  std::vector<std::vector<float>> list;
  for (int v = 0; v < points.getNumVertices(); ++v)
    list.push_back({points.vertex(v)[0], points.vertex(v)[1], points.vertex(v)[2]});
  std::sort(list.begin(), list.end());
  return list;
}

// The crossings found by testing every triangle of the mesh, one after the other.
std::vector<std::vector<float>> crossingsOfEveryTriangle(const TriMesh<float>& mesh,
                                                         const Edge<float>& edge) {
  Vertices<float> points(3, 0);
  for (int t = 0; t < mesh.getNumTriangles(); ++t) {
    const Triangle<float>* triangle = mesh.triangle(t);
    if (!triangle) continue;
    if (triangle->projectedAreaSign(0, 1) == 0 && triangle->projectedAreaSign(1, 2) == 0 &&
        triangle->projectedAreaSign(2, 0) == 0)
      continue;
    Vector<float> point(3);
    if (triangle->intersects(edge, point) != 0) points.append(point);
  }
  return sortedPoints(points);
}
} // namespace

TEST(TriMeshQuery, CrossesOneTriangleOnlyThroughItsInteriorOrAlongItsPlane) {
  auto mesh = makeMesh({{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {{0, 1, 2}});
  TriMeshQuery<float> query;
  EXPECT_THROW(query.getTriMesh(), ProgramError);
  query.setTriMesh(*mesh);
  EXPECT_EQ(&query.getTriMesh(), mesh.get());
  const struct {
    const char* name;
    Edge<float> edge;
    std::vector<std::vector<float>> hits;
  } cases[] = {
      {"through", segment(0.5f, 0.5f, -1, 0.5f, 0.5f, 3), {{0.5f, 0.5f, 0}}},
      {"ending on the plane", segment(0.5f, 0.5f, 1, 0.5f, 0.5f, 0), {}},
      {"starting on the plane", segment(0.5f, 0.5f, 0, 0.5f, 0.5f, -1), {}},
      {"in the plane: its start", segment(-1, 0.5f, 0, 3, 0.5f, 0), {{-1, 0.5f, 0}}},
      {"in the plane beside the triangle", segment(3, 3, 0, 4, 5, 0), {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(sortedPoints(query.computeIntersections(c.edge)), c.hits);
  }
  Vector<float> point(3);
  EXPECT_EQ(mesh->triangle(0)->intersects(cases[3].edge, point), 2) << "coplanar";
}

TEST(TriMeshQuery, ASegmentThroughAClosedSurfaceYieldsTwoPointsAndDegenerateTrianglesNone) {
  for (auto& mesh : closedMeshes()) {
    if (mesh->getName() == "torus") continue;
    TriMeshQuery<float> query;
    query.setTriMesh(*mesh);
    const Vector<float> c = mesh->cog();
    const auto hits = sortedPoints(
        query.computeIntersections(segment(c[0] + 0.01f, c[1] + 0.02f, -10, c[0] + 0.01f, c[1] + 0.02f, 10)));
    ASSERT_EQ(hits.size(), 2u) << mesh->getName();
    EXPECT_LT(hits[0][2], c[2]);
    EXPECT_GT(hits[1][2], c[2]);
  }
  // The torus's tube is crossed twice on each side of the hole.
  auto ring = torus(24, 16);
  TriMeshQuery<float> query;
  query.setTriMesh(*ring);
  EXPECT_EQ(query.computeIntersections(segment(-10, 0.01f, 0.02f, 10, 0.01f, 0.02f)).getNumVertices(), 4);
  EXPECT_EQ(query.computeIntersections(segment(0, 0, -10, 0, 0, 10)).getNumVertices(), 0)
      << "through the hole";
  // A flat triangle along a line, and one whose projected areas are all below the float tolerance
  // although a segment crosses its interior.
  auto mesh =
      makeMesh({{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0.0005f, 0, 0}, {0, 0.0005f, 0}}, {{0, 1, 2}, {0, 3, 4}});
  query.setTriMesh(*mesh);
  EXPECT_EQ(query.computeIntersections(segment(-1, 1, 1, 3, 1, 1)).getNumVertices(), 0);
  const Edge<float> throughTheTinyOne = segment(0.0001f, 0.0001f, -1, 0.0001f, 0.0001f, 1);
  EXPECT_EQ(query.computeIntersections(throughTheTinyOne).getNumVertices(), 0);
  Vector<float> point(3);
  EXPECT_EQ(mesh->triangle(1)->intersects(throughTheTinyOne, point), 1) << "the triangle test alone sees it";
}

TEST(TriMeshQuery, FindsWhatTestingEveryTriangleFindsTellsInsideFromOutsideAndFindsTheClosestPoint) {
  auto ring = torus(40, 24);
  ring->removeTriangle(17);
  TriMeshQuery<float> query;
  query.setTriMesh(*ring);
  std::mt19937 random(5);
  std::uniform_real_distribution<float> coordinate(-6, 6);
  int crossings = 0;
  for (int k = 0; k < 300; ++k) {
    const Edge<float> edge = segment(coordinate(random), coordinate(random), coordinate(random),
                                     coordinate(random), coordinate(random), coordinate(random) * 0.2f);
    const auto expected = crossingsOfEveryTriangle(*ring, edge);
    EXPECT_EQ(sortedPoints(query.computeIntersections(edge)), expected);
    crossings += static_cast<int>(expected.size());
    // The same line with its ends a million mesh sizes away, as a pick from the near to the far plane
    // (for every fifth segment: such a pick tests nearly every triangle).
    if (k % 5 != 0) continue;
    Vector<float> reach = edge.vertex(1) - edge.vertex(0);
    reach *= 1e6f * query.getBoundingBox().diagonal() / reach.norm();
    const Vector<float> a = edge.vertex(0) - reach, b = edge.vertex(1) + reach;
    const Edge<float> far = segment(a[0], a[1], a[2], b[0], b[1], b[2]);
    EXPECT_EQ(sortedPoints(query.computeIntersections(far)), crossingsOfEveryTriangle(*ring, far)) << k;
  }
  EXPECT_GT(crossings, 100) << "the segments should cross the surface often";
  // Segments along the mesh's own edges and through its vertices graze many triangles.
  for (int v = 0; v < 60; ++v) {
    const Vector<float>& a = ring->vertex(v);
    const Vector<float>& b = ring->vertex(v + 24);
    const Edge<float> edge = segment(a[0], a[1], a[2], 2 * b[0] - a[0], 2 * b[1] - a[1], 2 * b[2] - a[2]);
    EXPECT_EQ(sortedPoints(query.computeIntersections(edge)), crossingsOfEveryTriangle(*ring, edge));
  }
  // Inside and outside, and the closest surface point.
  auto whole = torus(24, 16);
  query.setTriMesh(*whole);
  EXPECT_TRUE(query.contains(point(3, 0, 0)) && !query.contains(point(0, 0, 0)) &&
              !query.contains(point(9, 0, 0)));
  auto box = unitCube();
  query.setTriMesh(*box);
  Vector<float> q;
  int t = -1;
  query.closestPoint(point(2, 0.25f, 0.5f), q, t);
  EXPECT_EQ(q, point(1, 0.25f, 0.5f));
  ASSERT_GE(t, 10);
  query.closestPoint(point(-1, -1, -1), q);
  EXPECT_EQ(q, point(0, 0, 0));
}
