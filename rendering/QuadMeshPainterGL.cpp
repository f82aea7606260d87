#include "rendering/QuadMeshPainterGL.h"

#include "foundation/ErrorThrowing.h"
#include "rendering/CurvePainterGL.h"

#include <GL/gl.h>

#include <algorithm>

namespace {

// Unit normal of the triangle (a, b, c) as the mesh's surface faces outwards: the negated
// normalised cross product (b - a) x (c - b).
template <class T> Vector<T> triangleNormal(const Vector<T>& a, const Vector<T>& b, const Vector<T>& c) {
  Vector<T> normal = (b - a).vectorProduct(c - b);
  normal.normalize();
  return -normal;
}

template <class T> Vector<T> zero3() {
  Vector<T> zero(3);
  zero.fill(T(0));
  return zero;
}

// Three single-precision numbers a point, as ShapePainterGL::glVertex and glNormal3f pass them.
template <class T> void appendTriple(std::vector<float>& values, const Vector<T>& point) {
  values.push_back(static_cast<float>(point[0]));
  values.push_back(static_cast<float>(point[1]));
  values.push_back(point.getSize() > 2 ? static_cast<float>(point[2]) : 0.0f);
}

} // namespace

template <class T> QuadMeshPainterGL<T>::QuadMeshPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_SURFACE);
  this->setAttributes(attributes);
  this->enableDisplayLists(true);
}

template <class T> bool QuadMeshPainterGL<T>::isOpaque() const {
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  return !attributes.useOpacity() || attributes.getOpacity() == 255.0f;
}

template <class T> void QuadMeshPainterGL<T>::setShape(const Shape<T>& shape) {
  const QuadMesh<T>* mesh = dynamic_cast<const QuadMesh<T>*>(&shape);
  if (!mesh) throwError<TypeError>(OSTREL_HERE, "Non QuadMesh shape passed as function argument");
  ShapePainterGL<T>::setShape(shape);
  _normals.assign(QuadMesh<T>(3, mesh->getHeight(), mesh->getWidth(), 0, 0, false));
  allocateNormalBuffer();
  computeNormalBuffer();
  computeNormals();
  deleteNormalBuffer();
  _arraysOutOfDate = true;
}

template <class T> void QuadMeshPainterGL<T>::setAttributes(const ShapePainterAttributesGL& attributes) {
  const unsigned char oldAlpha = this->opacityByte();
  CurveStackPainterGL<T>::setAttributes(attributes);
  if (this->opacityByte() != oldAlpha) _arraysOutOfDate = true;
}

template <class T> void QuadMeshPainterGL<T>::allocateNormalBuffer() {
  const QuadMesh<T>& mesh = static_cast<const QuadMesh<T>&>(this->getShape());
  const int rows = mesh.getHeight() + 1;
  const int entries = 2 * mesh.getWidth() + 2;
  _normalBuffer.assign(rows, std::vector<Vector<T>>(entries));
}

template <class T> void QuadMeshPainterGL<T>::computeNormalBuffer() {
  const QuadMesh<T>& mesh = static_cast<const QuadMesh<T>&>(this->getShape());
  const int n = mesh.getHeight();
  const int w = mesh.getWidth();
  const bool closed = !mesh.isOpen();
  for (int i = 0; i + 1 < n; ++i) {
    const Curve<T>& c0 = mesh[i];
    const Curve<T>& c1 = mesh[i + 1];
    for (int j = 0; j + 1 < w; ++j) {
      bufferEntry(i, 2 * j + 2) = triangleNormal(c0[j], c0[j + 1], c1[j]);
      bufferEntry(i, 2 * j + 3) = triangleNormal(c0[j + 1], c1[j + 1], c1[j]);
    }
    if (closed && w > 0) {
      bufferEntry(i, 2 * w) = triangleNormal(c0[w - 1], c0[0], c1[w - 1]);
      bufferEntry(i, 2 * w + 1) = triangleNormal(c0[0], c1[0], c1[w - 1]);
    } else {
      bufferEntry(i, 2 * w) = zero3<T>();
      bufferEntry(i, 2 * w + 1) = zero3<T>();
    }
    bufferEntry(i, 0) = bufferEntry(i, 2 * w);
    bufferEntry(i, 1) = bufferEntry(i, 2 * w + 1);
  }
  // The missing bands before the first curve and after the last one contribute nothing.
  for (const int row : {-1, n - 1})
    for (int e = 0; e < 2 * w + 2; ++e) bufferEntry(row, e) = zero3<T>();
}

