// Shape-wide operations reach every vertex of every kind through the vertex iterators, and refuse
// shapes or vectors that do not fit.
#include "foundation/Matrix.h"
#include "geometry/CurveStack.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"
#include "tests/support/ExpectException.h"

#include <gtest/gtest.h>

namespace {

// Two levels of two vertices: (0,0,0), (2,0,0) | (0,4,1), (2,4,1).
VertexStack<float> smallStack() {
  VertexStack<float> stack(3, 2, 2);
  stack[0][0] = point(0, 0, 0);
  stack[0][1] = point(2, 0, 0);
  stack[1][0] = point(0, 4, 1);
  stack[1][1] = point(2, 4, 1);
  return stack;
}

} // namespace

TEST(ShapeArithmetic, MovesEveryVertexOnce) {
  VertexStack<float> stack = smallStack();
  EXPECT_EQ(stack.cog(), point(1, 2, 0.5f));
  stack.center();
  EXPECT_EQ(stack[1][1], point(1, 2, 0.5f));
  stack.scale(point(2, 1, 0));
  EXPECT_EQ(stack[1][1], point(2, 2, 0));
  stack *= 3;
  stack /= 2;
  EXPECT_EQ(stack[1][1], point(3, 3, 0));
  Vertices<float> list(3, 2);
  list[0] = point(1, 1, 1);
  list.setIndex(1, 0); // both positions on slot 0: the slot moves once per index
  list.translate(point(1, 0, 0));
  EXPECT_EQ(list[0], point(3, 1, 1));
}

TEST(ShapeArithmetic, AddsSubtractsAndRoundTripsThroughVectors) {
  VertexStack<float> a = smallStack();
  a.detach();
  VertexStack<float> b = smallStack();
  b.detach();
  a += b;
  EXPECT_EQ(a[1][1], point(4, 8, 2));
  a -= b;
  EXPECT_EQ(a.toVector(), vectorOf<float>({0, 0, 0, 2, 0, 0, 0, 4, 1, 2, 4, 1}));
  a.fromVector(a.toVector() * 2.f);
  EXPECT_EQ(a[1][0], point(0, 8, 2));
}

TEST(ShapeArithmetic, RefusesShapesAndVectorsThatDoNotFit) {
  VertexStack<float> stack = smallStack();
  Vertices<float> flat = stack.cat(), shorter = stack.cat(), empty, flat2(2, 1);
  shorter.remove(0);
  Vertices<int> integers(3, 1);
  Matrix<float> wide(3, 4, true), square(3, 3, true);
  expectEach<SizeError>({[&] { empty.cog(); }, [&] { stack.scale(point(1, 1)); },
                         [&] { stack.multiply(wide); }, [&] { flat2.multiply(square); },
                         [&] { stack.rmsDistance(shorter); }});
  expectEach<UsageError>(
      {[&] { stack += flat; }, [&] { stack -= flat; }, [&] { stack.fromVector(point(1, 2, 3)); }});
  EXPECT_THROW(stack.squareDistances(stack), ValueError);
  EXPECT_THROW(integers.nearestNeighborDistances(integers), TypeError);
  EXPECT_EQ(stack.toVector(), smallStack().toVector()) << "a refused operation leaves the shape alone";
}

TEST(ShapeDistances, PairVerticesInOrderAndFindTheNearest) {
  VertexStack<float> a = smallStack();
  Vertices<float> b = a.cat();
  b.detach();
  b.translate(point(3, 4, 0));
  EXPECT_EQ(a.squareDistances(b), vectorOf<float>({25, 25, 25, 25}));
  EXPECT_FLOAT_EQ(a.rmsDistance(b), 5);
  EXPECT_EQ(a.nearestVertex(point(1.9f, 3, 1)), &a[1][1]);
  EXPECT_EQ(a.nearestVertex(point(1, 0, 0)), &a[0][0]) << "the stored vertex first on ties";
  EXPECT_EQ(Vertices<float>().nearestVertex(point(0, 0, 0)), nullptr);
  const BoundingBox<float> box = a.boundingBox();
  EXPECT_EQ(box.getVertex1(), point(0, 0, 0));
  EXPECT_EQ(box.getVertex2(), point(2, 4, 1));
  EXPECT_FALSE(Vertices<float>().boundingBox().isValid());
}

TEST(ShapeDistances, NearestNeighborsWithinAndAcrossShapes) {
  Vertices<float> list(3, 3);
  list[0] = point(0, 0, 0);
  list[1] = point(1, 0, 0);
  list[2] = point(5, 0, 0);
  EXPECT_EQ(list.nearestNeighbors(), vectorOf<int>({1, 0, 1}));
  EXPECT_EQ(list.squareNearestNeighborDistances(), vectorOf<float>({1, 1, 16}));
  Vertices<float> other(3, 1);
  other[0] = point(4, 0, 0);
  EXPECT_EQ(list.nearestNeighbors(other), vectorOf<int>({0, 0, 0}));
  EXPECT_EQ(list.nearestNeighborDistances(other), vectorOf<float>({4, 3, 1}));
}

TEST(VerticesEditing, AppendPrependInsertAndRemove) {
  Vertices<float> list;
  list.append(point(1, 0, 0));
  list.append(point(2, 0, 0));
  list.prepend(point(0, 0, 0));
  list.insert(1, point(0.5f, 0, 0));
  EXPECT_EQ(list.toVector(), vectorOf<float>({0, 0, 0, 0.5f, 0, 0, 1, 0, 0, 2, 0, 0}));
  list.setOrigin(2);
  EXPECT_EQ(list[0], point(1, 0, 0));
  list.reverse();
  EXPECT_EQ(list[0], point(0.5f, 0, 0));
  EXPECT_EQ(list.findMin(0), 1);
  EXPECT_EQ(list.findMax(0), 2);
  list.removeOutside(1, 2);
  list.remove(0);
  EXPECT_EQ(list.getNumVertices(), 1);
  EXPECT_EQ(list[0], point(2, 0, 0));
  EXPECT_EQ(list.getServer()->getSize(), 4) << "removing drops indexes, not server slots";
  list.setSize(3, true);
  EXPECT_EQ(list.getIndexes(), (std::vector<int>{1, 2, 3})) << "new indexes continue the last";
  list.setSize(4, false);
  EXPECT_EQ(list.getIndexes(), (std::vector<int>{1, 2, 3, 0}));
}

TEST(VertexStackLevels, ConstructsSortsAndAppendsLevelsOnOneServer) {
  VertexStack<float> stack(3, 3, 1);
  EXPECT_EQ(stack[2].getIndex(0), 2);
  EXPECT_EQ(stack.getServer()->getRefs(), 4);
  stack[0][0] = point(0, 0, 5);
  stack[1][0] = point(0, 0, -1);
  stack[2][0] = point(0, 0, 2);
  stack.sort(2);
  EXPECT_EQ(stack.toVector(), vectorOf<float>({0, 0, -1, 0, 0, 2, 0, 0, 5}));
  stack.reverse();
  EXPECT_EQ(stack[0][0][2], 5);
  stack.remove(0u);
  EXPECT_EQ(stack.getHeight(), 2);
  Vertices<float> list(3, 2);
  VertexStack<float> other;
  other.append(list);
  other.prepend(list);
  EXPECT_EQ(other.getServer(), list.getServer());
  other.append(other);
  EXPECT_EQ(other.getHeight(), 4);
  EXPECT_EQ(other.cat().getNumVertices(), 8);
}
