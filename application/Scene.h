#pragma once

#include "application/ParameterData.h"
#include "application/SceneItem.h"
#include "foundation/DataSet.h"
#include "rendering/ShapePainterAttributesGL.h"
#include "viewer/ViewState.h"

#include <QFlags>
#include <QObject>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The loaded shapes, in loading order, and what the user chose about them (display attributes,
// visibility, selection, the parametric map shown). The shape list, the attributes editor, the
// canvas, the landmark picker and the panels observe it: each change is made here once and
// announced once, whatever number of items it concerns.
class Scene : public QObject {
  Q_OBJECT

public:
  // What a change touched, so that an observer can skip what it does not show.
  enum class Field {
    Color = 1,        // the colour attribute
    Visibility = 2,   // the visibility attribute
    Look = 4,         // any other display attribute
    VertexColors = 8, // the colours a mesh's vertices are drawn in (a parametric map on or off)
  };
  Q_DECLARE_FLAGS(Fields, Field)

  explicit Scene(QObject* parent = nullptr);
  ~Scene() override;

  // === Items
  // Adds a shape (already scaled) drawn by a painter of its kind in the next colour of the cycle,
  // selected, and emits added. Returns its id; 0 (and nothing added) for a shape of no known kind.
  ItemId add(std::unique_ptr<Shape<float>> shape, const std::string& source, DataSet parameters = DataSet());
  // Emits aboutToRemove (the items still exist), frees them, then emits removed, and
  // selectionChanged when a selected item went; then gives freed memory back to the system. Unknown
  // ids are skipped; nothing happens for none.
  void remove(const std::vector<ItemId>& ids);
  void clear(); // removes every item
  int size() const { return static_cast<int>(_items.size()); }
  const SceneItem& at(int row) const { return *_items[static_cast<std::size_t>(row)]; }
  int rowOf(ItemId id) const; // -1 for an unknown id
  std::vector<ItemId> ids() const;

  // === Selection
  // Exactly these items become selected; emits selectionChanged when that changes anything.
  void select(const std::vector<ItemId>& ids);
  std::vector<ItemId> selection() const; // in loading order

  // === Display attributes
  // Updates the items' attributes with the defined ones of change; emits changed once, with what
  // changed, when something did.
  void apply(const std::vector<ItemId>& ids, const ShapePainterAttributesGL& change);
  // Each item's visibility becomes the opposite of its own; emits changed once.
  void toggleVisibility(const std::vector<ItemId>& ids);
  // Each item's attributes updated with its own change, as apply() does; emits changed once.
  void applyEach(const std::vector<std::pair<ItemId, ShapePainterAttributesGL>>& changes);
  // Item ids[k] becomes visible exactly when visible[k]; emits changed once when that changes any.
  void setVisibility(const std::vector<ItemId>& ids, const std::vector<bool>& visible);
  // What the items' attributes have in common; all undefined for none.
  ShapePainterAttributesGL commonAttributes(const std::vector<ItemId>& ids) const;
  // The colours of the n-th shape loaded from now on follow a cycle of this length.
  void setColorCycleLength(int length) { _colorCycleLength = length; }
  int colorCycleLength() const { return _colorCycleLength; }

  // === Parametric maps
  // Every numeric variable of the items' parameters, with the union of its ranges over them.
  std::map<std::string, ParameterData> parameters() const;
  // Every mesh with that variable is coloured by it (the empty name gives every mesh its own colours
  // back), and so are the meshes added later; emits changed for the meshes whose colours changed.
  // Returns whether a mesh shows the map.
  bool showParameter(const ParameterData& parameterData);
  bool showsMap() const;                                      // some mesh shows a parametric map
  const ParameterData& shownMap() const { return _shownMap; } // the last one shown (no name: none)

  // === View state
  // How the items are looked at: pose, lights, background, projection, scene box, scale bar and
  // clipping planes.
  const ViewState& view() const { return _view; }
  void setView(const ViewState& view); // as ViewState::replaceWith; emits viewChanged
  // The same state, for the canvas that draws it and changes it in place as the user poses the
  // scene (it announces those changes itself, to the panels).
  ViewState& drawnView() { return _view; }

signals:
  void added(ItemId id);
  void aboutToRemove(const std::vector<ItemId>& ids);
  void removed(const std::vector<ItemId>& ids);
  void changed(const std::vector<ItemId>& ids, Scene::Fields fields);
  void selectionChanged();
  void parametersChanged(); // an item with parameters came
  void viewChanged();       // setView set the whole view

private:
  SceneItem* find(ItemId id) const;
  int nextNameCounter(const std::string& shapeName) const;

  std::vector<std::unique_ptr<SceneItem>> _items; // in loading order, so by increasing id
  ItemId _lastId = 0;
  int _colorCycleLength = 14;
  ParameterData _shownMap; // the map last shown (none: no name)
  ViewState _view;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Scene::Fields)
