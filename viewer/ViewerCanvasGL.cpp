#include "viewer/ViewerCanvasGL.h"

#include "foundation/Maths.h"
#include "rendering/GLObject.h"

#include <QColor>
#include <QFileDialog>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSettings>
#include <QSizePolicy>
#include <QWheelEvent>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

const char* const backgroundColorKey = "viewerCanvas/background/color";
const char* const backgroundGradientKey = "viewerCanvas/background/gradient";

int nearest(double x) {
  return static_cast<int>(std::floor(x + 0.5));
}

Vector<int> rgb(int red, int green, int blue) {
  Vector<int> color(3);
  color[0] = red;
  color[1] = green;
  color[2] = blue;
  return color;
}

} // namespace

ViewerCanvasGL::ViewerCanvasGL(QWidget* parent) : QOpenGLWidget(parent), _rotation(3) {
  _rotation.fill(0.0f);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::StrongFocus);
  QSettings settings;
  if (settings.contains(backgroundColorKey)) {
    const QColor color = settings.value(backgroundColorKey).value<QColor>();
    BackgroundGL background;
    background.setColor(rgb(color.red(), color.green(), color.blue()));
    background.setGradientEnabled(settings.value(backgroundGradientKey, true).toBool());
    setBackground(background);
  }
  show();
}

ViewerCanvasGL::~ViewerCanvasGL() {
  if (!context()) return; // never shown: no OpenGL object can belong to it
  makeCurrent();
  GLObject::releasePending();
  doneCurrent();
}

// === Painters

void ViewerCanvasGL::addPainter(PainterGL<float>& painter) {
  _painters.push_back(&painter);
  emit painterAdded(painter);
}

void ViewerCanvasGL::removePainter(PainterGL<float>& painter) {
  const auto found = std::find(_painters.begin(), _painters.end(), &painter);
  if (found == _painters.end()) return;
  _painters.erase(found);
  emit painterRemoved(painter);
}

void ViewerCanvasGL::removePainters() {
  for (PainterGL<float>* painter : _painters) emit painterRemoved(*painter);
  _painters.clear();
}

// === View state

float ViewerCanvasGL::translationFactor() const {
  return static_cast<float>(1.0 / _zoom + 1.0);
}

