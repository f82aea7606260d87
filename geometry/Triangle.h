#pragma once

#include "geometry/Curve.h"

template <class T> class Edge;

// A closed curve of exactly three vertices, normally sharing the server of the mesh it belongs to.
template <class T> class Triangle : public Curve<T> {
public:
  // === Construction
  Triangle() = default;
  explicit Triangle(int space); // owns a new server of three vertices, coordinates to be set
  // Shares the list's server and takes its i-th, j-th and k-th indexes as the three vertices.
  Triangle(const Vertices<T>& list, int i, int j, int k);
  Triangle(const Triangle& other) = default;
  std::unique_ptr<Shape<T>> sharingCopy() const override { return std::make_unique<Triangle>(*this); }

  // === Geometry
  // (p1 - p0) x (p2 - p1); divided by its norm when asked (a degenerate triangle keeps the zero vector).
  Vector<T> normal(bool normalize) const;
  // Whether p lies in the triangle projected on axes (i, j), its border included.
  bool projectionContains(const Vector<T>& p, int i, int j) const;
  // Whether p lies in the triangle: in its plane within the type's tolerance and inside its projection.
  bool contains(const Vector<T>& p) const;
  // The crossing of the segment with the triangle: 1 with the crossing point (end points excluded);
  // 2 with point = the segment's start when the segment lies in the triangle's plane and crosses its
  // edges there; 0 otherwise (point then unspecified). point must have 3 elements.
  int intersects(const Edge<T>& segment, Vector<T>& point) const;
  // The point q of the triangle closest to p. Not available for int (TypeError).
  void closestPoint(const Vector<T>& p, Vector<T>& q) const;
};
