#include "application/ShapePainterFactory.h"

#include "imaging/Colormap.h"
#include "rendering/FileKinds.h"

#include <algorithm>

std::unique_ptr<ShapePainterGL<float>> ShapePainterFactory::create(const Shape<float>& shape) {
  return FileKinds::painterOf(shape);
}

Vector<int> ShapePainterFactory::cycleColor(int n, int cycleLength) {
  static const Colormap flag = Colormap::flag();
  return flag.getColor(n % std::max(1, cycleLength) + 2);
}
