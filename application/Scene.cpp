#include "application/Scene.h"

#include "application/ShapePainterFactory.h"
#include "foundation/HugePages.h"

#include <algorithm>
#include <iterator>

namespace {

int definedCount(const ShapePainterAttributesGL& a) {
  const bool defined[] = {
      a.useColor(),        a.useDisplayMode(),       a.useLineWidth(),        a.useOpacity(),
      a.useShininess(),    a.useVerticesSmoothing(), a.useNormalsSmoothing(), a.useSymbolSize(),
      a.useVertexSymbol(), a.useVisibility(),        a.hasBeginCapFlag(),     a.hasEndCapFlag()};
  return static_cast<int>(std::count(std::begin(defined), std::end(defined), true));
}

// What differs between an item's attributes before and after an update (after defines at least what
// before defines).
Scene::Fields differences(const ShapePainterAttributesGL& before, const ShapePainterAttributesGL& after) {
  const int changedCount = definedCount(after) - definedCount(before.intersection(after));
  Scene::Fields fields;
  if (changedCount == 0) return fields;
  const bool color = after.useColor() && (!before.useColor() || !(before.getColor() == after.getColor()));
  const bool visibility =
      after.useVisibility() && (!before.useVisibility() || before.getVisibility() != after.getVisibility());
  if (color) fields |= Scene::Field::Color;
  if (visibility) fields |= Scene::Field::Visibility;
  if (changedCount > int(color) + int(visibility)) fields |= Scene::Field::Look;
  return fields;
}

} // namespace

Scene::Scene(QObject* parent) : QObject(parent) {}

Scene::~Scene() = default;

// === Items

int Scene::nextNameCounter(const std::string& shapeName) const {
  int largest = 0;
  for (const auto& item : _items)
    if (item->shape().getName() == shapeName) largest = std::max(largest, item->nameCounter());
  return largest + 1;
}

ItemId Scene::add(std::unique_ptr<Shape<float>> shape, const std::string& source, DataSet parameters) {
  std::unique_ptr<ShapePainterGL<float>> painter = ShapePainterFactory::create(*shape);
  if (!painter) return 0;
  ShapePainterAttributesGL attributes = painter->getAttributes();
  attributes.setColor(ShapePainterFactory::cycleColor(size(), _colorCycleLength));
  painter->setAttributes(attributes);
  const int counter = nextNameCounter(shape->getName());
  _items.push_back(std::make_unique<SceneItem>(++_lastId, std::move(shape), std::move(painter), source,
                                               counter, std::move(parameters)));
  SceneItem& item = *_items.back();
  if (!_shownMap.getName().empty()) item.showParameter(_shownMap);
  emit added(_lastId);
  if (!item.variables().empty()) emit parametersChanged();
  return _lastId;
}

void Scene::remove(const std::vector<ItemId>& ids) {
  std::vector<ItemId> known;
  bool selected = false;
  for (ItemId id : ids)
    if (const SceneItem* item = find(id)) {
      known.push_back(id);
      selected = selected || item->isSelected();
    }
  if (known.empty()) return;
  emit aboutToRemove(known);
  std::sort(known.begin(), known.end());
  _items.erase(std::remove_if(_items.begin(), _items.end(),
                              [&](const std::unique_ptr<SceneItem>& item) {
                                return std::binary_search(known.begin(), known.end(), item->id());
                              }),
               _items.end());
  emit removed(known); // observers let go of what they held for the items
  if (selected) emit selectionChanged();
  // The allocator keeps what the shapes freed (all of it while a view keeps the heap reserved); it goes
  // back to the system here, or the process would keep the size of the largest scene it ever held.
  giveFreedMemoryBack();
}

void Scene::clear() {
  remove(ids());
}

int Scene::rowOf(ItemId id) const {
  const auto found =
      std::lower_bound(_items.begin(), _items.end(), id,
                       [](const std::unique_ptr<SceneItem>& item, ItemId key) { return item->id() < key; });
  return found != _items.end() && (*found)->id() == id ? static_cast<int>(found - _items.begin()) : -1;
}

SceneItem* Scene::find(ItemId id) const {
  const int row = rowOf(id);
  return row < 0 ? nullptr : _items[static_cast<std::size_t>(row)].get();
}

