#include "geometry/VertexServer.h"

#include "foundation/Exception.h"

#include <algorithm>
#include <ostream>

template <class T>
VertexServer<T>::VertexServer(int space, int size, int capacity, int growth)
    : _space(space), _size(std::max(size, 0)), _growth(growth < 1 ? size : growth) {
  if (capacity < _size) capacity = _size; // covers capacity < 1: the size's slots always exist
  _slots.reserve(static_cast<std::size_t>(capacity));
  for (int i = 0; i < capacity; ++i) _slots.push_back(new Vector<T>(_space));
}

template <class T>
VertexServer<T>::VertexServer(const VertexServer& other)
    : _space(other._space), _size(other._size), _growth(other._growth) {
  _slots.reserve(other._slots.size());
  for (const Vector<T>* v : other._slots) _slots.push_back(new Vector<T>(*v));
}

template <class T> VertexServer<T>::~VertexServer() {
  clear();
}

template <class T> void VertexServer<T>::clear() {
  for (Vector<T>* v : _slots) delete v;
  _slots.clear();
  _size = 0;
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
  for (int i = capacity; i < old; ++i) delete _slots[static_cast<std::size_t>(i)];
  _slots.resize(static_cast<std::size_t>(capacity), nullptr);
  for (int i = old; i < capacity; ++i) _slots[static_cast<std::size_t>(i)] = new Vector<T>(_space);
  _size = std::min(_size, capacity);
}

template <class T> void VertexServer<T>::append(const VertexServer& other) {
  static const char* where = "void VertexServer<T>::append(const VertexServer&)";
  if (&other == this) {
    ValueError e;
    e.setWhere(where);
    e.setWhat("Cannot append server to itself");
    throw e;
  }
  if (other._space != _space) {
    ValueError e;
    e.setWhere(where);
    e.setWhat("Incompatible server space dimension");
    throw e;
  }
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
