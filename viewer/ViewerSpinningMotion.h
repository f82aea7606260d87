#pragma once

#include "viewer/ViewerMotion.h"

// Turns the scene about the vertical axis of the screen by the angle per tick, whatever its
// orientation: the turn multiplies the current rotation on the left and the product is decomposed
// back into angles about x, y and z, which are not snapped to any grid.
class ViewerSpinningMotion : public ViewerMotion {
  Q_OBJECT

public:
  // The angles about x, y and z of the rotation turned by degrees about the screen's vertical axis.
  static Vector<float> turned(const Vector<float>& rotation, float degrees);

public slots:
  void step() override;
};
