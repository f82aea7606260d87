#pragma once

#include "geometry/Vertices.h"

#include <memory>
#include <string>
#include <vector>

// An ordered list of levels, each a vertex list (a curve in curve stacks), usually all clients of
// the stack's own server. Its file is the stack layout: "# " type code, "# " space, "# " L, then
// for each level two empty lines, "# " n and n lines of coordinates.
template <class T> class VertexStack : public Shape<T> {
public:
  // === Construction
  VertexStack() = default;
  // A server of height·width vertices and height levels of width vertices, level l on the slots
  // l·width .. l·width + width − 1; capacity and growth below 1 mean height·width.
  VertexStack(int space, int height, int width, int capacity = 0, int growth = 0);
  explicit VertexStack(const std::string& path); // loads the file
  void assign(const VertexClient<T>& other) override;
  ~VertexStack() override;
  VertexStack(VertexStack&& other) = default; // takes the other's vertices
  std::unique_ptr<Shape<T>> sharingCopy() const override {
    return std::unique_ptr<Shape<T>>(new VertexStack(*this));
  }

  // === Kind and access
  int getSpace() const override; // the server's, else the first level's, else 0
  int getNumVertices() const override;
  int getShapeType() const override { return shapeTypeCode(ShapeType::VertexStack); }
  bool isComposite() const override { return true; }
  int getHeight() const { return static_cast<int>(_levels.size()); }
  using Shape<T>::operator[];
  Vertices<T>& operator[](int l) { return *_levels[static_cast<std::size_t>(l)]; }
  const Vertices<T>& operator[](int l) const { return *_levels[static_cast<std::size_t>(l)]; }
  Vector<T>& operator[](const Vector<unsigned int>& locator) override;
  const Vector<T>& operator[](const Vector<unsigned int>& locator) const override;

  std::unique_ptr<ConcreteVertexIterator<T>> vertexIterator() const override;

  // === Levels
  // A new level sharing the list's server and copying its indexes; a stack without a server
  // adopts the list's.
  virtual void append(const VertexStack& other);
  virtual void prepend(const VertexStack& other);
  virtual void append(const Vertices<T>& level);
  virtual void prepend(const Vertices<T>& level);
  virtual void insert(int position, const Vertices<T>& level);
  virtual std::unique_ptr<Vertices<T>> newLevel() const; // an empty level of the stack's level class
  void remove(unsigned int l);
  void reverse();
  void sort(int axis);     // by the axis coordinate of each level's first vertex, ascending
  Vertices<T> cat() const; // all levels joined in one list
  // Nothing when the stack and all its levels share one server nobody else holds; otherwise
  // copies every level's vertices onto a new server of exactly the stack's vertex count.
  void detach() override;

  // === Files
  int read(std::istream& is) override;
  void write(std::ostream& os) const override;
  void print(const std::string& title, std::ostream& os) const override;

  // Concrete iterator of stacks: walks level after level with an inner flat iterator;
  // locator (level, position in level).
  class __ConcreteVertexIterator : public ConcreteVertexIterator<T> {
  public:
    explicit __ConcreteVertexIterator(const VertexStack& stack);
    __ConcreteVertexIterator(const __ConcreteVertexIterator& other);
    std::unique_ptr<ConcreteVertexIterator<T>> clone() const override {
      return std::make_unique<__ConcreteVertexIterator>(*this);
    }
    Vector<T>* current() override;
    const Vector<T>* current() const override;
    const Vector<unsigned int>& locator() const override;
    int currentServerIndex() const override;
    void operator++(int) override { ++*this; }
    void operator++() override;
    void rewind() override;

  private:
    void startLevel(int l);
    const VertexStack& _stack;
    int _level = 0;
    std::unique_ptr<ConcreteVertexIterator<T>> _inner;
    mutable Vector<unsigned int> _position;
  };

protected:
  VertexStack(const VertexStack& other); // shares the server, copies every level
  struct WithoutLevels {};
  // The server of the public constructor, but no level yet: the derived constructors make the
  // levels of their own class with makeLevels.
  VertexStack(int space, int height, int width, int capacity, int growth, WithoutLevels);
  void makeLevels(int height, int width);
  int readText(ShapeTextReader& reader) override;
  // Reads the stack layout, making the levels with newLevel(); returns the type code.
  int readStack(ShapeTextReader& reader);
  void writeStack(std::ostream& os, int code, const char* where) const;
  void clearLevels();
  // A new level of the stack's class sharing the list's server and indexes.
  std::unique_ptr<Vertices<T>> adoptLevel(const Vertices<T>& level);
  static std::vector<const Vertices<T>*> levelList(const VertexStack& stack); // in order, not owned

  std::vector<std::unique_ptr<Vertices<T>>> _levels; // owned: a constructor that throws frees them
};
