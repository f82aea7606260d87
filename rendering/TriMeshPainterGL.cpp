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
  attributes.setVerticesSmoothing(0); // a mesh starts as read: smoothed zero times
  attributes.setNormalsSmoothing(0);
  setAttributes(attributes);
  this->enableDisplayLists(true);
}

template <class T> bool TriMeshPainterGL<T>::isOpaque() const {
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  return !attributes.useOpacity() || attributes.getOpacity() == 255.0f;
}

template <class T> void TriMeshPainterGL<T>::setShape(const Shape<T>& shape) {
  Trace::Scope scope("void TriMeshPainterGL<T>::setShape(const Shape<T>&)");
  if (!dynamic_cast<const TriMesh<T>*>(&shape))
    throwError<TypeError>(OSTREL_HERE, "Non TriMesh shape passed as function argument");
  ShapePainterGL<T>::setShape(shape);
  geometryChanged();
  _colorsChanging = false;
}

template <class T> void TriMeshPainterGL<T>::geometryChanged() {
  _meshList.outOfDate = _surfaceList.outOfDate = true;
  _arraysOutOfDate = true;
}

template <class T> void TriMeshPainterGL<T>::vertexColorsChanged() {
  _colorsChanging = true;
  _colorsOutOfDate = true;
  _surfaceList.outOfDate = true;
}

template <class T> bool TriMeshPainterGL<T>::drawsArrays() const {
  return _colorsChanging ||
         static_cast<const TriMesh<T>&>(this->getShape()).getNumTriangles() >= _arraysFromTriangles;
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
  const unsigned char oldAlpha = this->opacityByte();
  VerticesPainterGL<T>::setAttributes(attributes);
  if (!this->hasShape()) return;
  if (newVertices != oldVertices) {
    TriMeshSmoothing<T> smoothing;
    smoothing.setNumIterations(newVertices);
    smoothing.smooth(mutableMesh());
    mutableMesh().smoothNormals(newNormals);
    ++_verticesRevision;
    geometryChanged();
  } else if (newNormals != oldNormals) {
    mutableMesh().smoothNormals(newNormals);
    geometryChanged();
  }
  if (this->opacityByte() != oldAlpha && static_cast<const TriMesh<T>&>(this->getShape()).hasVertexColors()) {
    _surfaceList.outOfDate = true;
    _colorsOutOfDate = true;
  }
}

template <class T> void TriMeshPainterGL<T>::glDrawShape() const {
  Trace::Scope scope("void TriMeshPainterGL<T>::glDrawShape() const");
  if (!this->hasShape()) return;
  const ShapePainterAttributesGL& attributes = this->getAttributes();
  const int mode = attributes.useDisplayMode() ? attributes.getDisplayMode() : DISPLAY_MODE_NONE;
  if (mode == DISPLAY_MODE_SURFACE && drawsArrays()) {
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
void TriMeshPainterGL<T>::glDrawListed(Listed& listed, void (TriMeshPainterGL::*draw)() const) const {
  if (!this->isDisplayListEnabled()) {
    (this->*draw)();
    return;
  }
  GLObject& list = listed.list;
  if (listed.outOfDate) {
    list.reset();
    listed.outOfDate = false;
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
  const GLubyte alpha = this->opacityByte();
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
  const TriMesh<T>& mesh = static_cast<const TriMesh<T>&>(this->getShape());
  // Without display lists nothing is kept from one draw to the next: the mesh may change meanwhile.
  const bool kept = this->isDisplayListEnabled();
  if (!kept || _arraysOutOfDate)
    _arrays.glSetMesh(mesh, this->opacityByte(), kept);
  else if (_colorsOutOfDate)
    _arrays.glSetColors(mesh, this->opacityByte());
  _arraysOutOfDate = _colorsOutOfDate = false;
  _arrays.glDraw();
  if (!kept) _arrays.clear();
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
