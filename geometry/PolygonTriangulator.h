#pragma once

#include <array>
#include <vector>

// Cuts polygons of three or more corners into triangles that keep the polygon's orientation,
// concave polygons included: the polygon is projected onto the coordinate plane most across its
// (Newell) normal and ears are cut off one by one. What has no ear to cut (a self-crossing or
// degenerate polygon), or would take more than a few times (corners)² tests, and polygons of more
// than 1024 corners are fanned from their first remaining corner instead, so that a hostile polygon
// costs little.
// Reuses its working memory from polygon to polygon.
class PolygonTriangulator {
public:
  // Appends (n - 2) triangles of vertex numbers to triangles; corner k of the polygon is vertex
  // corners[k], whose coordinates are xyz[3 * corners[k]] onwards.
  template <class C> void triangulate(const int* corners, int n, const C* xyz, std::vector<int>& triangles);

private:
  bool isEar(std::size_t k); // the ring's corner k, between its neighbours on the ring (counts its tests)
  void cut(std::size_t k, std::vector<int>& triangles);

  std::vector<std::array<double, 2>> _points; // projected corners
  std::vector<int> _ring;                     // the corners not yet cut off, in order
  const int* _corners = nullptr;
  double _orientation = 1; // +1 when the projected polygon runs counter-clockwise
  long long _testsLeft = 0;
};
