#include "rendering/ShapePainterKind.h"

#include "foundation/Trace.h"
#include "geometry/QuadMesh.h"
#include "rendering/CurvePainterGL.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/QuadMeshPainterGL.h"
#include "rendering/TriMeshPainterGL.h"
#include "rendering/VertexStackPainterGL.h"
#include "rendering/VerticesPainterGL.h"

#include <algorithm>

namespace {

template <class Painter> ShapePainterKind kind(std::vector<ShapeType> types) {
  ShapePainterKind entry;
  for (ShapeType type : types) entry.typeCodes.push_back(shapeTypeCode(type));
  entry.create = [](const Shape<float>&) -> std::unique_ptr<ShapePainterGL<float>> {
    return std::make_unique<Painter>();
  };
  return entry;
}

} // namespace

const std::vector<ShapePainterKind>& shapePainterKinds() {
  static const std::vector<ShapePainterKind> kinds = [] {
    std::vector<ShapePainterKind> list = {
        kind<CurvePainterGL<float>>({ShapeType::ClosedCurve, ShapeType::OpenCurve}),
        kind<TriMeshPainterGL<float>>({ShapeType::TriMesh}),
        kind<VerticesPainterGL<float>>({ShapeType::Vertices}),
        kind<QuadMeshPainterGL<float>>({ShapeType::ClosedQuadMesh, ShapeType::OpenQuadMesh}),
        kind<CurveStackPainterGL<float>>({ShapeType::ClosedCurveStack, ShapeType::OpenCurveStack}),
        kind<VertexStackPainterGL<float>>({ShapeType::VertexStack}),
    };
    // Whether a quad mesh comes with colours is traced as it gets its painter.
    list[3].create = [](const Shape<float>& shape) -> std::unique_ptr<ShapePainterGL<float>> {
      traceValue("quadMesh->hasVertexColors()", static_cast<const QuadMesh<float>&>(shape).hasVertexColors());
      return std::make_unique<QuadMeshPainterGL<float>>();
    };
    return list;
  }();
  return kinds;
}

std::unique_ptr<ShapePainterGL<float>> createShapePainter(const Shape<float>& shape) {
  for (const ShapePainterKind& kind : shapePainterKinds()) {
    if (std::find(kind.typeCodes.begin(), kind.typeCodes.end(), shape.getShapeType()) == kind.typeCodes.end())
      continue;
    std::unique_ptr<ShapePainterGL<float>> painter = kind.create(shape);
    painter->setShape(shape);
    return painter;
  }
  return nullptr;
}