Pose ViewerCanvasGL::getPose() const {
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

void ViewerCanvasGL::setPose(const Pose& pose) {
  setUpdatesEnabled(false);
  _rotation = pose.getRotation();
  const float f = translationFactor();
  _translationX = -(pose.getXTranslation() * f) / 100;
  _translationY = -(pose.getYTranslation() * f) / 100;
  _zoom = pose.getZoom() / 100.0f;
  _ambientLight = pose.getAmbientLight() / 255.0f;
  _diffuseLight = pose.getDiffuseLight() / 255.0f;
  _specularLight = pose.getSpecularLight() / 255.0f;
  _projectionDirty = true;
  _lightDirty = true;
  setUpdatesEnabled(true);
  update();
}

void ViewerCanvasGL::updateBoundingBox() {
  BoundingBox<float> box;
  if (!_painters.empty()) {
    box = _painters.front()->boundingBox();
    for (std::size_t i = 1; i < _painters.size(); ++i) box = box.merge(_painters[i]->boundingBox());
  }
  if (!_painters.empty() && box.isValid()) {
    const Vector<float> centre = box.cog();
    _center.setSize(3);
    for (int i = 0; i < 3; ++i) _center[i] = i < centre.getSize() ? centre[i] : 0.0f;
    _scale = 0.6f * box.diagonal();
    box.expand((box.getVertex2() - box.getVertex1()) * ((_boundingBoxScaling - 100) * 0.01f));
  }
  _boundingBoxPainter.setBoundingBox(box);
  emit boundingBoxChanged(box);
  if (_center.getSize() == 0) {
    _center.setSize(3);
    _center.fill(0.0f);
  }
  _projectionDirty = true;
}

Vector<float> ViewerCanvasGL::unProject(const QPoint& position, float depth) {
  GLdouble modelView[16], projection[16];
  ::glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  ::glGetDoublev(GL_PROJECTION_MATRIX, projection);
  // The viewport of the paint pass; Qt may have set another one since, to read the frame back.
  const QRect square = squareViewport(width(), height());
  const GLint viewport[4] = {square.x(), square.y(), square.width(), square.height()};
  GLdouble x = 0, y = 0, z = 0;
  gluUnProject(position.x(), height() - position.y(), depth, modelView, projection, viewport, &x, &y, &z);
  Vector<float> point(3);
  point[0] = static_cast<float>(x);
  point[1] = static_cast<float>(y);
  point[2] = static_cast<float>(z);
  return point;
}

void ViewerCanvasGL::updateGLProjection() {
  const float s = _scale;
  const float r = s / _zoom;
  const float cx = _translationX * s;
  const float cy = _translationY * s;
  ::glMatrixMode(GL_PROJECTION);
  ::glLoadIdentity();
  if (_projection.isOrthographic()) {
    ::glOrtho(cx - r, cx + r, cy - r, cy + r, -s, s);
  } else {
    const double k = 7.0 - _projection.getPerspectiveStrength();
    ::glFrustum(cx - r, cx + r, cy - r, cy + r, k * s - s, k * s + s);
  }
  _projectionDirty = false;
}

void ViewerCanvasGL::updateGLLight() {
  const GLfloat ambient[] = {_ambientLight, _ambientLight, _ambientLight, 1.0f};
  const GLfloat diffuse[] = {_diffuseLight, _diffuseLight, _diffuseLight, 1.0f};
  const GLfloat specular[] = {_specularLight, _specularLight, _specularLight, 1.0f};
  ::glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  ::glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  ::glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
  _lightDirty = false;
}

// === Slots

void ViewerCanvasGL::setRotation(const Vector<float>& rotation) {
  _rotation = rotation;
  update();
}

void ViewerCanvasGL::setTranslation(const Vector<int>& translation) {
  const float f = translationFactor();
  _translationX = -(translation[0] * f) / 100;
  _translationY = -(translation[1] * f) / 100;
  _projectionDirty = true;
  update();
}

void ViewerCanvasGL::setZoom(int percent) {
  _zoom = percent / 100.0f;
  _projectionDirty = true;
  update();
}

void ViewerCanvasGL::setBoundingBoxScaling(int percent) {
  _boundingBoxScaling = percent;
  updateBoundingBox();
  update();
}

void ViewerCanvasGL::setAmbientLight(int level) {
  _ambientLight = level / 255.0f;
  _lightDirty = true;
  update();
}

void ViewerCanvasGL::setDiffuseLight(int level) {
  _diffuseLight = level / 255.0f;
  _lightDirty = true;
  update();
}

void ViewerCanvasGL::setSpecularLight(int level) {
  _specularLight = level / 255.0f;
  _lightDirty = true;
  update();
}

void ViewerCanvasGL::resetPose() {
  _translationX = 0.0f;
  _translationY = 0.0f;
  _rotation.fill(0.0f);
  _zoom = 1.0f;
  _projectionDirty = true;
  update();
  emit poseChanged(getPose());
}

void ViewerCanvasGL::setStandardPose1() {
  setPose(Pose::canonicalPose1());
}
void ViewerCanvasGL::setStandardPose2() {
  setPose(Pose::canonicalPose2());
}
void ViewerCanvasGL::setStandardPose3() {
  setPose(Pose::canonicalPose3());
}
void ViewerCanvasGL::setRevStandardPose1() {
  setPose(Pose::reverseCanonicalPose1());
}
void ViewerCanvasGL::setRevStandardPose2() {
  setPose(Pose::reverseCanonicalPose2());
}
void ViewerCanvasGL::setRevStandardPose3() {
  setPose(Pose::reverseCanonicalPose3());
}

void ViewerCanvasGL::setBackground(const BackgroundGL& background) {
  _background.setColor(background.getColor());
  _background.setGradientEnabled(background.isGradientEnabled());
  const Vector<int>& color = _background.getColor();
  const int brightest = std::max({color[0], color[1], color[2]});
  _boundingBoxPainter.setColor(brightest < 127 ? rgb(255, 255, 255) : rgb(0, 0, 0));
  QSettings settings;
  settings.setValue(backgroundColorKey, QColor(color[0], color[1], color[2], 255));
  settings.setValue(backgroundGradientKey, _background.isGradientEnabled());
  update();
}

void ViewerCanvasGL::setProjection(const ProjectionGL& projection) {
  _projection = projection;
  _projectionDirty = true;
  update();
}

void ViewerCanvasGL::toggleBoundingBox(bool shown) {
  _boundingBoxPainter.setActive(shown);
  update();
}

void ViewerCanvasGL::toggleScaleBar(bool shown) {
  _scaleBarPainter.setActive(shown);
  update();
}

void ViewerCanvasGL::setScaleBar(const BoundingBox<float>& box) {
  _scaleBarPainter.setBoundingBox(box);
  update();
}

// === Mouse

namespace {

QPoint roundedPosition(const QMouseEvent* event) {
  return event->localPos().toPoint(); // each coordinate to the nearest integer
}

} // namespace

void ViewerCanvasGL::setZoomClamped(float zoom) {
  _zoom = std::clamp(zoom, 0.01f, 5.0f);
  _projectionDirty = true;
}

void ViewerCanvasGL::mousePressEvent(QMouseEvent* event) {
  _lastMousePosition = roundedPosition(event);
}

void ViewerCanvasGL::mouseMoveEvent(QMouseEvent* event) {
  const QPoint position = roundedPosition(event);
  const int dx = position.x() - _lastMousePosition.x();
  const int dy = position.y() - _lastMousePosition.y();
  _lastMousePosition = position;
  _moving = true;
  bool changed = event->buttons() == Qt::LeftButton;
  if (changed) {
    switch (event->modifiers()) {
    case Qt::NoModifier:
      combineXYRotation(dy, dx);
      break;
    case Qt::ShiftModifier:
      combineZRotation(dx);
      break;
    case Qt::ControlModifier:
      setZoomClamped(_zoom + dx * 3.0f / width());
      break;
    case Qt::AltModifier:
      _translationX -= static_cast<float>(dx) / width();
      _translationY += static_cast<float>(dy) / height();
      _projectionDirty = true;
      break;
    default:
      changed = false;
    }
  }
  if (changed) emit poseChanged(getPose());
  update();
}

void ViewerCanvasGL::mouseReleaseEvent(QMouseEvent* /*event*/) {
  if (!_moving) return;
  _moving = false;
  update();
}

void ViewerCanvasGL::mouseDoubleClickEvent(QMouseEvent* /*event*/) {
  resetPose();
}

void ViewerCanvasGL::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  const int steps = delta.y() != 0 ? delta.y() : delta.x(); // eighths of a degree along the wheel's axis
  setZoomClamped(static_cast<float>(_zoom + steps / -800.0));
  emit poseChanged(getPose());
  update();
}

