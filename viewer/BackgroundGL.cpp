#include "viewer/BackgroundGL.h"

#include <GL/gl.h>

BackgroundGL::BackgroundGL() : _color(4) {
  _color[0] = 85;
  _color[1] = 170;
  _color[2] = 255;
  _color[3] = 255;
}

void BackgroundGL::setColor(const Vector<int>& color) {
  for (int i = 0; i < color.getSize() && i < _color.getSize(); ++i) _color[i] = color[i];
}

void BackgroundGL::glDraw() const {
  if (_gradientEnabled)
    glDrawGradient();
  else
    glClearUniform();
}

void BackgroundGL::glClearUniform() const {
  glClearColor(_color[0] / 255.0f, _color[1] / 255.0f, _color[2] / 255.0f, _color[3] / 255.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void BackgroundGL::glDrawGradient() const {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(-1.0, 1.0, -1.0, 1.0, -1.0, 1.0);
  glClear(GL_DEPTH_BUFFER_BIT); // the quadrilateral below covers every pixel
  glDisable(GL_LIGHTING);
  glDepthMask(GL_FALSE);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glBegin(GL_QUADS);
  glColor3ub(static_cast<GLubyte>(_color[0] / 3), static_cast<GLubyte>(_color[1] / 3),
             static_cast<GLubyte>(_color[2] / 3));
  glVertex2f(-1.0f, -1.0f);
  glVertex2f(1.0f, -1.0f);
  glColor3ub(static_cast<GLubyte>(_color[0]), static_cast<GLubyte>(_color[1]),
             static_cast<GLubyte>(_color[2]));
  glVertex2f(1.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
  glDepthMask(GL_TRUE);
  glEnable(GL_LIGHTING);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
}
