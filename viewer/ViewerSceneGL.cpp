#include "viewer/ViewerSceneGL.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <QColor>

#include "viewer/OrderIndependentBlendingGL.h"

#include <algorithm>
#include <cmath>

namespace {

int nearest(double x) {
  return static_cast<int>(std::floor(x + 0.5));
}

} // namespace

ViewerSceneGL::ViewerSceneGL() : _rotation(3) {
  _rotation.fill(0.0f);
}

ViewerSceneGL::~ViewerSceneGL() = default;

// === View state

float ViewerSceneGL::translationFactor() const {
  return static_cast<float>(1.0 / _zoom + 1.0);
}

Pose ViewerSceneGL::getPose() const {
  Pose pose;
  pose.setRotation(_rotation);
  const float f = translationFactor();
  pose.setXTranslation(-nearest(_translationX * 100 / f));
  pose.setYTranslation(-nearest(_translationY * 100 / f));
  pose.setZoom(nearest(_zoom * 100));
  pose.setAmbientLight(nearest(_ambientLight * 255));
  pose.setDiffuseLight(nearest(_diffuseLight * 255));
  pose.setSpecularLight(nearest(_specularLight * 255));
  return pose;
}

void ViewerSceneGL::setPose(const Pose& pose) {
  _rotation = pose.getRotation();
  setTranslation(pose.getTranslation());
  _zoom = pose.getZoom() / 100.0f;
  setAmbientLight(pose.getAmbientLight());
  setDiffuseLight(pose.getDiffuseLight());
  setSpecularLight(pose.getSpecularLight());
}

ViewState ViewerSceneGL::view() const {
  ViewState view;
  view.rotation = _rotation;
  view.translationX = _translationX;
  view.translationY = _translationY;
  view.zoom = _zoom;
  view.ambientLight = nearest(_ambientLight * 255);
  view.diffuseLight = nearest(_diffuseLight * 255);
  view.specularLight = nearest(_specularLight * 255);
  view.background = _background;
  view.boxColor = _boundingBoxPainter.getColor();
  view.projection = _projection;
  view.sceneBoxShown = _boundingBoxPainter.isActive();
  view.sceneBoxScaling = _boundingBoxScaling;
  view.scaleBarShown = _scaleBarPainter.isActive();
  view.scaleBar = _scaleBarPainter.getBoundingBox();
  view.scaleBarCaption = getScaleBarCaption();
  view.clipPlanes = _clipPlanes;
  return view;
}

void ViewerSceneGL::setView(const ViewState& view) {
  _rotation = view.rotation;
  setTranslation(view.translationX, view.translationY);
  setZoom(view.zoom);
  setAmbientLight(view.ambientLight);
  setDiffuseLight(view.diffuseLight);
  setSpecularLight(view.specularLight);
  _background = view.background;
  _boundingBoxPainter.setColor(view.boxColor);
  _scaleBarPainter.setColor(view.boxColor);
  setProjection(view.projection);
  _boundingBoxPainter.setActive(view.sceneBoxShown);
  _boundingBoxScaling = view.sceneBoxScaling;
  _scaleBarPainter.setActive(view.scaleBarShown);
  if (view.scaleBar.isValid()) _scaleBarPainter.setBoundingBox(view.scaleBar);
  setScaleBarCaption(view.scaleBarCaption);
  _clipPlanes = view.clipPlanes;
}

void ViewerSceneGL::setTranslation(const Vector<int>& translation) {
  const float f = translationFactor();
  setTranslation(-(translation[0] * f) / 100, -(translation[1] * f) / 100);
}

void ViewerSceneGL::setTranslation(float x, float y) {
  _translationX = x;
  _translationY = y;
  _projectionDirty = true;
}

void ViewerSceneGL::setZoom(float zoom) {
  _zoom = zoom;
  _projectionDirty = true;
}

void ViewerSceneGL::setAmbientLight(int level) {
  _ambientLight = level / 255.0f;
  _lightDirty = true;
}

void ViewerSceneGL::setDiffuseLight(int level) {
  _diffuseLight = level / 255.0f;
  _lightDirty = true;
}

