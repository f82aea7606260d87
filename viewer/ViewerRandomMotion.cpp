#include "viewer/ViewerRandomMotion.h"

ViewerRandomMotion::ViewerRandomMotion() : _direction(3) {
  _random.init(-1);
  _direction.setOnes();
}

void ViewerRandomMotion::step() {
  for (int i = 0; i < 3; ++i) // three draws on every step, x first
    if (_random.uniformLF() < 0.001) _direction[i] = -_direction[i];
  for (int i = 0; i < 3; ++i) {
    float angle = _rotation[i] + static_cast<float>(_direction[i] * _angle);
    if (angle > 180)
      angle -= 360;
    else if (angle < -180)
      angle += 360;
    _rotation[i] = angle;
  }
  emit rotationChanged(_rotation);
}
