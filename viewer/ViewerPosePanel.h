#pragma once

#include "foundation/Vector.h"
#include "viewer/BackgroundGL.h"
#include "viewer/ClipPlaneGL.h"
#include "viewer/Pose.h"
#include "viewer/ProjectionGL.h"

#include <QFrame>
#include <QString>

class ClipPlanesEditor;
class QCheckBox;
class QComboBox;
class SliderSpinBox;

// Side panel that sets the view numerically: rotation, panning, zoom, light levels, background,
// projection, scene-box options and clipping planes. Every user change is announced through the panel's
// signals; the setters show values without announcing them. The panel knows nothing of the canvas.
class ViewerPosePanel : public QFrame {
  Q_OBJECT

public:
  explicit ViewerPosePanel(QWidget* parent = nullptr);

signals:
  void rotationChanged(const Vector<float>& rotation); // degrees about x, y, z
  void translationChanged(const Vector<int>& translation);
  void zoomChanged(int percent);
  void boundingBoxScalingChanged(int percent);
  void ambientLightChanged(int level);
  void diffuseLightChanged(int level);
  void specularLightChanged(int level);
  void backgroundChanged(const BackgroundGL& background);
  void projectionChanged(const ProjectionGL& projection);
  void boundingBoxToggled(bool shown);
  void clipPlanesChanged(const ClipPlanesGL& planes);

public slots:
  void setRotation(const Vector<float>& rotation); // shows the nearest whole degrees
  void setTranslation(const Vector<int>& translation);
  void setZoom(int percent);
  void setBoundingBoxScaling(int percent);
  void setAmbientLight(int level);
  void setDiffuseLight(int level);
  void setSpecularLight(int level);
  // Rotation, panning, zoom and lights of the pose; scaling, background and projection stay.
  void setPose(const Pose& pose);
  // The background the canvas draws (its colour starts the colour dialog, its type is shown).
  void setBackground(const BackgroundGL& background);
  void setProjection(const ProjectionGL& projection);
  void setBoundingBoxShown(bool shown);
  void setClipPlanes(const ClipPlanesGL& planes);
  void processRotationChange();
  void processTranslationChange();
  // The colour dialog starts at the panel's background colour; on acceptance the background with
  // the chosen colour is announced.
  void runBackgroundColorDialog();
  void processBackgroundTypeChange(const QString& type); // "Gradient" or "Uniform"
  void processProjectionTypeChange(const QString& type); // "Perspective" (strength 1) or other
  void processPerspectiveStrengthChange(int strength);

private:
  SliderSpinBox* _rotationX;
  SliderSpinBox* _rotationY;
  SliderSpinBox* _rotationZ;
  SliderSpinBox* _translationX;
  SliderSpinBox* _translationY;
  SliderSpinBox* _zoom;
  SliderSpinBox* _ambientLight;
  SliderSpinBox* _diffuseLight;
  SliderSpinBox* _specularLight;
  QComboBox* _backgroundType;
  QComboBox* _projectionType;
  SliderSpinBox* _perspectiveStrength;
  QCheckBox* _boundingBoxShown;
  SliderSpinBox* _boundingBoxScaling;
  ClipPlanesEditor* _clipPlanes;
  BackgroundGL _background; // the background last announced; starts at the defaults
};
