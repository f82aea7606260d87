#include "rendering/BoundingBoxPainterGL.h"

#include <GL/gl.h>

namespace {

template <class T> Vector<T> origin() {
  Vector<T> point(3);
  point.fill(T(0));
  return point;
}

void glVertex(float x, float y, float z) {
  glVertex3f(x, y, z);
}

} // namespace

template <class T>
BoundingBoxPainterGL<T>::BoundingBoxPainterGL() : _box(origin<T>(), origin<T>()), _color(3) {
  _color.fill(255);
}

template <class T> void BoundingBoxPainterGL<T>::setBoundingBox(const BoundingBox<T>& box) {
  _box.setVertex1(box.getVertex1());
  _box.setVertex2(box.getVertex2());
}

template <class T> void BoundingBoxPainterGL<T>::setColor(const Vector<int>& color) {
  _color = color;
}

template <class T> void BoundingBoxPainterGL<T>::glDraw() const {
  if (!_active || !_box.isValid() || _box.getVertex1().getSize() < 3) return;
  if (_box.diagonal() == T(0)) return;
  const Vector<T>& lower = _box.getVertex1();
  const Vector<T>& upper = _box.getVertex2();
  const float x1 = static_cast<float>(lower[0]), y1 = static_cast<float>(lower[1]),
              z1 = static_cast<float>(lower[2]);
  const float x2 = static_cast<float>(upper[0]), y2 = static_cast<float>(upper[1]),
              z2 = static_cast<float>(upper[2]);

  glLineWidth(_lineWidth);
  glDisable(GL_LIGHTING);
  glColor4ub(static_cast<GLubyte>(_color[0]), static_cast<GLubyte>(_color[1]),
             static_cast<GLubyte>(_color[2]), 255);
  for (const float z : {z1, z2}) {
    glBegin(GL_LINE_LOOP);
    glVertex(x1, y1, z);
    glVertex(x2, y1, z);
    glVertex(x2, y2, z);
    glVertex(x1, y2, z);
    glEnd();
  }
  glBegin(GL_LINES);
  glVertex(x1, y1, z1);
  glVertex(x1, y1, z2);
  glVertex(x2, y1, z1);
  glVertex(x2, y1, z2);
  glVertex(x2, y2, z1);
  glVertex(x2, y2, z2);
  glVertex(x1, y2, z1);
  glVertex(x1, y2, z2);
  glEnd();
  glEnable(GL_LIGHTING);
}

template class BoundingBoxPainterGL<float>;
template class BoundingBoxPainterGL<double>;
template class BoundingBoxPainterGL<long double>;
