#pragma once

#include "application/Scene.h"

#include <QAbstractListModel>
#include <QHash>
#include <QIcon>

// The scene's items as the rows of a list, in loading order: the label (the shape's name, with "[n]"
// for the n-th shape of that name), a swatch of its colour, the file it came from as tool tip, and a
// hidden item in grey italics. A change that no row shows (line width, opacity...) touches no row.
class ShapeListModel : public QAbstractListModel {
  Q_OBJECT

public:
  static constexpr int ItemIdRole = Qt::UserRole; // the row's ItemId

  explicit ShapeListModel(Scene& scene, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // A square of the default font's line spacing less 4 pixels, filled with the opaque colour
  // (red, green, blue are the first three components) and outlined in black.
  static QPixmap swatchPixmap(const Vector<int>& color);

private:
  void itemAdded();
  void itemsChanged(const std::vector<ItemId>& ids, Scene::Fields fields);
  const QIcon& swatch(const Vector<int>& color) const; // built once per colour

  Scene& _scene;
  int _rows = 0; // the rows the views know of: follows the scene between the two removal signals
  mutable QHash<QRgb, QIcon> _swatches; // by colour, emptied when it grows large
};
