#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "rendering/PainterGL.h"

#include <GL/gl.h>

#include <string>
#include <vector>

// Painters that stand for models in the canvas tests: flat unlit shapes of exact colours, and a probe
// that notes the OpenGL state in which the canvas calls it.

inline Vector<float> point3(float x, float y, float z) {
  return Vector<float>(std::vector<float>{x, y, z});
}

// A box from (-extent, -extent, -extent) to (extent, extent, extent): frames the scene of a test.
inline BoundingBox<float> cubeBox(float extent) {
  return BoundingBox<float>(point3(-extent, -extent, -extent), point3(extent, extent, extent));
}

// An unlit axis-aligned block of one colour.
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
    glDisable(GL_LIGHTING);
    glColor4ub(static_cast<GLubyte>(_r), static_cast<GLubyte>(_g), static_cast<GLubyte>(_b),
               static_cast<GLubyte>(_a));
    const float x[] = {_lower[0], _upper[0]}, y[] = {_lower[1], _upper[1]}, z[] = {_lower[2], _upper[2]};
    glBegin(GL_QUADS);
    for (int axis = 0; axis < 3; ++axis)
      for (int side = 0; side < 2; ++side)
        for (int corner = 0; corner < 4; ++corner) {
          const int u = corner == 1 || corner == 2, v = corner >= 2;
          int c[3];
          c[axis] = side;
          c[(axis + 1) % 3] = u;
          c[(axis + 2) % 3] = v;
          glVertex3f(x[c[0]], y[c[1]], z[c[2]]);
        }
    glEnd();
    glEnable(GL_LIGHTING);
  }
  void setBox(const BoundingBox<float>& box) { _box = box; } // the box reported instead of the block's

private:
  Vector<float> _lower, _upper;
  int _r, _g, _b, _a;
  bool _opaque;
  BoundingBox<float> _box;
};

// Notes, at each glDraw, its name and whether depth writes and blending were on.
class ProbePainter : public PainterGL<float> {
public:
  struct Visit {
    std::string name;
    bool depthWrites;
    bool blending;
    GLint blendSource;
    GLint blendDestination;
  };

  ProbePainter(std::string name, bool opaque, std::vector<Visit>& log)
      : _name(std::move(name)), _opaque(opaque), _log(&log) {}

  bool isOpaque() const override { return _opaque; }
  void glDraw() const override {
    Visit visit{_name, false, false, 0, 0};
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    visit.depthWrites = depthWrites == GL_TRUE;
    visit.blending = glIsEnabled(GL_BLEND) == GL_TRUE;
    glGetIntegerv(GL_BLEND_SRC, &visit.blendSource);
    glGetIntegerv(GL_BLEND_DST, &visit.blendDestination);
    _log->push_back(visit);
  }

private:
  std::string _name;
  bool _opaque;
  std::vector<Visit>* _log;
};
