#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The star of every vertex of a triangle mesh: the positions of the triangles that use it, in the
// order they were added. All lists live in one shared pool (offset, size and capacity per vertex)
// instead of one heap block per vertex: a mesh of a million vertices then costs a few arrays, not a
// million allocations. A list that outgrows its room moves to the end of the pool; the pool is
// compacted when more than half of it is abandoned room.
class TriangleStars {
public:
  // === Size
  int getNumVertices() const { return static_cast<int>(_size.size()); }
  void resize(int numVertices); // new vertices get empty stars; dropped ones lose theirs
  void clear();                 // every vertex keeps an empty star

  // === Reading
  int size(int vertex) const { return _size[vertex]; }
  const int* begin(int vertex) const { return _pool.data() + _offset[vertex]; }
  const int* end(int vertex) const { return begin(vertex) + _size[vertex]; }
  std::vector<int> star(int vertex) const { return std::vector<int>(begin(vertex), end(vertex)); }

  // === Changes
  void add(int vertex, int triangle);
  void remove(int vertex, int triangle); // drops the first occurrence; nothing when absent
  void erase(int vertex);                // drops position vertex, the later vertices move down by one

  // Replaces all stars by those of the given triangles (three vertex numbers each, numTriangles
  // triples, every number in 0 .. numVertices - 1, triangles with a negative first number skipped),
  // each list laid out at its exact size.
  void build(const int* triples, int numTriangles, int numVertices);

  // Bytes held, for the memory accounting of meshes.
  std::size_t memoryBytes() const;

private:
  void grow(int vertex);
  void compact();

  std::vector<std::size_t> _offset;
  std::vector<int> _size;
  std::vector<int> _capacity;
  std::vector<int> _pool;
  std::size_t _abandoned = 0; // pool entries no list owns any more
};
