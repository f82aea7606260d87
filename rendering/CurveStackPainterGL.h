#pragma once

#include "geometry/CurveStack.h"
#include "rendering/VertexStackPainterGL.h"

// Draws every curve of a curve stack with a curve painter carrying these attributes.
template <class T> class CurveStackPainterGL : public VertexStackPainterGL<T> {
public:
  CurveStackPainterGL(); // display mode Curve

  using VertexStackPainterGL<T>::setShape;
  void setShape(const CurveStack<T>& stack) { setShape(static_cast<const Shape<T>&>(stack)); }

protected:
  void glDrawShape() const override; // std::bad_cast when the shape is not a CurveStack<T>
};
