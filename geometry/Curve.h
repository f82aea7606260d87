#pragma once

#include "geometry/Vertices.h"

#include <string>

template <class T> class Edge;

// A polyline (open) or polygon (closed: the last vertex joins the first) over vertices of a server.
// The planar measures take a pair of axes (i, j), the plane in which they are made; the viewer's
// curves lie in planes of constant z, i = 0 and j = 1.
template <class T> class Curve : public Vertices<T> {
public:
  // === Construction
  Curve() = default;
  Curve(int space, int n, int capacity = 0, int growth = 0, bool open = false); // a new server
  Curve(const Vertices<T>& list, bool open);          // shares the list's server and indexes
  explicit Curve(const std::string& path);            // loads the file
  void assign(const VertexClient<T>& other) override; // takes the closure of another curve
  Curve(Curve&& other) = default;                     // takes the other's vertices
  std::unique_ptr<Shape<T>> sharingCopy() const override {
    return std::unique_ptr<Shape<T>>(new Curve(*this));
  }

  // === Closure
  int getShapeType() const override;
  bool isOpen() const { return _open; }
  bool isClosed() const { return !_open; }
  void setOpen(bool open) { _open = open; }

  // === Measures
  // Twice the signed area of the closed polygon projected on axes (i, j), positive when the
  // vertices turn from axis i towards axis j; 0 for an open curve or fewer than 3 vertices.
  T twiceArea(int i, int j) const;
  int projectedAreaSign(int i, int j) const; // 1, -1, or 0 within the type's epsilon
  bool isClockwise(int i, int j) const;
  // Reverses the vertices when the polygon turns the other way; one within epsilon stays as it is.
  void setClockwise(bool clockwise, int i, int j);
  T length() const; // with the closing edge of a closed curve

  // Edges (index k, index k+1), and (last, first) when closed, as one reused Edge.
  std::unique_ptr<ConcreteEdgeIterator<T>> edgeIterator() const override;
  int getNumEdges() const;

  class __ConcreteEdgeIterator : public ConcreteEdgeIterator<T> {
  public:
    explicit __ConcreteEdgeIterator(const Curve& curve);
    __ConcreteEdgeIterator(const __ConcreteEdgeIterator& other);
    ~__ConcreteEdgeIterator() override;
    std::unique_ptr<ConcreteEdgeIterator<T>> clone() const override {
      return std::make_unique<__ConcreteEdgeIterator>(*this);
    }
    Edge<T>* current() override;
    void operator++() override;
    void rewind() override;

  private:
    void update();
    const Curve& _curve;
    int _position = 0;
    Edge<T>* _edge;
  };

protected:
  Curve(const Curve& other) = default;            // shares the server, copies indexes and closure
  int readText(ShapeTextReader& reader) override; // open exactly when the code is 1

private:
  bool _open = false;
};
