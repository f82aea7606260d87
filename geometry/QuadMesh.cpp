#include "geometry/QuadMesh.h"

#include "foundation/ErrorThrowing.h"
#include "geometry/ShapeType.h"

#include <cmath>
#include <type_traits>
#include <utility>

namespace {
template <class T> const CurveStack<T>& withConstantRows(const CurveStack<T>& stack) {
  for (int l = 1; l < stack.getHeight(); ++l)
    if (stack[l].getNumVertices() != stack[0].getNumVertices())
      throwError<SizeError>(OSTREL_HERE, "Curve size is not constant along the curve stack");
  return stack;
}

constexpr int capRows = 10;
} // namespace

// === Construction

template <class T>
QuadMesh<T>::QuadMesh(int space, int height, int width, int capacity, int growth, bool open)
    : CurveStack<T>(space, height, width, capacity, growth, open) {}

template <class T>
QuadMesh<T>::QuadMesh(const CurveStack<T>& stack) : CurveStack<T>(withConstantRows(stack)) {}

template <class T> QuadMesh<T>::QuadMesh(const std::string& path) {
  this->load(path);
}

// A copy shares the rows but neither the caps nor the colours: they stay with the original.
template <class T> QuadMesh<T>::QuadMesh(const QuadMesh& other) : CurveStack<T>(other) {}

template <class T>
QuadMesh<T>::QuadMesh(QuadMesh&& other)
    : CurveStack<T>(std::move(other)), _vertexColors(std::move(other._vertexColors)),
      _beginCap(std::exchange(other._beginCap, nullptr)), _endCap(std::exchange(other._endCap, nullptr)) {}

template <class T> QuadMesh<T>::~QuadMesh() {
  destroyCaps();
}

// The caps and colours belonged to the rows that the mesh gives up.
template <class T> void QuadMesh<T>::assign(const VertexClient<T>& other) {
  if (&other == this) return;
  CurveStack<T>::assign(other);
  destroyCaps();
  _vertexColors.reset();
}

template <class T> int QuadMesh<T>::getShapeType() const {
  return shapeTypeCode(this->isOpen() ? ShapeType::OpenQuadMesh : ShapeType::ClosedQuadMesh);
}

template <class T> void QuadMesh<T>::detach() {
  CurveStack<T>::detach();
  if (_beginCap) _beginCap->detach();
  if (_endCap) _endCap->detach();
  if (_vertexColors) _vertexColors->detach();
}

// === Rows

template <class T> void QuadMesh<T>::checkRow(const Vertices<T>& row, const char* where) const {
  if (this->getHeight() > 0 && row.getNumVertices() != getWidth())
    throwError<SizeError>(where, "Incompatible curve size");
}

template <class T> void QuadMesh<T>::append(const Vertices<T>& row) {
  checkRow(row, OSTREL_HERE);
  CurveStack<T>::insert(this->getHeight(), row);
}

template <class T> void QuadMesh<T>::prepend(const Vertices<T>& row) {
  checkRow(row, OSTREL_HERE);
  CurveStack<T>::insert(0, row);
}

template <class T> void QuadMesh<T>::insert(int position, const Vertices<T>& row) {
  checkRow(row, OSTREL_HERE);
  CurveStack<T>::insert(position, row);
}

// === Vertex colours

template <class T> void QuadMesh<T>::setVertexColors(QuadMesh<int>* colors) {
  _vertexColors.reset();
  if (!colors) return;
  bool fits = colors->getHeight() == this->getHeight() && colors->getWidth() == getWidth();
  for (int l = 0; fits && l < colors->getHeight(); ++l) fits = (*colors)[l].getNumVertices() == getWidth();
  if (!fits) throwError<SizeError>(OSTREL_HERE, "Incompatible color array dimensions");
  _vertexColors.reset(colors);
}

// === Caps

template <class T> QuadMesh<T>* QuadMesh<T>::buildCap(const Curve<T>& contour) const {
  const int width = contour.getNumVertices();
  const int space = this->getSpace();
  const Vector<T> centre = contour.cog();
  auto cap = new QuadMesh(space, capRows, width, 0, 0, false);
  for (int k = 0; k < width; ++k) {
    const Vector<T>& rim = contour.vertex(k);
    // The 1 % copy of the contour around its centre: centred, scaled, moved back.
    Vector<T> inner(space);
    for (int i = 0; i < space; ++i) inner[i] = (rim[i] + -centre[i]) * T(0.01) + centre[i];
    for (int r = 0; r < capRows; ++r) {
      Vector<T>& v = (*cap)[r].vertex(k);
      if (r == 0) {
        v = rim;
      } else if (r == capRows - 1) {
        v = inner;
      } else {
        // The rows crowd towards the rim.
        const T t = T(1) - static_cast<T>(std::sqrt(double(capRows - 1 - r) / double(capRows - 1)));
        for (int i = 0; i < space; ++i) v[i] = rim[i] + (inner[i] - rim[i]) * t;
      }
    }
  }
  cap->setName(this->getName());
  return cap;
}

