#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "rendering/PainterGL.h"

// Draws the twelve edges of an axis-aligned box as unlit lines of one colour; the canvas uses it for
// the scene box and the scale bar. Nothing is drawn while inactive or while the box is a point.
template <class T> class BoundingBoxPainterGL : public PainterGL<T> {
public:
  BoundingBoxPainterGL(); // box (0,0,0)-(0,0,0), white, width 1, active

  void setBoundingBox(const BoundingBox<T>& box);
  const BoundingBox<T>& getBoundingBox() const { return _box; }
  void setColor(const Vector<int>& color); // red, green, blue in 0..255
  const Vector<int>& getColor() const { return _color; }
  void setLineWidth(float width) { _lineWidth = width; }
  float getLineWidth() const { return _lineWidth; }
  void setActive(bool active) { _active = active; }
  bool isActive() const { return _active; }

  BoundingBox<T> boundingBox() const override { return _box; }
  // Leaves lighting enabled and the line width set.
  void glDraw() const override;

private:
  BoundingBox<T> _box;
  Vector<int> _color;
  float _lineWidth = 1.0f;
  bool _active = true;
};
