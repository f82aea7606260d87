#pragma once

#include "geometry/Curve.h"
#include "rendering/VerticesPainterGL.h"

// Draws a curve as a line strip (open) or loop (closed); in Symbol mode as a point set only, in
// Symbol+Curve mode the line first and then its vertex symbols.
template <class T> class CurvePainterGL : public VerticesPainterGL<T> {
public:
  CurvePainterGL(); // display mode Curve

  using VerticesPainterGL<T>::setShape;
  void setShape(const Curve<T>& curve) { setShape(static_cast<const Shape<T>&>(curve)); }

protected:
  void glDrawShape() const override; // std::bad_cast when a line is asked of a non-curve
  void glDrawCurve(const Curve<T>& curve) const;
};
