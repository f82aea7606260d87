#pragma once

#include "geometry/Shape.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FileBytes;

// A file that goes with a shape file, found by an exact suffix rule: "cell.tm" has its vertex colours
// in "cell.vcolors.tm" and its parameters in "cell-parameters.df".
struct ShapeCompanion {
  enum class Role { VertexColours, Parameters };
  Role role;
  std::string suffix; // replaces the shape file's "." and extension: ".vcolors.tm", "-parameters.df"
};

// One kind of shape file: the program's own text formats (one per shape kind, recognised by the type
// code of their header) and the mesh formats of other programs.
template <class T> struct ShapeFormat {
  using Reader = std::function<std::vector<std::unique_ptr<Shape<T>>>(const FileBytes& file)>;
  using Writer = std::function<void(const std::vector<const Shape<T>*>& shapes, const std::string& path)>;

  std::string label;                   // the file dialog's name for these files: "TriMesh files"
  std::vector<std::string> extensions; // lower case, without the dot: {"gltf", "glb"}
  std::vector<int> typeCodes;          // own formats: the header codes of the kind; empty for the others
  // Whether the bytes show this format by their content; empty for a format known by its suffix only.
  std::function<bool(std::string_view bytes)> showsItself;
  Reader read;                            // every shape of the file, named after it
  Writer write;                           // empty for formats that the program does not export to
  std::vector<ShapeCompanion> companions; // optional files read with it
};
