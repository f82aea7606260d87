// The pooled star lists behave as one list per vertex, whatever moves happen in the pool.
#include "geometry/TriangleStars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

TEST(TriangleStars, BehaveAsOneListPerVertexUnderRandomEdits) {
  TriangleStars stars;
  std::vector<std::vector<int>> model(50);
  stars.resize(50);
  std::mt19937 random(11);
  for (int step = 0; step < 20000; ++step) {
    const int v = static_cast<int>(random() % model.size());
    if (random() % 3 != 0 || model[v].empty()) {
      const int t = static_cast<int>(random() % 1000);
      stars.add(v, t);
      model[v].push_back(t);
    } else {
      const int t = model[v][random() % model[v].size()];
      stars.remove(v, t);
      model[v].erase(std::find(model[v].begin(), model[v].end(), t));
    }
    if (step % 5000 == 4999) {
      stars.erase(7);
      model.erase(model.begin() + 7);
      stars.resize(static_cast<int>(model.size()) + 1);
      model.emplace_back();
    }
  }
  ASSERT_EQ(stars.getNumVertices(), static_cast<int>(model.size()));
  for (std::size_t v = 0; v < model.size(); ++v) EXPECT_EQ(stars.star(static_cast<int>(v)), model[v]) << v;
}
