#include "rendering/CoveringTrianglesGL.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

using CentreSpan = CoveringTrianglesGL::CentreSpan;

// Vertices are placed a batch at a time, in loops without branches.
constexpr int batchSize = 64;

// OpenGL's transform from object coordinates to the window, and the magnitudes that bound its rounding.
class WindowTransform {
public:
  WindowTransform() {
    double modelView[16], projection[16];
    GLint box[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, box);
    const int rows[3] = {0, 1, 3}; // x, y and w; depth does not place a triangle on the screen
    for (int r = 0; r < 3; ++r)
      for (int column = 0; column < 4; ++column)
        for (int k = 0; k < 4; ++k) {
          _clip[r][column] += projection[k * 4 + rows[r]] * modelView[column * 4 + k];
          _size[r][column] += std::fabs(projection[k * 4 + rows[r]]) * std::fabs(modelView[column * 4 + k]);
        }
    for (int axis = 0; axis < 2; ++axis) {
      _half[axis] = box[2 + axis] / 2.0;
      _centre[axis] = box[axis] + _half[axis];
      _far[axis] = std::fabs(box[axis]) + box[2 + axis];
    }
  }

  // The spans of n vertices (at most a batch) from their positions.
  void place(const float* positions, int n, CentreSpan* spans) const {
    double first[2][batchSize], last[2][batchSize]; // the reach of each vertex along each axis
    for (int i = 0; i < n; ++i) {
      const float* p = positions + 3 * i;
      const double x = p[0], y = p[1], z = p[2];
      double c[3], size[3];
      for (int r = 0; r < 3; ++r) {
        c[r] = _clip[r][0] * x + _clip[r][1] * y + _clip[r][2] * z + _clip[r][3];
        size[r] = _size[r][0] * std::fabs(x) + _size[r][1] * std::fabs(y) + _size[r][2] * std::fabs(z) +
                  _size[r][3];
      }
      // OpenGL's single-precision sums of a few products each differ from the exact ones by far less.
      // Where that bound is more than a hundredth of w, the vertex is near the eye's plane, or behind
      // it and clipped: it is not placed, and may lie anywhere.
      const double errorW = 0x1p-18 * size[2];
      const bool placed = errorW < 0.01 * c[2];
      const double inverseW = placed ? 1 / c[2] : 0, errorScale = 1.02 * inverseW; // >= 1 / (w - errorW)
      for (int axis = 0; axis < 2; ++axis) {
        const double normalised = c[axis] * inverseW;
        const double window = _centre[axis] + normalised * _half[axis];
        // The rounding of the clip coordinate, of w, of the division and of the viewport transform,
        // the rasteriser's snapping of positions to 1/256 pixel, and a margin.
        const double margin =
            (0x1p-18 * size[axis] + std::fabs(normalised) * errorW) * errorScale * _half[axis] +
            0x1p-20 * (std::fabs(window) + _far[axis]) + 1.0 / 128;
        // Off any frame buffer's reach, or not a number: anywhere. Comparisons with it are false.
        const bool inside = placed && std::fabs(window) < 0x1p15;
        first[axis][i] = inside ? std::max(window - margin - 0.5, -0x1p15 - 1) : -0x1p15 - 1;
        last[axis][i] = inside ? std::min(window + margin - 0.5, 0x1p15 + 1) : 0x1p15 + 1;
      }
    }
    for (int i = 0; i < n; ++i)
      spans[i] = {roundedUp(first[0][i]), roundedDown(last[0][i]), roundedUp(first[1][i]),
                  roundedDown(last[1][i])};
  }

private:
  // The nearest centres at or beyond a reach within +-(2^15 + 1), saturated to 16 bits: every low and
  // high alike, which never leaves out a triangle that may cover a centre, and only keeps in addition
  // triangles whose box lies beyond the reach of any frame buffer. Shifted to positive values,
  // truncation rounds down.
  static short roundedDown(double reach) { return saturated(static_cast<int>(reach + 0x1p16) - 0x10000); }
  static short roundedUp(double reach) { return saturated(0x10000 - static_cast<int>(0x1p16 - reach)); }
  static short saturated(int centre) { return static_cast<short>(std::clamp(centre, -0x8000, 0x7fff)); }

