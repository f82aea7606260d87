#pragma once

#include <cstddef>
#include <vector>

// The triangles of a list that can leave anything in the frame about to be drawn. A filled triangle
// makes a fragment only for a pixel whose centre it covers (one sample a pixel), so a triangle whose
// box on the screen holds no pixel centre writes no colour, depth or stencil at all, and leaving it out
// changes no pixel. A software rasteriser pays for every triangle it is sent, and on a large mesh seen
// whole most triangles are smaller than a pixel and fall between the centres.
//
// The screen positions are computed here in double precision from the vertices' coordinates as OpenGL
// gets them and its current matrices and viewport, and each vertex is widened by a bound on the
// rounding of OpenGL's own single-precision transform, so that a triangle is left out only when it
// surely holds no centre. A vertex on or behind the eye's plane keeps its triangles.
class CoveringTrianglesGL {
public:
  // Whether the current context draws with one of Mesa's software rasterisers.
  static bool glRendersInSoftware();

  // Chooses, the order kept, the triangles of the list of corners (count numbers of vertices, three a
  // triangle) over the positions (x, y, z of each of numVertices vertices) that may cover a pixel
  // centre. False, and nothing chosen, when the current state may draw a triangle beyond the centres
  // it covers: polygons drawn as outlines or points, or multisampling.
  bool glChoose(const float* positions, std::size_t numVertices, const unsigned int* corners,
                std::size_t count);
  // The corners of the triangles chosen, in pieces to be drawn one after the other.
  const std::vector<std::vector<unsigned int>>& corners() const { return _pieces; }

  // The pixel centres a vertex may lie on or beyond along each axis of the window: centres are at
  // n + 0.5, and the vertex lies between centres low and high (none when high < low) on each axis.
  // Saturated to 16 bits: no frame buffer reaches that far.
  struct CentreSpan {
    short lowX, highX, lowY, highY;
  };

private:
  std::vector<std::vector<unsigned int>> _pieces; // one a thread
};
