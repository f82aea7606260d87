#pragma once

#include "geometry/Shape.h"

#include <string>
#include <vector>

// An ordered list of vertices: indexes into a (possibly shared) vertex server. Its file is the
// flat layout: "# " type code, "# " space, "# " N, then N lines of coordinates.
// The operations that change the index list or grow the server run in the process-wide critical
// section vertices_vertex_operation, so that lists sharing a server can be edited from parallel loops.
template <class T> class Vertices : public Shape<T> {
public:
  // === Construction
  Vertices() = default;
  // A new server (VertexServer rules) and the indexes 0 .. n-1.
  Vertices(int space, int n, int capacity = 0, int growth = 0);
  explicit Vertices(const std::string& path);         // loads the file
  void assign(const VertexClient<T>& other) override; // shares the server, copies the indexes
  Vertices(Vertices&& other) = default;               // takes the other's vertices
  std::unique_ptr<Shape<T>> sharingCopy() const override {
    return std::unique_ptr<Shape<T>>(new Vertices(*this));
  }

  // === Kind and access
  int getNumVertices() const override { return static_cast<int>(_indexes.size()); }
  int getShapeType() const override { return shapeTypeCode(ShapeType::Vertices); }
  bool isComposite() const override { return false; }
  using Shape<T>::operator[];
  Vector<T>& operator[](const Vector<unsigned int>& locator) override {
    return vertex(static_cast<int>(locator[0]));
  }
  const Vector<T>& operator[](const Vector<unsigned int>& locator) const override {
    return vertex(static_cast<int>(locator[0]));
  }
  Vector<T>& vertex(int i) { return this->_server->vertex(_indexes[static_cast<std::size_t>(i)]); }
  const Vector<T>& vertex(int i) const {
    return this->_server->vertex(_indexes[static_cast<std::size_t>(i)]);
  }
  Vector<T>& operator[](int i) { return vertex(i); }
  const Vector<T>& operator[](int i) const { return vertex(i); }
  int getIndex(int i) const { return _indexes[static_cast<std::size_t>(i)]; }
  void setIndex(int i, int j) { _indexes[static_cast<std::size_t>(i)] = j; }
  const std::vector<int>& getIndexes() const { return _indexes; }

  std::unique_ptr<ConcreteVertexIterator<T>> vertexIterator() const override;

  // === Changes
  // Resizes the index list (not the server); new entries continue after the last index when
  // continued is set (0, 1, ... for an empty list), else they are 0.
  void setSize(int n, bool continued = true);
  // A new server slot holding p, indexed at the end, the front or position i. A point of another
  // size than the server's space is refused (SizeError).
  void append(const Vector<T>& p);
  void prepend(const Vector<T>& p);
  void insert(int i, const Vector<T>& p);
  void append(const Vertices& other); // copies of the other list's vertices
  void remove(int i);
  void remove(int first, int last);        // positions first .. last
  void removeOutside(int first, int last); // keeps positions first .. last only
  void reverse();
  void setOrigin(int i); // rotates the list so that position i comes first
  int findMin(int axis) const;
  int findMax(int axis) const;

  // === Files
  int read(std::istream& is) override;
  void write(std::ostream& os) const override;
  void print(const std::string& title, std::ostream& os) const override;

  // Concrete iterator of flat shapes: server slot of the shape's index k, locator (k).
  class __ConcreteVertexIterator : public ConcreteVertexIterator<T> {
  public:
    explicit __ConcreteVertexIterator(const Vertices& shape);
    std::unique_ptr<ConcreteVertexIterator<T>> clone() const override {
      return std::make_unique<__ConcreteVertexIterator>(*this);
    }
    int currentServerIndex() const override;
    void operator++(int) override { ++*this; }
    void operator++() override;
    void rewind() override;

  private:
    void update();
    const Vertices& _shape;
    int _k = 0;
  };

protected:
  Vertices(const Vertices& other); // shares the server, copies the indexes
  int readText(ShapeTextReader& reader) override;
  // Reads the header (type, space, N) and the N vertices onto a new server; returns the type code.
  // The counts are checked against what the rest of the text can hold (FileFormatError).
  int readFlat(ShapeTextReader& reader);
  // Writes the flat layout with the given type code (used by the kinds that share it).
  void writeFlat(std::ostream& os, int code, const char* where) const;
  // Reads n coordinate lines into the server slots first .. first + n - 1.
  void readVertices(ShapeTextReader& reader, int first, int n);
  // Adds a new server slot (creating the server of p's space when there is none) and returns it.
  int newSlot(const Vector<T>& p);
  void checkVertexSize(const Vector<T>& p, const char* where) const;

  std::vector<int> _indexes;
};
