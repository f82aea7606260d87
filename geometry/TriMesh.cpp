#include "geometry/TriMesh.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/HugePages.h"
#include "foundation/StageTimes.h"
#include "geometry/ShapeTextReader.h"
#include "geometry/ShapeTextWriter.h"
#include "geometry/ShapeType.h"
#include "geometry/TriMeshQuery.h"
#include "geometry/TriangleGeometry.h"

#include <algorithm>
#include <cmath>
#include <omp.h>
#include <ostream>
#include <type_traits>

namespace {
// Arc cosine to within 2e-8 (Abramowitz and Stegun 4.4.46), several times faster than the library's:
// the weights of millions of corners are computed at every change of the vertices.
template <class T> T arcCosine(T x) {
  const T y = std::abs(x);
  T p = T(-0.0012624911);
  p = p * y + T(0.0066700901);
  p = p * y + T(-0.0170881256);
  p = p * y + T(0.0308918810);
  p = p * y + T(-0.0501743046);
  p = p * y + T(0.0889789874);
  p = p * y + T(-0.2145988016);
  p = p * y + T(1.5707963050);
  const T angle = std::sqrt(T(1) - y) * p;
  return x < 0 ? T(3.14159265358979323846) - angle : angle;
}

// The angle between u and v (lengths given) as Vector::angle gives it, except that a cosine pushed
// past +-1 by rounding is clamped and a zero-length side gives 0, so that slivers cannot make a normal NaN.
template <class T> T cornerAngle(const T* u, const T* v, T lengths) {
  if (!(lengths > T(0))) return T(0);
  const T cosine = std::clamp((u[0] * v[0] + u[1] * v[1] + u[2] * v[2]) / lengths, T(-1), T(1));
  if constexpr (std::is_same_v<T, float>)
    return arcCosine(cosine);
  else
    return std::acos(cosine);
}

template <class T> T length(const T* u) {
  return std::sqrt(u[0] * u[0] + u[1] * u[1] + u[2] * u[2]);
}

// Divides v by its norm when the norm is positive, as Vector::normalize does.
template <class T> void normalizeInPlace(T* v) {
  const T norm = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (norm > T(0)) v[0] /= norm, v[1] /= norm, v[2] /= norm;
}

void requireSpace3(int space, const char* where) {
  if (space != 3) throwError<SizeError>(where, "Triangle meshes need three coordinates per vertex");
}
} // namespace

// === Construction

template <class T> TriMesh<T>::TriMesh() = default;

template <class T>
TriMesh<T>::TriMesh(int space, int n, int capacity, int growth) : Vertices<T>(space, n, capacity, growth) {}

template <class T> TriMesh<T>::TriMesh(const Vertices<T>& vertices) : Vertices<T>(vertices) {}

template <class T> TriMesh<T>::TriMesh(const std::string& path) {
  this->load(path);
}

template <class T> TriMesh<T>::TriMesh(const TriMesh& other) : Vertices<T>(other) {
  copyMeshData(other);
}

template <class T> TriMesh<T>::~TriMesh() = default;

template <class T> void TriMesh<T>::assign(const VertexClient<T>& other) {
  if (&other == this) return;
  Vertices<T>::assign(other);
  if (auto mesh = dynamic_cast<const TriMesh*>(&other)) {
    copyMeshData(*mesh);
  } else {
    clearTriangles();
    _normals.clear();
    _vertexColors.reset();
  }
}

template <class T> void TriMesh<T>::copyMeshData(const TriMesh& other) {
  _triangleIndexes = other._triangleIndexes;
  _triangles.clear();
  _stars = other._stars;
  _starsBuilt = other._starsBuilt;
  _normals = other._normals;
  _vertexColors.reset(other._vertexColors ? new TriMesh<int>(*other._vertexColors) : nullptr);
  if (_vertexColors) _vertexColors->detach();
}

template <class T> int TriMesh<T>::getShapeType() const {
  return shapeTypeCode(ShapeType::TriMesh);
}

template <class T> void TriMesh<T>::detach() {
  Vertices<T>::detach();
  if (!this->_server) return;
  for (auto& kept : _triangles)
    if (kept) kept->setServer(*this->_server);
}

// === Triangles

template <class T> void TriMesh<T>::dropStars() {
  _stars = TriangleStars();
  _starsBuilt = false;
}

template <class T> void TriMesh<T>::clearTriangles() {
  _triangleIndexes.clear();
  _triangles.clear();
  dropStars();
}

