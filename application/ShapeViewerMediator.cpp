#include "application/ShapeViewerMediator.h"

#include "application/ExtendedShapeViewerPainterGL.h"
#include "application/ParameterPanel.h"
#include "application/ShapePainterFactory.h"
#include "application/ShapeViewerAttributesEditor.h"
#include "application/ShapeViewerListBox.h"
#include "foundation/Trace.h"
#include "geometry/QuadMesh.h"
#include "geometry/Shape.h"
#include "geometry/TriMesh.h"
#include "viewer/DisplayRangeBox.h"
#include "viewer/QInputBox.h"
#include "viewer/ViewerCanvasGL.h"

#include <QInputDialog>
#include <QSettings>

#include <algorithm>

namespace {

const char* const colorCycleLengthKey = "color-cycle-length";

// The canvas's OpenGL context is current while it lives (textures of images and slices are made and
// given back in it).
class CanvasContext {
public:
  explicit CanvasContext(ViewerCanvasGL& canvas) : _canvas(canvas) { _canvas.makeCurrent(); }
  ~CanvasContext() { _canvas.doneCurrent(); }
  CanvasContext(const CanvasContext&) = delete;
  CanvasContext& operator=(const CanvasContext&) = delete;

private:
  ViewerCanvasGL& _canvas;
};

// A mesh drawn in its own vertex colours (from its colour companion or a parametric map).
bool hasVertexColors(const Shape<float>& shape) {
  if (const auto* mesh = dynamic_cast<const TriMesh<float>*>(&shape)) return mesh->hasVertexColors();
  if (const auto* mesh = dynamic_cast<const QuadMesh<float>*>(&shape)) return mesh->hasVertexColors();
  return false;
}

} // namespace

ShapeViewerMediator::ShapeViewerMediator(QWidget* parent) : ViewerMediator(parent) {
  QSettings settings;
  if (settings.contains(colorCycleLengthKey)) _colorCycleLength = settings.value(colorCycleLengthKey).toInt();
}

ShapeViewerMediator::~ShapeViewerMediator() {
  releaseLayers();
  releasePainters(_painters);
}

void ShapeViewerMediator::releasePainters(const std::vector<ShapeViewerPainterGL*>& painters) {
  if (painters.empty()) return;
  ViewerCanvasGL* canvas = getCanvas();
  if (canvas) canvas->makeCurrent(); // painters may hold display lists of the canvas's context
  for (ShapeViewerPainterGL* painter : painters) {
    if (canvas) canvas->removePainter(*painter); // holders of painter pointers hear it here
    delete painter;
  }
  if (canvas) canvas->doneCurrent();
}

void ShapeViewerMediator::setAttributesEditor(ShapeViewerAttributesEditor& editor) {
  _attributesEditor = &editor;
  connect(&editor, &ShapeViewerAttributesEditor::attributesChanged, this,
          &ShapeViewerMediator::processAttributesChange);
}

void ShapeViewerMediator::setListBox(ShapeViewerListBox& listBox) {
  _listBox = &listBox;
  connect(&listBox, &ShapeViewerListBox::itemSelectionChanged, this,
          &ShapeViewerMediator::processSelectionChange);
  connect(&listBox, &ShapeViewerListBox::deletionRequested, this,
          &ShapeViewerMediator::deleteSelectedPainters);
  connect(&listBox, &ShapeViewerListBox::toggleVisibilityRequested, this,
          &ShapeViewerMediator::toggleSelectedPaintersVisibility);
}

int ShapeViewerMediator::numShapes() const {
  return static_cast<int>(_painters.size());
}

const Shape<float>& ShapeViewerMediator::getShape(int i) const {
  return _painters[static_cast<std::size_t>(i)]->getProxy()->getShape();
}

int ShapeViewerMediator::nextNameCounter(const std::string& shapeName) const {
  int largest = 0;
  for (const ShapeViewerPainterGL* painter : _painters) {
    const ShapePainterGL<float>* proxy = painter->getProxy();
    if (proxy && proxy->hasShape() && proxy->getShape().getName() == shapeName)
      largest = std::max(largest, painter->getNameCounter());
  }
  return largest + 1;
}

