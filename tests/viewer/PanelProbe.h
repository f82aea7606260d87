// The inner widgets of the panels' input boxes, reached as a user reaches them.
#pragma once

#include "viewer/QInputBox.h"

#include <QAbstractSpinBox>
#include <QSlider>
#include <QTest>

inline QSlider* sliderOf(QWidget* box) {
  return box->findChild<QSlider*>();
}
// The n-th input box of a widget, in creation order.
inline QInputBox* inputBox(QWidget* owner, int n) {
  return owner->findChildren<QInputBox*>().at(n);
}
// A user dragging the box's slider to a position, or pressing the up arrow in its spin box.
inline void dragSlider(QWidget* box, int position) {
  sliderOf(box)->setSliderPosition(position);
}
inline void stepUp(QWidget* box) {
  QTest::keyClick(box->findChild<QAbstractSpinBox*>(), Qt::Key_Up);
}
