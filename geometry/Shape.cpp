#include "geometry/Shape.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/FileInfo.h"
#include "foundation/Matrix.h"
#include "foundation/StageTimes.h"
#include "geometry/EdgeIterator.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/VertexIterator.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <ostream>
#include <type_traits>
#include <utility>

namespace {

// Opens a shape file for reading; directories and unreadable files are refused.
void openForReading(std::ifstream& file, const std::string& path, const char* where) {
  std::error_code error;
  if (!std::filesystem::is_directory(path, error)) file.open(path, std::ios_base::in | std::ios_base::binary);
  if (!file.is_open()) throwFileError<FileReadError>(where, "Cannot open file for reading", path);
}

template <class T> T squareDistance(const Vector<T>& a, const Vector<T>& b) {
  T sum = 0;
  for (int j = 0; j < a.getSize(); ++j) {
    const T d = a[j] - b[j];
    sum += d * d;
  }
  return sum;
}

template <class T> std::vector<const Vector<T>*> vertexList(const Shape<T>& shape) {
  std::vector<const Vector<T>*> vertices;
  vertices.reserve(static_cast<std::size_t>(shape.getNumVertices()));
  for (ConstVertexIterator<T> it(shape); it.current(); ++it) vertices.push_back(it.current());
  return vertices;
}

} // namespace

// === Construction

template <class T> Shape<T>::Shape() : _extensions(std::make_unique<ShapeSet<T>>()) {}

template <class T>
Shape<T>::Shape(int space, int size, int capacity, int growth)
    : VertexClient<T>(space, size, capacity, growth), _extensions(std::make_unique<ShapeSet<T>>()) {}

template <class T>
Shape<T>::Shape(const Shape& other)
    : VertexClient<T>(other), _extensions(std::make_unique<ShapeSet<T>>()), _name(other._name) {}

template <class T>
Shape<T>::Shape(Shape&& other)
    : VertexClient<T>(std::move(other)),
      _extensions(std::exchange(other._extensions, std::make_unique<ShapeSet<T>>())),
      _name(std::move(other._name)) {}

template <class T> Shape<T>::~Shape() = default;

// === Files

template <class T> void Shape<T>::load(const std::string& path) {
  std::ifstream file;
  openForReading(file, path, OSTREL_HERE);
  load(file, path);
}

template <class T> void Shape<T>::load(std::istream& in, const std::string& path) {
  try {
    read(in);
  } catch (FileError& e) {
    if (e.getFilename().empty()) e.setFilename(path);
    e.addWhere(OSTREL_HERE);
    throw;
  }
}

template <class T> void Shape<T>::save(const std::string& path, bool overwrite) const {
  const char* const where = OSTREL_HERE;
  const std::string extension = shapeTypeExtension(getShapeType());
  const std::string target = FileInfo::suffixName(path) == extension ? path : path + "." + extension;
  if (!overwrite && FileInfo::fileExists(target))
    throwFileError<FileWriteError>(where, "File already exists", target);
  std::ofstream file(target, std::ios_base::out | std::ios_base::trunc | std::ios_base::binary);
  if (!file.is_open()) throwFileError<FileWriteError>(where, "Cannot open file for writing", target);
  try {
    write(file);
  } catch (FileError& e) {
    e.setFilename(target);
    e.addWhere(where);
    throw;
  }
}

template <class T> std::vector<Vector<T>> Shape<T>::deformations(const Shape& other) const {
  if (other.getSpace() != getSpace() || other.getNumVertices() != getNumVertices())
    throwError<SizeError>(OSTREL_HERE, "Space or size mismatch between shapes");
  std::vector<Vector<T>> result;
  result.reserve(static_cast<std::size_t>(getNumVertices()));
  ConstVertexIterator<T> there(other);
  for (ConstVertexIterator<T> here(*this); here.current(); ++here, ++there) {
    Vector<T> d(getSpace());
    for (int j = 0; j < d.getSize(); ++j) d[j] = (*there.current())[j] - (*here.current())[j];
    result.push_back(d);
  }
  return result;
}

template <class T>
void Shape<T>::saveDeformations(const Shape& other, const std::string& path, bool overwrite) const {
  const char* const where = OSTREL_HERE;
  const std::vector<Vector<T>> displacements = deformations(other);
  if (!overwrite && FileInfo::fileExists(path))
    throwFileError<FileWriteError>(where, "File " + path + " already exists", path);
  std::ofstream file(path);
  if (!file.is_open()) throwFileError<FileWriteError>(where, "Cannot open file for writing", path);
  std::size_t k = 0;
  for (ConstVertexIterator<T> it(*this); it.current(); ++it, ++k) {
    for (int j = 0; j < getSpace(); ++j) file << (*it.current())[j] << '\t';
    for (int j = 0; j < getSpace(); ++j) file << displacements[k][j] << '\t';
    file << '\n';
  }
}

