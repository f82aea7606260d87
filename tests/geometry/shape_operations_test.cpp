// Shape-wide operations reach every vertex of every kind through the vertex iterators and the shared
// vertex storage, and refuse shapes or vectors that do not fit; boxes, the nearest-vertex index, curves.
#include "foundation/Matrix.h"
#include "geometry/BoundingBox.h"
#include "geometry/CurveStack.h"
#include "geometry/Edge.h"
#include "geometry/EdgeIterator.h"
#include "geometry/KDTree.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexServer.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

namespace {

// Two levels of two vertices: (0,0,0), (2,0,0) | (0,4,1), (2,4,1).
VertexStack<float> smallStack() {
  VertexStack<float> stack(3, 2, 2);
  stack.fromVector(vectorOf<float>({0, 0, 0, 2, 0, 0, 0, 4, 1, 2, 4, 1}));
  return stack;
}

} // namespace

TEST(ShapeArithmetic, MovesEveryVertexOnceRoundTripsThroughVectorsAndRefusesWhatDoesNotFit) {
  VertexStack<float> stack = smallStack();
  EXPECT_EQ(stack.cog(), point(1, 2, 0.5f));
  stack.center();
  stack.scale(point(2, 1, 0));
  stack *= 3;
  stack /= 2;
  EXPECT_EQ(stack[1][1], point(3, 3, 0));
  Vertices<float> list(3, 2);
  list[0] = point(1, 1, 1);
  list.setIndex(1, 0); // both positions on slot 0: the slot moves once per index
  list.translate(point(1, 0, 0));
  EXPECT_EQ(list[0], point(3, 1, 1));
  VertexStack<float> a = smallStack(), b = smallStack();
  a.detach();
  b.detach();
  a += b;
  a += b;
  a -= b;
  a.fromVector(a.toVector() * 2.f);
  EXPECT_EQ(a.toVector(), smallStack().toVector() * 4.f);
  // Shapes and vectors that do not fit are refused.
  VertexStack<float> same = smallStack();
  Vertices<float> flat = same.cat(), shorter = same.cat(), empty, flat2(2, 1);
  shorter.remove(0);
  Vertices<int> integers(3, 1);
  Matrix<float> wide(3, 4, true), square(3, 3, true);
  expectEach<SizeError>({[&] { empty.cog(); }, [&] { same.scale(point(1, 1)); }, [&] { same.multiply(wide); },
                         [&] { flat2.multiply(square); }, [&] { same.rmsDistance(shorter); }});
  expectEach<UsageError>(
      {[&] { same += flat; }, [&] { same -= flat; }, [&] { same.fromVector(point(1, 2, 3)); }});
  EXPECT_THROW(same.squareDistances(same), ValueError);
  EXPECT_THROW(integers.nearestNeighborDistances(integers), TypeError);
  EXPECT_EQ(same.toVector(), smallStack().toVector()) << "a refused operation leaves the shape alone";
}

TEST(ShapeDistances, PairVerticesInOrderFindTheNearestAndBoxThem) {
  VertexStack<float> a = smallStack();
  Vertices<float> b = a.cat();
  b.detach();
  b.translate(point(3, 4, 0));
  EXPECT_EQ(a.squareDistances(b), vectorOf<float>({25, 25, 25, 25}));
  EXPECT_FLOAT_EQ(a.rmsDistance(b), 5);
  EXPECT_EQ(a.nearestVertex(point(1.9f, 3, 1)), &a[1][1]);
  EXPECT_EQ(a.nearestVertex(point(1, 0, 0)), &a[0][0]) << "the stored vertex first on ties";
  EXPECT_EQ(Vertices<float>().nearestVertex(point(0, 0, 0)), nullptr);
  EXPECT_TRUE(a.boundingBox().getVertex1() == point(0, 0, 0) &&
              a.boundingBox().getVertex2() == point(2, 4, 1));
  EXPECT_FALSE(Vertices<float>().boundingBox().isValid());
  Vertices<float> list(3, 3), other(3, 1);
  list.fromVector(vectorOf<float>({0, 0, 0, 1, 0, 0, 5, 0, 0}));
  other[0] = point(4, 0, 0);
  EXPECT_EQ(list.nearestNeighbors(), vectorOf<int>({1, 0, 1}));
  EXPECT_EQ(list.squareNearestNeighborDistances(), vectorOf<float>({1, 1, 16}));
  EXPECT_EQ(list.nearestNeighbors(other), vectorOf<int>({0, 0, 0}));
  EXPECT_EQ(list.nearestNeighborDistances(other), vectorOf<float>({4, 3, 1}));
}

