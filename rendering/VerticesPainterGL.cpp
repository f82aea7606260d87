#include "rendering/VerticesPainterGL.h"

#include <GL/gl.h>

template <class T> VerticesPainterGL<T>::VerticesPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_SYMBOL);
  this->setAttributes(attributes);
}

template <class T> void VerticesPainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  const Vertices<T>& vertices = dynamic_cast<const Vertices<T>&>(this->getShape());
  if (this->drawsSolidSymbols())
    glDrawSymbols(vertices);
  else
    glDrawPoints(vertices);
}

template <class T> void VerticesPainterGL<T>::glDrawSymbols(const Vertices<T>& vertices) const {
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  const int n = vertices.getNumVertices();
  for (int i = 0; i < n; ++i) {
    const Vector<T>& point = vertices[i];
    glPushMatrix();
    glTranslatef(static_cast<float>(point[0]), static_cast<float>(point[1]),
                 point.getSize() > 2 ? static_cast<float>(point[2]) : 0.0f);
    this->glDrawSymbol();
    glPopMatrix();
  }
  glDisable(GL_CULL_FACE);
}

template <class T> void VerticesPainterGL<T>::glDrawPoints(const Vertices<T>& vertices) const {
  const int n = vertices.getNumVertices();
  this->glNormalTowardsViewer();
  glBegin(GL_POINTS);
  for (int i = 0; i < n; ++i) this->glVertex(vertices[i]);
  glEnd();
}

template class VerticesPainterGL<float>;
template class VerticesPainterGL<double>;
template class VerticesPainterGL<long double>;
