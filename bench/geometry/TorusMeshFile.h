#pragma once

#include <string>

// Writes the triangle mesh file (".tm", without normals) of a torus of the given number of rings
// (around the axis) and sides (around the tube): rings * sides vertices and 2 * rings * sides
// triangles, outward oriented, coordinates in the stream's default format. The benchmarks build their
// large meshes with it, e.g. 1000 x 1000 for a million vertices.
void writeTorusMeshFile(const std::string& path, int rings, int sides);
