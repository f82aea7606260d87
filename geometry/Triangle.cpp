#include "geometry/Triangle.h"

#include "foundation/ErrorThrowing.h"
#include "geometry/Edge.h"
#include "geometry/TriangleGeometry.h"

#include <cmath>
#include <string>
#include <type_traits>

template <class T> Triangle<T>::Triangle(int space) : Curve<T>(space, 3, 3, 3, false) {}

template <class T> Triangle<T>::Triangle(const Vertices<T>& list, int i, int j, int k) : Curve<T>() {
  if (list.getServer()) this->setServer(*const_cast<VertexServer<T>*>(list.getServer()));
  this->setSize(3, false);
  this->setIndex(0, list.getIndex(i));
  this->setIndex(1, list.getIndex(j));
  this->setIndex(2, list.getIndex(k));
}

template <class T> Vector<T> Triangle<T>::normal(bool normalize) const {
  Vector<T> n(3);
  TriangleGeometry<T>::normal(this->vertex(0).data(), this->vertex(1).data(), this->vertex(2).data(),
                              n.data());
  if (normalize) n.normalize();
  return n;
}

template <class T> bool Triangle<T>::projectionContains(const Vector<T>& p, int i, int j) const {
  return TriangleGeometry<T>::projectionContains(this->vertex(0).data(), this->vertex(1).data(),
                                                 this->vertex(2).data(), p.data(), i, j);
}

template <class T> bool Triangle<T>::contains(const Vector<T>& p) const {
  refuseIntegers<T>(OSTREL_HERE);
  Vector<T> n = normal(true);
  const T distance = std::abs(n.scalarProduct(p) - n.scalarProduct(this->vertex(0)));
  if (distance > Vector<T>::epsilon() * (T(1) + p.norm())) return false;
  int i, j;
  TriangleGeometry<T>::projectionAxes(n.data(), i, j);
  return projectionContains(p, i, j);
}

template <class T> int Triangle<T>::intersects(const Edge<T>& segment, Vector<T>& point) const {
  if (point.getSize() != 3) point.setSize(3);
  return TriangleGeometry<T>::intersectSegment(this->vertex(0).data(), this->vertex(1).data(),
                                               this->vertex(2).data(), segment.vertex(0).data(),
                                               segment.vertex(1).data(), point.data());
}

template <class T> void Triangle<T>::closestPoint(const Vector<T>& p, Vector<T>& q) const {
  refuseIntegers<T>(OSTREL_HERE);
  if (q.getSize() != 3) q.setSize(3);
  TriangleGeometry<T>::closestPoint(this->vertex(0).data(), this->vertex(1).data(), this->vertex(2).data(),
                                    p.data(), q.data());
}

template class Triangle<int>;
template class Triangle<float>;
template class Triangle<double>;
template class Triangle<long double>;
