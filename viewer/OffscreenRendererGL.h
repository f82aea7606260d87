#pragma once

#include <QImage>

class ViewerSceneGL;

// Draws a scene into a frame buffer object, whatever the size of any window, and reads the picture
// back. Needs an OpenGL context current (the canvas's, or one without a display server); the frame
// buffer that was bound before is bound again afterwards. A large picture is drawn in horizontal
// strips of at most stripPixels pixels, each a full paint pass, so that beyond the picture itself
// the frame buffer costs at most 8 bytes per strip pixel (colour, depth and stencil).
class OffscreenRendererGL {
public:
  struct Options {
    bool transparent = false; // alpha 0 where nothing is drawn, instead of the background
    bool cropped = false;     // keep only the bounding rectangle of what the painters drew
    int stripPixels = 1 << 22;
  };

  // The largest width or height that the current context can draw.
  static int maximumSize();

  // The scene drawn at width x height: ARGB32 when transparent, else RGB32. A size outside 1 to
  // maximumSize() is refused (SizeError); so is a frame buffer the driver cannot make (ProgramError).
  // Cropping a picture in which nothing was drawn keeps it whole.
  static QImage render(ViewerSceneGL& scene, int width, int height, const Options& options);
};
