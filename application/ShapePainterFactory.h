#pragma once

#include "foundation/Vector.h"

#include <memory>

template <class T> class Shape;
template <class T> class ShapePainterGL;

// Makes the painters of loaded shapes as the viewer shows them; the viewer's mediator and
// ostrel-render both use it, so a shape looks the same in both.
class ShapePainterFactory {
public:
  // The painter of the shape's kind (from the registry of file kinds), given the shape; null for a
  // shape of no known kind.
  static std::unique_ptr<ShapePainterGL<float>> create(const Shape<float>& shape);
  // The colour of the n-th loaded shape, from 0: cell (n mod cycle length) + 2 of the "flag" map;
  // a cycle length below 1 counts as 1.
  static Vector<int> cycleColor(int n, int cycleLength);
};
