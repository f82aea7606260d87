#pragma once

#include "foundation/Vector.h"

#include <iosfwd>
#include <memory>
#include <string>

class Exception;
template <class T> class Shape;

// Reads shape files the way the viewer opens them; the window and ostrel-render both load through
// it, so a file gives the same shape in both.
class ShapeFileLoader {
public:
  // The shape stored in the file (its kind from the type code inside), a quad mesh with its caps,
  // a mesh with the colours of its ".vcolors" companion when one fits (a triangle mesh's unreadable
  // companion is reported on the standard error stream), and every vertex multiplied by the
  // scaling factors. A file that cannot be read raises its Exception.
  static std::unique_ptr<Shape<float>> load(const std::string& fileName, const Vector<float>& scaling);

  // How a file that fails is reported: "Exception raised:", then where and what, one per line.
  static void report(const Exception& error, std::ostream& stream);
};
