#pragma once

#include "viewer/ShapeViewerPainterGL.h"

#include <string>

// The viewer painter that the mediator creates for every loaded shape; so far it adds nothing to
// ShapeViewerPainterGL but its constructors.
class ExtendedShapeViewerPainterGL : public ShapeViewerPainterGL {
public:
  ExtendedShapeViewerPainterGL() = default;
  // Takes the proxy over; description is the file the shape was loaded from.
  ExtendedShapeViewerPainterGL(int nameCounter, bool selected, ShapePainterGL<float>* proxy,
                               const std::string& description);
};