template <class T> void TriMesh<T>::appendTriangle(int a, int b, int c) {
  const int t = getNumTriangles();
  _triangleIndexes.insert(_triangleIndexes.end(), {a, b, c});
  if (!_starsBuilt) return; // the stars are built from the whole table when first needed
  if (_stars.getNumVertices() < this->getNumVertices()) _stars.resize(this->getNumVertices());
  _stars.add(a, t);
  _stars.add(b, t);
  _stars.add(c, t);
}

template <class T> void TriMesh<T>::addTriangle(int a, int b, int c) {
  const int n = this->getNumVertices();
  if (a < 0 || b < 0 || c < 0 || a >= n || b >= n || c >= n)
    throwError<ValueError>(OSTREL_HERE, "Triangle vertex number out of range");
  appendTriangle(a, b, c);
}

template <class T> void TriMesh<T>::addTriangle(const Vector<int>& triple) {
  addTriangle(triple[0], triple[1], triple[2]);
}

template <class T> void TriMesh<T>::setTriangles(const std::vector<Vector<int>>& triples) {
  clearTriangles();
  for (const Vector<int>& triple : triples) addTriangle(triple);
}

template <class T> void TriMesh<T>::setTriangleIndexes(std::vector<int> numbers) {
  const int n = this->getNumVertices();
  for (int number : numbers)
    if (number < 0 || number >= n) throwError<ValueError>(OSTREL_HERE, "Triangle vertex number out of range");
  clearTriangles();
  _triangleIndexes = std::move(numbers);
  _triangleIndexes.resize(_triangleIndexes.size() / 3 * 3);
}

template <class T> void TriMesh<T>::removeTriangle(int t) {
  int* triple = _triangleIndexes.data() + 3 * static_cast<std::size_t>(t);
  if (triple[0] < 0) return;
  // A vertex named at two corners has the triangle twice in its star and loses both entries.
  if (_starsBuilt)
    for (int k = 0; k < 3; ++k) _stars.remove(triple[k], t);
  triple[0] = triple[1] = triple[2] = -1;
  if (static_cast<std::size_t>(t) < _triangles.size()) _triangles[t].reset();
}

template <class T> void TriMesh<T>::remove(int v) {
  const std::vector<int> triangles = star(v);
  for (int t : triangles) removeTriangle(t);
  const bool normals = hasNormals();
  const std::size_t space = static_cast<std::size_t>(this->getSpace());
  Vertices<T>::remove(v);
  if (normals) _normals.erase(_normals.begin() + space * v, _normals.begin() + space * (v + 1));
  if (v < _stars.getNumVertices()) _stars.erase(v);
  for (int& number : _triangleIndexes)
    if (number > v) --number;
}

template <class T> Triangle<T>* TriMesh<T>::triangle(int t) {
  return const_cast<Triangle<T>*>(static_cast<const TriMesh&>(*this).triangle(t));
}

template <class T> const Triangle<T>* TriMesh<T>::triangle(int t) const {
  const int* triple = getTriangleVertices(t);
  if (triple[0] < 0) return nullptr;
  if (_triangles.size() < static_cast<std::size_t>(getNumTriangles())) _triangles.resize(getNumTriangles());
  auto& kept = _triangles[t];
  if (!kept) kept.reset(new Triangle<T>(*this, triple[0], triple[1], triple[2]));
  return kept.get();
}

template <class T> Vector<int> TriMesh<T>::getTriangleIndexes(int t) const {
  return Vector<int>(3, const_cast<int*>(getTriangleVertices(t)));
}

// === Stars and neighbours

template <class T> const TriangleStars& TriMesh<T>::stars() const {
  if (!_starsBuilt) {
    StageTimes::Stage stage("stars");
    _stars.build(_triangleIndexes.data(), getNumTriangles(), this->getNumVertices());
    _starsBuilt = true;
  } else if (_stars.getNumVertices() < this->getNumVertices()) {
    _stars.resize(this->getNumVertices());
  }
  return _stars;
}

template <class T> std::vector<int> TriMesh<T>::star(int v) const {
  if (v >= stars().getNumVertices()) return {};
  return _stars.star(v);
}

template <class T> std::vector<int> TriMesh<T>::neighbours(int v) const {
  std::vector<int> list;
  forEachNeighbour(v, [&list](int n) { list.push_back(n); });
  return list;
}

// === Normals

template <class T> void TriMesh<T>::setNormal(int v, const Vector<T>& n) {
  std::copy_n(n.data(), this->getSpace(), _normals.data() + static_cast<std::size_t>(v) * this->getSpace());
}

