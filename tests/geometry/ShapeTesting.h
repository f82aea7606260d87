#pragma once
// Helpers of the geometry tests: points, exception messages, small shape files.

#include "foundation/Exception.h"
#include "foundation/Vector.h"

#include <initializer_list>
#include <string>
#include <vector>

inline Vector<float> point(float x, float y, float z) {
  Vector<float> p(3);
  p[0] = x;
  p[1] = y;
  p[2] = z;
  return p;
}

inline Vector<float> point(float x, float y) {
  Vector<float> p(2);
  p[0] = x;
  p[1] = y;
  return p;
}

// A vector of any element type: vectorOf<int>({1, 2, 3}).
template <class T> Vector<T> vectorOf(std::initializer_list<T> values) {
  return Vector<T>(std::vector<T>(values));
}

// The what text of the exception of class E that f throws, "<nothing thrown>" when it returns.
template <class E, class F> std::string messageOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e.getWhat();
  }
  return "<nothing thrown>";
}

// The exception of class E that f throws (a default one when it returns; check its what text).
template <class E, class F> E exceptionOf(F&& f) {
  try {
    f();
  } catch (const E& e) {
    return e;
  }
  E none;
  none.setWhat("<nothing thrown>");
  return none;
}
