#pragma once

#include "foundation/Vector.h"

#include <optional>
#include <string>

// How a shape is drawn. 0 is the value of a fresh attribute set; every shape painter replaces it.
enum DisplayModeGL : int {
  DISPLAY_MODE_NONE = 0,
  DISPLAY_MODE_SYMBOL = 1,       // vertices only
  DISPLAY_MODE_CURVE = 2,        // line strips or loops
  DISPLAY_MODE_SYMBOL_CURVE = 3, // lines and vertex symbols
  DISPLAY_MODE_MESH = 4,         // wireframe
  DISPLAY_MODE_SURFACE = 5       // filled, lit surface
};

// Symbol drawn at each vertex; 0 and 1 are points of the current point size.
enum VertexSymbolGL : int {
  VERTEX_SYMBOL_NONE = 0,
  VERTEX_SYMBOL_DOT = 1,
  VERTEX_SYMBOL_SPHERE = 2,
  VERTEX_SYMBOL_CUBE = 3,
  VERTEX_SYMBOL_TETRAHEDRON = 4,
  VERTEX_SYMBOL_DIAMOND = 5
};

// Display attributes of a shape painter. Every attribute may be undefined, so that one set can stand
// for what several painters have in common (intersection) or for only what the user changed (update).
class ShapePainterAttributesGL {
public:
  // === Construction
  ShapePainterAttributesGL(); // the defaults of a fresh painter; colour, smoothing and caps undefined
  ShapePainterAttributesGL(const ShapePainterAttributesGL& other);
  ShapePainterAttributesGL& operator=(const ShapePainterAttributesGL& other);
  virtual ~ShapePainterAttributesGL();

  // === Set algebra
  virtual void clear();                                       // every attribute undefined
  virtual void update(const ShapePainterAttributesGL& other); // copies what other defines
  // Defined where both define the same value; undefined everywhere else.
  ShapePainterAttributesGL intersection(const ShapePainterAttributesGL& other) const;
  // True only when both define all twelve attributes with equal values.
  bool operator==(const ShapePainterAttributesGL& other) const;
  bool operator!=(const ShapePainterAttributesGL& other) const { return !(*this == other); }

  // === Which attributes are defined
  bool useColor() const { return _color.has_value(); }
  bool useDisplayMode() const { return _displayMode.has_value(); }
  bool useLineWidth() const { return _lineWidth.has_value(); }
  bool useOpacity() const { return _opacity.has_value(); }
  bool useShininess() const { return _shininess.has_value(); }
  bool useVerticesSmoothing() const { return _verticesSmoothing.has_value(); }
  bool useNormalsSmoothing() const { return _normalsSmoothing.has_value(); }
  bool useSymbolSize() const { return _symbolSize.has_value(); }
  bool useVertexSymbol() const { return _vertexSymbol.has_value(); }
  bool useVisibility() const { return _visibility.has_value(); }
  bool hasBeginCapFlag() const { return _beginCapFlag.has_value(); }
  bool hasEndCapFlag() const { return _endCapFlag.has_value(); }

  // === Setters (each defines its attribute)
  void setColor(const Vector<int>& color); // red, green, blue in 0..255; all components are copied
  void setDisplayMode(DisplayModeGL mode) { _displayMode = mode; }
  void setLineWidth(float width) { _lineWidth = width; }
  void setOpacity(float alpha) { _opacity = alpha; } // an opacity: 255 opaque, 0 invisible
  void setShininess(float shininess) { _shininess = shininess; }
  void setVerticesSmoothing(int iterations) { _verticesSmoothing = iterations; }
  void setNormalsSmoothing(int iterations) { _normalsSmoothing = iterations; }
  void setSymbolSize(float size) { _symbolSize = size; }
  void setVertexSymbol(VertexSymbolGL symbol) { _vertexSymbol = symbol; }
  void setVisibility(bool visible) { _visibility = visible; }
  void setBeginCapFlag(bool flag) { _beginCapFlag = flag; }
  void setEndCapFlag(bool flag) { _endCapFlag = flag; }

  // === Getters: callers test the predicate first, except for the three checked ones
  const Vector<int>& getColor() const { return *_color; }
  DisplayModeGL getDisplayMode() const { return *_displayMode; }
  float getLineWidth() const { return *_lineWidth; }
  float getOpacity() const { return *_opacity; }
  float getShininess() const { return *_shininess; }
  int getVerticesSmoothing() const { return *_verticesSmoothing; }
  int getNormalsSmoothing() const { return *_normalsSmoothing; }
  float getSymbolSize() const { return *_symbolSize; }
  VertexSymbolGL getVertexSymbol() const { return *_vertexSymbol; }
  bool getVisibility() const;   // ProgramError when undefined
  bool getBeginCapFlag() const; // ProgramError when undefined
  bool getEndCapFlag() const;   // ProgramError when undefined

  // Diagnostic dump to the standard output; shows where each value is stored.
  void print(const std::string& title) const;

private:
  enum class Empty { Tag };
  explicit ShapePainterAttributesGL(Empty); // every attribute undefined

  std::optional<Vector<int>> _color;
  std::optional<DisplayModeGL> _displayMode;
  std::optional<float> _lineWidth;
  std::optional<float> _opacity;
  std::optional<float> _shininess;
  std::optional<int> _verticesSmoothing;
  std::optional<int> _normalsSmoothing;
  std::optional<float> _symbolSize;
  std::optional<VertexSymbolGL> _vertexSymbol;
  std::optional<bool> _visibility;
  std::optional<bool> _beginCapFlag;
  std::optional<bool> _endCapFlag;
};
