#pragma once

#include "rendering/PainterGL.h"
#include "rendering/ShapePainterGL.h"

#include <string>

// Stands for one loaded shape in the canvas and in the shape list: forwards drawing to the painter of
// the shape's kind (its proxy, which holds the display attributes) and adds the list's selection
// flag, a counter that tells shapes of equal name apart, and the file the shape came from.
// The viewer painter owns its proxy; neither owns the shape.
class ShapeViewerPainterGL : public PainterGL<float> {
public:
  ShapeViewerPainterGL() = default;
  ShapeViewerPainterGL(const ShapeViewerPainterGL&) = delete;
  ShapeViewerPainterGL& operator=(const ShapeViewerPainterGL&) = delete;
  ~ShapeViewerPainterGL() override;

  BoundingBox<float> boundingBox() const override; // the proxy's shape's box; empty without one
  bool isOpaque() const override;                  // the proxy's answer
  void glDraw() const override;                    // the proxy draws

  void setSelected(bool selected) { _selected = selected; }
  bool isSelected() const { return _selected; }
  void setNameCounter(int counter) { _nameCounter = counter; }
  int getNameCounter() const { return _nameCounter; }
  void setProxy(ShapePainterGL<float>* proxy); // takes it over, deleting the previous one
  ShapePainterGL<float>* getProxy() const { return _proxy; }
  void setDescription(const std::string& description) { _description = description; }
  const std::string& getDescription() const { return _description; }

private:
  bool _selected = false;
  int _nameCounter = 1;
  std::string _description;
  ShapePainterGL<float>* _proxy = nullptr;
};
