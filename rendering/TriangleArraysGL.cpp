#include "rendering/TriangleArraysGL.h"

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
void TriangleArraysGL<T>::glSetMesh(const TriMesh<T>& mesh, unsigned char alpha, bool inBuffers) {
  clear();
  const std::size_t coordinates = 3 * static_cast<std::size_t>(mesh.getNumVertices());
  if (const float* inPlace = coordinatesInPlace(mesh))
    _arrays.usePositions(inPlace, coordinates);
  else
    _arrays.ownPositions(copiedCoordinates(mesh));
  if (mesh.hasNormals() && coordinates > 0) {
    if constexpr (std::is_same_v<T, float>)
      _arrays.useNormals(mesh.normalData(), coordinates);
    else
      _arrays.ownNormals(copiedNormals(mesh));
  }
  if (const unsigned int* inPlace = mesh.getNumTriangles() > 0 ? indicesInPlace(mesh) : nullptr)
    _arrays.useCorners(inPlace, 3 * static_cast<std::size_t>(mesh.getNumTriangles()));
  else
    _arrays.ownCorners(copiedIndices(mesh));
  if (inBuffers) _arrays.glKeepInBuffers();
  glSetColors(mesh, alpha);
}

template <class T> void TriangleArraysGL<T>::glSetColors(const TriMesh<T>& mesh, unsigned char alpha) {
  _arrays.glSetColors(mesh.hasVertexColors() ? copiedColors(mesh, alpha) : std::vector<unsigned char>());
}

template class TriangleArraysGL<float>;
template class TriangleArraysGL<double>;
template class TriangleArraysGL<long double>;
