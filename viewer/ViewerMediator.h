#pragma once

#include "foundation/Vector.h"
#include "viewer/Pose.h"

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class LandmarksDelegate;
class QAction;
class QEvent;
class QMenu;
class QWidget;
class ViewerAnimation;
class ViewerCanvasGL;
class ViewerMotion;
class ViewerPosePanel;
class ViewerRandomMotion;
class ViewerScaleBarPanel;
class ViewerSpinningMotion;
class VideoRecorder;

// Ties the viewer together: creates the viewer's menu actions, wires the canvas and the side panels
// to each other, filters the canvas's keys and keeps the motion settings. The window hands it the
// widgets, calls initialize() once and lets it fill the "File" and pose menus.
class ViewerMediator : public QObject {
  Q_OBJECT

public:
  // Creates the motions, the video recorder, the animation (circular, 1000 ms) and the actions, and
  // gives both motions "viewer/motion/angle" (default 1) and "viewer/motion/timeout" (default 50 ms).
  explicit ViewerMediator(QWidget* parent = nullptr);
  ~ViewerMediator() override;

  // The canvas gets the mediator as its key filter.
  void setCanvas(ViewerCanvasGL& canvas);
  ViewerCanvasGL* getCanvas() const { return _canvas; }
  LandmarksDelegate* getLandmarks() const { return _landmarks.get(); } // null before initialize()
  void setPosePanel(ViewerPosePanel& panel) { _posePanel = &panel; }
  ViewerPosePanel* getPosePanel() const { return _posePanel; }
  void setScaleBarPanel(ViewerScaleBarPanel& panel) { _scaleBarPanel = &panel; }
  ViewerScaleBarPanel* getScaleBarPanel() const { return _scaleBarPanel; }
  QWidget* parentWidget() const; // the parent when it is a widget

  void populateFileMenu(QMenu& menu); // snapshots (also at any size), recording, landmarks
  void populatePoseMenu(QMenu& menu); // standard poses, then animation and motions
  // Start values of canvas and pose panel, then their connections in both directions. Called once,
  // after the canvas and the pose panel (and the scale bar panel, if any) are set.
  virtual void initialize();
  // The factors applied to the coordinates of loaded files: the scale bar panel shows its sizes and
  // the landmarks are saved in the files' own units.
  void setScaling(const Vector<float>& scaling);

  // Angle step (degrees) and timer interval (ms) of both motions; the setters also save them.
  void setRandomMotionAngle(int degrees);
  int getRandomMotionAngle() const;
  void setMotionTimeout(int milliseconds);
  int getMotionTimeout() const;
  ViewerRandomMotion& getRandomMotion() const { return *_randomMotion; }
  ViewerSpinningMotion& getSpinningMotion() const { return *_spinningMotion; }
  ViewerAnimation& getAnimation() const { return *_animation; }

  // Keys on the canvas: Delete is swallowed. (R, which toggles the random motion, is the shortcut of
  // its action, which works wherever the focus is in the canvas's window.)
  bool eventFilter(QObject* watched, QEvent* event) override;

signals:
  // Something the user should know went wrong (a file not written, ...).
  void problemFound(const QString& problem);

public slots:
  // Poses applied through the mediator keep the canvas's light levels and announce nothing.
  void resetPose();
  void setPose(const Pose& pose);
  void setStandardPose1();
  void setStandardPose2();
  void setStandardPose3();
  void setRevStandardPose1();
  void setRevStandardPose2();
  void setRevStandardPose3();
  void uncroppedSnapshot();
  // "Record": opens the recording dialog for the canvas when ffmpeg can be run, otherwise says
  // that it must be installed.
  void videoStart();
  // Each starts its motion, stopping the other one first, or stops it: at most one motion runs.
  void toggleRandomMotion();
  void toggleSpinningMotion();
  // "Set motion angle..." (-180 to 180 degrees) and "Set motion timeout..." (0 to 10000 ms).
  void runRandomMotionAngleDialog();
  void runRandomMotionTimeoutDialog();
  // Stops a running animation; otherwise asks for its configuration (the saved one at first) and
  // starts it over the selected shapes, or over the previous ones when none is selected.
  void toggleAnimation();
  // "Landmark size...": the radius of the landmark spheres, kept in the settings.
  void runLandmarkSizeDialog();

protected:
  // The keys of the shapes the user selected, which the animation steps through; none here.
  virtual std::vector<int> selectedShapes() const;

private:
  void createActions();
  std::array<ViewerMotion*, 2> motions() const; // random, spinning

  ViewerCanvasGL* _canvas = nullptr;
  ViewerPosePanel* _posePanel = nullptr;
  std::unique_ptr<ViewerRandomMotion> _randomMotion;
  std::unique_ptr<ViewerSpinningMotion> _spinningMotion;
  std::unique_ptr<VideoRecorder> _video;
  std::unique_ptr<ViewerAnimation> _animation;
  ViewerScaleBarPanel* _scaleBarPanel = nullptr;

  QAction* _snapshot = nullptr;
  QAction* _croppedSnapshot = nullptr;
  QAction* _sizedSnapshot = nullptr;
  QAction* _record = nullptr;
  QAction* _toggleRandomMotion = nullptr;
  QAction* _toggleSpinningMotion = nullptr;
  QAction* _motionAngleDialog = nullptr;
  QAction* _motionTimeoutDialog = nullptr;
  QAction* _toggleAnimation = nullptr;
  QAction* _standardPoses[3] = {};
  QAction* _reverseStandardPoses[3] = {};
  QAction* _clearLandmarks = nullptr;
  QAction* _saveLandmarks = nullptr;
  QAction* _landmarkSizeDialog = nullptr;
  Vector<float> _scaling; // of loaded files; empty until set
  // Created by initialize(), so only meshes added to the canvas after it are pickable.
  std::unique_ptr<LandmarksDelegate> _landmarks;
};
