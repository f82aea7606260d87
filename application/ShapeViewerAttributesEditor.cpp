#include "application/ShapeViewerAttributesEditor.h"

#include "application/Scene.h"
#include "geometry/ShapeType.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// Entry texts of the two combo boxes, by code.
const char* const displayModeNames[] = {"", "Symbol", "Curve", "Symbol+Curve", "Mesh", "Surface"};
const char* const vertexSymbolNames[] = {"", "Dot", "Sphere", "Cube", "Tetrahedron", "Diamond"};
constexpr int numNames = 6;

QString nameOf(const char* const names[], int code) {
  return code > 0 && code < numNames ? QString(names[code]) : QString();
}

int codeOf(const char* const names[], const QString& text) {
  for (int code = 1; code < numNames; ++code)
    if (text == names[code]) return code;
  return 0;
}

// The entries with codes from `first` on.
QComboBox* comboBox(const char* const names[], int first, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(false);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon); // no wider than the column
  box->setMinimumContentsLength(8);
  for (int code = first; code < numNames; ++code) box->addItem(names[code]);
  return box;
}

// What the editor offers for the shapes of a kind: the display modes their painters draw (a bit per
// code), caps (quad meshes) and smoothing (triangle meshes).
struct Offer {
  unsigned displayModes;
  bool caps;
  bool smoothing;
};

Offer offerFor(ShapeType kind) {
  const unsigned symbol = 1u << DISPLAY_MODE_SYMBOL;
  const unsigned curves = symbol | 1u << DISPLAY_MODE_CURVE | 1u << DISPLAY_MODE_SYMBOL_CURVE;
  const unsigned meshes = 1u << DISPLAY_MODE_MESH | 1u << DISPLAY_MODE_SURFACE;
  switch (kind) {
  case ShapeType::ClosedQuadMesh:
  case ShapeType::OpenQuadMesh:
    return {curves | meshes, true, false};
  case ShapeType::TriMesh:
    return {symbol | meshes, false, true};
  case ShapeType::Vertices:
  case ShapeType::VertexStack:
    return {symbol, false, false};
  default: // curves and curve stacks
    return {curves, false, false};
  }
}

// -1 stands for an undefined attribute and is shown as one blank.
QSpinBox* spinBox(int maximum, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(-1, maximum);
  box->setSpecialValueText(" ");
  return box;
}

// The same for a size that takes fractions (-1 undefined, shown as one blank).
QDoubleSpinBox* sizeBox(double maximum, QWidget* parent) {
  auto* box = new QDoubleSpinBox(parent);
  box->setRange(-1, maximum);
  box->setDecimals(2);
  box->setSpecialValueText(" ");
  return box;
}

// No text beside the box: its row's label names it, and its state alone says on or off.
QCheckBox* flagBox(QWidget* parent) {
  auto* box = new QCheckBox(parent);
  box->setTristate(true);
  box->setCheckState(Qt::PartiallyChecked);
  return box;
}

void showFloat(QSpinBox* box, bool defined, float value) {
  box->setValue(defined ? static_cast<int>(value) : -1);
}

void showFloat(QDoubleSpinBox* box, bool defined, float value) {
  box->setValue(defined ? value : -1);
}

void showFlag(QCheckBox* box, bool defined, bool value) {
  box->setCheckState(!defined ? Qt::PartiallyChecked : value ? Qt::Checked : Qt::Unchecked);
}

} // namespace

