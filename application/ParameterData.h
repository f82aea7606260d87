#pragma once

#include "foundation/Vector.h"
#include "imaging/Colormap.h"
#include "viewer/ColorBarGL.h"

#include <optional>
#include <string>
#include <vector>

// One parametric map: a variable of a mesh's per-vertex data set, the value range mapped onto a
// colour map, and the colour map's name ("Grey", "Fire", "Thermal" or "Temperature"; any other name
// gives the grey ramp). An empty name means no map. Plain value.
class ParameterData {
public:
  ParameterData() = default;

  void setName(const std::string& name) { _name = name; }
  const std::string& getName() const { return _name; }
  // Each keeps the wider end: repeated updates give the union of the ranges given.
  void updateMinimum(float value);
  void updateMaximum(float value);
  const std::optional<float>& getMinimum() const { return _minimum; }
  const std::optional<float>& getMaximum() const { return _maximum; }
  // The name, and the union of both ranges (the colour map stays).
  void widen(const ParameterData& other);
  void setColormapName(const std::string& name); // rebuilds the colour map
  const std::string& getColormapName() const { return _colormapName; }
  const Colormap& getColormap() const { return _colormap; }
  Colormap colormap() const;                              // the 256-cell map of the name
  static const std::vector<std::string>& colormapNames(); // the maps offered, "Grey" (the default) first
  // The legend of the map over the scene; both ends must be defined.
  ColorBarGL colorBar() const;

  // (red, green, blue) of the cell for v: cell 0 below the minimum, 255 above the maximum or when
  // both ends are equal, else (v - minimum) * 255 / (maximum - minimum) rounded half up, in single
  // precision. Both ends must be defined (UsageError otherwise).
  Vector<int> valueToColor(float value) const;
  // The cell of valueToColor, for callers that colour many values with one map.
  int valueToCell(float value) const;

private:
  std::string _name;
  std::optional<float> _minimum;
  std::optional<float> _maximum;
  std::string _colormapName = "Grey";
  Colormap _colormap = colormap();
};
