// The scene of loaded shapes and the list over it, without a window: what each change announces, and
// what the list shows and touches.
#include "application/Scene.h"
#include "application/ShapeListModel.h"
#include "application/ShapeListView.h"
#include "geometry/Vertices.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QSignalSpy>

#include <memory>

namespace {

std::unique_ptr<Shape<float>> points(const std::string& name) {
  auto shape = std::make_unique<Vertices<float>>(3, 2);
  shape->setName(name);
  return shape;
}

ShapePainterAttributesGL only(const std::function<void(ShapePainterAttributesGL&)>& set) {
  ShapePainterAttributesGL change;
  change.clear();
  set(change);
  return change;
}

// What the scene announces, one line per signal.
struct Listener {
  explicit Listener(Scene& scene) {
    const auto ids = [](const std::vector<ItemId>& list) {
      std::string text;
      for (ItemId id : list) text += (text.empty() ? "" : ",") + std::to_string(id);
      return text;
    };
    QObject::connect(&scene, &Scene::added,
                     [this](ItemId id) { heard += "added " + std::to_string(id) + ";"; });
    QObject::connect(&scene, &Scene::aboutToRemove,
                     [=](const std::vector<ItemId>& list) { heard += "removing " + ids(list) + ";"; });
    QObject::connect(&scene, &Scene::removed,
                     [=](const std::vector<ItemId>& list) { heard += "removed " + ids(list) + ";"; });
    QObject::connect(&scene, &Scene::selectionChanged, [this] { heard += "selection;"; });
    QObject::connect(&scene, &Scene::changed, [=](const std::vector<ItemId>& list, Scene::Fields fields) {
      heard += "changed " + ids(list);
      for (const auto& [field, name] : {std::pair(Scene::Field::Color, " color"),
                                        {Scene::Field::Visibility, " visibility"},
                                        {Scene::Field::Look, " look"},
                                        {Scene::Field::VertexColors, " vertex colors"}})
        if (fields & field) heard += name;
      heard += ";";
    });
  }
  std::string heard;
};

} // namespace

// Each change is announced once, with what it changed, for the items it changed and no other.
TEST(Scene, AnnouncesEachChangeOnceWithWhatItChangedForTheItemsItChanged) {
  Scene scene;
  Listener listener(scene);
  Vector<int> red(std::vector<int>{1, 2, 3}); // no colour of the cycle
  struct Step {
    const char* name;
    std::function<void()> act;
    std::string heard;
  };
  const Step steps[] = {
      {"three shapes, selected",
       [&] {
         for (const char* n : {"a", "b", "c"}) scene.add(points(n), n);
       },
       "added 1;added 2;added 3;"},
      {"line width on two",
       [&] {
         scene.apply({1, 2}, only([](auto& a) { a.setLineWidth(3); }));
       },
       "changed 1,2 look;"},
      {"the same on all: only the third changes",
       [&] {
         scene.apply({1, 2, 3}, only([](auto& a) { a.setLineWidth(3); }));
       },
       "changed 3 look;"},
      {"nothing new",
       [&] {
         scene.apply({1, 2, 3}, only([](auto& a) { a.setLineWidth(3); }));
       },
       ""},
      {"colour", [&] { scene.apply(scene.selection(), only([&](auto& a) { a.setColor(red); })); },
       "changed 1,2,3 color;"},
      {"hidden and wider",
       [&] { scene.apply({2}, only([](auto& a) { a.setVisibility(false), a.setLineWidth(5); })); },
       "changed 2 visibility look;"},
      {"V",
       [&] {
         scene.toggleVisibility({1, 2});
       },
       "changed 1,2 visibility;"},
      {"select one", [&] { scene.select({2}); }, "selection;"},
      {"the same again", [&] { scene.select({2}); }, ""},
      {"remove it and an unknown id",
       [&] {
         scene.remove({2, 99});
       },
       "removing 2;removed 2;selection;"},
      {"remove none", [&] { scene.remove({}); }, ""},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    listener.heard.clear();
    step.act();
    EXPECT_EQ(listener.heard, step.heard);
  }
  EXPECT_EQ(scene.ids(), (std::vector<ItemId>{1, 3}));
  EXPECT_FALSE(scene.at(0).isVisible());
  EXPECT_EQ(scene.at(1).attributes().getLineWidth(), 3.0f);
}

// The list shows each item's label, file and hidden state, touches no row for what no row shows, and
// its selection is the scene's both ways.
TEST(ShapeList, ShowsLabelsAndHiddenItemsTouchesOnlyWhatItShowsAndSharesTheSelection) {
  Scene scene;
  ShapeListView view(scene);
  const QAbstractItemModel& model = view.shapeModel();
  for (const char* name : {"cell", "cell", "nucleus"}) scene.add(points(name), std::string(name) + ".vx");
  const auto lines = [&] {
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
      const QModelIndex index = model.index(row, 0);
      shown << (index.data(Qt::FontRole).value<QFont>().italic() ? "~" : "") + index.data().toString() + " " +
                   index.data(Qt::ToolTipRole).toString() +
                   (view.selectionModel()->isSelected(index) ? " *" : "");
    }
    return shown.join(", ");
  };
  EXPECT_EQ(lines(), "cell cell.vx *, cell[2] cell.vx *, nucleus nucleus.vx *");
  QSignalSpy touched(&model, &QAbstractItemModel::dataChanged);
  scene.apply(scene.ids(), only([](auto& a) { a.setLineWidth(4), a.setOpacity(100); }));
  EXPECT_EQ(touched.count(), 0);
  scene.toggleVisibility({2});
  EXPECT_EQ(touched.count(), 1);
  view.selectionModel()->select(model.index(0, 0), QItemSelectionModel::ClearAndSelect);
  EXPECT_EQ(scene.selection(), std::vector<ItemId>{1});
  EXPECT_EQ(lines(), "cell cell.vx *, ~cell[2] cell.vx, nucleus nucleus.vx");
  scene.select({2, 3});
  scene.remove({1});
  EXPECT_EQ(lines(), "~cell[2] cell.vx *, nucleus nucleus.vx *");
}
