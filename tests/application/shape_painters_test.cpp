// Loaded shapes on screen: the cycle of colours, name counters, and shapes given by reference.
#include "application/ShapeViewerMediator.h"
#include "geometry/Vertices.h"
#include "imaging/Colormap.h"
#include "rendering/ShapePainterGL.h"
#include "viewer/ShapeViewerPainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <gtest/gtest.h>

#include <QSettings>

#include <memory>

namespace {

Vertices<float>* pointNamed(const std::string& name) {
  auto* vertices = new Vertices<float>(3, 1, 1, 1);
  vertices->setName(name);
  return vertices;
}

} // namespace

// Colours follow the flag map from its third colour in a cycle of 14; equal names are counted, names
// differing in case are not equal; a shape given by reference is drawn as it is and stays the caller's.
TEST(ShapePainters, ColoursCycleEqualNamesAreCountedAndAShapeByReferenceStaysTheCallers) {
  QSettings().clear();
  ViewerCanvasGL canvas;
  const std::unique_ptr<Vertices<float>> kept(pointNamed("Cell"));
  {
    ShapeViewerMediator shapes;
    shapes.setCanvas(canvas);
    for (int i = 0; i < 15; ++i) shapes.addShape(pointNamed("cell"), "cell.vx");
    shapes.addShape(*kept, "kept.vx");
    const auto& painters = shapes.getPainters();
    ASSERT_EQ(painters.size(), 16u);
    for (int i = 0; i < 16; ++i) {
      EXPECT_EQ(painters[i]->getProxy()->getAttributes().getColor(), Colormap::flag().getColor(2 + i % 14))
          << i;
      EXPECT_EQ(painters[i]->getNameCounter(), i < 15 ? i + 1 : 1) << i;
    }
    EXPECT_EQ(&painters[15]->getProxy()->getShape(), kept.get());
  }
  EXPECT_EQ(kept->getName(), "Cell"); // still alive after the mediator
}
