// Curves: closure, edges, signed areas and orientation; curve stacks keep one closure.
#include "geometry/CurveStack.h"
#include "geometry/Edge.h"
#include "geometry/EdgeIterator.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

TEST(CurveEdges, ClosedCurvesHaveOneMoreEdgeThanOpenOnes) {
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
  Curve<float> square = unitSquare();
  stack.append(square);
  EXPECT_EQ(&stack.getLastCurve()[2], &square[2]) << "a stack keeps one closure and shares the vertices";
}

TEST(CurveAreas, UnitSquareTurnsCounterClockwiseAndTinyPolygonsHaveNoSign) {
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
