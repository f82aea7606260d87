#pragma once

#include "rendering/GLObject.h"

#include <functional>

// Blends translucent surfaces in depth order at every pixel, whatever order they are drawn in and
// however they intersect. Drawing stores every fragment that passes the depth test (colour, depth)
// in a list per pixel instead of writing it; a second pass over the draw buffer sorts each list and
// lays its fragments over the pixel from back to front. The geometry is drawn once per frame, and
// again only when the lists outgrow their storage, which then grows for the frames to come (up to
// maximumFragments, beyond which the fragments drawn last are dropped). A pixel blends its 32 nearest
// fragments and drops those behind them.
// Needs OpenGL 4.5 in a compatibility context (fixed-function vertex stage, shader storage, image
// atomics, direct state access); the objects belong to the context current at the first draw.
class OrderIndependentBlendingGL {
public:
  static constexpr long long maximumFragments = 1 << 24; // 12 bytes each

  // Draws with drawTranslucent, which issues the surfaces with the depth test on and depth writes
  // off, into a draw buffer of width x height pixels, and blends the result over it (premultiplied:
  // alpha becomes coverage over a transparent background). Returns false, drawing nothing, when the
  // current context cannot do it.
  bool glDraw(int width, int height, const std::function<void()>& drawTranslucent);

private:
  bool glPrepare(int width, int height); // the programs, the list heads of the size and the storage
  void glCollect(const std::function<void()>& drawTranslucent) const;
  void glResolve() const;
  unsigned storedFragments() const;
  void glReserve(long long fragments);

  bool _unavailable = false;
  GLObject _collectProgram;
  GLObject _resolveProgram;
  GLObject _heads;     // r32ui texture: the index of the last fragment stored at each pixel
  GLObject _fragments; // shader storage: the count, then colour, depth and next index of each fragment
  int _width = 0;
  int _height = 0;
  long long _capacity = 0;
};