template <class T> void QuadMesh<T>::setCap(QuadMesh*& cap, QuadMesh* newCap) {
  if (cap) {
    this->getExtensions().remove(cap);
    delete cap;
  }
  cap = newCap;
  if (cap) this->getExtensions().add(cap);
}

template <class T> void QuadMesh<T>::buildBeginCap() {
  if (this->getHeight() == 0) throwError<SizeError>(OSTREL_HERE, "This mesh contains no contour");
  if (this->isOpen()) return;
  setCap(_beginCap, nullptr);
  setCap(_beginCap, buildCap((*this)[0]));
}

template <class T> void QuadMesh<T>::buildEndCap() {
  if (this->getHeight() == 0) throwError<SizeError>(OSTREL_HERE, "This mesh contains no contour");
  if (this->isOpen()) return;
  setCap(_endCap, nullptr);
  setCap(_endCap, buildCap((*this)[this->getHeight() - 1]));
}

template <class T> void QuadMesh<T>::buildCaps() {
  buildBeginCap();
  buildEndCap();
}

template <class T> void QuadMesh<T>::destroyBeginCap() {
  setCap(_beginCap, nullptr);
}

template <class T> void QuadMesh<T>::destroyEndCap() {
  setCap(_endCap, nullptr);
}

template <class T> void QuadMesh<T>::destroyCaps() {
  destroyBeginCap();
  destroyEndCap();
}

template <class T> void QuadMesh<T>::insertCopyOfRow(int position, const Vertices<T>& row) {
  Curve<T> copy;
  copy.setOpen(this->isOpen());
  copy.setServer(*this->getServer());
  for (int k = 0; k < row.getNumVertices(); ++k) copy.append(row.vertex(k));
  CurveStack<T>::insert(position, copy);
}

template <class T> void QuadMesh<T>::extendToCaps() {
  if (!hasAnyCap()) return;
  if (_beginCap)
    for (int r = 1; r < _beginCap->getHeight(); ++r) insertCopyOfRow(0, (*_beginCap)[r]);
  if (_endCap)
    for (int r = 1; r < _endCap->getHeight(); ++r) insertCopyOfRow(this->getHeight(), (*_endCap)[r]);
  destroyCaps();
  _vertexColors.reset();
}

// === Triangulation

template <class T> TriMesh<T> QuadMesh<T>::toTriMesh(bool) const {
  const int height = this->getHeight();
  const int width = getWidth();
  const int space = std::min(3, this->getSpace());
  TriMesh<T> mesh(3, height * width);
  for (int l = 0; l < height; ++l) {
    for (int k = 0; k < width; ++k) {
      Vector<T>& v = mesh.vertex(l * width + k);
      const Vector<T>& source = (*this)[l].vertex(k);
      for (int i = 0; i < 3; ++i) v[i] = i < space ? source[i] : T(0);
    }
  }
  for (int l = 1; l < height && width > 0; ++l) {
    const int b0 = (l - 1) * width, b1 = l * width;
    for (int k = 0; k + 1 < width; ++k) {
      mesh.addTriangle(b0 + k, b0 + k + 1, b1 + k);
      mesh.addTriangle(b1 + k, b0 + k + 1, b1 + k + 1);
    }
    if (this->isClosed()) {
      mesh.addTriangle(b0 + width - 1, b0, b1 + width - 1);
      mesh.addTriangle(b1 + width - 1, b0, b1);
    }
  }
  if constexpr (!std::is_integral_v<T>) mesh.computeNormals();
  mesh.setName(this->getName());
  return mesh;
}

// === Files

template <class T> int QuadMesh<T>::readText(ShapeTextReader& reader) {
  destroyCaps();
  _vertexColors.reset();
  const int code = CurveStack<T>::readText(reader);
  this->setOpen(code == shapeTypeCode(ShapeType::OpenQuadMesh));
  for (int l = 1; l < this->getHeight(); ++l)
    if ((*this)[l].getNumVertices() != getWidth())
      throwError<FileFormatError>(OSTREL_HERE, "The rows of the mesh differ in size");
  return code;
}

template class QuadMesh<int>;
template class QuadMesh<float>;
template class QuadMesh<double>;
template class QuadMesh<long double>;
