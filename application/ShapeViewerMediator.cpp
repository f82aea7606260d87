#include "application/ShapeViewerMediator.h"

#include "application/ParameterPanel.h"
#include "foundation/DataSet.h"
#include "foundation/Exception.h"
#include "foundation/Trace.h"
#include "geometry/Shape.h"
#include "geometry/TriMesh.h"
#include "rendering/GLObject.h"
#include "rendering/TriMeshPainterGL.h"
#include "viewer/DisplayRangeBox.h"
#include "viewer/LandmarksDelegate.h"
#include "viewer/SliderSpinBox.h"
#include "viewer/ViewerAnimation.h"
#include "viewer/ViewerCanvasGL.h"
#include "viewer/ViewerPosePanel.h"
#include "viewer/ViewerScaleBarPanel.h"

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

} // namespace

ShapeViewerMediator::ShapeViewerMediator(Scene& scene, QWidget* parent)
    : ViewerMediator(parent), _scene(scene) {
  QSettings settings;
  if (settings.contains(colorCycleLengthKey))
    _scene.setColorCycleLength(settings.value(colorCycleLengthKey).toInt());
  connect(&scene, &Scene::added, this, &ShapeViewerMediator::itemAdded);
  connect(&scene, &Scene::aboutToRemove, this, &ShapeViewerMediator::itemsRemoving);
  connect(&scene, &Scene::removed, this, &ShapeViewerMediator::itemsRemoved);
  connect(&scene, &Scene::changed, this,
          [this](const std::vector<ItemId>&, Scene::Fields fields) { itemsChanged(fields); });
  ViewerAnimation& animation = getAnimation();
  animation.setVisibilityReader(
      [this](int id) { return _scene.rowOf(id) >= 0 && _scene.at(_scene.rowOf(id)).isVisible(); });
  connect(&animation, &ViewerAnimation::visibilityRequested, &scene, &Scene::setVisibility);
  connect(&scene, &Scene::aboutToRemove, &animation, &ViewerAnimation::removeShapes);
}

ShapeViewerMediator::~ShapeViewerMediator() {
  releaseLayers();
}

void ShapeViewerMediator::initialize() {
  ViewerMediator::initialize();
  getCanvas()->keepViewIn(_scene.drawnView());
  connect(&_scene, &Scene::viewChanged, this, &ShapeViewerMediator::showView);
  for (int row = 0; row < _scene.size(); ++row) itemAdded(_scene.at(row).id());
}

// === Following the scene

void ShapeViewerMediator::itemAdded(ItemId id) {
  const SceneItem& item = _scene.at(_scene.rowOf(id));
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  canvas->addPainter(item.painter());
  if (getLandmarks() && item.kind() == ShapeType::TriMesh)
    getLandmarks()->addTriMesh(static_cast<const TriMeshPainterGL<float>&>(item.painter()));
  fitSceneBox();
}

void ShapeViewerMediator::itemsRemoving(const std::vector<ItemId>& ids) {
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  canvas->makeCurrent(); // painters may hold display lists of the canvas's context
  for (ItemId id : ids) {
    const SceneItem& item = _scene.at(_scene.rowOf(id));
    if (getLandmarks() && item.kind() == ShapeType::TriMesh)
      getLandmarks()->removeTriMesh(static_cast<const TriMesh<float>&>(item.shape()));
    canvas->removePainter(item.painter());
  }
  canvas->doneCurrent();
}

void ShapeViewerMediator::itemsRemoved() {
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  // The freed painters' display lists go now rather than at the next paint, so that the memory the
  // driver kept for them is free when the scene gives memory back.
  canvas->makeCurrent();
  GLObject::releasePending();
  canvas->doneCurrent();
  // The colour bar explains the colours of the meshes that show a map: it goes with the last one.
  if (!_scene.showsMap()) canvas->hideColorBar();
  fitSceneBox();
  canvas->update();
}

void ShapeViewerMediator::itemsChanged(Scene::Fields fields) {
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  // A hidden shape does not set the scene box, but the animation's steps keep the scene's framing.
  if (fields & Scene::Field::Visibility && !getAnimation().isRunning()) fitSceneBox();
  canvas->update(); // one paint for the changes that arrive before it
}

void ShapeViewerMediator::fitSceneBox() {
  if (ViewerCanvasGL* canvas = getCanvas(); canvas && !_batchMode) canvas->fitSceneBox();
}

void ShapeViewerMediator::setBatchMode(bool on) {
  if (on == _batchMode) return;
  _batchMode = on;
  if (!on) fitSceneBox();
}

void ShapeViewerMediator::showView() {
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  canvas->fitSceneBox(); // to the scene box scaling of the view
  const ViewState& view = _scene.view();
  if (ViewerPosePanel* panel = getPosePanel()) {
    panel->setPose(canvas->getPose());
    panel->setBackground(view.background);
    panel->setProjection(view.projection);
    panel->setBoundingBoxShown(view.sceneBoxShown);
    panel->setBoundingBoxScaling(view.sceneBoxScaling);
    panel->setClipPlanes(view.clipPlanes);
  }
  if (ViewerScaleBarPanel* panel = getScaleBarPanel())
    panel->setScaleBar(view.scaleBar, view.scaleBarShown, view.scaleBarCaption);
}

std::vector<int> ShapeViewerMediator::selectedShapes() const {
  return _scene.selection();
}

