#pragma once

#include "geometry/ShapeFormat.h"

#include <memory>
#include <string>
#include <vector>

// The one list of shape file formats. Recognising, loading, saving, the export dialog's filters and the
// companions of a file all read it, so that a new format is one more entry.
template <class T> class ShapeFormats {
public:
  // The own formats in the file dialog's order (Vertices, Curve, VertexStack, CurveStack, QuadMesh,
  // TriMesh), then the mesh formats of other programs (PLY, OBJ, STL, OFF, glTF).
  static const std::vector<ShapeFormat<T>>& all();
  // The format of the path's extension (any letter case) among other programs' formats, for saving;
  // null when none has it.
  static const ShapeFormat<T>* byExtension(const std::string& path);
  // The own format whose header holds this type code, null for an unknown code.
  static const ShapeFormat<T>* byTypeCode(int code);

  // How surely the file is of this format: 2 when its content shows it, plus 1 when its suffix is
  // one of the format's; 0 when neither.
  static int score(const ShapeFormat<T>& format, const FileBytes& file);
  // The format that scores highest (the first of a tie), null when none scores.
  static const ShapeFormat<T>* recognise(const FileBytes& file);

  // Every shape of the file, read by the format recognised. A file that no format recognises is read
  // as an own-format file, as its header says ("#" and a type code, a missing code reading as 0), or
  // refused: FileFormatError "Invalid shape description format" (no "#") or "Unknown shape type".
  // Other errors are those of the reader.
  static std::vector<std::unique_ptr<Shape<T>>> load(const FileBytes& file);
  static std::vector<std::unique_ptr<Shape<T>>> load(const std::string& path); // read through FileBytes
  // The one shape of the file; one that holds several shapes is refused ("The file holds several shapes").
  static std::unique_ptr<Shape<T>> loadShape(const std::string& path);
  // Writes the shapes in the format of the path's extension; FileWriteError "Unknown export format"
  // naming the file when no format with a writer has that extension.
  static void save(const std::vector<const Shape<T>*>& shapes, const std::string& path);

  // The companion of this role of a file of the format: its path with the format's "." and extension
  // replaced by the companion's suffix (exactly as written: "cell.tm" -> "cell.vcolors.tm"); "" when the
  // path does not end so or the format has no such companion.
  static std::string companionPath(const ShapeFormat<T>& format, const std::string& path,
                                   ShapeCompanion::Role role);

  // The export dialog's filters: one per format with a writer.
  static std::vector<std::string> exportFilters();
};
