// Shared vertex storage: growth, capacity, reference counts, copy on detach and the iterators.
#include "geometry/VertexClient.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexServer.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "tests/geometry/ShapeTesting.h"

#include <gtest/gtest.h>

#include <sstream>

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

TEST(VertexServerGrowth, LoweringTheCapacityDeletesSlotsAndClampsTheSize) {
  VertexServer<int> server(3, 6, 0, 0);
  server.vertex(3)[0] = 42;
  server.setCapacity(4);
  EXPECT_EQ(server.getCapacity(), 4);
  EXPECT_EQ(server.getSize(), 4);
  EXPECT_EQ(server.vertex(3)[0], 42);
  server.setSize(2);
  EXPECT_EQ(server.getCapacity(), 4);
  server.clear();
  EXPECT_EQ(server.getCapacity(), 0);
  EXPECT_EQ(server.getSize(), 0);
}

TEST(VertexServerAppend, CopiesTheOtherServersVerticesAfterItsOwnAndRefusesItselfAndAnotherSpace) {
  VertexServer<float> a(3, 1, 0, 0), b(3, 2, 0, 0), flat(2, 1, 0, 0);
  b.vertex(1) = point(7, 8, 9);
  a.append(b);
  ASSERT_EQ(a.getSize(), 3);
  b.vertex(1)[0] = 0;
  EXPECT_EQ(a.vertex(2), point(7, 8, 9)) << "append copies, it does not share";
  EXPECT_EQ(messageOf<ValueError>([&] { a.append(a); }), "Cannot append server to itself");
  const ValueError e = exceptionOf<ValueError>([&] { a.append(flat); });
  EXPECT_EQ(e.getWhat(), "Incompatible server space dimension");
  EXPECT_EQ(e.getWhere(), "void VertexServer<T>::append(const VertexServer&)");
  EXPECT_EQ(a.getSize(), 3);
}

TEST(VertexServerDump, ListsCountsAndVertexAddresses) {
  VertexServer<float> server(3, 2, 4, 1);
  std::ostringstream out;
  server.print("title", out);
  const std::string text = out.str();
  EXPECT_EQ(text.rfind("title\n  address  = ", 0), 0u);
  EXPECT_NE(text.find("\n  refs     = 0\n  space    = 3\n  capacity = 4\n  size     = 2\n  growth   = 1\n"),
            std::string::npos);
  EXPECT_NE(text.find("\n    1: "), std::string::npos);
  EXPECT_EQ(text.find("\n    2: "), std::string::npos);
  std::ostringstream client;
  VertexClient<float>().print("", client);
  EXPECT_EQ(client.str(), " Server: (nil)\n");
}

TEST(VertexClientSharing, CopiesAndAssignmentsCountTheirServer) {
  VertexClient<float> a(3, 2, 0, 0), b(3, 5, 0, 0);
  EXPECT_EQ(a.getServer()->getRefs(), 1);
  {
    VertexClient<float> c(a);
    EXPECT_EQ(a.getServer()->getRefs(), 2);
  }
  EXPECT_EQ(a.getServer()->getRefs(), 1);
  a = b;
  a = a;
  EXPECT_EQ(a.getServer(), b.getServer());
  EXPECT_EQ(b.getServer()->getRefs(), 2);
  VertexClient<float> d;
  d.setServer(*b.getServer());
  EXPECT_EQ(b.getServer()->getRefs(), 3);
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

TEST(VertexIterators, WalkAFlatShapeInIndexOrder) {
  Vertices<float> list(3, 3);
  for (int i = 0; i < 3; ++i) list[i] = point(float(i), 0.f, 0.f);
  list.reverse();
  std::vector<float> seen;
  std::vector<int> slots;
  for (ConstVertexIterator<float> it(list); it.current(); ++it) {
    seen.push_back((*it.current())[0]);
    slots.push_back(it.currentServerIndex());
    EXPECT_EQ(it.locator()[0], seen.size() - 1);
  }
  EXPECT_EQ(seen, (std::vector<float>{2, 1, 0}));
  EXPECT_EQ(slots, (std::vector<int>{2, 1, 0}));
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

TEST(VertexIterators, CopiesWalkOnTheirOwn) {
  Vertices<float> list(3, 3);
  ConstVertexIterator<float> a(list);
  ++a;
  ConstVertexIterator<float> b(a);
  ++b;
  EXPECT_EQ(a.locator()[0], 1u);
  EXPECT_EQ(b.locator()[0], 2u);
  a.rewind();
  EXPECT_EQ(a.current(), &list[0]);
}
