#pragma once

#include "rendering/GLObject.h"

#include <cstddef>
#include <vector>

class CoveringTrianglesGL;

// The arrays of a lit surface, drawn in one call however many triangles it has: positions (three
// floats a vertex), normals (three floats a vertex, or none), colours (red, green, blue and alpha bytes
// a vertex, or none) and the corners, either a list of triangles or strips of equal length one after
// the other. Each array is read where its owner keeps it (which must then not change until the draw),
// or held in a copy of its own; glKeepInBuffers (with a Qt context current) copies every array into a
// buffer object of the context and drops the copies in memory, so that later draws read nothing else.
// Under a software rasteriser a list of triangles sends only those that may cover a pixel centre (see
// CoveringTrianglesGL): the same frame, at a fraction of the cost when most triangles are smaller than
// a pixel. The buffers are then mapped to be read in place. Lists of triangles are drawn in parts, which
// bounds what a software rasteriser sorts ahead of drawing.
class SurfaceArraysGL {
public:
  void usePositions(const float* inPlace, std::size_t count); // count floats
  void ownPositions(std::vector<float> values);
  void useNormals(const float* inPlace, std::size_t count);
  void ownNormals(std::vector<float> values);
  void useCorners(const unsigned int* inPlace, std::size_t count);
  void ownCorners(std::vector<unsigned int> values);
  void setStripLength(int corners) { _stripLength = corners; } // 0 (as cleared): a list of triangles
  void glKeepInBuffers();
  void glSetColors(std::vector<unsigned char> rgba); // none when empty; into a buffer once kept there
  void glDraw() const;
  void clear(); // holds nothing, draws triangles; the buffer objects are released

private:
  // One array: in its owner, in a copy of its own, or in a buffer object.
  template <class V> struct Array {
    const V* data = nullptr; // in the owner or in copy; null in a buffer object
    std::vector<V> copy;
    std::size_t count = 0; // 0: absent
    GLObject buffer;

    void use(const V* inPlace, std::size_t n);
    void own(std::vector<V> values);
    void glUpload(unsigned int target);
    const void* glBind(unsigned int target) const;       // binds its buffer (0 when none); what to point at
    const V* glMapForReading(unsigned int target) const; // its values wherever they are; null: none
    void glUnmap(unsigned int target) const;
  };

  void glEnableArrays() const; // the vertices' arrays, with the client state saved
  // Draws a list of corners (first: in memory, or null for the bound buffer's start) in parts.
  void glDrawTriangles(const unsigned int* first, std::size_t corners) const;
  void glDrawStrips() const;
  // Under a software rasteriser, chooses the triangles of a list that may cover a pixel centre.
  bool glChooseCovering(CoveringTrianglesGL& covering) const;

  Array<float> _positions;
  Array<float> _normals;
  Array<unsigned char> _colors;
  Array<unsigned int> _corners;
  int _stripLength = 0;
  bool _inBuffers = false;
};
