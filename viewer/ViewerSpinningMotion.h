#pragma once

#include "viewer/ViewerMotion.h"

// Turns the scene about the vertical axis of the screen by the angle per tick, whatever its
// orientation: the turn multiplies the current rotation on the left and the product is decomposed
// back into angles about x, y and z, which are not snapped to any grid.
class ViewerSpinningMotion : public ViewerMotion {
  Q_OBJECT

public slots:
  void step() override;
};
