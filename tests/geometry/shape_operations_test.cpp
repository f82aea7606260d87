// Shape-wide operations reach every vertex of every kind through the vertex iterators, and refuse
// shapes or vectors that do not fit.
#include "foundation/Matrix.h"
#include "geometry/CurveStack.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

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

TEST(ShapeArithmetic, CogIsTheMeanOfEveryVertex) {
  EXPECT_EQ(smallStack().cog(), point(1, 2, 0.5f));
  Vertices<float> empty;
  const SizeError e = exceptionOf<SizeError>([&] { empty.cog(); });
  EXPECT_EQ(e.getWhat(), "This shape contains no vertex");
  EXPECT_EQ(e.getWhere(), "Vector<T> Shape<T>::cog() const");
}

TEST(ShapeArithmetic, CenterTranslateAndScaleMoveEveryVertex) {
  VertexStack<float> stack = smallStack();
  stack.center();
  EXPECT_EQ(stack.cog(), point(0, 0, 0));
  EXPECT_EQ(stack[1][1], point(1, 2, 0.5f));
  stack.scale(point(2, 1, 0));
  EXPECT_EQ(stack[1][1], point(2, 2, 0));
  stack *= 3;
  stack /= 2;
  EXPECT_EQ(stack[1][1], point(3, 3, 0));
  EXPECT_EQ(messageOf<SizeError>([&] { stack.scale(point(1, 1)); }), "Incorrect number of scales");
  EXPECT_EQ(exceptionOf<SizeError>([&] { stack.scale(point(1, 1)); }).getWhere(),
            "void Shape<T>::scale(const Vector<T>&)");
}

TEST(ShapeArithmetic, MultiplyAppliesAMatrixToEveryVertex) {
  VertexStack<float> stack = smallStack();
  Matrix<float> m(3, 3, true);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m(i, j) = 0;
  m(0, 1) = 1; // x' = y
  m(1, 0) = 1; // y' = x
  m(2, 2) = 10;
  stack.multiply(m);
  EXPECT_EQ(stack[1][1], point(4, 2, 10));
  EXPECT_EQ(stack[0][1], point(0, 2, 0));
  Matrix<float> wide(3, 4, true);
  EXPECT_EQ(messageOf<SizeError>([&] { stack.multiply(wide); }),
            "Matrix size differs from the space dimension");
  Vertices<float> flat(2, 1);
  EXPECT_EQ(messageOf<SizeError>([&] { flat.multiply(m); }), "Matrix size differs from the space dimension");
}

TEST(ShapeArithmetic, SharedServerSlotsMoveOncePerIndex) {
  Vertices<float> list(3, 2);
  list[0] = point(1, 1, 1);
  list[1] = point(0, 0, 0);
  list.setIndex(1, 0); // both positions on slot 0
  list.translate(point(1, 0, 0));
  EXPECT_EQ(list[0], point(3, 1, 1));
}

TEST(ShapeArithmetic, AddsAndSubtractsCompatibleShapesOnly) {
  VertexStack<float> a = smallStack();
  a.detach();
  VertexStack<float> b = smallStack();
  b.detach();
  a += b;
  EXPECT_EQ(a[1][1], point(4, 8, 2));
  a -= b;
  EXPECT_EQ(a[1][1], point(2, 4, 1));
  Vertices<float> flat = a.cat();
  const UsageError e = exceptionOf<UsageError>([&] { a += flat; });
  EXPECT_EQ(e.getWhat(), "Shapes are not compatible for addition");
  EXPECT_EQ(e.getWhere(), "void Shape<T>::operator+=(const Shape&)");
  EXPECT_EQ(messageOf<UsageError>([&] { a -= flat; }), "Shapes are not compatible for addition");
}

