#include "viewer/ViewerMediator.h"

#include "viewer/LandmarksDelegate.h"
#include "viewer/VideoEncoder.h"
#include "viewer/VideoRecorder.h"
#include "viewer/ViewerAnimation.h"
#include "viewer/ViewerAnimationDialog.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerRandomMotion.h"
#include "viewer/ViewerScaleBarPanel.h"
#include "viewer/ViewerSpinningMotion.h"

#include <QAction>
#include <QEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QWidget>

namespace {

const char* const motionAngleKey = "viewer/motion/angle";
const char* const motionTimeoutKey = "viewer/motion/timeout";
const char* const animationTimeoutKey = "viewer/animation/timeout";
const char* const animationStepSizeKey = "viewer/animation/stepSize";
const char* const landmarkSizeKey = "viewer/landmarks/size";

} // namespace

ViewerMediator::ViewerMediator(QWidget* parent)
    : QObject(parent), _randomMotion(std::make_unique<ViewerRandomMotion>()),
      _spinningMotion(std::make_unique<ViewerSpinningMotion>()), _video(std::make_unique<VideoRecorder>()),
      _animation(std::make_unique<ViewerAnimation>()) {
  ViewerAnimationConfig config;
  config.setCircular(true);
  config.setTimeout(1000);
  _animation->setConfig(config);
  createActions();
  QSettings settings;
  const int angle = settings.value(motionAngleKey, 1).toInt();
  const int timeout = settings.value(motionTimeoutKey, 50).toInt();
  for (ViewerMotion* motion : motions()) {
    motion->setAngle(angle);
    motion->setTimeout(timeout);
  }
}

ViewerMediator::~ViewerMediator() = default;

std::array<ViewerMotion*, 2> ViewerMediator::motions() const {
  return {_randomMotion.get(), _spinningMotion.get()};
}

void ViewerMediator::createActions() {
  const auto action = [this](const char* text, void (ViewerMediator::*slot)()) {
    auto* created = new QAction(text, this);
    if (slot) connect(created, &QAction::triggered, this, slot);
    return created;
  };
  _snapshot = action("Snapshot", &ViewerMediator::uncroppedSnapshot);
  _croppedSnapshot = action("Snapshot (cropped)", nullptr); // goes to the canvas in initialize()
  _sizedSnapshot = action("Snapshot at size...", nullptr);  // likewise
  _record = action("Record", &ViewerMediator::videoStart);
  _toggleRandomMotion = action("Toggle random motion", &ViewerMediator::toggleRandomMotion);
  _toggleSpinningMotion = action("Toggle spinning motion", &ViewerMediator::toggleSpinningMotion);
  _motionAngleDialog = action("Set motion angle...", &ViewerMediator::runRandomMotionAngleDialog);
  _motionTimeoutDialog = action("Set motion timeout...", &ViewerMediator::runRandomMotionTimeoutDialog);
  _toggleAnimation = action("Toggle animation", &ViewerMediator::toggleAnimation);
  // Each pose is named by the side of the data it shows, the side the viewer looks from.
  _standardPoses[0] = action("View from -z", &ViewerMediator::setStandardPose1);
  _standardPoses[1] = action("View from -x", &ViewerMediator::setStandardPose2);
  _standardPoses[2] = action("View from +y", &ViewerMediator::setStandardPose3);
  _reverseStandardPoses[0] = action("View from +z", &ViewerMediator::setRevStandardPose1);
  _reverseStandardPoses[1] = action("View from +x", &ViewerMediator::setRevStandardPose2);
  _reverseStandardPoses[2] = action("View from -y", &ViewerMediator::setRevStandardPose3);
  _toggleRandomMotion->setShortcut(Qt::Key_R);
  _clearLandmarks = action("Clear landmarks", nullptr); // go to the landmark picker in initialize()
  _saveLandmarks = action("Save landmarks...", nullptr);
  _landmarkSizeDialog = action("Landmark size...", &ViewerMediator::runLandmarkSizeDialog);
}

