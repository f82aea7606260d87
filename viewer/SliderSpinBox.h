#pragma once

#include <QString>
#include <QWidget>

class QSlider;
class QSpinBox;

// An integer control: label, slider, spin box and suffix in one row. A user change on the slider or
// the spin box announces valueChanged once and brings the other one to the same value; values set
// by the program are shown without any signal.
class SliderSpinBox : public QWidget {
  Q_OBJECT

public:
  // Both inner widgets get the range, step 1 and the value 0 taken into the range.
  SliderSpinBox(const QString& label, QWidget* parent, int minimum, int maximum, const QString& suffix);

  int getValue() const; // the slider's value

signals:
  void valueChanged(int value);

public slots:
  // Each applies to the slider and then the spin box, with their signals blocked.
  void setMinimum(int minimum);
  void setMaximum(int maximum);
  void setValue(int value);

private:
  QSlider* _slider;
  QSpinBox* _spinBox;
};
