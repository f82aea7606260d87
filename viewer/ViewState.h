#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"
#include "viewer/BackgroundGL.h"
#include "viewer/ClipPlaneGL.h"
#include "viewer/ProjectionGL.h"

#include <QString>

// Everything a frame shows besides the painters and their looks: orientation, panning, zoom, light
// levels, background, projection, scene box, scale bar and clipping planes, with the precision the
// canvas draws them at (a mouse drag pans and zooms by fractions that the pose panel rounds). A plain
// value: ViewerSceneGL draws it, the canvas changes it as the user poses the scene (in the place it
// is kept, see ViewerSceneGL::keepViewIn), the pose panel shows it, saved views keep it.
struct ViewState {
  ViewState(); // the view the viewer starts with: no rotation or panning, zoom 1, lights 80, 128, 128
  // Takes every value of view, but an invalid scale bar box keeps this one's bar where it is.
  void replaceWith(const ViewState& view);

  Vector<float> rotation;    // degrees about x, y and z, applied in that order
  float translationX = 0.0f; // panning in units of the scene scale
  float translationY = 0.0f;
  float zoom = 1.0f;
  int ambientLight = 80; // 0..255
  int diffuseLight = 128;
  int specularLight = 128;
  BackgroundGL background;
  // Of the scene box and the scale bar: white until a background is set, then its contrast colour.
  Vector<int> boxColor;
  ProjectionGL projection;
  bool sceneBoxShown = true;
  int sceneBoxScaling = 110; // percent of the visible shapes' box
  bool scaleBarShown = false;
  BoundingBox<float> scaleBar; // in scene units; an invalid box keeps the bar where it is
  QString scaleBarCaption;
  ClipPlanesGL clipPlanes; // offsets in scene units
};
