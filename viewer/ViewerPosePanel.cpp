#include "viewer/ViewerPosePanel.h"

#include "viewer/ClipPlanesEditor.h"
#include "viewer/SliderSpinBox.h"

#include <QCheckBox>
#include <QColor>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <cmath>

namespace {

// A titled group whose vertical layout has margin 5 and spacing 0.
QVBoxLayout* columnGroup(const QString& title, QWidget* parent, QVBoxLayout* into) {
  auto* group = new QGroupBox(title, parent);
  auto* layout = new QVBoxLayout(group);
  layout->setContentsMargins(5, 5, 5, 5);
  layout->setSpacing(0);
  into->addWidget(group);
  return layout;
}

QGridLayout* gridGroup(const QString& title, QWidget* parent, QVBoxLayout* into) {
  auto* group = new QGroupBox(title, parent);
  auto* layout = new QGridLayout(group);
  into->addWidget(group);
  return layout;
}

QLabel* fixedLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFixedSize(label->sizeHint());
  return label;
}

SliderSpinBox* inputBox(QVBoxLayout* layout, const QString& label, int minimum, int maximum,
                        const QString& suffix) {
  auto* box = new SliderSpinBox(label, layout->parentWidget(), minimum, maximum, suffix);
  layout->addWidget(box);
  return box;
}

} // namespace

ViewerPosePanel::ViewerPosePanel(QWidget* parent) : QFrame(parent) {
  auto* inner = new QFrame(this);
  auto* groups = new QVBoxLayout(inner);
  groups->setContentsMargins(5, 5, 5, 5);
  groups->setSpacing(5);
  auto* outer = new QVBoxLayout(this);
  outer->addWidget(inner);
  outer->addStretch();

  QVBoxLayout* rotation = columnGroup("Rotation", inner, groups);
  _rotationX = inputBox(rotation, "x ", -180, 180, " deg.");
  _rotationY = inputBox(rotation, "y ", -180, 180, " deg.");
  _rotationZ = inputBox(rotation, "z ", -180, 180, " deg.");
  QVBoxLayout* translation = columnGroup("Translation", inner, groups);
  _translationX = inputBox(translation, "x ", -100, 100, " %");
  _translationY = inputBox(translation, "y ", -100, 100, " %");
  _zoom = inputBox(columnGroup("Zoom", inner, groups), "", 5, 1000, " %");
  _zoom->setValue(100);
  QVBoxLayout* light = columnGroup("Light", inner, groups);
  _ambientLight = inputBox(light, "Ambient  ", 0, 255, " ");
  _diffuseLight = inputBox(light, "Diffuse  ", 0, 255, " ");
  _specularLight = inputBox(light, "Specular ", 0, 255, " ");

  QGridLayout* background = gridGroup("Background", inner, groups);
  auto* selectColor = new QPushButton("Select...", background->parentWidget());
  _backgroundType = new QComboBox(background->parentWidget());
  _backgroundType->addItems({"Gradient", "Uniform"});
  background->addWidget(fixedLabel("Color ", background->parentWidget()), 0, 0);
  background->addWidget(selectColor, 0, 1);
  background->addWidget(fixedLabel("Type ", background->parentWidget()), 1, 0);
  background->addWidget(_backgroundType, 1, 1);

  const ProjectionGL defaultProjection;
  QGridLayout* projection = gridGroup("Projection", inner, groups);
  _projectionType = new QComboBox(projection->parentWidget());
  _projectionType->addItems({"Perspective", "Orthographic"});
  _projectionType->setCurrentIndex(defaultProjection.isPerspective() ? 0 : 1);
  _perspectiveStrength = new SliderSpinBox("Strength ", projection->parentWidget(), 1, 5, " ");
  _perspectiveStrength->setValue(static_cast<int>(defaultProjection.getPerspectiveStrength()));
  projection->addWidget(fixedLabel("Type ", projection->parentWidget()), 0, 0);
  projection->addWidget(_projectionType, 0, 1);
  projection->addWidget(_perspectiveStrength, 1, 0, 1, 2);

  QVBoxLayout* box = columnGroup("Bounding box", inner, groups);
  _boundingBoxShown = new QCheckBox("Show bounding box", box->parentWidget());
  _boundingBoxShown->setChecked(true);
  box->addWidget(_boundingBoxShown);
  _boundingBoxScaling = inputBox(box, "Scaling", 100, 110, "%");
  _clipPlanes = new ClipPlanesEditor(inner);
  groups->addWidget(_clipPlanes);

  for (SliderSpinBox* axis : {_rotationX, _rotationY, _rotationZ})
    connect(axis, &SliderSpinBox::valueChanged, this, &ViewerPosePanel::processRotationChange);
  for (SliderSpinBox* axis : {_translationX, _translationY})
    connect(axis, &SliderSpinBox::valueChanged, this, &ViewerPosePanel::processTranslationChange);
  connect(_zoom, &SliderSpinBox::valueChanged, this, &ViewerPosePanel::zoomChanged);
  connect(_ambientLight, &SliderSpinBox::valueChanged, this, &ViewerPosePanel::ambientLightChanged);
  connect(_diffuseLight, &SliderSpinBox::valueChanged, this, &ViewerPosePanel::diffuseLightChanged);
  connect(_specularLight, &SliderSpinBox::valueChanged, this, &ViewerPosePanel::specularLightChanged);
  connect(selectColor, &QPushButton::clicked, this, &ViewerPosePanel::runBackgroundColorDialog);
  connect(_backgroundType, &QComboBox::textActivated, this, &ViewerPosePanel::processBackgroundTypeChange);
  connect(_projectionType, &QComboBox::textActivated, this, &ViewerPosePanel::processProjectionTypeChange);
  connect(_perspectiveStrength, &SliderSpinBox::valueChanged, this,
          &ViewerPosePanel::processPerspectiveStrengthChange);
  connect(_boundingBoxShown, &QCheckBox::toggled, this, &ViewerPosePanel::boundingBoxToggled);
  connect(_boundingBoxShown, &QCheckBox::toggled, _boundingBoxScaling, &QWidget::setEnabled);
  connect(_boundingBoxScaling, &SliderSpinBox::valueChanged, this,
          &ViewerPosePanel::boundingBoxScalingChanged);
  connect(_clipPlanes, &ClipPlanesEditor::planesChanged, this, &ViewerPosePanel::clipPlanesChanged);
}

