#pragma once

#include "geometry/ConcreteEdgeIterator.h"

template <class T> class Shape;

// Walks the edges of a shape: for (EdgeIterator<T> it(curve); it.current(); ++it) ...
// current() is one Edge object whose two indexes are updated in place at every step.
template <class T> class EdgeIterator {
public:
  explicit EdgeIterator(const Shape<T>& shape);
  EdgeIterator(const EdgeIterator&) = delete;
  EdgeIterator& operator=(const EdgeIterator&) = delete;
  ~EdgeIterator() { delete _iterator; }

  Edge<T>* current() { return _iterator->current(); }
  void operator++() { ++*_iterator; }
  void operator++(int) { ++*_iterator; }
  void rewind() { _iterator->rewind(); }

private:
  ConcreteEdgeIterator<T>* _iterator;
};
