#pragma once

#include "geometry/Curve.h"
#include "geometry/VertexStack.h"

#include <string>

// A stack of curves of one closure (the contours of serial sections), the raw material of quad
// meshes. Its levels are always Curve objects.
template <class T> class CurveStack : public VertexStack<T> {
public:
  // === Construction
  CurveStack() = default;
  // height closed-or-open curves of width vertices on one new server (VertexStack rules).
  CurveStack(int space, int height, int width, int capacity = 0, int growth = 0, bool open = false);
  // Shares the stack's server; its levels become curves of the given closure.
  CurveStack(const VertexStack<T>& stack, bool open);
  explicit CurveStack(const std::string& path); // loads the file
  void assign(const VertexClient<T>& other) override;
  CurveStack(CurveStack&& other) = default; // takes the other's vertices
  std::unique_ptr<Shape<T>> sharingCopy() const override {
    return std::unique_ptr<Shape<T>>(new CurveStack(*this));
  }

  // === Closure
  int getShapeType() const override;
  bool isOpen() const { return _open; }
  bool isClosed() const { return !_open; }
  void setOpen(bool open); // the stack's and every curve's closure

  // === Curves
  Curve<T>& level(int l) { return static_cast<Curve<T>&>(VertexStack<T>::operator[](l)); }
  const Curve<T>& level(int l) const { return static_cast<const Curve<T>&>(VertexStack<T>::operator[](l)); }
  using VertexStack<T>::operator[];
  Curve<T>& operator[](int l) { return level(l); }
  const Curve<T>& operator[](int l) const { return level(l); }
  Curve<T>& getFirstCurve() { return level(0); }
  Curve<T>& getLastCurve() { return level(this->getHeight() - 1); }
  // true when two consecutive curves start at the same z (coordinate 2 of their first vertex).
  bool isBranching() const;

  // The level must be a curve of the stack's closure, else TypeError "Closure mismatch" and the
  // stack is left unchanged; a new curve sharing its server and indexes is inserted.
  using VertexStack<T>::append;
  using VertexStack<T>::prepend;
  void append(const Vertices<T>& level) override;
  void prepend(const Vertices<T>& level) override;
  void insert(int position, const Vertices<T>& level) override;
  std::unique_ptr<Vertices<T>> newLevel() const override; // a closed, empty curve

protected:
  CurveStack(const CurveStack& other) = default; // shares the server, copies every level
  struct WithoutLevels {};
  CurveStack(int space, int height, int width, int capacity, int growth, bool open, WithoutLevels);
  int readText(ShapeTextReader& reader) override; // open exactly when the code is 3

private:
  bool _open = false;
};
