#include "foundation/Maths.h"

#include <cmath>
#include <cstdint>
#include <type_traits>

namespace Maths {

float toRadians(float degrees) {
  return static_cast<float>(static_cast<double>(degrees) * M_PI / 180.0);
}

float toDegrees(float radians) {
  return static_cast<float>(static_cast<double>(radians) * 180.0 / M_PI);
}

namespace {

// Rotation by angle about the given axis (0, 1 or 2): the plane of the two other axes, taken in
// cyclic order (y z, z x, x y), turns by angle and the axis itself stays fixed.
template <class T> Matrix<T> axisRotationMatrix3D(int axis, T angle) {
  Matrix<T> m(3, 3);
  m.fill(static_cast<T>(0));
  const int p = (axis + 1) % 3;
  const int q = (axis + 2) % 3;
  const T c = std::cos(angle);
  const T s = std::sin(angle);
  m(axis, axis) = 1;
  m(p, p) = c;
  m(p, q) = -s;
  m(q, p) = s;
  m(q, q) = c;
  return m;
}

} // namespace

template <class T> Matrix<T> xRotationMatrix3D(T angle) {
  return axisRotationMatrix3D(0, angle);
}

template <class T> Matrix<T> yRotationMatrix3D(T angle) {
  return axisRotationMatrix3D(1, angle);
}

template <class T> Matrix<T> zRotationMatrix3D(T angle) {
  return axisRotationMatrix3D(2, angle);
}

void decomposeRotationMatrix3D(const Matrix<float>& m, float& a, float& b, float& c) {
  const float epsilon = Vector<float>::epsilon();
  // Plane rotation about x that zeroes m[1][2]; the square roots in double precision.
  float c1 = 1;
  float s1 = 0;
  if (std::fabs(m(1, 2)) >= epsilon) {
    if (std::fabs(m(2, 2)) > std::fabs(m(1, 2))) {
      const float t = -m(1, 2) / m(2, 2);
      c1 = static_cast<float>(std::sqrt(static_cast<double>(1.0f / (t * t + 1.0f))));
      s1 = t * c1;
    } else {
      const float t = -m(2, 2) / m(1, 2);
      s1 = static_cast<float>(std::sqrt(static_cast<double>(1.0f / (t * t + 1.0f))));
      c1 = t * s1;
    }
  }
  a = std::atan2(s1, c1);
  b = std::atan2(m(0, 2), m(2, 2) * c1 - m(1, 2) * s1);
  c = std::atan2(m(2, 0) * s1 + m(1, 0) * c1, m(2, 1) * s1 + m(1, 1) * c1);
}

// The half is added in double precision (long double for long double): in float, x + 0.5 is rounded to
// the nearest representable value first, which turns 8388609 into 8388610.
template <class T> using RoundingType = std::conditional_t<std::is_same_v<T, long double>, long double, double>;

template <class T> int fround(T x) {
  return static_cast<int>(std::floor(static_cast<RoundingType<T>>(x) + 0.5));
}

template <class T> T fround(T x, T step) {
  const RoundingType<T> quotient = static_cast<RoundingType<T>>(x) / static_cast<RoundingType<T>>(step);
  const auto multiple = static_cast<std::int64_t>(std::floor(quotient + 0.5));
  return static_cast<T>(multiple) * step;
}

template <class T> Vector<int> fround(const Vector<T>& v) {
  Vector<int> rounded(v.getSize());
  for (int i = 0; i < v.getSize(); ++i) rounded[i] = fround(v[i]);
  return rounded;
}

template <class T> Vector<T> fround(const Vector<T>& v, T step) {
  Vector<T> rounded(v.getSize());
  for (int i = 0; i < v.getSize(); ++i) rounded[i] = fround(v[i], step);
  return rounded;
}

#define OSTREL_INSTANTIATE_MATHS(T)                                                                          \
  template Matrix<T> xRotationMatrix3D<T>(T);                                                                \
  template Matrix<T> yRotationMatrix3D<T>(T);                                                                \
  template Matrix<T> zRotationMatrix3D<T>(T);                                                                \
  template int fround<T>(T);                                                                                 \
  template T fround<T>(T, T);                                                                                \
  template Vector<int> fround<T>(const Vector<T>&);                                                          \
  template Vector<T> fround<T>(const Vector<T>&, T);

OSTREL_INSTANTIATE_MATHS(float)
OSTREL_INSTANTIATE_MATHS(double)
OSTREL_INSTANTIATE_MATHS(long double)

} // namespace Maths
