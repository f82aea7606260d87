#pragma once

#include "geometry/Shape.h"

#include <string>
#include <vector>

// Writers of mesh files for other programs. Triangle meshes are written with their triangles (the
// removed ones left out), quad meshes as their triangulation, every other shape as the point cloud
// of its vertices (a missing third coordinate written as 0). Vertex colours (0-255) are written
// where the format holds them; the files read back through importMeshFile to the same vertices,
// triangles and colours (OBJ and STL vertices in the order of their first use by a triangle).
// Each fails with a FileWriteError naming the file when it cannot be written or when the format
// cannot hold what it is given (no shape, several shapes, points where it holds triangles only).

// Binary little-endian PLY of one shape; colours as red, green and blue bytes.
template <class T> void writePlyFile(const std::vector<const Shape<T>*>& shapes, const std::string& path);
// Text OBJ of one object per shape, named after it (one word, repeated names numbered: "cell[2]");
// colours after the coordinates of "v"
// lines as fractions of 1; point clouds as "p" lines.
template <class T> void writeObjFile(const std::vector<const Shape<T>*>& shapes, const std::string& path);
// Binary STL of one triangle mesh (no colours).
template <class T> void writeStlFile(const std::vector<const Shape<T>*>& shapes, const std::string& path);
// OFF of one triangle mesh; "COFF" with red, green, blue and alpha as fractions of 1 when coloured.
template <class T> void writeOffFile(const std::vector<const Shape<T>*>& shapes, const std::string& path);
