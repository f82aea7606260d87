#pragma once

#include <string>

// Feeds one file to a reader that takes a user's file, the way the program uses it, and then to the
// steps that follow a successful read (planes of a stack, a mosaic tile, a plane of a voxel matrix).
// A clean refusal (an Exception) ends a step; anything else (a crash, a leak, undefined behaviour,
// a huge allocation) is a fault. Shared by the fuzz harnesses and the regression tests that run
// every finding.
class ReaderExercises {
public:
  // TIFF, LSM or raw "img" image: header, image, stack planes, mosaic tile, voxel matrix of a ".tif".
  static void imageFile(const std::string& path);
  // Voxel matrix (".vm") read as matrix of elementType 0: unsigned char, 1: int, 2: float, 3: double.
  static void voxelMatrixFile(const std::string& path, int elementType);
  // Shape file (own format or another program's mesh file) loaded as the main window loads it, with
  // the ".vcolors" companion beside it if any.
  static void shapeFile(const std::string& path);
  // Data set (".df") with the given field separator, and as a mesh's parameter file.
  static void dataSetFile(const std::string& path, char separator);

  // The exercise for the file's suffix (".tif", ".tiff", ".lsm", ".img", ".vm", ".df", a shape or
  // mesh file suffix); false when none takes it.
  static bool bySuffix(const std::string& path);
};
