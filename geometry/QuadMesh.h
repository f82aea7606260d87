#pragma once

#include "geometry/CurveStack.h"
#include "geometry/TriMesh.h"

#include <memory>
#include <string>

// A curve stack whose curves (its rows) all have the same number of vertices, the width: vertex k
// of one row joins vertex k of the next, sweeping a tube through the contours of successive slices,
// closed or open around its circumference. It may carry per-vertex colours (an integer mesh of the
// same height and width) and a cap at each end, built on demand. The caps are owned by the mesh and
// listed in its extension set.
template <class T> class QuadMesh : public CurveStack<T> {
public:
  // === Construction
  QuadMesh() = default;
  QuadMesh(int space, int height, int width, int capacity = 0, int growth = 0, bool open = false);
  // Copies the stack; SizeError "Curve size is not constant along the curve stack" when its levels
  // differ in size.
  explicit QuadMesh(const CurveStack<T>& stack);
  explicit QuadMesh(const std::string& path); // loads a ".qm" file
  ~QuadMesh() override;
  void assign(const VertexClient<T>& other) override;
  QuadMesh(QuadMesh&& other); // takes the other's rows, caps and colours
  // Shares the server; no caps, no colours.
  std::unique_ptr<Shape<T>> sharingCopy() const override {
    return std::unique_ptr<Shape<T>>(new QuadMesh(*this));
  }
  int getShapeType() const override; // 5 when open, 4 when closed
  // Detaches the mesh, its caps and its colours.
  void detach() override;

  // === Rows
  int getWidth() const { return this->getHeight() > 0 ? (*this)[0].getNumVertices() : 0; }
  // On a mesh with rows, the new row must have the width's size (SizeError "Incompatible curve
  // size", nothing inserted); then the closure rule of curve stacks applies.
  using CurveStack<T>::append;
  using CurveStack<T>::prepend;
  void append(const Vertices<T>& row) override;
  void prepend(const Vertices<T>& row) override;
  void insert(int position, const Vertices<T>& row) override;

  // === Vertex colours
  // Drops the current colours; then takes ownership of colors when it has the mesh's height and
  // width, else refuses it (SizeError, the caller keeps it) and the mesh stays without colours.
  void setVertexColors(QuadMesh<int>* colors);
  bool hasVertexColors() const { return _vertexColors != nullptr; }
  QuadMesh<int>* getVertexColors() const { return _vertexColors.get(); }

  // === Caps
  // A closed mesh gets a cap of 10 rows from its first (last) row, shrinking to 1 % of it around
  // its centre; an open mesh gets none. A mesh without row fails (SizeError).
  void buildBeginCap();
  void buildEndCap();
  void buildCaps();
  bool hasBeginCap() const { return _beginCap != nullptr; }
  bool hasEndCap() const { return _endCap != nullptr; }
  bool hasAnyCap() const { return hasBeginCap() || hasEndCap(); }
  bool hasAllCaps() const { return hasBeginCap() && hasEndCap(); }
  QuadMesh* getBeginCap() const { return _beginCap; }
  QuadMesh* getEndCap() const { return _endCap; }
  void destroyBeginCap();
  void destroyEndCap();
  void destroyCaps();
  // Makes the caps rows of the mesh (copied onto its server): the begin cap's rows but its first, in
  // reverse order, before the first row, the end cap's after the last; then frees the caps. The
  // colours no longer fit the taller mesh and are dropped.
  void extendToCaps();

  // === Triangulation
  // A new triangle mesh of the vertices row by row (row l, column k is vertex l·width + k), two
  // triangles per quad and, for a closed mesh, two more closing each ring; normals computed.
  TriMesh<T> toTriMesh(bool flag = false) const;

protected:
  QuadMesh(const QuadMesh& other);
  // The stack layout; refuses rows of different sizes (FileFormatError); open exactly when the code
  // is 5.
  int readText(ShapeTextReader& reader) override;

private:
  void checkRow(const Vertices<T>& row, const char* where) const;
  QuadMesh* buildCap(const Curve<T>& contour) const;
  void setCap(QuadMesh*& cap, QuadMesh* newCap);
  void insertCopyOfRow(int position, const Vertices<T>& row);

  std::unique_ptr<QuadMesh<int>> _vertexColors;
  QuadMesh* _beginCap = nullptr;
  QuadMesh* _endCap = nullptr;
};
