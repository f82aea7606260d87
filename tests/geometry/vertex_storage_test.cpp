// Shared vertex storage: appending servers and the iterators.
#include "geometry/VertexClient.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexServer.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

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
