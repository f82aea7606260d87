#pragma once

#include "imaging/DisplayRange.h"
#include "imaging/Image.h"
#include "imaging/VoxelMatrix.h"
#include "rendering/ImagePainterGL.h"
#include "rendering/VoxelMatrixSlicePainterGL.h"

#include <memory>
#include <vector>

// The images and voxel-matrix slices shown among the shapes, and the display range of their grey
// levels. It owns the images, the resliced copies of the matrices and their painters; whoever shows
// them (the window's canvas, ostrel-render's scene) adds the painters to its scene and has its
// OpenGL context current while textures are made or given back: in every call that changes layers.
class ImageLayers {
public:
  ImageLayers() = default;
  ImageLayers(const ImageLayers&) = delete;
  ImageLayers& operator=(const ImageLayers&) = delete;
  ~ImageLayers(); // call clear() first, with the context current, while it still exists

  // Two painters for the image, the second at position 10; returns them. A 16-bit image is shown
  // through its automatic display range, a palette image in its colours.
  std::vector<PainterGL<float>*> addImage(std::unique_ptr<Image> image);
  // Reslices a copy of the matrix along its rows and shows slice `slice` of it (slice 0 when the
  // copy has no such slice) with direction 0, through the copy's automatic display range.
  VoxelMatrixSlicePainterGL<float, float>& addVoxelMatrix(const VoxelMatrix<float>& matrix, int slice);
  // Every matrix shows slice k; matrices without such a slice keep theirs.
  void showSlice(int k);
  // Every matrix and 16-bit image shows its values through the range.
  void setDisplayRange(const DisplayRange& range);
  // Every matrix and 16-bit image goes back to its own automatic range.
  void useAutomaticRanges();
  // The automatic range of the matrix or 16-bit image loaded last (0 to 255 without any).
  const DisplayRange& lastAutomaticRange() const { return _lastAutomatic; }
  // Deletes every image and slice painter with its texture (take them off the scene first).
  void clear();

  std::vector<PainterGL<float>*> painters() const; // images' first, then slices, in loading order
  int numImages() const { return static_cast<int>(_images.size()); }
  int numVoxelMatrices() const { return static_cast<int>(_slices.size()); }

private:
  // An image as read and as shown; the painters refer to the shown one.
  struct ImageLayer {
    std::unique_ptr<Image> grey16; // the 16-bit image shown through a display range; null for others
    std::unique_ptr<Image> shown;
    DisplayRange automatic;
    std::vector<std::unique_ptr<ImagePainterGL<float>>> painters;
  };
  struct SliceLayer {
    std::unique_ptr<VoxelMatrix<float>> matrix; // the resliced copy
    std::unique_ptr<VoxelMatrixSlicePainterGL<float, float>> painter;
    DisplayRange automatic;
  };

  static void showThrough(ImageLayer& layer, const DisplayRange& range); // remakes the shown image

  std::vector<ImageLayer> _images;
  std::vector<SliceLayer> _slices;
  DisplayRange _lastAutomatic;
};
