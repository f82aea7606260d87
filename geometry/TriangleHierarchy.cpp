#include "geometry/TriangleHierarchy.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace {
constexpr int leafSize = 4;

// The crossing point of a segment with a triangle's plane, computed in T, strays from the true one by
// a few units in the last place of the largest coordinate involved, divided by the cosine of the
// angle between segment and normal; the slack covers such angles up to about 87 degrees.
constexpr double roundingSlack = 64.0;

// Spreads the low 10 bits of x so that two zero bits separate each of them.
std::uint32_t spreadBits(std::uint32_t x) {
  x &= 0x3ffu;
  x = (x | (x << 16)) & 0x030000ffu;
  x = (x | (x << 8)) & 0x0300f00fu;
  x = (x | (x << 4)) & 0x030c30c3u;
  x = (x | (x << 2)) & 0x09249249u;
  return x;
}

// Stable sort of keys by their upper 32 bits, four byte passes.
void sortByUpperHalf(std::vector<std::uint64_t>& keys) {
  std::vector<std::uint64_t> buffer(keys.size());
  for (int shift = 32; shift < 64; shift += 8) {
    std::size_t counts[257] = {};
    for (std::uint64_t key : keys) ++counts[((key >> shift) & 0xff) + 1];
    for (int b = 0; b < 256; ++b) counts[b + 1] += counts[b];
    for (std::uint64_t key : keys) buffer[counts[(key >> shift) & 0xff]++] = key;
    keys.swap(buffer);
  }
}
} // namespace

template <class T> void TriangleHierarchy<T>::clear() {
  _nodes.clear();
  _nodes.shrink_to_fit();
  _order.clear();
  _order.shrink_to_fit();
  _margin = 0.0;
}

template <class T>
void TriangleHierarchy<T>::build(int numTriangles, const int* triples, const T* const* vertices) {
  clear();
  // Box of the centres (for the Morton grid) and the largest coordinate (for the margin).
  double low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
  double largest = 0.0;
  int live = 0;
  for (int t = 0; t < numTriangles; ++t) {
    const int* triple = triples + 3 * static_cast<std::size_t>(t);
    if (triple[0] < 0) continue;
    ++live;
    for (int axis = 0; axis < 3; ++axis) {
      double centre = 0.0;
      for (int k = 0; k < 3; ++k) {
        const double x = vertices[triple[k]][axis];
        centre += x;
        largest = std::max(largest, std::abs(x));
      }
      centre /= 3.0;
      low[axis] = std::min(low[axis], centre);
      high[axis] = std::max(high[axis], centre);
    }
  }
  if (live == 0) return;
  _margin = largest * 1e-4;

  std::vector<std::uint64_t> keys;
  keys.reserve(live);
  for (int t = 0; t < numTriangles; ++t) {
    const int* triple = triples + 3 * static_cast<std::size_t>(t);
    if (triple[0] < 0) continue;
    std::uint32_t code = 0;
    for (int axis = 0; axis < 3; ++axis) {
      double centre = 0.0;
      for (int k = 0; k < 3; ++k) centre += vertices[triple[k]][axis];
      centre /= 3.0;
      const double extent = high[axis] - low[axis];
      const double unit = extent > 0 ? (centre - low[axis]) / extent : 0.0;
      code |= spreadBits(static_cast<std::uint32_t>(std::min(1023.0, std::max(0.0, unit * 1023.0)))) << axis;
    }
    keys.push_back((static_cast<std::uint64_t>(code) << 32) | static_cast<std::uint32_t>(t));
  }
  sortByUpperHalf(keys);
  _order.resize(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) _order[k] = static_cast<int>(keys[k] & 0xffffffffu);
  keys = std::vector<std::uint64_t>();

  _nodes.reserve(2 * (_order.size() / leafSize + 1));
  buildNode(0, static_cast<int>(_order.size()), triples, vertices);
}

