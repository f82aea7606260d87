#include "geometry/ShapeType.h"

namespace {

struct ShapeTypeEntry {
  const char* name;
  const char* extension;
};

constexpr ShapeTypeEntry shapeTypes[] = {
    {"ClosedCurve", "cv"},    {"OpenCurve", "cv"},      {"ClosedCurveStack", "cs"},
    {"OpenCurveStack", "cs"}, {"ClosedQuadMesh", "qm"}, {"OpenQuadMesh", "qm"},
    {"Vertices", "vx"},       {"VertexStack", "vs"},    {"TriMesh", "tm"},
};

constexpr int numShapeTypes = sizeof(shapeTypes) / sizeof(shapeTypes[0]);

} // namespace

std::string shapeTypeName(int code) {
  if (code < 0 || code >= numShapeTypes) return "UnkwownShape";
  return shapeTypes[code].name;
}

std::string shapeTypeExtension(int code) {
  if (code < 0 || code >= numShapeTypes) return "";
  return shapeTypes[code].extension;
}
