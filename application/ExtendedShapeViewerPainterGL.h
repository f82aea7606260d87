#pragma once

#include "application/ShapeViewerPainterGL.h"

#include <string>

// The viewer painter that the mediator creates for every loaded shape; it is where a triangle mesh's
// parameter data set is kept for the parametric maps.
class ExtendedShapeViewerPainterGL : public ShapeViewerPainterGL {
public:
  ExtendedShapeViewerPainterGL() = default;
  // Takes the proxy over; description is the file the shape was loaded from.
  ExtendedShapeViewerPainterGL(int nameCounter, bool selected, ShapePainterGL<float>* proxy,
                               const std::string& description);
};
