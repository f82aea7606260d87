#pragma once

#include "geometry/ConcreteVertexIterator.h"

template <class T> class Shape;

// Walks the vertices of any shape in the shape's own order:
//   for (VertexIterator<T> it(shape); it.current(); ++it) ...
// Owns the concrete cursor that the shape makes.
template <class T> class VertexIterator {
public:
  explicit VertexIterator(Shape<T>& shape);
  VertexIterator(const VertexIterator&) = delete;
  VertexIterator& operator=(const VertexIterator&) = delete;
  ~VertexIterator() { delete _iterator; }

  Vector<T>* current() { return _iterator->current(); }
  const Vector<unsigned int>& locator() const { return _iterator->locator(); }
  int currentServerIndex() const { return _iterator->currentServerIndex(); }
  void operator++() { ++*_iterator; }
  void operator++(int) { ++*_iterator; }
  void rewind() { _iterator->rewind(); }

private:
  ConcreteVertexIterator<T>* _iterator;
};