std::vector<ItemId> Scene::ids() const {
  std::vector<ItemId> all;
  all.reserve(_items.size());
  for (const auto& item : _items) all.push_back(item->id());
  return all;
}

// === Selection

void Scene::select(const std::vector<ItemId>& ids) {
  std::vector<ItemId> chosen(ids);
  std::sort(chosen.begin(), chosen.end());
  bool any = false;
  for (const auto& item : _items) {
    const bool selected = std::binary_search(chosen.begin(), chosen.end(), item->id());
    any = any || selected != item->_selected;
    item->_selected = selected;
  }
  if (any) emit selectionChanged();
}

std::vector<ItemId> Scene::selection() const {
  std::vector<ItemId> selected;
  for (const auto& item : _items)
    if (item->isSelected()) selected.push_back(item->id());
  return selected;
}

// === Display attributes

void Scene::apply(const std::vector<ItemId>& ids, const ShapePainterAttributesGL& change) {
  std::vector<std::pair<ItemId, ShapePainterAttributesGL>> changes;
  changes.reserve(ids.size());
  for (ItemId id : ids) changes.emplace_back(id, change);
  applyEach(changes);
}

void Scene::applyEach(const std::vector<std::pair<ItemId, ShapePainterAttributesGL>>& changes) {
  std::vector<ItemId> touched;
  Fields fields;
  for (const auto& [id, change] : changes) {
    SceneItem* item = find(id);
    if (!item) continue;
    ShapePainterAttributesGL attributes = item->attributes();
    attributes.update(change);
    const Fields differing = differences(item->attributes(), attributes);
    if (!differing) continue; // painters rebuild what they cache on every new set: skip equal ones
    item->painter().setAttributes(attributes);
    touched.push_back(id);
    fields |= differing;
  }
  if (!touched.empty()) emit changed(touched, fields);
}

void Scene::toggleVisibility(const std::vector<ItemId>& ids) {
  std::vector<ItemId> touched;
  for (ItemId id : ids) {
    SceneItem* item = find(id);
    if (!item) continue;
    ShapePainterAttributesGL attributes = item->attributes();
    attributes.setVisibility(!item->isVisible());
    item->painter().setAttributes(attributes);
    touched.push_back(id);
  }
  if (!touched.empty()) emit changed(touched, Field::Visibility);
}

void Scene::setVisibility(const std::vector<ItemId>& ids, const std::vector<bool>& visible) {
  std::vector<ItemId> touched;
  for (std::size_t k = 0; k < ids.size() && k < visible.size(); ++k) {
    SceneItem* item = find(ids[k]);
    if (!item || item->isVisible() == visible[k]) continue;
    ShapePainterAttributesGL attributes = item->attributes();
    attributes.setVisibility(visible[k]);
    item->painter().setAttributes(attributes);
    touched.push_back(ids[k]);
  }
  if (!touched.empty()) emit changed(touched, Field::Visibility);
}

ShapePainterAttributesGL Scene::commonAttributes(const std::vector<ItemId>& ids) const {
  ShapePainterAttributesGL common;
  common.clear();
  bool first = true;
  for (ItemId id : ids) {
    const SceneItem* item = find(id);
    if (!item) continue;
    common = first ? item->attributes() : common.intersection(item->attributes());
    first = false;
  }
  return common;
}

// === Parametric maps

std::map<std::string, ParameterData> Scene::parameters() const {
  std::map<std::string, ParameterData> table;
  for (const auto& item : _items)
    for (const ParameterData& variable : item->variables()) table[variable.getName()].widen(variable);
  return table;
}

bool Scene::showParameter(const ParameterData& parameterData) {
  _shownMap = parameterData;
  std::vector<ItemId> touched;
  bool shown = false;
  for (const auto& item : _items) {
    const bool mappedBefore = item->showsMap();
    const bool mapped = item->showParameter(parameterData);
    shown = shown || mapped;
    if (mapped || mappedBefore) touched.push_back(item->id());
  }
  if (!touched.empty()) emit changed(touched, Field::VertexColors);
  return shown;
}

bool Scene::showsMap() const {
  return std::any_of(_items.begin(), _items.end(), [](const auto& item) { return item->showsMap(); });
}

// === View state

void Scene::setView(const ViewState& view) {
  _view.replaceWith(view);
  emit viewChanged();
}
