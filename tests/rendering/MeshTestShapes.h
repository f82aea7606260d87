#pragma once

#include "geometry/TriMesh.h"
#include "tests/rendering/PainterTestShapes.h"

// Small triangle meshes for the mesh painter tests.

// A triangle mesh with the given vertices and triangles, its normals computed.
inline TriMesh<float> makeTriMesh(std::initializer_list<Triple> points,
                                  std::initializer_list<Triple> triangles) {
  const int n = static_cast<int>(points.size());
  TriMesh<float> mesh(3, n, n, n);
  int i = 0;
  for (const Triple& p : points) setPoint(mesh[i++], p);
  for (const Triple& t : triangles) mesh.addTriangle(int(t[0]), int(t[1]), int(t[2]));
  mesh.computeNormals();
  return mesh;
}

// The square (-size, -size)-(size, size) in the plane z as two triangles facing +z.
inline TriMesh<float> makeSquareMesh(float size, float z = 0.0f) {
  return makeTriMesh({{-size, -size, z}, {size, -size, z}, {size, size, z}, {-size, size, z}},
                     {{0, 1, 2}, {0, 2, 3}});
}
