#pragma once

#include <string>

// The formats the torus is written in: the program's ".tm" (without normals) and Wavefront OBJ.
enum class TorusFormat { Tm, Obj };

// Writes the triangle mesh file of a torus of the given number of rings (around the axis) and sides
// (around the tube): rings * sides vertices and 2 * rings * sides triangles, outward oriented,
// coordinates in the stream's default format ("%g"), the same numbers in either format. The
// benchmarks build their large meshes with it, e.g. 1000 x 1000 for a million vertices.
void writeTorusMeshFile(const std::string& path, int rings, int sides, TorusFormat format = TorusFormat::Tm);
