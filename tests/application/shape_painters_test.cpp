// Loaded shapes on screen: a painter of the shape's kind in the next cycle colour, name counters,
// painters in the canvas in loading order and the scene box following the shapes.
#include "application/ExtendedShapeViewerPainterGL.h"
#include "application/ShapeViewerMediator.h"
#include "viewer/ShapeViewerPainterGL.h"
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "imaging/Colormap.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VertexStackPainterGL.h"
#include "rendering/VerticesPainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <gtest/gtest.h>

#include <QOpenGLContext>
#include <QSettings>

#include <cmath>
#include <functional>
#include <memory>
#include <typeinfo>

namespace {

Vertices<float>* pointAt(float x, float y, float z, const std::string& name = "point") {
  auto* vertices = new Vertices<float>(3, 1, 1, 1);
  (*vertices)[0][0] = x;
  (*vertices)[0][1] = y;
  (*vertices)[0][2] = z;
  vertices->setName(name);
  return vertices;
}

class ShapePainters : public testing::Test {
protected:
  void SetUp() override {
    QSettings().clear();
    canvas = std::make_unique<ViewerCanvasGL>();
    canvas->resize(64, 64);
  }
  void TearDown() override {
    mediator.reset();
    QSettings().clear();
  }

  ShapeViewerMediator& makeMediator() {
    mediator = std::make_unique<ShapeViewerMediator>();
    mediator->setCanvas(*canvas);
    return *mediator;
  }

  static Vector<int> colorOf(const ShapeViewerPainterGL* painter) {
    return painter->getProxy()->getAttributes().getColor();
  }

  std::unique_ptr<ViewerCanvasGL> canvas;
  std::unique_ptr<ShapeViewerMediator> mediator;
};

// Exactly this painter class: a shape kind derived from another must not get the other's painter.
template <class Painter> bool paints(const ShapeViewerPainterGL* painter) {
  const ShapePainterGL<float>& proxy = *painter->getProxy();
  return typeid(proxy) == typeid(Painter);
}

} // namespace

TEST_F(ShapePainters, EachShapeKindGetsItsOwnPainter) {
  ShapeViewerMediator& shapes = makeMediator();
  const std::vector<std::pair<Shape<float>*, std::function<bool(const ShapeViewerPainterGL*)>>> kinds = {
      {pointAt(0, 0, 0), paints<VerticesPainterGL<float>>},
      {new Curve<float>(3, 2, 2, 2, true), paints<CurvePainterGL<float>>},
      {new VertexStack<float>(3, 2, 2, 0, 0), paints<VertexStackPainterGL<float>>},
      {new CurveStack<float>(3, 2, 2, 0, 0, false), paints<CurveStackPainterGL<float>>},
      {new TriMesh<float>(3, 3, 3, 3), paints<TriMeshPainterGL<float>>},
      {new QuadMesh<float>(3, 2, 3, 0, 0, false), paints<QuadMeshPainterGL<float>>}};
  for (const auto& kind : kinds) shapes.addShape(kind.first, "shape" + std::to_string(shapes.numShapes()));
  const auto& painters = shapes.getPainters();
  ASSERT_EQ(painters.size(), kinds.size());
  for (std::size_t i = 0; i < kinds.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_TRUE(kinds[i].second(painters[i]));
    EXPECT_NE(dynamic_cast<const ExtendedShapeViewerPainterGL*>(painters[i]), nullptr);
    EXPECT_TRUE(painters[i]->isSelected());
    EXPECT_EQ(painters[i]->getDescription(), "shape" + std::to_string(i));
  }
}

TEST_F(ShapePainters, ColoursFollowTheFlagCycleWhoseLengthComesFromTheSettings) {
  ShapeViewerMediator& shapes = makeMediator();
  EXPECT_EQ(shapes.getColorCycleLength(), 14);
  for (int i = 0; i < 15; ++i) shapes.addShape(pointAt(0, 0, 0), "p.vx");
  const Colormap flag = Colormap::flag();
  for (int i = 0; i < 14; ++i) EXPECT_EQ(colorOf(shapes.getPainters()[i]), flag.getColor(i + 2)) << i;
  EXPECT_EQ(colorOf(shapes.getPainters()[14]), flag.getColor(2));

  QSettings().setValue("color-cycle-length", 1);
  ShapeViewerMediator& shortCycle = makeMediator();
  for (int i = 0; i < 3; ++i) shortCycle.addShape(pointAt(0, 0, 0), "p.vx");
  for (const ShapeViewerPainterGL* painter : shortCycle.getPainters())
    EXPECT_EQ(colorOf(painter), flag.getColor(2));
}

