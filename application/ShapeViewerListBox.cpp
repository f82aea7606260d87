#include "application/ShapeViewerListBox.h"

#include "application/ShapeViewerPainterGL.h"

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
  clear();
  // One selection of runs of selected lines: selecting line by line costs a selection merge each.
  QItemSelection selected;
  int runStart = -1;
  const auto closeRun = [&](int end) {
    if (runStart >= 0) selected.select(model()->index(runStart, 0), model()->index(end - 1, 0));
    runStart = -1;
  };
  for (const ShapeViewerPainterGL* painter : painters) {
    const ShapePainterGL<float>* proxy = painter->getProxy();
    QString text =
        proxy && proxy->hasShape() ? QString::fromStdString(proxy->getShape().getName()) : QString();
    if (painter->getNameCounter() >= 2) text += QString::asprintf("[%d]", painter->getNameCounter());
    auto* item = new QListWidgetItem(text, this);
    if (proxy && proxy->getAttributes().useColor())
      item->setIcon(QIcon(buildListItemPixmap(proxy->getAttributes().getColor())));
    item->setToolTip(QString::fromUtf8(painter->getDescription().c_str()));
    const int row = count() - 1;
    if (!painter->isSelected())
      closeRun(row);
    else if (runStart < 0)
      runStart = row;
  }
  closeRun(count());
  selectionModel()->select(selected, QItemSelectionModel::Select);
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
