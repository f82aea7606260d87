#include "rendering/ImagePainterGL.h"

#include "foundation/ErrorThrowing.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

bool isPowerOfTwo(int n) {
  return n >= 1 && (n & (n - 1)) == 0;
}

int nextPowerOfTwo(int n) {
  int power = 1;
  while (power < n) power *= 2;
  return power;
}

// How OpenGL reads the pixels of an image of this depth.
GLenum pixelFormat(int depth) {
  switch (depth) {
  case 24:
    return GL_RGB;
  case 32:
    return GL_RGBA;
  default:
    return GL_LUMINANCE;
  }
}

GLenum pixelType(int depth) {
  return depth == 16 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_BYTE;
}

} // namespace

template <class T> ImagePainterGL<T>::ImagePainterGL() = default;

template <class T> ImagePainterGL<T>::~ImagePainterGL() {
  glClear();
}

template <class T> void ImagePainterGL<T>::setImage(const Image& image) {
  glClear();
  _image = &image;
}

template <class T> const Image& ImagePainterGL<T>::getImage() const {
  if (!_image) throwError<ProgramError>(OSTREL_HERE, "No image is associated to this painter");
  return *_image;
}

template <class T> bool ImagePainterGL<T>::needsScaledImage(const Image& image) {
  return !isPowerOfTwo(image.getWidth()) || !isPowerOfTwo(image.getHeight());
}

template <class T> void ImagePainterGL<T>::initScaledImage() const {
  const int width = nextPowerOfTwo(_image->getWidth());
  const int height = nextPowerOfTwo(_image->getHeight());
  _scaledImage = std::make_unique<Image>(width, height, _image->getDepth());
  // Image rows are not padded, on either side of the resampling.
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  const GLenum format = pixelFormat(_image->getDepth());
  const GLenum type = pixelType(_image->getDepth());
  gluScaleImage(format, _image->getWidth(), _image->getHeight(), type, _image->getData(), width, height, type,
                _scaledImage->getData());
  glPopClientAttrib();
}

template <class T> void ImagePainterGL<T>::glInit() const {
  if (!_image || _texture.name() != 0) return;
  if (needsScaledImage(*_image)) initScaledImage();
  const Image& drawn = _scaledImage ? *_scaledImage : *_image;
  glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  GLuint name = 0;
  glGenTextures(1, &name);
  _texture = GLObject(GLObject::Kind::Texture, name);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, drawn.getWidth(), drawn.getHeight(), 0,
               pixelFormat(drawn.getDepth()), pixelType(drawn.getDepth()), drawn.getData());
  glPopClientAttrib();
}

template <class T> void ImagePainterGL<T>::glClear() {
  if (!_image) return;
  _texture.reset();
  _image = nullptr;
  _scaledImage.reset();
  _position = 0.0f;
}

template <class T> void ImagePainterGL<T>::setCorners(const Vertices<T>& corners) {
  _corners.assign(Vertices<T>(3, 4));
  for (int i = 0; i < 4 && i < corners.getNumVertices(); ++i) _corners[i] = corners[i];
}

template <class T> BoundingBox<T> ImagePainterGL<T>::boundingBox() const {
  if (!_image) return BoundingBox<T>();
  Vector<T> lower(3);
  lower.setZeros();
  Vector<T> upper(3);
  upper[0] = static_cast<T>(_image->getHeight() * _pixelCalibration.getPixelHeight());
  upper[1] = static_cast<T>(_image->getWidth() * _pixelCalibration.getPixelWidth());
  upper[2] = T(0);
  return BoundingBox<T>(lower, upper);
}

template <class T> Vertices<T> ImagePainterGL<T>::defaultCorners() const {
  const BoundingBox<T> box = boundingBox();
  const T a = box.getVertex2()[0];
  const T b = box.getVertex2()[1];
  Vertices<T> corners(3, 4);
  const T xy[4][2] = {{0, 0}, {a, 0}, {a, b}, {0, b}};
  for (int i = 0; i < 4; ++i) {
    corners[i][0] = xy[i][0];
    corners[i][1] = xy[i][1];
    corners[i][2] = T(0);
  }
  return corners;
}

template <class T> void ImagePainterGL<T>::glDraw() const {
  if (!_image) return;
  glInit();
  const Vertices<T> fallback = defaultCorners();
  const Vertices<T>& corners = _corners.getNumVertices() == 4 ? _corners : fallback;
  static const float texture[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, _texture.name());
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; ++i) {
    glTexCoord2f(texture[i][0], texture[i][1]);
    glVertex3f(static_cast<float>(corners[i][0]), static_cast<float>(corners[i][1]),
               static_cast<float>(corners[i][2]));
  }
  glEnd();
  glFlush();
  glDisable(GL_TEXTURE_2D);
}

template class ImagePainterGL<float>;