void ViewerCanvasGL::composeRotation(const Matrix<float>& increment) {
  using namespace Maths;
  const Matrix<float> m = increment * xRotationMatrix3D(toRadians(_rotation[0])) *
                          yRotationMatrix3D(toRadians(_rotation[1])) *
                          zRotationMatrix3D(toRadians(_rotation[2]));
  float angles[3];
  decomposeRotationMatrix3D(m, angles[0], angles[1], angles[2]);
  for (int i = 0; i < 3; ++i) _rotation[i] = fround(toDegrees(angles[i]), 0.25f);
}

void ViewerCanvasGL::combineXYRotation(int ax, int ay) {
  using namespace Maths;
  composeRotation(xRotationMatrix3D(toRadians(ax * 0.25f)) * yRotationMatrix3D(toRadians(ay * 0.25f)));
}

void ViewerCanvasGL::combineZRotation(int az) {
  using namespace Maths;
  composeRotation(zRotationMatrix3D(toRadians(static_cast<float>(az))));
}

// === Snapshots

void ViewerCanvasGL::snapshot(bool cropped) {
  const QString fileName =
      QFileDialog::getSaveFileName(this, "Enter output filename", "", "Portable Network Graphics (*.png)");
  if (fileName.isEmpty()) return;
  QImage image = lastFrame();
  if (cropped) cropImage(image);
  if (!image.save(fileName, "PNG"))
    QMessageBox::critical(this, "", "Could not write file\n\n" + fileName, QMessageBox::Ok);
}

QImage ViewerCanvasGL::lastFrame() {
  if (!_frameDrawn) return grabFramebuffer();
  makeCurrent();
  const QSize size = this->size() * devicePixelRatioF();
  QImage frame(size, QImage::Format_RGBX8888);
  glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
  glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
  doneCurrent();
  return frame.mirrored(); // OpenGL rows run bottom-up
}

