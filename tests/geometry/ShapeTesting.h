#pragma once
// Helpers of the geometry tests: points and vectors.

#include "foundation/Exception.h"
#include "tests/support/ExpectException.h"
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
