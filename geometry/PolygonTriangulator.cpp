#include "geometry/PolygonTriangulator.h"

#include <cmath>
#include <numeric>

namespace {

using Point = std::array<double, 2>;

// Polygons of more corners are fanned: cutting ears costs (corners)² tests.
constexpr int largestCut = 1024;

// Twice the signed area of the triangle a b c: positive when it turns counter-clockwise.
double turn(const Point& a, const Point& b, const Point& c) {
  return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

} // namespace

template <class C>
void PolygonTriangulator::triangulate(const int* corners, int n, const C* xyz, std::vector<int>& triangles) {
  if (n == 3) {
    triangles.insert(triangles.end(), corners, corners + 3);
    return;
  }
  double normal[3] = {0, 0, 0};
  for (int k = 0; k < n; ++k) {
    const C* a = xyz + 3 * static_cast<std::size_t>(corners[k]);
    const C* b = xyz + 3 * static_cast<std::size_t>(corners[(k + 1) % n]);
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, l = (i + 2) % 3;
      normal[i] += (double(a[j]) - double(b[j])) * (double(a[l]) + double(b[l]));
    }
  }
  int across = 0;
  for (int i = 1; i < 3; ++i)
    if (std::fabs(normal[i]) > std::fabs(normal[across])) across = i;
  // The two other axes in cyclic order: the projection turns the way the normal's component says.
  const int u = (across + 1) % 3, v = (across + 2) % 3;
  _orientation = normal[across] >= 0 ? 1 : -1;
  _points.resize(static_cast<std::size_t>(n));
  for (int k = 0; k < n; ++k) {
    const C* p = xyz + 3 * static_cast<std::size_t>(corners[k]);
    _points[static_cast<std::size_t>(k)] = {double(p[u]), double(p[v])};
  }
  _ring.resize(static_cast<std::size_t>(n));
  std::iota(_ring.begin(), _ring.end(), 0);
  _corners = corners;
  _testsLeft = n <= largestCut ? 8 * static_cast<long long>(n) * n : 0;
  std::size_t k = 0;
  while (_ring.size() > 3) {
    bool found = false;
    for (std::size_t tries = 0; tries < _ring.size() && !found; ++tries)
      if (!(found = isEar(k))) k = (k + 1) % _ring.size();
    if (!found) break;
    cut(k, triangles);
    if (k >= _ring.size()) k = 0;
  }
  for (std::size_t i = 1; i + 1 < _ring.size(); ++i)
    triangles.insert(triangles.end(), {corners[_ring[0]], corners[_ring[i]], corners[_ring[i + 1]]});
}

bool PolygonTriangulator::isEar(std::size_t k) {
  const std::size_t m = _ring.size(), before = (k + m - 1) % m, after = (k + 1) % m;
  const Point &a = _points[_ring[before]], &b = _points[_ring[k]], &c = _points[_ring[after]];
  if (turn(a, b, c) * _orientation <= 0) return false; // a reflex or flat corner
  for (std::size_t j = (after + 1) % m; j != before; j = (j + 1) % m) {
    if (--_testsLeft < 0) return false;
    const Point& p = _points[_ring[j]];
    if (p == a || p == b || p == c) continue;
    if (turn(a, b, p) * _orientation >= 0 && turn(b, c, p) * _orientation >= 0 &&
        turn(c, a, p) * _orientation >= 0)
      return false;
  }
  return true;
}

void PolygonTriangulator::cut(std::size_t k, std::vector<int>& triangles) {
  const std::size_t m = _ring.size();
  triangles.insert(triangles.end(),
                   {_corners[_ring[(k + m - 1) % m]], _corners[_ring[k]], _corners[_ring[(k + 1) % m]]});
  _ring.erase(_ring.begin() + static_cast<std::ptrdiff_t>(k));
}

template void PolygonTriangulator::triangulate<float>(const int*, int, const float*, std::vector<int>&);
template void PolygonTriangulator::triangulate<double>(const int*, int, const double*, std::vector<int>&);
template void PolygonTriangulator::triangulate<long double>(const int*, int, const long double*,
                                                            std::vector<int>&);
