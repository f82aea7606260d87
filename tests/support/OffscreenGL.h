#pragma once

#include <QColor>
#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

#include <gtest/gtest.h>

#include <memory>

// An OpenGL context made current on an offscreen surface, drawing into a square frame buffer object
// with a depth buffer, set up as the canvas sets up a paint pass: depth test, light 0 along the
// viewing axis with two-sided lighting and colour material (no ambient light, so a surface facing
// the viewer shows exactly its colour), orthographic view of [-1, 1]^3.
class OffscreenGL {
public:
  explicit OffscreenGL(int size = 64);
  ~OffscreenGL();

  bool isValid() const { return _valid; }
  void clear(const QColor& color = Qt::black); // clears colour and depth
  QImage grab() const;                         // the frame drawn so far

private:
  bool _valid = false;
  QOffscreenSurface _surface;
  QOpenGLContext _context;
  std::unique_ptr<QOpenGLFramebufferObject> _frame;
};

// Whether the pixel at (x, y) (from the top left) is within tolerance of the expected colour on every
// channel. On failure the frame is saved next to the test's output as "<suite>.<test>.png".
::testing::AssertionResult pixelNear(const QImage& frame, int x, int y, const QColor& expected,
                                     int tolerance = 6);

// Saves the frame as "<suite>.<test>[-suffix].png" in the working directory; returns the file name.
std::string saveFrame(const QImage& frame, const std::string& suffix = "");
