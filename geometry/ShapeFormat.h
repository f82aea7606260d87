#pragma once

#include "geometry/Shape.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One kind of shape file: the program's own text formats (one per shape kind, recognised by the type
// code of their header) and the mesh formats of other programs (recognised by extension).
template <class T> struct ShapeFormat {
  using Reader = std::function<std::vector<std::unique_ptr<Shape<T>>>(const std::string& path)>;
  using Writer = std::function<void(const std::vector<const Shape<T>*>& shapes, const std::string& path)>;

  std::string label;                   // the file dialog's name for these files: "TriMesh files"
  std::vector<std::string> extensions; // lower case, without the dot: {"gltf", "glb"}
  std::vector<int> typeCodes;          // own formats: the header codes of the kind; empty: by extension
  Reader read;                         // every shape of the file, not yet named after it
  Writer write;                        // empty for formats that the program does not export to
};
