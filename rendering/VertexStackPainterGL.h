#pragma once

#include "geometry/VertexStack.h"
#include "rendering/ShapePainterGL.h"

// Draws every level of a stack of point sets with a point-set painter carrying these attributes.
template <class T> class VertexStackPainterGL : public ShapePainterGL<T> {
public:
  VertexStackPainterGL(); // display mode Symbol

  using ShapePainterGL<T>::setShape;
  void setShape(const VertexStack<T>& stack) { setShape(static_cast<const Shape<T>&>(stack)); }

protected:
  void glDrawShape() const override; // std::bad_cast when the shape is not a VertexStack<T>
  // Draws level after level of the stack with levelPainter, which first gets these attributes.
  void glDrawLevels(const VertexStack<T>& stack, ShapePainterGL<T>& levelPainter) const;
};
