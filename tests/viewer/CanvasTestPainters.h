#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "rendering/PainterGL.h"
#include "viewer/ViewerCanvasGL.h"

#include <QSettings>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

// Painters that stand for models in the canvas tests, and a fixture that shows them on a canvas.

inline Vector<float> point3(float x, float y, float z) {
  return Vector<float>(std::vector<float>{x, y, z});
}

// A box from (-extent, -extent, -extent) to (extent, extent, extent): frames the scene of a test.
inline BoundingBox<float> cubeBox(float extent) {
  return BoundingBox<float>(point3(-extent, -extent, -extent), point3(extent, extent, extent));
}

// An unlit axis-aligned block of one colour; the OpenGL state is left as found.
class BlockPainter : public PainterGL<float> {
public:
  BlockPainter(float x1, float y1, float z1, float x2, float y2, float z2, int r, int g, int b, int a = 255,
               bool opaque = true)
      : _lower(point3(x1, y1, z1)), _upper(point3(x2, y2, z2)), _r(r), _g(g), _b(b), _a(a), _opaque(opaque) {}

  BoundingBox<float> boundingBox() const override {
    return _box.isValid() ? _box : BoundingBox<float>(_lower, _upper);
  }
  bool isOpaque() const override { return _opaque; }
  void glDraw() const override {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glColor4ub(static_cast<GLubyte>(_r), static_cast<GLubyte>(_g), static_cast<GLubyte>(_b),
               static_cast<GLubyte>(_a));
    const float x[] = {_lower[0], _upper[0]}, y[] = {_lower[1], _upper[1]}, z[] = {_lower[2], _upper[2]};
    glBegin(GL_QUADS);
    for (int axis = 0; axis < 3; ++axis)
      for (int side = 0; side < 2; ++side)
        for (int corner = 0; corner < 4; ++corner) {
          int c[3];
          c[axis] = side;
          c[(axis + 1) % 3] = corner == 1 || corner == 2;
          c[(axis + 2) % 3] = corner >= 2;
          glVertex3f(x[c[0]], y[c[1]], z[c[2]]);
        }
    glEnd();
    glPopAttrib();
  }
  void setBox(const BoundingBox<float>& box) { _box = box; } // the box reported instead of the block's

private:
  Vector<float> _lower, _upper;
  int _r, _g, _b, _a;
  bool _opaque;
  BoundingBox<float> _box;
};

// A background of one colour.
inline BackgroundGL uniform(int r, int g, int b) {
  BackgroundGL background;
  background.setColor(Vector<int>(std::vector<int>{r, g, b}));
  background.setGradientEnabled(false);
  return background;
}

// Canvas tests start from cleared settings (the saved background among them).
class CanvasTest : public ::testing::Test {
protected:
  CanvasTest() {
    QSettings().clear();
    frame.setBox(cubeBox(1));
  }

  // A canvas showing the painters, framed by the cube of half-side 1, in a flat orthographic view
  // without scene box on black.
  std::unique_ptr<ViewerCanvasGL> flatView(const std::vector<PainterGL<float>*>& painters, int size = 96) {
    auto canvas = std::make_unique<ViewerCanvasGL>();
    canvas->resize(size, size);
    canvas->addPainter(frame);
    for (PainterGL<float>* painter : painters) canvas->addPainter(*painter);
    ProjectionGL orthographic;
    orthographic.setOrthographic();
    canvas->setProjection(orthographic);
    canvas->toggleBoundingBox(false);
    canvas->setBackground(uniform(0, 0, 0));
    canvas->fitSceneBox();
    return canvas;
  }

  BlockPainter frame{0, 0, 0, 0, 0, 0, 0, 0, 0}; // draws nothing, reports the cube of half-side 1
};
