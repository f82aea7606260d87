#pragma once

#include "application/ParameterData.h"
#include "rendering/ShapePainterAttributesGL.h"
#include "viewer/ViewState.h"

#include <QByteArray>

#include <string>
#include <vector>

class Scene;

// A figure that can be made again: the scene's view state, the parametric map shown and every
// shape's display attributes keyed by the file it came from and its name, as "View" > "Save view..."
// writes it and "Load view..." and ostrel-render --view read it (a small JSON file with a version).
// Lengths (clipping offsets, the scale bar) are kept in the units of the shape files, so that a view
// fits the same files loaded at another scaling.
class SavedView {
public:
  static constexpr int version = 1; // of the file; another one is refused

  // One shape's look: the n-th shape of a file and name takes the n-th look of the same.
  struct Look {
    std::string file; // as loaded; matched by its last component, so that a view moves with its files
    std::string name;
    ShapePainterAttributesGL attributes; // the defined ones are saved and applied
  };

  // What the scene shows; scaling is the factor its shapes were loaded with.
  static SavedView of(const Scene& scene, float scaling);
  // Refuses (FileFormatError naming the file) what is not JSON, of another version, or holds a value
  // of the wrong kind or out of range; nothing is made then.
  static SavedView fromJson(const QByteArray& json, const std::string& file);
  static SavedView read(const std::string& file); // FileReadError, or as fromJson
  QByteArray toJson() const;
  void write(const std::string& file) const; // FileWriteError when it cannot be written

  // The looks go to the items they match (one change), then the view to the scene (viewChanged).
  // Returns the looks that match no item, as "name (file)". The map is the caller's (colorMap()).
  std::vector<std::string> applyTo(Scene& scene, float scaling) const;
  const ParameterData& colorMap() const { return _colorMap; } // no variable name: no map
  const std::vector<Look>& looks() const { return _looks; }

private:
  ViewState _view; // lengths in the shape files' units
  ParameterData _colorMap;
  std::vector<Look> _looks;
};
