#pragma once

#include "foundation/Vector.h"
#include "rendering/ShapePainterAttributesGL.h"

#include <QFrame>
#include <QString>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QDoubleSpinBox;
class QSpinBox;

// Shows the display attributes that the selected shapes have in common and reports what the user
// changes. An undefined attribute is shown blank: the empty combo entry, a spin box at -1 (shown as
// " ") or a partially checked box. In immediate mode every change is reported at once; otherwise the
// changes wait for "Apply", and "Cancel" shows the last applied or given set again.
class ShapeViewerAttributesEditor : public QFrame {
  Q_OBJECT

public:
  explicit ShapeViewerAttributesEditor(QWidget* parent = nullptr); // disabled, every box partial

  // Shows the set without reporting a change and keeps a copy for Cancel.
  void setAttributes(const ShapePainterAttributesGL& attributes);
  // Only what the controls show as set: the other attributes are undefined, so that updating a
  // painter's attributes with the result leaves those as they were.
  ShapePainterAttributesGL getAttributes() const;
  void clear(); // shows an all-undefined set

  // Says under the controls that a selected mesh is drawn in its own vertex colours, which the colour
  // chosen here does not change.
  void showVertexColorsNote(bool shown);

  void setImmediate(bool immediate); // hides Apply and Cancel while on
  bool isImmediate() const { return _immediate; }

  // Entry texts of the two combo boxes; 0 and unknown codes give the empty text, unknown texts 0.
  QString displayModeString(DisplayModeGL mode) const;
  QString vertexSymbolString(VertexSymbolGL symbol) const;
  DisplayModeGL displayModeCode(const QString& text) const;
  VertexSymbolGL vertexSymbolCode(const QString& text) const;
  // Select the first entry with the code's text; without one the selection stays.
  void selectDisplayMode(DisplayModeGL mode);
  void selectVertexSymbol(VertexSymbolGL symbol);

signals:
  void attributesChanged();

public slots:
  void attributeChange(); // a control changed: reported in immediate mode only
  void applyUserChanges();
  void cancelUserChanges();
  void runColorSelection(); // the colour dialog; a chosen colour is held (and reported if immediate)

private:
  ShapePainterAttributesGL _attributes;
  std::optional<Vector<int>> _color;
  bool _immediate = false;

  QComboBox* _displayMode;
  QComboBox* _vertexSymbol;
  QDoubleSpinBox* _symbolSize; // takes fractions
  QSpinBox* _lineWidth;
  QSpinBox* _opacity;
  QSpinBox* _shininess;
  QSpinBox* _verticesSmoothing;
  QSpinBox* _normalsSmoothing;
  QPushButton* _colorButton;
  QCheckBox* _beginCap;
  QCheckBox* _endCap;
  QCheckBox* _visible;
  QLabel* _vertexColorsNote;
  QPushButton* _apply;
  QPushButton* _cancel;
  QLayout* _buttonRow;
};