void ViewerMediator::setCanvas(ViewerCanvasGL& canvas) {
  _canvas = &canvas;
  canvas.installEventFilter(this);
  canvas.addAction(_toggleRandomMotion); // its key works wherever the focus is in the canvas's window
}

QWidget* ViewerMediator::parentWidget() const {
  return qobject_cast<QWidget*>(parent());
}

void ViewerMediator::populateFileMenu(QMenu& menu) {
  menu.addActions({_snapshot, _croppedSnapshot, _sizedSnapshot, _record});
  if (_landmarks) menu.addActions({_landmarks->addAction(), _landmarks->removeLastAction()});
  menu.addActions({_clearLandmarks, _saveLandmarks, _landmarkSizeDialog});
}

void ViewerMediator::populatePoseMenu(QMenu& menu) {
  menu.addActions({_standardPoses[0], _standardPoses[1], _standardPoses[2], _reverseStandardPoses[0],
                   _reverseStandardPoses[1], _reverseStandardPoses[2]});
  menu.addSeparator();
  menu.addActions({_toggleAnimation, _toggleRandomMotion, _toggleSpinningMotion, _motionAngleDialog,
                   _motionTimeoutDialog});
}

void ViewerMediator::initialize() {
  Vector<float> rotation(3);
  rotation.setZeros();
  Vector<int> translation(2);
  translation.setZeros();
  _canvas->setRotation(rotation);
  _canvas->setTranslation(translation);
  _canvas->setZoom(100);
  _canvas->setBoundingBoxScaling(110);
  _canvas->setAmbientLight(80);
  _canvas->setDiffuseLight(128);
  _canvas->setSpecularLight(128);
  _posePanel->setRotation(rotation);
  _posePanel->setTranslation(translation);
  _posePanel->setZoom(100);
  _posePanel->setBoundingBoxScaling(110);
  _posePanel->setAmbientLight(80);
  _posePanel->setDiffuseLight(128);
  _posePanel->setSpecularLight(128);
  _posePanel->setBackground(_canvas->getBackground());

  ViewerPosePanel* panel = _posePanel;
  ViewerCanvasGL* canvas = _canvas;
  connect(panel, &ViewerPosePanel::rotationChanged, canvas, &ViewerCanvasGL::setRotation);
  connect(panel, &ViewerPosePanel::translationChanged, canvas, &ViewerCanvasGL::setTranslation);
  connect(panel, &ViewerPosePanel::zoomChanged, canvas, &ViewerCanvasGL::setZoom);
  connect(panel, &ViewerPosePanel::boundingBoxScalingChanged, canvas, &ViewerCanvasGL::setBoundingBoxScaling);
  connect(panel, &ViewerPosePanel::ambientLightChanged, canvas, &ViewerCanvasGL::setAmbientLight);
  connect(panel, &ViewerPosePanel::diffuseLightChanged, canvas, &ViewerCanvasGL::setDiffuseLight);
  connect(panel, &ViewerPosePanel::specularLightChanged, canvas, &ViewerCanvasGL::setSpecularLight);
  connect(panel, &ViewerPosePanel::backgroundChanged, canvas, &ViewerCanvasGL::setBackground);
  connect(panel, &ViewerPosePanel::projectionChanged, canvas, &ViewerCanvasGL::setProjection);
  connect(panel, &ViewerPosePanel::boundingBoxToggled, canvas, &ViewerCanvasGL::toggleBoundingBox);
  connect(panel, &ViewerPosePanel::clipPlanesChanged, canvas, &ViewerCanvasGL::setClipPlanes);
  connect(canvas, &ViewerCanvasGL::rotationChanged, panel, &ViewerPosePanel::setRotation);
  connect(canvas, &ViewerCanvasGL::translationChanged, panel, &ViewerPosePanel::setTranslation);
  connect(canvas, &ViewerCanvasGL::zoomChanged, panel, &ViewerPosePanel::setZoom);
  connect(canvas, &ViewerCanvasGL::poseChanged, panel, &ViewerPosePanel::setPose);
  for (ViewerMotion* motion : motions()) {
    connect(canvas, &ViewerCanvasGL::rotationChanged, motion,
            qOverload<const Vector<float>&>(&ViewerMotion::setRotation));
    connect(canvas, &ViewerCanvasGL::poseChanged, motion, qOverload<const Pose&>(&ViewerMotion::setRotation));
    connect(panel, &ViewerPosePanel::rotationChanged, motion,
            qOverload<const Vector<float>&>(&ViewerMotion::setRotation));
    connect(motion, &ViewerMotion::rotationChanged, canvas, &ViewerCanvasGL::setRotation);
    connect(motion, &ViewerMotion::rotationChanged, panel, &ViewerPosePanel::setRotation);
  }
  connect(_randomMotion.get(), &ViewerMotion::rotationChanged, _spinningMotion.get(),
          qOverload<const Vector<float>&>(&ViewerMotion::setRotation));
  connect(_spinningMotion.get(), &ViewerMotion::rotationChanged, _randomMotion.get(),
          qOverload<const Vector<float>&>(&ViewerMotion::setRotation));
  connect(_animation.get(), &ViewerAnimation::currentIndexChanged, canvas,
          qOverload<>(&ViewerCanvasGL::repaint));
  connect(_croppedSnapshot, &QAction::triggered, canvas, &ViewerCanvasGL::croppedSnapshot);
  connect(_sizedSnapshot, &QAction::triggered, canvas, &ViewerCanvasGL::sizedSnapshot);
  _landmarks = std::make_unique<LandmarksDelegate>(canvas);
  _landmarks->setSymbolSize(QSettings().value(landmarkSizeKey, _landmarks->getSymbolSize()).toFloat());
  if (_scaling.getSize() > 0) _landmarks->setScaling(_scaling);
  connect(_landmarks.get(), &LandmarksDelegate::problemFound, this, &ViewerMediator::problemFound);
  connect(_saveLandmarks, &QAction::triggered, _landmarks.get(),
          static_cast<void (LandmarksDelegate::*)()>(&LandmarksDelegate::saveLandmarks));
  connect(_clearLandmarks, &QAction::triggered, _landmarks.get(), &LandmarksDelegate::clearLandmarks);
  if (_scaleBarPanel) {
    connect(canvas, &ViewerCanvasGL::boundingBoxChanged, _scaleBarPanel,
            &ViewerScaleBarPanel::setBoundingBox);
    connect(_scaleBarPanel, &ViewerScaleBarPanel::scaleBarChanged, canvas, &ViewerCanvasGL::setScaleBar);
    connect(_scaleBarPanel, &ViewerScaleBarPanel::captionChanged, canvas,
            &ViewerCanvasGL::setScaleBarCaption);
    connect(_scaleBarPanel, &ViewerScaleBarPanel::scaleBarToggled, canvas, &ViewerCanvasGL::toggleScaleBar);
    canvas->toggleScaleBar(false); // until the panel shows it
  }
}