  double _clip[3][4] = {};
  double _size[3][4] = {}; // |projection| times |model-view|: the size of the terms OpenGL sums
  double _half[2], _centre[2], _far[2];
};

// Whether the triangle's box on the screen may hold a pixel centre.
inline bool mayCover(const CentreSpan& a, const CentreSpan& b, const CentreSpan& c) {
  const auto reaches = [](short low1, short low2, short low3, short high1, short high2, short high3) {
    return std::max(high1, std::max(high2, high3)) >= std::min(low1, std::min(low2, low3));
  };
  return reaches(a.lowX, b.lowX, c.lowX, a.highX, b.highX, c.highX) &
         reaches(a.lowY, b.lowY, c.lowY, a.highY, b.highY, c.highY);
}

// Threads for the blocks of a choice: one a core. Threads of their own, not OpenMP's, whose idle threads
// spin for milliseconds after a parallel region, on the cores the rasteriser's threads need next.
std::size_t threadCount() {
  return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
}

// Calls work(begin, end, block) on consecutive blocks of [0, count), one a thread, and waits for all.
// A small count is one block, worked on in the calling thread: starting a thread costs more.
template <class Work> void inBlocks(std::size_t count, const Work& work) {
  const std::size_t blocks = count < 4096 ? 1 : threadCount();
  const auto bound = [&](std::size_t block) { return count * block / blocks; };
  std::vector<std::thread> threads;
  for (std::size_t block = 1; block < blocks; ++block)
    threads.emplace_back([&, block] { work(bound(block), bound(block + 1), block); });
  work(0, bound(1), 0);
  for (std::thread& thread : threads) thread.join();
}

// Whether a triangle draws nothing beyond the pixel centres it covers.
bool glFillsCentresOnly() {
  GLint sampleBuffers = 0, modes[2] = {GL_FILL, GL_FILL};
  glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
  glGetIntegerv(GL_POLYGON_MODE, modes);
  return !(sampleBuffers > 0 && glIsEnabled(GL_MULTISAMPLE)) && !glIsEnabled(GL_POLYGON_SMOOTH) &&
         modes[0] == GL_FILL && modes[1] == GL_FILL;
}

} // namespace

bool CoveringTrianglesGL::glRendersInSoftware() {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  return renderer && (std::strstr(renderer, "llvmpipe") || std::strstr(renderer, "softpipe"));
}

bool CoveringTrianglesGL::glChoose(const float* positions, std::size_t numVertices,
                                   const unsigned int* corners, std::size_t count) {
  if (!glFillsCentresOnly()) return false;
  const WindowTransform transform;
  std::vector<CentreSpan> spans(numVertices); // gone before the triangles are drawn
  _pieces.assign(threadCount(), {});
  inBlocks(numVertices, [&](std::size_t begin, std::size_t end, std::size_t) {
    for (std::size_t first = begin; first < end; first += batchSize)
      transform.place(positions + 3 * first, static_cast<int>(std::min<std::size_t>(batchSize, end - first)),
                      &spans[first]);
  });
  inBlocks(count / 3, [&](std::size_t begin, std::size_t end, std::size_t block) {
    const auto kept = [&](std::size_t t) {
      const unsigned int* triangle = corners + 3 * t;
      // A corner beyond the vertices is left to OpenGL.
      return std::max({triangle[0], triangle[1], triangle[2]}) >= numVertices ||
             mayCover(spans[triangle[0]], spans[triangle[1]], spans[triangle[2]]);
    };
    // Counted first, so that the piece takes no more memory than its corners, while the spans still do.
    std::size_t keptCount = 0;
    for (std::size_t t = begin; t < end; ++t) keptCount += kept(t);
    std::vector<unsigned int>& piece = _pieces[block];
    piece.reserve(3 * keptCount);
    for (std::size_t t = begin; t < end; ++t)
      if (kept(t)) piece.insert(piece.end(), corners + 3 * t, corners + 3 * t + 3);
  });
  return true;
}
