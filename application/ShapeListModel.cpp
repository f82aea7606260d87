#include "application/ShapeListModel.h"

#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>

ShapeListModel::ShapeListModel(Scene& scene, QObject* parent)
    : QAbstractListModel(parent), _scene(scene), _rows(scene.size()) {
  connect(&scene, &Scene::added, this, &ShapeListModel::itemAdded);
  connect(&scene, &Scene::aboutToRemove, this, &ShapeListModel::beginResetModel);
  connect(&scene, &Scene::removed, this, [this] {
    _rows = _scene.size();
    endResetModel();
  });
  connect(&scene, &Scene::changed, this, &ShapeListModel::itemsChanged);
}

int ShapeListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : _rows;
}

QVariant ShapeListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= _rows) return QVariant();
  const SceneItem& item = _scene.at(index.row());
  switch (role) {
  case Qt::DisplayRole:
    return QString::fromStdString(item.label());
  case Qt::ToolTipRole:
    return QString::fromStdString(item.source());
  case Qt::DecorationRole:
    return item.attributes().useColor() ? QVariant(swatch(item.attributes().getColor())) : QVariant();
  case Qt::FontRole: {
    if (item.isVisible()) return QVariant();
    QFont hidden;
    hidden.setItalic(true);
    return hidden;
  }
  case Qt::ForegroundRole:
    return item.isVisible() ? QVariant() : QVariant(QPalette().brush(QPalette::Disabled, QPalette::Text));
  case ItemIdRole:
    return item.id();
  default:
    return QVariant();
  }
}

void ShapeListModel::itemAdded() {
  beginInsertRows(QModelIndex(), _rows, _rows);
  ++_rows;
  endInsertRows();
}

void ShapeListModel::itemsChanged(const std::vector<ItemId>& ids, Scene::Fields fields) {
  QVector<int> roles;
  if (fields & Scene::Field::Color) roles << Qt::DecorationRole;
  if (fields & Scene::Field::Visibility) roles << Qt::FontRole << Qt::ForegroundRole;
  if (roles.isEmpty()) return;
  int first = _rows, last = -1;
  for (ItemId id : ids) {
    const int row = _scene.rowOf(id);
    first = std::min(first, row);
    last = std::max(last, row);
  }
  if (last >= 0) emit dataChanged(index(first), index(last), roles);
}

const QIcon& ShapeListModel::swatch(const Vector<int>& color) const {
  const QRgb key = qRgb(color[0], color[1], color[2]);
  auto found = _swatches.find(key);
  if (found == _swatches.end()) {
    if (_swatches.size() >= 4096) _swatches.clear();
    found = _swatches.insert(key, QIcon(swatchPixmap(color)));
  }
  return *found;
}

QPixmap ShapeListModel::swatchPixmap(const Vector<int>& color) {
  const int side = QFontMetrics(QFont()).lineSpacing() - 4;
  QPixmap swatch(side, side);
  swatch.fill(QColor(color[0], color[1], color[2]));
  QPainter painter(&swatch);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, side - 1, side - 1);
  return swatch;
}