void ViewerMediator::setScaling(const Vector<float>& scaling) {
  _scaling = scaling;
  if (_scaleBarPanel) _scaleBarPanel->setScaling(scaling);
  if (_landmarks) _landmarks->setScaling(scaling);
}

void ViewerMediator::runLandmarkSizeDialog() {
  if (!_landmarks) return;
  bool accepted = false;
  const double size = QInputDialog::getDouble(parentWidget(), "Landmark size",
                                              "Radius of the landmark spheres:", _landmarks->getSymbolSize(),
                                              0.01, 1000.0, 2, &accepted);
  if (!accepted) return;
  _landmarks->setSymbolSize(static_cast<float>(size));
  QSettings().setValue(landmarkSizeKey, size);
}

void ViewerMediator::setRandomMotionAngle(int degrees) {
  _randomMotion->setAngle(degrees);
  _spinningMotion->setAngle(degrees);
  QSettings().setValue(motionAngleKey, degrees);
}

int ViewerMediator::getRandomMotionAngle() const {
  return _randomMotion->getAngle();
}

void ViewerMediator::setMotionTimeout(int milliseconds) {
  _randomMotion->setTimeout(milliseconds);
  _spinningMotion->setTimeout(milliseconds);
  QSettings().setValue(motionTimeoutKey, milliseconds);
}

