#include "viewer/DoubleSliderSpinBox.h"

#include "viewer/DoubleSlider.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

DoubleSliderSpinBox::DoubleSliderSpinBox(const QString& label, const QString& suffix, QWidget* parent)
    : QWidget(parent), _slider(new DoubleSlider(this)), _spinBox(new QDoubleSpinBox(this)) {
  _slider->setOrientation(Qt::Horizontal);
  _slider->setMinimumWidth(50); // narrow side panels leave the window to the canvas
  setMinimum(0.0);
  setMaximum(1.0);
  setSingleStep(0.1);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(label, this));
  layout->addWidget(_slider);
  layout->addWidget(_spinBox);
  layout->addWidget(new QLabel(suffix, this));

  const auto sliderChanged = qOverload<double>(&DoubleSlider::valueChanged);
  const auto spinBoxChanged = qOverload<double>(&QDoubleSpinBox::valueChanged);
  connect(_slider, sliderChanged, _spinBox, &QDoubleSpinBox::setValue);
  connect(_spinBox, spinBoxChanged, _slider, qOverload<double>(&DoubleSlider::setValue));
  connect(_slider, sliderChanged, this, &DoubleSliderSpinBox::valueChanged);
  connect(_spinBox, spinBoxChanged, this, &DoubleSliderSpinBox::valueChanged);
}

void DoubleSliderSpinBox::setMinimum(double minimum) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setMinimum(minimum);
  _spinBox->setMinimum(minimum);
}

void DoubleSliderSpinBox::setMaximum(double maximum) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setMaximum(maximum);
  _spinBox->setMaximum(maximum);
}

void DoubleSliderSpinBox::setSingleStep(double step) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setSingleStep(step);
  _spinBox->setSingleStep(step);
}

double DoubleSliderSpinBox::getValue() const {
  return _slider->value();
}

void DoubleSliderSpinBox::setValue(double value) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setValue(value);
  _spinBox->setValue(value);
}
