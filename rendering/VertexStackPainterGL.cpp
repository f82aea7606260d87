#include "rendering/VertexStackPainterGL.h"

#include "rendering/VerticesPainterGL.h"

template <class T> VertexStackPainterGL<T>::VertexStackPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_SYMBOL);
  this->setAttributes(attributes);
}

template <class T> void VertexStackPainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  const VertexStack<T>& stack = dynamic_cast<const VertexStack<T>&>(this->getShape());
  VerticesPainterGL<T> level;
  level.setAttributes(this->getAttributes());
  level.setSymbolSizeScale(this->getSymbolSizeScale());
  for (int l = 0; l < stack.getHeight(); ++l) {
    level.setShape(stack[l]);
    level.glDraw();
  }
}

template class VertexStackPainterGL<float>;
template class VertexStackPainterGL<double>;
template class VertexStackPainterGL<long double>;
