#pragma once

#include "application/SceneItem.h"
#include "foundation/Vector.h"
#include "rendering/ShapePainterAttributesGL.h"

#include <QFrame>
#include <QString>

#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QDoubleSpinBox;
class QSpinBox;
class Scene;

// Shows the display attributes that the selected shapes have in common and reports what the user
// changes, offering only what applies to every selected kind (display modes, caps, smoothing). An
// undefined attribute is shown blank: no display mode, the empty vertex symbol, a spin box at -1
// (shown as " ") or a partially checked box. In immediate mode every change is reported at once; otherwise
// the changes wait for "Apply", and "Cancel" shows the last applied or given set again.
class ShapeViewerAttributesEditor : public QFrame {
  Q_OBJECT

public:
  explicit ShapeViewerAttributesEditor(QWidget* parent = nullptr); // disabled, every box partial

  // From then on the editor shows what the scene's selected items have in common (enabled only while
  // something is selected, saying when a selected mesh is drawn in its own vertex colours), and
  // applies the user's changes to the selection through the scene.
  void setScene(Scene& scene);

  // Shows the set without reporting a change and keeps a copy for Cancel.
  void setAttributes(const ShapePainterAttributesGL& attributes);
  // Only what the controls show as set: the other attributes are undefined, so that updating a
  // painter's attributes with the result leaves those as they were.
  ShapePainterAttributesGL getAttributes() const;
  void clear(); // shows an all-undefined set

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
  void showSelection();
  void offerWhatApplies(const std::vector<ItemId>& selection);
  void showSelectionLater(); // once, after the items being added in a row are in
  void applyToSelection();

  Scene* _scene = nullptr;
  bool _applying = false;    // the scene's change comes from this editor, which shows it already
  bool _showPending = false; // showSelectionLater() waits for the event loop
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
  QLabel* _ownColorsNote; // shown while a selected mesh is drawn in its vertex colours
  QCheckBox* _beginCap;
  QCheckBox* _endCap;
  QCheckBox* _visible;
  QPushButton* _apply;
  QPushButton* _cancel;
  QLayout* _buttonRow;
};
