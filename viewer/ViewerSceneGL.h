#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "rendering/BoundingBoxPainterGL.h"
#include "rendering/PainterGL.h"
#include "viewer/BackgroundGL.h"
#include "viewer/CaptionGL.h"
#include "viewer/ClipPlaneGL.h"
#include "viewer/ColorBarGL.h"
#include "viewer/Pose.h"
#include "viewer/ProjectionGL.h"
#include "viewer/ViewState.h"

#include <QRect>
#include <QString>

#include <memory>
#include <vector>

class OrderIndependentBlendingGL;

// What the viewer shows and how one frame of it is drawn: the painters in drawing order (not
// owned), the view state (angles, panning, zoom, light levels, background, projection), the scene
// box and the scale bar. The Qt canvas and the off-screen renderer both draw through it, so a
// picture made without a window is the picture the viewer shows.
class ViewerSceneGL {
public:
  // Where and how one paint pass draws.
  struct Frame {
    int width = 0; // the whole picture, in pixels
    int height = 0;
    int left = 0; // the picture's pixel at the lower left corner of the current draw buffer
    int bottom = 0;
    bool transparent = false; // alpha 0 where nothing is drawn, instead of the background
    bool markDrawn = false;   // pixels drawn after the background get stencil value 1
    int bufferWidth = 0;      // the current draw buffer's size; 0 for the picture's
    int bufferHeight = 0;
  };

  ViewerSceneGL();  // no painters, no rotation or panning, zoom 1, lights 0, scene box at 110 %
  ~ViewerSceneGL(); // with the context that drew the scene current, if any drew translucent painters

  // === Painters, in drawing order
  void setPainters(const std::vector<PainterGL<float>*>& painters) { _painters = painters; }
  const std::vector<PainterGL<float>*>& getPainters() const { return _painters; }
  std::vector<PainterGL<float>*>& painters() { return _painters; }

  // === View state; changes take effect in the next paint pass
  // The scene's own until keepViewIn() puts it elsewhere.
  const ViewState& view() const { return *_view; }
  // All of it at once (see ViewState::replaceWith); the scene box is not fitted again (see
  // updateBoundingBox).
  void setView(const ViewState& view) { _view->replaceWith(view); }
  // From now on the view state is kept in view, which takes the current one: whoever holds it and
  // this scene draw and change the same state. view must outlive the scene.
  void keepViewIn(ViewState& view);
  Pose getPose() const;
  // Angles, panning (converted with the zoom before the call), zoom and light levels.
  void setPose(const Pose& pose);
  void setRotation(const Vector<float>& rotation) { _view->rotation = rotation; }
  const Vector<float>& getRotation() const { return _view->rotation; }
  void setTranslation(const Vector<int>& translation); // pose panel units, converted with the current zoom
  void setTranslation(float x, float y);               // in units of the scene scale
  float getTranslationX() const { return _view->translationX; }
  float getTranslationY() const { return _view->translationY; }
  void setZoom(float zoom) { _view->zoom = zoom; }
  float getZoom() const { return _view->zoom; }
  void setAmbientLight(int level) { _view->ambientLight = level; } // 0..255
  void setDiffuseLight(int level) { _view->diffuseLight = level; }
  void setSpecularLight(int level) { _view->specularLight = level; }
  void setBoundingBoxScaling(int percent) { _view->sceneBoxScaling = percent; } // see updateBoundingBox
  int getBoundingBoxScaling() const { return _view->sceneBoxScaling; }
  void setBackground(const BackgroundGL& background); // also picks the scene box's contrast colour
  const BackgroundGL& getBackground() const { return _view->background; }
  void setProjection(const ProjectionGL& projection) { _view->projection = projection; }
  const ProjectionGL& getProjection() const { return _view->projection; }
  // Planes that cut every painter's model (not the scene box, the scale bar or the colour bar).
  void setClipPlanes(const ClipPlanesGL& planes) { _view->clipPlanes = planes; }
  const ClipPlanesGL& getClipPlanes() const { return _view->clipPlanes; }
  void setSceneBoxShown(bool shown) { _view->sceneBoxShown = shown; }
  void setScaleBarShown(bool shown) { _view->scaleBarShown = shown; }
  void setScaleBar(const BoundingBox<float>& box) { _view->scaleBar = box; } // in scene units
  // The scale bar's length and unit ("10 µm"), written beside its far corner while the bar is drawn.
  void setScaleBarCaption(const QString& caption) { _view->scaleBarCaption = caption; }
  const QString& getScaleBarCaption() const { return _view->scaleBarCaption; }
  // The legend of the colour map shown on the meshes, drawn over the scene; the default one hides it.
  void setColorBar(const ColorBarGL& colorBar) { _colorBar = colorBar; }
  const ColorBarGL& getColorBar() const { return _colorBar; }

  // Centre and scale (0.6 times the diagonal) of the visible painters' merged box, and the scene box
  // drawn around it, enlarged by the box scaling; returns that box (empty without visible painters).
  BoundingBox<float> updateBoundingBox();
  const Vector<float>& getCenter() const { return _center; }
  float getScale() const { return _scale; }

  // === OpenGL, with the context that draws the scene current
  // Lighting of a new context: two-sided, colour material, light 0 along the viewing axis.
  void glInitialize();
  // One paint pass: background, scene box, scale bar and its caption, the opaque painters in list order,
  // then the others blended in depth order at each pixel (in list order when the context cannot sort
  // them) without depth writes, then the colour bar over everything. The viewport is the square of the
  // picture's larger side, centred on the picture, so the scene overflows the shorter side instead of
  // being distorted.
  void glDraw(const Frame& frame);
  static QRect squareViewport(int width, int height);

private:
  float translationFactor() const; // 1 / zoom + 1, converts the pose panel's panning units
  void glSetProjection() const;
  void glSetLight() const;
  // The scene box and the scale bar with its caption, as the view state shows them.
  void glDrawSceneBoxAndScaleBar(const Frame& frame);
  // Writes the scale bar's caption beside the bar's far corner, in the colour of the scene box; needs
  // the model-view and projection matrices of the scene.
  void glDrawScaleBarCaption(const Frame& frame) const;
  void glDrawTranslucent(const Frame& frame);
  void glSetClipPlanes() const; // under the model-view matrix centred on the scene's centre
  void glEnableClipPlanes(bool enabled) const;

  std::vector<PainterGL<float>*> _painters;
  ViewState _ownView;
  ViewState* _view = &_ownView; // the view state drawn and changed: _ownView or the one given
  Vector<float> _center;
  float _scale = 1.0f;
  BoundingBoxPainterGL<float> _boundingBoxPainter;
  BoundingBoxPainterGL<float> _scaleBarPainter;
  ColorBarGL _colorBar;
  CaptionGL _scaleBarCaption;
  std::unique_ptr<OrderIndependentBlendingGL> _blending; // made at the first translucent paint
};
