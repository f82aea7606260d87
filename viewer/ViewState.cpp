#include "viewer/ViewState.h"

ViewState::ViewState() : rotation(3), boxColor(3) {
  rotation.fill(0.0f);
  boxColor.fill(255);
}
