#pragma once

template <class T> class TriMesh;

// Vertex smoothing of a triangle mesh: repeated averaging of every vertex with its neighbours, then a
// uniform rescaling about the centre of gravity that gives the surface back its root-mean-square size
// (averaging alone shrinks it). Triangles, normals and colours are left alone.
template <class T> class TriMeshSmoothing {
public:
  TriMeshSmoothing() = default;

  void setNumIterations(int iterations) { _iterations = iterations; } // 0 or less: no averaging pass
  int getNumIterations() const { return _iterations; }

  // Centres the mesh, runs the averaging passes, restores the root-mean-square size (skipped when
  // every vertex ends on the centre) and moves the mesh back.
  void smooth(TriMesh<T>& mesh) const;
  // One pass: each vertex becomes the mean of itself and its neighbour list (repetitions counted),
  // all computed from the positions before the pass.
  void averageVertices(TriMesh<T>& mesh) const;

private:
  int _iterations = 1;
};
