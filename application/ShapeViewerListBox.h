#pragma once

#include "foundation/Vector.h"

#include <QHash>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>

#include <vector>

class ShapeViewerPainterGL;

// The list of loaded shapes, one line per viewer painter: the shape's name (with "[n]" for the n-th
// shape of that name), a swatch of its colour and the file it came from as tool tip. Several lines
// may be selected; V asks to flip the selected shapes' visibility and Delete asks to delete them.
// The list only shows and asks: the mediator changes the painters and rebuilds the list.
class ShapeViewerListBox : public QListWidget {
  Q_OBJECT

public:
  explicit ShapeViewerListBox(QWidget* parent = nullptr);

  // Rebuilds the lines from the painters, item i for painter i, selecting the lines of the selected
  // painters; emits no selection signal. Keeps no pointer to any painter.
  void setPainters(const std::vector<ShapeViewerPainterGL*>& painters);
  // A square of the default font's line spacing less 4 pixels, filled with the opaque colour
  // (red, green, blue are the first three components) and outlined in black.
  QPixmap buildListItemPixmap(const Vector<int>& color) const;

signals:
  void deletionRequested();
  void toggleVisibilityRequested();

protected:
  void keyPressEvent(QKeyEvent* event) override; // V and Delete ask; other keys navigate

private:
  static QRgb swatchKey(const Vector<int>& color);
  const QIcon& swatch(const Vector<int>& color); // built once per colour

  QHash<QRgb, QIcon> _swatches; // a cache of swatches by colour, emptied when it grows large
};
