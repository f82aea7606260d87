#include "geometry/CurveStack.h"

#include "foundation/ErrorThrowing.h"

template <class T>
CurveStack<T>::CurveStack(int space, int height, int width, int capacity, int growth, bool open,
                          WithoutLevels)
    : VertexStack<T>(space, height, width, capacity, growth, typename VertexStack<T>::WithoutLevels()),
      _open(open) {}

template <class T>
CurveStack<T>::CurveStack(int space, int height, int width, int capacity, int growth, bool open)
    : CurveStack(space, height, width, capacity, growth, open, WithoutLevels()) {
  this->makeLevels(height, width);
  setOpen(open);
}

template <class T> CurveStack<T>::CurveStack(const VertexStack<T>& stack, bool open) : _open(open) {
  if (stack.getServer()) this->setServer(*const_cast<VertexServer<T>*>(stack.getServer()));
  for (int l = 0; l < stack.getHeight(); ++l)
    this->_levels.push_back(std::make_unique<Curve<T>>(stack[l], open));
}

template <class T> CurveStack<T>::CurveStack(const std::string& path) {
  this->load(path);
}

template <class T> void CurveStack<T>::assign(const VertexClient<T>& other) {
  if (&other == this) return;
  VertexStack<T>::assign(other);
  if (const auto* stack = dynamic_cast<const CurveStack*>(&other)) _open = stack->_open;
}

template <class T> int CurveStack<T>::getShapeType() const {
  return shapeTypeCode(_open ? ShapeType::OpenCurveStack : ShapeType::ClosedCurveStack);
}

template <class T> void CurveStack<T>::setOpen(bool open) {
  _open = open;
  for (int l = 0; l < this->getHeight(); ++l) level(l).setOpen(open);
}

template <class T> bool CurveStack<T>::isBranching() const {
  const Curve<T>* previous = nullptr;
  for (int l = 0; l < this->getHeight(); ++l) {
    const Curve<T>& curve = level(l);
    if (curve.getNumVertices() == 0) continue;
    if (previous && previous->vertex(0)[2] == curve.vertex(0)[2]) return true;
    previous = &curve;
  }
  return false;
}

template <class T> void CurveStack<T>::append(const Vertices<T>& level) {
  insert(this->getHeight(), level);
}

template <class T> void CurveStack<T>::prepend(const Vertices<T>& level) {
  insert(0, level);
}

template <class T> void CurveStack<T>::insert(int position, const Vertices<T>& level) {
  const auto* curve = dynamic_cast<const Curve<T>*>(&level);
  if (!curve || curve->isOpen() != _open) throwError<TypeError>(OSTREL_HERE, "Closure mismatch");
  VertexStack<T>::insert(position, level);
}

template <class T> std::unique_ptr<Vertices<T>> CurveStack<T>::newLevel() const {
  return std::make_unique<Curve<T>>();
}

template <class T> int CurveStack<T>::readText(ShapeTextReader& reader) {
  const int code = VertexStack<T>::readText(reader);
  setOpen(code == shapeTypeCode(ShapeType::OpenCurveStack));
  return code;
}

template class CurveStack<int>;
template class CurveStack<float>;
template class CurveStack<double>;
template class CurveStack<long double>;
