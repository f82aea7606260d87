#include "geometry/Vertices.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/HugePages.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/ShapeTextWriter.h"

#include <algorithm>
#include <ios>
#include <ostream>

namespace {} // namespace

template <class T>
Vertices<T>::Vertices(int space, int n, int capacity, int growth) : Shape<T>(space, n, capacity, growth) {
  setSize(std::max(n, 0), true);
}

template <class T> Vertices<T>::Vertices(const std::string& path) {
  this->load(path);
}

template <class T> Vertices<T>::Vertices(const Vertices& other) : Shape<T>(other), _indexes(other._indexes) {}

template <class T> void Vertices<T>::assign(const VertexClient<T>& other) {
  if (&other == this) return;
  Shape<T>::assign(other);
  if (const auto* list = dynamic_cast<const Vertices*>(&other)) _indexes = list->_indexes;
}

// === Iteration

template <class T>
Vertices<T>::__ConcreteVertexIterator::__ConcreteVertexIterator(const Vertices& shape) : _shape(shape) {
  this->_locator.setSize(1);
  update();
}

template <class T> void Vertices<T>::__ConcreteVertexIterator::update() {
  this->_locator[0] = static_cast<unsigned int>(_k);
  this->_current = _k < _shape.getNumVertices() ? const_cast<Vector<T>*>(&_shape.vertex(_k)) : nullptr;
}

template <class T> int Vertices<T>::__ConcreteVertexIterator::currentServerIndex() const {
  return this->_current ? _shape.getIndex(_k) : -1;
}

template <class T> void Vertices<T>::__ConcreteVertexIterator::operator++() {
  if (!this->_current) return;
  ++_k;
  update();
}

template <class T> void Vertices<T>::__ConcreteVertexIterator::rewind() {
  _k = 0;
  update();
}

template <class T> std::unique_ptr<ConcreteVertexIterator<T>> Vertices<T>::vertexIterator() const {
  return std::make_unique<__ConcreteVertexIterator>(*this);
}

// === Changes

template <class T> void Vertices<T>::setSize(int n, bool continued) {
  const std::size_t old = _indexes.size();
  int next = old == 0 ? 0 : _indexes.back() + 1;
  if (old == 0) reserveOnHugePages(_indexes, static_cast<std::size_t>(std::max(n, 0)));
  _indexes.resize(static_cast<std::size_t>(std::max(n, 0)), 0);
  if (continued)
    for (std::size_t i = old; i < _indexes.size(); ++i) _indexes[i] = next++;
}

template <class T> void Vertices<T>::checkVertexSize(const Vector<T>& p, const char* where) const {
  if (this->_server && p.getSize() != this->_server->getSpace())
    throwError<SizeError>(where, "Vertex size differs from the space dimension");
}

// Runs inside the critical section, where nothing may throw: the vertex takes the coordinates that
// fit (the callers have checked the size before entering).
template <class T> int Vertices<T>::newSlot(const Vector<T>& p) {
  if (!this->_server) this->holdServer(new VertexServer<T>(p.getSize(), 0, 0, 0));
  VertexServer<T>& server = *this->_server;
  const int slot = server.getSize();
  server.setSize(slot + 1);
  Vector<T>& v = server.vertex(slot);
  for (int j = 0; j < v.getSize(); ++j) v[j] = j < p.getSize() ? p[j] : T(0);
  return slot;
}

template <class T> void Vertices<T>::append(const Vector<T>& p) {
  checkVertexSize(p, OSTREL_HERE);
#pragma omp critical(vertices_vertex_operation)
  _indexes.push_back(newSlot(p));
}

template <class T> void Vertices<T>::prepend(const Vector<T>& p) {
  checkVertexSize(p, OSTREL_HERE);
#pragma omp critical(vertices_vertex_operation)
  _indexes.insert(_indexes.begin(), newSlot(p));
}

template <class T> void Vertices<T>::insert(int i, const Vector<T>& p) {
  checkVertexSize(p, OSTREL_HERE);
#pragma omp critical(vertices_vertex_operation)
  _indexes.insert(_indexes.begin() + i, newSlot(p));
}

template <class T> void Vertices<T>::append(const Vertices& other) {
  const int n = other.getNumVertices();
  for (int i = 0; i < n; ++i) append(Vector<T>(other.vertex(i)));
}

