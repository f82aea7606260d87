#include "viewer/ViewerSpinningMotion.h"

#include "foundation/Maths.h"

Vector<float> ViewerSpinningMotion::turned(const Vector<float>& rotation, float degrees) {
  using namespace Maths;
  const Matrix<float> m = yRotationMatrix3D(toRadians(degrees)) * xRotationMatrix3D(toRadians(rotation[0])) *
                          yRotationMatrix3D(toRadians(rotation[1])) *
                          zRotationMatrix3D(toRadians(rotation[2]));
  float angles[3];
  decomposeRotationMatrix3D(m, angles[0], angles[1], angles[2]);
  Vector<float> result(3);
  for (int i = 0; i < 3; ++i) result[i] = toDegrees(angles[i]);
  return result;
}

void ViewerSpinningMotion::step() {
  _rotation = turned(_rotation, static_cast<float>(_angle));
  emit rotationChanged(_rotation);
}
