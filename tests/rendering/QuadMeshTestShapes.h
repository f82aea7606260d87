#pragma once

#include "geometry/QuadMesh.h"
#include "tests/rendering/PainterTestShapes.h"

// Small quadrilateral meshes for the quad-mesh painter tests.

// A quad mesh of rows of equal width: row r holds the points of rows[r].
inline QuadMesh<float> makeQuadMesh(const std::vector<std::vector<Triple>>& rows, bool open) {
  const int height = static_cast<int>(rows.size());
  const int width = height > 0 ? static_cast<int>(rows[0].size()) : 0;
  QuadMesh<float> mesh(3, height, width, 0, 0, open);
  for (int r = 0; r < height; ++r)
    for (int k = 0; k < width; ++k)
      setPoint(mesh[r][k], rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(k)]);
  return mesh;
}

// A closed tube of `height` square rings of half-side 1 around the z axis, one unit apart.
inline QuadMesh<float> makeTube(int height) {
  std::vector<std::vector<Triple>> rows;
  for (int r = 0; r < height; ++r)
    rows.push_back({{1, -1, float(r)}, {1, 1, float(r)}, {-1, 1, float(r)}, {-1, -1, float(r)}});
  return makeQuadMesh(rows, false /* closed */);
}
