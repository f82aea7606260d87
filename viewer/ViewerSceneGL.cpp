#include "viewer/ViewerSceneGL.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <QColor>

#include "viewer/OrderIndependentBlendingGL.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

int nearest(double x) {
  return static_cast<int>(std::floor(x + 0.5));
}

} // namespace

ViewerSceneGL::ViewerSceneGL() {
  _ownView.ambientLight = _ownView.diffuseLight = _ownView.specularLight = 0;
}

ViewerSceneGL::~ViewerSceneGL() = default;

// === View state

void ViewerSceneGL::keepViewIn(ViewState& view) {
  view = *_view;
  _view = &view;
}

float ViewerSceneGL::translationFactor() const {
  return static_cast<float>(1.0 / _view->zoom + 1.0);
}

Pose ViewerSceneGL::getPose() const {
  Pose pose;
  pose.setRotation(_view->rotation);
  const float f = translationFactor();
  pose.setXTranslation(-nearest(_view->translationX * 100 / f));
  pose.setYTranslation(-nearest(_view->translationY * 100 / f));
  pose.setZoom(nearest(_view->zoom * 100));
  pose.setAmbientLight(_view->ambientLight);
  pose.setDiffuseLight(_view->diffuseLight);
  pose.setSpecularLight(_view->specularLight);
  return pose;
}

void ViewerSceneGL::setPose(const Pose& pose) {
  _view->rotation = pose.getRotation();
  setTranslation(pose.getTranslation());
  _view->zoom = pose.getZoom() / 100.0f;
  setAmbientLight(pose.getAmbientLight());
  setDiffuseLight(pose.getDiffuseLight());
  setSpecularLight(pose.getSpecularLight());
}

void ViewerSceneGL::setTranslation(const Vector<int>& translation) {
  const float f = translationFactor();
  setTranslation(-(translation[0] * f) / 100, -(translation[1] * f) / 100);
}

void ViewerSceneGL::setTranslation(float x, float y) {
  _view->translationX = x;
  _view->translationY = y;
}

void ViewerSceneGL::setBackground(const BackgroundGL& background) {
  _view->background.setColor(background.getColor());
  _view->background.setGradientEnabled(background.isGradientEnabled());
  const Vector<int>& color = _view->background.getColor();
  const int brightest = std::max({color[0], color[1], color[2]});
  // The scene box and the scale bar stand out from the background: white on dark, black on light.
  _view->boxColor = Vector<int>(std::vector<int>(3, brightest < 127 ? 255 : 0));
}

BoundingBox<float> ViewerSceneGL::updateBoundingBox() {
  BoundingBox<float> box;
  for (const PainterGL<float>* painter : _painters)
    if (painter->isVisible()) box = box.merge(painter->boundingBox());
  if (box.isValid()) {
    const Vector<float> centre = box.cog(); // three components, 0 for those a smaller box lacks
    _center.setSize(3);
    for (int i = 0; i < 3; ++i) _center[i] = i < centre.getSize() ? centre[i] : 0.0f;
    _scale = 0.6f * box.diagonal();
    box.expand((box.getVertex2() - box.getVertex1()) * ((_view->sceneBoxScaling - 100) * 0.01f));
  }
  _boundingBoxPainter.setBoundingBox(box);
  if (_center.getSize() == 0) {
    _center.setSize(3);
    _center.fill(0.0f);
  }
  return box;
}

// === OpenGL

void ViewerSceneGL::glInitialize() {
  glEnable(GL_LIGHTING);
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glEnable(GL_COLOR_MATERIAL);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const GLfloat eyeAxis[] = {0.0f, 0.0f, 1.0f, 0.0f}; // directional light along the viewing axis
  glLightfv(GL_LIGHT0, GL_POSITION, eyeAxis);
  glPopMatrix();
  glEnable(GL_LIGHT0);
  glShadeModel(GL_SMOOTH);
}

void ViewerSceneGL::glSetProjection() const {
  const ViewState& v = *_view;
  const float s = _scale;
  const float r = s / v.zoom;
  const float cx = v.translationX * s;
  const float cy = v.translationY * s;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (v.projection.isOrthographic()) {
    glOrtho(cx - r, cx + r, cy - r, cy + r, -s, s);
  } else {
    const double k = 7.0 - v.projection.getPerspectiveStrength();
    glFrustum(cx - r, cx + r, cy - r, cy + r, k * s - s, k * s + s);
  }
}

void ViewerSceneGL::glSetLight() const {
  const auto level = [](int level) {
    const GLfloat l = level / 255.0f;
    return std::array<GLfloat, 4>{l, l, l, 1.0f};
  };
  glLightfv(GL_LIGHT0, GL_AMBIENT, level(_view->ambientLight).data());
  glLightfv(GL_LIGHT0, GL_DIFFUSE, level(_view->diffuseLight).data());
  glLightfv(GL_LIGHT0, GL_SPECULAR, level(_view->specularLight).data());
}

