#pragma once

#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/QuadMesh.h"
#include "geometry/TriMesh.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"
#include "rendering/ShapePainterAttributesGL.h"

#include <initializer_list>
#include <vector>

// Small shapes for the painter tests, built from coordinate triples, and attribute shortcuts.

using Triple = std::vector<float>;

inline void setPoint(Vector<float>& target, const Triple& p) {
  for (int i = 0; i < 3; ++i) target[i] = p[static_cast<std::size_t>(i)];
}

inline Vector<int> rgb(int r, int g, int b) {
  return Vector<int>(std::vector<int>{r, g, b});
}

inline Vertices<float> makeVertices(std::initializer_list<Triple> points) {
  const int n = static_cast<int>(points.size());
  Vertices<float> vertices(3, n, n, n);
  int i = 0;
  for (const Triple& p : points) setPoint(vertices[i++], p);
  return vertices;
}

inline Curve<float> makeCurve(std::initializer_list<Triple> points, bool open) {
  const int n = static_cast<int>(points.size());
  Curve<float> curve(3, n, n, n, open);
  int i = 0;
  for (const Triple& p : points) setPoint(curve[i++], p);
  return curve;
}

// A triangle mesh with the given vertices and triangles, its normals computed.
inline TriMesh<float> makeTriMesh(std::initializer_list<Triple> points,
                                  std::initializer_list<Triple> triangles) {
  const int n = static_cast<int>(points.size());
  TriMesh<float> mesh(3, n, n, n);
  int i = 0;
  for (const Triple& p : points) setPoint(mesh[i++], p);
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

// Changes one attribute of a painter through a copy of its set.
template <class Painter, class Change> void changeAttributes(Painter& painter, Change change) {
  ShapePainterAttributesGL attributes = painter.getAttributes();
  change(attributes);
  painter.setAttributes(attributes);
}

template <class Painter> void setMode(Painter& painter, DisplayModeGL mode) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) { a.setDisplayMode(mode); });
}

template <class Painter> void setTransparency(Painter& painter, float alpha) {
  changeAttributes(painter, [&](ShapePainterAttributesGL& a) { a.setTransparency(alpha); });
}
