#pragma once

#include "geometry/Shape.h"
#include "rendering/ShapePainterGL.h"

#include <functional>
#include <memory>
#include <vector>

// One kind of shape that the viewer draws: the type codes of its shapes and the painter that draws
// them. The list of kinds decides which painter draws a shape, so that a new kind is one more entry.
struct ShapePainterKind {
  std::vector<int> typeCodes;
  std::function<std::unique_ptr<ShapePainterGL<float>>(const Shape<float>& shape)>
      create; // without the shape
};

// Curves, triangle meshes, point lists, quad meshes, curve stacks and vertex stacks.
const std::vector<ShapePainterKind>& shapePainterKinds();

// The painter of the shape's kind, given the shape (which it refers to and must outlive it); null for
// a type code that no kind has.
std::unique_ptr<ShapePainterGL<float>> createShapePainter(const Shape<float>& shape);
