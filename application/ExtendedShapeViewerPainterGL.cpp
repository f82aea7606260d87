#include "application/ExtendedShapeViewerPainterGL.h"

ExtendedShapeViewerPainterGL::ExtendedShapeViewerPainterGL(int nameCounter, bool selected,
                                                           ShapePainterGL<float>* proxy,
                                                           const std::string& description) {
  setNameCounter(nameCounter);
  setSelected(selected);
  setProxy(proxy);
  setDescription(description);
}
