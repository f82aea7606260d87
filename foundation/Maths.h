#pragma once

#include "foundation/Matrix.h"
#include "foundation/Vector.h"

// Small numeric functions: angle units, rotation matrices about the coordinate axes and their
// decomposition, rounding. Rotations are right-handed, angles in radians unless named degrees.
// The templates exist for float, double and long double.
namespace Maths {

float toRadians(float degrees); // computed in double precision
float toDegrees(float radians);

// New 3 x 3 rotations about x, y and z, the same as OpenGL's rotations about the unit axes.
template <class T> Matrix<T> xRotationMatrix3D(T angle);
template <class T> Matrix<T> yRotationMatrix3D(T angle);
template <class T> Matrix<T> zRotationMatrix3D(T angle);

// Angles a, b, c (radians) with m = Rx(a) * Ry(b) * Rz(c); of the two triples that give the same
// matrix, the one with cos(a) > 0, or sin(a) > 0 when |m[2][2]| <= |m[1][2]|.
void decomposeRotationMatrix3D(const Matrix<float>& m, float& a, float& b, float& c);

template <class T> int fround(T x);                        // floor(x + 0.5): halves go up
template <class T> T fround(T x, T step);                  // x snapped to the nearest multiple of step
template <class T> Vector<int> fround(const Vector<T>& v); // element-wise fround(x)
template <class T> Vector<T> fround(const Vector<T>& v, T step);

} // namespace Maths
