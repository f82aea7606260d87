#pragma once

#include <QString>
#include <QWidget>

class DoubleSlider;
class QDoubleSpinBox;

// A real-valued control: label, slider, spin box and a second text in one row. A user change on
// either inner widget brings the other to the same value and announces valueChanged (possibly twice,
// once through each widget; listeners treat it as idempotent). Values set by the program are shown
// without any signal.
class DoubleSliderSpinBox : public QWidget {
  Q_OBJECT

public:
  // Both inner widgets start with the range 0 to 1 and the step 0.1.
  DoubleSliderSpinBox(const QString& label, const QString& suffix, QWidget* parent);

  // Each applies to the slider and then the spin box, with their signals blocked.
  void setMinimum(double minimum);
  void setMaximum(double maximum);
  void setSingleStep(double step);
  double getValue() const; // the slider's real value

signals:
  void valueChanged(double value);

public slots:
  void setValue(double value); // emits nothing

private:
  DoubleSlider* _slider;
  QDoubleSpinBox* _spinBox;
};
