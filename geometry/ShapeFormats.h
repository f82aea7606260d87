#pragma once

#include "geometry/ShapeFormat.h"

#include <memory>
#include <string>
#include <vector>

// The one list of shape file formats. Loading, saving, the file dialogs' filters and the choice of a
// reader all read it, so that a new format is one more entry.
template <class T> class ShapeFormats {
public:
  // The own formats in the file dialog's order (Vertices, Curve, VertexStack, CurveStack, QuadMesh,
  // TriMesh), then the mesh formats of other programs (PLY, OBJ, STL, OFF, glTF).
  static const std::vector<ShapeFormat<T>>& all();
  // The format recognised by the path's extension (any letter case), null when none is: the own
  // formats are recognised by their header, whatever the file's name.
  static const ShapeFormat<T>* byExtension(const std::string& path);
  // The own format whose header holds this type code, null for an unknown code.
  static const ShapeFormat<T>* byTypeCode(int code);

  // Every shape of the file: a mesh file by its extension (names as importMeshFile gives them; a
  // ".obj" file through MniSurfaceReader or ObjReader, as its content says), else the own format that
  // its header names (Shape::loadFile). Errors are those of the reader.
  static std::vector<std::unique_ptr<Shape<T>>> load(const std::string& path);
  // Writes the shapes in the format of the path's extension; FileWriteError "Unknown export format"
  // naming the file when no format with a writer has that extension.
  static void save(const std::vector<const Shape<T>*>& shapes, const std::string& path);

  // The open dialog's filters: one per own format, then "Mesh files (*.ply *.obj ...)".
  static std::vector<std::string> openFilters();
  // The export dialog's filters: one per format with a writer.
  static std::vector<std::string> exportFilters();
};
