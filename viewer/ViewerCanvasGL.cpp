#include "viewer/ViewerCanvasGL.h"

#include "foundation/Exception.h"
#include "foundation/Maths.h"
#include "foundation/StageTimes.h"
#include "rendering/GLObject.h"
#include "viewer/OffscreenRendererGL.h"

#include <QCheckBox>
#include <QColor>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QSettings>
#include <QSizePolicy>
#include <QSpinBox>
#include <QWheelEvent>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace {

const char* const backgroundColorKey = "viewerCanvas/background/color";
const char* const backgroundGradientKey = "viewerCanvas/background/gradient";

} // namespace

ViewerCanvasGL::ViewerCanvasGL(QWidget* parent) : QOpenGLWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::StrongFocus);
  QSettings settings;
  if (settings.contains(backgroundColorKey)) {
    const QColor color = settings.value(backgroundColorKey).value<QColor>();
    BackgroundGL background;
    background.setColor(Vector<int>(std::vector<int>{color.red(), color.green(), color.blue()}));
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
  _scene.painters().push_back(&painter);
}

void ViewerCanvasGL::removePainter(PainterGL<float>& painter) {
  std::vector<PainterGL<float>*>& painters = _scene.painters();
  const auto found = std::find(painters.begin(), painters.end(), &painter);
  if (found == painters.end()) return;
  painters.erase(found);
}

void ViewerCanvasGL::removePainters() {
  _scene.painters().clear();
}

// === View state

void ViewerCanvasGL::setPose(const Pose& pose) {
  _scene.setPose(pose);
  update();
}

void ViewerCanvasGL::updateBoundingBox() {
  emit boundingBoxChanged(_scene.updateBoundingBox());
}

void ViewerCanvasGL::fitSceneBox() {
  updateBoundingBox();
  update();
}

Vector<float> ViewerCanvasGL::unProject(const QPoint& position, float depth) {
  GLdouble modelView[16], projection[16];
  ::glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
  ::glGetDoublev(GL_PROJECTION_MATRIX, projection);
  // The viewport of the paint pass; Qt may have set another one since, to read the frame back.
  const QRect square = ViewerSceneGL::squareViewport(width(), height());
  const GLint viewport[4] = {square.x(), square.y(), square.width(), square.height()};
  GLdouble x = 0, y = 0, z = 0;
  gluUnProject(position.x(), height() - position.y(), depth, modelView, projection, viewport, &x, &y, &z);
  Vector<float> point(3);
  point[0] = static_cast<float>(x);
  point[1] = static_cast<float>(y);
  point[2] = static_cast<float>(z);
  return point;
}

// === Slots

void ViewerCanvasGL::setRotation(const Vector<float>& rotation) {
  _scene.setRotation(rotation);
  update();
}

void ViewerCanvasGL::setTranslation(const Vector<int>& translation) {
  _scene.setTranslation(translation);
  update();
}

void ViewerCanvasGL::setZoom(int percent) {
  _scene.setZoom(percent / 100.0f);
  update();
}

void ViewerCanvasGL::setBoundingBoxScaling(int percent) {
  _scene.setBoundingBoxScaling(percent);
  updateBoundingBox();
  update();
}

void ViewerCanvasGL::setAmbientLight(int level) {
  _scene.setAmbientLight(level);
  update();
}

void ViewerCanvasGL::setDiffuseLight(int level) {
  _scene.setDiffuseLight(level);
  update();
}

void ViewerCanvasGL::setSpecularLight(int level) {
  _scene.setSpecularLight(level);
  update();
}

void ViewerCanvasGL::resetPose() {
  _scene.setTranslation(0.0f, 0.0f);
  Vector<float> rotation(3);
  rotation.fill(0.0f);
  _scene.setRotation(rotation);
  _scene.setZoom(1.0f);
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
  _scene.setBackground(background);
  const Vector<int>& color = _scene.getBackground().getColor();
  QSettings settings;
  settings.setValue(backgroundColorKey, QColor(color[0], color[1], color[2], 255));
  settings.setValue(backgroundGradientKey, _scene.getBackground().isGradientEnabled());
  update();
}

void ViewerCanvasGL::setProjection(const ProjectionGL& projection) {
  _scene.setProjection(projection);
  update();
}

void ViewerCanvasGL::setClipPlanes(const ClipPlanesGL& planes) {
  _scene.setClipPlanes(planes);
  update();
}

void ViewerCanvasGL::toggleBoundingBox(bool shown) {
  _scene.setSceneBoxShown(shown);
  update();
}

void ViewerCanvasGL::toggleScaleBar(bool shown) {
  _scene.setScaleBarShown(shown);
  update();
}

void ViewerCanvasGL::setScaleBar(const BoundingBox<float>& box) {
  _scene.setScaleBar(box);
  update();
}

void ViewerCanvasGL::setScaleBarCaption(const QString& caption) {
  _scene.setScaleBarCaption(caption);
  update();
}

// === Mouse