template <class T> int Shape<T>::readThrough(std::istream& is) {
  StageTimes::Stage stage("parsing");
  ShapeTextReader reader = ShapeTextReader::fromStream(is);
  const int code = readText(reader);
  reader.restore(is);
  return code;
}

// === Kind and iteration

template <class T> int Shape<T>::getSpace() const {
  return this->_server ? this->_server->getSpace() : 0;
}

template <class T> std::unique_ptr<ConcreteVertexIterator<T>> Shape<T>::vertexIterator() const {
  return std::make_unique<ConcreteVertexIterator<T>>();
}

template <class T> std::unique_ptr<ConcreteEdgeIterator<T>> Shape<T>::edgeIterator() const {
  return std::make_unique<ConcreteEdgeIterator<T>>();
}

// === Arithmetic

template <class T> Vector<T> Shape<T>::cog() const {
  const int n = getNumVertices();
  if (n == 0) throwError<SizeError>(OSTREL_HERE, "This shape contains no vertex");
  Vector<T> sum(getSpace());
  sum.fill(T(0));
  for (ConstVertexIterator<T> it(*this); it.current(); ++it) sum += *it.current();
  sum /= static_cast<T>(n);
  return sum;
}

template <class T> void Shape<T>::translate(const Vector<T>& t) {
  for (VertexIterator<T> it(*this); it.current(); ++it) *it.current() += t;
}

template <class T> void Shape<T>::scale(const Vector<T>& s) {
  if (s.getSize() != getSpace()) throwError<SizeError>(OSTREL_HERE, "Incorrect number of scales");
  for (VertexIterator<T> it(*this); it.current(); ++it) {
    Vector<T>& v = *it.current();
    for (int j = 0; j < s.getSize(); ++j) v[j] *= s[j];
  }
}

template <class T> void Shape<T>::scale(const T& s) {
  for (VertexIterator<T> it(*this); it.current(); ++it) *it.current() *= s;
}

template <class T> void Shape<T>::operator/=(T s) {
  for (VertexIterator<T> it(*this); it.current(); ++it) *it.current() /= s;
}

template <class T> void Shape<T>::multiply(const Matrix<T>& m) {
  const int rows = m.getSize1();
  const int columns = m.getSize2();
  if (rows != getSpace() || columns != getSpace())
    throwError<SizeError>(OSTREL_HERE, "Matrix size differs from the space dimension");
  Vector<T> product(rows);
  for (VertexIterator<T> it(*this); it.current(); ++it) {
    Vector<T>& v = *it.current();
    for (int i = 0; i < rows; ++i) {
      T sum = 0;
      for (int j = 0; j < columns; ++j) sum += m(i, j) * v[j];
      product[i] = sum;
    }
    v = product;
  }
}

template <class T> void Shape<T>::operator+=(const Shape& other) {
  if (other.getShapeType() != getShapeType() || other.getSpace() != getSpace() ||
      other.getNumVertices() != getNumVertices())
    throwError<UsageError>(OSTREL_HERE, "Shapes are not compatible for addition");
  ConstVertexIterator<T> there(other);
  for (VertexIterator<T> here(*this); here.current(); ++here, ++there) *here.current() += *there.current();
}

template <class T> void Shape<T>::operator-=(const Shape& other) {
  if (other.getShapeType() != getShapeType() || other.getSpace() != getSpace() ||
      other.getNumVertices() != getNumVertices())
    throwError<UsageError>(OSTREL_HERE, "Shapes are not compatible for addition");
  ConstVertexIterator<T> there(other);
  for (VertexIterator<T> here(*this); here.current(); ++here, ++there) *here.current() -= *there.current();
}

template <class T> Vector<T> Shape<T>::toVector() const {
  const int space = getSpace();
  Vector<T> result(space * getNumVertices());
  int k = 0;
  for (ConstVertexIterator<T> it(*this); it.current(); ++it)
    for (int j = 0; j < space; ++j) result[k++] = (*it.current())[j];
  return result;
}

template <class T> void Shape<T>::fromVector(const Vector<T>& v) {
  const int space = getSpace();
  if (v.getSize() != space * getNumVertices())
    throwError<UsageError>(OSTREL_HERE, "Size mismatch between this shape and the argument vector");
  int k = 0;
  for (VertexIterator<T> it(*this); it.current(); ++it)
    for (int j = 0; j < space; ++j) (*it.current())[j] = v[k++];
}

// === Distances

template <class T> Vector<T> Shape<T>::squareDistances(const Shape& other) const {
  const char* const where = OSTREL_HERE;
  if (&other == this) throwError<ValueError>(where, "Argument shape is equal to this");
  if (other.getNumVertices() != getNumVertices())
    throwError<SizeError>(where, "The two shapes have distinct sizes");
  Vector<T> result(getNumVertices());
  int k = 0;
  ConstVertexIterator<T> there(other);
  for (ConstVertexIterator<T> here(*this); here.current(); ++here, ++there)
    result[k++] = squareDistance(*here.current(), *there.current());
  return result;
}

