#include "geometry/BoundingBox.h"

#include "geometry/VertexIterator.h"
#include "geometry/Vertices.h"

#include <cmath>
#include <limits>
#include <utility>

template <class T>
BoundingBox<T>::BoundingBox(const Vector<T>& lower, const Vector<T>& upper)
    : _vertex1(lower), _vertex2(upper) {}

template <class T> bool BoundingBox<T>::isValid() const {
  return _vertex1.getSize() > 0 && _vertex2.getSize() == _vertex1.getSize();
}

template <class T> T BoundingBox<T>::width(int i) const {
  const T d = _vertex2[i] - _vertex1[i];
  return d < T(0) ? -d : d;
}

template <class T> Vector<T> BoundingBox<T>::widths() const {
  Vector<T> w(getDimension());
  for (int i = 0; i < w.getSize(); ++i) w[i] = width(i);
  return w;
}

template <class T> T BoundingBox<T>::min(int i) const {
  return _vertex1[i] < _vertex2[i] ? _vertex1[i] : _vertex2[i];
}

template <class T> T BoundingBox<T>::max(int i) const {
  return _vertex1[i] > _vertex2[i] ? _vertex1[i] : _vertex2[i];
}

template <class T> Vector<T> BoundingBox<T>::cog() const {
  Vector<T> centre(getDimension());
  for (int i = 0; i < centre.getSize(); ++i) centre[i] = (_vertex1[i] + _vertex2[i]) * 0.5;
  return centre;
}

template <class T> T BoundingBox<T>::diagonal() const {
  double sum = 0;
  for (int i = 0; i < getDimension(); ++i) {
    const double d = static_cast<double>(_vertex2[i]) - static_cast<double>(_vertex1[i]);
    sum += d * d;
  }
  return static_cast<T>(std::sqrt(sum));
}

template <class T> Vertices<T> BoundingBox<T>::vertices() const {
  const int d = getDimension();
  const int corners = 1 << d;
  Vertices<T> list(d, corners);
  for (int c = 0; c < corners; ++c)
    for (int i = 0; i < d; ++i) list[c][i] = (c >> i) & 1 ? _vertex1[i] : _vertex2[i];
  return list;
}

template <class T> bool BoundingBox<T>::contains(const Vector<T>& p) const {
  for (int i = 0; i < getDimension(); ++i)
    if (p[i] < _vertex1[i] || p[i] > _vertex2[i]) return false;
  return true;
}

template <class T> bool BoundingBox<T>::containsAllVertices(const Shape<T>& shape) const {
  for (ConstVertexIterator<T> it(shape); it.current(); ++it)
    if (!contains(*it.current())) return false;
  return true;
}

template <class T> bool BoundingBox<T>::containsAny(const Shape<T>& shape) const {
  for (ConstVertexIterator<T> it(shape); it.current(); ++it)
    if (contains(*it.current())) return true;
  return false;
}

template <class T> bool BoundingBox<T>::intersects(const BoundingBox& b) const {
  for (int i = 0; i < getDimension(); ++i)
    if (b._vertex1[i] > _vertex2[i] || _vertex1[i] > b._vertex2[i]) return false;
  return true;
}

template <class T>
bool BoundingBox<T>::clipLine(const Vector<T>& origin, const Vector<T>& direction, double& low,
                              double& high) const {
  for (int i = 0; i < getDimension(); ++i) {
    const double o = static_cast<double>(origin[i]);
    const double d = static_cast<double>(direction[i]);
    const double lower = static_cast<double>(_vertex1[i]);
    const double upper = static_cast<double>(_vertex2[i]);
    if (d == 0) {
      if (o < lower || o > upper) return false; // parallel to this slab and outside it
      continue;
    }
    double t1 = (lower - o) / d, t2 = (upper - o) / d;
    if (t1 > t2) std::swap(t1, t2);
    if (t1 > low) low = t1;
    if (t2 < high) high = t2;
    if (low > high) return false;
  }
  return true;
}

template <class T>
bool BoundingBox<T>::intersectsRay(const Vector<T>& origin, const Vector<T>& direction, double* entry,
                                   double* exit) const {
  double low = 0, high = std::numeric_limits<double>::infinity();
  if (!clipLine(origin, direction, low, high)) return false;
  if (entry) *entry = low;
  if (exit) *exit = high;
  return true;
}

template <class T>
bool BoundingBox<T>::intersectsLeftRay(const Vector<T>& origin, const Vector<T>& direction, double* entry,
                                       double* exit) const {
  double low = -std::numeric_limits<double>::infinity(), high = 0;
  if (!clipLine(origin, direction, low, high)) return false;
  if (entry) *entry = low;
  if (exit) *exit = high;
  return true;
}

template <class T> BoundingBox<T> BoundingBox<T>::merge(const BoundingBox& b) const {
  if (isEmpty()) return b;
  if (b.isEmpty()) return *this;
  BoundingBox merged(*this);
  for (int i = 0; i < getDimension(); ++i) {
    if (b._vertex1[i] < merged._vertex1[i]) merged._vertex1[i] = b._vertex1[i];
    if (b._vertex2[i] > merged._vertex2[i]) merged._vertex2[i] = b._vertex2[i];
  }
  return merged;
}

template <class T> void BoundingBox<T>::rectify() {
  for (int i = 0; i < getDimension(); ++i)
    if (_vertex1[i] > _vertex2[i]) std::swap(_vertex1[i], _vertex2[i]);
}

template <class T> void BoundingBox<T>::expand(const Vector<T>& d) {
  _vertex1 -= d;
  _vertex2 += d;
}

template <class T> void BoundingBox<T>::expand(T s) {
  _vertex1 -= s;
  _vertex2 += s;
}

template <class T> void BoundingBox<T>::expandUpToPosition(const Vector<T>& p) {
  for (int i = 0; i < getDimension(); ++i) {
    if (_vertex1[i] > p[i])
      _vertex1[i] = p[i];
    else if (p[i] > _vertex2[i])
      _vertex2[i] = p[i];
  }
}

template <class T> Vector<int> BoundingBox<T>::adjustToResolution(T r) {
  Vector<int> cells(getDimension());
  for (int i = 0; i < getDimension(); ++i) {
    const double w = std::fabs(static_cast<double>(_vertex2[i]) - static_cast<double>(_vertex1[i]));
    const double n = std::ceil(w / static_cast<double>(r));
    const double surplus = n * static_cast<double>(r) - w;
    _vertex1[i] = static_cast<T>(static_cast<double>(_vertex1[i]) - surplus / 2);
    _vertex2[i] = static_cast<T>(static_cast<double>(_vertex2[i]) + surplus / 2);
    cells[i] = static_cast<int>(n);
  }
  return cells;
}

template class BoundingBox<int>;
template class BoundingBox<float>;
template class BoundingBox<double>;
template class BoundingBox<long double>;
