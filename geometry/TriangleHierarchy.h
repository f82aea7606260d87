#pragma once

#include <cstdint>
#include <vector>

// A bounding-volume hierarchy over the triangles of a mesh, for queries that would otherwise examine
// every triangle. The triangles are ordered along a Morton curve of their box centres and grouped by
// halving that order, so the build is a sort and a linear pass. The boxes are widened by a small
// margin relative to the mesh's size, and for a segment also by the rounding of the per-triangle test,
// which grows with the segment ends' coordinates: a triangle whose test could answer yes for a segment
// is not culled by its box, so culling changes the cost of a query and not its answer.
template <class T> class TriangleHierarchy {
public:
  // === Building
  // triples: 3 vertex numbers per triangle, a negative first number marking a removed triangle;
  // vertices: the coordinates (3 values) of every vertex number.
  void build(int numTriangles, const int* triples, const T* const* vertices);
  void clear();
  bool isEmpty() const { return _nodes.empty(); }

  // === Queries
  // Appends the positions of the triangles whose widened box meets the segment a-b, in leaf order.
  // Ends far from the mesh widen the boxes by up to 64 units in the last place of T of their largest
  // coordinate, which covers how far the test's crossing point, computed in T, can stray from the
  // segment's true crossing; ends a million mesh sizes away in float so keep nearly every triangle.
  void segmentCandidates(const T* a, const T* b, std::vector<int>& candidates) const;

  // Visits the triangles in an order that tends to find close ones first, skipping every node whose box
  // lies farther from p than the current bound: visit(t) examines triangle t and returns the new
  // bound on the square distance (the old one when t is not closer).
  template <class Visitor> void visitNearest(const T* p, double bound, Visitor visit) const;

  std::size_t memoryBytes() const;

private:
  struct Node {
    T lower[3];
    T upper[3];
    int first; // leaf: first entry of _order; inner node: index of the second child (the first follows it)
    int count; // leaf: number of triangles; 0 for an inner node
  };

  int buildNode(int first, int count, const int* triples, const T* const* vertices);
  static bool segmentMeets(const Node& node, const double* a, const double* direction, double margin);
  double squareDistance(const Node& node, const T* p) const;

  std::vector<Node> _nodes;
  std::vector<int> _order; // triangle positions in leaf order
  double _margin = 0.0;
};

template <class T>
template <class Visitor>
void TriangleHierarchy<T>::visitNearest(const T* p, double bound, Visitor visit) const {
  if (_nodes.empty()) return;
  std::vector<int> stack{0};
  while (!stack.empty()) {
    const Node& node = _nodes[stack.back()];
    const int index = stack.back();
    stack.pop_back();
    if (squareDistance(node, p) > bound) continue;
    if (node.count > 0) {
      for (int k = node.first; k < node.first + node.count; ++k) bound = visit(_order[k]);
      continue;
    }
    const int near = index + 1;
    const int far = node.first;
    const bool nearFirst = squareDistance(_nodes[near], p) <= squareDistance(_nodes[far], p);
    stack.push_back(nearFirst ? far : near);
    stack.push_back(nearFirst ? near : far);
  }
}
