#pragma once

#include "foundation/Vector.h"

template <class T> class Shape;
template <class T> class Vertices;

// Axis-aligned box of any dimension given by two corners. The queries assume vertex1 <= vertex2
// on every axis, which only rectify() enforces. A default box has two empty corners.
template <class T> class BoundingBox {
public:
  // === Construction
  BoundingBox() = default;
  BoundingBox(const Vector<T>& lower, const Vector<T>& upper); // copies the corners

  void setVertex1(const Vector<T>& v) { _vertex1 = v; }
  void setVertex2(const Vector<T>& v) { _vertex2 = v; }
  const Vector<T>& getVertex1() const { return _vertex1; }
  const Vector<T>& getVertex2() const { return _vertex2; }

  // === Queries
  bool isValid() const; // vertex1 not empty and vertex2 of the same size
  int getDimension() const { return _vertex1.getSize(); }
  T width(int i) const; // |vertex2[i] − vertex1[i]|, also for an unrectified box
  Vector<T> widths() const;
  T min(int i) const; // the smaller of the two corners' coordinates on axis i
  T max(int i) const;
  Vector<T> cog() const; // (vertex1 + vertex2)·0.5
  T diagonal() const;    // distance between the corners
  // The 2^d corners: in corner c, coordinate i is vertex1[i] when bit i of c is set, else vertex2[i].
  Vertices<T> vertices() const;
  bool contains(const Vector<T>& p) const; // faces included; true in dimension 0
  bool containsAllVertices(const Shape<T>& shape) const;
  bool containsAny(const Shape<T>& shape) const;
  bool intersects(const BoundingBox& b) const; // touching boxes intersect; true in dimension 0
  // Whether the ray origin + t·direction, t >= 0, meets the box (faces included); when it does and
  // the pointers are given, the interval [entry, exit] of t inside the box. A zero direction is a
  // point test.
  bool intersectsRay(const Vector<T>& origin, const Vector<T>& direction, double* entry = nullptr,
                     double* exit = nullptr) const;
  // The same for the ray pointing the other way: origin + t·direction, t <= 0.
  bool intersectsLeftRay(const Vector<T>& origin, const Vector<T>& direction, double* entry = nullptr,
                         double* exit = nullptr) const;
  // The smallest box holding this one and b; a box with two empty corners counts as nothing.
  BoundingBox merge(const BoundingBox& b) const;

  // === Changes
  void rectify();                  // exchanges the corner values on every axis where vertex1 exceeds vertex2
  void expand(const Vector<T>& d); // vertex1 −= d, vertex2 += d
  void expand(T s);
  void expandUpToPosition(const Vector<T>& p); // grows the box to hold p
  // Grows every axis to a whole number of cells of size r, the surplus split evenly on both
  // sides; returns the number of cells per axis.
  Vector<int> adjustToResolution(T r);

private:
  // Clips the parameter interval [low, high] of the line origin + t·direction to the box (slabs).
  bool clipLine(const Vector<T>& origin, const Vector<T>& direction, double& low, double& high) const;
  bool isEmpty() const { return _vertex1.getSize() == 0 && _vertex2.getSize() == 0; }

  Vector<T> _vertex1;
  Vector<T> _vertex2;
};
