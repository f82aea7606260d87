#include "geometry/VertexStack.h"

#include "foundation/ErrorThrowing.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/ShapeTextWriter.h"

#include <algorithm>
#include <ios>
#include <limits>
#include <ostream>
#include <utility>

namespace {

int defaultedSize(int value, int height, int width) {
  return value < 1 ? height * width : value;
}

} // namespace

// === Construction

template <class T>
VertexStack<T>::VertexStack(int space, int height, int width, int capacity, int growth, WithoutLevels)
    : Shape<T>(space, height * width, defaultedSize(capacity, height, width),
               defaultedSize(growth, height, width)) {}

template <class T>
VertexStack<T>::VertexStack(int space, int height, int width, int capacity, int growth)
    : VertexStack(space, height, width, capacity, growth, WithoutLevels()) {
  makeLevels(height, width);
}

template <class T> void VertexStack<T>::makeLevels(int height, int width) {
  for (int l = 0; l < height; ++l) {
    std::unique_ptr<Vertices<T>> level = newLevel();
    level->setServer(*this->_server);
    level->setSize(width, false);
    for (int k = 0; k < width; ++k) level->setIndex(k, l * width + k);
    _levels.push_back(std::move(level));
  }
}

template <class T> VertexStack<T>::VertexStack(const std::string& path) {
  this->load(path);
}

template <class T> VertexStack<T>::VertexStack(const VertexStack& other) : Shape<T>(other) {
  for (const auto& level : other._levels) _levels.push_back(sharingCopyOf(*level));
}

template <class T> void VertexStack<T>::assign(const VertexClient<T>& other) {
  if (&other == this) return;
  Shape<T>::assign(other);
  if (const auto* stack = dynamic_cast<const VertexStack*>(&other)) {
    clearLevels();
    for (const auto& level : stack->_levels) _levels.push_back(adoptLevel(*level));
  }
}

template <class T> VertexStack<T>::~VertexStack() = default;

template <class T> void VertexStack<T>::clearLevels() {
  _levels.clear();
}

// === Kind and access

template <class T> int VertexStack<T>::getSpace() const {
  if (this->_server) return this->_server->getSpace();
  return _levels.empty() ? 0 : _levels.front()->getSpace();
}

template <class T> int VertexStack<T>::getNumVertices() const {
  int n = 0;
  for (const auto& level : _levels) n += level->getNumVertices();
  return n;
}

template <class T> Vector<T>& VertexStack<T>::operator[](const Vector<unsigned int>& locator) {
  return (*this)[static_cast<int>(locator[0])].vertex(static_cast<int>(locator[1]));
}

template <class T> const Vector<T>& VertexStack<T>::operator[](const Vector<unsigned int>& locator) const {
  return (*this)[static_cast<int>(locator[0])].vertex(static_cast<int>(locator[1]));
}

// === Iteration (empty levels are skipped, so a walk reaches every vertex)

template <class T>
VertexStack<T>::__ConcreteVertexIterator::__ConcreteVertexIterator(const VertexStack& stack)
    : _stack(stack), _position(2) {
  startLevel(0);
}

template <class T>
VertexStack<T>::__ConcreteVertexIterator::__ConcreteVertexIterator(const __ConcreteVertexIterator& other)
    : ConcreteVertexIterator<T>(other), _stack(other._stack), _level(other._level),
      _inner(other._inner ? other._inner->clone() : nullptr), _position(2) {}

template <class T> void VertexStack<T>::__ConcreteVertexIterator::startLevel(int l) {
  _inner.reset();
  for (_level = l; _level < _stack.getHeight(); ++_level) {
    _inner = _stack[_level].vertexIterator();
    if (_inner->current()) return;
  }
  _inner.reset();
}

template <class T> Vector<T>* VertexStack<T>::__ConcreteVertexIterator::current() {
  return _inner ? _inner->current() : nullptr;
}

template <class T> const Vector<T>* VertexStack<T>::__ConcreteVertexIterator::current() const {
  return _inner ? std::as_const(*_inner).current() : nullptr;
}

