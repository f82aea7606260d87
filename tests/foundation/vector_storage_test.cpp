#include "foundation/Vector.h"

#include "tests/support/ExpectException.h"
#include "tests/support/VectorPrinting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Vector<float> vectorOf(std::vector<float> values) {
  return Vector<float>(values);
}

} // namespace

// Owning storage, shallow views and their rules.
TEST(VectorStorage, ConstructsEmptySizedAndFromStandardVector) {
  EXPECT_EQ(Vector<int>().getSize(), 0);
  EXPECT_EQ(Vector<int>().data(), nullptr);
  EXPECT_EQ(Vector<int>(-4).getSize(), 0);
  EXPECT_EQ(Vector<int>(5).getSize(), 5);
  const Vector<float> v = vectorOf({1, 2, 3});
  ASSERT_EQ(v.getSize(), 3);
  EXPECT_FALSE(v.isShallow());
  EXPECT_EQ(v[2], 3.0f);
  const std::vector<bool> flags = {true, false, true};
  const Vector<bool> b(flags);
  EXPECT_TRUE(b[0] && !b[1] && b[2]);
}

TEST(VectorStorage, ShallowViewReadsAndWritesTheForeignArray) {
  float foreign[3] = {1, 2, 3};
  Vector<float> view(3, foreign);
  EXPECT_TRUE(view.isShallow());
  EXPECT_EQ(view.data(), foreign);
  view[1] = 7;
  EXPECT_EQ(foreign[1], 7.0f);
  view *= 2.0f;
  EXPECT_EQ(foreign[0], 2.0f);
  EXPECT_EQ(foreign[2], 6.0f);
}

TEST(VectorStorage, CopyOfAShallowViewOwnsItsElements) {
  float foreign[2] = {1, 2};
  const Vector<float> view(2, foreign);
  Vector<float> copy(view);
  EXPECT_FALSE(copy.isShallow());
  EXPECT_NE(copy.data(), foreign);
  copy[0] = 9;
  EXPECT_EQ(foreign[0], 1.0f);
}

TEST(VectorStorage, AssigningOfEqualSizeWritesIntoTheView) {
  float foreign[3] = {0, 0, 0};
  Vector<float> view(3, foreign);
  view = vectorOf({4, 5, 6});
  EXPECT_TRUE(view.isShallow());
  EXPECT_EQ(foreign[0], 4.0f);
  EXPECT_EQ(foreign[2], 6.0f);
}

TEST(VectorStorage, AssigningAnotherSizeToAViewFailsAndChangesNothing) {
  float foreign[3] = {1, 2, 3};
  Vector<float> view(3, foreign);
  expectException<UsageError>(
      [&] {
        view = vectorOf({4, 5, 6, 7});
      },
      "void Vector<T>::setSize(const int,T*)", "This is a shallow vector, cannot be resized without data");
  EXPECT_EQ(view.getSize(), 3);
  EXPECT_EQ(view.data(), foreign);
  EXPECT_EQ(foreign[0], 1.0f);
}

TEST(VectorStorage, SetSizeKeepsContentsOnlyForTheSameSize) {
  Vector<int> v(std::vector<int>{1, 2, 3});
  const int* before = v.data();
  v.setSize(3);
  EXPECT_EQ(v.data(), before);
  EXPECT_EQ(v[2], 3);
  v.setSize(5);
  EXPECT_EQ(v.getSize(), 5);
  v.setSize(0);
  EXPECT_EQ(v.getSize(), 0);
  EXPECT_EQ(v.data(), nullptr);
}

TEST(VectorStorage, SetSizeWithDataTurnsAnOwnerIntoAView) {
  int foreign[2] = {8, 9};
  Vector<int> v(std::vector<int>{1, 2, 3});
  v.setSize(2, foreign);
  EXPECT_TRUE(v.isShallow());
  EXPECT_EQ(v[1], 9);
  v.setSize(2); // same size: allowed for a view
  expectException<UsageError>([&] { v.setSize(4); }, "void Vector<T>::setSize(const int,T*)",
                              "This is a shallow vector, cannot be resized without data");
}

TEST(VectorStorage, SelfAssignmentKeepsTheElements) {
  Vector<float> v = vectorOf({1, 2});
  Vector<float>& alias = v;
  v = alias;
  EXPECT_EQ(v, vectorOf({1, 2}));
}

TEST(VectorStorage, SwapOfOwnersExchangesStorageOfAnySize) {
  Vector<float> a = vectorOf({1, 2, 3});
  Vector<float> b = vectorOf({4});
  const float* aData = a.data();
  a.swap(b);
  EXPECT_EQ(b.data(), aData);
  EXPECT_EQ(a, vectorOf({4}));
  EXPECT_EQ(b, vectorOf({1, 2, 3}));
}

TEST(VectorStorage, SwapWithAViewExchangesElementsOrFailsOnSizes) {
  float foreign[2] = {1, 2};
  Vector<float> view(2, foreign);
  Vector<float> owner = vectorOf({5, 6});
  owner.swap(view);
  EXPECT_EQ(foreign[0], 5.0f);
  EXPECT_EQ(owner, vectorOf({1, 2}));
  Vector<float> longer = vectorOf({1, 2, 3});
  expectException<UsageError>([&] { longer.swap(view); }, "void Vector<T>::swap(Vector&)",
                              "Vector size differ and at least one of them is shallow");
  expectException<UsageError>([&] { view.swap(longer); }, "void Vector<T>::swap(Vector&)",
                              "Vector size differ and at least one of them is shallow");
  EXPECT_EQ(longer.getSize(), 3);
}

