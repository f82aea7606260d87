// Curves, stacks and boxes: line loops for closed curves, strips for open ones, the order of lines
// and symbols, one full inner draw per level of a stack, and the box's unlit outline.
#include "rendering/BoundingBoxPainterGL.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/VertexStackPainterGL.h"

#include "foundation/Trace.h"
#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

std::vector<int> batchModes(const GLCallRecorder& recorder) {
  std::vector<int> modes;
  for (const auto& batch : recorder.batches()) modes.push_back(batch.mode);
  return modes;
}

const Triple a{0, 0, 0}, b{1, 0, 0}, c{1, 1, 0};

} // namespace

TEST(CurvePainting, EachModeDrawsItsLinesAndPoints) {
  const struct {
    bool open;
    DisplayModeGL mode;
    std::vector<int> batches;
  } cases[] = {{false, DISPLAY_MODE_CURVE, {GL_LINE_LOOP}},
               {true, DISPLAY_MODE_CURVE, {GL_LINE_STRIP}},
               {true, DISPLAY_MODE_SYMBOL, {GL_POINTS}},
               {true, DISPLAY_MODE_SYMBOL_CURVE, {GL_LINE_STRIP, GL_POINTS}},
               {false, DISPLAY_MODE_NONE, {GL_LINE_LOOP}},
               {false, DISPLAY_MODE_MESH, {GL_LINE_LOOP}},
               {false, DISPLAY_MODE_SURFACE, {GL_LINE_LOOP}}};
  EXPECT_EQ(CurvePainterGL<float>().getAttributes().getDisplayMode(), DISPLAY_MODE_CURVE);
  for (const auto& test : cases) {
    SCOPED_TRACE(testing::Message() << "open " << test.open << ", mode " << test.mode);
    Curve<float> curve = makeCurve({a, b, c}, test.open);
    CurvePainterGL<float> painter;
    painter.setShape(curve);
    setMode(painter, test.mode);
    GLCallRecorder recorder;
    painter.glDraw();
    EXPECT_EQ(batchModes(recorder), test.batches);
    EXPECT_EQ(recorder.batches()[0].vertices.size(), 3u);
  }
}

TEST(StackPainting, DrawsEveryLevelWithItsOwnPreAndPostDraw) {
  VertexStack<float> stack(3, 2, 3, 0, 0);
  VertexStackPainterGL<float> painter;
  painter.setShape(stack);
  painter.setSymbolSizeScale(0.5f);
  changeAttributes(painter, [](ShapePainterAttributesGL& a) { a.setColor(rgb(7, 7, 7)); });
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), (std::vector<int>{GL_POINTS, GL_POINTS}));
  EXPECT_EQ(recorder.count("glColor4ub"), 3); // the stack's own pre-draw and one per level
  for (const auto& size : recorder.named("glPointSize")) EXPECT_EQ(size.args[0], 5.0); // scale passed on

  CurveStack<float> curves(3, 3, 4, 0, 0, true);
  CurveStackPainterGL<float> curvePainter;
  curvePainter.setShape(curves);
  recorder.clear();
  curvePainter.glDraw();
  EXPECT_EQ(batchModes(recorder), (std::vector<int>{GL_LINE_STRIP, GL_LINE_STRIP, GL_LINE_STRIP}));
  EXPECT_EQ(recorder.batches()[2].vertices.size(), 4u);

  CurveStack<float> empty;
  curvePainter.setShape(empty);
  recorder.clear();
  curvePainter.glDraw(); // sets and resets its state only
  EXPECT_TRUE(recorder.batches().empty());
  EXPECT_GT(recorder.count("glLineWidth"), 0);
}

TEST(BoundingBoxPainting, FreshInactiveOrEmptyBoxDrawsNothing) {
  BoundingBoxPainterGL<double> painter;
  EXPECT_TRUE(painter.isActive());
  GLCallRecorder recorder;
  painter.glDraw();
  Vector<double> lower(3), upper(3);
  lower.fill(0);
  upper.fill(1);
  painter.setBoundingBox(BoundingBox<double>(lower, upper));
  painter.setActive(false);
  painter.glDraw();
  painter.setActive(true);
  painter.setBoundingBox(BoundingBox<double>());
  painter.glDraw();
  EXPECT_TRUE(recorder.calls().empty());
}

TEST(BoundingBoxPainting, DrawsTwoLoopsAndFourEdgesUnlitInItsColour) {
  BoundingBoxPainterGL<float> painter;
  Vertices<float> corners = makeVertices({{1, 2, 3}, {4, 5, 6}});
  painter.setBoundingBox(BoundingBox<float>(corners[0], corners[1]));
  painter.setColor(rgb(257, 0, 9));
  painter.setLineWidth(2.5f);
  GLCallRecorder recorder;
  painter.glDraw();
  const std::vector<std::string> names = recorder.names();
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
            (std::vector<std::string>{"glLineWidth", "glDisable", "glColor4ub"}));
  EXPECT_EQ(recorder.named("glLineWidth")[0].args[0], 2.5);
  EXPECT_EQ(recorder.named("glDisable")[0].args[0], GL_LIGHTING);
  EXPECT_EQ(recorder.named("glColor4ub")[0].args, (std::vector<double>{1, 0, 9, 255}));
  EXPECT_EQ(names.back(), "glEnable");
  EXPECT_EQ(recorder.named("glEnable")[0].args[0], GL_LIGHTING);
  const auto batches = recorder.batches();
  ASSERT_EQ(batches.size(), 3u);
  EXPECT_EQ(batches[0].mode, GL_LINE_LOOP);
  EXPECT_EQ(batches[0].vertices,
            (std::vector<std::vector<double>>{{1, 2, 3}, {4, 2, 3}, {4, 5, 3}, {1, 5, 3}}));
  EXPECT_EQ(batches[1].vertices[2], (std::vector<double>{4, 5, 6}));
  EXPECT_EQ(batches[2].mode, GL_LINES);
  EXPECT_EQ(batches[2].vertices.at(5), (std::vector<double>{4, 5, 6})); // the edge from (4, 5, 3)
}

// With the tracer off a paint pass writes nothing (and does no tracing work); on, it traces.
TEST(PainterTracing, PaintsWithoutAWordWhileTheTracerIsOff) {
  Curve<float> curve = makeCurve({a, b, c}, true);
  CurvePainterGL<float> painter;
  painter.setShape(curve);
  GLCallRecorder recorder;
  std::ostringstream out;
  std::streambuf* console = std::cout.rdbuf(out.rdbuf());
  Trace::setEnabled(false);
  painter.glDraw();
  const std::string silent = out.str();
  Trace::setEnabled(true);
  painter.glDraw();
  std::cout.rdbuf(console);
  EXPECT_EQ(silent, "");
  EXPECT_NE(out.str(), "");
}
