#include "application/ShapeViewerMediator.h"

#include "geometry/Shape.h"

ShapeViewerMediator::ShapeViewerMediator(QObject* parent) : QObject(parent) {}

ShapeViewerMediator::~ShapeViewerMediator() = default;

int ShapeViewerMediator::numShapes() const {
  return static_cast<int>(_shapes.size());
}

void ShapeViewerMediator::addShape(Shape<float>* shape, const std::string& /*name*/) {
  _shapes.emplace_back(shape);
}

void ShapeViewerMediator::setScaling(const Vector<float>& scaling) {
  _scaling = scaling;
}

void ShapeViewerMediator::setBatchMode(bool on) {
  _batchMode = on;
}
