#include "application/ShapePainterFactory.h"

#include "foundation/Trace.h"
#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/QuadMesh.h"
#include "geometry/Shape.h"
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

#include <algorithm>

std::unique_ptr<ShapePainterGL<float>> ShapePainterFactory::create(const Shape<float>& shape) {
  std::unique_ptr<ShapePainterGL<float>> painter;
  if (dynamic_cast<const Curve<float>*>(&shape))
    painter = std::make_unique<CurvePainterGL<float>>();
  else if (dynamic_cast<const TriMesh<float>*>(&shape))
    painter = std::make_unique<TriMeshPainterGL<float>>();
  else if (dynamic_cast<const Vertices<float>*>(&shape))
    painter = std::make_unique<VerticesPainterGL<float>>();
  else if (const auto* quadMesh = dynamic_cast<const QuadMesh<float>*>(&shape)) {
    traceValue("quadMesh->hasVertexColors()", quadMesh->hasVertexColors());
    painter = std::make_unique<QuadMeshPainterGL<float>>();
  } else if (dynamic_cast<const CurveStack<float>*>(&shape))
    painter = std::make_unique<CurveStackPainterGL<float>>();
  else if (dynamic_cast<const VertexStack<float>*>(&shape))
    painter = std::make_unique<VertexStackPainterGL<float>>();
  else
    return nullptr;
  painter->setShape(shape);
  return painter;
}

Vector<int> ShapePainterFactory::cycleColor(int n, int cycleLength) {
  static const Colormap flag = Colormap::flag();
  return flag.getColor(n % std::max(1, cycleLength) + 2);
}
