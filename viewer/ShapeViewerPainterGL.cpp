#include "viewer/ShapeViewerPainterGL.h"

ShapeViewerPainterGL::~ShapeViewerPainterGL() {
  delete _proxy;
}

BoundingBox<float> ShapeViewerPainterGL::boundingBox() const {
  if (!_proxy || !_proxy->hasShape() || !_proxy->isVisible()) return BoundingBox<float>();
  return _proxy->getShape().boundingBox();
}

bool ShapeViewerPainterGL::isOpaque() const {
  return !_proxy || _proxy->isOpaque();
}

void ShapeViewerPainterGL::glDraw() const {
  if (_proxy) _proxy->glDraw();
}

void ShapeViewerPainterGL::setProxy(ShapePainterGL<float>* proxy) {
  if (proxy == _proxy) return;
  delete _proxy;
  _proxy = proxy;
}