template <class T> void QuadMeshPainterGL<T>::computeNormals() {
  const QuadMesh<T>& mesh = static_cast<const QuadMesh<T>&>(this->getShape());
  const int n = mesh.getHeight();
  const int w = mesh.getWidth();
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < w; ++j) {
      Vector<T> sum = zero3<T>();
      for (const int row : {i - 1, i})
        for (int e = 2 * j; e < 2 * j + 4; ++e) sum += bufferEntry(row, e);
      sum.normalize();
      _normals[i][j] = sum;
    }
  }
}

template <class T> void QuadMeshPainterGL<T>::deleteNormalBuffer() {
  std::vector<std::vector<Vector<T>>>().swap(_normalBuffer);
}

template <class T> void QuadMeshPainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  const QuadMesh<T>& mesh = dynamic_cast<const QuadMesh<T>&>(this->getShape());
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  const int mode = attributes.useDisplayMode() ? attributes.getDisplayMode() : DISPLAY_MODE_NONE;
  if (mode == DISPLAY_MODE_SURFACE && drawsArrays())
    glDrawSurfaceArrays();
  else if (mode == DISPLAY_MODE_SURFACE)
    glDrawSurface();
  else if (mode == DISPLAY_MODE_MESH)
    glDrawWireframe();
  else
    CurveStackPainterGL<T>::glDrawShape();

  if (attributes.hasBeginCapFlag() && attributes.getBeginCapFlag() && mesh.hasBeginCap())
    glDrawCap(*mesh.getBeginCap());
  if (attributes.hasEndCapFlag() && attributes.getEndCapFlag() && mesh.hasEndCap())
    glDrawCap(*mesh.getEndCap());
}

template <class T> void QuadMeshPainterGL<T>::glDrawSurface() const {
  const QuadMesh<T>& mesh = dynamic_cast<const QuadMesh<T>&>(this->getShape());
  const int n = mesh.getHeight();
  const int w = mesh.getWidth();
  const GLubyte alpha = this->opacityByte();
  const QuadMesh<int>* colors = mesh.hasVertexColors() ? mesh.getVertexColors() : nullptr;
  auto emit = [&](int i, int j) {
    if (colors) {
      const Vector<int>& color = (*colors)[i][j];
      glColor4ub(static_cast<GLubyte>(color[0]), static_cast<GLubyte>(color[1]),
                 static_cast<GLubyte>(color[2]), alpha);
    }
    const Vector<T>& normal = _normals[i][j];
    glNormal3f(static_cast<float>(normal[0]), static_cast<float>(normal[1]), static_cast<float>(normal[2]));
    this->glVertex(mesh[i][j]);
  };
  for (int i = 1; i < n; ++i) {
    glBegin(GL_TRIANGLE_STRIP);
    for (int j = 0; j < w; ++j) {
      emit(i - 1, j);
      emit(i, j);
    }
    if (!mesh.isOpen() && w > 0) {
      emit(i - 1, 0);
      emit(i, 0);
    }
    glEnd();
  }
}

template <class T> bool QuadMeshPainterGL<T>::drawsArrays() const {
  const QuadMesh<T>& mesh = static_cast<const QuadMesh<T>&>(this->getShape());
  const int w = mesh.getWidth();
  const long long quads =
      static_cast<long long>(std::max(mesh.getHeight() - 1, 0)) * (mesh.isOpen() ? w - 1 : w);
  return quads > 0 && quads >= _arraysFromQuads;
}

