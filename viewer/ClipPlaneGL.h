#pragma once

#include <array>

// A plane that cuts away part of every shape: with p a point relative to the centre of the scene,
// in the shapes' coordinates, what lies where normal . p + offset < 0 is not drawn. A normal of
// length 0 cuts nothing.
struct ClipPlaneGL {
  static constexpr int count = 3; // planes a scene has

  bool enabled = false;
  std::array<double, 3> normal{0.0, 0.0, 1.0};
  double offset = 0.0;
};

using ClipPlanesGL = std::array<ClipPlaneGL, ClipPlaneGL::count>;
