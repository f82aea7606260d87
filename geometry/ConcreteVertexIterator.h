#pragma once

#include "foundation/Vector.h"

#include <memory>

// The cursor a shape creates to walk its vertices in its own order. The base walks nothing;
// every shape kind derives its own (its nested __ConcreteVertexIterator).
template <class T> class ConcreteVertexIterator {
public:
  ConcreteVertexIterator() = default;
  ConcreteVertexIterator(const ConcreteVertexIterator&) = default;
  ConcreteVertexIterator& operator=(const ConcreteVertexIterator&) = delete;
  virtual ~ConcreteVertexIterator() = default;

  virtual std::unique_ptr<ConcreteVertexIterator> clone() const {
    return std::make_unique<ConcreteVertexIterator>(*this);
  }
  // The vertex at the cursor; null when the walk is over.
  virtual Vector<T>* current() { return _current; }
  virtual const Vector<T>* current() const { return _current; }
  // The cursor in the shape's own coordinates: (k) for a flat shape, (level, k) for a stack.
  virtual const Vector<unsigned int>& locator() const { return _locator; }
  // The server slot of the current vertex, -1 when there is none.
  virtual int currentServerIndex() const { return -1; }
  virtual void operator++(int) {}
  virtual void operator++() {}
  virtual void rewind() {}

protected:
  Vector<T>* _current = nullptr;
  Vector<unsigned int> _locator;
};