template <class T> void TriMesh<T>::faceNormalAndAngles(int t, T* face) const {
  const int* triple = getTriangleVertices(t);
  const T* a = this->vertex(triple[0]).data();
  const T* b = this->vertex(triple[1]).data();
  const T* c = this->vertex(triple[2]).data();
  TriangleGeometry<T>::normal(a, b, c, face);
  normalizeInPlace(face);
  T ab[3], ac[3], ba[3], bc[3], ca[3], cb[3];
  for (int i = 0; i < 3; ++i) {
    ab[i] = b[i] - a[i], ac[i] = c[i] - a[i];
    ba[i] = a[i] - b[i], bc[i] = c[i] - b[i];
    ca[i] = c[i] - a[i], cb[i] = c[i] - b[i];
  }
  // Each side's length serves two corners.
  const T lengthAB = length(ab), lengthAC = length(ac), lengthBC = length(bc);
  face[3] = cornerAngle(ab, ac, lengthAB * lengthAC);
  face[4] = cornerAngle(ba, bc, lengthAB * lengthBC);
  face[5] = cornerAngle(ca, cb, lengthAC * lengthBC);
}

template <class T> void TriMesh<T>::computeNormals() {
  const char* const where = OSTREL_HERE;
  refuseIntegers<T>(where);
  StageTimes::Stage stage("normals");
  const int n = this->getNumVertices();
  if (n > 0) requireSpace3(this->getSpace(), where);
  reserveOnHugePages(_normals, 3 * static_cast<std::size_t>(n));
  _normals.assign(3 * static_cast<std::size_t>(n), T(0));
  if (n == 0) return;

  // A block of triangles at a time, the threads first compute their unit normals and interior angles,
  // then add them to the corners, each thread to the vertices of its own range, in triangle order:
  // every vertex's sum is that of a sequential pass whatever the number of threads, and neither
  // stars nor a table of all faces are needed. Blocks are large because a thread that reaches the
  // barrier first spins there: on a busy machine, a barrier per 65,536 triangles doubled the time.
  const int numTriangles = getNumTriangles();
  const int blockSize = std::min(numTriangles, 1 << 18);
  std::vector<T> faces(6 * static_cast<std::size_t>(blockSize));
#pragma omp parallel
  {
    const int threads = omp_get_num_threads(), thread = omp_get_thread_num();
    const int low = static_cast<int>(static_cast<long long>(n) * thread / threads);
    const int high = static_cast<int>(static_cast<long long>(n) * (thread + 1) / threads);
    for (int first = 0; first < numTriangles; first += blockSize) {
      const int count = std::min(blockSize, numTriangles - first);
#pragma omp for schedule(static)
      for (int i = 0; i < count; ++i)
        if (getTriangleVertices(first + i)[0] >= 0)
          faceNormalAndAngles(first + i, &faces[6 * std::size_t(i)]);
      for (int i = 0; i < count; ++i) {
        const int* triple = getTriangleVertices(first + i);
        if (triple[0] < 0) continue;
        const T* face = &faces[6 * static_cast<std::size_t>(i)];
        for (int k = 0; k < 3; ++k) {
          if (triple[k] < low || triple[k] >= high) continue;
          T* sum = &_normals[3 * static_cast<std::size_t>(triple[k])];
          for (int j = 0; j < 3; ++j) sum[j] = sum[j] + face[j] * face[3 + k];
        }
      }
#pragma omp barrier // the next block's faces overwrite these
    }
    for (int v = low; v < high; ++v) normalizeInPlace(&_normals[3 * static_cast<std::size_t>(v)]);
  }
}

template <class T> void TriMesh<T>::smoothNormals(int k) {
  computeNormals();
  const int n = this->getNumVertices();
  if (k < 1 || n == 0) return;
  stars(); // built here, before the threads read them
  std::vector<T> previous(3 * static_cast<std::size_t>(n));
  for (int pass = 0; pass < k; ++pass) {
    previous = _normals;
#pragma omp parallel for schedule(static)
    for (int v = 0; v < n; ++v) {
      const T* own = &previous[3 * static_cast<std::size_t>(v)];
      T sum[3] = {own[0], own[1], own[2]};
      bool any = false;
      forEachNeighbour(v, [&](int m) {
        const T* other = &previous[3 * static_cast<std::size_t>(m)];
        for (int i = 0; i < 3; ++i) sum[i] = sum[i] + other[i];
        any = true;
      });
      if (!any) continue;
      normalizeInPlace(sum);
      std::copy_n(sum, 3, &_normals[3 * static_cast<std::size_t>(v)]);
    }
  }
}

