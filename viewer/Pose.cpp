#include "viewer/Pose.h"

Pose::Pose() : _rotation(3), _translation(2) {
  _rotation.fill(0.0f);
  _translation.fill(0);
}

Pose Pose::rotated(float x, float y, float z) {
  Pose pose;
  Vector<float> rotation(3);
  rotation[0] = x;
  rotation[1] = y;
  rotation[2] = z;
  pose.setRotation(rotation);
  return pose;
}

Pose Pose::canonicalPose1() {
  return rotated(0.0f, 180.0f, 0.0f);
}
Pose Pose::canonicalPose2() {
  return rotated(0.0f, 90.0f, 0.0f);
}
Pose Pose::canonicalPose3() {
  return rotated(90.0f, 0.0f, 0.0f);
}
Pose Pose::reverseCanonicalPose1() {
  return rotated(0.0f, 0.0f, 0.0f);
}
Pose Pose::reverseCanonicalPose2() {
  return rotated(0.0f, -90.0f, 0.0f);
}
Pose Pose::reverseCanonicalPose3() {
  return rotated(-90.0f, 0.0f, 0.0f);
}
