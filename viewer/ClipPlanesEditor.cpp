#include "viewer/ClipPlanesEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGridLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QDoubleSpinBox* numberBox(QWidget* parent, const QString& name, double limit, double step) {
  auto* box = new QDoubleSpinBox(parent);
  box->setObjectName(name);
  box->setRange(-limit, limit);
  box->setDecimals(2);
  box->setSingleStep(step);
  box->setKeyboardTracking(false); // announced when typing ends, not at every digit
  return box;
}

} // namespace

ClipPlanesEditor::ClipPlanesEditor(QWidget* parent) : QWidget(parent) {
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  auto* toggle = new QPushButton("Clipping", this);
  toggle->setObjectName("clipping");
  toggle->setCheckable(true);
  column->addWidget(toggle);
  auto* controls = new QFrame(this);
  controls->setVisible(false);
  column->addWidget(controls);
  connect(toggle, &QPushButton::toggled, controls, &QWidget::setVisible);
  auto* grid = new QGridLayout(controls);
  grid->setContentsMargins(0, 0, 0, 0);
  _plane = new QComboBox(controls);
  _plane->setObjectName("clipPlane");
  for (int i = 0; i < ClipPlaneGL::count; ++i) _plane->addItem(QString("Plane %1").arg(i + 1));
  _enabled = new QCheckBox("On", controls);
  _enabled->setObjectName("clipPlaneOn");
  _offset = numberBox(controls, "clipPlaneOffset", 99999.99, 1.0);
  _offset->setToolTip("Offset from the scene's centre along the normal");
  grid->addWidget(_plane, 0, 0);
  grid->addWidget(_enabled, 0, 1);
  grid->addWidget(_offset, 0, 2);
  for (int axis = 0; axis < 3; ++axis) {
    _normal[axis] = numberBox(controls, QString("clipPlaneNormal") + "xyz"[axis], 1.0, 0.1);
    _normal[axis]->setToolTip(QString("Normal, ") + "xyz"[axis]);
    grid->addWidget(_normal[axis], 1, axis);
  }
  showPlane(0);
  connect(_plane, qOverload<int>(&QComboBox::currentIndexChanged), this, &ClipPlanesEditor::showPlane);
  connect(_enabled, &QCheckBox::toggled, this, &ClipPlanesEditor::takeControls);
  for (QDoubleSpinBox* box : {_normal[0], _normal[1], _normal[2], _offset})
    connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &ClipPlanesEditor::takeControls);
}

void ClipPlanesEditor::setPlanes(const ClipPlanesGL& planes) {
  _planes = planes;
  showPlane(_plane->currentIndex());
}

void ClipPlanesEditor::showPlane(int index) {
  const ClipPlaneGL& plane = _planes[static_cast<std::size_t>(index)];
  const QSignalBlocker blockers[] = {QSignalBlocker(_enabled), QSignalBlocker(_normal[0]),
                                     QSignalBlocker(_normal[1]), QSignalBlocker(_normal[2]),
                                     QSignalBlocker(_offset)};
  _enabled->setChecked(plane.enabled);
  for (int axis = 0; axis < 3; ++axis) _normal[axis]->setValue(plane.normal[axis]);
  _offset->setValue(plane.offset);
}

void ClipPlanesEditor::takeControls() {
  ClipPlaneGL& plane = _planes[static_cast<std::size_t>(_plane->currentIndex())];
  plane.enabled = _enabled->isChecked();
  for (int axis = 0; axis < 3; ++axis) plane.normal[axis] = _normal[axis]->value();
  plane.offset = _offset->value();
  emit planesChanged(_planes);
}
