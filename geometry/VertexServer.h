#pragma once

#include "foundation/Vector.h"

#include <iosfwd>
#include <string>
#include <vector>

// Reference-counted store of equally sized vertices shared by the shapes that are its clients.
// Each vertex is its own Vector<T> behind a slot pointer, so growing the store moves pointers and
// never vertex data: a reference to vertex(i) stays valid for as long as slot i exists.
// The vertices that one growth step adds are made as one block: their Vector objects in one array,
// each a view of its space elements in one array of coordinates, instead of two heap blocks per
// vertex (a million-vertex mesh would otherwise cost two million allocations and their overhead).
// A vertex is thus a fixed-size view: it takes values of its own size, it is never resized.
// Slots up to the capacity are all allocated; those at size and beyond hold undefined values.
// Indices are not checked: the shapes keep them in range. Not thread-safe.
template <class T> class VertexServer {
public:
  // === Construction
  // growth < 1 means growth = size; capacity < 1 means capacity = size; refs start at 0.
  VertexServer(int space, int size, int capacity, int growth);
  VertexServer(const VertexServer& other); // deep copy of every slot up to the capacity, refs 0
  VertexServer& operator=(const VertexServer&) = delete;
  ~VertexServer();

  // === Queries
  int getSpace() const { return _space; }
  int getSize() const { return _size; }
  int getGrowth() const { return _growth; }
  int getCapacity() const { return static_cast<int>(_slots.size()); }
  int getRefs() const { return _refs; }
  Vector<T>& vertex(int i) { return *_slots[static_cast<std::size_t>(i)]; }
  const Vector<T>& vertex(int i) const { return *_slots[static_cast<std::size_t>(i)]; }
  Vector<T>& operator[](int i) { return vertex(i); }
  const Vector<T>& operator[](int i) const { return vertex(i); }

  // === Changes
  void clear(); // deletes every vertex: capacity 0, size 0
  void setGrowth(int growth) { _growth = growth; }
  // Beyond the capacity, the capacity grows by steps of growth (1 when growth < 1) until it holds
  // size. Lowering the size keeps the slots.
  void setSize(int size);
  // Keeps the first min(capacity, old capacity) vertices in place, allocates new slots, deletes
  // those beyond capacity and clamps the size.
  void setCapacity(int capacity);
  // Copies the other server's vertices after this one's. Refuses itself and another space
  // (ValueError).
  void append(const VertexServer& other);

  // === Sharing
  void ref() { ++_refs; }
  // Releases one reference; the last one deletes the server (which must live on the heap).
  // A server that was never referenced is left alone.
  void deref();

  // Debug dump: address, counts, then the address of every vertex in use.
  void print(const std::string& title, std::ostream& os) const;

private:
  // The vertices of slots first .. first + count - 1, made together.
  struct Block {
    int first;
    int count;
    Vector<T>* vertices; // count objects constructed in raw storage
    T* coordinates;      // count * space elements
  };

  int capacityFor(int size) const;
  void addBlock(int first, int count); // makes the vertices of these slots
  void releaseBlock(Block& block);

  int _space;
  int _size;
  int _growth;
  int _refs = 0;
  std::vector<Vector<T>*> _slots; // length = capacity; std::vector keeps appending amortised
  std::vector<Block> _blocks;     // in slot order; a block cut by a lower capacity lives until wholly cut
};
