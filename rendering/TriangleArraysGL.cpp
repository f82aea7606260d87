// The buffer object functions are declared only with this set before OpenGL's header comes in.
#define GL_GLEXT_PROTOTYPES
#include "rendering/TriangleArraysGL.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <type_traits>

namespace {

// The coordinates of all vertices, when the mesh holds them as one array of single-precision triples.
template <class T> const float* coordinatesInPlace(const TriMesh<T>& mesh) {
  if constexpr (!std::is_same_v<T, float>) {
    (void)mesh;
    return nullptr;
  } else {
    const int n = mesh.getNumVertices();
    if (n == 0 || mesh.getSpace() != 3) return nullptr;
    const float* first = mesh.vertex(0).data();
    for (int v = 1; v < n; ++v)
      if (mesh.vertex(v).data() != first + 3 * static_cast<std::size_t>(v)) return nullptr;
    return first;
  }
}

template <class T> std::vector<float> copiedCoordinates(const TriMesh<T>& mesh) {
  const int n = mesh.getNumVertices();
  std::vector<float> values(3 * static_cast<std::size_t>(n));
  for (int v = 0; v < n; ++v) {
    const Vector<T>& p = mesh.vertex(v);
    float* target = &values[3 * static_cast<std::size_t>(v)];
    target[0] = static_cast<float>(p[0]);
    target[1] = static_cast<float>(p[1]);
    target[2] = p.getSize() > 2 ? static_cast<float>(p[2]) : 0.0f; // as glVertex puts planar points
  }
  return values;
}

template <class T> std::vector<float> copiedNormals(const TriMesh<T>& mesh) {
  const T* normals = mesh.normalData();
  return std::vector<float>(normals, normals + 3 * static_cast<std::size_t>(mesh.getNumVertices()));
}

// The mesh's own table of corners, when no triangle was removed from it.
template <class T> const unsigned int* indicesInPlace(const TriMesh<T>& mesh) {
  for (int t = 0; t < mesh.getNumTriangles(); ++t)
    if (mesh.getTriangleVertices(t)[0] < 0) return nullptr;
  // Vertex numbers are never negative: as unsigned int they are the same bits.
  return reinterpret_cast<const unsigned int*>(mesh.getTriangleVertices(0));
}

template <class T> std::vector<unsigned int> copiedIndices(const TriMesh<T>& mesh) {
  std::vector<unsigned int> values;
  for (int t = 0; t < mesh.getNumTriangles(); ++t) {
    const int* triangle = mesh.getTriangleVertices(t);
    if (triangle[0] < 0) continue; // removed triangle
    values.insert(values.end(), {unsigned(triangle[0]), unsigned(triangle[1]), unsigned(triangle[2])});
  }
  return values;
}

template <class T> std::vector<unsigned char> copiedColors(const TriMesh<T>& mesh, unsigned char alpha) {
  const TriMesh<int>& colors = *mesh.getVertexColors();
  std::vector<unsigned char> values(4 * static_cast<std::size_t>(mesh.getNumVertices()));
  for (int v = 0; v < mesh.getNumVertices(); ++v) {
    const int* color = colors.vertex(v).data();
    unsigned char* rgba = &values[4 * static_cast<std::size_t>(v)];
    rgba[0] = static_cast<unsigned char>(color[0]);
    rgba[1] = static_cast<unsigned char>(color[1]);
    rgba[2] = static_cast<unsigned char>(color[2]);
    rgba[3] = alpha;
  }
  return values;
}

} // namespace

template <class T>
template <class V>
void TriangleArraysGL<T>::Array<V>::use(const V* inPlace, std::size_t n) {
  data = inPlace;
  count = n;
}

template <class T> template <class V> void TriangleArraysGL<T>::Array<V>::own(std::vector<V> values) {
  copy = std::move(values);
  data = copy.data();
  count = copy.size();
}

template <class T> template <class V> void TriangleArraysGL<T>::Array<V>::glUpload(unsigned int target) {
  if (count == 0) return;
  GLuint name = 0;
  glGenBuffers(1, &name);
  buffer = GLObject(GLObject::Kind::Buffer, name);
  glBindBuffer(target, name);
  glBufferData(target, static_cast<GLsizeiptr>(count * sizeof(V)), data, GL_STATIC_DRAW);
  glBindBuffer(target, 0);
  std::vector<V>().swap(copy);
  data = nullptr;
}

template <class T>
template <class V>
const void* TriangleArraysGL<T>::Array<V>::glBind(unsigned int target) const {
  glBindBuffer(target, buffer.name());
  return data; // null in a buffer object: its start
}

template <class T>
void TriangleArraysGL<T>::glSetMesh(const TriMesh<T>& mesh, unsigned char alpha, bool inBuffers) {
  clear();
  _inBuffers = inBuffers;
  const std::size_t coordinates = 3 * static_cast<std::size_t>(mesh.getNumVertices());
  if (const float* inPlace = coordinatesInPlace(mesh))
    _positions.use(inPlace, coordinates);
  else
    _positions.own(copiedCoordinates(mesh));
  if (mesh.hasNormals() && coordinates > 0) {
    if constexpr (std::is_same_v<T, float>)
      _normals.use(mesh.normalData(), coordinates);
    else
      _normals.own(copiedNormals(mesh));
  }
  if (const unsigned int* inPlace = mesh.getNumTriangles() > 0 ? indicesInPlace(mesh) : nullptr)
    _indices.use(inPlace, 3 * static_cast<std::size_t>(mesh.getNumTriangles()));
  else
    _indices.own(copiedIndices(mesh));
  if (_inBuffers) {
    _positions.glUpload(GL_ARRAY_BUFFER);
    _normals.glUpload(GL_ARRAY_BUFFER);
    _indices.glUpload(GL_ELEMENT_ARRAY_BUFFER);
  }
  glSetColors(mesh, alpha);
}

template <class T> void TriangleArraysGL<T>::glSetColors(const TriMesh<T>& mesh, unsigned char alpha) {
  _colors = Array<unsigned char>();
  if (!mesh.hasVertexColors()) return;
  _colors.own(copiedColors(mesh, alpha));
  if (_inBuffers) _colors.glUpload(GL_ARRAY_BUFFER);
}

template <class T> void TriangleArraysGL<T>::glDraw() const {
  if (_indices.count == 0) return;
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, _positions.glBind(GL_ARRAY_BUFFER));
  if (_normals.count > 0) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, _normals.glBind(GL_ARRAY_BUFFER));
  }
  if (_colors.count > 0) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, _colors.glBind(GL_ARRAY_BUFFER));
  }
  glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(_indices.count), GL_UNSIGNED_INT,
                 _indices.glBind(GL_ELEMENT_ARRAY_BUFFER));
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glPopClientAttrib();
}

template <class T> void TriangleArraysGL<T>::clear() {
  _positions = Array<float>();
  _normals = Array<float>();
  _colors = Array<unsigned char>();
  _indices = Array<unsigned int>();
}

template class TriangleArraysGL<float>;
template class TriangleArraysGL<double>;
template class TriangleArraysGL<long double>;