void ShapeViewerMediator::addShape(Shape<float>* shape, const std::string& fileName) {
  std::unique_ptr<const Shape<float>> kept(shape);
  addPainter(*shape, fileName, std::move(kept));
}

void ShapeViewerMediator::addShape(const Shape<float>& shape, const std::string& fileName) {
  addPainter(shape, fileName, nullptr);
}

bool ShapeViewerMediator::addPainter(const Shape<float>& shape, const std::string& fileName,
                                     std::unique_ptr<const Shape<float>> kept) {
  Trace::Scope scope("void ShapeViewerMediator::addShape(const Shape<float>&)");
  ShapePainterGL<float>* proxy = ShapePainterFactory::create(shape).release();
  if (!proxy) return false;

  ShapePainterAttributesGL attributes = proxy->getAttributes();
  attributes.setColor(ShapePainterFactory::cycleColor(numShapes(), _colorCycleLength));
  proxy->setAttributes(attributes);

  auto* painter = new ExtendedShapeViewerPainterGL(nextNameCounter(shape.getName()), true, proxy, fileName);
  painter->keepShape(std::move(kept));
  _painters.push_back(painter);
  // A range widened by the new mesh is announced again by the panel, for every mesh; otherwise the new
  // mesh alone takes the map being shown.
  const auto report = [this](const std::string& problem) {
    emit problemFound(QString::fromStdString(problem));
  };
  for (const ParameterData& parameterData : painter->loadParameters(shape, fileName, report))
    updateParameter(parameterData);
  painter->setParameterData(_shownParameter);
  if (ViewerCanvasGL* canvas = getCanvas()) canvas->addPainter(*painter);

  traceValue("getBatchMode()", _batchMode);
  if (!_batchMode) {
    Trace::print("initGL");
    refresh();
  }
  return true;
}

void ShapeViewerMediator::setParameterPanel(ParameterPanel& panel) {
  _parameterPanel = &panel;
  // Connected once: one choice recolours each mesh once, however many shapes were loaded.
  connect(&panel, &ParameterPanel::parameterDataChanged, this, &ShapeViewerMediator::processParameterChange);
}

void ShapeViewerMediator::updateParameter(const ParameterData& parameterData) {
  traceValue("_parameters.count(shapeParameterData.getName())", _parameters.count(parameterData.getName()));
  ParameterData& entry = _parameters[parameterData.getName()];
  entry.widen(parameterData);
  traceValue("parameterData.getName()", entry.getName());
  if (_parameterPanel) _parameterPanel->updateParameters(_parameters);
}

void ShapeViewerMediator::processParameterChange(const ParameterData& parameterData) {
  Trace::Scope scope("void ShapeViewerMediator::processParameterChange(const ParameterData&)");
  _shownParameter = parameterData;
  bool shown = false;
  for (ShapeViewerPainterGL* painter : _painters)
    shown = static_cast<ExtendedShapeViewerPainterGL*>(painter)->setParameterData(parameterData) || shown;
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  if (shown)
    canvas->setColorBar(parameterData.colorBar());
  else if (parameterData.getName().empty())
    canvas->hideColorBar();
  canvas->update(); // one paint for the changes of a slider drag that arrive before it
}

void ShapeViewerMediator::refresh() {
  if (_listBox) _listBox->setPainters(_painters);
  if (ViewerCanvasGL* canvas = getCanvas()) canvas->initializeGL();
  repaintCanvas();
  processSelectionChange();
}

void ShapeViewerMediator::repaintCanvas() {
  if (ViewerCanvasGL* canvas = getCanvas()) canvas->repaint();
}

void ShapeViewerMediator::setBatchMode(bool on) {
  if (on == _batchMode) return;
  _batchMode = on;
  if (on) return;
  Trace::print("update listbox");
  if (_listBox) _listBox->setPainters(_painters);
  Trace::print("init canvas");
  if (ViewerCanvasGL* canvas = getCanvas()) canvas->initializeGL();
  Trace::print("repaint canvas");
  repaintCanvas();
  Trace::print("process selection change");
  processSelectionChange();
}

