#pragma once

#include <type_traits>

// The arithmetic of one triangle given by the coordinates of its three corners (3 values each),
// shared by Triangle<T>, TriMesh<T> and TriMeshQuery<T> so that a triangle answers the same whether it
// is asked as an object or through the mesh's tables. Products and sums are taken in T in the order of
// the vector operations (cross product of (p1 - p0) and (p2 - p1), scalar products from the first
// component on); the planar predicates work in a wider type.
template <class T> class TriangleGeometry {
public:
  // double, or long double for long double coordinates: wide enough for exact products of floats.
  using Wide = std::conditional_t<(sizeof(T) > sizeof(double)), long double, double>;

  // (p1 - p0) x (p2 - p1), not normalised.
  static void normal(const T* p0, const T* p1, const T* p2, T* n);
  static T dot(const T* a, const T* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

  // Index of the component of greatest absolute value, the first on ties.
  static int closestAxis(const T* v);
  // The two axes left when the dominant axis of n is dropped: (1, 2), (0, 2) or (0, 1).
  static void projectionAxes(const T* n, int& i, int& j);

  // Twice the signed area of the triangle projected on axes (i, j), accumulated in double.
  static double twiceArea(const T* p0, const T* p1, const T* p2, int i, int j);
  // True when the projected area is within the tolerance of T on the planes (0, 1), (1, 2) and (2, 0).
  static bool isDegenerate(const T* p0, const T* p1, const T* p2);

  // Whether q lies in the triangle projected on axes (i, j); points on the border count as inside.
  static bool projectionContains(const T* p0, const T* p1, const T* p2, const T* q, int i, int j);
  // Whether the segment a-b, projected on axes (i, j), meets one of the projected triangle's edges.
  static bool segmentCrossesEdges(const T* p0, const T* p1, const T* p2, const T* a, const T* b, int i,
                                  int j);

  // The point q of the triangle closest to p, worked in the wide type.
  static void closestPoint(const T* p0, const T* p1, const T* p2, const T* p, T* q);

  // The crossing of segment a-b with the triangle: 1 and the crossing point (end points excluded), 2 and
  // point = a when the segment lies in the triangle's plane and crosses its edges there, else 0.
  static int intersectSegment(const T* p0, const T* p1, const T* p2, const T* a, const T* b, T* point);
};
