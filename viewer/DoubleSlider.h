#pragma once

#include <QSlider>

// A slider over real values: integer position i stands for i x singleStep + minimum. The integer
// minimum is 0 and the integer step 1; the integer maximum and page step follow the real bounds
// and steps. Every position change, by the user or by setValue(double), announces
// valueChanged(double) unless signals are blocked.
class DoubleSlider : public QSlider {
  Q_OBJECT

public:
  explicit DoubleSlider(QWidget* parent = nullptr);

  // Each stores its value and recomputes the integer maximum and page step.
  void setMinimum(double minimum);
  void setMaximum(double maximum);
  void setSingleStep(double step);
  void setPageStep(double step);
  double minimum() const { return _minimum; }
  double maximum() const { return _maximum; }
  double singleStep() const { return _singleStep; }
  double pageStep() const { return _pageStep; }

  double value() const;                // the real value of the current position
  int convertValue(float value) const; // nearest position of a real value, unclamped
  void updateProperties();             // integer maximum and page step from the real ones

signals:
  void valueChanged(double value);

public slots:
  void sliderChange();         // announces the real value of the current position
  void setValue(double value); // nearest position, clamped to the ends

protected:
  using QSlider::sliderChange; // the base class's notification stays visible beside the slot

private:
  float _minimum = 0.0f;
  float _maximum = 1.0f;
  float _pageStep = 0.1f;
  float _singleStep = 0.05f;
};
