#include "rendering/PainterGL.h"

template <class T> BoundingBox<T> PainterGL<T>::boundingBox() const {
  return BoundingBox<T>();
}

template <class T> bool PainterGL<T>::isOpaque() const {
  return true;
}

template <class T> bool PainterGL<T>::isVisible() const {
  return true;
}

template <class T> void PainterGL<T>::glDraw() const {}

template class PainterGL<float>;
template class PainterGL<double>;
template class PainterGL<long double>;
