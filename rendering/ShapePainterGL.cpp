#include "rendering/ShapePainterGL.h"

#include "foundation/Trace.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <iostream>

namespace {

// Edge lengths that give each solid the volume of the unit sphere, 4/3 pi.
constexpr double cubeSide = 1.6119920015335083;       // cube root of 4 pi / 3
constexpr double tetrahedronEdge = 3.2878976;         // cube root of 8 sqrt(2) pi
constexpr double diamondDiagonal = 2.324894666671753; // twice the cube root of pi / 2
constexpr float halfSqrt2 = 0.70710677f;

struct Quad {
  float normal[3];
  float corners[4][3];
};

void glTriangle(const float normal[3], const float a[3], const float b[3], const float c[3]) {
  glNormal3f(normal[0], normal[1], normal[2]);
  glVertex3f(a[0], a[1], a[2]);
  glVertex3f(b[0], b[1], b[2]);
  glVertex3f(c[0], c[1], c[2]);
}

} // namespace

template <class T> ShapePainterGL<T>::ShapePainterGL() = default;

template <class T> ShapePainterGL<T>::~ShapePainterGL() = default;

template <class T> BoundingBox<T> ShapePainterGL<T>::boundingBox() const {
  if (!_shape) return BoundingBox<T>();
  return _shape->boundingBox();
}

template <class T> bool ShapePainterGL<T>::isOpaque() const {
  return true;
}

template <class T> void ShapePainterGL<T>::glDraw() const {
  Trace::Scope scope("void ShapePainterGL<T>::glDraw() const");
  traceValue("hasShape()", hasShape());
  traceValue("isVisible()", isVisible());
  if (!hasShape() || !isVisible()) return;
  glPreDraw();
  glDrawShape();
  glPostDraw();
}

template <class T> void ShapePainterGL<T>::setShape(const Shape<T>& shape) {
  Trace::Scope scope("void ShapePainterGL<T>::setShape(const Shape<T>&)");
  _shape = &shape;
}

template <class T> void ShapePainterGL<T>::setAttributes(const ShapePainterAttributesGL& attributes) {
  Trace::Scope scope("void ShapePainterGL<T>::setAttributes(const ShapePainterAttributesGL&)");
  traceValue("this", static_cast<const void*>(this));
  _attributes = attributes;
}

template <class T> bool ShapePainterGL<T>::isVisible() const {
  return !_attributes.useVisibility() || _attributes.getVisibility();
}

template <class T> unsigned char ShapePainterGL<T>::opacityByte() const {
  if (!_attributes.useOpacity()) return 255;
  return static_cast<unsigned char>(static_cast<int>(_attributes.getOpacity()));
}

template <class T> float ShapePainterGL<T>::symbolRadius() const {
  if (!_attributes.useSymbolSize()) return _symbolSizeScale;
  return _symbolSizeScale * _attributes.getSymbolSize();
}

template <class T> bool ShapePainterGL<T>::drawsSolidSymbols() const {
  if (!_attributes.useVertexSymbol()) return false;
  const VertexSymbolGL symbol = _attributes.getVertexSymbol();
  return symbol != VERTEX_SYMBOL_NONE && symbol != VERTEX_SYMBOL_DOT;
}

template <class T> void ShapePainterGL<T>::glVertex(const Vector<T>& point) {
  const float z = point.getSize() > 2 ? static_cast<float>(point[2]) : 0.0f;
  glVertex3f(static_cast<float>(point[0]), static_cast<float>(point[1]), z);
}

template <class T> void ShapePainterGL<T>::glNormalTowardsViewer() {
  GLfloat m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  // Normals reach eye space through the inverse transpose of the model-view matrix, so the normal
  // that becomes the eye's z axis is the third row of its rotation part (column-major storage).
  const float x = m[2], y = m[6], z = m[10];
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length > 0)
    glNormal3f(x / length, y / length, z / length);
  else
    glNormal3f(0, 0, 1);
  // Facing the light along the viewing axis, every point would sit in the middle of the highlight and
  // turn the colour towards white: points and lines have no surface to reflect it.
  const GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
  glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, none);
}

template <class T> void ShapePainterGL<T>::glPreDraw() const {
  if (_attributes.useColor()) {
    const Vector<int>& color = _attributes.getColor();
    glEnable(GL_COLOR_MATERIAL);
    glColor4ub(static_cast<GLubyte>(color[0]), static_cast<GLubyte>(color[1]), static_cast<GLubyte>(color[2]),
               opacityByte());
  }
  if (_attributes.useShininess()) {
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, _attributes.getShininess());
  }
  if (_attributes.useSymbolSize()) glPointSize(_attributes.getSymbolSize() * _symbolSizeScale);
  if (_attributes.useLineWidth()) glLineWidth(_attributes.getLineWidth());
}

template <class T> void ShapePainterGL<T>::glPostDraw() const {
  if (_attributes.useColor()) glDisable(GL_COLOR_MATERIAL);
}

