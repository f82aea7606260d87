#pragma once

#include "imaging/DisplayRange.h"

#include <QWidget>

class QDoubleSpinBox;
class QPushButton;

// "Display range": the values shown black ("Min") and white ("Max") for voxel matrices and 16-bit
// images, and "Auto", which asks for each one's own range. A user change announces rangeChanged
// once; a range set by the program is shown without any signal.
class DisplayRangeBox : public QWidget {
  Q_OBJECT

public:
  explicit DisplayRangeBox(QWidget* parent = nullptr);

  DisplayRange getRange() const;
  void setRange(const DisplayRange& range);

signals:
  void rangeChanged(const DisplayRange& range);
  void automaticRequested();

private:
  QDoubleSpinBox* _minimumBox;
  QDoubleSpinBox* _maximumBox;
  QPushButton* _automaticButton;
};
