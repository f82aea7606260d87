// The list of shape kinds gives every shape the painter of its kind, already holding the shape.
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/Triangle.h"
#include "geometry/VertexStack.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/ShapePainterKind.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VertexStackPainterGL.h"
#include "rendering/VerticesPainterGL.h"

#include <gtest/gtest.h>

#include <typeinfo>

TEST(ShapePainterKinds, EveryKindGetsItsPainter) {
  const Curve<float> open(3, 2, 0, 0, true), closed(3, 3);
  const Triangle<float> triangle(3);
  const TriMesh<float> mesh(3, 3);
  const Vertices<float> points(3, 2);
  const QuadMesh<float> quads(3, 2, 2);
  const CurveStack<float> curves(3, 2, 2);
  const VertexStack<float> stack(3, 2, 2);
  struct Case {
    const Shape<float>& shape;
    const std::type_info& painter;
  };
  const Case cases[] = {{open, typeid(CurvePainterGL<float>)},     {closed, typeid(CurvePainterGL<float>)},
                        {triangle, typeid(CurvePainterGL<float>)}, {mesh, typeid(TriMeshPainterGL<float>)},
                        {points, typeid(VerticesPainterGL<float>)}, {quads, typeid(QuadMeshPainterGL<float>)},
                        {curves, typeid(CurveStackPainterGL<float>)}, {stack, typeid(VertexStackPainterGL<float>)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.painter.name());
    const auto painter = createShapePainter(c.shape);
    ASSERT_TRUE(painter);
    EXPECT_EQ(typeid(*painter), c.painter);
    EXPECT_EQ(&painter->getShape(), &c.shape);
  }
}
