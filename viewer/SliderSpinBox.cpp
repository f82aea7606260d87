#include "viewer/SliderSpinBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

SliderSpinBox::SliderSpinBox(const QString& label, QWidget* parent, int minimum, int maximum,
                             const QString& suffix)
    : QWidget(parent), _slider(new QSlider(Qt::Horizontal, this)), _spinBox(new QSpinBox(this)) {
  _slider->setMinimumWidth(50); // narrow side panels leave the window to the canvas
  _slider->setPageStep(1);
  _slider->setSingleStep(1);
  _spinBox->setSingleStep(1);
  setMinimum(minimum);
  setMaximum(maximum);
  setValue(0);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(new QLabel(label, this));
  layout->addWidget(_slider);
  layout->addWidget(_spinBox);
  layout->addWidget(new QLabel(suffix, this));

  // The other inner widget follows before the change is announced, so that listeners reading
  // getValue() see the new value whichever widget the user moved.
  connect(_slider, &QSlider::valueChanged, this, &SliderSpinBox::setValue);
  connect(_spinBox, qOverload<int>(&QSpinBox::valueChanged), this, &SliderSpinBox::setValue);
  connect(_slider, &QSlider::valueChanged, this, &SliderSpinBox::valueChanged);
  connect(_spinBox, qOverload<int>(&QSpinBox::valueChanged), this, &SliderSpinBox::valueChanged);
}

int SliderSpinBox::getValue() const {
  return _slider->value();
}

void SliderSpinBox::setMinimum(int minimum) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setMinimum(minimum);
  _spinBox->setMinimum(minimum);
}

void SliderSpinBox::setMaximum(int maximum) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setMaximum(maximum);
  _spinBox->setMaximum(maximum);
}

void SliderSpinBox::setValue(int value) {
  const QSignalBlocker sliderBlocker(_slider), spinBoxBlocker(_spinBox);
  _slider->setValue(value);
  _spinBox->setValue(value);
}
