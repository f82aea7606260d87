#pragma once

#include "application/ParameterData.h"

#include <QString>
#include <QWidget>

#include <map>
#include <string>

class QComboBox;
class DoubleSliderSpinBox;

// The "Parametric maps" box: the variable whose values colour the meshes, the colour map and the
// value range mapped onto it. Choosing the empty entry removes the maps; the colour map and range
// controls are disabled while no variable is chosen.
class ParameterPanel : public QWidget {
  Q_OBJECT

public:
  explicit ParameterPanel(QWidget* parent = nullptr);

  // Replaces the variables offered (an empty entry first, then the names in the table's order) and
  // keeps the table for the ranges of the variables chosen later; each keeps the colour map chosen
  // for it. When the range of the chosen variable changed, its whole new range is shown and announced.
  void updateParameters(const std::map<std::string, ParameterData>& parameters);

  // Shows the map (its variable must be offered; no name for none) and announces it as given.
  void choose(const ParameterData& parameterData);

signals:
  void parameterDataChanged(const ParameterData& parameterData);

public slots:
  // A variable chosen: its colour map and its whole range are shown and announced.
  void processParameterChange(const QString& name);
  // The colour map or an end of the range changed: the chosen variable is announced with them.
  void processValueChange();

private:
  void enableMapControls(bool enabled);

  QComboBox* _parameterCombo;
  QComboBox* _colormapCombo;
  DoubleSliderSpinBox* _minimumBox;
  DoubleSliderSpinBox* _maximumBox;
  std::map<std::string, ParameterData> _parameters;
};
