#pragma once

#include "imaging/ImageSourceHeader.h"

#include <string>

// One plane of a Zeiss LSM stack; the frame selects the channel (the sample of each scanline).
class ImageSourceLSMStackPlane : public ImageSourceHeader {
public:
  std::unique_ptr<ImageSource> clone() const override {
    return std::make_unique<ImageSourceLSMStackPlane>(*this);
  }
  int getType() const override { return 5; }
  bool isDefined() const override { return !_filename.empty() && _plane >= 0; }

  // Stores the name and reads the stack's header (traced); the reader's errors reach the caller.
  void setLSMStackFilename(const std::string& filename);
  const std::string& getLSMStackFilename() const { return _filename; }
  void setPlane(int plane) { _plane = plane; }
  int getPlane() const { return _plane; }
  void setFrame(int frame) { _frame = frame; }
  int getFrame() const { return _frame; }

  int getNumImages() const { return hasHeader() ? getHeader().getPlanes() : 0; }
  int getChannel() const { return getHeader().getChannels(); }
  int getNewSubFileType() const { return getHeader().getNewSubfileType(); }
  float getVoxelSizeX() const { return getHeader().getVoxelSizeX(); }
  float getVoxelSizeY() const { return getHeader().getVoxelSizeY(); }
  float getVoxelSizeZ() const { return getHeader().getVoxelSizeZ(); }

private:
  std::string _filename;
  int _plane = 0;
  int _frame = 0;
};