// === Vertex colours

template <class T> void TriMesh<T>::setVertexColors(TriMesh<int>* colors) {
  _vertexColors.reset();
  if (!colors) return;
  if (colors->getNumVertices() != this->getNumVertices()) {
    // Refused colours stay with the caller.
    throwError<SizeError>(OSTREL_HERE, "The number of colors differs from the number of vertices");
  }
  _vertexColors.reset(colors);
}

// === Measures and point queries

template <class T> T TriMesh<T>::area() const {
  double sum = 0.0;
  for (int t = 0; t < getNumTriangles(); ++t) {
    const int* triple = getTriangleVertices(t);
    if (triple[0] < 0) continue;
    T n[3];
    TriangleGeometry<T>::normal(this->vertex(triple[0]).data(), this->vertex(triple[1]).data(),
                                this->vertex(triple[2]).data(), n);
    sum += 0.5 * std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
  }
  return static_cast<T>(sum);
}

template <class T> T TriMesh<T>::volume() const {
  // Sum of the signed volumes of the tetrahedra joining the origin to every triangle.
  double sum = 0.0;
  for (int t = 0; t < getNumTriangles(); ++t) {
    const int* triple = getTriangleVertices(t);
    if (triple[0] < 0) continue;
    const Vector<T>& a = this->vertex(triple[0]);
    const Vector<T>& b = this->vertex(triple[1]);
    const Vector<T>& c = this->vertex(triple[2]);
    sum += (double(a[0]) * (double(b[1]) * c[2] - double(b[2]) * c[1]) +
            double(a[1]) * (double(b[2]) * c[0] - double(b[0]) * c[2]) +
            double(a[2]) * (double(b[0]) * c[1] - double(b[1]) * c[0])) /
           6.0;
  }
  return static_cast<T>(sum);
}

template <class T> T TriMesh<T>::equivalentRadius() const {
  const double pi = 3.14159265358979323846;
  return static_cast<T>(std::cbrt(3.0 * std::abs(double(volume())) / (4.0 * pi)));
}

template <class T> Vector<T> TriMesh<T>::centerOfGravity() const {
  double weighted[3] = {0, 0, 0}, total = 0.0;
  for (int t = 0; t < getNumTriangles(); ++t) {
    const int* triple = getTriangleVertices(t);
    if (triple[0] < 0) continue;
    const T* p[3] = {this->vertex(triple[0]).data(), this->vertex(triple[1]).data(),
                     this->vertex(triple[2]).data()};
    T n[3];
    TriangleGeometry<T>::normal(p[0], p[1], p[2], n);
    const double area = 0.5 * std::sqrt(double(n[0]) * n[0] + double(n[1]) * n[1] + double(n[2]) * n[2]);
    for (int i = 0; i < 3; ++i) weighted[i] += area * (double(p[0][i]) + p[1][i] + p[2][i]) / 3.0;
    total += area;
  }
  Vector<T> centre(3);
  for (int i = 0; i < 3; ++i) centre[i] = static_cast<T>(total > 0 ? weighted[i] / total : 0.0);
  return centre;
}

template <class T> bool TriMesh<T>::contains(const Vector<T>& p) const {
  refuseIntegers<T>(OSTREL_HERE);
  TriMeshQuery<T> query;
  query.setTriMesh(*this);
  return query.contains(p);
}

template <class T> void TriMesh<T>::closestPoint(const Vector<T>& p, Vector<T>& q) const {
  refuseIntegers<T>(OSTREL_HERE);
  TriMeshQuery<T> query;
  query.setTriMesh(*this);
  query.closestPoint(p, q);
}

template <class T> void TriMesh<T>::cube() {
  static const int corners[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0},
                                    {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
  static const int faces[12][3] = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 5}, {0, 5, 4},
                                   {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}};
  Vertices<T> box(3, 8, 8, 8);
  for (int v = 0; v < 8; ++v)
    for (int i = 0; i < 3; ++i) box.vertex(v)[i] = static_cast<T>(corners[v][i]);
  Vertices<T>::assign(box);
  clearTriangles();
  _normals.clear();
  _vertexColors.reset();
  for (const auto& face : faces) appendTriangle(face[0], face[1], face[2]);
  if constexpr (!std::is_integral_v<T>) computeNormals();
}

// === Files

