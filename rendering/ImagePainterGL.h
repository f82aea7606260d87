#pragma once

#include "geometry/Vertices.h"
#include "imaging/Image.h"
#include "imaging/PixelCalibration.h"
#include "rendering/GLObject.h"
#include "rendering/PainterGL.h"

#include <memory>

// Draws an image as a texture on a quadrilateral whose four corners are given in scene coordinates.
// 8- and 16-bit images are grey levels; 24- and 32-bit ones RGB and RGBA. An image whose sides are
// not powers of two is drawn from a copy resampled once to the next powers of two. The painter refers
// to the image without owning it.
// The texture is made by the first draw after the image is set (or by glInit), in the context current
// then, and replayed by every later draw; it is given back (glClear, a new image, the destructor) in
// that context, at once or at the canvas's next paint (GLObject).
// Instantiated for float.
template <class T> class ImagePainterGL : public PainterGL<T> {
public:
  ImagePainterGL();
  ~ImagePainterGL() override; // as glClear()
  ImagePainterGL(const ImagePainterGL&) = delete;
  ImagePainterGL& operator=(const ImagePainterGL&) = delete;

  bool hasImage() const { return _image != nullptr; }
  // Releases the current texture and scaled copy and remembers the image for the next draw.
  void setImage(const Image& image);
  const Image& getImage() const; // ProgramError without an image
  // The resampled copy that is drawn instead of the image once the texture is made; null when the
  // image's sides fit.
  const Image* getScaledImage() const { return _scaledImage.get(); }

  // Whether width or height is not a power of two.
  static bool needsScaledImage(const Image& image);

  // Resamples the image when needed and uploads the drawn pixels (scaled copy, else image) as a new
  // texture, unless that is done already.
  void glInit() const;
  // Deletes the texture and the scaled copy and forgets the image (which is not deleted); position 0.
  void glClear();

  void setPixelCalibration(const PixelCalibration& calibration) { _pixelCalibration = calibration; }
  // A place along the viewing direction kept for the owner; drawing does not use it.
  void setPosition(float position) { _position = position; }
  float getPosition() const { return _position; }
  // Corners mapped to texture corners (0, 0), (0, 1), (1, 1), (1, 0): the first texture coordinate
  // runs along image columns, the second along rows. Until set, the image lies on its bounding box.
  void setCorners(const Vertices<T>& corners);

  // Empty without an image, else (0, 0, 0) to (height x pixel height, width x pixel width, 0).
  BoundingBox<T> boundingBox() const override;
  // The textured quadrilateral, unlit; nothing without an image.
  void glDraw() const override;

private:
  Vertices<T> defaultCorners() const; // the bounding box's rectangle, rows along x
  // Resamples the image into a copy whose sides are the next powers of two (with GLU: needs a context).
  void initScaledImage() const;

  const Image* _image = nullptr;
  // Made by glInit, which draws call with their context current.
  mutable std::unique_ptr<Image> _scaledImage;
  mutable GLObject _texture;
  float _position = 0.0f;
  Vertices<T> _corners; // empty until set
  PixelCalibration _pixelCalibration;
};
