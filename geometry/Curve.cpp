#include "geometry/Curve.h"

#include "geometry/Edge.h"
#include "geometry/EdgeIterator.h"

#include <cmath>

template <class T>
Curve<T>::Curve(int space, int n, int capacity, int growth, bool open)
    : Vertices<T>(space, n, capacity, growth), _open(open) {}

template <class T> Curve<T>::Curve(const Vertices<T>& list, bool open) : Vertices<T>(list), _open(open) {}

template <class T> Curve<T>::Curve(const std::string& path) {
  this->load(path);
}

template <class T> void Curve<T>::assign(const VertexClient<T>& other) {
  if (&other == this) return;
  Vertices<T>::assign(other);
  if (const auto* curve = dynamic_cast<const Curve*>(&other)) _open = curve->_open;
}

template <class T> int Curve<T>::getShapeType() const {
  return shapeTypeCode(_open ? ShapeType::OpenCurve : ShapeType::ClosedCurve);
}

template <class T> int Curve<T>::readText(ShapeTextReader& reader) {
  const int code = Vertices<T>::readText(reader);
  _open = code == shapeTypeCode(ShapeType::OpenCurve);
  return code;
}

// === Measures

template <class T> T Curve<T>::twiceArea(int i, int j) const {
  const int n = this->getNumVertices();
  if (_open || n < 3) return T(0);
  double sum = 0;
  for (int k = 0; k < n; ++k) {
    const Vector<T>& a = this->vertex(k);
    const Vector<T>& b = this->vertex(k + 1 == n ? 0 : k + 1);
    sum += static_cast<double>(a[i]) * static_cast<double>(b[j]) -
           static_cast<double>(b[i]) * static_cast<double>(a[j]);
  }
  return static_cast<T>(sum);
}

template <class T> int Curve<T>::projectedAreaSign(int i, int j) const {
  static const T epsilon = Vector<T>::epsilon();
  const T area = twiceArea(i, j);
  if (area > epsilon) return 1;
  if (area < -epsilon) return -1;
  return 0;
}

template <class T> bool Curve<T>::isClockwise(int i, int j) const {
  return projectedAreaSign(i, j) < 0;
}

template <class T> void Curve<T>::setClockwise(bool clockwise, int i, int j) {
  const int sign = projectedAreaSign(i, j);
  if ((sign > 0 && clockwise) || (sign < 0 && !clockwise)) this->reverse();
}

template <class T> T Curve<T>::length() const {
  double sum = 0;
  for (EdgeIterator<T> it(*this); it.current(); ++it) {
    const Vector<T>& a = it.current()->vertex(0);
    const Vector<T>& b = it.current()->vertex(1);
    double square = 0;
    for (int k = 0; k < a.getSize(); ++k) {
      const double d = static_cast<double>(b[k]) - static_cast<double>(a[k]);
      square += d * d;
    }
    sum += std::sqrt(square);
  }
  return static_cast<T>(sum);
}

// === Edges

template <class T> int Curve<T>::getNumEdges() const {
  const int n = this->getNumVertices();
  if (n < 2) return 0;
  return _open ? n - 1 : n;
}

template <class T>
Curve<T>::__ConcreteEdgeIterator::__ConcreteEdgeIterator(const Curve& curve)
    : _curve(curve), _edge(new Edge<T>) {
  update();
}

template <class T>
Curve<T>::__ConcreteEdgeIterator::__ConcreteEdgeIterator(const __ConcreteEdgeIterator& other)
    : ConcreteEdgeIterator<T>(other), _curve(other._curve), _position(other._position), _edge(new Edge<T>) {
  update();
}

template <class T> Curve<T>::__ConcreteEdgeIterator::~__ConcreteEdgeIterator() {
  delete _edge;
}

template <class T> void Curve<T>::__ConcreteEdgeIterator::update() {
  if (_position >= _curve.getNumEdges()) return;
  const int next = _position + 1 == _curve.getNumVertices() ? 0 : _position + 1;
  _edge->set(_curve, _position, next);
}

template <class T> Edge<T>* Curve<T>::__ConcreteEdgeIterator::current() {
  return _position < _curve.getNumEdges() ? _edge : nullptr;
}

template <class T> void Curve<T>::__ConcreteEdgeIterator::operator++() {
  if (_position >= _curve.getNumEdges()) return;
  ++_position;
  update();
}

template <class T> void Curve<T>::__ConcreteEdgeIterator::rewind() {
  _position = 0;
  update();
}

template <class T> std::unique_ptr<ConcreteEdgeIterator<T>> Curve<T>::edgeIterator() const {
  return std::make_unique<__ConcreteEdgeIterator>(*this);
}

template class Curve<int>;
template class Curve<float>;
template class Curve<double>;
template class Curve<long double>;
