#include "viewer/ViewerSpinningMotion.h"

#include "foundation/Maths.h"

void ViewerSpinningMotion::step() {
  using namespace Maths;
  const Matrix<float> m =
      yRotationMatrix3D(toRadians(static_cast<float>(_angle))) * xRotationMatrix3D(toRadians(_rotation[0])) *
      yRotationMatrix3D(toRadians(_rotation[1])) * zRotationMatrix3D(toRadians(_rotation[2]));
  float angles[3];
  decomposeRotationMatrix3D(m, angles[0], angles[1], angles[2]);
  for (int i = 0; i < 3; ++i) _rotation[i] = toDegrees(angles[i]);
  emit rotationChanged(_rotation);
}
