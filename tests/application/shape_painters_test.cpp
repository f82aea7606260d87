// Loaded shapes on screen: the cycle of colours, name counters, and shapes given by reference.
#include "application/ExtendedShapeViewerPainterGL.h"
#include "application/ShapeViewerMediator.h"
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
#include "viewer/ShapeViewerPainterGL.h"
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
