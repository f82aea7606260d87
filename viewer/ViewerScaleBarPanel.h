#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"

#include <QFrame>

class QCheckBox;
class QInputBox;

// Side panel that places the scale bar: a box of chosen origin and size in data units, announced
// in scene units (data units times the scaling of the loaded shapes).
class ViewerScaleBarPanel : public QFrame {
  Q_OBJECT

public:
  explicit ViewerScaleBarPanel(QWidget* parent = nullptr);

  // Size of one data unit in scene units along x, y and z; changes no control, announces nothing.
  void setScaling(const Vector<float>& scaling) { _scaling = scaling; }

signals:
  void scaleBarToggled(const bool shown);
  void scaleBarChanged(const BoundingBox<float>& box); // in scene units

public slots:
  // The scene box bounds the origin and the size (in data units, truncated to integers); an invalid
  // box disables the panel.
  void setBoundingBox(const BoundingBox<float>& box);
  void valueChange(); // announces the box of the six controls

private:
  QCheckBox* _shown;
  QInputBox* _origin[3]; // "X", "Y", "Z"
  QInputBox* _size[3];   // "Width ", "Height", "Depth "
  Vector<float> _scaling;
};
