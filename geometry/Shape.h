#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "geometry/ConcreteEdgeIterator.h"
#include "geometry/ConcreteVertexIterator.h"
#include "geometry/ShapeSet.h"
#include "geometry/ShapeType.h"
#include "geometry/VertexClient.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

template <class T> class Matrix;
class ShapeTextReader;

// A geometric model over a shared vertex server: point sets, stacks, curves, meshes. Every
// shape-wide operation walks the vertices with the shape's own vertex iterator, so it reaches
// every vertex of any kind (a server slot used by two indexes is visited twice).
template <class T> class Shape : public VertexClient<T> {
public:
  // === Construction
  Shape();
  Shape(int space, int size, int capacity, int growth); // a new server (VertexClient rules)
  Shape(Shape&& other);                                 // takes the other's server and name
  ~Shape() override;
  // Shapes are not copied by accident: a copy shares the vertex server, so it is made on purpose,
  // with sharingCopy().
  Shape& operator=(const Shape&) = delete;
  // A new shape of the same kind sharing this one's vertex server: a change of a vertex shows in
  // both until one of them detaches.
  virtual std::unique_ptr<Shape> sharingCopy() const = 0;

  // Reads the file into this shape (the virtual read); FileReadError "Cannot open file for reading".
  void load(const std::string& path);
  // The same from a stream; errors name the file at path.
  void load(std::istream& in, const std::string& path);
  // Writes the file, adding the kind's extension unless the path already ends with it. Without
  // overwrite an existing file is refused ("File already exists").
  void save(const std::string& path, bool overwrite = false) const;
  // One line per vertex pair: this shape's coordinates, then other − this, each followed by a tab.
  void saveDeformations(const Shape& other, const std::string& path, bool overwrite = false) const;
  // The displacement other − this of every vertex, in iteration order.
  std::vector<Vector<T>> deformations(const Shape& other) const;

  // === Kind
  virtual int getSpace() const; // the server's space, 0 without a server
  virtual int getNumVertices() const = 0;
  virtual int getShapeType() const = 0;
  virtual bool isComposite() const = 0;
  std::string getShapeTypeName() const { return shapeTypeName(getShapeType()); }

  // === Vertex access
  // The vertex at a locator: (k) for a flat shape, (level, k) for a stack.
  virtual Vector<T>& operator[](const Vector<unsigned int>& locator) = 0;
  virtual const Vector<T>& operator[](const Vector<unsigned int>& locator) const = 0;
  // A new cursor at the first vertex (edge); the base shape's walk nothing.
  virtual std::unique_ptr<ConcreteVertexIterator<T>> vertexIterator() const;
  virtual std::unique_ptr<ConcreteEdgeIterator<T>> edgeIterator() const;

  // === Files
  // Reads the shape's file layout from the stream and returns the type code read.
  virtual int read(std::istream& is) = 0;
  virtual void write(std::ostream& os) const = 0;

  // === Name and extensions
  void setName(const std::string& name) { _name = name; }
  const std::string& getName() const { return _name; }
  int getSize() const { return getNumVertices(); }
  bool hasExtensions() const { return !_extensions->isEmpty(); }
  ShapeSet<T>& getExtensions() { return *_extensions; }
  const ShapeSet<T>& getExtensions() const { return *_extensions; }

  // === Shape-wide arithmetic
  Vector<T> cog() const; // mean vertex; SizeError without vertex
  void translate(const Vector<T>& t);
  void scale(const Vector<T>& s); // coordinate j times s[j]; SizeError when s is not of the space
  void scale(const T& s);
  void operator*=(T s) { scale(s); }
  void operator/=(T s);
  void multiply(const Matrix<T>& m); // every vertex v becomes m·v; m must be space × space (SizeError)
  void center() { translate(-cog()); }
  // Vertex-wise sum and difference with a shape of the same type, space and size (UsageError).
  virtual void operator+=(const Shape& other);
  virtual void operator-=(const Shape& other);
  Vector<T> toVector() const;          // every coordinate in iteration order
  void fromVector(const Vector<T>& v); // and back (UsageError on a size mismatch)

  // === Distances
  Vector<T> squareDistances(const Shape& other) const; // between corresponding vertices
  T rmsDistance(const Shape& other) const;
  // The vertex nearest to p (the first on ties), null without vertex.
  Vector<T>* nearestVertex(const Vector<T>& p);
  const Vector<T>* nearestVertex(const Vector<T>& p) const;
  // For every vertex, the iteration position of its nearest other vertex (-1 when alone).
  Vector<int> nearestNeighbors() const;
  // For every vertex, the iteration position of its nearest vertex in other (-1 when other is empty).
  Vector<int> nearestNeighbors(const Shape& other) const;
  Vector<T> squareNearestNeighborDistances() const;
  Vector<T> squareNearestNeighborDistances(const Shape& other) const;
  Vector<T> nearestNeighborDistances(const Shape& other) const; // TypeError for int
  BoundingBox<T> boundingBox() const;

  virtual void print(const std::string& title, std::ostream& os) const;

protected:
  Shape(const Shape& other); // shares the server, takes the name
  // Reads the rest of the stream in one block, parses it with readText, then puts the stream
  // back where the parse stopped (failed if it failed) so that stream readers can go on.
  int readThrough(std::istream& is);
  // Parses this kind's file layout; returns the type code read.
  virtual int readText(ShapeTextReader& reader) = 0;

private:
  std::unique_ptr<ShapeSet<T>> _extensions; // owned: a constructor that throws frees it
  std::string _name;
};

// The sharing copy of a shape as a shape of its own kind.
template <class S> std::unique_ptr<S> sharingCopyOf(const S& shape) {
  return std::unique_ptr<S>(static_cast<S*>(shape.sharingCopy().release()));
}
