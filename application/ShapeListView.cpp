#include "application/ShapeListView.h"

#include "application/Scene.h"
#include "application/ShapeListModel.h"

#include <QItemSelection>

ShapeListView::ShapeListView(Scene& scene, QWidget* parent)
    : QListView(parent), _scene(scene), _model(new ShapeListModel(scene, this)) {
  setModel(_model);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true); // thousands of rows are laid out without asking each one its size
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &ShapeListView::selectionToScene);
  connect(&scene, &Scene::selectionChanged, this, &ShapeListView::selectionFromScene);
  connect(_model, &QAbstractItemModel::modelReset, this, &ShapeListView::selectionFromScene);
  connect(_model, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { selectAddedRows(first, last); });
}

void ShapeListView::selectionToScene() {
  if (_syncing) return;
  std::vector<ItemId> ids;
  for (const QModelIndex& row : selectionModel()->selectedRows())
    ids.push_back(row.data(ShapeListModel::ItemIdRole).toInt());
  _syncing = true;
  _scene.select(ids);
  _syncing = false;
}

void ShapeListView::selectionFromScene() {
  if (_syncing) return;
  // One selection of runs of selected lines: selecting line by line costs a selection merge each.
  QItemSelection selected;
  int runStart = -1;
  const auto closeRun = [&](int end) {
    if (runStart >= 0) selected.select(_model->index(runStart), _model->index(end - 1));
    runStart = -1;
  };
  const int n = _model->rowCount();
  for (int row = 0; row < n; ++row) {
    if (!_scene.at(row).isSelected())
      closeRun(row);
    else if (runStart < 0)
      runStart = row;
  }
  closeRun(n);
  _syncing = true;
  selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
  _syncing = false;
}

void ShapeListView::selectAddedRows(int first, int last) {
  QItemSelection selected;
  for (int row = first; row <= last; ++row)
    if (_scene.at(row).isSelected()) selected.select(_model->index(row), _model->index(row));
  _syncing = true;
  selectionModel()->select(selected, QItemSelectionModel::Select);
  _syncing = false;
}
