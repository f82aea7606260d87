#pragma once

#include "imaging/Image.h"

#include <memory>
#include <string>

// Tells what a file holds by its content and reads its image; the window (command line, dropped
// files) and ostrel-render recognise and read files through it alike.
class ImageFileLoader {
public:
  enum class Content { Shape, VoxelMatrix, Image };

  // ".vm" files and files with a voxel-matrix header are voxel matrices; TIFF stacks of two or more
  // pages named ".tif" or ".tiff" too; other TIFF and LSM files are images; anything else a shape file.
  static Content recognise(const std::string& fileName);
  // The image of a TIFF file, or the first plane of an LSM stack (whose pixels the plain read skips).
  // A file that cannot be read raises its Exception.
  static std::unique_ptr<Image> readImage(const std::string& fileName);
};
