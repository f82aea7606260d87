#pragma once

#include "imaging/ImageSourceHeader.h"

#include <string>

// One plane (TIFF directory) of a multi-page TIFF file.
class ImageSourceTiffStackPlane : public ImageSourceHeader {
public:
  std::unique_ptr<ImageSource> clone() const override {
    return std::make_unique<ImageSourceTiffStackPlane>(*this);
  }
  int getType() const override { return 4; }
  bool isDefined() const override { return !_filename.empty() && _plane >= 0; }

  // Stores the name and reads the stack's header; the reader's errors reach the caller.
  void setTiffStackFilename(const std::string& filename);
  const std::string& getTiffStackFilename() const { return _filename; }
  void setPlane(int plane) { _plane = plane; } // passed to libtiff unchanged
  int getPlane() const { return _plane; }

  int getNumImages() const { return hasHeader() ? getHeader().getPlanes() : 0; }
  float getVoxelSizeX() const { return getHeader().getVoxelSizeX(); }
  float getVoxelSizeY() const { return getHeader().getVoxelSizeY(); }
  float getVoxelSizeZ() const { return getHeader().getVoxelSizeZ(); } // the ImageJ "spacing="

private:
  std::string _filename;
  int _plane = 0;
};
