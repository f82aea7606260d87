#include "viewer/ViewerCanvasGL.h"

#include "foundation/Exception.h"
#include "foundation/HugePages.h"
#include "foundation/Maths.h"
#include "foundation/StageTimes.h"
#include "rendering/GLObject.h"
#include "viewer/OffscreenRendererGL.h"

#include <QCheckBox>
#include <QColor>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QMessageBox>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QSettings>
#include <QSizePolicy>
#include <QSpinBox>
#include <QWheelEvent>
#include <QWindow>

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const char* const backgroundColorKey = "viewerCanvas/background/color";
const char* const backgroundGradientKey = "viewerCanvas/background/gradient";

// Posted by update(); low priority, as Qt's own repaint requests, so that the changes already queued
// reach the frame.
const QEvent::Type frameRequest = static_cast<QEvent::Type>(QEvent::registerEventType());

// The native window the canvas shows its frames in. It paints when shown and hands mouse, wheel and
// drag events to the canvas widget, whose handlers, focus and parents serve them as the widget's own.
class CanvasWindow : public QWindow {
public:
  explicit CanvasWindow(ViewerCanvasGL& canvas) : _canvas(canvas) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFlag(Qt::WindowDoesNotAcceptFocus); // the keyboard stays with the widgets
  }

protected:
  void exposeEvent(QExposeEvent* /*event*/) override {
    if (isExposed()) _canvas.repaint();
  }

  bool event(QEvent* event) override {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      _canvas.setFocus(Qt::MouseFocusReason);
      [[fallthrough]];
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::DragLeave:
    case QEvent::Drop:
      return QCoreApplication::sendEvent(&_canvas, event);
    default:
      return QWindow::event(event);
    }
  }

private:
  ViewerCanvasGL& _canvas;
};

} // namespace

ViewerCanvasGL::ViewerCanvasGL(QWidget* parent)
    : QWidget(parent), _window(new CanvasWindow(*this)),
      _container(QWidget::createWindowContainer(_window, this)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setFocusPolicy(Qt::StrongFocus);
  _container->setFocusPolicy(Qt::NoFocus); // it would give the focus to the window
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
  if (_context) {              // else never drawn: no OpenGL object can belong to it
    makeCurrentOn(_offscreen); // off the window, which goes first
    GLObject::releasePending();
    _frameBuffer.reset();
    doneCurrent();
  }
  delete _container; // with the window, which must not ask this half-destroyed canvas for frames
}

// === Painters

void ViewerCanvasGL::setPainters(const std::vector<PainterGL<float>*>& painters) {
  _scene.setPainters(painters);
  _paintersAdded = _paintersRemoved = true;
}

void ViewerCanvasGL::addPainter(PainterGL<float>& painter) {
  _scene.painters().push_back(&painter);
  _paintersAdded = true;
}

void ViewerCanvasGL::removePainter(PainterGL<float>& painter) {
  std::vector<PainterGL<float>*>& painters = _scene.painters();
  const auto found = std::find(painters.begin(), painters.end(), &painter);
  if (found == painters.end()) return;
  painters.erase(found);
  _paintersRemoved = true;
}

void ViewerCanvasGL::removePainters() {
  _scene.painters().clear();
  _paintersRemoved = true;
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

int ViewerCanvasGL::maximumPictureSize() {
  makeCurrent();
  return OffscreenRendererGL::maximumSize();
}

QImage ViewerCanvasGL::renderPicture(int width, int height, bool transparent) {
  makeCurrent();
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
  makeCurrent();
  if (!_frameBuffer) return QImage(); // no OpenGL
  if (!_frameDrawn) paintGL();
  return readFrameBuffer();
}

QImage ViewerCanvasGL::grabFramebuffer() {
  _frameDrawn = false; // the last frame is painted again
  return lastFrame();
}

QImage ViewerCanvasGL::readFrameBuffer() {
  const QSize size = _frameBuffer->size();
  QImage frame(size, QImage::Format_RGBX8888);
  glReadPixels(0, 0, size.width(), size.height(), GL_RGBA, GL_UNSIGNED_BYTE, frame.bits());
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

bool ViewerCanvasGL::makeCurrentOn(QSurface& surface) {
  const bool made = static_cast<bool>(_context);
  if (!made) {
    _context = std::make_unique<QOpenGLContext>();
    _context->setFormat(_window->requestedFormat());
    if (!_context->create()) {
      _context.reset();
      return false;
    }
    _offscreen.setFormat(_context->format());
    _offscreen.create();
  }
  if (!_context->makeCurrent(&surface)) return false;
  if (!made) initializeGL();
  bindFrameBuffer();
  return true;
}

void ViewerCanvasGL::makeCurrent() {
  // A context current on the window stays there while the window lives: switching costs a flush.
  if (_context && QOpenGLContext::currentContext() == _context.get() &&
      (_context->surface() != _window || _window->handle()))
    return bindFrameBuffer();
  makeCurrentOn(_offscreen);
}

void ViewerCanvasGL::doneCurrent() {
  if (_context) _context->doneCurrent();
}

void ViewerCanvasGL::bindFrameBuffer() {
  const QSize size = (this->size() * devicePixelRatioF()).expandedTo(QSize(1, 1));
  if (!_frameBuffer || _frameBuffer->size() != size) {
    _frameBuffer.reset(); // before its successor: one frame buffer of this size at a time
    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    _frameBuffer = std::make_unique<QOpenGLFramebufferObject>(size, format);
    _frameDrawn = false;
  }
  _frameBuffer->bind();
}

void ViewerCanvasGL::update() {
  if (_frameRequested) return;
  _frameRequested = true;
  QCoreApplication::postEvent(this, new QEvent(frameRequest), Qt::LowEventPriority);
}

void ViewerCanvasGL::resizeEvent(QResizeEvent* /*event*/) {
  _container->resize(size()); // no layout: the canvas's size hints stay those of a plain widget
  update();
}

bool ViewerCanvasGL::event(QEvent* event) {
  if (event->type() != frameRequest) return QWidget::event(event);
  if (_frameRequested) repaint();
  return true;
}

void ViewerCanvasGL::repaint() {
  _frameRequested = false;
  if (!_window->isExposed() || !makeCurrentOn(*_window)) return;
  paintGL();
  QOpenGLFramebufferObject::blitFramebuffer(nullptr, _frameBuffer.get()); // to the window's back buffer
  _context->swapBuffers(_window);
  emit frameSwapped();
}

void ViewerCanvasGL::initializeGL() {
  updateBoundingBox();
  initializeOpenGLFunctions();
  _scene.glInitialize();
}

void ViewerCanvasGL::paintGL() {
  GLObject::releasePending(); // objects of painters deleted since the last paint
  // The software rasteriser allocates and frees many blocks while it draws a large mesh, and copies its
  // arrays into buffers at the first draw: on a heap that keeps its top on huge pages, these cost no
  // page fault per 4 KiB (address space only: pages are used as written).
  if (std::exchange(_paintersAdded, false)) reserveHeapOnHugePages(std::size_t(1) << 30);
  ViewerSceneGL::Frame frame;
  frame.width = width();
  frame.height = height();
  {
    const StageTimes::Stage stage("drawing");
    _scene.glDraw(frame);
  }
  _frameDrawn = true;
  // The driver drops the buffers of removed painters and the data of their last frame at this draw
  // only: then their memory, and the heap's reserve, go back to the system.
  if (std::exchange(_paintersRemoved, false)) giveFreedMemoryBack();
  StageTimes::traceAndClear(); // the stages of loading new shapes, if any, and of this paint
}