template <class T> const Vector<unsigned int>& VertexStack<T>::__ConcreteVertexIterator::locator() const {
  _position[0] = static_cast<unsigned int>(_level);
  _position[1] = _inner ? _inner->locator()[0] : 0u;
  return _position;
}

template <class T> int VertexStack<T>::__ConcreteVertexIterator::currentServerIndex() const {
  return _inner ? _inner->currentServerIndex() : -1;
}

template <class T> void VertexStack<T>::__ConcreteVertexIterator::operator++() {
  if (!_inner) return;
  ++*_inner;
  if (!_inner->current()) startLevel(_level + 1);
}

template <class T> void VertexStack<T>::__ConcreteVertexIterator::rewind() {
  startLevel(0);
}

template <class T> std::unique_ptr<ConcreteVertexIterator<T>> VertexStack<T>::vertexIterator() const {
  return std::make_unique<__ConcreteVertexIterator>(*this);
}

// === Levels

template <class T> std::unique_ptr<Vertices<T>> VertexStack<T>::newLevel() const {
  return std::make_unique<Vertices<T>>();
}

template <class T> std::unique_ptr<Vertices<T>> VertexStack<T>::adoptLevel(const Vertices<T>& level) {
  if (!this->_server && level.getServer()) this->holdServer(const_cast<VertexServer<T>*>(level.getServer()));
  std::unique_ptr<Vertices<T>> copy = newLevel();
  copy->assign(level);
  return copy;
}

// The other stack's levels are listed first: it may be this very stack.
template <class T> std::vector<const Vertices<T>*> VertexStack<T>::levelList(const VertexStack& stack) {
  std::vector<const Vertices<T>*> levels;
  for (const auto& level : stack._levels) levels.push_back(level.get());
  return levels;
}

template <class T> void VertexStack<T>::append(const VertexStack& other) {
  const std::vector<const Vertices<T>*> levels = levelList(other);
  for (const Vertices<T>* level : levels) append(*level);
}

template <class T> void VertexStack<T>::prepend(const VertexStack& other) {
  const std::vector<const Vertices<T>*> levels = levelList(other);
  for (std::size_t l = 0; l < levels.size(); ++l) insert(static_cast<int>(l), *levels[l]);
}

template <class T> void VertexStack<T>::append(const Vertices<T>& level) {
  insert(getHeight(), level);
}

template <class T> void VertexStack<T>::prepend(const Vertices<T>& level) {
  insert(0, level);
}

template <class T> void VertexStack<T>::insert(int position, const Vertices<T>& level) {
  _levels.insert(_levels.begin() + position, adoptLevel(level));
}

template <class T> void VertexStack<T>::remove(unsigned int l) {
  _levels.erase(_levels.begin() + l);
}

template <class T> void VertexStack<T>::reverse() {
  std::reverse(_levels.begin(), _levels.end());
}

template <class T> void VertexStack<T>::sort(int axis) {
  // A level without vertex has no key and goes after all others.
  auto key = [&](int l) {
    const Vertices<T>& level = *_levels[static_cast<std::size_t>(l)];
    return level.getNumVertices() == 0 ? std::numeric_limits<T>::max() : level.vertex(0)[axis];
  };
  const int height = getHeight();
  for (int i = 0; i < height; ++i) {
    int smallest = i;
    for (int j = i + 1; j < height; ++j)
      if (key(j) < key(smallest)) smallest = j;
    std::swap(_levels[static_cast<std::size_t>(i)], _levels[static_cast<std::size_t>(smallest)]);
  }
}

template <class T> Vertices<T> VertexStack<T>::cat() const {
  Vertices<T> joined;
  const bool shared = std::all_of(_levels.begin(), _levels.end(),
                                  [&](const auto& level) { return level->getServer() == this->_server; });
  if (shared && this->_server) {
    joined.setServer(*const_cast<VertexServer<T>*>(this->getServer()));
    int k = 0;
    joined.setSize(getNumVertices(), false);
    for (const auto& level : _levels)
      for (int index : level->getIndexes()) joined.setIndex(k++, index);
  } else {
    for (const auto& level : _levels) joined.append(*level);
  }
  return joined;
}

