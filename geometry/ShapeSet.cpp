#include "geometry/ShapeSet.h"

#include <algorithm>

template <class T> void ShapeSet<T>::add(Shape<T>* shape) {
  _shapes.push_back(shape);
}

template <class T> bool ShapeSet<T>::remove(const Shape<T>* shape) {
  const auto found = std::find(_shapes.begin(), _shapes.end(), shape);
  if (found == _shapes.end()) return false;
  _shapes.erase(found);
  return true;
}

template <class T> bool ShapeSet<T>::contains(const Shape<T>* shape) const {
  return std::find(_shapes.begin(), _shapes.end(), shape) != _shapes.end();
}

template class ShapeSet<int>;
template class ShapeSet<float>;
template class ShapeSet<double>;
template class ShapeSet<long double>;