TEST(VertexStorage, ListsAndStacksEditSortAndIterateVerticesOnSharedServers) {
  Vertices<float> list;
  list.append(point(1, 0, 0));
  list.append(point(2, 0, 0));
  list.prepend(point(0, 0, 0));
  list.insert(1, point(0.5f, 0, 0));
  list.setOrigin(2);
  list.reverse();
  EXPECT_EQ(list.toVector(), vectorOf<float>({0.5f, 0, 0, 0, 0, 0, 2, 0, 0, 1, 0, 0}));
  EXPECT_EQ(list.findMin(0) * 10 + list.findMax(0), 12);
  list.removeOutside(1, 2);
  list.remove(0);
  EXPECT_EQ(list.toVector(), point(2, 0, 0));
  EXPECT_EQ(list.getServer()->getSize(), 4) << "removing drops indexes, not server slots";
  list.setSize(3, true);
  list.setSize(4, false);
  EXPECT_EQ(list.getIndexes(), (std::vector<int>{1, 2, 3, 0})) << "new indexes continue the last";
  VertexStack<float> stack(3, 3, 1);
  EXPECT_TRUE(stack[2].getIndex(0) == 2 && stack.getServer()->getRefs() == 4);
  stack.fromVector(vectorOf<float>({0, 0, 5, 0, 0, -1, 0, 0, 2}));
  stack.sort(2);
  EXPECT_EQ(stack.toVector(), vectorOf<float>({0, 0, -1, 0, 0, 2, 0, 0, 5}));
  stack.reverse();
  stack.remove(0u);
  EXPECT_EQ(stack.toVector(), vectorOf<float>({0, 0, 2, 0, 0, -1}));
  Vertices<float> level(3, 2);
  VertexStack<float> other;
  other.append(level);
  other.prepend(level);
  EXPECT_EQ(other.getServer(), level.getServer());
  other.append(other);
  EXPECT_EQ(other.getHeight() * 10 + other.cat().getNumVertices(), 48);
  // The iterators walk level by level, skip empty levels and give locators that reach the vertex.
  VertexStack<float> holed(3, 3, 2);
  holed[1].setSize(0);
  std::vector<std::pair<unsigned, unsigned>> locators;
  for (VertexIterator<float> it(holed); it.current(); ++it) {
    locators.emplace_back(it.locator()[0], it.locator()[1]);
    EXPECT_EQ(&holed[it.locator()], it.current());
  }
  EXPECT_EQ(locators, (std::vector<std::pair<unsigned, unsigned>>{{0, 0}, {0, 1}, {2, 0}, {2, 1}}));
  // A server appends copies of another's vertices after its own, refusing itself and another space.
  VertexServer<float> a(3, 1, 0, 0), b(3, 2, 0, 0), flat(2, 1, 0, 0);
  b.vertex(1) = point(7, 8, 9);
  a.append(b);
  expectEach<ValueError>({[&] { a.append(a); }, [&] { a.append(flat); }});
  EXPECT_TRUE(a.getSize() == 3 && a.vertex(2) == point(7, 8, 9));
}

