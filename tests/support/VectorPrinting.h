#pragma once

#include "foundation/Vector.h"

#include <ostream>
#include <type_traits>

// Lets GoogleTest show vectors as "(a, b, c)" in failure messages instead of raw bytes.
template <class T> void PrintTo(const Vector<T>& v, std::ostream* os) {
  *os << "(";
  for (int i = 0; i < v.getSize(); ++i) {
    if (i > 0) *os << ", ";
    if constexpr (sizeof(T) == 1 && !std::is_same_v<T, bool>)
      *os << static_cast<int>(v[i]);
    else
      *os << v[i];
  }
  *os << ")";
}
