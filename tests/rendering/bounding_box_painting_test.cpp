// The box painter's OpenGL: two loops and four vertical edges, unlit, and nothing for an empty or
// inactive box.
#include "rendering/BoundingBoxPainterGL.h"

#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

Vector<float> point(float x, float y, float z) {
  Vector<float> p(3);
  p[0] = x;
  p[1] = y;
  p[2] = z;
  return p;
}

} // namespace

TEST(BoundingBoxPainting, FreshPainterDrawsNothingAlthoughActive) {
  BoundingBoxPainterGL<float> painter;
  EXPECT_TRUE(painter.isActive());
  EXPECT_EQ(painter.getColor()[1], 255);
  EXPECT_EQ(painter.getLineWidth(), 1.0f);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_TRUE(recorder.calls().empty());
}

TEST(BoundingBoxPainting, InactiveOrEmptyBoxDrawsNothing) {
  BoundingBoxPainterGL<double> painter;
  painter.setBoundingBox(
      BoundingBox<double>(point(0, 0, 0).toType<double>(), point(1, 1, 1).toType<double>()));
  painter.setActive(false);
  GLCallRecorder recorder;
  painter.glDraw();
  painter.setActive(true);
  painter.setBoundingBox(BoundingBox<double>());
  painter.glDraw();
  EXPECT_TRUE(recorder.calls().empty());
}

TEST(BoundingBoxPainting, DrawsTwoLoopsAndFourEdgesUnlitInItsColour) {
  BoundingBoxPainterGL<float> painter;
  painter.setBoundingBox(BoundingBox<float>(point(1, 2, 3), point(4, 5, 6)));
  Vector<int> color(3);
  color[0] = 257;
  color[1] = 0;
  color[2] = 9;
  painter.setColor(color);
  painter.setLineWidth(2.5f);
  GLCallRecorder recorder;
  painter.glDraw();
  const std::vector<std::string> head = {"glLineWidth", "glDisable", "glColor4ub"};
  const std::vector<std::string> names = recorder.names();
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3), head);
  EXPECT_EQ(recorder.named("glLineWidth")[0].args[0], 2.5);
  EXPECT_EQ(recorder.named("glDisable")[0].args[0], GL_LIGHTING);
  EXPECT_EQ(recorder.named("glColor4ub")[0].args, (std::vector<double>{1, 0, 9, 255}));
  EXPECT_EQ(recorder.names().back(), "glEnable");
  EXPECT_EQ(recorder.named("glEnable")[0].args[0], GL_LIGHTING);
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[0].mode, GL_LINE_LOOP);
  EXPECT_EQ(batches[0].vertices,
            (std::vector<std::vector<double>>{{1, 2, 3}, {4, 2, 3}, {4, 5, 3}, {1, 5, 3}}));
  EXPECT_EQ(batches[1].vertices[2], (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(batches[2].mode, GL_LINES);
  ASSERT_EQ(batches[2].vertices.size(), 8u);
  EXPECT_EQ(batches[2].vertices[4], (std::vector<double>{4, 5, 3}));
  EXPECT_EQ(batches[2].vertices[5], (std::vector<double>{4, 5, 6}));
}

TEST(BoundingBoxPainting, FlatBoxStillDrawsItsRectangleTwice) {
  BoundingBoxPainterGL<long double> painter;
  Vector<long double> lower(3), upper(3);
  lower.fill(0);
  upper.fill(1);
  upper[2] = 0;
  painter.setBoundingBox(BoundingBox<long double>(lower, upper));
  GLCallRecorder recorder;
  painter.glDraw();
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[0].vertices, batches[1].vertices);
  EXPECT_EQ(batches[2].vertices[0], batches[2].vertices[1]);
  EXPECT_EQ(painter.boundingBox().getVertex2()[2], 0);
}