void ViewerPosePanel::setRotation(const Vector<float>& rotation) {
  SliderSpinBox* const axes[] = {_rotationX, _rotationY, _rotationZ};
  for (int i = 0; i < 3; ++i) axes[i]->setValue(static_cast<int>(std::floor(rotation[i] + 0.5f)));
}

void ViewerPosePanel::setTranslation(const Vector<int>& translation) {
  _translationX->setValue(translation[0]);
  _translationY->setValue(translation[1]);
}

void ViewerPosePanel::setZoom(int percent) {
  _zoom->setValue(percent);
}

void ViewerPosePanel::setBoundingBoxScaling(int percent) {
  _boundingBoxScaling->setValue(percent);
}

void ViewerPosePanel::setAmbientLight(int level) {
  _ambientLight->setValue(level);
}

void ViewerPosePanel::setDiffuseLight(int level) {
  _diffuseLight->setValue(level);
}

void ViewerPosePanel::setSpecularLight(int level) {
  _specularLight->setValue(level);
}

void ViewerPosePanel::setPose(const Pose& pose) {
  setRotation(pose.getRotation());
  setTranslation(pose.getTranslation());
  setZoom(pose.getZoom());
  setAmbientLight(pose.getAmbientLight());
  setDiffuseLight(pose.getDiffuseLight());
  setSpecularLight(pose.getSpecularLight());
}

void ViewerPosePanel::setBackground(const BackgroundGL& background) {
  _background = background;
  _backgroundType->setCurrentIndex(background.isGradientEnabled() ? 0 : 1);
}

void ViewerPosePanel::setProjection(const ProjectionGL& projection) {
  const QSignalBlocker blocker(_projectionType);
  _projectionType->setCurrentIndex(projection.isPerspective() ? 0 : 1);
  _perspectiveStrength->setValue(static_cast<int>(projection.getPerspectiveStrength()));
  _perspectiveStrength->setEnabled(projection.isPerspective());
}

void ViewerPosePanel::setBoundingBoxShown(bool shown) {
  const QSignalBlocker blocker(_boundingBoxShown);
  _boundingBoxShown->setChecked(shown);
  _boundingBoxScaling->setEnabled(shown);
}

void ViewerPosePanel::setClipPlanes(const ClipPlanesGL& planes) {
  _clipPlanes->setPlanes(planes);
}

void ViewerPosePanel::processRotationChange() {
  Vector<float> rotation(3);
  rotation[0] = static_cast<float>(_rotationX->getValue());
  rotation[1] = static_cast<float>(_rotationY->getValue());
  rotation[2] = static_cast<float>(_rotationZ->getValue());
  emit rotationChanged(rotation);
}

void ViewerPosePanel::processTranslationChange() {
  Vector<int> translation(2);
  translation[0] = _translationX->getValue();
  translation[1] = _translationY->getValue();
  emit translationChanged(translation);
}

void ViewerPosePanel::runBackgroundColorDialog() {
  const Vector<int>& current = _background.getColor();
  const QColor chosen = QColorDialog::getColor(QColor(current[0], current[1], current[2], 255), this, "",
                                               QColorDialog::DontUseNativeDialog);
  if (!chosen.isValid()) return;
  Vector<int> rgb(3);
  rgb[0] = chosen.red();
  rgb[1] = chosen.green();
  rgb[2] = chosen.blue();
  _background.setColor(rgb);
  emit backgroundChanged(_background);
}

void ViewerPosePanel::processBackgroundTypeChange(const QString& type) {
  _background.setGradientEnabled(type == "Gradient");
  emit backgroundChanged(_background);
}

void ViewerPosePanel::processProjectionTypeChange(const QString& type) {
  ProjectionGL projection;
  const bool perspective = type == "Perspective";
  if (perspective)
    projection.setPerspective();
  else
    projection.setOrthographic();
  _perspectiveStrength->setEnabled(perspective);
  emit projectionChanged(projection);
}

void ViewerPosePanel::processPerspectiveStrengthChange(int strength) {
  ProjectionGL projection;
  projection.setPerspective();
  projection.setPerspectiveStrength(static_cast<float>(strength));
  emit projectionChanged(projection);
}
