#include "viewer/ViewState.h"

ViewState::ViewState() : rotation(3), boxColor(3) {
  rotation.fill(0.0f);
  boxColor.fill(255);
}

void ViewState::replaceWith(const ViewState& view) {
  const BoundingBox<float> bar = scaleBar;
  *this = view;
  if (!scaleBar.isValid()) scaleBar = bar;
}
