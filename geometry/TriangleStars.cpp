#include "geometry/TriangleStars.h"

#include "foundation/HugePages.h"

#include <algorithm>

void TriangleStars::resize(int numVertices) {
  const std::size_t n = numVertices < 0 ? 0 : static_cast<std::size_t>(numVertices);
  for (std::size_t v = n; v < _size.size(); ++v) _abandoned += _capacity[v];
  _offset.resize(n, _pool.size());
  _size.resize(n, 0);
  _capacity.resize(n, 0);
}

void TriangleStars::clear() {
  std::fill(_offset.begin(), _offset.end(), 0);
  std::fill(_size.begin(), _size.end(), 0);
  std::fill(_capacity.begin(), _capacity.end(), 0);
  _pool.clear();
  _abandoned = 0;
}

void TriangleStars::add(int vertex, int triangle) {
  if (_size[vertex] == _capacity[vertex]) grow(vertex);
  _pool[_offset[vertex] + _size[vertex]] = triangle;
  ++_size[vertex];
}

void TriangleStars::remove(int vertex, int triangle) {
  int* first = _pool.data() + _offset[vertex];
  int* last = first + _size[vertex];
  int* found = std::find(first, last, triangle);
  if (found == last) return;
  std::copy(found + 1, last, found);
  --_size[vertex];
}

void TriangleStars::erase(int vertex) {
  _abandoned += _capacity[vertex];
  _offset.erase(_offset.begin() + vertex);
  _size.erase(_size.begin() + vertex);
  _capacity.erase(_capacity.begin() + vertex);
}

void TriangleStars::build(const int* triples, int numTriangles, int numVertices) {
  const std::size_t n = numVertices < 0 ? 0 : static_cast<std::size_t>(numVertices);
  _size.clear();
  reserveOnHugePages(_size, n);
  _size.assign(n, 0);
  for (int t = 0; t < numTriangles; ++t) {
    const int* triple = triples + 3 * static_cast<std::size_t>(t);
    if (triple[0] < 0) continue;
    ++_size[triple[0]];
    ++_size[triple[1]];
    ++_size[triple[2]];
  }
  reserveOnHugePages(_offset, n);
  _offset.resize(n);
  std::size_t total = 0;
  for (std::size_t v = 0; v < n; ++v) {
    _offset[v] = total;
    total += _size[v];
  }
  _capacity = _size;
  _pool.clear();
  reserveOnHugePages(_pool, total);
  _pool.assign(total, 0);
  std::fill(_size.begin(), _size.end(), 0);
  for (int t = 0; t < numTriangles; ++t) {
    const int* triple = triples + 3 * static_cast<std::size_t>(t);
    if (triple[0] < 0) continue;
    for (int k = 0; k < 3; ++k) _pool[_offset[triple[k]] + _size[triple[k]]++] = t;
  }
  _abandoned = 0;
}

std::size_t TriangleStars::memoryBytes() const {
  return _offset.capacity() * sizeof(std::size_t) + (_size.capacity() + _capacity.capacity()) * sizeof(int) +
         _pool.capacity() * sizeof(int);
}

void TriangleStars::grow(int vertex) {
  if (_abandoned > _pool.size() / 2 && _abandoned > 1024) compact();
  const int oldCapacity = _capacity[vertex];
  const int newCapacity = oldCapacity < 4 ? 8 : 2 * oldCapacity;
  if (_offset[vertex] + oldCapacity == _pool.size()) { // the last list grows in place
    _pool.resize(_offset[vertex] + newCapacity, 0);
    _capacity[vertex] = newCapacity;
    return;
  }
  const std::size_t newOffset = _pool.size();
  // The list is copied by index: growing the pool may move it.
  _pool.resize(newOffset + newCapacity, 0);
  std::copy_n(_pool.begin() + _offset[vertex], _size[vertex], _pool.begin() + newOffset);
  _offset[vertex] = newOffset;
  _capacity[vertex] = newCapacity;
  _abandoned += oldCapacity;
}

void TriangleStars::compact() {
  std::vector<int> pool;
  pool.reserve(_pool.size() - _abandoned);
  for (std::size_t v = 0; v < _size.size(); ++v) {
    const std::size_t offset = pool.size();
    pool.insert(pool.end(), _pool.begin() + _offset[v], _pool.begin() + _offset[v] + _capacity[v]);
    _offset[v] = offset;
  }
  _pool.swap(pool);
  _abandoned = 0;
}