// === Loading

void ShapeViewerMediator::addShape(std::unique_ptr<Shape<float>> shape, const std::string& fileName) {
  Trace::Scope scope("void ShapeViewerMediator::addShape(const Shape<float>&)");
  const auto report = [this](const std::string& problem) {
    emit problemFound(QString::fromStdString(problem));
  };
  DataSet parameters = SceneItem::loadParameters(*shape, fileName, report);
  _scene.add(std::move(shape), fileName, std::move(parameters));
}

// === Parametric maps

void ShapeViewerMediator::setParameterPanel(ParameterPanel& panel) {
  _parameterPanel = &panel;
  // Connected once: one choice recolours each mesh once, however many shapes were loaded.
  connect(&panel, &ParameterPanel::parameterDataChanged, this, &ShapeViewerMediator::processParameterChange);
  // A range widened by a new mesh is announced again by the panel, for every mesh.
  connect(&_scene, &Scene::parametersChanged, &panel,
          [this] { _parameterPanel->updateParameters(_scene.parameters()); });
}

bool ShapeViewerMediator::chooseParameter(const ParameterData& parameterData) {
  if (!parameterData.getName().empty() && !_scene.parameters().count(parameterData.getName())) return false;
  if (_parameterPanel)
    _parameterPanel->choose(parameterData); // which announces it to processParameterChange
  else
    processParameterChange(parameterData);
  return true;
}

void ShapeViewerMediator::processParameterChange(const ParameterData& parameterData) {
  Trace::Scope scope("void ShapeViewerMediator::processParameterChange(const ParameterData&)");
  const bool shown = _scene.showParameter(parameterData);
  ViewerCanvasGL* canvas = getCanvas();
  if (!canvas) return;
  if (shown)
    canvas->setColorBar(parameterData.colorBar());
  else if (parameterData.getName().empty())
    canvas->hideColorBar();
  canvas->update(); // one paint for the changes of a slider drag that arrive before it
}

void ShapeViewerMediator::runColorPeriodicityDialog() {
  bool accepted = false;
  const int length = QInputDialog::getInt(parentWidget(), "Input", "Set color periodicity",
                                          _scene.colorCycleLength(), 1, 14, 1, &accepted);
  if (!accepted) return;
  QSettings().setValue(colorCycleLengthKey, length);
  _scene.setColorCycleLength(length);
}

// === Images and voxel matrices

void ShapeViewerMediator::setSliceBox(SliderSpinBox& box) {
  _sliceBox = &box;
  _sliceBox->setEnabled(_imageLayers.numVoxelMatrices() > 0); // it has nothing to choose from otherwise
  connect(_sliceBox, &SliderSpinBox::valueChanged, this, &ShapeViewerMediator::processSliceChange);
}

void ShapeViewerMediator::setDisplayRangeBox(DisplayRangeBox& box) {
  _displayRangeBox = &box;
  connect(&box, &DisplayRangeBox::rangeChanged, this, &ShapeViewerMediator::processDisplayRangeChange);
  connect(&box, &DisplayRangeBox::automaticRequested, this, &ShapeViewerMediator::useAutomaticDisplayRanges);
}

void ShapeViewerMediator::showLayers(const std::vector<PainterGL<float>*>& painters) {
  for (PainterGL<float>* painter : painters) getCanvas()->addPainter(*painter);
  if (_displayRangeBox) _displayRangeBox->setRange(_imageLayers.lastAutomaticRange());
  getCanvas()->fitSceneBox();
  getCanvas()->repaint();
}

bool ShapeViewerMediator::sceneIsEmpty() const {
  return _scene.size() == 0 && _imageLayers.painters().empty();
}

void ShapeViewerMediator::addImage(std::unique_ptr<Image> image) {
  if (!getCanvas()) return;
  if (sceneIsEmpty()) resetPose(); // an image lies in a plane z = const, which the start pose faces
  std::vector<PainterGL<float>*> painters;
  {
    const CanvasContext context(*getCanvas());
    painters = _imageLayers.addImage(std::move(image));
  }
  showLayers(painters);
}

void ShapeViewerMediator::addVoxelMatrix(const VoxelMatrix<float>& matrix) {
  if (!getCanvas()) return;
  // Slices lie in planes x = const: the first matrix of an empty scene is seen from -x, facing them.
  if (sceneIsEmpty()) setStandardPose2();
  VoxelMatrixSlicePainterGL<float, float>* painter = nullptr;
  {
    const CanvasContext context(*getCanvas());
    painter = &_imageLayers.addVoxelMatrix(matrix, _sliceBox ? _sliceBox->getValue() : 0);
  }
  if (_sliceBox) {
    _sliceBox->setEnabled(true);
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
  getCanvas()->repaint();
}

void ShapeViewerMediator::useAutomaticDisplayRanges() {
  if (!getCanvas()) return;
  {
    const CanvasContext context(*getCanvas());
    _imageLayers.useAutomaticRanges();
  }
  if (_displayRangeBox) _displayRangeBox->setRange(_imageLayers.lastAutomaticRange());
  getCanvas()->repaint();
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
  if (_sliceBox) _sliceBox->setEnabled(false);
  if (_displayRangeBox) _displayRangeBox->setRange(_imageLayers.lastAutomaticRange());
  getCanvas()->fitSceneBox();
  getCanvas()->repaint();
}
