// Shared vertex storage: growth, capacity, reference counts, copy on detach and the iterators.
#include "geometry/VertexClient.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexServer.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

TEST(VertexServerGrowth, GrowsByItsStepKeepingVertexAddresses) {
  VertexServer<float> server(3, 10, 0, 0);
  EXPECT_EQ(server.getGrowth(), 10) << "capacity and growth default to the size";
  server.setSize(11);
  EXPECT_EQ(server.getCapacity(), 20);
  VertexServer<float> stepless(3, 0, 0, 0);
  stepless.setSize(5);
  EXPECT_EQ(stepless.getCapacity(), 5);
  EXPECT_EQ(stepless.vertex(4).getSize(), 3);
  VertexServer<double> growing(2, 3, 0, 1);
  Vector<double>& first = growing.vertex(0);
  growing.setSize(1000);
  EXPECT_EQ(&growing.vertex(0), &first);
}

TEST(VertexServerAppend, CopiesTheOtherServersVerticesAfterItsOwnAndRefusesItselfAndAnotherSpace) {
  VertexServer<float> a(3, 1, 0, 0), b(3, 2, 0, 0), flat(2, 1, 0, 0);
  b.vertex(1) = point(7, 8, 9);
  a.append(b);
  ASSERT_EQ(a.getSize(), 3);
  b.vertex(1)[0] = 0;
  EXPECT_EQ(a.vertex(2), point(7, 8, 9)) << "append copies, it does not share";
  EXPECT_THROW(a.append(a), ValueError);
  EXPECT_THROW(a.append(flat), ValueError);
  EXPECT_EQ(a.getSize(), 3);
}

TEST(VertexClientSharing, DetachCopiesASharedServerOnly) {
  VertexClient<float> a(3, 1, 0, 0);
  a.getServer()->vertex(0) = point(1, 2, 3);
  VertexClient<float> b(a);
  b.detach();
  ASSERT_NE(a.getServer(), b.getServer());
  EXPECT_EQ(a.getServer()->getRefs(), 1);
  EXPECT_EQ(b.getServer()->getRefs(), 1);
  EXPECT_EQ(b.getServer()->vertex(0), point(1, 2, 3));
  b.getServer()->vertex(0)[0] = 10;
  EXPECT_EQ(a.getServer()->vertex(0)[0], 1);
  VertexServer<float>* alone = a.getServer();
  a.detach();
  EXPECT_EQ(a.getServer(), alone);
}

TEST(VertexIterators, WalkAStackLevelByLevelSkippingEmptyLevelsToLocatorsThatReachTheVertex) {
  VertexStack<float> stack(3, 3, 2);
  stack[1].setSize(0);
  std::vector<std::pair<unsigned, unsigned>> locators;
  for (VertexIterator<float> it(stack); it.current(); ++it) {
    locators.emplace_back(it.locator()[0], it.locator()[1]);
    EXPECT_EQ(&stack[it.locator()], it.current());
  }
  EXPECT_EQ(locators, (std::vector<std::pair<unsigned, unsigned>>{{0, 0}, {0, 1}, {2, 0}, {2, 1}}));
}