TEST(BoundingBox, ResolutionContainmentAndRaysThatMeetItOnlyAhead) {
  BoundingBox<float> grid(point(0, 0), point(2.5f, 4));
  EXPECT_EQ(grid.adjustToResolution(1), vectorOf<int>({3, 4})); // the surplus split evenly
  EXPECT_TRUE(grid.getVertex1() == point(-0.25f, 0) && grid.getVertex2() == point(2.75f, 4));
  BoundingBox<int> integers(vectorOf<int>({0, 0}), vectorOf<int>({3, 5}));
  EXPECT_TRUE(integers.cog() == vectorOf<int>({1, 2}) &&
              integers.adjustToResolution(2) == vectorOf<int>({2, 3}));
  const BoundingBox<float> b(point(0, 0, 0), point(1, 1, 1));
  EXPECT_TRUE(b.contains(point(1, 0.5f, 0)) && !b.contains(point(1.01f, 0.5f, 0))) << "faces belong to it";
  EXPECT_TRUE(b.intersects(BoundingBox<float>(point(1, 0, 0), point(2, 1, 1))) &&
              !b.intersects(BoundingBox<float>(point(1.5f, 0, 0), point(2, 1, 1))));
  EXPECT_TRUE(BoundingBox<float>().contains(point(5, 5, 5)));
  Vertices<float> inside(3, 2);
  inside.fromVector(vectorOf<float>({0.5f, 0.5f, 0.5f, 1, 1, 1}));
  EXPECT_TRUE(b.containsAllVertices(inside));
  inside[1] = point(2, 1, 1);
  EXPECT_TRUE(!b.containsAllVertices(inside) && b.containsAny(inside));
  double entry = 0, exit = 0;
  EXPECT_TRUE(b.intersectsRay(point(-1, 0.5f, 0.5f), point(1, 0, 0), &entry, &exit));
  EXPECT_EQ(std::make_pair(entry, exit), std::make_pair(1.0, 2.0));
  EXPECT_FALSE(b.intersectsRay(point(-1, 0.5f, 0.5f), point(-1, 0, 0)));
  EXPECT_TRUE(b.intersectsLeftRay(point(-1, 0.5f, 0.5f), point(-1, 0, 0), &entry, &exit));
  EXPECT_EQ(std::make_pair(entry, exit), std::make_pair(-2.0, -1.0));
  EXPECT_FALSE(b.intersectsRay(point(-1, 2, 0.5f), point(1, 0, 0))) << "parallel and outside";
  EXPECT_TRUE(b.intersectsRay(point(-1, 1, 0.5f), point(1, 0, 0))) << "grazing a face";
  EXPECT_TRUE(b.intersectsRay(point(0.5f, 0.5f, 0.5f), point(0, 0, 1), &entry, &exit));
  EXPECT_EQ(entry, 0) << "a ray from inside enters at its origin";
  EXPECT_TRUE(b.intersectsRay(point(-1, -1, -1), point(1, 1, 1)) &&
              !b.intersectsRay(point(-1, -1, 3), point(1, 1, 0)));
}

// The nearest-vertex index answers as a search of every vertex would, and refuses shapes it cannot index.
TEST(KDTree, FindsTheNearestVerticesAsASearchOfEveryVertexWould) {
  KDTree<float> tree;
  Vertices<float> empty, points(3, 500), first(3, 2), second(3, 3);
  EXPECT_THROW(tree.setShape(empty), UsageError);
  VertexStack<float> spread;
  spread.append(first);
  spread.append(second);
  EXPECT_THROW(tree.setShape(spread), UsageError) << "a stack over several servers";
  std::mt19937 random(1);
  std::uniform_real_distribution<float> coordinate(-12, 12);
  for (int v = 0; v < 500; ++v) points[v] = point(coordinate(random), coordinate(random), coordinate(random));
  VertexStack<float> levels; // the points as a stack's level on their own server
  levels.append(points);
  tree.setShape(levels);
  tree.build();
  for (int k = 0; k < 200; ++k) {
    const Vector<float> p = point(coordinate(random), coordinate(random), coordinate(random));
    Vertices<float> nearest;
    tree.nearestVertices(nearest, p, 7);
    std::vector<float> all;
    for (int v = 0; v < 500; ++v) all.push_back(points[v].sdistance(p));
    std::sort(all.begin(), all.end());
    EXPECT_EQ(tree.nearestVertex(p)->sdistance(p), all[0]);
    ASSERT_EQ(nearest.getNumVertices(), 7);
    for (int n = 0; n < 7; ++n) EXPECT_EQ(nearest[n].sdistance(p), all[static_cast<std::size_t>(n)]);
  }
  EXPECT_EQ(tree.kNearestNeighbours(point(1, 2, 3), 1000).size(), 500u);
}

