#pragma once

#include "foundation/Vector.h"

#include <QObject>

class Pose;
class QTimer;

// A timer-driven change of the scene's rotation: each tick runs step(), which moves the motion's
// copy of the angles and announces them. The motion learns where the scene stands through the
// setRotation slots, which only store the angles, so that motions may listen to each other.
class ViewerMotion : public QObject {
  Q_OBJECT

public:
  ViewerMotion();
  ~ViewerMotion() override;

  void toggle();              // starts the timer if it is stopped, otherwise stops it
  void setActive(bool state); // false stops the timer; true starts it unless it runs
  bool isActive() const;      // the timer runs
  void setAngle(int degrees) { _angle = degrees; }
  int getAngle() const { return _angle; }
  // A new interval (ms) applies at once to a running timer, otherwise from the next start.
  void setTimeout(int milliseconds);
  int getTimeout() const { return _timeout; }
  const Vector<float>& getRotation() const { return _rotation; }

signals:
  void rotationChanged(const Vector<float>& rotation);

public slots:
  void setRotation(const Vector<float>& rotation); // angles about x, y, z in degrees
  void setRotation(const Pose& pose);
  virtual void step() = 0; // one tick: moves the angles and emits rotationChanged

protected:
  int _angle = 1;
  int _timeout = 50;
  QTimer* _timer;
  Vector<float> _rotation;
};