TEST(VectorStorage, AppendAndPrependJoinInOrder) {
  Vector<int> v(std::vector<int>{1, 2});
  v.append(Vector<int>(std::vector<int>{3}));
  EXPECT_EQ(v, Vector<int>(std::vector<int>{1, 2, 3}));
  v.prepend(Vector<int>(std::vector<int>{-1, 0}));
  EXPECT_EQ(v, Vector<int>(std::vector<int>{-1, 0, 1, 2, 3}));
  v.append(v);
  EXPECT_EQ(v.getSize(), 10);
  EXPECT_EQ(v[5], -1);
}

TEST(VectorStorage, ViewsRefuseAppendAndPrepend) {
  int foreign[2] = {1, 2};
  Vector<int> view(2, foreign);
  const Vector<int> more(std::vector<int>{3});
  expectException<UsageError>([&] { view.append(more); }, "void Vector<T>::append(const Vector&)",
                              "This is a shallow vector (cannot be resized)");
  expectException<UsageError>([&] { view.prepend(more); }, "void Vector<T>::prepend(const Vector&)",
                              "This is a shallow vector (cannot be resized)");
  EXPECT_EQ(view.getSize(), 2);
}

TEST(VectorStorage, CopiesRangesAndPastesInPlace) {
  const Vector<float> v = vectorOf({0, 1, 2, 3, 4});
  EXPECT_EQ(v.copy(1, 3), vectorOf({1, 2, 3}));
  EXPECT_EQ(v.copyFrom(3), vectorOf({3, 4}));
  EXPECT_EQ(v.copyUntil(1), vectorOf({0, 1}));
  Vector<float> target = v;
  target.paste(3, vectorOf({8, 9}));
  EXPECT_EQ(target, vectorOf({0, 1, 2, 8, 9}));
  expectException<SizeError>(
      [&] {
        target.paste(4, vectorOf({8, 9}));
      },
      "Vector Vector<T>::paste(...)", "Vector to large to be pasted at specified position");
  EXPECT_EQ(target, vectorOf({0, 1, 2, 8, 9}));
}

TEST(VectorStorage, TextVectorsSupportStorageOperations) {
  Vector<std::string> names(std::vector<std::string>{"a", "b"});
  names.append(Vector<std::string>(std::vector<std::string>{"c"}));
  EXPECT_EQ(names.find("c"), 2);
  EXPECT_EQ(names.copyFrom(1), Vector<std::string>(std::vector<std::string>{"b", "c"}));
}

// Filling and in-place reordering.
TEST(VectorFilling, FillsZerosOnesCanonicalAndSequences) {
  Vector<int> v(4);
  v.fill(7);
  EXPECT_EQ(v, Vector<int>(std::vector<int>{7, 7, 7, 7}));
  v.setZeros();
  EXPECT_EQ(v.sum(), 0);
  v.setOnes(3);
  EXPECT_EQ(v, Vector<int>(std::vector<int>{1, 1, 1}));
  v.setZeros(2);
  EXPECT_EQ(v, Vector<int>(std::vector<int>{0, 0}));
  Vector<float> c(3);
  c.setCanonical(1);
  EXPECT_EQ(c, vectorOf({0, 1, 0}));
  Vector<float> s(4);
  s.setSequence(0.5f);
  EXPECT_EQ(s, vectorOf({0, 0.5f, 1, 1.5f}));
  s.setSequence(10, -2);
  EXPECT_EQ(s, vectorOf({10, 8, 6, 4}));
}

TEST(VectorFilling, FillingAViewWritesThrough) {
  int foreign[3] = {1, 2, 3};
  Vector<int> view(3, foreign);
  view.setOnes(3);
  EXPECT_EQ(foreign[2], 1);
  EXPECT_THROW(view.setZeros(4), UsageError);
}

TEST(VectorFilling, AppliesSortsReversesAndShifts) {
  Vector<float> v = vectorOf({3, -1, 2, -1});
  v.apply([](float x) { return x * x; });
  EXPECT_EQ(v, vectorOf({9, 1, 4, 1}));
  v.sort();
  EXPECT_EQ(v, vectorOf({1, 1, 4, 9}));
  v.reverse();
  EXPECT_EQ(v, vectorOf({9, 4, 1, 1}));
  v.circShift();
  EXPECT_EQ(v, vectorOf({1, 9, 4, 1}));
  Vector<float> empty;
  empty.sort();
  empty.circShift();
  EXPECT_EQ(empty.getSize(), 0);
}

TEST(VectorFilling, NormalizeMakesUnitLengthAndLeavesZeroAlone) {
  Vector<double> v(std::vector<double>{3, 0, 4});
  v.normalize();
  EXPECT_DOUBLE_EQ(v[0], 0.6);
  EXPECT_DOUBLE_EQ(v[2], 0.8);
  Vector<float> zero = vectorOf({0, 0, 0});
  zero.normalize();
  EXPECT_EQ(zero, vectorOf({0, 0, 0}));
}

TEST(VectorFilling, EpsilonPerElementType) {
  EXPECT_EQ(Vector<float>::epsilon(), 1e-6f);
  EXPECT_EQ(Vector<double>::epsilon(), 1e-15);
  EXPECT_EQ(Vector<long double>::epsilon(), 1e-18L);
  EXPECT_EQ(Vector<int>::epsilon(), 0);
  EXPECT_EQ(Vector<bool>::epsilon(), false);
}
