#pragma once

#include <string>

// The kinds of shapes, with the code that Shape::getShapeType() answers and that every shape file
// starts with.
enum class ShapeType : int {
  ClosedCurve = 0,
  OpenCurve = 1,
  ClosedCurveStack = 2,
  OpenCurveStack = 3,
  ClosedQuadMesh = 4,
  OpenQuadMesh = 5,
  Vertices = 6,
  VertexStack = 7,
  TriMesh = 8,
};

constexpr int shapeTypeCode(ShapeType type) {
  return static_cast<int>(type);
}

// "ClosedCurve", ..., "TriMesh"; "UnkwownShape" for any other code.
std::string shapeTypeName(int code);
// The extension that save() gives a file of this kind ("cv", "cs", "qm", "vx", "vs", "tm"), "" for
// an unknown code.
std::string shapeTypeExtension(int code);
