#pragma once

#include "foundation/Matrix.h"
#include "foundation/Vector.h"

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class Exception;
template <class T> class Shape;

// Reads shape files the way the viewer opens them; the window and ostrel-render both load through
// it, so a file gives the same shape in both.
class ShapeFileLoader {
public:
  // The shapes stored in the file: one for the own formats (its kind from the type code inside),
  // one per mesh for other programs' mesh files (by extension). A quad mesh gets its caps, a mesh of
  // the own formats the colours of its ".vcolors" companion when one fits (a triangle mesh's
  // unreadable companion is reported on the standard error stream), and every vertex is multiplied
  // by the scaling factors. A file that cannot be read raises its Exception.
  static std::vector<std::unique_ptr<Shape<float>>> load(const std::string& fileName,
                                                         const Vector<float>& scaling);

  // The diagonal matrix that multiplies coordinate i by factor i.
  static Matrix<float> scalingMatrix(const Vector<float>& factors);

  // How a file that fails is reported: "Exception raised:", then where and what, one per line.
  static void report(const Exception& error, std::ostream& stream);
};