void ViewerSceneGL::glDrawSceneBoxAndScaleBar(const Frame& frame) {
  const ViewState& v = *_view;
  _boundingBoxPainter.setColor(v.boxColor);
  _boundingBoxPainter.setActive(v.sceneBoxShown);
  _boundingBoxPainter.glDraw();
  _scaleBarPainter.setColor(v.boxColor);
  _scaleBarPainter.setActive(v.scaleBarShown && v.scaleBar.isValid());
  if (v.scaleBar.isValid()) _scaleBarPainter.setBoundingBox(v.scaleBar);
  _scaleBarPainter.glDraw();
  _scaleBarCaption.setText(v.scaleBarCaption);
  glDrawScaleBarCaption(frame);
}

void ViewerSceneGL::glDrawScaleBarCaption(const Frame& frame) const {
  const BoundingBox<float>& bar = _scaleBarPainter.getBoundingBox();
  if (!_scaleBarPainter.isActive() || !bar.isValid() || bar.diagonal() <= 0 || bar.getDimension() != 3)
    return;
  GLdouble modelView[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const Vector<float>& corner = bar.getVertex2();
  GLdouble x = 0, y = 0, z = 0;
  if (gluProject(corner[0], corner[1], corner[2], modelView, projection, viewport, &x, &y, &z) != GL_TRUE)
    return;
  const int pixelSize = std::max(9, std::min(frame.width, frame.height) / 45);
  const Vector<int>& rgb = _scaleBarPainter.getColor();
  _scaleBarCaption.glDraw(nearest(x) + pixelSize / 2, nearest(y), QColor(rgb[0], rgb[1], rgb[2]), pixelSize);
}

QRect ViewerSceneGL::squareViewport(int width, int height) {
  if (width <= height) return QRect((width - height) / 2, 0, height, height);
  return QRect(0, (height - width) / 2, width, width);
}

void ViewerSceneGL::glDraw(const Frame& frame) {
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glEnable(GL_DEPTH_TEST);
  const QRect square = squareViewport(frame.width, frame.height);
  glViewport(square.x() - frame.left, square.y() - frame.bottom, square.width(), square.height());
  if (frame.transparent) {
    const Vector<int>& color = _view->background.getColor();
    glClearColor(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  } else {
    _view->background.glDraw();
  }
  if (frame.markDrawn) {
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  }
  glSetProjection();
  glSetLight();

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const ProjectionGL& projection = _view->projection;
  if (projection.isPerspective())
    glTranslatef(0.0f, 0.0f, static_cast<float>(-(_scale * (7.0 - projection.getPerspectiveStrength()))));
  const Vector<float>& rotation = _view->rotation;
  glRotatef(rotation[0], 1.0f, 0.0f, 0.0f);
  glRotatef(rotation[1], 0.0f, 1.0f, 0.0f);
  glRotatef(rotation[2], 0.0f, 0.0f, 1.0f);
  glSetClipPlanes();
  glTranslatef(-_center[0], -_center[1], -_center[2]);

  glDrawSceneBoxAndScaleBar(frame);
  glEnableClipPlanes(true);
  for (const PainterGL<float>* painter : _painters)
    if (painter->isOpaque()) painter->glDraw();
  glEnableClipPlanes(false);

  glDrawTranslucent(frame);
  const Vector<int>& background = _view->background.getColor();
  const bool dark = std::max({background[0], background[1], background[2]}) < 127;
  _colorBar.glDraw(frame.width, frame.height, frame.left, frame.bottom, dark ? Qt::white : Qt::black);
  if (frame.markDrawn) glDisable(GL_STENCIL_TEST);
  glPopClientAttrib();
}

void ViewerSceneGL::glDrawTranslucent(const Frame& frame) {
  // The planes cut the painters only: the pass that blends what they left must cover the whole buffer.
  const auto drawTranslucent = [this] {
    glEnableClipPlanes(true);
    for (const PainterGL<float>* painter : _painters)
      if (!painter->isOpaque()) painter->glDraw();
    glEnableClipPlanes(false);
  };
  if (std::all_of(_painters.begin(), _painters.end(),
                  [](const PainterGL<float>* p) { return p->isOpaque(); }))
    return;
  glDepthMask(GL_FALSE);
  const int width = frame.bufferWidth > 0 ? frame.bufferWidth : frame.width;
  const int height = frame.bufferHeight > 0 ? frame.bufferHeight : frame.height;
  if (!_blending) _blending = std::make_unique<OrderIndependentBlendingGL>();
  if (!_blending->glDraw(width, height, drawTranslucent)) {
    glEnable(GL_BLEND);
    // alpha accumulates as coverage over a transparent background
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    drawTranslucent();
    glDisable(GL_BLEND);
  }
  glDepthMask(GL_TRUE);
}

void ViewerSceneGL::glSetClipPlanes() const {
  for (int i = 0; i < ClipPlaneGL::count; ++i) {
    const ClipPlaneGL& plane = _view->clipPlanes[i];
    const GLdouble equation[] = {plane.normal[0], plane.normal[1], plane.normal[2], plane.offset};
    glClipPlane(GL_CLIP_PLANE0 + i, equation);
  }
}

void ViewerSceneGL::glEnableClipPlanes(bool enabled) const {
  for (int i = 0; i < ClipPlaneGL::count; ++i)
    if (enabled && _view->clipPlanes[i].enabled)
      glEnable(GL_CLIP_PLANE0 + i);
    else
      glDisable(GL_CLIP_PLANE0 + i);
}
