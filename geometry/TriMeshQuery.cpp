#include "geometry/TriMeshQuery.h"

#include "foundation/ErrorThrowing.h"
#include "geometry/Edge.h"
#include "geometry/TriMesh.h"
#include "geometry/TriangleGeometry.h"

#include <cmath>
#include <limits>
#include <type_traits>
#include <vector>

namespace {
// The corners of triangle t, or false when it was removed or names vertices the mesh no longer has.
template <class T> bool corners(const TriMesh<T>& mesh, int t, const T* p[3]) {
  if (t >= mesh.getNumTriangles()) return false;
  const int* triple = mesh.getTriangleVertices(t);
  const int n = mesh.getNumVertices();
  for (int k = 0; k < 3; ++k) {
    if (triple[k] < 0 || triple[k] >= n) return false;
    p[k] = mesh.vertex(triple[k]).data();
  }
  return true;
}
} // namespace

template <class T> void TriMeshQuery<T>::setTriMesh(const TriMesh<T>& mesh) {
  _hierarchy.clear();
  _mesh = &mesh;
  _boundingBox = BoundingBox<T>();
  const int n = mesh.getNumVertices();
  if (n == 0) return;
  if (mesh.getSpace() != 3) throwError<SizeError>(OSTREL_HERE, "The mesh is not three-dimensional");
  _boundingBox = mesh.boundingBox();
  std::vector<const T*> coordinates(static_cast<std::size_t>(n));
  for (int v = 0; v < n; ++v) coordinates[v] = mesh.vertex(v).data();
  _hierarchy.build(mesh.getNumTriangles(), mesh.getTriangleVertices(0), coordinates.data());
}

template <class T> const TriMesh<T>& TriMeshQuery<T>::getTriMesh() const {
  if (!_mesh) throwError<ProgramError>(OSTREL_HERE, "No triangular mesh was set");
  return *_mesh;
}

template <class T> Vertices<T> TriMeshQuery<T>::computeIntersections(const Edge<T>& segment) const {
  Vertices<T> result(3, 0, 0, 0);
  if (!_mesh || _hierarchy.isEmpty()) return result;
  const TriMesh<T>& mesh = *_mesh;
  const T* a = segment.vertex(0).data();
  const T* b = segment.vertex(1).data();
  std::vector<int> candidates;
  _hierarchy.segmentCandidates(a, b, candidates);
  const int count = static_cast<int>(candidates.size());
  // Waking the threads costs more than testing a few dozen triangles: a short list stays on this thread.
#pragma omp parallel for schedule(static) if (count > 256)
  for (int c = 0; c < count; ++c) {
    const T* p[3];
    if (!corners(mesh, candidates[c], p)) continue;
    if (TriangleGeometry<T>::isDegenerate(p[0], p[1], p[2])) continue;
    Vector<T> point(3);
    if (TriangleGeometry<T>::intersectSegment(p[0], p[1], p[2], a, b, point.data()) != 0)
      result.append(point); // Vertices::append runs in the shared critical section
  }
  return result;
}

template <class T> bool TriMeshQuery<T>::contains(const Vector<T>& p) const {
  refuseIntegers<T>(OSTREL_HERE);
  if (!_mesh || _hierarchy.isEmpty() || !_boundingBox.contains(p)) return false;
  // A segment from p leaving the box in a direction unlikely to graze edges; an odd number of
  // crossings means inside.
  const double reach = 2.0 * double(_boundingBox.diagonal()) + 1.0;
  const double direction[3] = {0.8017837257372732, 0.5345224838248488, 0.2672612419124244};
  Edge<T> ray(3);
  for (int i = 0; i < 3; ++i) {
    ray.vertex(0)[i] = p[i];
    ray.vertex(1)[i] = static_cast<T>(double(p[i]) + reach * direction[i]);
  }
  std::vector<int> candidates;
  _hierarchy.segmentCandidates(ray.vertex(0).data(), ray.vertex(1).data(), candidates);
  int crossings = 0;
  for (int t : candidates) {
    const T* q[3];
    if (!corners(*_mesh, t, q) || TriangleGeometry<T>::isDegenerate(q[0], q[1], q[2])) continue;
    T point[3];
    crossings += TriangleGeometry<T>::intersectSegment(q[0], q[1], q[2], ray.vertex(0).data(),
                                                       ray.vertex(1).data(), point) == 1;
  }
  return crossings % 2 == 1;
}

template <class T> void TriMeshQuery<T>::closestPoint(const Vector<T>& p, Vector<T>& q) const {
  int t;
  closestPoint(p, q, t);
}

template <class T> void TriMeshQuery<T>::closestPoint(const Vector<T>& p, Vector<T>& q, int& t) const {
  refuseIntegers<T>(OSTREL_HERE);
  t = -1;
  if (!_mesh || _hierarchy.isEmpty()) return;
  const TriMesh<T>& mesh = *_mesh;
  double best = std::numeric_limits<double>::infinity();
  Vector<T> candidate(3);
  _hierarchy.visitNearest(p.data(), best, [&](int triangle) {
    const T* corner[3];
    if (!corners(mesh, triangle, corner)) return best;
    TriangleGeometry<T>::closestPoint(corner[0], corner[1], corner[2], p.data(), candidate.data());
    double distance = 0.0;
    for (int i = 0; i < 3; ++i) distance += (double(candidate[i]) - p[i]) * (double(candidate[i]) - p[i]);
    if (distance < best) {
      best = distance;
      t = triangle;
      q = candidate;
    }
    return best;
  });
}

template class TriMeshQuery<int>;
template class TriMeshQuery<float>;
template class TriMeshQuery<double>;
template class TriMeshQuery<long double>;
