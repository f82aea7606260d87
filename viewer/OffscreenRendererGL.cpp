#include "viewer/OffscreenRendererGL.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/StageTimes.h"
#include "viewer/ViewerSceneGL.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A frame buffer object of one strip with colour and depth-stencil render buffers, bound while it
// lives; the frame buffers, viewport and pixel packing that were current before come back after it.
class StripBuffer {
public:
  StripBuffer(int width, int height) {
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &_previousDraw);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &_previousRead);
    glGetIntegerv(GL_VIEWPORT, _previousViewport);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glGenFramebuffers(1, &_frameBuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, _frameBuffer);
    glGenRenderbuffers(2, _renderBuffers);
    glBindRenderbuffer(GL_RENDERBUFFER, _renderBuffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, _renderBuffers[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, _renderBuffers[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              _renderBuffers[1]);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      release();
      throwError<ProgramError>(OSTREL_HERE, "The OpenGL driver cannot make a frame buffer of " +
                                                std::to_string(width) + " x " + std::to_string(height) +
                                                " pixels");
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
  }
  ~StripBuffer() { release(); }
  StripBuffer(const StripBuffer&) = delete;
  StripBuffer& operator=(const StripBuffer&) = delete;

private:
  void release() {
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(_previousDraw));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(_previousRead));
    glViewport(_previousViewport[0], _previousViewport[1], _previousViewport[2], _previousViewport[3]);
    glDeleteRenderbuffers(2, _renderBuffers);
    glDeleteFramebuffers(1, &_frameBuffer);
    glPopClientAttrib();
  }

  GLint _previousDraw = 0;
  GLint _previousRead = 0;
  GLint _previousViewport[4] = {0, 0, 0, 0};
  GLuint _frameBuffer = 0;
  GLuint _renderBuffers[2] = {0, 0};
};

// OpenGL's rows run upwards, an image's downwards: turns rows first .. first + count - 1 over.
void reverseRows(QImage& image, int first, int count) {
  const std::size_t bytes = static_cast<std::size_t>(image.bytesPerLine());
  std::vector<uchar> row(bytes);
  for (int a = first, b = first + count - 1; a < b; ++a, --b) {
    std::memcpy(row.data(), image.scanLine(a), bytes);
    std::memcpy(image.scanLine(a), image.scanLine(b), bytes);
    std::memcpy(image.scanLine(b), row.data(), bytes);
  }
}

// Adds to `drawn` the pixels of a strip whose stencil is set; the strip's row r is image row
// top - r.
void addMarkedPixels(const std::vector<GLubyte>& stencil, int width, int rows, int top, QRect& drawn) {
  for (int r = 0; r < rows; ++r) {
    const GLubyte* begin = stencil.data() + static_cast<std::size_t>(r) * width;
    const GLubyte* end = begin + width;
    const GLubyte* first = std::find(begin, end, GLubyte(1));
    if (first == end) continue;
    const GLubyte* last =
        std::find(std::make_reverse_iterator(end), std::make_reverse_iterator(first), GLubyte(1)).base() - 1;
    drawn |= QRect(static_cast<int>(first - begin), top - r, static_cast<int>(last - first) + 1, 1);
  }
}

} // namespace

int OffscreenRendererGL::maximumSize() {
  GLint renderBuffer = 0;
  GLint viewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderBuffer);
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
  return std::min({renderBuffer, viewport[0], viewport[1]});
}

QImage OffscreenRendererGL::render(ViewerSceneGL& scene, int width, int height, const Options& options) {
  const int limit = maximumSize();
  if (width < 1 || height < 1 || width > limit || height > limit)
    throwError<SizeError>(OSTREL_HERE,
                          "A picture of " + std::to_string(width) + " x " + std::to_string(height) +
                              " pixels is not possible: each side must be 1 to " + std::to_string(limit));
  QImage image(width, height, QImage::Format_ARGB32);
  if (image.isNull())
    throwError<SizeError>(OSTREL_HERE, "Not enough memory for a picture of " + std::to_string(width) + " x " +
                                           std::to_string(height) + " pixels");
  const int stripHeight = std::clamp(options.stripPixels / width, 1, height);
  std::vector<GLubyte> stencil(options.cropped ? static_cast<std::size_t>(width) * stripHeight : 0);
  QRect drawn;
  {
    StripBuffer buffer(width, stripHeight);
    for (int bottom = 0; bottom < height; bottom += stripHeight) {
      const int rows = std::min(stripHeight, height - bottom);
      ViewerSceneGL::Frame frame;
      frame.width = width;
      frame.height = height;
      frame.bottom = bottom;
      frame.transparent = options.transparent;
      frame.markDrawn = options.cropped;
      frame.bufferHeight = stripHeight;
      {
        StageTimes::Stage stage("drawing");
        scene.glDraw(frame);
        glFinish(); // the driver draws in threads of its own: the drawing ends here, not in the read-back
      }
      StageTimes::Stage stage("read-back");
      const int first = height - bottom - rows; // the image row of the strip's top row
      glReadPixels(0, 0, width, rows, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, image.scanLine(first));
      reverseRows(image, first, rows);
      if (options.cropped) {
        glReadPixels(0, 0, width, rows, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, stencil.data());
        addMarkedPixels(stencil, width, rows, height - 1 - bottom, drawn);
      }
    }
  }
  if (!options.transparent) image.reinterpretAsFormat(QImage::Format_RGB32);
  if (options.cropped && drawn.isValid()) return image.copy(drawn);
  return image;
}