int ViewerMediator::getMotionTimeout() const {
  return _randomMotion->getTimeout();
}

bool ViewerMediator::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  switch (static_cast<QKeyEvent*>(event)->key()) {
  case Qt::Key_Delete:
    return true;
  default:
    return false;
  }
}

// === Poses

void ViewerMediator::setPose(const Pose& pose) {
  Pose lit(pose);
  const Pose current = _canvas->getPose();
  lit.setAmbientLight(current.getAmbientLight());
  lit.setDiffuseLight(current.getDiffuseLight());
  lit.setSpecularLight(current.getSpecularLight());
  _canvas->setPose(lit);
  _posePanel->setPose(lit);
}

void ViewerMediator::resetPose() {
  setPose(Pose());
}
void ViewerMediator::setStandardPose1() {
  setPose(Pose::canonicalPose1());
}
void ViewerMediator::setStandardPose2() {
  setPose(Pose::canonicalPose2());
}
void ViewerMediator::setStandardPose3() {
  setPose(Pose::canonicalPose3());
}
void ViewerMediator::setRevStandardPose1() {
  setPose(Pose::reverseCanonicalPose1());
}
void ViewerMediator::setRevStandardPose2() {
  setPose(Pose::reverseCanonicalPose2());
}
void ViewerMediator::setRevStandardPose3() {
  setPose(Pose::reverseCanonicalPose3());
}

// === Snapshots, recording, motions and animation

void ViewerMediator::uncroppedSnapshot() {
  _canvas->uncroppedSnapshot();
}

void ViewerMediator::videoStart() {
  if (VideoEncoder::isAvailable()) {
    _video->initialize(*_canvas);
    return;
  }
  QMessageBox::critical(_canvas, "QMessageBox::critical()",
                        "Please install ffmpeg software  https://ffmpeg.org/download.html",
                        QMessageBox::Abort);
}

void ViewerMediator::toggleRandomMotion() {
  if (!_randomMotion->isActive()) _spinningMotion->setActive(false);
  _randomMotion->toggle();
}

void ViewerMediator::toggleSpinningMotion() {
  if (!_spinningMotion->isActive()) _randomMotion->setActive(false);
  _spinningMotion->toggle();
}

void ViewerMediator::runRandomMotionAngleDialog() {
  bool ok = false;
  const int angle = QInputDialog::getInt(
      parentWidget(), "", "Enter motion angle (in degrees):", getRandomMotionAngle(), -180, 180, 1, &ok);
  if (ok) setRandomMotionAngle(angle);
}

void ViewerMediator::runRandomMotionTimeoutDialog() {
  bool ok = false;
  const int timeout = QInputDialog::getInt(
      parentWidget(), "", "Enter motion interval (msec):", getMotionTimeout(), 0, 10000, 1, &ok);
  if (ok) setMotionTimeout(timeout);
}

std::vector<int> ViewerMediator::selectedShapes() const {
  return {};
}

void ViewerMediator::toggleAnimation() {
  if (_animation->isRunning()) {
    _animation->toggle();
    return;
  }
  QSettings settings;
  ViewerAnimationConfig config;
  config.setTimeout(settings.value(animationTimeoutKey, 0).toInt());
  config.setStepSize(settings.value(animationStepSizeKey, 0).toInt());
  ViewerAnimationDialog dialog(_canvas);
  dialog.setConfig(config);
  if (dialog.exec() != QDialog::Accepted) return;
  config = dialog.getConfig();
  const std::vector<int> selected = selectedShapes();
  if (!selected.empty()) {
    _animation->setShapes(selected);
    _animation->setConfig(config);
    settings.setValue(animationTimeoutKey, config.getTimeout());
    settings.setValue(animationStepSizeKey, config.getStepSize());
  }
  _animation->toggle();
}
