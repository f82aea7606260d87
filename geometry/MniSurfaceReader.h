#pragma once

#include "geometry/Shape.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Reads the ASCII surface files of the MNI neuroimaging tools, which share the ".obj" suffix with
// Wavefront OBJ: a stream of blank-separated tokens, "P", five surface properties (not used), the
// point count, the points' coordinates, their normals (computed anew instead), the polygon count, a
// colour flag and its colours (flag 2: one red green blue opacity per point, kept as vertex colours
// 0-255; one for the surface or one per polygon is not kept), the polygons' running end indices and
// the index list, from 0. The result is one TriMesh named after the file's base name, polygons of
// more than three corners triangulated, normals computed.
// Fails with a FileFormatError naming the file
// whose text starts with the line where reading stopped ("Line 4: ..."): a binary MNI file or an MNI
// object other than a polygon surface, a missing or malformed number, a count larger than the file
// can hold (refused before anything is allocated), decreasing end indices, a polygon of fewer than
// 3 corners, an index naming no point, tokens left after the index list.
template <class T> class MniSurfaceReader {
public:
  // Whether the file holds an MNI object rather than OBJ statements: its first token is one
  // upper-case letter (the class of an ASCII object, "P" for a polygon surface), or it starts with
  // a "p" that no text follows (a binary polygon surface).
  static bool recognises(std::string_view bytes);
  // Reads the file's bytes; path names the file in errors and the shape.
  static std::vector<std::unique_ptr<Shape<T>>> read(std::string_view bytes, const std::string& path);
};
