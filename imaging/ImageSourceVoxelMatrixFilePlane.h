#pragma once

#include "imaging/ImageSourceVoxelMatrixBase.h"

#include <string>

// One slice of the float voxel matrix stored in a ".vm" file.
class ImageSourceVoxelMatrixFilePlane : public ImageSourceVoxelMatrixBase {
public:
  std::unique_ptr<ImageSource> clone() const override {
    return std::make_unique<ImageSourceVoxelMatrixFilePlane>(*this);
  }
  int getType() const override { return 3; }
  bool isDefined() const override { return !_filename.empty() && getPlane() >= 0; }

  // Stores the name and takes the matrix size from the file's header; file errors reach the caller.
  void setVoxelMatrixFilename(const std::string& filename);
  const std::string& getVoxelMatrixFilename() const { return _filename; }

private:
  std::string _filename;
};
