#pragma once

#include "foundation/Matrix.h"
#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "rendering/PainterGL.h"
#include "viewer/BackgroundGL.h"
#include "viewer/Pose.h"
#include "viewer/ProjectionGL.h"
#include "viewer/ViewerSceneGL.h"

#include <QImage>
#include <QOffscreenSurface>
#include <QOpenGLFunctions>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

class QOpenGLContext;
class QOpenGLFramebufferObject;
class QWindow;

// The OpenGL view of the viewer. Its scene (ViewerSceneGL) keeps the painters, draws them with the
// view state (its own, or one kept elsewhere: keepViewIn) and changes that state as the user poses
// the scene. It draws the background, the scene box, the scale bar, the opaque painters in list
// order, then the other painters blended in depth order without depth writes. The canvas adds what
// belongs to a widget: the mouse, the signals to the panels, the saved background and snapshots. It
// owns no painter. Painters may be deleted at any time: they keep their OpenGL objects in GLObjects,
// which the canvas deletes in its own context at its next paint or when it is destroyed.
// The canvas paints into a frame buffer object of its own size, which keeps the last frame, and copies
// it to a native window of its own embedded in the widget. A QOpenGLWidget would instead make Qt
// compose the whole top-level window through OpenGL at every frame, which costs more than drawing
// many small shapes when OpenGL runs on the processor. Input that reaches the window is handed to the
// widget, so the widget's handlers serve both; the window never takes the keyboard focus, so that the
// window's shortcuts work as anywhere else.
class ViewerCanvasGL : public QWidget, protected QOpenGLFunctions {
  Q_OBJECT

public:
  // Reads the saved background, then shows the widget.
  explicit ViewerCanvasGL(QWidget* parent = nullptr);
  ~ViewerCanvasGL() override; // deletes the OpenGL objects still waiting for its context

  // === Painters, in drawing order; none of these recomputes the scene box or repaints
  void setPainters(const std::vector<PainterGL<float>*>& painters);
  const std::vector<PainterGL<float>*>& getPainters() const { return _scene.getPainters(); }
  void addPainter(PainterGL<float>& painter);
  void removePainter(PainterGL<float>& painter); // ignores unknown painters
  void removePainters();

  // === View state
  // The slots below, the mouse and the wheel change it and repaint.
  const ViewState& view() const { return _scene.view(); }
  // Draws and changes the view state kept in view from now on, which takes the current one; view
  // must outlive the canvas. Whoever sets it otherwise calls fitSceneBox() after.
  void keepViewIn(ViewState& view) { _scene.keepViewIn(view); }
  Pose getPose() const { return _scene.getPose(); }
  void setPose(const Pose& pose); // announces nothing
  // Frames what is shown: the scene box, centre and scale follow the visible painters' boxes, and
  // the canvas repaints. Callers that changed the painters or their visibility call it.
  void fitSceneBox();
  // Scene point under a widget position at a window depth (0 near plane, 1 far plane); needs the
  // context current with the matrices of the last paint pass.
  Vector<float> unProject(const QPoint& position, float depth);

  const Vector<float>& getRotation() const { return _scene.getRotation(); }
  float getTranslationX() const { return _scene.getTranslationX(); }
  float getTranslationY() const { return _scene.getTranslationY(); }
  float getZoom() const { return _scene.getZoom(); }
  const Vector<float>& getCenter() const { return _scene.getCenter(); }
  float getScale() const { return _scene.getScale(); }
  int getBoundingBoxScaling() const { return _scene.getBoundingBoxScaling(); }
  const BackgroundGL& getBackground() const { return _scene.getBackground(); }
  // The colour map legend at the right edge, until hidden; takes effect at the next paint.
  void setColorBar(const ColorBarGL& colorBar) { _scene.setColorBar(colorBar); }
  void hideColorBar() { _scene.setColorBar(ColorBarGL()); }
  const ColorBarGL& getColorBar() const { return _scene.getColorBar(); }

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
  // "Snapshot at size...": asks for a width and a height (each 1 to maximumPictureSize(), twice the
  // canvas's at first) and whether the background is transparent, then for a PNG file name, and
  // saves the scene drawn at that size; a failure gets a message box.
  void sizedSnapshot();
  // The scene drawn off screen at any size with the canvas's context (OffscreenRendererGL).
  QImage renderPicture(int width, int height, bool transparent);
  int maximumPictureSize(); // the largest side the context's frame buffers allow

  // === Context and frames
  // Makes the canvas's context current (made, with initializeGL, at the first call) and binds the
  // frame buffer, remade at the widget's size when that changed; does nothing without OpenGL.
  void makeCurrent();
  void doneCurrent();
  QOpenGLContext* context() const { return _context.get(); }
  // Paints into the frame buffer, whether the canvas is shown or not, and reads it back.
  QImage grabFramebuffer();
  // These two hide QWidget's, which would repaint only the widget and not the frame: one paint soon
  // for all the requests that arrive before it; a paint now. Both paint only a canvas on screen.
  void update();
  void repaint();

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
  void setClipPlanes(const ClipPlanesGL& planes);
  void toggleBoundingBox(bool shown);
  void toggleScaleBar(bool shown);
  void setScaleBar(const BoundingBox<float>& box);
  void setScaleBarCaption(const QString& caption); // written beside the bar's far corner
  void uncroppedSnapshot() { snapshot(false); }
  void croppedSnapshot() { snapshot(true); }

signals:
  void boundingBoxChanged(const BoundingBox<float>& box);
  void rotationChanged(const Vector<float>& rotation);
  void translationChanged(const Vector<int>& translation);
  void zoomChanged(int percent);
  void poseChanged(const Pose& pose);
  void frameSwapped(); // a new frame is on screen

protected:
  // The left button turns the scene (Shift: about the screen z axis), Control with it zooms, Alt
  // with it pans; a double click resets the pose and the wheel zooms.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool event(QEvent* event) override; // also serves the frame asked for by update()
  // Fits the scene box and sets up the lighting of a new context.
  void initializeGL();
  void paintGL(); // one paint pass into the bound frame buffer

  // Scene box, centre and scale from the visible painters' boxes; emits boundingBoxChanged. The
  // centre has three components: those a box of fewer dimensions lacks are 0, those beyond the
  // third are left out.
  void updateBoundingBox();
  void setZoomClamped(float zoom);                      // within [0.01, 5]
  void composeRotation(const Matrix<float>& increment); // increment x current, decomposed and snapped
  QString askSnapshotFileName();                        // empty when cancelled; ".png" added to a bare name
  void saveSnapshot(const QImage& image, const QString& fileName);
  // The context current on surface, made first if needed; false without OpenGL.
  bool makeCurrentOn(QSurface& surface);
  void bindFrameBuffer(); // remade at the widget's size first if that changed
  QImage readFrameBuffer();

  QWindow* _window;             // owned by its container
  QWidget* _container;          // a child of this widget
  QOffscreenSurface _offscreen; // the context's surface while it does not paint the window
  std::unique_ptr<QOpenGLContext> _context;
  std::unique_ptr<QOpenGLFramebufferObject> _frameBuffer;
  ViewerSceneGL _scene;
  bool _frameDrawn = false;     // the frame buffer holds a finished paint pass
  bool _frameRequested = false; // update() posted a request not yet served
  // Since the last paint: painters came, whose first draw makes the driver churn through memory, or
  // went, whose memory the driver lets go of at the next draw.
  bool _paintersAdded = false;
  bool _paintersRemoved = false;
  bool _moving = false;
  QPoint _lastMousePosition;
};
