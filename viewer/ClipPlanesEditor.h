#pragma once

#include "viewer/ClipPlaneGL.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;

// The pose panel's clipping controls, under a "Clipping" button that shows and hides them so that the
// panel stays short: the plane shown ("Plane 1" to "Plane 3"), a check box that turns it on, its
// offset and its normal (x, y, z). Every user change announces all the planes.
class ClipPlanesEditor : public QWidget {
  Q_OBJECT

public:
  explicit ClipPlanesEditor(QWidget* parent = nullptr);
  void setPlanes(const ClipPlanesGL& planes); // shown, not announced

signals:
  void planesChanged(const ClipPlanesGL& planes);

private:
  void showPlane(int index); // the controls show that plane, silently
  void takeControls();       // the controls' values become the shown plane's, then announced

  ClipPlanesGL _planes;
  QComboBox* _plane;
  QCheckBox* _enabled;
  std::array<QDoubleSpinBox*, 3> _normal;
  QDoubleSpinBox* _offset;
};