ShapeViewerAttributesEditor::ShapeViewerAttributesEditor(QWidget* parent) : QFrame(parent) {
  auto* controls = new QFrame(this);
  _displayMode = comboBox(displayModeNames, 1, controls); // no blank mode to choose
  _vertexSymbol = comboBox(vertexSymbolNames, 0, controls);
  _symbolSize = sizeBox(1000, controls);
  _lineWidth = spinBox(100, controls);
  _opacity = spinBox(255, controls);
  _shininess = spinBox(128, controls);
  _verticesSmoothing = spinBox(25, controls);
  _normalsSmoothing = spinBox(25, controls);
  _colorButton = new QPushButton("Select...", controls);
  _ownColorsNote = new QLabel("Surface drawn in the mesh's own vertex colours", controls);
  _ownColorsNote->setObjectName("Own vertex colours");
  _ownColorsNote->setWordWrap(true);
  _ownColorsNote->hide();
  _beginCap = flagBox(controls);
  _endCap = flagBox(controls);
  _visible = flagBox(controls);

  auto* grid = new QGridLayout(controls);
  grid->setSpacing(5);
  grid->setContentsMargins(5, 5, 5, 5);
  const std::pair<const char*, QWidget*> rows[] = {{"Display mode", _displayMode},
                                                   {"Vertex symbol", _vertexSymbol},
                                                   {"Symbol size", _symbolSize},
                                                   {"Line width", _lineWidth},
                                                   {"Opacity", _opacity},
                                                   {"Shininess", _shininess},
                                                   {"V-Smoothing", _verticesSmoothing},
                                                   {"N-Smoothing", _normalsSmoothing},
                                                   {"Color", _colorButton},
                                                   {"Begin cap", _beginCap},
                                                   {"End cap", _endCap},
                                                   {"Visible", _visible}};
  int at = 0;
  for (const auto& row : rows) {
    row.second->setObjectName(row.first); // the control can be found by its label
    grid->addWidget(new QLabel(row.first, controls), at, 0);
    grid->addWidget(row.second, at++, 1);
    if (row.second == _colorButton) grid->addWidget(_ownColorsNote, at++, 0, 1, 2);
  }

  _apply = new QPushButton("Apply", this);
  _cancel = new QPushButton("Cancel", this);
  auto* buttonRow = new QHBoxLayout();
  buttonRow->setContentsMargins(5, 5, 5, 5);
  buttonRow->setSpacing(5);
  buttonRow->addStretch();
  buttonRow->addWidget(_apply);
  buttonRow->addWidget(_cancel);
  buttonRow->addStretch();
  _buttonRow = buttonRow;

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(5, 5, 5, 5);
  outer->setSpacing(5);
  outer->addWidget(controls);
  outer->addLayout(buttonRow);
  outer->setSizeConstraint(QLayout::SetFixedSize); // the size follows the hint, Apply and Cancel shown or not

  for (QComboBox* box : {_displayMode, _vertexSymbol})
    connect(box, qOverload<int>(&QComboBox::activated), this, &ShapeViewerAttributesEditor::attributeChange);
  connect(_symbolSize, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
          &ShapeViewerAttributesEditor::attributeChange);
  for (QSpinBox* box : {_lineWidth, _opacity, _shininess, _verticesSmoothing, _normalsSmoothing})
    connect(box, qOverload<int>(&QSpinBox::valueChanged), this,
            &ShapeViewerAttributesEditor::attributeChange);
  for (QCheckBox* box : {_beginCap, _endCap, _visible})
    connect(box, &QCheckBox::stateChanged, this, &ShapeViewerAttributesEditor::attributeChange);
  connect(_apply, &QPushButton::clicked, this, &ShapeViewerAttributesEditor::applyUserChanges);
  connect(_cancel, &QPushButton::clicked, this, &ShapeViewerAttributesEditor::cancelUserChanges);
  connect(_colorButton, &QPushButton::clicked, this, &ShapeViewerAttributesEditor::runColorSelection);
  setEnabled(false);
}

void ShapeViewerAttributesEditor::setScene(Scene& scene) {
  _scene = &scene;
  connect(&scene, &Scene::selectionChanged, this, &ShapeViewerAttributesEditor::showSelection);
  connect(&scene, &Scene::removed, this, &ShapeViewerAttributesEditor::showSelection);
  connect(&scene, &Scene::added, this, &ShapeViewerAttributesEditor::showSelectionLater);
  connect(&scene, &Scene::changed, this, [this] {
    if (!_applying) showSelection();
  });
  connect(this, &ShapeViewerAttributesEditor::attributesChanged, this,
          &ShapeViewerAttributesEditor::applyToSelection);
  showSelection();
}

