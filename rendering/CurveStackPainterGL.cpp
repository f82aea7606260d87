#include "rendering/CurveStackPainterGL.h"

#include "rendering/CurvePainterGL.h"

template <class T> CurveStackPainterGL<T>::CurveStackPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_CURVE);
  this->setAttributes(attributes);
}

template <class T> void CurveStackPainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  const CurveStack<T>& stack = dynamic_cast<const CurveStack<T>&>(this->getShape());
  CurvePainterGL<T> curve;
  curve.setAttributes(this->getAttributes());
  for (int l = 0; l < stack.getHeight(); ++l) {
    curve.setShape(stack[l]);
    curve.glDraw();
  }
}

template class CurveStackPainterGL<float>;
template class CurveStackPainterGL<double>;
template class CurveStackPainterGL<long double>;