template <class T> void QuadMeshPainterGL<T>::glDrawSurfaceArrays() const {
  // Without display lists nothing is kept from one draw to the next: the mesh may change meanwhile.
  const bool kept = this->isDisplayListEnabled();
  if (!kept || _arraysOutOfDate) glSetArrays();
  _arraysOutOfDate = false;
  _arrays.glDraw();
  if (!kept) _arrays.clear();
}

// Vertex (i, j) of the mesh is array entry i * width + j; band i's strip is glDrawSurface's.
template <class T> void QuadMeshPainterGL<T>::glSetArrays() const {
  const QuadMesh<T>& mesh = static_cast<const QuadMesh<T>&>(this->getShape());
  const int n = mesh.getHeight();
  const int w = mesh.getWidth();
  const std::size_t vertices = static_cast<std::size_t>(n) * w;
  std::vector<float> positions, normals;
  positions.reserve(3 * vertices);
  normals.reserve(3 * vertices);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < w; ++j) {
      appendTriple(positions, mesh[i][j]);
      appendTriple(normals, _normals[i][j]);
    }
  const int stripLength = 2 * w + (mesh.isOpen() ? 0 : 2);
  std::vector<unsigned int> corners;
  corners.reserve(static_cast<std::size_t>(n - 1) * stripLength);
  for (int i = 1; i < n; ++i) {
    const unsigned int below = static_cast<unsigned int>((i - 1) * w),
                       above = static_cast<unsigned int>(i * w);
    for (int j = 0; j < w; ++j) corners.insert(corners.end(), {below + j, above + j});
    if (!mesh.isOpen()) corners.insert(corners.end(), {below, above});
  }
  std::vector<unsigned char> colors;
  if (const QuadMesh<int>* vertexColors = mesh.hasVertexColors() ? mesh.getVertexColors() : nullptr) {
    colors.reserve(4 * vertices);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < w; ++j) {
        const Vector<int>& color = (*vertexColors)[i][j];
        colors.insert(colors.end(),
                      {static_cast<unsigned char>(color[0]), static_cast<unsigned char>(color[1]),
                       static_cast<unsigned char>(color[2]), this->opacityByte()});
      }
  }
  _arrays.clear();
  _arrays.ownPositions(std::move(positions));
  _arrays.ownNormals(std::move(normals));
  _arrays.ownCorners(std::move(corners));
  _arrays.setStripLength(stripLength);
  if (this->isDisplayListEnabled()) _arrays.glKeepInBuffers();
  _arrays.glSetColors(std::move(colors));
}

template <class T> void QuadMeshPainterGL<T>::glDrawWireframe() const {
  const QuadMesh<T>& mesh = dynamic_cast<const QuadMesh<T>&>(this->getShape());
  const int n = mesh.getHeight();
  const int w = mesh.getWidth();
  CurvePainterGL<T> painter;
  painter.setAttributes(this->getAttributes());
  for (int i = 0; i < n; ++i) {
    painter.setShape(mesh[i]);
    painter.glDraw();
  }
  // Transverse curves through the same vertex of every row, sharing the mesh's vertex storage.
  for (int j = 0; j < w; ++j) {
    Curve<T> column;
    column.setServer(*const_cast<VertexServer<T>*>(mesh.getServer()));
    column.setOpen(true);
    column.setSize(n, false);
    for (int i = 0; i < n; ++i) column.setIndex(i, mesh[i].getIndex(j));
    painter.setShape(column);
    painter.glDraw();
  }
}

template <class T> void QuadMeshPainterGL<T>::glDrawCap(const QuadMesh<T>& cap) const {
  QuadMeshPainterGL<T> painter;
  painter.enableDisplayLists(false); // a painter of one draw keeps nothing in the context
  painter.setAttributes(this->getAttributes());
  painter.setShape(cap);
  painter.glDraw();
}

template class QuadMeshPainterGL<float>;
template class QuadMeshPainterGL<double>;
template class QuadMeshPainterGL<long double>;
