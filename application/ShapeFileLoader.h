#pragma once

#include "foundation/Vector.h"
#include "geometry/Shape.h"

#include <QString>

#include <memory>

// Loads a shape file as the main window shows it: the shape the file holds, a quad mesh with its caps,
// a mesh with the vertex colours of its ".vcolors" companion when one fits, everything scaled by the
// window's factors. Fuzzing and tests reach the window's loading through this same code.
class ShapeFileLoader {
public:
  // Raises the reader's Exception when the shape file cannot be read; a companion that cannot be read
  // leaves the mesh without colours.
  static std::unique_ptr<Shape<float>> load(const QString& fileName, const Vector<float>& scaling);
};