TEST(ShapeArithmetic, VectorFormRoundTrips) {
  VertexStack<float> stack = smallStack();
  const Vector<float> v = stack.toVector();
  EXPECT_EQ(v, vectorOf<float>({0, 0, 0, 2, 0, 0, 0, 4, 1, 2, 4, 1}));
  stack.fromVector(v * 2.f);
  EXPECT_EQ(stack[1][0], point(0, 8, 2));
  EXPECT_EQ(messageOf<UsageError>([&] { stack.fromVector(point(1, 2, 3)); }),
            "Size mismatch between this shape and the argument vector");
}

TEST(ShapeDistances, SquareAndRmsDistancesPairVerticesInOrder) {
  VertexStack<float> a = smallStack();
  Vertices<float> b = a.cat();
  b.detach();
  b.translate(point(3, 4, 0));
  EXPECT_EQ(a.squareDistances(b), vectorOf<float>({25, 25, 25, 25}));
  EXPECT_FLOAT_EQ(a.rmsDistance(b), 5);
  const ValueError self = exceptionOf<ValueError>([&] { a.squareDistances(a); });
  EXPECT_EQ(self.getWhat(), "Argument shape is equal to this");
  EXPECT_EQ(self.getWhere(), "Vector<T> Shape<T>::squareDistances(const Shape<T>&) const");
  b.remove(0);
  EXPECT_EQ(messageOf<SizeError>([&] { a.rmsDistance(b); }), "The two shapes have distinct sizes");
}

TEST(ShapeDistances, NearestVertexIsTheStoredVertexFirstOnTies) {
  VertexStack<float> stack = smallStack();
  EXPECT_EQ(stack.nearestVertex(point(1.9f, 3, 1)), &stack[1][1]);
  EXPECT_EQ(stack.nearestVertex(point(1, 0, 0)), &stack[0][0]);
  Vertices<float> empty;
  EXPECT_EQ(empty.nearestVertex(point(0, 0, 0)), nullptr);
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
  Vertices<int> integers(3, 1);
  EXPECT_EQ(messageOf<TypeError>([&] { integers.nearestNeighborDistances(integers); }),
            "Method not available for type 'int'");
}

TEST(ShapeDistances, BoundingBoxHoldsEveryVertex) {
  const BoundingBox<float> box = smallStack().boundingBox();
  EXPECT_EQ(box.getVertex1(), point(0, 0, 0));
  EXPECT_EQ(box.getVertex2(), point(2, 4, 1));
  EXPECT_FALSE(Vertices<float>().boundingBox().isValid());
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
  EXPECT_EQ(list.getNumVertices(), 2);
  list.remove(0);
  EXPECT_EQ(list[0], point(2, 0, 0));
  EXPECT_EQ(list.getServer()->getSize(), 4) << "removing drops indexes, not server slots";
}

TEST(VerticesEditing, RefusesPointsOfAnotherSpace) {
  Vertices<float> list(3, 1);
  EXPECT_EQ(messageOf<SizeError>([&] { list.append(point(1, 2)); }),
            "Vertex size differs from the space dimension");
  EXPECT_EQ(messageOf<SizeError>([&] { list.prepend(point(1, 2)); }),
            "Vertex size differs from the space dimension");
  EXPECT_EQ(messageOf<SizeError>([&] { list.insert(0, point(1, 2)); }),
            "Vertex size differs from the space dimension");
  EXPECT_EQ(list.getNumVertices(), 1);
  Vertices<float> serverless;
  serverless.append(point(1, 2));
  EXPECT_EQ(serverless.getSpace(), 2) << "the first point gives a list without server its space";
}

TEST(VerticesEditing, SetSizeContinuesOrZeroesTheIndexes) {
  Vertices<float> list(3, 2);
  list.setSize(4, true);
  EXPECT_EQ(list.getIndexes(), (std::vector<int>{0, 1, 2, 3}));
  list.setSize(6, false);
  EXPECT_EQ(list.getIndexes(), (std::vector<int>{0, 1, 2, 3, 0, 0}));
  Vertices<float> empty;
  empty.setSize(2, true);
  EXPECT_EQ(empty.getIndexes(), (std::vector<int>{0, 1}));
}

