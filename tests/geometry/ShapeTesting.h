#pragma once
// Helpers of the geometry tests: points, exception messages, small shape files.

#include "foundation/Exception.h"
#include "foundation/Vector.h"

#include <initializer_list>
#include <string>
#include <vector>

// A point of as many coordinates as given: point(1, 2) or point(1, 2, 3).
template <class... C> Vector<float> point(C... coordinates) {
  return Vector<float>(std::vector<float>{static_cast<float>(coordinates)...});
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
