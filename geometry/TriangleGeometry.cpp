#include "geometry/TriangleGeometry.h"

#include "foundation/Vector.h"

#include <cmath>

template <class T> void TriangleGeometry<T>::normal(const T* p0, const T* p1, const T* p2, T* n) {
  const T u[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
  const T v[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
  n[0] = u[1] * v[2] - u[2] * v[1];
  n[1] = u[2] * v[0] - u[0] * v[2];
  n[2] = u[0] * v[1] - u[1] * v[0];
}

template <class T> int TriangleGeometry<T>::closestAxis(const T* v) {
  int axis = 0;
  T largest = std::abs(v[0]);
  for (int k = 1; k < 3; ++k) {
    if (std::abs(v[k]) > largest) {
      largest = std::abs(v[k]);
      axis = k;
    }
  }
  return axis;
}

template <class T> void TriangleGeometry<T>::projectionAxes(const T* n, int& i, int& j) {
  switch (closestAxis(n)) {
  case 0:
    i = 1, j = 2;
    break;
  case 1:
    i = 0, j = 2;
    break;
  default:
    i = 0, j = 1;
    break;
  }
}

template <class T>
double TriangleGeometry<T>::twiceArea(const T* p0, const T* p1, const T* p2, int i, int j) {
  const T* p[3] = {p0, p1, p2};
  double sum = 0.0;
  for (int k = 0; k < 3; ++k) {
    const T* a = p[k];
    const T* b = p[(k + 1) % 3];
    sum += static_cast<double>(a[i]) * static_cast<double>(b[j]) -
           static_cast<double>(b[i]) * static_cast<double>(a[j]);
  }
  return sum;
}

template <class T> bool TriangleGeometry<T>::isDegenerate(const T* p0, const T* p1, const T* p2) {
  // As Curve::projectedAreaSign: the double sum converted to T, against the tolerance of T.
  static const T epsilon = Vector<T>::epsilon();
  const int planes[3][2] = {{0, 1}, {1, 2}, {2, 0}};
  for (const auto& plane : planes) {
    const T area = static_cast<T>(twiceArea(p0, p1, p2, plane[0], plane[1]));
    if (area > epsilon || area < -epsilon) return false;
  }
  return true;
}

namespace {
// Sign of the turn from (a, b) to (a, c) in the plane of the two given coordinates.
template <class Wide, class T> Wide orientation(const T* a, const T* b, const T* c, int i, int j) {
  return (Wide(b[i]) - Wide(a[i])) * (Wide(c[j]) - Wide(a[j])) -
         (Wide(b[j]) - Wide(a[j])) * (Wide(c[i]) - Wide(a[i]));
}

// Whether c, known to be collinear with a-b, lies within the box of a-b.
template <class T> bool withinSpan(const T* a, const T* b, const T* c, int i, int j) {
  auto between = [](T x, T y, T z) { return (x <= z && z <= y) || (y <= z && z <= x); };
  return between(a[i], b[i], c[i]) && between(a[j], b[j], c[j]);
}

template <class Wide, class T>
bool segmentsMeet(const T* a, const T* b, const T* c, const T* d, int i, int j) {
  const Wide o1 = orientation<Wide>(a, b, c, i, j);
  const Wide o2 = orientation<Wide>(a, b, d, i, j);
  const Wide o3 = orientation<Wide>(c, d, a, i, j);
  const Wide o4 = orientation<Wide>(c, d, b, i, j);
  if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) return true;
  return (o1 == 0 && withinSpan(a, b, c, i, j)) || (o2 == 0 && withinSpan(a, b, d, i, j)) ||
         (o3 == 0 && withinSpan(c, d, a, i, j)) || (o4 == 0 && withinSpan(c, d, b, i, j));
}
// The point of triangle abc closest to p (Ericson, Real-Time Collision Detection 5.1.5), in double.
template <class W> void closestPointOnTriangle(const W* p, const W* a, const W* b, const W* c, W* q) {
  auto sub = [](const W* x, const W* y, W* r) { r[0] = x[0] - y[0], r[1] = x[1] - y[1], r[2] = x[2] - y[2]; };
  auto dot = [](const W* x, const W* y) { return x[0] * y[0] + x[1] * y[1] + x[2] * y[2]; };
  auto set = [q](const W* x, const W* u, W s, const W* v, W t) {
    for (int k = 0; k < 3; ++k) q[k] = x[k] + s * u[k] + t * v[k];
  };
  W ab[3], ac[3], ap[3], bp[3], cp[3];
  sub(b, a, ab), sub(c, a, ac), sub(p, a, ap);
  const W d1 = dot(ab, ap), d2 = dot(ac, ap);
  if (d1 <= 0 && d2 <= 0) return set(a, ab, 0, ac, 0);
  sub(p, b, bp);
  const W d3 = dot(ab, bp), d4 = dot(ac, bp);
  if (d3 >= 0 && d4 <= d3) return set(b, ab, 0, ac, 0);
  const W vc = d1 * d4 - d3 * d2;
  if (vc <= 0 && d1 >= 0 && d3 <= 0) return set(a, ab, d1 / (d1 - d3), ac, 0);
  sub(p, c, cp);
  const W d5 = dot(ab, cp), d6 = dot(ac, cp);
  if (d6 >= 0 && d5 <= d6) return set(c, ab, 0, ac, 0);
  const W vb = d5 * d2 - d1 * d6;
  if (vb <= 0 && d2 >= 0 && d6 <= 0) return set(a, ab, 0, ac, d2 / (d2 - d6));
  const W va = d3 * d6 - d5 * d4;
  if (va <= 0 && (d4 - d3) >= 0 && (d5 - d6) >= 0) {
    W bc[3];
    sub(c, b, bc);
    return set(b, bc, (d4 - d3) / ((d4 - d3) + (d5 - d6)), ab, 0);
  }
  const W denominator = 1 / (va + vb + vc);
  set(a, ab, vb * denominator, ac, vc * denominator);
}
} // namespace

template <class T>
void TriangleGeometry<T>::closestPoint(const T* p0, const T* p1, const T* p2, const T* p, T* q) {
  Wide corners[3][3], target[3], result[3];
  const T* given[3] = {p0, p1, p2};
  for (int k = 0; k < 3; ++k) {
    target[k] = p[k];
    for (int c = 0; c < 3; ++c) corners[c][k] = given[c][k];
  }
  closestPointOnTriangle(target, corners[0], corners[1], corners[2], result);
  for (int k = 0; k < 3; ++k) q[k] = static_cast<T>(result[k]);
}

template <class T>
bool TriangleGeometry<T>::projectionContains(const T* p0, const T* p1, const T* p2, const T* q, int i,
                                             int j) {
  const Wide e0 = orientation<Wide>(p0, p1, q, i, j);
  const Wide e1 = orientation<Wide>(p1, p2, q, i, j);
  const Wide e2 = orientation<Wide>(p2, p0, q, i, j);
  return (e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0);
}

template <class T>
bool TriangleGeometry<T>::segmentCrossesEdges(const T* p0, const T* p1, const T* p2, const T* a, const T* b,
                                              int i, int j) {
  return segmentsMeet<Wide>(a, b, p0, p1, i, j) || segmentsMeet<Wide>(a, b, p1, p2, i, j) ||
         segmentsMeet<Wide>(a, b, p2, p0, i, j);
}

template <class T>
int TriangleGeometry<T>::intersectSegment(const T* p0, const T* p1, const T* p2, const T* a, const T* b,
                                          T* point) {
  T n[3];
  normal(p0, p1, p2, n);
  const T d = dot(n, p0);
  const T sa = dot(a, n);
  const T sb = dot(b, n);
  int i, j;
  projectionAxes(n, i, j);
  if (sa == sb) {
    if (sa != d) return 0;
    for (int k = 0; k < 3; ++k) point[k] = a[k];
    return segmentCrossesEdges(p0, p1, p2, a, b, i, j) ? 2 : 0;
  }
  const T t = (d - sa) / (sb - sa);
  if (!(T(0) < t && t < T(1))) return 0;
  for (int k = 0; k < 3; ++k) point[k] = a[k] + (b[k] - a[k]) * t;
  return projectionContains(p0, p1, p2, point, i, j) ? 1 : 0;
}

template class TriangleGeometry<int>;
template class TriangleGeometry<float>;
template class TriangleGeometry<double>;
template class TriangleGeometry<long double>;
