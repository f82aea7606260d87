#include "rendering/TriMeshPainterGL.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/Trace.h"
#include "geometry/TriMeshSmoothing.h"

#include <GL/gl.h>

#include <iostream>

namespace {

// An undefined smoothing count counts as -1.
int verticesSmoothingOf(const ShapePainterAttributesGL& attributes) {
  return attributes.useVerticesSmoothing() ? attributes.getVerticesSmoothing() : -1;
}

int normalsSmoothingOf(const ShapePainterAttributesGL& attributes) {
  return attributes.useNormalsSmoothing() ? attributes.getNormalsSmoothing() : -1;
}

} // namespace

template <class T> TriMeshPainterGL<T>::TriMeshPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_SURFACE);
  setAttributes(attributes);
  this->enableDisplayLists(true);
  _listsOutOfDate = false;
}

template <class T> bool TriMeshPainterGL<T>::isOpaque() const {
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  return !attributes.useTransparency() || attributes.getTransparency() == 255.0f;
}

template <class T> void TriMeshPainterGL<T>::setShape(const Shape<T>& shape) {
  Trace::Scope scope("void TriMeshPainterGL<T>::setShape(const Shape<T>&)");
  if (!dynamic_cast<const TriMesh<T>*>(&shape))
    throwError<TypeError>("void TriMeshPainterGL<T>::setShape(...)",
                          "Non TriMesh shape passed as function argument");
  ShapePainterGL<T>::setShape(shape);
  _listsOutOfDate = true;
  _drawsArrays = false;
  _arraysOutOfDate = true;
}

template <class T> void TriMeshPainterGL<T>::vertexColorsChanged() {
  _drawsArrays = true;
  _colorsOutOfDate = true;
}

template <class T> TriMesh<T>& TriMeshPainterGL<T>::mutableMesh() const {
  // The painter draws the mesh it was given; smoothing is the one change it makes to it.
  return const_cast<TriMesh<T>&>(static_cast<const TriMesh<T>&>(this->getShape()));
}

template <class T> void TriMeshPainterGL<T>::setAttributes(const ShapePainterAttributesGL& attributes) {
  const int oldVertices = verticesSmoothingOf(this->getAttributes());
  const int oldNormals = normalsSmoothingOf(this->getAttributes());
  const int newVertices = verticesSmoothingOf(attributes);
  const int newNormals = normalsSmoothingOf(attributes);
  VerticesPainterGL<T>::setAttributes(attributes);
  if (newVertices != oldVertices && this->hasShape()) {
    TriMeshSmoothing<T> smoothing;
    smoothing.setNumIterations(newVertices);
    smoothing.smooth(mutableMesh());
    mutableMesh().smoothNormals(newNormals);
    ++_verticesRevision;
  } else if (newNormals != oldNormals && this->hasShape()) {
    mutableMesh().smoothNormals(newNormals);
  }
  _listsOutOfDate = true;
  _drawsArrays = false;
  _arraysOutOfDate = true;
}

template <class T> void TriMeshPainterGL<T>::glDrawShape() const {
  Trace::Scope scope("void TriMeshPainterGL<T>::glDrawShape() const");
  if (!this->hasShape()) return;
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  const int mode = attributes.useDisplayMode() ? attributes.getDisplayMode() : DISPLAY_MODE_NONE;
  if (mode == DISPLAY_MODE_SURFACE && _drawsArrays) {
    glDrawSurfaceArrays();
  } else if (mode == DISPLAY_MODE_SURFACE) {
    glDrawListed(_surfaceList, &TriMeshPainterGL::glDrawSurface);
  } else if (mode == DISPLAY_MODE_MESH) {
    this->glNormalTowardsViewer(); // outside the list: it follows the pose of every frame
    glDrawListed(_meshList, &TriMeshPainterGL::glDrawMesh);
  } else {
    VerticesPainterGL<T>::glDrawShape();
  }
}

template <class T>
void TriMeshPainterGL<T>::glDrawListed(GLObject& list, void (TriMeshPainterGL::*draw)() const) const {
  if (!this->isDisplayListEnabled()) {
    (this->*draw)();
    return;
  }
  if (_listsOutOfDate) {
    list.reset();
    _listsOutOfDate = false;
  } else if (list.name() != 0) {
    glCallList(list.name());
    return;
  }
  // Compiling first and then calling the list is much faster in Mesa than compile-and-execute,
  // which also sends every vertex down the immediate path; the frame is the same.
  list = GLObject(GLObject::Kind::DisplayList, glGenLists(1));
  glNewList(list.name(), GL_COMPILE);
  (this->*draw)();
  glEndList();
  glCallList(list.name());
}

