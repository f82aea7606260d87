// What the benchmarks of the main window share: a shown window, small shapes of many kinds laid out on
// a grid, and waiting for the frame the canvas was asked to draw.
#pragma once

#include "application/ShapeViewerMainWindow.h"
#include "geometry/Shape.h"

#include <memory>

class ShapeViewerMediator;
class ViewerCanvasGL;

// A window whose canvas is about 800 x 800, loading shapes at scaling 1.
std::unique_ptr<ShapeViewerMainWindow> makeWindow();
// A 200-triangle sheet at (x, y, z).
std::unique_ptr<Shape<float>> sheetAt(float x, float y, float z);
// Shape i of a 10 x 10 x 10 grid: a ring of 20 points, an open curve of 50 points or a 200-triangle
// sheet, in turn.
std::unique_ptr<Shape<float>> smallShape(int i);
// Shapes 0 to count - 1 of the grid, shape i from the file "shape<i>.vx", framed once at the end.
void addSmallShapes(ShapeViewerMediator& mediator, int count);
// Seconds of processor time of all the process's threads, OpenGL's rasterising threads included: on a
// busy machine the wall time mostly measures the wait for a core.
double processCpuSeconds();
// Lets the canvas paint the frame it was asked for, and waits until OpenGL has drawn it.
void finishDrawing(ViewerCanvasGL& canvas);
