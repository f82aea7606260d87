// Mouse gestures on a widget as a user makes them: press, move with the buttons held, release.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

// Presses the first of the held buttons at the widget's centre, moves by `move` in one step with all
// of them held and the keys down, and releases.
inline void drag(QWidget& widget, QPoint move, Qt::MouseButtons held = Qt::LeftButton,
                 Qt::KeyboardModifiers keys = Qt::NoModifier) {
  const QPoint start = widget.rect().center();
  const Qt::MouseButton first = (held & Qt::LeftButton) ? Qt::LeftButton : Qt::RightButton;
  QTest::mousePress(&widget, first, keys, start);
  QMouseEvent moved(QEvent::MouseMove, start + move, widget.mapToGlobal(start + move), Qt::NoButton, held,
                    keys);
  QApplication::sendEvent(&widget, &moved);
  QTest::mouseRelease(&widget, first, keys, start + move);
}
