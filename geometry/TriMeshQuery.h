#pragma once

#include "geometry/BoundingBox.h"
#include "geometry/TriangleHierarchy.h"
#include "geometry/Vertices.h"

template <class T> class TriMesh;
template <class T> class Edge;

// Surface queries on one triangle mesh: the crossings of a segment (picking), whether a point lies
// inside the closed surface, the closest surface point. The mesh is referred to, not owned: the caller
// keeps it alive and unchanged while querying (setTriMesh again after changing it).
//
// Setting the mesh builds a bounding-volume hierarchy of its triangles; each query examines only the
// triangles whose (slightly widened) boxes it reaches, with exactly the per-triangle tests of Triangle,
// so the answers are those of a test of every triangle.
template <class T> class TriMeshQuery {
public:
  TriMeshQuery() = default;
  TriMeshQuery(const TriMeshQuery&) = delete;
  TriMeshQuery& operator=(const TriMeshQuery&) = delete;

  // Keeps a reference to the mesh and builds its box and triangle hierarchy. The mesh must have
  // three coordinates per vertex (SizeError).
  void setTriMesh(const TriMesh<T>& mesh);
  // The mesh; ProgramError "No triangular mesh was set" before setTriMesh.
  const TriMesh<T>& getTriMesh() const;
  const BoundingBox<T>& getBoundingBox() const { return _boundingBox; }

  // The points where the segment crosses the mesh's triangles (degenerate triangles skipped), as a
  // new point list of space 3 in no particular order; a segment lying in a triangle's plane and
  // crossing it there contributes its start point. The candidates are tested by a parallel loop.
  Vertices<T> computeIntersections(const Edge<T>& segment) const;
  // Whether p lies inside the closed surface (false outside the mesh's box). Not for int (TypeError).
  bool contains(const Vector<T>& p) const;
  // The closest point q of the surface to p, and the position t of its triangle (-1 for a mesh
  // without triangle, q then unchanged). Not for int (TypeError).
  void closestPoint(const Vector<T>& p, Vector<T>& q) const;
  void closestPoint(const Vector<T>& p, Vector<T>& q, int& t) const;

  std::size_t memoryBytes() const { return _hierarchy.memoryBytes(); }

private:
  const TriMesh<T>* _mesh = nullptr;
  BoundingBox<T> _boundingBox;
  TriangleHierarchy<T> _hierarchy;
};
