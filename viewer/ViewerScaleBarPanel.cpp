#include "viewer/ViewerScaleBarPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QStringList>
#include <QVBoxLayout>

namespace {

QDoubleSpinBox* lengthBox(QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setDecimals(3);
  box->setRange(0, 10);
  return box;
}

} // namespace

ViewerScaleBarPanel::ViewerScaleBarPanel(QWidget* parent)
    : QFrame(parent), _unit(new QComboBox(this)), _scaling(std::vector<float>(3, 1.0f)) {
  auto* group = new QGroupBox("Scale bar", this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  auto* grid = new QGridLayout(group);
  _shown = new QCheckBox("Show scale bar", group);
  grid->addWidget(_shown, 0, 0, 1, 2);
  const char* const originLabels[] = {"X", "Y", "Z"};
  const char* const sizeLabels[] = {"Width", "Height", "Depth"};
  for (int i = 0; i < 3; ++i) {
    _origin[i] = lengthBox(group);
    _size[i] = lengthBox(group);
    grid->addWidget(new QLabel(originLabels[i], group), 1 + i, 0);
    grid->addWidget(_origin[i], 1 + i, 1);
    grid->addWidget(new QLabel(sizeLabels[i], group), 4 + i, 0);
    grid->addWidget(_size[i], 4 + i, 1);
  }
  // The unit of the files' coordinates, which the program cannot know: the user says it.
  _unit->setEditable(true);
  _unit->addItems({"µm", "nm", "mm", "pixels", ""});
  grid->addWidget(new QLabel("Unit", group), 7, 0);
  grid->addWidget(_unit, 7, 1);

  connect(_shown, &QCheckBox::toggled, this, &ViewerScaleBarPanel::scaleBarToggled);
  connect(_shown, &QCheckBox::toggled, this, &ViewerScaleBarPanel::valueChange);
  for (QDoubleSpinBox* box : {_origin[0], _origin[1], _origin[2], _size[0], _size[1], _size[2]}) {
    connect(_shown, &QCheckBox::toggled, box, &QWidget::setEnabled);
    connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this, &ViewerScaleBarPanel::valueChange);
    box->setEnabled(false);
  }
  connect(_unit, &QComboBox::currentTextChanged, this, &ViewerScaleBarPanel::valueChange);
}

void ViewerScaleBarPanel::setBoundingBox(const BoundingBox<float>& box) {
  // A box of another dimension than the scaling (shapes in the plane) cannot place the bar either.
  if (!box.isValid() || box.getDimension() != _scaling.getSize()) {
    setEnabled(false);
    return;
  }
  const BoundingBox<float> data(box.getVertex1() / _scaling, box.getVertex2() / _scaling);
  for (int i = 0; i < 3; ++i) {
    _origin[i]->setRange(data.min(i), data.max(i));
    _size[i]->setMaximum(data.width(i));
  }
  setEnabled(true);
}

QString ViewerScaleBarPanel::caption() const {
  QStringList sizes;
  for (const QDoubleSpinBox* size : _size)
    if (size->value() > 0) sizes << QString::number(size->value(), 'g', 6);
  if (sizes.isEmpty()) return QString();
  return (sizes.join(" × ") + " " + _unit->currentText()).trimmed();
}

void ViewerScaleBarPanel::setScaleBar(const BoundingBox<float>& box, bool shown, const QString& caption) {
  const QSignalBlocker silent(this);
  _shown->setChecked(shown);
  _unit->setCurrentText(caption.section(' ', -1));
  if (!box.isValid() || box.getDimension() != 3) return;
  for (int i = 0; i < 3; ++i) {
    _origin[i]->setValue(box.min(i) / _scaling[i]);
    _size[i]->setValue(box.width(i) / _scaling[i]);
  }
}

void ViewerScaleBarPanel::valueChange() {
  Vector<float> origin(3), far(3);
  for (int i = 0; i < 3; ++i) {
    const float o = static_cast<float>(_origin[i]->value());
    origin[i] = o * _scaling[i];
    far[i] = (o + static_cast<float>(_size[i]->value())) * _scaling[i];
  }
  emit scaleBarChanged(BoundingBox<float>(origin, far));
  emit captionChanged(caption());
}
