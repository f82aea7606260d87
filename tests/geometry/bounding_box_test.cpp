// Axis-aligned boxes: resolution, containment and rays.
#include "geometry/BoundingBox.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

BoundingBox<float> box(const Vector<float>& a, const Vector<float>& b) {
  return BoundingBox<float>(a, b);
}

} // namespace

TEST(BoundingBoxResolution, SplitsTheSurplusEvenly) {
  BoundingBox<float> b = box(point(0, 0), point(2.5f, 4));
  EXPECT_EQ(b.adjustToResolution(1), vectorOf<int>({3, 4}));
  EXPECT_EQ(b.getVertex1(), point(-0.25f, 0));
  EXPECT_EQ(b.getVertex2(), point(2.75f, 4));
  BoundingBox<int> integers(vectorOf<int>({0, 0}), vectorOf<int>({3, 5}));
  EXPECT_EQ(integers.cog(), vectorOf<int>({1, 2}));
  EXPECT_EQ(integers.adjustToResolution(2), vectorOf<int>({2, 3}));
}

TEST(BoundingBoxContainment, FacesBelongToTheBox) {
  const BoundingBox<float> b = box(point(0, 0, 0), point(1, 1, 1));
  EXPECT_TRUE(b.contains(point(1, 0.5f, 0)));
  EXPECT_FALSE(b.contains(point(1.01f, 0.5f, 0)));
  EXPECT_TRUE(b.intersects(box(point(1, 0, 0), point(2, 1, 1))));
  EXPECT_FALSE(b.intersects(box(point(1.5f, 0, 0), point(2, 1, 1))));
  EXPECT_TRUE(BoundingBox<float>().contains(point(5, 5, 5)));
  Vertices<float> inside(3, 2);
  inside[0] = point(0.5f, 0.5f, 0.5f);
  inside[1] = point(1, 1, 1);
  EXPECT_TRUE(b.containsAllVertices(inside));
  inside[1] = point(2, 1, 1);
  EXPECT_FALSE(b.containsAllVertices(inside));
  EXPECT_TRUE(b.containsAny(inside));
}

TEST(BoundingBoxRays, RaysMeetTheBoxOnlyAhead) {
  const BoundingBox<float> b = box(point(0, 0, 0), point(1, 1, 1));
  double entry = 0, exit = 0;
  EXPECT_TRUE(b.intersectsRay(point(-1, 0.5f, 0.5f), point(1, 0, 0), &entry, &exit));
  EXPECT_DOUBLE_EQ(entry, 1);
  EXPECT_DOUBLE_EQ(exit, 2);
  EXPECT_FALSE(b.intersectsRay(point(-1, 0.5f, 0.5f), point(-1, 0, 0)));
  EXPECT_TRUE(b.intersectsLeftRay(point(-1, 0.5f, 0.5f), point(-1, 0, 0), &entry, &exit));
  EXPECT_DOUBLE_EQ(entry, -2);
  EXPECT_DOUBLE_EQ(exit, -1);
  EXPECT_FALSE(b.intersectsRay(point(-1, 2, 0.5f), point(1, 0, 0))) << "parallel and outside";
  EXPECT_TRUE(b.intersectsRay(point(-1, 1, 0.5f), point(1, 0, 0))) << "grazing a face";
  EXPECT_TRUE(b.intersectsRay(point(0.5f, 0.5f, 0.5f), point(0, 0, 1), &entry, &exit));
  EXPECT_DOUBLE_EQ(entry, 0) << "a ray from inside enters at its origin";
  EXPECT_TRUE(b.intersectsRay(point(-1, -1, -1), point(1, 1, 1)));
  EXPECT_FALSE(b.intersectsRay(point(-1, -1, 3), point(1, 1, 0)));
}
