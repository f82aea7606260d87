#pragma once

#include "rendering/FileKind.h"

#include <memory>
#include <string>
#include <vector>

// The one registry of the kinds of files that the program opens: shape files (the program's own and
// other programs' mesh files, from the shape formats), voxel matrices (".vm" files and TIFF stacks)
// and TIFF and LSM images. The command line, dropped files, the file dialogs and ostrel-render all
// recognise and read files through it, and the painters of shapes are chosen from it.
class FileKinds {
public:
  // Own shape formats, other programs' mesh formats, then TIFF images, LSM images, TIFF stacks and
  // ".vm" voxel matrices.
  static const std::vector<FileKind>& all();

  // How surely the file is of this kind: 2 when its content shows it, plus 1 when its suffix is one
  // of the kind's; 0 when neither.
  static int score(const FileKind& kind, const FileBytes& file);
  // The kind that scores highest (the first of a tie); a file that no kind recognises is taken for
  // "Shape files", read as its header says (ShapeFormats::load), which says what is wrong with it.
  static const FileKind& recognise(const FileBytes& file);
  // The kind of the own shape format of this type code, null for a code that no kind has.
  static const FileKind* ofShapeType(int typeCode);

  // "a TriMesh file", "an LSM image": the kind in messages about a file.
  static std::string noun(const FileKind& kind);

  // The open dialog's filters for one content: every suffix of its kinds together, then each kind,
  // then "All files (*)".
  static std::vector<std::string> openFilters(FileKind::Content content);

  // The painter that draws the shape (given it; it must outlive the painter), from the kind of its
  // type code; null for a code that no kind has.
  static std::unique_ptr<ShapePainterGL<float>> painterOf(const Shape<float>& shape);
};
