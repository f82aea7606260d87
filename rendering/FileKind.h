#pragma once

#include "geometry/ShapeFormat.h"
#include "imaging/Image.h"
#include "imaging/VoxelMatrix.h"
#include "rendering/ShapePainterGL.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FileBytes;

// What one file gave: the shapes of a shape file, or a voxel matrix, or an image.
struct LoadedFile {
  std::vector<std::unique_ptr<Shape<float>>> shapes;
  std::unique_ptr<VoxelMatrix<float>> voxelMatrix;
  std::unique_ptr<Image> image;
};

// One kind of file that the program opens: how it is recognised, read, accompanied and drawn.
struct FileKind {
  enum class Content { Shapes, VoxelMatrix, Image };

  std::string label;                 // the file dialogs' name of these files: "TriMesh files", "LSM images"
  Content content;                   // which dialog lists it, and what reading it gives
  std::vector<std::string> suffixes; // lower case, without the dot
  // Whether the bytes show this kind by their content; empty for a kind known by its suffix only.
  std::function<bool(std::string_view bytes)> showsItself;
  std::function<LoadedFile(const FileBytes& file)> read;
  // Shape kinds: the shape format behind the kind (its type codes and companion files); else null.
  const ShapeFormat<float>* shapeFormat = nullptr;
  // Own shape kinds: the painter that draws their shapes (given the shape); empty for the others,
  // whose shapes are drawn as the own kind they become.
  std::function<std::unique_ptr<ShapePainterGL<float>>(const Shape<float>& shape)> painter;
};
