#pragma once

#include "application/ImageLayers.h"
#include "application/ParameterData.h"
#include "application/Scene.h"
#include "foundation/Vector.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class ViewerSceneGL;

// What ostrel-render draws, made as the window makes it: shapes with the painters of their kind in
// the cycle colours, with the parameters of their "-parameters.df" files; voxel-matrix slices and
// images as the window's image layers; a parametric map with the panel's defaults. Painters are
// kept in loading order. Needs the OpenGL context current from the first load to destruction.
class RenderScene {
public:
  // scaling multiplies the shapes' coordinates; slice is the slice shown of every voxel matrix.
  RenderScene(const Vector<float>& scaling, int colorCycleLength, int slice);
  ~RenderScene();
  RenderScene(const RenderScene&) = delete;
  RenderScene& operator=(const RenderScene&) = delete;

  // Loads a shape file, voxel matrix or image through FileLoader, as the window does. A file that
  // cannot be read is reported on the standard error stream ("Cannot read FILE as a KIND: REASON")
  // and gives false; what was loaded before stays.
  bool load(const std::string& fileName);
  // Colours every triangle mesh that has the variable by it and shows the map's colour bar in the
  // scene: the colour map named (the panel's default when empty) over the range given, else over the
  // variable's whole range on all meshes. A variable that no mesh has is reported and gives false.
  bool showMap(const std::string& name, const std::string& colormap,
               const std::optional<std::vector<float>>& range, ViewerSceneGL& scene);
  // Draws every shape at that opacity, 1 to 100 percent (100: opaque).
  void setOpacity(int percent);
  const std::vector<PainterGL<float>*>& painters() const { return _drawn; }
  Scene& scene() { return _scene; } // the shapes loaded

private:
  void addShapes(std::vector<std::unique_ptr<Shape<float>>> shapes, const std::string& fileName);

  Vector<float> _scaling;
  int _slice;
  Scene _scene;
  ImageLayers _layers;
  std::vector<PainterGL<float>*> _drawn;
};
