#pragma once

#include "geometry/ConcreteVertexIterator.h"

template <class T> class Shape;

// Read-only walk over the vertices of any shape in the shape's own order. Copies clone the cursor.
template <class T> class ConstVertexIterator {
public:
  explicit ConstVertexIterator(const Shape<T>& shape);
  ConstVertexIterator(const ConstVertexIterator& other) : _iterator(other._iterator->clone()) {}
  ConstVertexIterator& operator=(const ConstVertexIterator& other) {
    if (&other != this) {
      ConcreteVertexIterator<T>* copy = other._iterator->clone();
      delete _iterator;
      _iterator = copy;
    }
    return *this;
  }
  ~ConstVertexIterator() { delete _iterator; }

  const Vector<T>* current() const {
    return static_cast<const ConcreteVertexIterator<T>*>(_iterator)->current();
  }
  const Vector<unsigned int>& locator() const { return _iterator->locator(); }
  int currentServerIndex() const { return _iterator->currentServerIndex(); }
  void operator++() { ++*_iterator; }
  void operator++(int) { ++*_iterator; }
  void rewind() { _iterator->rewind(); }

private:
  ConcreteVertexIterator<T>* _iterator;
};
