#include "application/ShapeViewerListBox.h"

#include "viewer/ShapeViewerPainterGL.h"

#include <QFontMetrics>
#include <QItemSelection>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>

ShapeViewerListBox::ShapeViewerListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
}

void ShapeViewerListBox::setPainters(const std::vector<ShapeViewerPainterGL*>& painters) {
  const QSignalBlocker blocker(this);
  // Lines are reused and only what differs is set, so that rebuilding the list after every change
  // stays cheap with thousands of shapes.
  const int n = static_cast<int>(painters.size());
  while (count() > n) delete takeItem(count() - 1);
  while (count() < n) new QListWidgetItem(this);
  // One selection of runs of selected lines: selecting line by line costs a selection merge each.
  QItemSelection selected;
  int runStart = -1;
  const auto closeRun = [&](int end) {
    if (runStart >= 0) selected.select(model()->index(runStart, 0), model()->index(end - 1, 0));
    runStart = -1;
  };
  for (int row = 0; row < n; ++row) {
    const ShapeViewerPainterGL& painter = *painters[static_cast<std::size_t>(row)];
    const ShapePainterGL<float>* proxy = painter.getProxy();
    QString text =
        proxy && proxy->hasShape() ? QString::fromStdString(proxy->getShape().getName()) : QString();
    if (painter.getNameCounter() >= 2) text += QString::asprintf("[%d]", painter.getNameCounter());
    const QString toolTip = QString::fromUtf8(painter.getDescription().c_str());
    const QVariant color = proxy && proxy->getAttributes().useColor()
                               ? QVariant(swatchKey(proxy->getAttributes().getColor()))
                               : QVariant();
    QListWidgetItem* line = item(row);
    if (line->text() != text) line->setText(text);
    if (line->toolTip() != toolTip) line->setToolTip(toolTip);
    // A hidden shape's name is grey and italic.
    const bool hidden = proxy && !proxy->isVisible();
    if (line->font().italic() != hidden) {
      QFont font = line->font();
      font.setItalic(hidden);
      line->setFont(font);
      line->setForeground(hidden ? palette().brush(QPalette::Disabled, QPalette::Text) : QBrush());
    }
    if (line->data(Qt::UserRole) != color) {
      line->setData(Qt::UserRole, color);
      line->setIcon(color.isValid() ? swatch(proxy->getAttributes().getColor()) : QIcon());
    }
    if (!painter.isSelected())
      closeRun(row);
    else if (runStart < 0)
      runStart = row;
  }
  closeRun(n);
  selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
}

QRgb ShapeViewerListBox::swatchKey(const Vector<int>& color) {
  return qRgb(color[0], color[1], color[2]);
}

const QIcon& ShapeViewerListBox::swatch(const Vector<int>& color) {
  const QRgb key = swatchKey(color);
  auto found = _swatches.find(key);
  if (found == _swatches.end()) {
    if (_swatches.size() >= 4096) _swatches.clear();
    found = _swatches.insert(key, QIcon(buildListItemPixmap(color)));
  }
  return *found;
}

QPixmap ShapeViewerListBox::buildListItemPixmap(const Vector<int>& color) const {
  const int side = QFontMetrics(QFont()).lineSpacing() - 4;
  QPixmap swatch(side, side);
  swatch.fill(QColor(color[0], color[1], color[2]));
  QPainter painter(&swatch);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, side - 1, side - 1);
  return swatch;
}

void ShapeViewerListBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_V)
    emit toggleVisibilityRequested();
  else if (event->key() == Qt::Key_Delete)
    emit deletionRequested();
  else
    QListWidget::keyPressEvent(event);
}
