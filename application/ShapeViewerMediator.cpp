#include "application/ShapeViewerMediator.h"

#include "application/ExtendedShapeViewerPainterGL.h"
#include "foundation/Trace.h"
#include "geometry/Shape.h"
#include "imaging/Colormap.h"
#include "rendering/ShapePainterKind.h"
#include "viewer/ViewerCanvasGL.h"

#include <QSettings>

#include <algorithm>
#include <iostream>

namespace {

const char* const colorCycleLengthKey = "color-cycle-length";

} // namespace

ShapeViewerMediator::ShapeViewerMediator(QWidget* parent) : ViewerMediator(parent) {
  QSettings settings;
  if (settings.contains(colorCycleLengthKey)) _colorCycleLength = settings.value(colorCycleLengthKey).toInt();
}

ShapeViewerMediator::~ShapeViewerMediator() {
  // Painters may hold display lists of the canvas's context.
  if (getCanvas()) getCanvas()->makeCurrent();
  for (ShapeViewerPainterGL* painter : _painters) {
    if (getCanvas()) getCanvas()->removePainter(*painter);
    delete painter;
  }
  if (getCanvas()) getCanvas()->doneCurrent();
}

int ShapeViewerMediator::numShapes() const {
  return static_cast<int>(_painters.size());
}

const Shape<float>& ShapeViewerMediator::getShape(int i) const {
  return _painters[static_cast<std::size_t>(i)]->getProxy()->getShape();
}

Vector<int> ShapeViewerMediator::cycleColor(int n) const {
  static const Colormap flag = Colormap::flag();
  const int cycle = std::max(1, _colorCycleLength);
  return flag.getColor(n % cycle + 2);
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
  _shapes.emplace_back(shape);
  addShape(*shape, fileName);
}

void ShapeViewerMediator::addShape(const Shape<float>& shape, const std::string& fileName) {
  Trace::Scope scope("void ShapeViewerMediator::addShape(const Shape<float>&)");
  ShapePainterGL<float>* proxy = createShapePainter(shape).release();
  if (!proxy) return;

  ShapePainterAttributesGL attributes = proxy->getAttributes();
  attributes.setColor(cycleColor(numShapes()));
  proxy->setAttributes(attributes);

  auto* painter = new ExtendedShapeViewerPainterGL(nextNameCounter(shape.getName()), true, proxy, fileName);
  _painters.push_back(painter);
  if (getCanvas()) getCanvas()->addPainter(*painter);

  traceValue("getBatchMode()", _batchMode);
  if (!_batchMode) {
    Trace::print("initGL");
    reinitializeCanvas();
  }
}

void ShapeViewerMediator::reinitializeCanvas() {
  if (!getCanvas()) return;
  getCanvas()->initializeGL();
  getCanvas()->repaint();
}

void ShapeViewerMediator::setBatchMode(bool on) {
  if (on == _batchMode) return;
  _batchMode = on;
  if (on) return;
  Trace::print("init canvas");
  if (getCanvas()) getCanvas()->initializeGL();
  Trace::print("repaint canvas");
  if (getCanvas()) getCanvas()->repaint();
}
