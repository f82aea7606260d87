#include "viewer/ViewerAnimationEditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>

ViewerAnimationEditor::ViewerAnimationEditor(QWidget* parent)
    : QFrame(parent), _timeout(new QSpinBox(this)), _stepSize(new QSpinBox(this)),
      _autoRepeat(new QCheckBox("Automatically repeat", this)),
      _circular(new QCheckBox("Circular animation", this)) {
  _timeout->setRange(10, 5000);
  _stepSize->setRange(1, 100);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel("Timeout (ms)", this), 0, 0);
  grid->addWidget(_timeout, 0, 1);
  grid->addWidget(new QLabel("Step size", this), 1, 0);
  grid->addWidget(_stepSize, 1, 1);
  grid->addWidget(_autoRepeat, 2, 0, 1, 2);
  grid->addWidget(_circular, 3, 0, 1, 2);
}

void ViewerAnimationEditor::setConfig(const ViewerAnimationConfig& config) {
  _timeout->setValue(config.getTimeout());
  _stepSize->setValue(config.getStepSize());
  _autoRepeat->setChecked(config.isAutoRepeat());
  _circular->setChecked(config.isCircular());
}

ViewerAnimationConfig ViewerAnimationEditor::getConfig() const {
  ViewerAnimationConfig config;
  config.setTimeout(_timeout->value());
  config.setStepSize(_stepSize->value());
  config.setAutoRepeat(_autoRepeat->isChecked());
  config.setCircular(_circular->isChecked());
  return config;
}
