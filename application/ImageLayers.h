#pragma once

#include "imaging/Image.h"
#include "imaging/VoxelMatrix.h"
#include "rendering/ImagePainterGL.h"
#include "rendering/VoxelMatrixSlicePainterGL.h"

#include <memory>
#include <vector>

class ViewerCanvasGL;

// The images and voxel-matrix slices shown among the shapes. It owns the images, the resliced
// copies of the matrices and their painters, adds the painters to the canvas and removes them, and
// makes the canvas's OpenGL context current whenever textures are made or given back.
class ImageLayers {
public:
  ImageLayers() = default;
  ImageLayers(const ImageLayers&) = delete;
  ImageLayers& operator=(const ImageLayers&) = delete;
  ~ImageLayers(); // call clear() first while the canvas still exists

  // Two painters for the image, the second at position 10. 16-bit images are shown stretched from
  // their darkest to their brightest pixel, palette images in their colours.
  void addImage(std::unique_ptr<Image> image, ViewerCanvasGL& canvas);
  // Reslices a copy of the matrix along its rows and shows slice `slice` of it (slice 0 when the
  // copy has no such slice) with direction 0. A matrix with values outside 0..255 is shown stretched
  // from its smallest to its largest value. Returns the copy's number of slices.
  int addVoxelMatrix(const VoxelMatrix<float>& matrix, int slice, ViewerCanvasGL& canvas);
  // Every matrix shows slice k; matrices without such a slice keep theirs.
  void showSlice(int k, ViewerCanvasGL& canvas);
  // Takes every image and slice painter off the canvas and deletes them with their textures.
  void clear(ViewerCanvasGL& canvas);

  int numImages() const { return static_cast<int>(_images.size()); }
  const std::vector<std::unique_ptr<VoxelMatrixSlicePainterGL<float, float>>>& getSlicePainters() const {
    return _slicePainters;
  }

private:
  // Owned models first, so that they outlive the painters that refer to them.
  std::vector<std::unique_ptr<Image>> _images;
  std::vector<std::unique_ptr<VoxelMatrix<float>>> _matrices;
  std::vector<std::unique_ptr<ImagePainterGL<float>>> _imagePainters;
  std::vector<std::unique_ptr<VoxelMatrixSlicePainterGL<float, float>>> _slicePainters;
};
