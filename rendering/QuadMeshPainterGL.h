#pragma once

#include "geometry/QuadMesh.h"
#include "rendering/CurveStackPainterGL.h"
#include "rendering/SurfaceArraysGL.h"

#include <vector>

// Draws a quadrilateral mesh as a lit surface of triangle strips (mode Surface), as a wireframe along
// both directions (mode Mesh) or like a curve stack (other modes), then its caps when asked. Smooth
// vertex normals are computed once per setShape, not per paint. The surface of a large mesh is drawn
// from vertex arrays in one call (the same strips, the same values, the same pixels), kept in buffer
// objects when display lists are on; a small one vertex by vertex.
template <class T> class QuadMeshPainterGL : public CurveStackPainterGL<T> {
public:
  QuadMeshPainterGL(); // display mode Surface, display lists on

  // The surface of a mesh of at least this many quadrilaterals is drawn from arrays (10,000 unless set).
  void setArraysFromQuads(int count) { _arraysFromQuads = count; }

  bool isOpaque() const override; // transparency undefined or exactly 255
  // TypeError when the shape is not a QuadMesh<T>; computes the vertex normals.
  void setShape(const Shape<T>& shape) override;
  // A new opacity marks out of date the arrays that hold it in their vertex colours.
  void setAttributes(const ShapePainterAttributesGL& attributes) override;
  const QuadMesh<T>& getNormals() const { return _normals; } // unit normal of each mesh vertex

  void glDrawSurface() const;

protected:
  void glDrawShape() const override;

private:
  void allocateNormalBuffer();
  void computeNormalBuffer();
  void computeNormals();
  void deleteNormalBuffer();
  Vector<T>& bufferEntry(int row, int entry) { return _normalBuffer[row + 1][entry]; } // rows -1 .. n-1
  void glDrawWireframe() const;
  void glDrawCap(const QuadMesh<T>& cap) const;

  bool drawsArrays() const;
  void glDrawSurfaceArrays() const;
  void glSetArrays() const;

  QuadMesh<T> _normals;
  int _arraysFromQuads = 10000;
  mutable bool _arraysOutOfDate = true;
  mutable SurfaceArraysGL _arrays;
  std::vector<std::vector<Vector<T>>> _normalBuffer; // triangle normals of each band, alive in setShape only
};
