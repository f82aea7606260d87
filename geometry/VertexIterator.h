#pragma once

#include "geometry/ConcreteVertexIterator.h"

#include <memory>
#include <type_traits>
#include <utility>

template <class T> class Shape;

// Walks the vertices of any shape in the shape's own order:
//   for (VertexIterator<T> it(shape); it.current(); ++it) ...
// ReadOnly walks a const shape and hands out const vertices (ConstVertexIterator below).
// Owns the concrete cursor that the shape makes; a copy clones it and walks on its own.
template <class T, bool ReadOnly = false> class VertexIterator {
public:
  using ShapeType = std::conditional_t<ReadOnly, const Shape<T>, Shape<T>>;
  using VertexType = std::conditional_t<ReadOnly, const Vector<T>, Vector<T>>;

  explicit VertexIterator(ShapeType& shape);
  VertexIterator(const VertexIterator& other) : _cursor(other._cursor->clone()) {}
  VertexIterator& operator=(const VertexIterator& other) {
    if (&other != this) _cursor = other._cursor->clone();
    return *this;
  }

  // The vertex at the cursor; null when the walk is over.
  VertexType* current() const {
    if constexpr (ReadOnly)
      return std::as_const(*_cursor).current();
    else
      return _cursor->current();
  }
  const Vector<unsigned int>& locator() const { return _cursor->locator(); }
  int currentServerIndex() const { return _cursor->currentServerIndex(); }
  void operator++() { ++*_cursor; }
  void operator++(int) { ++*_cursor; }
  void rewind() { _cursor->rewind(); }

private:
  std::unique_ptr<ConcreteVertexIterator<T>> _cursor;
};

// Read-only walk over the vertices of a const shape.
template <class T> using ConstVertexIterator = VertexIterator<T, true>;
