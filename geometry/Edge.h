#pragma once

#include "geometry/Curve.h"

// An open curve of exactly two vertices: a segment, or a ray given by two points.
template <class T> class Edge : public Curve<T> {
public:
  Edge();                   // empty and open
  explicit Edge(int space); // owns a new server of two vertices, to be set by the caller
  // Shares the list's server; its two vertices are the list's i-th and j-th.
  Edge(const Vertices<T>& list, int i, int j);
  Edge(const Edge& other) = default;
  std::unique_ptr<Shape<T>> sharingCopy() const override { return std::make_unique<Edge>(*this); }

  // Points this edge at the list's i-th and j-th vertices (the edge iterators reuse one edge).
  void set(const Vertices<T>& list, int i, int j);
};
