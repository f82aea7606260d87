#pragma once

#include "geometry/Vertices.h"
#include "rendering/ShapePainterGL.h"

// Draws a point set as points of the current point size or, when the vertex symbol asks for it, as
// lit solids centred on the vertices. The display mode is not consulted.
template <class T> class VerticesPainterGL : public ShapePainterGL<T> {
public:
  VerticesPainterGL(); // display mode Symbol

  using ShapePainterGL<T>::setShape;
  void setShape(const Vertices<T>& vertices) { setShape(static_cast<const Shape<T>&>(vertices)); }

protected:
  void glDrawShape() const override;                     // std::bad_cast when the shape is not a Vertices<T>
  void glDrawSymbols(const Vertices<T>& vertices) const; // back faces culled
  void glDrawPoints(const Vertices<T>& vertices) const;  // one GL_POINTS batch
};
