#pragma once

#include <memory>

template <class T> class Edge;

// The cursor a shape creates to walk its edges. The base walks nothing; curves derive their own.
template <class T> class ConcreteEdgeIterator {
public:
  ConcreteEdgeIterator() = default;
  ConcreteEdgeIterator(const ConcreteEdgeIterator&) = default;
  ConcreteEdgeIterator& operator=(const ConcreteEdgeIterator&) = delete;
  virtual ~ConcreteEdgeIterator() = default;

  virtual std::unique_ptr<ConcreteEdgeIterator> clone() const {
    return std::make_unique<ConcreteEdgeIterator>(*this);
  }
  // The edge at the cursor, one object reused for the whole walk; null when the walk is over.
  virtual Edge<T>* current() { return nullptr; }
  virtual void operator++() {}
  virtual void rewind() {}
};