void ShapeViewerMediator::unselectAllPainters() {
  for (ShapeViewerPainterGL* painter : _painters) painter->setSelected(false);
}

void ShapeViewerMediator::runColorPeriodicityDialog() {
  bool accepted = false;
  const int length = QInputDialog::getInt(parentWidget(), "Input", "Set color periodicity", _colorCycleLength,
                                          1, 14, 1, &accepted);
  if (!accepted) return;
  QSettings().setValue(colorCycleLengthKey, length);
  _colorCycleLength = length;
}

void ShapeViewerMediator::processSelectionChange() {
  const int listed = _listBox ? _listBox->count() : 0;
  for (int i = 0; i < numShapes() && i < listed; ++i)
    _painters[static_cast<std::size_t>(i)]->setSelected(_listBox->item(i)->isSelected());
  const ShapePainterAttributesGL common = intersectSelectionAttributes();
  if (!_attributesEditor) return;
  _attributesEditor->setAttributes(common);
  _attributesEditor->setEnabled(std::any_of(_painters.begin(), _painters.end(),
                                            [](const ShapeViewerPainterGL* p) { return p->isSelected(); }));
  _attributesEditor->showVertexColorsNote(
      std::any_of(_painters.begin(), _painters.end(), [](const ShapeViewerPainterGL* p) {
        return p->isSelected() && p->getProxy()->hasShape() && hasVertexColors(p->getProxy()->getShape());
      }));
}

ShapePainterAttributesGL ShapeViewerMediator::intersectSelectionAttributes() const {
  ShapePainterAttributesGL common;
  common.clear();
  bool first = true;
  for (const ShapeViewerPainterGL* painter : _painters) {
    if (!painter->isSelected()) continue;
    const ShapePainterAttributesGL& own = painter->getProxy()->getAttributes();
    common = first ? own : common.intersection(own);
    first = false;
  }
  return common;
}

void ShapeViewerMediator::processAttributesChange() {
  if (!_attributesEditor) return;
  const ShapePainterAttributesGL changes = _attributesEditor->getAttributes();
  for (ShapeViewerPainterGL* painter : _painters) {
    if (!painter->isSelected()) continue;
    ShapePainterAttributesGL attributes = painter->getProxy()->getAttributes();
    attributes.update(changes);
    painter->getProxy()->setAttributes(attributes);
  }
  repaintCanvas();
  if (_listBox) _listBox->setPainters(_painters);
}

void ShapeViewerMediator::deleteSelectedPainters() {
  std::vector<ShapeViewerPainterGL*> deleted;
  for (std::size_t i = _painters.size(); i-- > 0;) {
    if (!_painters[i]->isSelected()) continue;
    deleted.push_back(_painters[i]);
    _painters.erase(_painters.begin() + static_cast<std::ptrdiff_t>(i));
  }
  releasePainters(deleted);
  if (_listBox) _listBox->setPainters(_painters);
  if (_attributesEditor) {
    _attributesEditor->clear();
    _attributesEditor->setEnabled(false);
  }
  if (ViewerCanvasGL* canvas = getCanvas()) {
    // The colour bar explains the colours of the meshes that show a map: it goes with the last one.
    const auto showsMap = [](ShapeViewerPainterGL* p) {
      return static_cast<ExtendedShapeViewerPainterGL*>(p)->showsMap();
    };
    if (std::none_of(_painters.begin(), _painters.end(), showsMap)) canvas->hideColorBar();
    canvas->initializeGL();
  }
  repaintCanvas();
}