template <class T> void VertexStack<T>::detach() {
  VertexServer<T>* server = this->_server;
  const bool shared = std::all_of(_levels.begin(), _levels.end(),
                                  [&](const auto& level) { return level->getServer() == server; });
  if (server && shared && server->getRefs() == 1 + getHeight()) return;
  auto* copy = new VertexServer<T>(getSpace(), getNumVertices(), 0, 0);
  this->holdServer(copy);
  int next = 0;
  for (const auto& level : _levels) {
    for (int k = 0; k < level->getNumVertices(); ++k) copy->vertex(next + k) = level->vertex(k);
    level->setServer(*copy);
    for (int k = 0; k < level->getNumVertices(); ++k) level->setIndex(k, next + k);
    next += level->getNumVertices();
  }
}

// === Files

template <class T> int VertexStack<T>::read(std::istream& is) {
  return this->readThrough(is);
}

template <class T> int VertexStack<T>::readText(ShapeTextReader& reader) {
  return readStack(reader);
}

template <class T> int VertexStack<T>::readStack(ShapeTextReader& reader) {
  // A header cut short leaves its missing items at 0, as a failed stream extraction would.
  int code = 0, space = 0, height = 0, n = 0;
  reader.readHeaderItem(code);
  reader.readHeaderItem(space);
  reader.readHeaderItem(height);
  if (space < 0) throwError<FileFormatError>(OSTREL_HERE, "Invalid space dimension");
  // Every level after the first announces its size in at least two characters ("#0").
  if (height < 0) throwError<FileFormatError>(OSTREL_HERE, "Invalid number of levels");
  if ((height > 0 && static_cast<long long>(height - 1) * 2 > static_cast<long long>(reader.remaining())))
    throwError<FileFormatError>(OSTREL_HERE, "More levels announced than the file holds");
  auto checkLevel = [&](int size) {
    if (size < 0) throwError<FileFormatError>(OSTREL_HERE, "Invalid number of vertices");
    if (size > 0 &&
        (space < 1 || static_cast<long long>(size) * space > static_cast<long long>(reader.remaining())))
      throwError<FileFormatError>(OSTREL_HERE, space < 1 ? "Invalid space dimension"
                                                         : "More vertices announced than the file holds");
  };
  if (height > 0 && !reader.readHeaderItem(n)) n = 0;
  checkLevel(n);

  clearLevels();
  auto* server = new VertexServer<T>(space, n, n, n);
  this->holdServer(server);
  int total = 0;
  for (int l = 0; l < height; ++l) {
    if (l > 0) {
      // A file cut short leaves the remaining levels empty, as a failed stream would.
      if (!reader.readHeaderItem(n)) n = 0;
      checkLevel(n);
      server->setSize(total + n);
    }
    std::unique_ptr<Vertices<T>> level = newLevel();
    level->setServer(*server);
    level->setSize(n, false);
    for (int k = 0; k < n; ++k) {
      level->setIndex(k, total + k);
      reader.readNumbers(server->vertex(total + k).data(), space);
    }
    _levels.push_back(std::move(level));
    total += n;
  }
  return code;
}

template <class T> void VertexStack<T>::write(std::ostream& os) const {
  writeStack(os, getShapeType(), OSTREL_HERE);
}

template <class T> void VertexStack<T>::writeStack(std::ostream& os, int code, const char* where) const {
  writeRaisingFileWriteErrors(os, where, [&] {
    ShapeTextWriter writer(os);
    const int space = getSpace();
    writer.headerItem(code);
    writer.headerItem(space);
    writer.headerItem(getHeight());
    for (const auto& level : _levels) {
      writer.text("\n\n");
      writer.headerItem(level->getNumVertices());
      for (int k = 0; k < level->getNumVertices(); ++k) writer.numbers(level->vertex(k).data(), space);
    }
    writer.flush();
  });
}

template <class T> void VertexStack<T>::print(const std::string& title, std::ostream& os) const {
  Shape<T>::print(title, os);
  os << " Height: " << getHeight() << "\n";
  for (const auto& level : _levels) level->print("", os);
}

template class VertexStack<int>;
template class VertexStack<float>;
template class VertexStack<double>;
template class VertexStack<long double>;
