#include "rendering/VertexStackPainterGL.h"

#include "rendering/VerticesPainterGL.h"

template <class T> VertexStackPainterGL<T>::VertexStackPainterGL() {
  ShapePainterAttributesGL attributes(this->getAttributes());
  attributes.setDisplayMode(DISPLAY_MODE_SYMBOL);
  this->setAttributes(attributes);
}

template <class T> void VertexStackPainterGL<T>::glDrawShape() const {
  if (!this->hasShape()) return;
  VerticesPainterGL<T> level;
  level.setSymbolSizeScale(this->getSymbolSizeScale());
  glDrawLevels(dynamic_cast<const VertexStack<T>&>(this->getShape()), level);
}

template <class T>
void VertexStackPainterGL<T>::glDrawLevels(const VertexStack<T>& stack,
                                           ShapePainterGL<T>& levelPainter) const {
  levelPainter.setAttributes(this->getAttributes());
  for (int l = 0; l < stack.getHeight(); ++l) {
    levelPainter.setShape(stack[l]);
    levelPainter.glDraw();
  }
}

template class VertexStackPainterGL<float>;
template class VertexStackPainterGL<double>;
template class VertexStackPainterGL<long double>;
