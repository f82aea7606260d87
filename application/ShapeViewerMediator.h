#pragma once

#include "foundation/Vector.h"

#include <QObject>

#include <memory>
#include <string>
#include <vector>

template <class T> class Shape;

// Turns what the main window loads into things on screen and keeps them. The window owns it.
class ShapeViewerMediator : public QObject {
  Q_OBJECT

public:
  explicit ShapeViewerMediator(QObject* parent = nullptr);
  ~ShapeViewerMediator() override;

  // Number of shapes loaded and not yet closed.
  int numShapes() const;

  // Takes a loaded shape (already scaled) for good; name is the file it came from.
  void addShape(Shape<float>* shape, const std::string& name);
  const Shape<float>& getShape(int i) const { return *_shapes[static_cast<std::size_t>(i)]; }

  // Factors applied to x, y and z of every shape loaded from now on.
  void setScaling(const Vector<float>& scaling);
  const Vector<float>& getScaling() const { return _scaling; }

  // While on, every load skips refreshing the list, the canvas and the selection; turning it off
  // refreshes them once.
  void setBatchMode(bool on);
  bool isBatchMode() const { return _batchMode; }

private:
  std::vector<std::unique_ptr<Shape<float>>> _shapes;
  Vector<float> _scaling;
  bool _batchMode = false;
};