template <class T> T Shape<T>::rmsDistance(const Shape& other) const {
  const Vector<T> d = squareDistances(other);
  if (d.getSize() == 0) return T(0);
  long double sum = 0;
  for (int i = 0; i < d.getSize(); ++i) sum += d[i];
  return static_cast<T>(std::sqrt(sum / d.getSize()));
}

template <class T> const Vector<T>* Shape<T>::nearestVertex(const Vector<T>& p) const {
  const Vector<T>* nearest = nullptr;
  T best = T(0);
  for (ConstVertexIterator<T> it(*this); it.current(); ++it) {
    const T d = squareDistance(*it.current(), p);
    if (!nearest || d < best) {
      nearest = it.current();
      best = d;
    }
  }
  return nearest;
}

template <class T> Vector<T>* Shape<T>::nearestVertex(const Vector<T>& p) {
  return const_cast<Vector<T>*>(static_cast<const Shape&>(*this).nearestVertex(p));
}

namespace {

// For every vertex of from, the position of the nearest vertex of to and the square distance to
// it; with self set, a vertex is never its own neighbour.
template <class T>
void nearestPairs(const std::vector<const Vector<T>*>& from, const std::vector<const Vector<T>*>& to,
                  bool self, Vector<int>& positions, Vector<T>& distances) {
  const int n = static_cast<int>(from.size());
  positions = Vector<int>(n);
  distances = Vector<T>(n);
  for (int i = 0; i < n; ++i) {
    int nearest = -1;
    T best = std::numeric_limits<T>::max();
    for (int j = 0; j < static_cast<int>(to.size()); ++j) {
      if (self && j == i) continue;
      const T d = squareDistance(*from[static_cast<std::size_t>(i)], *to[static_cast<std::size_t>(j)]);
      if (nearest < 0 || d < best) {
        nearest = j;
        best = d;
      }
    }
    positions[i] = nearest;
    distances[i] = best;
  }
}

} // namespace

template <class T> Vector<int> Shape<T>::nearestNeighbors() const {
  Vector<int> positions;
  Vector<T> distances;
  const auto vertices = vertexList(*this);
  nearestPairs(vertices, vertices, true, positions, distances);
  return positions;
}

template <class T> Vector<int> Shape<T>::nearestNeighbors(const Shape& other) const {
  Vector<int> positions;
  Vector<T> distances;
  nearestPairs(vertexList(*this), vertexList(other), false, positions, distances);
  return positions;
}

template <class T> Vector<T> Shape<T>::squareNearestNeighborDistances() const {
  Vector<int> positions;
  Vector<T> distances;
  const auto vertices = vertexList(*this);
  nearestPairs(vertices, vertices, true, positions, distances);
  return distances;
}

template <class T> Vector<T> Shape<T>::squareNearestNeighborDistances(const Shape& other) const {
  Vector<int> positions;
  Vector<T> distances;
  nearestPairs(vertexList(*this), vertexList(other), false, positions, distances);
  return distances;
}

template <class T> Vector<T> Shape<T>::nearestNeighborDistances(const Shape& other) const {
  if constexpr (std::is_integral_v<T>) {
    throwNotAvailableFor<T>(OSTREL_HERE);
  } else {
    Vector<T> distances = squareNearestNeighborDistances(other);
    for (int i = 0; i < distances.getSize(); ++i) distances[i] = std::sqrt(distances[i]);
    return distances;
  }
}

template <class T> BoundingBox<T> Shape<T>::boundingBox() const {
  ConstVertexIterator<T> it(*this);
  if (!it.current()) return BoundingBox<T>();
  Vector<T> lower(*it.current());
  Vector<T> upper(*it.current());
  for (++it; it.current(); ++it) {
    const Vector<T>& v = *it.current();
    for (int j = 0; j < lower.getSize(); ++j) {
      if (v[j] < lower[j]) lower[j] = v[j];
      if (v[j] > upper[j]) upper[j] = v[j];
    }
  }
  return BoundingBox<T>(lower, upper);
}

template <class T> void Shape<T>::print(const std::string& title, std::ostream& os) const {
  if (!title.empty()) os << title << "\n";
  VertexClient<T>::print("Shape: " + _name, os);
}

// === Iterator handles, defined here where Shape is complete

template <class T, bool ReadOnly>
VertexIterator<T, ReadOnly>::VertexIterator(ShapeType& shape) : _cursor(shape.vertexIterator()) {}

template <class T> EdgeIterator<T>::EdgeIterator(const Shape<T>& shape) : _iterator(shape.edgeIterator()) {}

#define OSTREL_INSTANTIATE(T)                                                                                \
  template class Shape<T>;                                                                                   \
  template class VertexIterator<T, false>;                                                                   \
  template class VertexIterator<T, true>;                                                                    \
  template class EdgeIterator<T>;

OSTREL_INSTANTIATE(int)
OSTREL_INSTANTIATE(float)
OSTREL_INSTANTIATE(double)
OSTREL_INSTANTIATE(long double)
