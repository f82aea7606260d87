#include "viewer/DisplayRangeBox.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include <limits>

namespace {

QDoubleSpinBox* valueBox(QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  // Voxel values may be any float: the box takes what a 32-bit float holds, to two decimals.
  box->setRange(-std::numeric_limits<float>::max(), std::numeric_limits<float>::max());
  box->setDecimals(2);
  box->setKeyboardTracking(false); // one change per value typed, not per digit
  // The widest value would make the box as wide as the window: it takes the width the row leaves.
  box->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  box->setMinimumWidth(60);
  return box;
}

} // namespace

DisplayRangeBox::DisplayRangeBox(QWidget* parent)
    : QWidget(parent), _minimumBox(valueBox(this)), _maximumBox(valueBox(this)),
      _automaticButton(new QPushButton("Auto", this)) {
  // Two rows, so that the box is no wider than the other panels of the window's side column.
  auto* layout = new QGridLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(new QLabel("Display range", this), 0, 0, 1, 3);
  layout->addWidget(_automaticButton, 0, 3);
  layout->addWidget(new QLabel("Min", this), 1, 0);
  layout->addWidget(_minimumBox, 1, 1);
  layout->addWidget(new QLabel("Max", this), 1, 2);
  layout->addWidget(_maximumBox, 1, 3);
  setRange(DisplayRange());
  const auto announce = [this] { emit rangeChanged(getRange()); };
  connect(_minimumBox, qOverload<double>(&QDoubleSpinBox::valueChanged), this, announce);
  connect(_maximumBox, qOverload<double>(&QDoubleSpinBox::valueChanged), this, announce);
  connect(_automaticButton, &QPushButton::clicked, this, &DisplayRangeBox::automaticRequested);
}

DisplayRange DisplayRangeBox::getRange() const {
  return DisplayRange(_minimumBox->value(), _maximumBox->value());
}

void DisplayRangeBox::setRange(const DisplayRange& range) {
  const QSignalBlocker minimumBlocker(_minimumBox);
  const QSignalBlocker maximumBlocker(_maximumBox);
  _minimumBox->setValue(range.getMinimum());
  _maximumBox->setValue(range.getMaximum());
}
