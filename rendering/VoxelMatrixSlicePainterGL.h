#pragma once

#include "foundation/Vector.h"
#include "imaging/DisplayRange.h"
#include "imaging/Image.h"
#include "imaging/VoxelMatrix.h"
#include "rendering/ImagePainterGL.h"
#include "rendering/PainterGL.h"

#include <memory>

// Shows one slice of a voxel matrix as a grey texture placed at the slice's depth. The chosen slice
// is converted once to an 8-bit image through the display range and handed to an image painter of
// its own; every paint replays that texture. The matrix is referenced, not owned.
// Showing a slice uploads a texture: it needs the canvas's OpenGL context current.
// Instantiated for float voxels and float coordinates.
template <class VoxelType, class CoordType> class VoxelMatrixSlicePainterGL : public PainterGL<CoordType> {
public:
  VoxelMatrixSlicePainterGL(); // no matrix, origin (0, 0, 0), direction 2, no slice shown (-1)

  // Remembers the matrix, takes its pixel calibration and shows slice 0.
  void setVoxelMatrix(const VoxelMatrix<VoxelType>& matrix);
  bool hasVoxelMatrix() const { return _matrix != nullptr; }
  const VoxelMatrix<VoxelType>& getVoxelMatrix() const; // ProgramError without a matrix
  const ImagePainterGL<CoordType>& getImagePainter() const { return _imagePainter; }

  void glInit(); // shows slice 0

  void setOrigin(const Vector<CoordType>& origin) { _origin = origin; }
  // 2: slices lie in planes of constant z, rows along x and columns along y. 0: the same corners
  // turned (x, y, z) -> (z, x, y), so slices lie in planes of constant x.
  void setDirection(int direction) { _direction = direction; }
  int getDirection() const { return _direction; }

  // Converts slice k and shows it. The current slice again, an index at or beyond the last slice,
  // or a negative one, changes nothing.
  void setCurrentSlice(int k);
  int getCurrentSlice() const { return _currentSlice; }
  // The values shown black to white (0 to 255 at first); a new range converts the shown slice again.
  void setDisplayRange(const DisplayRange& range);
  const DisplayRange& getDisplayRange() const { return _displayRange; }

  // Empty without a matrix, else the whole volume from the origin, whichever slice is shown and
  // whatever the direction.
  BoundingBox<CoordType> boundingBox() const override;
  void glDraw() const override; // the current slice's image painter

private:
  const VoxelMatrix<VoxelType>* _matrix = nullptr;
  ImagePainterGL<CoordType> _imagePainter;
  std::unique_ptr<Image> _sliceImage; // the shown slice, drawn by the image painter
  Vector<CoordType> _origin;
  int _direction = 2;
  int _currentSlice = -1;
  DisplayRange _displayRange;

  void showSlice(int k); // converts slice k through the display range and places it
};
