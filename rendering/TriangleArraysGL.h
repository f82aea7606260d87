#pragma once

#include "geometry/TriMesh.h"
#include "rendering/GLObject.h"

#include <cstddef>
#include <vector>

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
  void glDraw() const;
  void clear(); // holds nothing; the buffer objects are released

private:
  // One array: in the mesh, in a copy of its own, or in a buffer object.
  template <class V> struct Array {
    const V* data = nullptr; // in the mesh or in copy; null in a buffer object
    std::vector<V> copy;
    std::size_t count = 0; // 0: absent
    GLObject buffer;

    void use(const V* inPlace, std::size_t n);
    void own(std::vector<V> values);
    void glUpload(unsigned int target);
    const void* glBind(unsigned int target) const; // binds its buffer (0 when none); what to point at
  };

  Array<float> _positions;
  Array<float> _normals;
  Array<unsigned char> _colors; // red, green, blue, alpha
  Array<unsigned int> _indices;
  bool _inBuffers = false;
};
