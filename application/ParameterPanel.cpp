#include "application/ParameterPanel.h"

#include "viewer/DoubleSliderSpinBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

ParameterPanel::ParameterPanel(QWidget* parent)
    : QWidget(parent), _parameterCombo(new QComboBox(this)), _colormapCombo(new QComboBox(this)),
      _minimumBox(new DoubleSliderSpinBox("Minimum", "", this)),
      _maximumBox(new DoubleSliderSpinBox("Maximum", "", this)) {
  auto* group = new QGroupBox("Parametric maps", this);
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel("Parameter", group), 0, 0);
  grid->addWidget(_parameterCombo, 0, 1);
  grid->addWidget(new QLabel("Colormap", group), 1, 0);
  grid->addWidget(_colormapCombo, 1, 1);
  grid->addWidget(_minimumBox, 2, 0, 1, 2);
  grid->addWidget(_maximumBox, 3, 0, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);

  for (const std::string& name : ParameterData::colormapNames())
    _colormapCombo->addItem(QString::fromStdString(name));
  _parameterCombo->addItem("");
  enableMapControls(false);

  connect(_parameterCombo, &QComboBox::currentTextChanged, this, &ParameterPanel::processParameterChange);
  connect(_colormapCombo, &QComboBox::currentTextChanged, this, &ParameterPanel::processValueChange);
  connect(_minimumBox, &DoubleSliderSpinBox::valueChanged, this, &ParameterPanel::processValueChange);
  connect(_maximumBox, &DoubleSliderSpinBox::valueChanged, this, &ParameterPanel::processValueChange);
}

void ParameterPanel::enableMapControls(bool enabled) {
  _colormapCombo->setEnabled(enabled);
  _minimumBox->setEnabled(enabled);
  _maximumBox->setEnabled(enabled);
}

void ParameterPanel::updateParameters(const std::map<std::string, ParameterData>& parameters) {
  // A variable keeps the colour map chosen for it.
  std::map<std::string, ParameterData> updated = parameters;
  for (auto& [name, entry] : updated)
    if (const auto old = _parameters.find(name); old != _parameters.end())
      entry.setColormapName(old->second.getColormapName());
  // The variable being shown stays chosen: refilling the list must not take the maps off the meshes.
  const QString chosen = _parameterCombo->currentText();
  const auto rangeOf = [&chosen](const std::map<std::string, ParameterData>& table) {
    const auto found = table.find(chosen.toStdString());
    return found == table.end() ? std::make_pair(std::optional<float>(), std::optional<float>())
                                : std::make_pair(found->second.getMinimum(), found->second.getMaximum());
  };
  const bool widened = !chosen.isEmpty() && rangeOf(updated) != rangeOf(_parameters);
  _parameters = std::move(updated);
  {
    const QSignalBlocker blocker(_parameterCombo);
    _parameterCombo->clear();
    _parameterCombo->addItem("");
    for (const auto& entry : _parameters) _parameterCombo->addItem(QString::fromUtf8(entry.first.c_str()));
    _parameterCombo->setCurrentText(chosen);
  }
  // Meshes loaded later widen the chosen variable's range: the map then spans all of them.
  if (widened) processParameterChange(chosen);
}

void ParameterPanel::choose(const ParameterData& parameterData) {
  {
    const QSignalBlocker silent(this); // the controls take their values without announcing them
    _parameterCombo->setCurrentText(QString::fromStdString(parameterData.getName()));
    _colormapCombo->setCurrentText(QString::fromStdString(parameterData.getColormapName()));
    if (parameterData.getMinimum()) _minimumBox->setValue(*parameterData.getMinimum());
    if (parameterData.getMaximum()) _maximumBox->setValue(*parameterData.getMaximum());
  }
  emit parameterDataChanged(parameterData);
}

void ParameterPanel::processParameterChange(const QString& name) {
  enableMapControls(!name.isEmpty());
  if (name.isEmpty()) {
    emit parameterDataChanged(ParameterData());
    return;
  }
  ParameterData& entry = _parameters[name.toStdString()];
  entry.setName(name.toStdString());
  const float minimum = entry.getMinimum().value_or(0.0f);
  const float maximum = entry.getMaximum().value_or(minimum);
  {
    const QSignalBlocker colormapBlocker(_colormapCombo);
    _colormapCombo->setCurrentText(QString::fromStdString(entry.getColormapName()));
    for (DoubleSliderSpinBox* box : {_minimumBox, _maximumBox}) {
      box->setMinimum(minimum);
      box->setMaximum(maximum);
      box->setSingleStep(maximum > minimum ? (maximum - minimum) / 100.0 : 0.1);
    }
    _minimumBox->setValue(minimum);
    _maximumBox->setValue(maximum);
  }
  emit parameterDataChanged(entry);
}

void ParameterPanel::processValueChange() {
  const QString name = _parameterCombo->currentText();
  if (name.isEmpty()) return;
  _parameters[name.toStdString()].setColormapName(_colormapCombo->currentText().toStdString());
  ParameterData parameterData;
  parameterData.setName(name.toStdString());
  parameterData.setColormapName(_colormapCombo->currentText().toStdString());
  parameterData.updateMinimum(static_cast<float>(_minimumBox->getValue()));
  parameterData.updateMaximum(static_cast<float>(_maximumBox->getValue()));
  emit parameterDataChanged(parameterData);
}
