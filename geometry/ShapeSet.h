#pragma once

#include <vector>

template <class T> class Shape;

// The shapes attached to a shape (the caps of a quad mesh, for instance). The set refers to its
// shapes without owning them: whoever adds a shape keeps it alive and frees it.
template <class T> class ShapeSet {
public:
  void add(Shape<T>* shape);
  // Removes the first occurrence of shape; false when it is not in the set.
  bool remove(const Shape<T>* shape);
  int getSize() const { return static_cast<int>(_shapes.size()); }
  bool isEmpty() const { return _shapes.empty(); }
  bool contains(const Shape<T>* shape) const;
  Shape<T>* operator[](int i) const { return _shapes[static_cast<std::size_t>(i)]; }

private:
  std::vector<Shape<T>*> _shapes;
};
