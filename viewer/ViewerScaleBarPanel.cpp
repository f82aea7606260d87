#include "viewer/ViewerScaleBarPanel.h"

#include "viewer/QInputBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

ViewerScaleBarPanel::ViewerScaleBarPanel(QWidget* parent) : QFrame(parent), _scaling(3) {
  _scaling.fill(1.0f);
  auto* group = new QGroupBox("Scale bar", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  auto* grid = new QGridLayout(group);
  _shown = new QCheckBox("Show scale bar", group);
  grid->addWidget(_shown, 0, 0);
  const char* const originLabels[] = {"X", "Y", "Z"};
  const char* const sizeLabels[] = {"Width ", "Height", "Depth "};
  for (int i = 0; i < 3; ++i) {
    _origin[i] = new QInputBox(originLabels[i], group, 0, 10, "");
    _size[i] = new QInputBox(sizeLabels[i], group, 0, 10, "");
    grid->addWidget(_origin[i], 1 + i, 0);
    grid->addWidget(_size[i], 4 + i, 0);
  }

  connect(_shown, &QCheckBox::toggled, this, &ViewerScaleBarPanel::scaleBarToggled);
  for (QInputBox* box : {_origin[0], _origin[1], _origin[2], _size[0], _size[1], _size[2]}) {
    connect(_shown, &QCheckBox::toggled, box, &QWidget::setEnabled);
    connect(box, &QInputBox::valueChanged, this, &ViewerScaleBarPanel::valueChange);
  }
  _shown->setChecked(false);
}

void ViewerScaleBarPanel::setBoundingBox(const BoundingBox<float>& box) {
  // A box of another dimension than the scaling (shapes in the plane) cannot place the bar either.
  if (!box.isValid() || box.getDimension() != _scaling.getSize()) {
    setEnabled(false);
    return;
  }
  const BoundingBox<float> data(box.getVertex1() / _scaling, box.getVertex2() / _scaling);
  for (int i = 0; i < 3; ++i) {
    _origin[i]->setMinimum(static_cast<int>(data.min(i)));
    _origin[i]->setMaximum(static_cast<int>(data.max(i)));
    _size[i]->setMaximum(static_cast<int>(data.width(i)));
  }
  setEnabled(true);
}

void ViewerScaleBarPanel::valueChange() {
  Vector<float> origin(3), far(3);
  for (int i = 0; i < 3; ++i) {
    const float o = static_cast<float>(_origin[i]->getValue());
    origin[i] = o * _scaling[i];
    far[i] = (o + static_cast<float>(_size[i]->getValue())) * _scaling[i];
  }
  emit scaleBarChanged(BoundingBox<float>(origin, far));
}
