#include "viewer/QDoubleCompositeBox.h"

#include "viewer/QDoubleSlider.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

QDoubleCompositeBox::QDoubleCompositeBox(const QString& label, const QString& suffix, QWidget* parent)
    : QWidget(parent), _slider(new QDoubleSlider(this)), _spinBox(new QDoubleSpinBox(this)) {
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

  const auto sliderChanged = qOverload<double>(&QDoubleSlider::valueChanged);
  const auto spinBoxChanged = qOverload<double>(&QDoubleSpinBox::valueChanged);
  connect(_slider, sliderChanged, _spinBox, &QDoubleSpinBox::setValue);
  connect(_spinBox, spinBoxChanged, _slider, qOverload<double>(&QDoubleSlider::setValue));
  connect(_slider, sliderChanged, this, &QDoubleCompositeBox::valueChanged);
  connect(_spinBox, spinBoxChanged, this, &QDoubleCompositeBox::valueChanged);
}

void QDoubleCompositeBox::setMinimum(double minimum) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setMinimum(minimum);
  _spinBox->setMinimum(minimum);
}

void QDoubleCompositeBox::setMaximum(double maximum) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setMaximum(maximum);
  _spinBox->setMaximum(maximum);
}

void QDoubleCompositeBox::setSingleStep(double step) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setSingleStep(step);
  _spinBox->setSingleStep(step);
}

double QDoubleCompositeBox::getValue() const {
  return _slider->value();
}

void QDoubleCompositeBox::setValue(double value) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setValue(value);
  _spinBox->setValue(value);
}