TEST_F(ShapePainters, ShapesOfEqualNameAreCounted) {
  ShapeViewerMediator& shapes = makeMediator();
  shapes.addShape(pointAt(0, 0, 0, "cell"), "one/cell.vx");
  shapes.addShape(pointAt(0, 0, 0, "Cell"), "two/Cell.vx");
  shapes.addShape(pointAt(0, 0, 0, "cell"), "two/cell.vx");
  const auto& painters = shapes.getPainters();
  EXPECT_EQ(painters[0]->getNameCounter(), 1);
  EXPECT_EQ(painters[1]->getNameCounter(), 1);
  EXPECT_EQ(painters[2]->getNameCounter(), 2);
}

TEST_F(ShapePainters, PaintersReachTheCanvasInLoadingOrderAndTheSceneBoxFollowsAfterABatch) {
  ShapeViewerMediator& shapes = makeMediator();
  int announced = 0;
  QObject::connect(canvas.get(), &ViewerCanvasGL::painterAdded, [&](PainterGL<float>&) { ++announced; });
  shapes.addShape(pointAt(-1, 0, 0), "a.vx");
  EXPECT_FLOAT_EQ(canvas->getCenter()[0], -1.0f);
  shapes.setBatchMode(true);
  shapes.addShape(pointAt(3, 2, 2), "b.vx");
  EXPECT_FLOAT_EQ(canvas->getCenter()[0], -1.0f) << "a batch frames the scene once at its end";
  shapes.setBatchMode(false);
  EXPECT_FLOAT_EQ(canvas->getCenter()[0], 1.0f);
  EXPECT_FLOAT_EQ(canvas->getScale(), 0.6f * std::sqrt(24.0f));
  ASSERT_EQ(canvas->getPainters().size(), 2u);
  EXPECT_EQ(canvas->getPainters()[1], shapes.getPainters()[1]);
  EXPECT_EQ(announced, 2);
}

TEST_F(ShapePainters, LoadedShapeIsDrawnInItsCycleColour) {
  QOpenGLContext probe;
  ASSERT_TRUE(probe.create()) << "no OpenGL on this display";
  ShapeViewerMediator& shapes = makeMediator();
  Vertices<float>* square = new Vertices<float>(3, 4, 4, 4);
  const float corners[4][3] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 3; ++k) (*square)[i][k] = corners[i][k];
  shapes.addShape(square, "square.vx");
  shapes.addShape(pointAt(0, 0, 0), "centre.vx");
  ShapePainterAttributesGL big = shapes.getPainters()[1]->getProxy()->getAttributes();
  big.setSymbolSize(20);
  shapes.getPainters()[1]->getProxy()->setAttributes(big);
  canvas->setDiffuseLight(204); // with the default ambient of 0.2 the colour shows unchanged
  BackgroundGL black;
  black.setColor(Vector<int>(std::vector<int>{0, 0, 0}));
  black.setGradientEnabled(false);
  canvas->setBackground(black);
  canvas->toggleBoundingBox(false);
  const QImage frame = canvas->grabFramebuffer();
  const Vector<int> expected = Colormap::flag().getColor(3);
  const QColor centre = frame.pixelColor(32, 32);
  EXPECT_NEAR(centre.red(), expected[0], 3);
  EXPECT_NEAR(centre.green(), expected[1], 3);
  EXPECT_NEAR(centre.blue(), expected[2], 3);
  EXPECT_EQ(frame.pixelColor(5, 32), QColor(0, 0, 0));
}

TEST_F(ShapePainters, AShapeGivenByReferenceIsDrawnWhereItIsAndStaysTheCallers) {
  std::unique_ptr<Vertices<float>> shape(pointAt(1, 2, 3, "kept"));
  ShapeViewerMediator& shapes = makeMediator();
  shapes.addShape(*shape, "kept.vx");
  ASSERT_EQ(shapes.numShapes(), 1);
  EXPECT_EQ(&shapes.getPainters()[0]->getProxy()->getShape(), shape.get());
  EXPECT_EQ(shapes.getPainters()[0]->getDescription(), "kept.vx");
  EXPECT_EQ(colorOf(shapes.getPainters()[0]), Colormap::flag().getColor(2));
  mediator.reset();
  EXPECT_EQ((*shape)[0][1], 2.0f); // still alive after the mediator
}

TEST(ShapeViewerPainter, ForwardsBoxOpacityAndDrawingToItsProxy) {
  ShapeViewerPainterGL painter;
  painter.glDraw(); // without proxy: nothing to draw, nothing to fail

  auto* proxy = new TriMeshPainterGL<float>();
  painter.setProxy(proxy);
  std::unique_ptr<Vertices<float>> shape(pointAt(2, 3, 4));
  TriMesh<float> mesh(*shape);
  proxy->setShape(mesh);
  EXPECT_EQ(painter.boundingBox().getVertex2()[1], 3.0f);
  EXPECT_TRUE(painter.isOpaque());
  ShapePainterAttributesGL attributes = proxy->getAttributes();
  attributes.setTransparency(100);
  proxy->setAttributes(attributes);
  EXPECT_FALSE(painter.isOpaque());

  painter.setProxy(new VerticesPainterGL<float>()); // the first proxy is released with the change
  EXPECT_TRUE(painter.isOpaque());
}