void ShapeViewerAttributesEditor::offerWhatApplies(const std::vector<ItemId>& selection) {
  Offer offer = {~0u, true, true};
  for (ItemId id : selection) {
    const Offer kind = offerFor(_scene->at(_scene->rowOf(id)).kind());
    offer = {offer.displayModes & kind.displayModes, offer.caps && kind.caps,
             offer.smoothing && kind.smoothing};
  }
  const QSignalBlocker blocker(_displayMode);
  _displayMode->clear();
  for (int code = 1; code < numNames; ++code)
    if (offer.displayModes & 1u << code) _displayMode->addItem(displayModeNames[code]);
  for (QWidget* control : {static_cast<QWidget*>(_beginCap), static_cast<QWidget*>(_endCap)})
    control->setEnabled(offer.caps);
  for (QWidget* control : {_verticesSmoothing, _normalsSmoothing}) control->setEnabled(offer.smoothing);
}

void ShapeViewerAttributesEditor::showSelection() {
  _showPending = false;
  const std::vector<ItemId> selection = _scene->selection();
  offerWhatApplies(selection);
  setAttributes(_scene->commonAttributes(selection));
  setEnabled(!selection.empty());
  bool ownColors = false;
  for (int row = 0; row < _scene->size() && !ownColors; ++row)
    ownColors = _scene->at(row).isSelected() && _scene->at(row).drawsOwnVertexColors();
  _ownColorsNote->setVisible(ownColors);
}

void ShapeViewerAttributesEditor::showSelectionLater() {
  if (_showPending) return;
  _showPending = true;
  QMetaObject::invokeMethod(this, &ShapeViewerAttributesEditor::showSelection, Qt::QueuedConnection);
}

void ShapeViewerAttributesEditor::applyToSelection() {
  _applying = true;
  _scene->apply(_scene->selection(), getAttributes());
  _applying = false;
}

void ShapeViewerAttributesEditor::setAttributes(const ShapePainterAttributesGL& a) {
  const QSignalBlocker blocker(this); // the controls still signal, but attributesChanged stays silent
  // No entry (-1) for an undefined mode or one not offered.
  _displayMode->setCurrentIndex(
      _displayMode->findText(displayModeString(a.useDisplayMode() ? a.getDisplayMode() : DISPLAY_MODE_NONE)));
  selectVertexSymbol(a.useVertexSymbol() ? a.getVertexSymbol() : VERTEX_SYMBOL_NONE);
  showFloat(_symbolSize, a.useSymbolSize(), a.useSymbolSize() ? a.getSymbolSize() : 0);
  showFloat(_lineWidth, a.useLineWidth(), a.useLineWidth() ? a.getLineWidth() : 0);
  showFloat(_opacity, a.useOpacity(), a.useOpacity() ? a.getOpacity() : 0);
  showFloat(_shininess, a.useShininess(), a.useShininess() ? a.getShininess() : 0);
  _verticesSmoothing->setValue(a.useVerticesSmoothing() ? a.getVerticesSmoothing() : -1);
  _normalsSmoothing->setValue(a.useNormalsSmoothing() ? a.getNormalsSmoothing() : -1);
  if (a.useColor())
    _color = a.getColor();
  else
    _color.reset();
  showFlag(_beginCap, a.hasBeginCapFlag(), a.hasBeginCapFlag() && a.getBeginCapFlag());
  showFlag(_endCap, a.hasEndCapFlag(), a.hasEndCapFlag() && a.getEndCapFlag());
  showFlag(_visible, a.useVisibility(), a.useVisibility() && a.getVisibility());
  _attributes = a;
}

