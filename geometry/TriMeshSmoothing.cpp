#include "geometry/TriMeshSmoothing.h"

#include "geometry/TriMesh.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

namespace {
// Wide enough to sum millions of squares without losing the size: double, long double for long double.
template <class T> using Accumulator = std::conditional_t<(sizeof(T) > sizeof(double)), long double, double>;

template <class T> Accumulator<T> sumOfSquares(const TriMesh<T>& mesh) {
  Accumulator<T> sum = 0;
  const int space = mesh.getSpace();
  for (int v = 0; v < mesh.getNumVertices(); ++v) {
    const T* p = mesh.vertex(v).data();
    for (int i = 0; i < space; ++i) sum += Accumulator<T>(p[i]) * p[i];
  }
  return sum;
}
} // namespace

namespace {
// One averaging pass over vertices of `space` coordinates (a constant for the common case of 3).
template <int fixedSpace, class T>
void averagePass(TriMesh<T>& mesh, const std::vector<T>& before, int dynamicSpace) {
  const int space = fixedSpace > 0 ? fixedSpace : dynamicSpace;
  const int n = mesh.getNumVertices();
  mesh.stars(); // built here, before the threads read them
#pragma omp parallel
  {
    std::vector<T> storage(fixedSpace > 0 ? 0 : space);
    T fixedTotal[fixedSpace > 0 ? fixedSpace : 1];
    T* total = fixedSpace > 0 ? fixedTotal : storage.data();
#pragma omp for schedule(static)
    for (int v = 0; v < n; ++v) {
      const T* own = &before[static_cast<std::size_t>(v) * space];
      for (int i = 0; i < space; ++i) total[i] = own[i];
      int m = 0;
      mesh.forEachNeighbour(v, [&](int w) {
        const T* other = &before[static_cast<std::size_t>(w) * space];
        for (int i = 0; i < space; ++i) total[i] = total[i] + other[i];
        ++m;
      });
      if (m == 0) continue; // a vertex without triangle keeps its position
      T* p = mesh.vertex(v).data();
      for (int i = 0; i < space; ++i) p[i] = total[i] / T(m + 1);
    }
  }
}

template <class T> void translateVertices(TriMesh<T>& mesh, const Vector<T>& t) {
  const int n = mesh.getNumVertices();
  const int space = t.getSize();
#pragma omp parallel for schedule(static)
  for (int v = 0; v < n; ++v) {
    T* p = mesh.vertex(v).data();
    for (int i = 0; i < space; ++i) p[i] += t[i];
  }
}

template <class T> void scaleVertices(TriMesh<T>& mesh, T s) {
  const int n = mesh.getNumVertices();
  const int space = mesh.getSpace();
#pragma omp parallel for schedule(static)
  for (int v = 0; v < n; ++v) {
    T* p = mesh.vertex(v).data();
    for (int i = 0; i < space; ++i) p[i] *= s;
  }
}
} // namespace

template <class T> void TriMeshSmoothing<T>::averageVertices(TriMesh<T>& mesh) const {
  const int n = mesh.getNumVertices();
  const int space = mesh.getSpace();
  if (n == 0) return;
  // The private copy that every vertex is averaged from.
  std::vector<T> before(static_cast<std::size_t>(n) * space);
#pragma omp parallel for schedule(static)
  for (int v = 0; v < n; ++v) {
    const T* p = mesh.vertex(v).data();
    std::copy(p, p + space, &before[static_cast<std::size_t>(v) * space]);
  }
  if (space == 3)
    averagePass<3>(mesh, before, space);
  else
    averagePass<0>(mesh, before, space);
}

// The translations and the rescaling touch each vertex once through the mesh's own list: a mesh's
// vertices are distinct server slots, so this is what Shape::translate and Shape::scale do.
template <class T> void TriMeshSmoothing<T>::smooth(TriMesh<T>& mesh) const {
  if (mesh.getNumVertices() == 0) return;
  const Vector<T> centre = mesh.cog();
  translateVertices(mesh, -centre);
  const auto before = sumOfSquares(mesh);
  for (int pass = 0; pass < _iterations; ++pass) averageVertices(mesh);
  const auto after = sumOfSquares(mesh);
  if (after > 0) scaleVertices(mesh, static_cast<T>(std::sqrt(before / after)));
  translateVertices(mesh, centre);
}

template class TriMeshSmoothing<float>;
template class TriMeshSmoothing<double>;
template class TriMeshSmoothing<long double>;
