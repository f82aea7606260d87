#pragma once

#include "geometry/Shape.h"

#include <memory>
#include <string>
#include <vector>

// Reads a mesh file of another program (PLY, STL, OFF, glTF: the mesh library recognises the format;
// OBJ files have readers of their own, see ShapeFormats) into shapes, one per mesh placed in the
// file's scene, in the scene's order:
// - a mesh with triangles becomes a TriMesh (quads and polygons triangulated, per-vertex colours as
//   vertex colours 0-255, normals computed); a mesh with points or lines only becomes Vertices;
// - a mesh whose face corners all have vertices of their own (STL) has its coincident vertices
//   of equal colour welded into one, so that normals and smoothing see one surface;
// - vertices are placed by the transforms of the scene's nodes;
// - one shape is named after the file's base name, several after it and their mesh (or node, or
//   their position from 1): "cells:nucleus".
// The file's bytes must have passed the guard of its format (MeshFileGuards.h) first.
// Fails with a FileError naming the file: FileReadError "Cannot open file for reading";
// FileFormatError when a file is named OBJ (the library's reader of those is not used) or glTF and
// holds no glTF data (the library would try every reader it has on it), when the library cannot read the file
// (its reason follows), when a PLY or OFF file declares more than it holds, when the file holds no mesh with
// vertices, when a face names a vertex that does not exist (or none) or when a coordinate is not a finite
// number.
template <class T> std::vector<std::unique_ptr<Shape<T>>> importMeshFile(const std::string& path);