void ViewerCanvasGL::cropImage(QImage& image) const {
  if (image.isNull()) return;
  if (image.depth() != 32) image = image.convertToFormat(QImage::Format_ARGB32);
  const int w = image.width(), h = image.height();
  const QRgb background = reinterpret_cast<const QRgb*>(image.constScanLine(0))[0];
  const auto row = [&](int y) { return reinterpret_cast<const QRgb*>(image.constScanLine(y)); };
  const auto rowEmpty = [&](int y) {
    return std::all_of(row(y), row(y) + w, [&](QRgb p) { return p == background; });
  };
  const auto columnEmpty = [&](int x, int top, int bottom) {
    for (int y = top; y <= bottom; ++y)
      if (row(y)[x] != background) return false;
    return true;
  };
  int top = 0;
  while (top < h - 1 && rowEmpty(top)) ++top;
  int bottom = h - 1;
  while (bottom > 0 && rowEmpty(bottom)) --bottom;
  // Rows outside [top, bottom] hold only background, so the columns need only be scanned between them.
  const int first = std::min(top, bottom), last = std::max(top, bottom);
  int left = 0;
  while (left < w - 1 && columnEmpty(left, first, last)) ++left;
  int right = w - 1;
  while (right > 0 && columnEmpty(right, first, last)) --right;
  if (right >= 1) image = image.copy(QRect(QPoint(left, top), QPoint(right, bottom)));
}

// === OpenGL

void ViewerCanvasGL::initializeGL() {
  makeCurrent();
  updateBoundingBox();
  // Called by hand before the widget has its context, only the scene box can be brought up to date;
  // the widget calls this again once the context exists.
  if (context() == nullptr || QOpenGLContext::currentContext() != context()) return;
  initializeOpenGLFunctions();
  // A new context (the widget gets one when it is reparented) has default lights.
  _lightDirty = true;
  glEnable(GL_LIGHTING);
  ::glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
  glEnable(GL_COLOR_MATERIAL);
  ::glMatrixMode(GL_MODELVIEW);
  ::glPushMatrix();
  ::glLoadIdentity();
  const GLfloat eyeAxis[] = {0.0f, 0.0f, 1.0f, 0.0f}; // directional light along the viewing axis
  ::glLightfv(GL_LIGHT0, GL_POSITION, eyeAxis);
  ::glPopMatrix();
  glEnable(GL_LIGHT0);
  ::glShadeModel(GL_SMOOTH);
}

void ViewerCanvasGL::resizeGL(int width, int height) {
  _frameDrawn = false; // a new frame buffer
  setSquareViewport(width, height);
}

QRect ViewerCanvasGL::squareViewport(int width, int height) {
  if (width <= height) return QRect((width - height) / 2, 0, height, height);
  return QRect(0, (height - width) / 2, width, width);
}

void ViewerCanvasGL::setSquareViewport(int width, int height) {
  const QRect square = squareViewport(width, height);
  glViewport(square.x(), square.y(), square.width(), square.height());
}

void ViewerCanvasGL::paintGL() {
  makeCurrent();
  GLObject::releasePending(); // objects of painters deleted since the last paint
  ::glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glEnable(GL_DEPTH_TEST);
  setSquareViewport(width(), height());
  _background.glDraw();
  if (_projectionDirty) updateGLProjection();
  if (_lightDirty) updateGLLight();

  ::glMatrixMode(GL_MODELVIEW);
  ::glLoadIdentity();
  if (_projection.isPerspective())
    ::glTranslatef(0.0f, 0.0f, static_cast<float>(-(_scale * (7.0 - _projection.getPerspectiveStrength()))));
  ::glRotatef(_rotation[0], 1.0f, 0.0f, 0.0f);
  ::glRotatef(_rotation[1], 0.0f, 1.0f, 0.0f);
  ::glRotatef(_rotation[2], 0.0f, 0.0f, 1.0f);
  ::glTranslatef(-_center[0], -_center[1], -_center[2]);

  _boundingBoxPainter.glDraw();
  _scaleBarPainter.glDraw();
  for (const PainterGL<float>* painter : _painters)
    if (painter->isOpaque()) painter->glDraw();

  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  for (const PainterGL<float>* painter : _painters)
    if (!painter->isOpaque()) painter->glDraw();
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  ::glPopClientAttrib();
  _frameDrawn = true;
}
