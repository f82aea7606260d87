#pragma once

#include "foundation/Vector.h"
#include "geometry/BoundingBox.h"

#include <QFrame>
#include <QString>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;

// Side panel that places the scale bar: a box of chosen origin and size in data units (fractions
// allowed), announced in scene units (data units times the scaling of the loaded shapes), with a
// caption that gives its size in the chosen unit ("10 µm").
class ViewerScaleBarPanel : public QFrame {
  Q_OBJECT

public:
  explicit ViewerScaleBarPanel(QWidget* parent = nullptr);

  // Size of one data unit in scene units along x, y and z; changes no control, announces nothing.
  void setScaling(const Vector<float>& scaling) { _scaling = scaling; }
  // The sizes that are not 0 joined by " × ", then the unit: "10 × 2.5 µm"; empty for no size.
  QString caption() const;

signals:
  void scaleBarToggled(const bool shown);
  void scaleBarChanged(const BoundingBox<float>& box); // in scene units
  void captionChanged(const QString& caption);

public slots:
  // The scene box bounds the origin and the size (in data units); an invalid box disables the panel.
  void setBoundingBox(const BoundingBox<float>& box);
  void valueChange(); // announces the box of the six controls and its caption
  // Shows a bar (in scene units) and the unit that ends its caption, without announcing them.
  void setScaleBar(const BoundingBox<float>& box, bool shown, const QString& caption);

private:
  QCheckBox* _shown;
  QDoubleSpinBox* _origin[3]; // "X", "Y", "Z"
  QDoubleSpinBox* _size[3];   // "Width", "Height", "Depth"
  QComboBox* _unit;
  Vector<float> _scaling;
};