template <class T>
int TriangleHierarchy<T>::buildNode(int first, int count, const int* triples, const T* const* vertices) {
  const int index = static_cast<int>(_nodes.size());
  _nodes.push_back(Node());
  if (count <= leafSize) {
    Node& leaf = _nodes[index];
    leaf.first = first;
    leaf.count = count;
    const T* p0 = vertices[triples[3 * static_cast<std::size_t>(_order[first])]];
    std::copy(p0, p0 + 3, leaf.lower);
    std::copy(p0, p0 + 3, leaf.upper);
    for (int e = first; e < first + count; ++e) {
      for (int k = 0; k < 3; ++k) {
        const T* p = vertices[triples[3 * static_cast<std::size_t>(_order[e]) + k]];
        for (int axis = 0; axis < 3; ++axis) {
          leaf.lower[axis] = std::min(leaf.lower[axis], p[axis]);
          leaf.upper[axis] = std::max(leaf.upper[axis], p[axis]);
        }
      }
    }
    return index;
  }
  const int half = count / 2;
  buildNode(first, half, triples, vertices);
  const int second = buildNode(first + half, count - half, triples, vertices);
  Node& node = _nodes[index];
  const Node& a = _nodes[index + 1];
  const Node& b = _nodes[second];
  node.first = second;
  node.count = 0;
  for (int axis = 0; axis < 3; ++axis) {
    node.lower[axis] = std::min(a.lower[axis], b.lower[axis]);
    node.upper[axis] = std::max(a.upper[axis], b.upper[axis]);
  }
  return index;
}

template <class T>
bool TriangleHierarchy<T>::segmentMeets(const Node& node, const double* a, const double* direction,
                                        double margin) {
  double enter = 0.0, leave = 1.0;
  for (int axis = 0; axis < 3; ++axis) {
    const double lower = double(node.lower[axis]) - margin;
    const double upper = double(node.upper[axis]) + margin;
    if (direction[axis] == 0.0) {
      if (a[axis] < lower || a[axis] > upper) return false;
      continue;
    }
    double t1 = (lower - a[axis]) / direction[axis];
    double t2 = (upper - a[axis]) / direction[axis];
    if (t1 > t2) std::swap(t1, t2);
    enter = std::max(enter, t1);
    leave = std::min(leave, t2);
    if (enter > leave) return false;
  }
  return true;
}

template <class T>
void TriangleHierarchy<T>::segmentCandidates(const T* a, const T* b, std::vector<int>& candidates) const {
  // Integer coordinates are exact; the slab test itself rounds in double.
  const double unitInTheLastPlace =
      std::max(std::is_floating_point_v<T> ? double(std::numeric_limits<T>::epsilon()) : 0.0,
               std::numeric_limits<double>::epsilon());
  if (_nodes.empty()) return;
  const double start[3] = {double(a[0]), double(a[1]), double(a[2])};
  const double direction[3] = {double(b[0]) - start[0], double(b[1]) - start[1], double(b[2]) - start[2]};
  double largest = 0.0;
  for (int axis = 0; axis < 3; ++axis)
    largest = std::max({largest, std::abs(start[axis]), std::abs(double(b[axis]))});
  const double margin = _margin + roundingSlack * unitInTheLastPlace * largest;
  int stack[128];
  int depth = 0;
  stack[depth++] = 0;
  while (depth > 0) {
    const int index = stack[--depth];
    const Node& node = _nodes[index];
    if (!segmentMeets(node, start, direction, margin)) continue;
    if (node.count > 0) {
      candidates.insert(candidates.end(), _order.begin() + node.first,
                        _order.begin() + node.first + node.count);
      continue;
    }
    stack[depth++] = node.first;
    stack[depth++] = index + 1;
  }
}

template <class T> double TriangleHierarchy<T>::squareDistance(const Node& node, const T* p) const {
  double sum = 0.0;
  for (int axis = 0; axis < 3; ++axis) {
    const double x = p[axis];
    const double gap = std::max({double(node.lower[axis]) - x, x - double(node.upper[axis]), 0.0});
    sum += gap * gap;
  }
  return sum;
}

template <class T> std::size_t TriangleHierarchy<T>::memoryBytes() const {
  return _nodes.capacity() * sizeof(Node) + _order.capacity() * sizeof(int);
}

template class TriangleHierarchy<int>;
template class TriangleHierarchy<float>;
template class TriangleHierarchy<double>;
template class TriangleHierarchy<long double>;
