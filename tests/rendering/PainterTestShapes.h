#pragma once

#include "geometry/Curve.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/Vertices.h"
#include "rendering/ShapePainterAttributesGL.h"

#include <initializer_list>
#include <vector>

// Small shapes for the painter tests, built from coordinate triples, and attribute shortcuts.

using Triple = std::vector<float>;

template <class T> void setPoint(Vector<T>& target, const Triple& p) {
  for (int i = 0; i < 3; ++i) target[i] = static_cast<T>(p[static_cast<std::size_t>(i)]);
}

inline Vector<int> rgb(int r, int g, int b) {
  return Vector<int>(std::vector<int>{r, g, b});
}

// The shape with its first vertices moved to the points.
template <class S> S placed(S shape, std::initializer_list<Triple> points) {
  int i = 0;
  for (const Triple& p : points) setPoint(shape[i++], p);
  return shape;
}

inline Vertices<float> makeVertices(std::initializer_list<Triple> points) {
  const int n = static_cast<int>(points.size());
  return placed(Vertices<float>(3, n, n, n), points);
}

inline Curve<float> makeCurve(std::initializer_list<Triple> points, bool open) {
  return Curve<float>(makeVertices(points), open);
}

// A triangle mesh with the given vertices and triangles, its normals computed.
inline TriMesh<float> makeTriMesh(std::initializer_list<Triple> points,
                                  std::initializer_list<Triple> triangles) {
  const int n = static_cast<int>(points.size());
  TriMesh<float> mesh = placed(TriMesh<float>(3, n, n, n), points);
  for (const Triple& t : triangles) mesh.addTriangle(int(t[0]), int(t[1]), int(t[2]));
  mesh.computeNormals();
  return mesh;
}

// The square (-size, -size)-(size, size) in the plane z = 0 as two triangles facing +z.
inline TriMesh<float> makeSquareMesh(float size) {
  return makeTriMesh({{-size, -size, 0}, {size, -size, 0}, {size, size, 0}, {-size, size, 0}},
                     {{0, 1, 2}, {0, 2, 3}});
}

// A quad mesh of rows of equal width: row r holds the points of rows[r].
inline QuadMesh<float> makeQuadMesh(const std::vector<std::vector<Triple>>& rows, bool open) {
  const int height = static_cast<int>(rows.size()), width = static_cast<int>(rows[0].size());
  QuadMesh<float> mesh(3, height, width, 0, 0, open);
  for (int r = 0; r < height; ++r)
    for (int k = 0; k < width; ++k) setPoint(mesh[r][k], rows[std::size_t(r)][std::size_t(k)]);
  return mesh;
}

// A closed tube of `height` square rings of half-side 1 around the z axis, one unit apart.
inline QuadMesh<float> makeTube(int height) {
  std::vector<std::vector<Triple>> rows;
  for (float z = 0; z < float(height); ++z) rows.push_back({{1, -1, z}, {1, 1, z}, {-1, 1, z}, {-1, -1, z}});
  return makeQuadMesh(rows, false /* closed */);
}

// Changes attributes of a painter through a copy of its set.
template <class Painter, class Change> void changeAttributes(Painter& painter, Change change) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  change(attributes);
  painter.setAttributes(attributes);
}

template <class Painter> void setMode(Painter& painter, DisplayModeGL mode) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) { a.setDisplayMode(mode); });
}
