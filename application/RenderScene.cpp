#include "application/RenderScene.h"

#include "application/FileLoader.h"
#include "geometry/Shape.h"
#include "viewer/ViewerSceneGL.h"

#include <cmath>
#include <iostream>
#include <map>

RenderScene::RenderScene(const Vector<float>& scaling, int colorCycleLength, int slice)
    : _scaling(scaling), _slice(slice) {
  _scene.setColorCycleLength(colorCycleLength);
}

RenderScene::~RenderScene() {
  _layers.clear();
}

bool RenderScene::load(const std::string& fileName) {
  LoadedItems items = FileLoader::load(fileName, _scaling);
  for (const std::string& problem : items.problems) std::cerr << problem << std::endl;
  if (!items.failure.empty()) {
    std::cerr << items.failure << std::endl;
    return false;
  }
  addShapes(std::move(items.loaded.shapes), fileName);
  if (items.loaded.voxelMatrix) _drawn.push_back(&_layers.addVoxelMatrix(*items.loaded.voxelMatrix, _slice));
  if (items.loaded.image)
    for (PainterGL<float>* painter : _layers.addImage(std::move(items.loaded.image)))
      _drawn.push_back(painter);
  return true;
}

void RenderScene::addShapes(std::vector<std::unique_ptr<Shape<float>>> shapes, const std::string& fileName) {
  for (std::unique_ptr<Shape<float>>& shape : shapes) {
    DataSet parameters = SceneItem::loadParameters(
        *shape, fileName, [](const std::string& problem) { std::cerr << problem << std::endl; });
    const ItemId id = _scene.add(std::move(shape), fileName, std::move(parameters));
    if (id == 0) continue;
    ShapePainterGL<float>& painter = _scene.at(_scene.rowOf(id)).painter();
    // Each shape is drawn once per strip of the picture. Without display lists that costs about
    // as much processor time as compiling one, and no copy of every vertex is held in the list.
    painter.enableDisplayLists(false);
    _drawn.push_back(&painter);
  }
}

void RenderScene::setOpacity(int percent) {
  ShapePainterAttributesGL change;
  change.clear(); // every other attribute stays
  change.setOpacity(std::round(percent * 2.55f));
  _scene.apply(_scene.ids(), change);
}

bool RenderScene::showMap(const std::string& name, const std::string& colormap,
                          const std::optional<std::vector<float>>& range, ViewerSceneGL& scene) {
  const std::map<std::string, ParameterData> parameters = _scene.parameters();
  const auto found = parameters.find(name);
  if (found == parameters.end()) {
    std::cerr << "ostrel-render: no triangle mesh has a parameter named " << name << "\n";
    return false;
  }
  // As the panel announces a choice: the variable, its colour map and the ends of its range.
  ParameterData map;
  map.setName(name);
  map.setColormapName(colormap.empty() ? found->second.getColormapName() : colormap);
  map.updateMinimum(range ? (*range)[0] : *found->second.getMinimum());
  map.updateMaximum(range ? (*range)[1] : *found->second.getMaximum());
  if (_scene.showParameter(map)) scene.setColorBar(map.colorBar());
  return true;
}
