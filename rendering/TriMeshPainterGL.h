#pragma once

#include "geometry/TriMesh.h"
#include "rendering/GLObject.h"
#include "rendering/TriangleArraysGL.h"
#include "rendering/VerticesPainterGL.h"

// Draws a triangle mesh as a lit surface (mode Surface), a wireframe (mode Mesh) or a point set
// (other modes). The wireframe and the surface of a small mesh are kept in display lists, compiled by
// the first draw after a change of what they hold and replayed by every later paint. They hold the
// mesh's vertices, normals and vertex colours (whose alpha is the opacity); the colour, line width,
// shininess and display mode are set around them, so that changing these compiles nothing. The
// surface of a large mesh is drawn from vertex arrays in one call (see TriangleArraysGL), kept in
// buffer objects when display lists are on: it draws the same pixels at a fraction of the cost and
// memory of a list, which would hold every corner of every triangle. Changing a smoothing count
// smooths the painter's mesh in place, cumulatively.
template <class T> class TriMeshPainterGL : public VerticesPainterGL<T> {
public:
  TriMeshPainterGL(); // display mode Surface, display lists on

  // The surface of a mesh of at least this many triangles is drawn from arrays (100,000 unless set).
  void setArraysFromTriangles(int count) { _arraysFromTriangles = count; }

  bool isOpaque() const override; // transparency undefined or exactly 255
  // TypeError when the shape is not a TriMesh<T>; marks the lists and arrays out of date.
  void setShape(const Shape<T>& shape) override;
  // Applies changed smoothing counts to the mesh; marks out of date the lists and arrays that hold
  // what changed (the vertices and normals, or the alpha of the vertex colours).
  void setAttributes(const ShapePainterAttributesGL& attributes) override;
  // Counts the times smoothing has moved the mesh's vertices, so that whoever keeps a structure
  // built on their positions can tell that it is out of date.
  int getVerticesRevision() const { return _verticesRevision; }

  // The mesh's vertex colours changed (or came or went): the surface is drawn from vertex arrays
  // from now on, whose colours alone are refreshed at the next draw, instead of compiling its list
  // again; a new shape goes back to the list (for a small mesh).
  void vertexColorsChanged();

  void glDrawSurface() const;
  void glDrawMesh() const;

protected:
  void glDrawShape() const override;

private:
  struct Listed {
    GLObject list; // released in the canvas's context, see GLObject
    bool outOfDate = false;
  };
  // Replays the list when up to date, else compiles it while drawing.
  void glDrawListed(Listed& listed, void (TriMeshPainterGL::*draw)() const) const;
  TriMesh<T>& mutableMesh() const; // the mesh given by setShape, smoothed in place
  void geometryChanged();          // the vertices or normals

  mutable Listed _meshList;
  mutable Listed _surfaceList;
  int _verticesRevision = 0;

  // The surface from arrays, for large meshes and meshes whose colours change often.
  bool drawsArrays() const;
  void glDrawSurfaceArrays() const;
  int _arraysFromTriangles = 100000;
  bool _colorsChanging = false;
  mutable bool _arraysOutOfDate = true;
  mutable bool _colorsOutOfDate = true;
  mutable TriangleArraysGL<T> _arrays;
};
