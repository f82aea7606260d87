#include "rendering/CurveStackPainterGL.h"

#include "rendering/CurvePainterGL.h"

template <class T> CurveStackPainterGL<T>::CurveStackPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_CURVE);
  this->setAttributes(attributes);
}

template <class T> void CurveStackPainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  CurvePainterGL<T> curve;
  this->glDrawLevels(dynamic_cast<const CurveStack<T>&>(this->getShape()), curve);
}

template class CurveStackPainterGL<float>;
template class CurveStackPainterGL<double>;
template class CurveStackPainterGL<long double>;
