// The colour bar's ticks: round values, 4 to 8 of them, labelled without needless digits.
#include "viewer/ColorBarGL.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ColorBar, PutsFourToEightTicksAtRoundValues) {
  const struct {
    double minimum, maximum;
    std::vector<std::string> labels;
  } cases[] = {
      {0, 10, {"0", "2", "4", "6", "8", "10"}},
      {0, 1, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
      {-3.7, 12.2, {"-2", "0", "2", "4", "6", "8", "10", "12"}},
      {0.0013, 0.0091, {"0.002", "0.004", "0.006", "0.008"}},
      {130, 1000, {"200", "400", "600", "800", "1000"}},
      {-0.25, 0.25, {"-0.2", "-0.1", "0.0", "0.1", "0.2"}},
      {5, 5, {"5"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.minimum) + " " + std::to_string(c.maximum));
    const std::vector<double> ticks = ColorBarGL::ticks(c.minimum, c.maximum);
    const double step = ticks.size() > 1 ? ticks[1] - ticks[0] : 0;
    std::vector<std::string> labels;
    for (double tick : ticks) labels.push_back(ColorBarGL::tickLabel(tick, step));
    EXPECT_EQ(labels, c.labels);
  }
}
