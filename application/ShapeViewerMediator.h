#pragma once

#include "viewer/ViewerMediator.h"

#include <memory>
#include <string>
#include <vector>

template <class T> class Shape;
template <class T> class ShapePainterGL;
class ShapeViewerPainterGL;

// Turns what the main window loads into things on screen and keeps them. The window owns it.
class ShapeViewerMediator : public ViewerMediator {
  Q_OBJECT

public:
  explicit ShapeViewerMediator(QWidget* parent = nullptr);
  ~ShapeViewerMediator() override;

  // Number of shapes loaded and not yet closed.
  int numShapes() const;

  // Shows a loaded shape (already scaled); fileName is the file it came from. The shape gets a
  // painter of its kind in the next colour of the cycle, wrapped in a viewer painter that is appended
  // to the painters and added to the canvas; outside batch mode the canvas then frames and repaints.
  // The painter refers to the shape, which must outlive the mediator.
  void addShape(const Shape<float>& shape, const std::string& fileName);
  // The same for a shape that the mediator takes over for good.
  void addShape(Shape<float>* shape, const std::string& fileName);
  const std::vector<ShapeViewerPainterGL*>& getPainters() const { return _painters; }
  int getColorCycleLength() const { return _colorCycleLength; }
  const Shape<float>& getShape(int i) const; // the shape drawn by painter i

  // While on, every load skips refreshing the list, the canvas and the selection; turning it off
  // refreshes them once.
  void setBatchMode(bool on);
  bool isBatchMode() const { return _batchMode; }

private:
  // The colour of the n-th loaded shape: cell (n mod cycle length) + 2 of the "flag" map.
  Vector<int> cycleColor(int n) const;
  // One more than the largest counter among loaded shapes of that name, 1 for a new name.
  int nextNameCounter(const std::string& shapeName) const;
  void reinitializeCanvas(); // frames the loaded shapes and repaints

  // Shapes are declared first so that they outlive the painters that refer to them.
  std::vector<std::unique_ptr<Shape<float>>> _shapes;
  std::vector<ShapeViewerPainterGL*> _painters; // owned, in loading order
  int _colorCycleLength = 14;
  bool _batchMode = false;
};
