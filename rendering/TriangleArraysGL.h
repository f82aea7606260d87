#pragma once

#include "geometry/TriMesh.h"
#include "rendering/SurfaceArraysGL.h"

// The surface of a triangle mesh as vertex arrays, drawn with one glDrawElements call however many
// triangles it has: positions, normals (when the mesh has them), colours (when it has vertex colours,
// each with the given alpha) and the corners of the triangles still in the mesh. OpenGL gets exactly
// the values that glVertex3f, glNormal3f and glColor4ub get from the mesh when it is drawn vertex by
// vertex, so that both give the same frame pixel for pixel.
//
// Two ways to hold them. In place: what the mesh already holds in OpenGL's layout (single precision,
// one block, no removed triangle) is read where it is and the rest copied; the mesh must then not
// change until the draw. In buffer objects (which need a Qt context current): every array is copied
// into the context once and the copies in memory are dropped, so that later draws read nothing of the
// mesh and no copy of it stays in this process's memory.
template <class T> class TriangleArraysGL {
public:
  // Takes the arrays of the mesh as it is now.
  void glSetMesh(const TriMesh<T>& mesh, unsigned char alpha, bool inBuffers);
  // Takes the mesh's vertex colours again (drops them when it has none any more).
  void glSetColors(const TriMesh<T>& mesh, unsigned char alpha);
  void glDraw() const { _arrays.glDraw(); }
  void clear() { _arrays.clear(); } // holds nothing; the buffer objects are released

private:
  SurfaceArraysGL _arrays;
};
