#include "viewer/ViewerMotion.h"

#include "viewer/Pose.h"

#include <QTimer>

ViewerMotion::ViewerMotion() : _timer(new QTimer(this)), _rotation(3) {
  _rotation.setZeros();
  connect(_timer, &QTimer::timeout, this, &ViewerMotion::step);
}

ViewerMotion::~ViewerMotion() = default;

void ViewerMotion::toggle() {
  setActive(!isActive());
}

void ViewerMotion::setActive(bool state) {
  if (!state)
    _timer->stop();
  else if (!isActive())
    _timer->start(_timeout);
}

bool ViewerMotion::isActive() const {
  return _timer->isActive();
}

void ViewerMotion::setTimeout(int milliseconds) {
  if (milliseconds == _timeout) return;
  _timeout = milliseconds;
  if (isActive()) _timer->setInterval(milliseconds);
}

void ViewerMotion::setRotation(const Vector<float>& rotation) {
  if (rotation.getSize() == 3) _rotation = rotation; // anything else is no rotation of the scene
}

void ViewerMotion::setRotation(const Pose& pose) {
  setRotation(pose.getRotation());
}
