#pragma once

#include "geometry/TriMesh.h"

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Small triangle meshes for the geometry tests: closed solids with outward triangles, open patches
// and degenerate cases. Each helper builds a new float mesh.

using Points = std::vector<std::vector<float>>;
using Triples = std::vector<std::vector<int>>;

inline std::unique_ptr<TriMesh<float>> makeMesh(const Points& points, const Triples& triples,
                                                const std::string& name = "mesh") {
  auto mesh = std::make_unique<TriMesh<float>>(3, static_cast<int>(points.size()));
  for (std::size_t v = 0; v < points.size(); ++v)
    for (int i = 0; i < 3; ++i) mesh->vertex(static_cast<int>(v))[i] = points[v][i];
  for (const auto& t : triples) mesh->addTriangle(t[0], t[1], t[2]);
  mesh->setName(name);
  return mesh;
}

// A regular tetrahedron centred on the origin.
inline std::unique_ptr<TriMesh<float>> tetrahedron() {
  return makeMesh({{1, 1, 1}, {1, -1, -1}, {-1, 1, -1}, {-1, -1, 1}},
                  {{0, 1, 2}, {0, 3, 1}, {0, 2, 3}, {1, 3, 2}}, "tetrahedron");
}

// The octahedron of the unit axis points, centred on the origin.
inline std::unique_ptr<TriMesh<float>> octahedron() {
  return makeMesh({{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}},
                  {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4}, {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}},
                  "octahedron");
}

// The unit cube [0, 1]^3.
inline std::unique_ptr<TriMesh<float>> unitCube() {
  auto mesh = std::make_unique<TriMesh<float>>();
  mesh->cube();
  mesh->setName("cube");
  return mesh;
}

// A torus around the z axis (radii major and minor), centred on the origin.
inline std::unique_ptr<TriMesh<float>> torus(int rings, int sides, float major = 3.0f, float minor = 1.0f) {
  const double pi = 3.14159265358979323846;
  Points points;
  Triples triples;
  auto at = [&](int r, int s) { return (r % rings) * sides + (s % sides); };
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < sides; ++s) {
      const double u = 2 * pi * r / rings, v = 2 * pi * s / sides, radius = major + minor * std::cos(v);
      points.push_back(
          {float(radius * std::cos(u)), float(radius * std::sin(u)), float(minor * std::sin(v))});
      triples.push_back({at(r, s), at(r + 1, s), at(r + 1, s + 1)});
      triples.push_back({at(r, s), at(r + 1, s + 1), at(r, s + 1)});
    }
  return makeMesh(points, triples, "torus");
}

// Closed meshes of a few shapes, for invariants that every closed surface must keep.
inline std::vector<std::unique_ptr<TriMesh<float>>> closedMeshes() {
  std::vector<std::unique_ptr<TriMesh<float>>> meshes;
  meshes.push_back(tetrahedron());
  meshes.push_back(octahedron());
  meshes.push_back(unitCube());
  meshes.push_back(torus(12, 8));
  return meshes;
}

// One equilateral triangle in the plane z = 0, counter-clockwise seen from +z.
inline std::unique_ptr<TriMesh<float>> equilateralTriangle() {
  return makeMesh({{0, 0, 0}, {1, 0, 0}, {0.5f, std::sqrt(3.0f) / 2, 0}}, {{0, 1, 2}}, "equilateral");
}