template <class T> void Vertices<T>::remove(int i) {
#pragma omp critical(vertices_vertex_operation)
  _indexes.erase(_indexes.begin() + i);
}

template <class T> void Vertices<T>::remove(int first, int last) {
#pragma omp critical(vertices_vertex_operation)
  _indexes.erase(_indexes.begin() + first, _indexes.begin() + last + 1);
}

template <class T> void Vertices<T>::removeOutside(int first, int last) {
#pragma omp critical(vertices_vertex_operation)
  {
    _indexes.erase(_indexes.begin() + last + 1, _indexes.end());
    _indexes.erase(_indexes.begin(), _indexes.begin() + first);
  }
}

template <class T> void Vertices<T>::reverse() {
#pragma omp critical(vertices_vertex_operation)
  std::reverse(_indexes.begin(), _indexes.end());
}

template <class T> void Vertices<T>::setOrigin(int i) {
#pragma omp critical(vertices_vertex_operation)
  std::rotate(_indexes.begin(), _indexes.begin() + i, _indexes.end());
}

template <class T> int Vertices<T>::findMin(int axis) const {
  int found = -1;
  for (int i = 0; i < getNumVertices(); ++i)
    if (found < 0 || vertex(i)[axis] < vertex(found)[axis]) found = i;
  return found;
}

template <class T> int Vertices<T>::findMax(int axis) const {
  int found = -1;
  for (int i = 0; i < getNumVertices(); ++i)
    if (found < 0 || vertex(i)[axis] > vertex(found)[axis]) found = i;
  return found;
}

// === Files

template <class T> int Vertices<T>::read(std::istream& is) {
  return this->readThrough(is);
}

template <class T> int Vertices<T>::readText(ShapeTextReader& reader) {
  return readFlat(reader);
}

template <class T> int Vertices<T>::readFlat(ShapeTextReader& reader) {
  // A header cut short leaves its missing items at 0, as a failed stream extraction would: the
  // file then reads as a shape without vertex. An integer out of range stays at its limit and is
  // refused below with the counts the file cannot hold.
  int code = 0, space = 0, n = 0;
  reader.readHeaderItem(code);
  reader.readHeaderItem(space);
  reader.readHeaderItem(n);
  // Every coordinate takes at least one character, so the rest of the text bounds the counts.
  if (space < 0 ||
      (n > 0 && (space < 1 || static_cast<long long>(space) > static_cast<long long>(reader.remaining()))))
    throwError<FileFormatError>(OSTREL_HERE, "Invalid space dimension");
  if (n < 0) throwError<FileFormatError>(OSTREL_HERE, "Invalid number of vertices");
  if (static_cast<long long>(n) * space > static_cast<long long>(reader.remaining()))
    throwError<FileFormatError>(OSTREL_HERE, "More vertices announced than the file holds");
  VertexServer<T>* server = new VertexServer<T>(space, n, n, n);
  this->holdServer(server);
  _indexes.clear();
  setSize(n, true);
  readVertices(reader, 0, n);
  return code;
}

template <class T> void Vertices<T>::readVertices(ShapeTextReader& reader, int first, int n) {
  VertexServer<T>& server = *this->_server;
  const int space = server.getSpace();
  for (int i = 0; i < n; ++i) reader.readNumbers(server.vertex(first + i).data(), space);
}

template <class T> void Vertices<T>::write(std::ostream& os) const {
  writeFlat(os, getShapeType(), OSTREL_HERE);
}

template <class T> void Vertices<T>::writeFlat(std::ostream& os, int code, const char* where) const {
  writeRaisingFileWriteErrors(os, where, [&] {
    ShapeTextWriter writer(os);
    const int space = this->getSpace();
    writer.headerItem(code);
    writer.headerItem(space);
    writer.headerItem(getNumVertices());
    for (int i = 0; i < getNumVertices(); ++i) writer.numbers(vertex(i).data(), space);
    writer.flush();
  });
}

template <class T> void Vertices<T>::print(const std::string& title, std::ostream& os) const {
  Shape<T>::print(title, os);
  os << " Size = " << getNumVertices() << "\n";
  os << " Indexes = \n";
  for (int index : _indexes) os << "   " << index << "\n";
}

template class Vertices<int>;
template class Vertices<float>;
template class Vertices<double>;
template class Vertices<long double>;