template <class T> void ShapePainterGL<T>::glDrawSymbol() const {
  if (!_attributes.useVertexSymbol()) return;
  switch (_attributes.getVertexSymbol()) {
  case VERTEX_SYMBOL_SPHERE:
    glDrawSphere();
    break;
  case VERTEX_SYMBOL_CUBE:
    glDrawCube();
    break;
  case VERTEX_SYMBOL_TETRAHEDRON:
    glDrawTetrahedron();
    break;
  case VERTEX_SYMBOL_DIAMOND:
    glDrawDiamond();
    break;
  default:
    break;
  }
}

template <class T> void ShapePainterGL<T>::glDrawSphere() const {
  Trace::Scope scope("void ShapePainterGL<T>::glDrawSphere() const");
  glRawDrawSphere();
}

template <class T> void ShapePainterGL<T>::glRawDrawSphere() const {
  const float size = symbolRadius();
  traceValue("_symbolSizeScale", _symbolSizeScale);
  traceValue("size", size);
  GLUquadric* quadric = gluNewQuadric();
  gluQuadricDrawStyle(quadric, GLU_FILL);
  gluQuadricNormals(quadric, GLU_SMOOTH);
  gluSphere(quadric, size, 8, 6);
  gluDeleteQuadric(quadric);
}

template <class T> void ShapePainterGL<T>::glDrawCube() const {
  Trace::Scope scope("void ShapePainterGL<T>::glDrawCube() const");
  const float h = static_cast<float>(symbolRadius() * 0.5 * cubeSide);
  const Quad faces[] = {{{0, 0, 1}, {{h, h, h}, {-h, h, h}, {-h, -h, h}, {h, -h, h}}},
                        {{1, 0, 0}, {{h, h, h}, {h, -h, h}, {h, -h, -h}, {h, h, -h}}},
                        {{0, 0, -1}, {{h, h, -h}, {h, -h, -h}, {-h, -h, -h}, {-h, h, -h}}},
                        {{-1, 0, 0}, {{-h, h, -h}, {-h, -h, -h}, {-h, -h, h}, {-h, h, h}}},
                        {{0, 1, 0}, {{h, h, h}, {h, h, -h}, {-h, h, -h}, {-h, h, h}}},
                        {{0, -1, 0}, {{h, -h, h}, {-h, -h, h}, {-h, -h, -h}, {h, -h, -h}}}};
  glBegin(GL_QUADS);
  for (const Quad& face : faces) {
    glNormal3f(face.normal[0], face.normal[1], face.normal[2]);
    for (const auto& corner : face.corners) glVertex3f(corner[0], corner[1], corner[2]);
  }
  glEnd();
}

template <class T> void ShapePainterGL<T>::glDrawTetrahedron() const {
  const float e = static_cast<float>(symbolRadius() * tetrahedronEdge);
  const float a = e / 2.0f;
  const float r = static_cast<float>(a / std::sqrt(3.0));
  const float z0 = static_cast<float>(r * std::sqrt(0.5));
  const float A[] = {-a, -r, -z0}, B[] = {0, 2 * r, -z0}, C[] = {a, -r, -z0}, D[] = {0, 0, 3 * z0};
  const float base[] = {0, 0, -1};
  const float left[] = {-0.8164966f, 0.4714045f, 0.33333334f};
  const float right[] = {0.8164966f, 0.4714045f, 0.33333334f};
  const float front[] = {0, -0.94280905f, 0.33333334f};
  glBegin(GL_TRIANGLES);
  glTriangle(base, A, B, C);
  glTriangle(left, D, B, A);
  glTriangle(right, D, C, B);
  glTriangle(front, D, A, C);
  glEnd();
}

template <class T> void ShapePainterGL<T>::glDrawDiamond() const {
  const float d = static_cast<float>(symbolRadius() * 0.5 * diamondDiagonal);
  const float c = halfSqrt2;
  const float top[] = {0, 0, d}, bottom[] = {0, 0, -d};
  const float pp[] = {d, d, 0}, mp[] = {-d, d, 0}, mm[] = {-d, -d, 0}, pm[] = {d, -d, 0};
  const float n1[] = {0, c, c}, n2[] = {-c, 0, c}, n3[] = {0, -c, c}, n4[] = {c, 0, c};
  const float n5[] = {0, c, -c}, n6[] = {c, 0, -c}, n7[] = {0, -c, -c}, n8[] = {-c, 0, -c};
  glBegin(GL_TRIANGLES);
  glTriangle(n1, top, pp, mp);
  glTriangle(n2, top, mp, mm);
  glTriangle(n3, top, mm, pm);
  glTriangle(n4, top, pm, pp);
  glEnd();
  glBegin(GL_TRIANGLES);
  glTriangle(n5, bottom, mp, pp);
  glTriangle(n6, bottom, pp, pm);
  glTriangle(n7, bottom, pm, mm);
  glTriangle(n8, bottom, mm, mp);
  glEnd();
}

template class ShapePainterGL<float>;
template class ShapePainterGL<double>;
template class ShapePainterGL<long double>;