template <class T> void TriMeshPainterGL<T>::glDrawSurface() const {
  Trace::Scope scope("void TriMeshPainterGL<T>::glDrawSurface() const");
  const TriMesh<T>& mesh = dynamic_cast<const TriMesh<T>&>(this->getShape());
  traceValue("triMesh.hasVertexColors()", mesh.hasVertexColors());
  const GLubyte alpha = this->alpha();
  const TriMesh<int>* colors = mesh.hasVertexColors() ? mesh.getVertexColors() : nullptr;
  const bool normals = mesh.hasNormals();
  const int numTriangles = mesh.getNumTriangles();
  // One batch for all triangles: a batch per triangle costs the driver far more than the vertices.
  glBegin(GL_TRIANGLES);
  for (int t = 0; t < numTriangles; ++t) {
    const int* triangle = mesh.getTriangleVertices(t);
    if (triangle[0] < 0) continue; // removed triangle
    for (int k = 0; k < 3; ++k) {
      const int v = triangle[k];
      if (colors) {
        const Vector<int>& color = (*colors)[v];
        glColor4ub(static_cast<GLubyte>(color[0]), static_cast<GLubyte>(color[1]),
                   static_cast<GLubyte>(color[2]), alpha);
      }
      if (normals) {
        const Vector<T>& normal = mesh.getNormal(v);
        glNormal3f(static_cast<float>(normal[0]), static_cast<float>(normal[1]),
                   static_cast<float>(normal[2]));
      }
      this->glVertex(mesh[v]);
    }
  }
  glEnd();
}

template <class T> void TriMeshPainterGL<T>::glDrawSurfaceArrays() const {
  const TriMesh<T>& mesh = dynamic_cast<const TriMesh<T>&>(this->getShape());
  const int numVertices = mesh.getNumVertices();
  if (_arraysOutOfDate) {
    _positions.resize(3 * static_cast<std::size_t>(numVertices));
    _normals.resize(mesh.hasNormals() ? _positions.size() : 0);
    for (int v = 0; v < numVertices; ++v)
      for (int i = 0; i < 3; ++i) {
        _positions[3 * std::size_t(v) + i] = static_cast<float>(mesh[v][i]);
        if (!_normals.empty()) _normals[3 * std::size_t(v) + i] = static_cast<float>(mesh.getNormal(v)[i]);
      }
    _indices.clear();
    for (int t = 0; t < mesh.getNumTriangles(); ++t) {
      const int* triangle = mesh.getTriangleVertices(t);
      if (triangle[0] < 0) continue; // removed triangle
      _indices.insert(_indices.end(), {unsigned(triangle[0]), unsigned(triangle[1]), unsigned(triangle[2])});
    }
    _arraysOutOfDate = false;
    _colorsOutOfDate = true;
  }
  const TriMesh<int>* colors = mesh.hasVertexColors() ? mesh.getVertexColors() : nullptr;
  if (colors && _colorsOutOfDate) {
    _colors.resize(4 * static_cast<std::size_t>(numVertices));
    const unsigned char alpha = this->alpha();
    for (int v = 0; v < numVertices; ++v) {
      const Vector<int>& color = (*colors)[v];
      unsigned char* rgba = &_colors[4 * std::size_t(v)];
      rgba[0] = static_cast<unsigned char>(color[0]);
      rgba[1] = static_cast<unsigned char>(color[1]);
      rgba[2] = static_cast<unsigned char>(color[2]);
      rgba[3] = alpha;
    }
  }
  _colorsOutOfDate = false;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, _positions.data());
  if (!_normals.empty()) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, _normals.data());
  }
  if (colors) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, _colors.data());
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(_indices.size()), GL_UNSIGNED_INT, _indices.data());
  glPopClientAttrib();
}

template <class T> void TriMeshPainterGL<T>::glDrawMesh() const {
  const TriMesh<T>& mesh = dynamic_cast<const TriMesh<T>&>(this->getShape());
  const int numTriangles = mesh.getNumTriangles();
  glBegin(GL_LINES);
  for (int t = 0; t < numTriangles; ++t) {
    const int* triangle = mesh.getTriangleVertices(t);
    if (triangle[0] < 0) continue; // removed triangle
    const Vector<T>& a = mesh[triangle[0]];
    const Vector<T>& b = mesh[triangle[1]];
    const Vector<T>& c = mesh[triangle[2]];
    this->glVertex(a);
    this->glVertex(b);
    this->glVertex(b);
    this->glVertex(c);
    this->glVertex(a);
    this->glVertex(c);
  }
  glEnd();
}

template class TriMeshPainterGL<float>;
template class TriMeshPainterGL<double>;
template class TriMeshPainterGL<long double>;
