#pragma once

#include "geometry/Curve.h"
#include "geometry/CurveStack.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"

#include <initializer_list>
#include <vector>

// Small shapes for the painter tests, built from coordinate triples.

using Triple = std::vector<float>;

inline void setPoint(Vector<float>& target, const Triple& p) {
  for (int i = 0; i < 3; ++i) target[i] = p[static_cast<std::size_t>(i)];
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