void ViewerSceneGL::setSpecularLight(int level) {
  _specularLight = level / 255.0f;
  _lightDirty = true;
}

void ViewerSceneGL::setBackground(const BackgroundGL& background) {
  _background.setColor(background.getColor());
  _background.setGradientEnabled(background.isGradientEnabled());
  const Vector<int>& color = _background.getColor();
  const int brightest = std::max({color[0], color[1], color[2]});
  // The scene box and the scale bar stand out from the background: white on dark, black on light.
  const Vector<int> contrast(std::vector<int>(3, brightest < 127 ? 255 : 0));
  _boundingBoxPainter.setColor(contrast);
  _scaleBarPainter.setColor(contrast);
}

void ViewerSceneGL::setProjection(const ProjectionGL& projection) {
  _projection = projection;
  _projectionDirty = true;
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
    box.expand((box.getVertex2() - box.getVertex1()) * ((_boundingBoxScaling - 100) * 0.01f));
  }
  _boundingBoxPainter.setBoundingBox(box);
  if (_center.getSize() == 0) {
    _center.setSize(3);
    _center.fill(0.0f);
  }
  _projectionDirty = true;
  return box;
}

// === OpenGL

void ViewerSceneGL::glInitialize() {
  _lightDirty = true; // a new context has default lights
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

void ViewerSceneGL::updateGLProjection() {
  const float s = _scale;
  const float r = s / _zoom;
  const float cx = _translationX * s;
  const float cy = _translationY * s;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (_projection.isOrthographic()) {
    glOrtho(cx - r, cx + r, cy - r, cy + r, -s, s);
  } else {
    const double k = 7.0 - _projection.getPerspectiveStrength();
    glFrustum(cx - r, cx + r, cy - r, cy + r, k * s - s, k * s + s);
  }
  _projectionDirty = false;
}

void ViewerSceneGL::updateGLLight() {
  const GLfloat ambient[] = {_ambientLight, _ambientLight, _ambientLight, 1.0f};
  const GLfloat diffuse[] = {_diffuseLight, _diffuseLight, _diffuseLight, 1.0f};
  const GLfloat specular[] = {_specularLight, _specularLight, _specularLight, 1.0f};
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  _lightDirty = false;
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
    const Vector<int>& color = _background.getColor();
    glClearColor(color[0] / 255.0f, color[1] / 255.0f, color[2] / 255.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  } else {
    _background.glDraw();
  }
  if (frame.markDrawn) {
    glClearStencil(0);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
  }
  if (_projectionDirty) updateGLProjection();
  if (_lightDirty) updateGLLight();

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  if (_projection.isPerspective())
    glTranslatef(0.0f, 0.0f, static_cast<float>(-(_scale * (7.0 - _projection.getPerspectiveStrength()))));
  glRotatef(_rotation[0], 1.0f, 0.0f, 0.0f);
  glRotatef(_rotation[1], 0.0f, 1.0f, 0.0f);
  glRotatef(_rotation[2], 0.0f, 0.0f, 1.0f);
  glSetClipPlanes();
  glTranslatef(-_center[0], -_center[1], -_center[2]);

  _boundingBoxPainter.glDraw();
  _scaleBarPainter.glDraw();
  glDrawScaleBarCaption(frame);
  glEnableClipPlanes(true);
  for (const PainterGL<float>* painter : _painters)
    if (painter->isOpaque()) painter->glDraw();
  glEnableClipPlanes(false);

  glDrawTranslucent(frame);
  const Vector<int>& background = _background.getColor();
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
    const ClipPlaneGL& plane = _clipPlanes[i];
    const GLdouble equation[] = {plane.normal[0], plane.normal[1], plane.normal[2], plane.offset};
    glClipPlane(GL_CLIP_PLANE0 + i, equation);
  }
}

void ViewerSceneGL::glEnableClipPlanes(bool enabled) const {
  for (int i = 0; i < ClipPlaneGL::count; ++i)
    if (enabled && _clipPlanes[i].enabled)
      glEnable(GL_CLIP_PLANE0 + i);
    else
      glDisable(GL_CLIP_PLANE0 + i);
}
