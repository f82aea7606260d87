#include "application/ShapeViewerMediator.h"

ShapeViewerMediator::ShapeViewerMediator(QObject* parent) : QObject(parent) {}

ShapeViewerMediator::~ShapeViewerMediator() = default;

int ShapeViewerMediator::numShapes() const {
  return 0;
}

void ShapeViewerMediator::setScaling(const Vector<float>& scaling) {
  _scaling = scaling;
}

void ShapeViewerMediator::setBatchMode(bool on) {
  _batchMode = on;
}