template <class T> int TriMesh<T>::readText(ShapeTextReader& reader) {
  const char* const where = OSTREL_HERE;
  const int code = this->readFlat(reader);
  clearTriangles();
  _normals.clear();
  _vertexColors.reset();
  const int n = this->getNumVertices();
  const int space = this->getSpace();
  if (std::is_floating_point_v<T> && n > 0 && space != 3)
    throwError<FileFormatError>(where, "A triangle mesh has three coordinates per vertex");

  int count = 0;
  if (!reader.readHeaderItem(count)) count = 0; // a file that ends after its vertices has no triangle
  // Three vertex numbers and their separators take at least six characters.
  if (count < 0 || static_cast<std::size_t>(count) > reader.remaining() / 6 + 1)
    throwError<FileFormatError>(where, "The triangle count does not fit in the file");
  _triangleIndexes.clear();
  reserveOnHugePages(_triangleIndexes, 3 * static_cast<std::size_t>(count));
  _triangleIndexes.assign(3 * static_cast<std::size_t>(count), 0);
  if (reader.readNumbers(_triangleIndexes.data(), 3 * count) < 3 * count)
    throwError<FileFormatError>(where, "The file holds fewer triangles than it announces");
  for (int number : _triangleIndexes)
    if (number < 0 || number >= n)
      throwError<FileFormatError>(where, "A triangle names a vertex that does not exist");

  int flag = 0;
  if (!reader.readHeaderItem(flag)) flag = 0; // no flag: the normals are computed
  if (flag == 1) {
    std::vector<T> normals(static_cast<std::size_t>(n) * space);
    for (int v = 0; v < n; ++v) {
      Vector<T> normal(space, normals.data() + static_cast<std::size_t>(v) * space);
      if (reader.readNumbers(normal.data(), space) < space)
        throwError<FileFormatError>(where, "The normals are announced but missing");
      if constexpr (!std::is_integral_v<T>) normal.normalize();
    }
    _normals = std::move(normals);
  } else if constexpr (!std::is_integral_v<T>) {
    computeNormals();
  }
  return code;
}

template <class T> void TriMesh<T>::write(std::ostream& os) const {
  this->writeFlat(os, getShapeType(), OSTREL_HERE);
  writeRaisingFileWriteErrors(os, OSTREL_HERE, [&] {
    ShapeTextWriter writer(os);
    int live = 0;
    for (int t = 0; t < getNumTriangles(); ++t) live += getTriangleVertices(t)[0] >= 0;
    writer.headerItem(live);
    for (int t = 0; t < getNumTriangles(); ++t)
      if (getTriangleVertices(t)[0] >= 0) writer.numbers(getTriangleVertices(t), 3);
    writer.headerItem(hasNormals() ? 1 : 0);
    if (hasNormals())
      for (int v = 0; v < this->getNumVertices(); ++v)
        writer.numbers(getNormal(v).data(), getNormal(v).getSize());
    writer.flush();
  });
}

template <class T> void TriMesh<T>::export2AsciiSTL(std::ostream& os) const {
  ShapeTextWriter writer(os);
  writer.text("solid " + this->getName() + "\n");
  for (int t = 0; t < getNumTriangles(); ++t) {
    const int* triple = getTriangleVertices(t);
    if (triple[0] < 0) continue;
    const Vector<T>* p[3] = {&this->vertex(triple[0]), &this->vertex(triple[1]), &this->vertex(triple[2])};
    Vector<T> n(3);
    TriangleGeometry<T>::normal(p[0]->data(), p[1]->data(), p[2]->data(), n.data());
    if constexpr (!std::is_integral_v<T>) n.normalize();
    writer.text("  facet normal");
    for (int i = 0; i < 3; ++i) writer.character(' '), writer.number(n[i]);
    writer.text("\n    outer loop\n");
    for (int k = 0; k < 3; ++k) {
      writer.text("      vertex");
      for (int i = 0; i < 3; ++i) writer.character(' '), writer.number((*p[k])[i]);
      writer.character('\n');
    }
    writer.text("    endloop\n  endfacet\n");
  }
  writer.text("endsolid " + this->getName() + "\n");
  writer.flush();
}

template <class T> std::size_t TriMesh<T>::memoryBytes() const {
  std::size_t bytes = _triangleIndexes.capacity() * sizeof(int) + _normals.capacity() * sizeof(T) +
                      _stars.memoryBytes() + _triangles.capacity() * sizeof(std::unique_ptr<Triangle<T>>);
  for (const auto& kept : _triangles)
    if (kept) bytes += sizeof(Triangle<T>);
  return bytes;
}

template class TriMesh<int>;
template class TriMesh<float>;
template class TriMesh<double>;
template class TriMesh<long double>;
