#pragma once

#include <algorithm>
#include <cmath>
#include <type_traits>

// How the numbers of other programs' mesh files become the values of our shapes.

// A coordinate in the shape's element type: rounded to the nearest whole number for integer shapes.
template <class T, class C> T importedCoordinate(C x) {
  if constexpr (std::is_integral_v<T>)
    return static_cast<T>(std::lround(x));
  else
    return static_cast<T>(x);
}

// A colour component given from 0 to 1 as one from 0 to 255; values outside are clamped.
template <class C> int importedColourComponent(C c) {
  return static_cast<int>(std::lround(std::clamp(c, C(0), C(1)) * C(255)));
}
