#include "rendering/CurvePainterGL.h"

#include <GL/gl.h>

template <class T> CurvePainterGL<T>::CurvePainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_CURVE);
  this->setAttributes(attributes);
}

template <class T> void CurvePainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  const bool modeKnown = attributes.useDisplayMode();
  if (modeKnown && attributes.getDisplayMode() == DISPLAY_MODE_SYMBOL) {
    VerticesPainterGL<T>::glDrawShape();
    return;
  }
  glDrawCurve(dynamic_cast<const Curve<T>&>(this->getShape()));
  if (modeKnown && attributes.getDisplayMode() == DISPLAY_MODE_SYMBOL_CURVE)
    VerticesPainterGL<T>::glDrawShape();
}

template <class T> void CurvePainterGL<T>::glDrawCurve(const Curve<T>& curve) const {
  const int n = curve.getNumVertices();
  this->glNormalTowardsViewer();
  glBegin(curve.isOpen() ? GL_LINE_STRIP : GL_LINE_LOOP);
  for (int i = 0; i < n; ++i) this->glVertex(curve[i]);
  glEnd();
}

template class CurvePainterGL<float>;
template class CurvePainterGL<double>;
template class CurvePainterGL<long double>;
