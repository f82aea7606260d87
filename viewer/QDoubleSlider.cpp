#include "viewer/QDoubleSlider.h"

#include <algorithm>
#include <cmath>

namespace {

int nearest(float x) {
  return static_cast<int>(std::floor(x + 0.5f));
}

} // namespace

QDoubleSlider::QDoubleSlider(QWidget* parent) : QSlider(parent) {
  QSlider::setMinimum(0);
  QSlider::setSingleStep(1);
  connect(this, qOverload<int>(&QSlider::valueChanged), this, qOverload<>(&QDoubleSlider::sliderChange));
}

void QDoubleSlider::setMinimum(double minimum) {
  _minimum = static_cast<float>(minimum);
  updateProperties();
}

void QDoubleSlider::setMaximum(double maximum) {
  _maximum = static_cast<float>(maximum);
  updateProperties();
}

void QDoubleSlider::setSingleStep(double step) {
  _singleStep = static_cast<float>(step);
  updateProperties();
}

void QDoubleSlider::setPageStep(double step) {
  _pageStep = static_cast<float>(step);
  updateProperties();
}

void QDoubleSlider::updateProperties() {
  QSlider::setPageStep(nearest(_pageStep / _singleStep));
  // Set together: a maximum below the integer minimum, met while the real bounds change one at a
  // time, would otherwise lower the minimum too and leave positions that stand for no value.
  QSlider::setRange(0, std::max(0, nearest((_maximum - _minimum) / _singleStep)));
}

double QDoubleSlider::value() const {
  return QSlider::value() * _singleStep + _minimum;
}

int QDoubleSlider::convertValue(float value) const {
  return nearest((value - _minimum) / _singleStep);
}

void QDoubleSlider::sliderChange() {
  emit valueChanged(value());
}

void QDoubleSlider::setValue(double value) {
  const float v = static_cast<float>(value);
  if (v <= _minimum)
    QSlider::setValue(0);
  else if (v >= _maximum)
    QSlider::setValue(QSlider::maximum());
  else
    QSlider::setValue(convertValue(v));
}
