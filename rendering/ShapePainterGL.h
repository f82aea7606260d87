#pragma once

#include "geometry/Shape.h"
#include "rendering/PainterGL.h"
#include "rendering/ShapePainterAttributesGL.h"

// Base of the painters that draw a shape: holds the shape (not owned) and its display attributes,
// turns the defined attributes into OpenGL state around the shape-specific drawing, and draws the
// vertex symbols. Every solid symbol encloses the volume of a sphere of radius
// symbolSize x symbolSizeScale. Coordinates reach OpenGL in single precision whatever T is.
template <class T> class ShapePainterGL : public PainterGL<T> {
public:
  ShapePainterGL(); // no shape, default attributes, scale 1, display lists off
  ~ShapePainterGL() override;

  BoundingBox<T> boundingBox() const override; // the shape's box; empty without a shape
  bool isOpaque() const override;              // true
  // Nothing without a shape or while invisible; otherwise pre-draw, shape, post-draw.
  void glDraw() const override;

  virtual void setShape(const Shape<T>& shape); // remembers the shape; computes nothing
  const Shape<T>& getShape() const { return *_shape; }
  bool hasShape() const { return _shape != nullptr; }
  virtual void setAttributes(const ShapePainterAttributesGL& attributes); // replaces them by assignment
  const ShapePainterAttributesGL& getAttributes() const { return _attributes; }

  void setSymbolSizeScale(float scale) { _symbolSizeScale = scale; }
  float getSymbolSizeScale() const { return _symbolSizeScale; }
  bool isVisible() const override; // true unless visibility is defined and false
  void enableDisplayLists(bool enabled) { _displayListsEnabled = enabled; }
  bool isDisplayListEnabled() const { return _displayListsEnabled; }

  // One symbol centred on the origin of the current model-view matrix.
  void glDrawSymbol() const; // after vertexSymbol; dots are drawn by the callers as points
  void glDrawSphere() const;
  void glDrawCube() const;
  void glDrawTetrahedron() const;
  void glDrawDiamond() const;
  void glRawDrawSphere() const;

protected:
  virtual void glDrawShape() const = 0;
  virtual void glPreDraw() const;  // defined attributes become OpenGL state
  virtual void glPostDraw() const; // disables colour material when a colour was set

  float symbolRadius() const;        // radius of the sphere whose volume every solid symbol has
  unsigned char opacityByte() const; // transparency truncated to a byte, 255 when undefined
  // True when vertexSymbol asks for solids rather than points.
  bool drawsSolidSymbols() const;
  static void glVertex(const Vector<T>& point); // (x, y, z) in single precision; z 0 for planar points
  // Makes the current normal point at the viewer under the current model-view matrix, so that the
  // points and lines drawn next are lit alike in every frame, whatever was drawn before them, and
  // shows them in their own colour without specular highlight.
  static void glNormalTowardsViewer();

private:
  const Shape<T>* _shape = nullptr;
  ShapePainterAttributesGL _attributes;
  float _symbolSizeScale = 1.0f;
  bool _displayListsEnabled = false;
};
