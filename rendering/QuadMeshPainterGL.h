#pragma once

#include "geometry/QuadMesh.h"
#include "rendering/CurveStackPainterGL.h"

#include <vector>

// Draws a quadrilateral mesh as a lit surface of triangle strips (mode Surface), as a wireframe along
// both directions (mode Mesh) or like a curve stack (other modes), then its caps when asked. Smooth
// vertex normals are computed once per setShape, not per paint.
template <class T> class QuadMeshPainterGL : public CurveStackPainterGL<T> {
public:
  QuadMeshPainterGL(); // display mode Surface

  bool isOpaque() const override; // transparency undefined or exactly 255
  // TypeError when the shape is not a QuadMesh<T>; computes the vertex normals.
  void setShape(const Shape<T>& shape) override;
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

  QuadMesh<T> _normals;
  std::vector<std::vector<Vector<T>>> _normalBuffer; // triangle normals of each band, alive in setShape only
};
