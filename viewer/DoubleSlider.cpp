#include "viewer/DoubleSlider.h"

#include <algorithm>
#include <cmath>

namespace {

int nearest(float x) {
  return static_cast<int>(std::floor(x + 0.5f));
}

} // namespace

DoubleSlider::DoubleSlider(QWidget* parent) : QSlider(parent) {
  QSlider::setMinimum(0);
  QSlider::setSingleStep(1);
  connect(this, qOverload<int>(&QSlider::valueChanged), this, qOverload<>(&DoubleSlider::sliderChange));
}

void DoubleSlider::setMinimum(double minimum) {
  _minimum = static_cast<float>(minimum);
  updateProperties();
}

void DoubleSlider::setMaximum(double maximum) {
  _maximum = static_cast<float>(maximum);
  updateProperties();
}

void DoubleSlider::setSingleStep(double step) {
  _singleStep = static_cast<float>(step);
  updateProperties();
}

void DoubleSlider::setPageStep(double step) {
  _pageStep = static_cast<float>(step);
  updateProperties();
}

void DoubleSlider::updateProperties() {
  QSlider::setPageStep(nearest(_pageStep / _singleStep));
  // Set together: a maximum below the integer minimum, met while the real bounds change one at a
  // time, would otherwise lower the minimum too and leave positions that stand for no value.
  QSlider::setRange(0, std::max(0, nearest((_maximum - _minimum) / _singleStep)));
}

double DoubleSlider::value() const {
  return QSlider::value() * _singleStep + _minimum;
}

int DoubleSlider::convertValue(float value) const {
  return nearest((value - _minimum) / _singleStep);
}

void DoubleSlider::sliderChange() {
  emit valueChanged(value());
}

void DoubleSlider::setValue(double value) {
  const float v = static_cast<float>(value);
  if (v <= _minimum)
    QSlider::setValue(0);
  else if (v >= _maximum)
    QSlider::setValue(QSlider::maximum());
  else
    QSlider::setValue(convertValue(v));
}
