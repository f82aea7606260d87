// Curves and boxes: line loops for closed curves, strips for open ones, the order of lines and
// symbols, and boxes that draw nothing.
#include "rendering/BoundingBoxPainterGL.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/VertexStackPainterGL.h"

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
