// Curves and stacks: line loops for closed curves, strips for open ones, the order of lines and
// symbols, and one full inner draw per level of a stack.
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/VertexStackPainterGL.h"

#include "tests/rendering/PainterTestShapes.h"
#include "tests/support/GLCallRecorder.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <typeinfo>

namespace {

template <class Painter> void setMode(Painter& painter, DisplayModeGL mode) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  attributes.setDisplayMode(mode);
  painter.setAttributes(attributes);
}

std::vector<int> batchModes(const GLCallRecorder& recorder) {
  std::vector<int> modes;
  for (const auto& batch : recorder.batches()) modes.push_back(batch.mode);
  return modes;
}

const Triple a{0, 0, 0}, b{1, 0, 0}, c{1, 1, 0};

} // namespace

TEST(CurvePainting, ClosedCurveIsALoopAndOpenCurveAStrip) {
  Curve<float> closed = makeCurve({a, b, c}, false);
  Curve<float> open = makeCurve({a, b, c}, true);
  CurvePainterGL<float> painter;
  EXPECT_EQ(painter.getAttributes().getDisplayMode(), DISPLAY_MODE_CURVE);
  painter.setShape(closed);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), std::vector<int>{GL_LINE_LOOP});
  EXPECT_EQ(recorder.batches()[0].vertices.size(), 3u);
  recorder.clear();
  painter.setShape(open);
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), std::vector<int>{GL_LINE_STRIP});
}

TEST(CurvePainting, SymbolModeDrawsOnlyThePointsAndSymbolCurveModeTheLineFirst) {
  Curve<float> curve = makeCurve({a, b, c}, true);
  CurvePainterGL<float> painter;
  painter.setShape(curve);
  setMode(painter, DISPLAY_MODE_SYMBOL);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), std::vector<int>{GL_POINTS});
  recorder.clear();
  setMode(painter, DISPLAY_MODE_SYMBOL_CURVE);
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), (std::vector<int>{GL_LINE_STRIP, GL_POINTS}));
}

TEST(CurvePainting, MeshAndSurfaceModesDrawTheLineOnly) {
  Curve<float> curve = makeCurve({a, b, c}, false);
  CurvePainterGL<float> painter;
  painter.setShape(curve);
  for (DisplayModeGL mode : {DISPLAY_MODE_NONE, DISPLAY_MODE_MESH, DISPLAY_MODE_SURFACE}) {
    setMode(painter, mode);
    GLCallRecorder recorder;
    painter.glDraw();
    EXPECT_EQ(batchModes(recorder), std::vector<int>{GL_LINE_LOOP}) << mode;
  }
}

TEST(CurvePainting, LineOfAPointSetIsABadCast) {
  Vertices<float> points = makeVertices({a, b});
  CurvePainterGL<float> painter;
  painter.setShape(static_cast<const Shape<float>&>(points));
  GLCallRecorder recorder;
  EXPECT_THROW(painter.glDraw(), std::bad_cast);
}

TEST(StackPainting, DrawsEveryLevelWithItsOwnPreAndPostDraw) {
  VertexStack<float> stack(3, 2, 3, 0, 0);
  VertexStackPainterGL<float> painter;
  painter.setShape(stack);
  painter.setSymbolSizeScale(0.5f);
  ShapePainterAttributesGL attributes = painter.getAttributes();
  Vector<int> color(3);
  color.fill(7);
  attributes.setColor(color);
  painter.setAttributes(attributes);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), (std::vector<int>{GL_POINTS, GL_POINTS}));
  EXPECT_EQ(recorder.count("glColor4ub"), 3); // the stack's own pre-draw and one per level
  for (const auto& size : recorder.named("glPointSize"))
    EXPECT_EQ(size.args[0], 5.0); // the scale is passed on
}

TEST(StackPainting, EmptyStackOnlySetsAndResetsItsState) {
  CurveStack<float> stack;
  CurveStackPainterGL<float> painter;
  painter.setShape(stack);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_TRUE(recorder.batches().empty());
  EXPECT_GT(recorder.count("glLineWidth"), 0);
}

TEST(StackPainting, CurveStackDrawsEachCurveAfterItsClosure) {
  CurveStack<float> stack(3, 3, 4, 0, 0, true);
  CurveStackPainterGL<float> painter;
  EXPECT_EQ(painter.getAttributes().getDisplayMode(), DISPLAY_MODE_CURVE);
  painter.setShape(stack);
  GLCallRecorder recorder;
  painter.glDraw();
  EXPECT_EQ(batchModes(recorder), (std::vector<int>{GL_LINE_STRIP, GL_LINE_STRIP, GL_LINE_STRIP}));
  EXPECT_EQ(recorder.batches()[2].vertices.size(), 4u);
}

TEST(StackPainting, PointSetIsNotAStack) {
  Vertices<float> points = makeVertices({a});
  VertexStackPainterGL<float> painter;
  painter.setShape(static_cast<const Shape<float>&>(points));
  GLCallRecorder recorder;
  EXPECT_THROW(painter.glDraw(), std::bad_cast);
}
