#pragma once

#include "foundation/Matrix.h"
#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "rendering/BoundingBoxPainterGL.h"
#include "rendering/PainterGL.h"
#include "viewer/BackgroundGL.h"
#include "viewer/Pose.h"
#include "viewer/ProjectionGL.h"

#include <QImage>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QPoint>
#include <QRect>

#include <vector>

// The OpenGL view of the viewer. One paint pass draws the background, the scene box, the scale bar,
// the opaque painters in list order, then the other painters blended without depth writes. The
// canvas keeps the view state (angles, panning, zoom, lights, background, projection), converts it
// to and from a Pose for the panels, and owns none of the painters it draws. Painters may be deleted
// at any time: they keep their OpenGL objects in GLObjects, which the canvas deletes in its own
// context at its next paint or when it is destroyed.
class ViewerCanvasGL : public QOpenGLWidget, protected QOpenGLFunctions {
  Q_OBJECT

public:
  // Reads the saved background, then shows the widget.
  explicit ViewerCanvasGL(QWidget* parent = nullptr);
  ~ViewerCanvasGL() override; // deletes the OpenGL objects still waiting for its context

  // === Painters, in drawing order; none of these recomputes the scene box or repaints
  void setPainters(const std::vector<PainterGL<float>*>& painters) { _painters = painters; }
  const std::vector<PainterGL<float>*>& getPainters() const { return _painters; }
  void addPainter(PainterGL<float>& painter);    // emits painterAdded
  void removePainter(PainterGL<float>& painter); // emits painterRemoved; ignores unknown painters
  void removePainters();                         // painterRemoved for each, first to last

  // === View state
  Pose getPose() const;
  void setPose(const Pose& pose); // emits nothing
  // Scene box, centre and scale from the painters' boxes; runs from initializeGL() and
  // setBoundingBoxScaling only. The centre has three components: those a box of fewer dimensions
  // lacks are 0, those beyond the third are left out.
  void updateBoundingBox();
  // Scene point under a widget position at a window depth (0 near plane, 1 far plane); needs the
  // context current with the matrices of the last paint pass.
  Vector<float> unProject(const QPoint& position, float depth);
  void updateGLProjection();
  void updateGLLight();
  // Brings the scene box up to date and sets up lighting; callers that changed the painters call it
  // so that the view frames them.
  void initializeGL() override;

  const Vector<float>& getRotation() const { return _rotation; }
  float getTranslationX() const { return _translationX; }
  float getTranslationY() const { return _translationY; }
  float getZoom() const { return _zoom; }
  const Vector<float>& getCenter() const { return _center; }
  float getScale() const { return _scale; }
  int getBoundingBoxScaling() const { return _boundingBoxScaling; }
  const BackgroundGL& getBackground() const { return _background; }
  const ProjectionGL& getProjection() const { return _projection; }
  const BoundingBoxPainterGL<float>& getBoundingBoxPainter() const { return _boundingBoxPainter; }
  const BoundingBoxPainterGL<float>& getScaleBarPainter() const { return _scaleBarPainter; }

  // === Turning the scene about the screen's axes
  // The increment multiplies the current rotation on the left, so it acts about the screen axes; the
  // product is decomposed back into angles about x, y, z snapped to a 0.25-degree grid. Announce
  // nothing; the mouse handlers emit poseChanged.
  void combineXYRotation(int ax, int ay); // ax / 4 degrees about the screen x axis, ay / 4 about y
  void combineZRotation(int az);          // az degrees about the screen z axis

  // === Snapshots
  // Asks for a PNG file name and saves the canvas's frame, cropped to the drawn content if asked;
  // a file that cannot be written gets a message box.
  void snapshot(bool cropped);
  // Crops to the rows and columns that hold a pixel of another colour than the one at (0, 0); an
  // image of one colour (or whose content lies in column 0 only) stays as it is.
  void cropImage(QImage& image) const;
  // What the last paint pass drew, read back without painting again; a canvas that has not painted
  // since its frame buffer was made paints first.
  QImage lastFrame();

public slots:
  void setRotation(const Vector<float>& rotation);
  void setTranslation(const Vector<int>& translation); // pose panel units
  void setZoom(int percent);
  void setBoundingBoxScaling(int percent);
  void setAmbientLight(int level); // 0..255
  void setDiffuseLight(int level);
  void setSpecularLight(int level);
  void resetPose(); // keeps the light levels; emits poseChanged
  void setStandardPose1();
  void setStandardPose2();
  void setStandardPose3();
  void setRevStandardPose1();
  void setRevStandardPose2();
  void setRevStandardPose3();
  void setBackground(const BackgroundGL& background); // also picks the scene box's contrast colour
  void setProjection(const ProjectionGL& projection);
  void toggleBoundingBox(bool shown);
  void toggleScaleBar(bool shown);
  void setScaleBar(const BoundingBox<float>& box);
  void uncroppedSnapshot() { snapshot(false); }
  void croppedSnapshot() { snapshot(true); }

signals:
  void boundingBoxChanged(const BoundingBox<float>& box);
  void rotationChanged(const Vector<float>& rotation);
  void translationChanged(const Vector<int>& translation);
  void zoomChanged(int percent);
  void poseChanged(const Pose& pose);
  void painterAdded(PainterGL<float>& painter);
  void painterRemoved(PainterGL<float>& painter);

protected:
  // The left button turns the scene (Shift: about the screen z axis), Control with it zooms, Alt
  // with it pans; a double click resets the pose and the wheel zooms.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeGL(int width, int height) override;
  void paintGL() override;

  // The centred square of the larger side; the scene overflows the shorter side.
  static QRect squareViewport(int width, int height);
  void setSquareViewport(int width, int height);
  float translationFactor() const;                      // 1 / zoom + 1, converts panel panning units
  void setZoomClamped(float zoom);                      // within [0.01, 5]; marks the projection dirty
  void composeRotation(const Matrix<float>& increment); // increment x current, decomposed and snapped

  std::vector<PainterGL<float>*> _painters;
  Vector<float> _center;
  float _scale = 1.0f;
  int _boundingBoxScaling = 110;
  bool _projectionDirty = true;
  bool _lightDirty = true;
  BackgroundGL _background;
  ProjectionGL _projection;
  BoundingBoxPainterGL<float> _boundingBoxPainter;
  BoundingBoxPainterGL<float> _scaleBarPainter;
  Vector<float> _rotation;
  float _translationX = 0.0f;
  float _translationY = 0.0f;
  float _zoom = 1.0f;
  bool _frameDrawn = false; // the frame buffer holds a finished paint pass
  bool _moving = false;
  QPoint _lastMousePosition;
  float _ambientLight = 0.0f;
  float _diffuseLight = 0.0f;
  float _specularLight = 0.0f;
};
