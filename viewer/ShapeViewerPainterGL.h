#pragma once

#include "rendering/PainterGL.h"
#include "rendering/ShapePainterGL.h"

#include <memory>
#include <string>

// Stands for one loaded shape in the canvas and in the shape list: forwards drawing to the painter of
// the shape's kind (its proxy, which holds the display attributes) and adds the list's selection
// flag, a counter that tells shapes of equal name apart, and the file the shape came from.
// The viewer painter owns its proxy, and the shape too when it is given one to keep: deleting the
// viewer painter then frees everything that belonged to the shape.
class ShapeViewerPainterGL : public PainterGL<float> {
public:
  ShapeViewerPainterGL() = default;
  ShapeViewerPainterGL(const ShapeViewerPainterGL&) = delete;
  ShapeViewerPainterGL& operator=(const ShapeViewerPainterGL&) = delete;
  ~ShapeViewerPainterGL() override;

  // The proxy's shape's box; empty without one and while the shape is hidden, so that a hidden shape
  // does not set the scene box.
  BoundingBox<float> boundingBox() const override;
  bool isOpaque() const override; // the proxy's answer
  void glDraw() const override;   // the proxy draws

  void setSelected(bool selected) { _selected = selected; }
  bool isSelected() const { return _selected; }
  void setNameCounter(int counter) { _nameCounter = counter; }
  int getNameCounter() const { return _nameCounter; }
  void setProxy(ShapePainterGL<float>* proxy); // takes it over, deleting the previous one
  ShapePainterGL<float>* getProxy() const { return _proxy; }
  // Keeps the shape that the proxy draws until after the proxy is gone.
  void keepShape(std::unique_ptr<const Shape<float>> shape) { _shape = std::move(shape); }
  void setDescription(const std::string& description) { _description = description; }
  const std::string& getDescription() const { return _description; }

private:
  bool _selected = false;
  int _nameCounter = 1;
  std::string _description;
  std::unique_ptr<const Shape<float>> _shape; // null unless kept; outlives the proxy
  ShapePainterGL<float>* _proxy = nullptr;
};
