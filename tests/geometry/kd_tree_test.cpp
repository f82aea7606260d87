// Nearest-vertex index: answers as a search of every vertex would, refuses shapes it cannot index.
#include "geometry/KDTree.h"

#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/support/ExpectException.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {
Vertices<float> randomPoints(int n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> coordinate(-10, 10);
  Vertices<float> points(3, n);
  for (int v = 0; v < n; ++v)
    for (int i = 0; i < 3; ++i) points.vertex(v)[i] = coordinate(random);
  return points;
}

std::vector<float> squareDistancesTo(const Vertices<float>& points, const Vector<float>& p) {
  std::vector<float> distances;
  for (int v = 0; v < points.getNumVertices(); ++v) distances.push_back(points.vertex(v).sdistance(p));
  std::sort(distances.begin(), distances.end());
  return distances;
}
} // namespace

TEST(KDTree, RefusesAnEmptyShapeAndAStackSpreadOverSeveralServers) {
  KDTree<float> tree;
  Vertices<float> empty, first(3, 2), second(3, 3);
  EXPECT_THROW(tree.setShape(empty), UsageError);
  VertexStack<float> stack;
  stack.append(first);
  stack.append(second);
  EXPECT_THROW(tree.setShape(stack), UsageError);
}

TEST(KDTree, FindsTheNearestVerticesAsASearchOfEveryVertexWould) {
  Vertices<float> points = randomPoints(500, 1);
  KDTree<float> tree;
  tree.setShape(points);
  tree.build();
  std::mt19937 random(2);
  std::uniform_real_distribution<float> coordinate(-12, 12);
  for (int k = 0; k < 200; ++k) {
    Vector<float> p(std::vector<float>{coordinate(random), coordinate(random), coordinate(random)});
    const Vector<float>* nearest = tree.nearestVertex(p);
    ASSERT_NE(nearest, nullptr);
    EXPECT_EQ(nearest->sdistance(p), squareDistancesTo(points, p).front());
  }
  Vector<float> p(std::vector<float>{1, 2, 3});
  Vertices<float> nearest;
  tree.nearestVertices(nearest, p, 7);
  ASSERT_EQ(nearest.getNumVertices(), 7);
  const std::vector<float> expected = squareDistancesTo(points, p);
  for (int k = 0; k < 7; ++k) EXPECT_EQ(nearest.vertex(k).sdistance(p), expected[k]);
  EXPECT_EQ(tree.kNearestNeighbours(p, 1000).size(), 500u);
}

TEST(KDTree, IndexesAStackOnOneServer) {
  VertexStack<float> stack(3, 4, 5);
  for (int l = 0; l < 4; ++l)
    for (int k = 0; k < 5; ++k) {
      Vector<float>& v = stack[l].vertex(k);
      v[0] = float(k), v[1] = 0, v[2] = float(l);
    }
  KDTree<float> tree;
  tree.setShape(stack);
  const Vector<float>* nearest = tree.nearestVertex(Vector<float>(std::vector<float>{3.2f, 1, 1.9f}));
  EXPECT_EQ(*nearest, Vector<float>(std::vector<float>{3, 0, 2}));
}