void ShapeViewerMediator::toggleSelectedPaintersVisibility() {
  bool any = false;
  for (std::size_t i = _painters.size(); i-- > 0;) {
    if (!_painters[i]->isSelected()) continue;
    ShapePainterGL<float>& proxy = *_painters[i]->getProxy();
    ShapePainterAttributesGL attributes = proxy.getAttributes();
    attributes.setVisibility(!proxy.isVisible());
    proxy.setAttributes(attributes);
    any = true;
  }
  if (!any) return;
  if (_attributesEditor) _attributesEditor->setAttributes(intersectSelectionAttributes());
  if (_listBox) _listBox->setPainters(_painters);
  repaintCanvas();
}

// === Images and voxel matrices

void ShapeViewerMediator::setSliceCompositeBox(QInputBox& box) {
  _sliceBox = &box;
  connect(_sliceBox, &QInputBox::valueChanged, this, &ShapeViewerMediator::processSliceChange);
}

void ShapeViewerMediator::setDisplayRangeBox(DisplayRangeBox& box) {
  _displayRangeBox = &box;
  connect(&box, &DisplayRangeBox::rangeChanged, this, &ShapeViewerMediator::processDisplayRangeChange);
  connect(&box, &DisplayRangeBox::automaticRequested, this, &ShapeViewerMediator::useAutomaticDisplayRanges);
}

void ShapeViewerMediator::showLayers(const std::vector<PainterGL<float>*>& painters) {
  for (PainterGL<float>* painter : painters) getCanvas()->addPainter(*painter);
  if (_displayRangeBox) _displayRangeBox->setRange(_imageLayers.lastAutomaticRange());
  getCanvas()->initializeGL();
  repaintCanvas();
}

void ShapeViewerMediator::addImage(std::unique_ptr<Image> image) {
  if (!getCanvas()) return;
  std::vector<PainterGL<float>*> painters;
  {
    const CanvasContext context(*getCanvas());
    painters = _imageLayers.addImage(std::move(image));
  }
  showLayers(painters);
}
void ShapeViewerMediator::addVoxelMatrix(const VoxelMatrix<float>& matrix) {
  if (!getCanvas()) return;
  VoxelMatrixSlicePainterGL<float, float>* painter = nullptr;
  {
    const CanvasContext context(*getCanvas());
    painter = &_imageLayers.addVoxelMatrix(matrix, _sliceBox ? _sliceBox->getValue() : 0);
  }
  if (_sliceBox) {
    _sliceBox->setMinimum(0);
    _sliceBox->setMaximum(std::max(0, painter->getVoxelMatrix().getSize3() - 1));
  }
  showLayers({painter});
}

void ShapeViewerMediator::processSliceChange(int slice) {
  Trace::Scope scope("void ShapeViewerMediator::processSliceChange(const int)");
  traceValue("_voxelMatrixSlicePainters.size()", _imageLayers.numVoxelMatrices());
  traceValue("slice", slice);
  if (!getCanvas()) return;
  {
    const CanvasContext context(*getCanvas());
    _imageLayers.showSlice(slice);
  }
  getCanvas()->repaint();
}

void ShapeViewerMediator::processDisplayRangeChange(const DisplayRange& range) {
  if (!getCanvas()) return;
  {
    const CanvasContext context(*getCanvas());
    _imageLayers.setDisplayRange(range);
  }
  repaintCanvas();
}

void ShapeViewerMediator::useAutomaticDisplayRanges() {
  if (!getCanvas()) return;
  {
    const CanvasContext context(*getCanvas());
    _imageLayers.useAutomaticRanges();
  }
  if (_displayRangeBox) _displayRangeBox->setRange(_imageLayers.lastAutomaticRange());
  repaintCanvas();
}

void ShapeViewerMediator::releaseLayers() {
  if (!getCanvas()) return;
  const CanvasContext context(*getCanvas());
  for (PainterGL<float>* painter : _imageLayers.painters()) getCanvas()->removePainter(*painter);
  _imageLayers.clear();
}

void ShapeViewerMediator::removeImagesAndVoxelMatrices() {
  if (!getCanvas()) return;
  releaseLayers();
  if (_displayRangeBox) _displayRangeBox->setRange(_imageLayers.lastAutomaticRange());
  getCanvas()->initializeGL();
  repaintCanvas();
}
