#include "application/ParameterData.h"

#include "foundation/ErrorThrowing.h"

#include <cmath>

void ParameterData::updateMinimum(float value) {
  if (!_minimum || value < *_minimum) _minimum = value;
}

void ParameterData::updateMaximum(float value) {
  if (!_maximum || value > *_maximum) _maximum = value;
}

void ParameterData::widen(const ParameterData& other) {
  _name = other._name;
  if (other._minimum) updateMinimum(*other._minimum);
  if (other._maximum) updateMaximum(*other._maximum);
}

const std::vector<std::string>& ParameterData::colormapNames() {
  static const std::vector<std::string> names = {"Grey", "Fire", "Thermal", "Temperature"};
  return names;
}

ColorBarGL ParameterData::colorBar() const {
  return ColorBarGL(_colormap, _minimum.value(), _maximum.value(), _name);
}

void ParameterData::setColormapName(const std::string& name) {
  _colormapName = name;
  _colormap = colormap();
}

Colormap ParameterData::colormap() const {
  if (_colormapName == "Temperature") return Colormap::cold2Hot(256);
  if (_colormapName == "Fire") return Colormap::fire();
  if (_colormapName == "Thermal") return Colormap::thermal();
  Colormap grey(256);
  grey.makeGrayscale();
  return grey;
}

int ParameterData::valueToCell(float value) const {
  if (!_minimum || !_maximum) throwError<UsageError>(OSTREL_HERE, "The value range is not defined");
  const float minimum = *_minimum, maximum = *_maximum;
  if (!(value >= minimum)) return 0; // also a value that is not a number
  if (value > maximum || minimum == maximum) return 255;
  const float cell = std::floor((value - minimum) * 255.0f / (maximum - minimum) + 0.5f);
  return cell >= 0.0f && cell <= 255.0f ? static_cast<int>(cell) : 255; // a range too wide for floats
}

Vector<int> ParameterData::valueToColor(float value) const {
  return _colormap.getColor(valueToCell(value));
}
