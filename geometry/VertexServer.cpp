#include "geometry/VertexServer.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/HugePages.h"

#include <algorithm>
#include <new>
#include <ostream>

// A store holds one Vector object per vertex: a larger one costs megabytes on a large mesh.
static_assert(sizeof(Vector<float>) <= 2 * sizeof(void*));

template <class T>
VertexServer<T>::VertexServer(int space, int size, int capacity, int growth)
    : _space(space), _size(std::max(size, 0)), _growth(growth < 1 ? size : growth) {
  if (capacity < _size) capacity = _size; // covers capacity < 1: the size's slots always exist
  addBlock(0, capacity);
}

template <class T>
VertexServer<T>::VertexServer(const VertexServer& other)
    : _space(other._space), _size(other._size), _growth(other._growth) {
  addBlock(0, other.getCapacity());
  for (std::size_t i = 0; i < _slots.size(); ++i) *_slots[i] = *other._slots[i];
}

template <class T> VertexServer<T>::~VertexServer() {
  clear();
}

template <class T> void VertexServer<T>::clear() {
  for (Block& block : _blocks) releaseBlock(block);
  _blocks.clear();
  _slots.clear();
  _size = 0;
}

template <class T> void VertexServer<T>::addBlock(int first, int count) {
  if (count < 1) return;
  const std::size_t n = static_cast<std::size_t>(count);
  const std::size_t space = static_cast<std::size_t>(std::max(_space, 0));
  Block block{first, count, nullptr, nullptr};
  block.coordinates = new T[n * space];
  block.vertices = static_cast<Vector<T>*>(::operator new(n * sizeof(Vector<T>)));
  adviseHugePages(block.coordinates, n * space * sizeof(T));
  adviseHugePages(block.vertices, n * sizeof(Vector<T>));
  for (std::size_t i = 0; i < n; ++i)
    new (block.vertices + i) Vector<T>(static_cast<int>(space), block.coordinates + i * space);
  _blocks.push_back(block);
  if (first == 0) reserveOnHugePages(_slots, n);
  _slots.resize(static_cast<std::size_t>(first) + n);
  for (std::size_t i = 0; i < n; ++i) _slots[static_cast<std::size_t>(first) + i] = block.vertices + i;
}

template <class T> void VertexServer<T>::releaseBlock(Block& block) {
  for (int i = 0; i < block.count; ++i) block.vertices[i].~Vector<T>();
  ::operator delete(block.vertices);
  delete[] block.coordinates;
}

template <class T> int VertexServer<T>::capacityFor(int size) const {
  const int step = _growth < 1 ? 1 : _growth;
  const long long capacity = getCapacity();
  const long long missing = size - capacity;
  return static_cast<int>(capacity + (missing + step - 1) / step * step);
}

template <class T> void VertexServer<T>::setSize(int size) {
  if (size > getCapacity()) setCapacity(capacityFor(size));
  _size = size;
}

template <class T> void VertexServer<T>::setCapacity(int capacity) {
  capacity = std::max(capacity, 0);
  const int old = getCapacity();
  if (capacity == old) return;
  while (!_blocks.empty() && _blocks.back().first >= capacity) {
    releaseBlock(_blocks.back());
    _blocks.pop_back();
  }
  _slots.resize(static_cast<std::size_t>(std::min(capacity, old)));
  addBlock(old < capacity ? old : capacity, capacity - old);
  _size = std::min(_size, capacity);
}

template <class T> void VertexServer<T>::append(const VertexServer& other) {
  const char* const where = OSTREL_HERE;
  if (&other == this) throwError<ValueError>(where, "Cannot append server to itself");
  if (other._space != _space) throwError<ValueError>(where, "Incompatible server space dimension");
  const int first = _size;
  setSize(_size + other._size);
  for (int i = 0; i < other._size; ++i) vertex(first + i) = other.vertex(i);
}

template <class T> void VertexServer<T>::deref() {
  if (_refs < 1) return;
  if (--_refs == 0) delete this;
}

template <class T> void VertexServer<T>::print(const std::string& title, std::ostream& os) const {
  if (!title.empty()) os << title << "\n";
  os << "  address  = " << static_cast<const void*>(this) << "\n";
  os << "  refs     = " << _refs << "\n";
  os << "  space    = " << _space << "\n";
  os << "  capacity = " << getCapacity() << "\n";
  os << "  size     = " << _size << "\n";
  os << "  growth   = " << _growth << "\n";
  for (int i = 0; i < _size; ++i)
    os << "    " << i << ": " << static_cast<const void*>(_slots[static_cast<std::size_t>(i)]) << "\n";
}

template class VertexServer<int>;
template class VertexServer<float>;
template class VertexServer<double>;
template class VertexServer<long double>;