namespace {

QPoint roundedPosition(const QMouseEvent* event) {
  return event->localPos().toPoint(); // each coordinate to the nearest integer
}

} // namespace

void ViewerCanvasGL::setZoomClamped(float zoom) {
  _scene.setZoom(std::clamp(zoom, 0.01f, 5.0f));
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
      setZoomClamped(getZoom() + dx * 3.0f / width());
      break;
    case Qt::AltModifier:
      _scene.setTranslation(getTranslationX() - static_cast<float>(dx) / width(),
                            getTranslationY() + static_cast<float>(dy) / height());
      break;
    default:
      changed = false;
    }
  }
  if (!changed) return update();
  emit poseChanged(getPose());
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
  setZoomClamped(static_cast<float>(getZoom() + steps / -800.0));
  emit poseChanged(getPose());
  update();
}

void ViewerCanvasGL::composeRotation(const Matrix<float>& increment) {
  using namespace Maths;
  const Vector<float>& current = getRotation();
  const Matrix<float> m = increment * xRotationMatrix3D(toRadians(current[0])) *
                          yRotationMatrix3D(toRadians(current[1])) * zRotationMatrix3D(toRadians(current[2]));
  float angles[3];
  decomposeRotationMatrix3D(m, angles[0], angles[1], angles[2]);
  Vector<float> rotation(3);
  for (int i = 0; i < 3; ++i) rotation[i] = fround(toDegrees(angles[i]), 0.25f);
  _scene.setRotation(rotation);
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

QString ViewerCanvasGL::askSnapshotFileName() {
  const QString name =
      QFileDialog::getSaveFileName(this, "Save snapshot as...", "", "Portable Network Graphics (*.png)");
  // The picture is a PNG file whatever its name: a name without a suffix gets the one that says so.
  return name.isEmpty() || !QFileInfo(name).suffix().isEmpty() ? name : name + ".png";
}

void ViewerCanvasGL::saveSnapshot(const QImage& image, const QString& fileName) {
  if (!image.save(fileName, "PNG"))
    QMessageBox::critical(this, "", "Could not write file\n\n" + fileName, QMessageBox::Ok);
}

void ViewerCanvasGL::snapshot(bool cropped) {
  const QString fileName = askSnapshotFileName();
  if (fileName.isEmpty()) return;
  QImage image = lastFrame();
  if (cropped) cropImage(image);
  saveSnapshot(image, fileName);
}

void ViewerCanvasGL::makeContextCurrent() {
  if (!isValid()) grabFramebuffer(); // a canvas never shown gets its context by drawing once
  makeCurrent();
}

int ViewerCanvasGL::maximumPictureSize() {
  makeContextCurrent();
  return OffscreenRendererGL::maximumSize();
}

QImage ViewerCanvasGL::renderPicture(int width, int height, bool transparent) {
  makeContextCurrent();
  OffscreenRendererGL::Options options;
  options.transparent = transparent;
  return OffscreenRendererGL::render(_scene, width, height, options);
}

void ViewerCanvasGL::sizedSnapshot() {
  const int limit = maximumPictureSize();
  QDialog dialog(this);
  dialog.setWindowTitle("Snapshot at size");
  auto* form = new QFormLayout(&dialog);
  const auto side = [&](const char* name, int canvasSide) {
    auto* box = new QSpinBox(&dialog);
    box->setObjectName(name);
    box->setRange(1, limit);
    box->setSuffix(" pixels");
    box->setValue(std::min(2 * canvasSide, limit));
    return box;
  };
  QSpinBox* width = side("width", this->width());
  QSpinBox* height = side("height", this->height());
  auto* transparent = new QCheckBox("Transparent background", &dialog);
  transparent->setObjectName("transparent");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  form->addRow("Width", width);
  form->addRow("Height", height);
  form->addRow(transparent);
  form->addRow(buttons);
  if (dialog.exec() != QDialog::Accepted) return;
  const QString fileName = askSnapshotFileName();
  if (fileName.isEmpty()) return;
  try {
    saveSnapshot(renderPicture(width->value(), height->value(), transparent->isChecked()), fileName);
  } catch (const Exception& e) {
    QMessageBox::critical(this, "", QString::fromStdString("Could not draw the picture\n\n" + e.getWhat()),
                          QMessageBox::Ok);
  }
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
  updateBoundingBox();
  initializeOpenGLFunctions();
  _scene.glInitialize();
}

void ViewerCanvasGL::resizeGL(int width, int height) {
  _frameDrawn = false; // a new frame buffer
  const QRect square = ViewerSceneGL::squareViewport(width, height);
  glViewport(square.x(), square.y(), square.width(), square.height());
}

void ViewerCanvasGL::paintGL() {
  makeCurrent();
  GLObject::releasePending(); // objects of painters deleted since the last paint
  ViewerSceneGL::Frame frame;
  frame.width = width();
  frame.height = height();
  {
    const StageTimes::Stage stage("drawing");
    _scene.glDraw(frame);
  }
  _frameDrawn = true;
  StageTimes::traceAndClear(); // the stages of loading new shapes, if any, and of this paint
}
