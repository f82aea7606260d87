#pragma once

#include "geometry/Triangle.h"
#include "geometry/TriangleStars.h"
#include "geometry/Vertices.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

// A list of vertices (its own index list gives vertices 0 .. N - 1) with triangles over them, one
// normal per vertex and optional vertex colours.
//
// Large meshes are the normal case, so the per-face data is held compactly: the three vertex numbers
// of every triangle position live in one array ((-1, -1, -1) for a removed triangle), the normals in
// another (three per vertex), the stars in one pool (TriangleStars) built when first needed (a
// picture of the mesh needs none), and the Triangle objects are created when first asked for by
// triangle(t), then kept. Neither is thread-safe: ask for the first star or triangle from one thread.
// Vertex numbers are positions in the mesh's vertex list; reading a file checks them, addTriangle
// refuses numbers outside the list.
template <class T> class TriMesh : public Vertices<T> {
public:
  // === Construction
  TriMesh();
  TriMesh(int space, int n, int capacity = 0, int growth = 0); // n vertices, no triangle
  explicit TriMesh(const Vertices<T>& vertices);               // shares the vertices, no triangle
  explicit TriMesh(const std::string& path);                   // loads a ".tm" file
  ~TriMesh() override;
  void assign(const VertexClient<T>& other) override;
  TriMesh(TriMesh&& other) = default; // takes the other's vertices
  // Shares the vertices; copies triangles, normals and colours.
  std::unique_ptr<Shape<T>> sharingCopy() const override {
    return std::unique_ptr<Shape<T>>(new TriMesh(*this));
  }
  int getShapeType() const override;
  void detach() override; // the kept Triangle objects follow the mesh to its new server

  // === Triangles
  void addTriangle(int a, int b, int c);
  void addTriangle(const Vector<int>& triple);
  // Replaces all triangles by these triples, each added as by addTriangle.
  void setTriangles(const std::vector<Vector<int>>& triples);
  // The same for triples given as one array of vertex numbers, taken over (the way to give a large
  // mesh its triangles). A number outside the vertex list is refused (ValueError) and nothing changes.
  void setTriangleIndexes(std::vector<int> numbers);
  // Drops triangle t from the stars, sets its numbers to (-1, -1, -1) and frees its object;
  // the other positions do not change.
  void removeTriangle(int t);
  // Removes every triangle of v's star, then vertex v and its normal; the vertex numbers above v in
  // the remaining triangles are decreased by one so that they still name the same vertices.
  void remove(int v);
  int getNumTriangles() const { return static_cast<int>(_triangleIndexes.size() / 3); }
  // The triangle at position t, created on first request; null for a removed triangle.
  Triangle<T>* triangle(int t);
  const Triangle<T>* triangle(int t) const;
  // The three vertex numbers of triangle position t, as a view of the mesh's own table (no copy, so
  // that drawing millions of triangles allocates nothing): read it, copy it, but do not write through
  // it; it is valid until triangles are added or removed.
  Vector<int> getTriangleIndexes(int t) const;
  // The same numbers as a plain pointer (valid until triangles are added or removed).
  const int* getTriangleVertices(int t) const {
    return _triangleIndexes.data() + 3 * static_cast<std::size_t>(t);
  }

  // === Stars and neighbours (built on the first call of any of these)
  std::vector<int> star(int v) const;
  // For each triangle of v's star, in star order, its vertices other than v as met.
  std::vector<int> neighbours(int v) const;
  // Calls f(n) for every entry of neighbours(v), in the same order, without building the list
  // (from several threads only once stars() has been called).
  template <class F> void forEachNeighbour(int v, F f) const;
  // The stars of all vertices; call it once from one thread before reading stars from several.
  const TriangleStars& stars() const;

  // === Normals
  // Angle-weighted vertex normals, normalised (a vertex without triangle gets a zero normal).
  void computeNormals();
  // Computes the normals, then k times replaces each by the normalised sum of itself and its
  // neighbours' normals (k < 1: no smoothing).
  void smoothNormals(int k);
  bool hasNormals() const {
    return _normals.size() == static_cast<std::size_t>(this->getNumVertices()) * this->getSpace();
  }
  // A view of v's normal in the mesh's table (valid until the normals change): read it or copy it.
  Vector<T> getNormal(int v) const {
    return Vector<T>(this->getSpace(),
                     const_cast<T*>(normalData() + static_cast<std::size_t>(v) * this->getSpace()));
  }
  void setNormal(int v, const Vector<T>& n);
  // Every vertex's normal, one after the other (space() numbers each); empty without normals.
  const T* normalData() const { return _normals.data(); }

  // === Vertex colours
  // Drops the current colours; then takes ownership of colors when it has the mesh's vertex count,
  // else refuses it (SizeError) and the mesh stays without colours. Null just removes the colours.
  void setVertexColors(TriMesh<int>* colors);
  bool hasVertexColors() const { return _vertexColors != nullptr; }
  TriMesh<int>* getVertexColors() const { return _vertexColors.get(); }

  // === Measures and point queries
  T area() const;
  T volume() const;                        // of the closed surface, positive when the triangles face outwards
  T equivalentRadius() const;              // radius of the sphere of the same volume
  Vector<T> centerOfGravity() const;       // of the surface, triangles weighted by their area
  bool contains(const Vector<T>& p) const; // inside the closed surface; not for int (TypeError)
  void closestPoint(const Vector<T>& p, Vector<T>& q) const; // not for int (TypeError)
  void cube(); // replaces the mesh by the unit cube [0, 1]^3 of 8 vertices and 12 outward triangles

  // === Files
  void write(std::ostream& os) const override;
  void export2AsciiSTL(std::ostream& os) const;

  // Bytes held by the mesh's own tables (triangles, normals, stars, kept triangle objects), for
  // measurements.
  std::size_t memoryBytes() const;

protected:
  template <class U> friend class TriMesh; // a mesh copies its colour mesh
  TriMesh(const TriMesh& other);
  // The flat layout, then the triangles and the normals (read and normalised, or computed); refuses
  // with a FileFormatError a triangle count the file cannot hold, a vertex number outside the list
  // and normals announced but missing.
  int readText(ShapeTextReader& reader) override;

private:
  void clearTriangles();
  void appendTriangle(int a, int b, int c);
  void copyMeshData(const TriMesh& other);
  void dropStars();
  // Unit normal of triangle t, then its interior angles at its three corners.
  void faceNormalAndAngles(int t, T* face) const;

  std::vector<int> _triangleIndexes;                            // 3 vertex numbers per triangle position
  mutable std::vector<std::unique_ptr<Triangle<T>>> _triangles; // created on demand, index = position
  std::vector<T> _normals;                                      // space numbers per vertex, or none
  mutable TriangleStars _stars;                                 // built on first need, then kept up to date
  mutable bool _starsBuilt = false;
  std::unique_ptr<TriMesh<int>> _vertexColors;
};

template <class T> template <class F> void TriMesh<T>::forEachNeighbour(int v, F f) const {
  const TriangleStars& all = stars();
  if (v >= all.getNumVertices()) return;
  const int* entries = all.begin(v);
  const int size = all.size(v);
  for (int e = 0; e < size; ++e) {
    // A triangle naming v at several corners appears that often in the star; take its others once.
    if (e > 0 && entries[e] == entries[e - 1]) continue;
    const int* triple = getTriangleVertices(entries[e]);
    for (int k = 0; k < 3; ++k)
      if (triple[k] != v) f(triple[k]);
  }
}
