#include "geometry/KDTree.h"

#include "foundation/ErrorThrowing.h"
#include "geometry/VertexIterator.h"
#include "geometry/VertexStack.h"
#include "geometry/Vertices.h"

#include <algorithm>
#include <limits>

template <class T> void KDTree<T>::setShape(Shape<T>& shape) {
  const char* const where = OSTREL_HERE;
  if (shape.getNumVertices() == 0) throwError<UsageError>(where, "The shape is empty");
  const VertexServer<T>* server = shape.getServer();
  if (auto stack = dynamic_cast<const VertexStack<T>*>(&shape)) {
    for (int l = 0; l < stack->getHeight(); ++l) {
      const VertexServer<T>* levelServer = (*stack)[l].getServer();
      if (!server) server = levelServer;
      if (levelServer && levelServer != server)
        throwError<UsageError>(where, "The shape is indexed on several servers");
    }
  }
  _shape = &shape;
  _client.setServer(*const_cast<VertexServer<T>*>(server));
  _slots.clear();
  _built = false;
}

template <class T> void KDTree<T>::build() {
  _slots.clear();
  if (!_shape) return;
  for (ConstVertexIterator<T> it(*_shape); it.current(); ++it) _slots.push_back(it.currentServerIndex());
  _axes.assign(_slots.size(), 0);
  buildRange(0, static_cast<int>(_slots.size()));
  _built = true;
}

template <class T> void KDTree<T>::buildRange(int first, int last) {
  if (last - first < 2) return;
  const int space = _client.getServer()->getSpace();
  int axis = 0;
  T widest = T(0);
  for (int a = 0; a < space; ++a) {
    auto [low, high] = std::minmax_element(_slots.begin() + first, _slots.begin() + last,
                                           [&](int x, int y) { return coordinate(x, a) < coordinate(y, a); });
    const T extent = coordinate(*high, a) - coordinate(*low, a);
    if (a == 0 || extent > widest) widest = extent, axis = a;
  }
  const int middle = first + (last - first) / 2;
  std::nth_element(_slots.begin() + first, _slots.begin() + middle, _slots.begin() + last, [&](int x, int y) {
    const T cx = coordinate(x, axis), cy = coordinate(y, axis);
    return cx < cy || (cx == cy && x < y);
  });
  _axes[middle] = static_cast<signed char>(axis);
  buildRange(first, middle);
  buildRange(middle + 1, last);
}

template <class T> double KDTree<T>::squareDistance(int slot, const Vector<T>& p) const {
  const Vector<T>& v = _client.getServer()->vertex(slot);
  double sum = 0.0;
  for (int i = 0; i < v.getSize(); ++i) sum += (double(v[i]) - double(p[i])) * (double(v[i]) - double(p[i]));
  return sum;
}

template <class T>
void KDTree<T>::searchNearest(int first, int last, const Vector<T>& p, int& best,
                              double& bestDistance) const {
  if (first >= last) return;
  const int middle = first + (last - first) / 2;
  const int slot = _slots[middle];
  const double distance = squareDistance(slot, p);
  if (distance < bestDistance) bestDistance = distance, best = slot;
  if (last - first == 1) return;
  const int axis = _axes[middle];
  const double gap = double(p[axis]) - double(coordinate(slot, axis));
  const bool lowSide = gap < 0;
  if (lowSide)
    searchNearest(first, middle, p, best, bestDistance);
  else
    searchNearest(middle + 1, last, p, best, bestDistance);
  if (gap * gap < bestDistance) {
    if (lowSide)
      searchNearest(middle + 1, last, p, best, bestDistance);
    else
      searchNearest(first, middle, p, best, bestDistance);
  }
}

template <class T> Vector<T>* KDTree<T>::nearestVertex(const Vector<T>& p) {
  if (!_shape) return nullptr;
  if (!_built) build();
  if (_slots.empty()) return nullptr;
  int best = _slots[_slots.size() / 2]; // the root's vertex is the first candidate
  double bestDistance = squareDistance(best, p);
  searchNearest(0, static_cast<int>(_slots.size()), p, best, bestDistance);
  return &_client.getServer()->vertex(best);
}

template <class T>
void KDTree<T>::searchNearest(int first, int last, const Vector<T>& p, int k,
                              std::vector<std::pair<double, int>>& heap) const {
  if (first >= last) return;
  const int middle = first + (last - first) / 2;
  const int slot = _slots[middle];
  const double distance = squareDistance(slot, p);
  if (static_cast<int>(heap.size()) < k) {
    heap.emplace_back(distance, slot);
    std::push_heap(heap.begin(), heap.end());
  } else if (std::make_pair(distance, slot) < heap.front()) {
    std::pop_heap(heap.begin(), heap.end());
    heap.back() = {distance, slot};
    std::push_heap(heap.begin(), heap.end());
  }
  if (last - first == 1) return;
  const int axis = _axes[middle];
  const double gap = double(p[axis]) - double(coordinate(slot, axis));
  const bool lowSide = gap < 0;
  if (lowSide)
    searchNearest(first, middle, p, k, heap);
  else
    searchNearest(middle + 1, last, p, k, heap);
  if (static_cast<int>(heap.size()) < k || gap * gap < heap.front().first) {
    if (lowSide)
      searchNearest(middle + 1, last, p, k, heap);
    else
      searchNearest(first, middle, p, k, heap);
  }
}

template <class T> std::vector<int> KDTree<T>::kNearestNeighbours(const Vector<T>& p, int k) {
  std::vector<int> nearest;
  if (!_shape || k < 1) return nearest;
  if (!_built) build();
  std::vector<std::pair<double, int>> heap;
  heap.reserve(static_cast<std::size_t>(k));
  searchNearest(0, static_cast<int>(_slots.size()), p, k, heap);
  std::sort_heap(heap.begin(), heap.end());
  for (const auto& entry : heap) nearest.push_back(entry.second);
  return nearest;
}

template <class T> void KDTree<T>::nearestVertices(Vertices<T>& out, const Vector<T>& p, int k) {
  const std::vector<int> nearest = kNearestNeighbours(p, k);
  const int space = _client.getServer() ? _client.getServer()->getSpace() : p.getSize();
  Vertices<T> list(space, 0, 0, 0);
  for (int slot : nearest) list.append(_client.getServer()->vertex(slot));
  out.assign(list);
}

template class KDTree<int>;
template class KDTree<float>;
template class KDTree<double>;
template class KDTree<long double>;