ShapePainterAttributesGL ShapeViewerAttributesEditor::getAttributes() const {
  ShapePainterAttributesGL a;
  a.clear();
  if (const VertexSymbolGL symbol = vertexSymbolCode(_vertexSymbol->currentText())) a.setVertexSymbol(symbol);
  if (const DisplayModeGL mode = displayModeCode(_displayMode->currentText())) a.setDisplayMode(mode);
  if (_symbolSize->value() >= 0) a.setSymbolSize(static_cast<float>(_symbolSize->value()));
  if (_lineWidth->value() >= 0) a.setLineWidth(static_cast<float>(_lineWidth->value()));
  if (_opacity->value() >= 0) a.setOpacity(static_cast<float>(_opacity->value()));
  if (_shininess->value() >= 0) a.setShininess(static_cast<float>(_shininess->value()));
  if (_verticesSmoothing->value() >= 0) a.setVerticesSmoothing(_verticesSmoothing->value());
  if (_normalsSmoothing->value() >= 0) a.setNormalsSmoothing(_normalsSmoothing->value());
  if (_color) a.setColor(*_color);
  if (_beginCap->checkState() != Qt::PartiallyChecked) a.setBeginCapFlag(_beginCap->isChecked());
  if (_endCap->checkState() != Qt::PartiallyChecked) a.setEndCapFlag(_endCap->isChecked());
  if (_visible->checkState() != Qt::PartiallyChecked) a.setVisibility(_visible->isChecked());
  return a;
}

void ShapeViewerAttributesEditor::clear() {
  ShapePainterAttributesGL undefined;
  undefined.clear();
  setAttributes(undefined);
}

void ShapeViewerAttributesEditor::setImmediate(bool immediate) {
  if (immediate == _immediate) return;
  _immediate = immediate;
  _apply->setVisible(!immediate);
  _cancel->setVisible(!immediate);
  _buttonRow->setEnabled(!immediate);
}

QString ShapeViewerAttributesEditor::displayModeString(DisplayModeGL mode) const {
  return nameOf(displayModeNames, mode);
}

QString ShapeViewerAttributesEditor::vertexSymbolString(VertexSymbolGL symbol) const {
  return nameOf(vertexSymbolNames, symbol);
}

DisplayModeGL ShapeViewerAttributesEditor::displayModeCode(const QString& text) const {
  return static_cast<DisplayModeGL>(codeOf(displayModeNames, text));
}

VertexSymbolGL ShapeViewerAttributesEditor::vertexSymbolCode(const QString& text) const {
  return static_cast<VertexSymbolGL>(codeOf(vertexSymbolNames, text));
}

void ShapeViewerAttributesEditor::selectDisplayMode(DisplayModeGL mode) {
  const int entry = _displayMode->findText(displayModeString(mode), Qt::MatchExactly);
  if (entry >= 0) _displayMode->setCurrentIndex(entry);
}

void ShapeViewerAttributesEditor::selectVertexSymbol(VertexSymbolGL symbol) {
  const int entry = _vertexSymbol->findText(vertexSymbolString(symbol), Qt::MatchExactly);
  if (entry >= 0) _vertexSymbol->setCurrentIndex(entry);
}

void ShapeViewerAttributesEditor::attributeChange() {
  if (_immediate) emit attributesChanged();
}

void ShapeViewerAttributesEditor::applyUserChanges() {
  _attributes = getAttributes();
  emit attributesChanged();
}

void ShapeViewerAttributesEditor::cancelUserChanges() {
  setAttributes(_attributes);
}

void ShapeViewerAttributesEditor::runColorSelection() {
  const QColor initial = _color ? QColor((*_color)[0], (*_color)[1], (*_color)[2]) : QColor();
  const QColor chosen = QColorDialog::getColor(initial, this, "");
  if (!chosen.isValid()) return;
  _color = Vector<int>(std::vector<int>{chosen.red(), chosen.green(), chosen.blue()});
  if (_immediate) emit attributesChanged();
}
