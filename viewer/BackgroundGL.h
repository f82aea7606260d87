#pragma once

#include "foundation/Vector.h"

// Background of the canvas: a colour (red, green, blue, alpha in 0..255) drawn either uniformly or
// as a vertical gradient from a third of the colour at the bottom to the colour at the top.
class BackgroundGL {
public:
  BackgroundGL(); // (85, 170, 255, 255), gradient

  // Copies the given components from the first on; a three-component colour keeps the stored alpha.
  void setColor(const Vector<int>& color);
  const Vector<int>& getColor() const { return _color; }
  void setGradientEnabled(bool enabled) { _gradientEnabled = enabled; }
  bool isGradientEnabled() const { return _gradientEnabled; }

  // First step of a paint pass: clears the frame (uniform) or paints the gradient behind everything.
  // The gradient leaves the model-view matrix at the identity and the projection matrix selected.
  void glDraw() const;

private:
  void glClearUniform() const;
  void glDrawGradient() const;

  Vector<int> _color;
  bool _gradientEnabled = true;
};
