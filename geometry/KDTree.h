#pragma once

#include "geometry/VertexClient.h"

#include <vector>

template <class T> class Shape;
template <class T> class Vertices;

// Nearest-vertex index over the vertices of a shape that keeps them on one server. The tree is an
// implicit k-d tree: the shape's server slots in an order where every range is split at its median
// along the axis of greatest extent of that range. The tree holds the server (so its coordinates stay
// alive) but reads the shape's vertices as they are when build() runs.
template <class T> class KDTree {
public:
  KDTree() = default;
  KDTree(const KDTree&) = delete;
  KDTree& operator=(const KDTree&) = delete;

  // Indexes the shape's vertices. UsageError "The shape is empty" for a shape without vertex, and
  // "The shape is indexed on several servers" for a stack whose levels use different servers.
  void setShape(Shape<T>& shape);
  void build();

  // The nearest vertex to p (its coordinates in the server); null when no shape is set. Builds the
  // tree first when needed.
  Vector<T>* nearestVertex(const Vector<T>& p);
  // The server slots of the k nearest vertices of p, nearest first (fewer when the shape is smaller).
  std::vector<int> kNearestNeighbours(const Vector<T>& p, int k);
  // out becomes a new list of copies of the k nearest vertices of p, nearest first.
  void nearestVertices(Vertices<T>& out, const Vector<T>& p, int k);

private:
  double squareDistance(int slot, const Vector<T>& p) const;
  void buildRange(int first, int last);
  void searchNearest(int first, int last, const Vector<T>& p, int& best, double& bestDistance) const;
  void searchNearest(int first, int last, const Vector<T>& p, int k,
                     std::vector<std::pair<double, int>>& heap) const;
  T coordinate(int slot, int axis) const { return _client.getServer()->vertex(slot)[axis]; }

  Shape<T>* _shape = nullptr;
  VertexClient<T> _client;
  std::vector<int> _slots;        // server slots in tree order
  std::vector<signed char> _axes; // split axis of the range whose median sits at each position
  bool _built = false;
};
