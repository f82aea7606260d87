#pragma once

#include "geometry/TriMesh.h"
#include "rendering/GLObject.h"
#include "rendering/VerticesPainterGL.h"

#include <vector>

// Draws a triangle mesh as a lit surface (mode Surface), a wireframe (mode Mesh) or a point set
// (other modes). Surface and wireframe are kept in display lists, compiled by the first draw after a
// change (shape or attributes) and replayed by every later paint. Changing a smoothing count smooths
// the painter's mesh in place, cumulatively.
template <class T> class TriMeshPainterGL : public VerticesPainterGL<T> {
public:
  TriMeshPainterGL(); // display mode Surface, display lists on

  bool isOpaque() const override; // transparency undefined or exactly 255
  // TypeError when the shape is not a TriMesh<T>; marks the lists out of date.
  void setShape(const Shape<T>& shape) override;
  // Applies changed smoothing counts to the mesh; always marks the lists out of date.
  void setAttributes(const ShapePainterAttributesGL& attributes) override;
  // Counts the times smoothing has moved the mesh's vertices, so that whoever keeps a structure
  // built on their positions can tell that it is out of date.
  int getVerticesRevision() const { return _verticesRevision; }

  // The mesh's vertex colours changed (or came or went): the surface is drawn from vertex arrays
  // from now on, whose colours alone are refreshed at the next draw, instead of compiling its list
  // again; a change of shape or attributes goes back to the list.
  void vertexColorsChanged();

  void glDrawSurface() const;
  void glDrawMesh() const;

protected:
  void glDrawShape() const override;

private:
  // Replays the list when up to date, else compiles it while drawing.
  void glDrawListed(GLObject& list, void (TriMeshPainterGL::*draw)() const) const;
  TriMesh<T>& mutableMesh() const; // the mesh given by setShape, smoothed in place

  mutable GLObject _meshList; // released in the canvas's context, see GLObject
  mutable GLObject _surfaceList;
  mutable bool _listsOutOfDate = false;
  int _verticesRevision = 0;

  // The surface as arrays indexed by vertex number, for meshes whose colours change often.
  void glDrawSurfaceArrays() const;
  bool _drawsArrays = false;
  mutable bool _arraysOutOfDate = true;
  mutable bool _colorsOutOfDate = true;
  mutable std::vector<float> _positions;      // 3 per vertex
  mutable std::vector<float> _normals;        // 3 per vertex, empty without normals
  mutable std::vector<unsigned char> _colors; // red, green, blue, alpha per vertex
  mutable std::vector<unsigned int> _indices; // 3 per triangle still in the mesh
};