// Curves: closure, edges, signed areas and orientation; curve stacks keep one closure.
namespace {

Curve<float> curveThrough(const std::vector<Vector<float>>& points, bool open) {
  Curve<float> curve(3, 0, 0, 0, open);
  for (const auto& p : points) curve.append(p);
  return curve;
}

Curve<float> unitSquare(bool open = false) {
  return curveThrough({point(0, 0, 0), point(1, 0, 0), point(1, 1, 0), point(0, 1, 0)}, open);
}

std::vector<std::pair<int, int>> edgesOf(const Curve<float>& curve) {
  std::vector<std::pair<int, int>> edges;
  for (EdgeIterator<float> it(curve); it.current(); ++it)
    edges.emplace_back(it.current()->getIndex(0), it.current()->getIndex(1));
  return edges;
}

} // namespace

TEST(Curves, ClosedOnesHaveOneMoreEdgeUnitSquaresTurnCounterClockwiseTinyOnesHaveNoSign) {
  Curve<float> triangle = curveThrough({point(0, 0, 0), point(1, 0, 0), point(0, 1, 0)}, false);
  EXPECT_EQ(edgesOf(triangle), (std::vector<std::pair<int, int>>{{0, 1}, {1, 2}, {2, 0}}));
  triangle.setOpen(true);
  EXPECT_EQ(edgesOf(triangle), (std::vector<std::pair<int, int>>{{0, 1}, {1, 2}}));
  EXPECT_TRUE(edgesOf(curveThrough({point(0, 0, 0)}, false)).empty());
  Vertices<float> points(3, 3);
  EXPECT_EQ(EdgeIterator<float>(points).current(), nullptr) << "other shapes have no edge";
  EdgeIterator<float> it(triangle);
  ++it;
  EXPECT_EQ(&it.current()->vertex(0), &triangle[1]) << "the edge shares the curve's vertices";
  it.rewind();
  EXPECT_EQ(it.current()->getIndex(0), 0);
  CurveStack<float> stack(3, 1, 4);
  expectEach<TypeError>({[&] { stack.append(unitSquare(true)); }, [&] { stack.prepend(unitSquare(true)); }});
  Curve<float> member = unitSquare();
  stack.append(member);
  EXPECT_EQ(&stack.getLastCurve()[2], &member[2]) << "a stack keeps one closure and shares the vertices";
  Curve<float> square = unitSquare();
  EXPECT_FLOAT_EQ(square.twiceArea(0, 1), 2);
  EXPECT_TRUE(!square.isClockwise(0, 1) && square.projectedAreaSign(0, 1) == 1);
  EXPECT_FLOAT_EQ(square.twiceArea(1, 0), -2) << "swapping the axes mirrors the plane";
  square.reverse();
  EXPECT_TRUE(square.twiceArea(0, 1) == -2 && square.isClockwise(0, 1));
  EXPECT_EQ(unitSquare(true).twiceArea(0, 1), 0);
  const Vector<float> second = square[1];
  square.setClockwise(true, 0, 1);
  EXPECT_EQ(square[1], second) << "already clockwise: left alone";
  square.setClockwise(false, 0, 1);
  EXPECT_FALSE(square.isClockwise(0, 1));
  const float side = 0.0007f; // area 4.9e-7
  Curve<float> tiny =
      curveThrough({point(0, 0, 0), point(side, 0, 0), point(side, side, 0), point(0, side, 0)}, false);
  EXPECT_EQ(tiny.projectedAreaSign(0, 1), 0);
  tiny.setClockwise(true, 0, 1);
  EXPECT_EQ(tiny[1], point(side, 0, 0)) << "left unchanged";
}
