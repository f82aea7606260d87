#pragma once

#include "geometry/BoundingBox.h"

// Something the canvas draws: it knows one model and issues the fixed-function OpenGL that draws it.
// The canvas keeps painters in a list without owning them, asks their boxes to frame the scene, draws
// the opaque ones first and the others afterwards with blending and without depth writes.
// glDraw() may change OpenGL state but pops whatever it pushes on the matrix stack.
template <class T> class PainterGL {
public:
  virtual ~PainterGL() = default;

  virtual BoundingBox<T> boundingBox() const; // empty box
  virtual bool isOpaque() const;              // true
  virtual bool isVisible() const;             // true; a hidden painter draws nothing and sets no scene box
  virtual void glDraw() const;                // draws nothing
};