TEST(VerticesEditing, CopiesShareTheServerUntilDetached) {
  Vertices<float> a(3, 2);
  a[0] = point(1, 1, 1);
  Vertices<float> b(a);
  b[0][0] = 7;
  EXPECT_EQ(a[0][0], 7);
  b.detach();
  b[0][0] = 8;
  EXPECT_EQ(a[0][0], 7);
  std::unique_ptr<Shape<float>> c(a.clone());
  EXPECT_EQ(c->getServer(), a.getServer());
}

TEST(VerticesEditing, ParallelAppendsKeepEveryVertex) {
  Vertices<float> list;
#pragma omp parallel for
  for (int i = 0; i < 2000; ++i) list.append(point(float(i), 0, 0));
  EXPECT_EQ(list.getNumVertices(), 2000);
  float sum = 0;
  for (int i = 0; i < 2000; ++i) sum += list[i][0];
  EXPECT_EQ(sum, 1999.f * 2000 / 2);
}

TEST(VertexStackLevels, ConstructsLevelsOnConsecutiveSlots) {
  VertexStack<float> stack(3, 3, 4);
  EXPECT_EQ(stack.getHeight(), 3);
  EXPECT_EQ(stack.getNumVertices(), 12);
  EXPECT_EQ(stack[2].getIndex(0), 8);
  EXPECT_EQ(stack.getServer()->getRefs(), 4);
  EXPECT_EQ(VertexStack<float>().getSpace(), 0);
}

TEST(VertexStackLevels, SortOrdersLevelsByTheirFirstVertex) {
  VertexStack<float> stack(3, 3, 1);
  stack[0][0] = point(0, 0, 5);
  stack[1][0] = point(0, 0, -1);
  stack[2][0] = point(0, 0, 2);
  stack.sort(2);
  EXPECT_EQ(stack[0][0][2], -1);
  EXPECT_EQ(stack[1][0][2], 2);
  EXPECT_EQ(stack[2][0][2], 5);
  stack.reverse();
  EXPECT_EQ(stack[0][0][2], 5);
  stack.remove(0u);
  EXPECT_EQ(stack.getHeight(), 2);
}

TEST(VertexStackLevels, DetachCopiesOnlyWhenSomebodyElseHoldsTheServer) {
  VertexStack<float> stack = smallStack();
  VertexServer<float>* own = stack.getServer();
  stack.detach();
  EXPECT_EQ(stack.getServer(), own);
  Vertices<float> outside(stack[0]);
  stack.detach();
  EXPECT_NE(stack.getServer(), own);
  EXPECT_EQ(stack.getServer()->getSize(), 4);
  EXPECT_EQ(stack[1].getServer(), stack.getServer());
  stack[0][0][0] = 9;
  EXPECT_EQ(outside[0][0], 0);
}

TEST(VertexStackLevels, AppendedLevelsShareTheListsServer) {
  Vertices<float> list(3, 2);
  VertexStack<float> stack;
  stack.append(list);
  stack.prepend(list);
  EXPECT_EQ(stack.getServer(), list.getServer());
  EXPECT_EQ(stack.getHeight(), 2);
  stack.append(stack);
  EXPECT_EQ(stack.getHeight(), 4);
  EXPECT_EQ(stack.cat().getNumVertices(), 8);
}

TEST(ShapeDumps, PrintTheNameSizesAndIndexes) {
  Vertices<float> list(3, 2);
  list.setName("dots");
  std::ostringstream out;
  list.print("title", out);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("title\nShape: dots\n Server:\n  address  = ", 0), 0u) << text;
  EXPECT_NE(text.find(" Size = 2\n Indexes = \n   0\n   1\n"), std::string::npos) << text;
  VertexStack<float> stack(3, 2, 1);
  std::ostringstream stackOut;
  stack.print("", stackOut);
  EXPECT_NE(stackOut.str().find(" Height: 2\n"), std::string::npos);
}
