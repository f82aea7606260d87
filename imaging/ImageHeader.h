#pragma once

#include "imaging/Colormap.h"
#include "imaging/PixelCalibration.h"

#include <memory>

// Kind of an image file, with the codes the format had as a bare number.
enum class ImageFormat {
  None = 0,         // after clearing
  Unrecognized = 1, // read, but of no kind the reader knows
  Img = 2,          // raw 512 x 512 "img"
  Tiff = 3,
  Lsm = 4, // Zeiss LSM: TIFF with an LSM information block
};

// What an image file says about its image: format, sizes, depth, optional palette, calibration,
// and the LSM extras (channels, subfile type, voxel sizes in micrometres).
class ImageHeader {
public:
  ImageHeader() = default;
  ImageHeader(const ImageHeader& other); // as assignment
  // Copies format, sizes, planes, depth and calibration; the colour map only for 8-bit sources.
  // Channels, subfile type and voxel sizes are not copied.
  ImageHeader& operator=(const ImageHeader& other);

  void clear(); // zero format, sizes, planes and depth, default calibration, no colour map

  ImageFormat getFormat() const { return _format; }
  void setFormat(ImageFormat format) { _format = format; }
  int getHeight() const { return _height; }
  void setHeight(int height) { _height = height; }
  int getWidth() const { return _width; }
  void setWidth(int width) { _width = width; }
  int getPlanes() const { return _planes; }
  void setPlanes(int planes) { _planes = planes; }
  int getDepth() const { return _depth; }
  void setDepth(int depth) { _depth = depth; }

  bool hasColormap() const { return _colormap != nullptr; }
  const Colormap* getColormap() const { return _colormap.get(); } // null when none
  void setColormap(const Colormap& colormap);
  void removeColormap() { _colormap.reset(); }

  const PixelCalibration& getPixelCalibration() const { return _pixelCalibration; }
  void setPixelCalibration(const PixelCalibration& calibration) { _pixelCalibration = calibration; }

  int getChannels() const { return _channels; }
  void setChannels(int channels) { _channels = channels; }
  int getNewSubfileType() const { return _newSubfileType; }
  void setNewSubfileType(int type) { _newSubfileType = type; }
  float getVoxelSizeX() const { return _voxelSizeX; }
  float getVoxelSizeY() const { return _voxelSizeY; }
  float getVoxelSizeZ() const { return _voxelSizeZ; }
  void setVoxelSizeX(float size) { _voxelSizeX = size; }
  void setVoxelSizeY(float size) { _voxelSizeY = size; }
  void setVoxelSizeZ(float size) { _voxelSizeZ = size; }

private:
  ImageFormat _format = ImageFormat::None;
  int _height = 0;
  int _width = 0;
  int _planes = 0;
  int _depth = 0;
  std::unique_ptr<Colormap> _colormap;
  PixelCalibration _pixelCalibration;
  int _channels = 0;
  int _newSubfileType = 0;
  float _voxelSizeX = 1.0f;
  float _voxelSizeY = 1.0f;
  float _voxelSizeZ = 1.0f;
};
