#pragma once

#include "geometry/ConcreteEdgeIterator.h"

#include <memory>

template <class T> class Shape;

// Walks the edges of a shape: for (EdgeIterator<T> it(curve); it.current(); ++it) ...
// current() is one Edge object whose two indexes are updated in place at every step.
template <class T> class EdgeIterator {
public:
  explicit EdgeIterator(const Shape<T>& shape);
  EdgeIterator(const EdgeIterator&) = delete;
  EdgeIterator& operator=(const EdgeIterator&) = delete;

  Edge<T>* current() { return _iterator->current(); }
  void operator++() { ++*_iterator; }
  void operator++(int) { ++*_iterator; }
  void rewind() { _iterator->rewind(); }

private:
  std::unique_ptr<ConcreteEdgeIterator<T>> _iterator;
};
