#include "foundation/Matrix.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

Matrix<float> matrixOf(int rows, int columns, std::vector<float> values, bool owner = false) {
  Matrix<float> m;
  m.setSize(rows, columns, owner);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) m(i, j) = values[static_cast<std::size_t>(i * columns + j)];
  return m;
}

void expectMatrixEq(const Matrix<float>& m, int rows, int columns, std::vector<float> values) {
  ASSERT_EQ(m.getSize1(), rows);
  ASSERT_EQ(m.getSize2(), columns);
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) EXPECT_EQ(m(i, j), values[static_cast<std::size_t>(i * columns + j)]);
}

} // namespace

// Storage modes and resizing.
TEST(MatrixStorage, DefaultIsEmptyWithoutRows) {
  const Matrix<float> m;
  EXPECT_EQ(m.getSize1(), 0);
  EXPECT_EQ(m.getSize2(), 0);
  EXPECT_FALSE(m.isOwner());
}

TEST(MatrixStorage, ConstructorGivesRowsTheirOwnStorage) {
  const Matrix<double> m(2, 3, true);
  EXPECT_FALSE(m.isOwner());
  EXPECT_EQ(m[1].getSize(), 3);
  EXPECT_FALSE(m[1].isShallow());
}

TEST(MatrixStorage, OwningMatrixKeepsRowsInOneBlock) {
  Matrix<float> m;
  m.setSize(3, 2, true);
  EXPECT_TRUE(m.isOwner());
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(m[i].isShallow());
    EXPECT_EQ(m[i].data(), m[0].data() + 2 * i);
  }
}

TEST(MatrixStorage, SetSizeWithTheSameSizesKeepsElementsAndMode) {
  Matrix<float> m = matrixOf(2, 2, {1, 2, 3, 4}, true);
  m.setSize(2, 2, false);
  EXPECT_TRUE(m.isOwner());
  expectMatrixEq(m, 2, 2, {1, 2, 3, 4});
  m.setSize(3, 1, false);
  EXPECT_FALSE(m.isOwner());
  EXPECT_EQ(m.getSize1(), 3);
  m.setSize(Vector<int>(std::vector<int>{2, 5}));
  EXPECT_EQ(m.getSize2(), 5);
  m.setSize(0, 0);
  EXPECT_EQ(m.getSize1(), 0);
}

TEST(MatrixStorage, CopiesAreDeepInTheSameMode) {
  const Matrix<float> block = matrixOf(2, 2, {1, 2, 3, 4}, true);
  Matrix<float> copy(block);
  EXPECT_TRUE(copy.isOwner());
  EXPECT_NE(copy[0].data(), block[0].data());
  copy(0, 0) = 9;
  EXPECT_EQ(block(0, 0), 1.0f);
  Matrix<float> assigned;
  assigned = matrixOf(1, 3, {5, 6, 7});
  expectMatrixEq(assigned, 1, 3, {5, 6, 7});
}

TEST(MatrixStorage, FromAVectorAsOneRowOrOneColumn) {
  const Vector<float> v(std::vector<float>{1, 2, 3});
  expectMatrixEq(Matrix<float>(v, true), 1, 3, {1, 2, 3});
  expectMatrixEq(Matrix<float>(v, false), 3, 1, {1, 2, 3});
}

// Products.
TEST(MatrixProduct, MultipliesRowsByColumns) {
  const Matrix<float> a = matrixOf(2, 3, {1, 2, 3, 4, 5, 6}, true);
  const Matrix<float> b = matrixOf(3, 2, {7, 8, 9, 10, 11, 12});
  const Matrix<float> p = a * b;
  EXPECT_TRUE(p.isOwner()); // the left operand's storage mode
  expectMatrixEq(p, 2, 2, {58, 64, 139, 154});
  expectMatrixEq(b * a, 3, 3, {39, 54, 69, 49, 68, 87, 59, 82, 105});
}

TEST(MatrixProduct, IncompatibleSizesFail) {
  const Matrix<float> a(3, 2);
  const Matrix<float> b(3, 3);
  expectException<SizeError>([&] { a* b; }, "Matrix<T> Matrix<T>::operator*(const Matrix&) const",
                             "The dimensions of the two matrices are not compatible");
}

TEST(MatrixProduct, OuterProductOfTwoVectors) {
  const Vector<float> a(std::vector<float>{1, 2});
  const Vector<float> b(std::vector<float>{3, 4, 5});
  expectMatrixEq(a.outerProduct(b), 2, 3, {3, 4, 5, 6, 8, 10});
  const Matrix<int> m = Vector<int>(std::vector<int>{2}).outerProduct(Vector<int>(std::vector<int>{-1, 7}));
  EXPECT_EQ(m[0], Vector<int>(std::vector<int>{-2, 14}));
}
