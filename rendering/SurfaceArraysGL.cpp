// The buffer object functions are declared only with this set before OpenGL's header comes in.
#define GL_GLEXT_PROTOTYPES
#include "rendering/SurfaceArraysGL.h"

#include "rendering/CoveringTrianglesGL.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>

namespace {

// Mesa's software rasteriser sorts every triangle into the tiles it covers (about 200 bytes each)
// before rasterising any, and lets the drawing thread sort scenes of tens of MB each ahead of its
// rasterising threads: 2,000,000 triangles drawn in one call took 60 to 120 MB. Drawn in parts of
// this many corners, with at most two parts in flight, they take about 7 MB, and the rasterising
// threads still work while the next part is sorted (parts twice as large drew 10 % faster but took
// twice the memory).
const std::size_t partCorners = 3 * (std::size_t(1) << 14);
const GLuint64 patienceNanoseconds = 10'000'000'000; // then the next part is drawn anyway

// The corners from position `start` on: an address in memory, or an offset in the bound buffer.
const void* cornersFrom(const unsigned int* first, std::size_t start) {
  return first ? static_cast<const void*>(first + start)
               : reinterpret_cast<const void*>(start * sizeof(unsigned int));
}

} // namespace

template <class V> void SurfaceArraysGL::Array<V>::use(const V* inPlace, std::size_t n) {
  data = inPlace;
  count = n;
}

template <class V> void SurfaceArraysGL::Array<V>::own(std::vector<V> values) {
  copy = std::move(values);
  data = copy.data();
  count = copy.size();
}

template <class V> void SurfaceArraysGL::Array<V>::glUpload(unsigned int target) {
  if (count == 0) return;
  GLuint name = 0;
  glGenBuffers(1, &name);
  buffer = GLObject(GLObject::Kind::Buffer, name);
  glBindBuffer(target, name);
  glBufferData(target, static_cast<GLsizeiptr>(count * sizeof(V)), data, GL_STATIC_DRAW);
  glBindBuffer(target, 0);
  std::vector<V>().swap(copy);
  data = nullptr;
}

template <class V> const void* SurfaceArraysGL::Array<V>::glBind(unsigned int target) const {
  glBindBuffer(target, buffer.name());
  return data; // null in a buffer object: its start
}

template <class V> const V* SurfaceArraysGL::Array<V>::glMapForReading(unsigned int target) const {
  if (buffer.name() == 0) return data;
  glBindBuffer(target, buffer.name());
  // A software rasteriser's buffer lies in this process's memory: mapped, not copied.
  return static_cast<const V*>(
      glMapBufferRange(target, 0, static_cast<GLsizeiptr>(count * sizeof(V)), GL_MAP_READ_BIT));
}

template <class V> void SurfaceArraysGL::Array<V>::glUnmap(unsigned int target) const {
  if (buffer.name() == 0) return;
  glBindBuffer(target, buffer.name());
  glUnmapBuffer(target);
  glBindBuffer(target, 0);
}

void SurfaceArraysGL::usePositions(const float* inPlace, std::size_t count) {
  _positions.use(inPlace, count);
}

void SurfaceArraysGL::ownPositions(std::vector<float> values) {
  _positions.own(std::move(values));
}

void SurfaceArraysGL::useNormals(const float* inPlace, std::size_t count) {
  _normals.use(inPlace, count);
}

void SurfaceArraysGL::ownNormals(std::vector<float> values) {
  _normals.own(std::move(values));
}

void SurfaceArraysGL::useCorners(const unsigned int* inPlace, std::size_t count) {
  _corners.use(inPlace, count);
}

void SurfaceArraysGL::ownCorners(std::vector<unsigned int> values) {
  _corners.own(std::move(values));
}

void SurfaceArraysGL::glKeepInBuffers() {
  _inBuffers = true;
  _positions.glUpload(GL_ARRAY_BUFFER);
  _normals.glUpload(GL_ARRAY_BUFFER);
  _colors.glUpload(GL_ARRAY_BUFFER);
  _corners.glUpload(GL_ELEMENT_ARRAY_BUFFER);
}

void SurfaceArraysGL::glSetColors(std::vector<unsigned char> rgba) {
  _colors = Array<unsigned char>();
  if (rgba.empty()) return;
  _colors.own(std::move(rgba));
  if (_inBuffers) _colors.glUpload(GL_ARRAY_BUFFER);
}

void SurfaceArraysGL::glEnableArrays() const {
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, _positions.glBind(GL_ARRAY_BUFFER));
  if (_normals.count > 0) {
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, _normals.glBind(GL_ARRAY_BUFFER));
  }
  if (_colors.count > 0) {
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, _colors.glBind(GL_ARRAY_BUFFER));
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void SurfaceArraysGL::glDraw() const {
  if (_corners.count == 0) return;
  CoveringTrianglesGL covering; // of this frame only: a large mesh's take megabytes
  const bool chosen = glChooseCovering(covering);
  glEnableArrays();
  if (chosen) {
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0); // the corners chosen are read from memory
    for (const std::vector<unsigned int>& piece : covering.corners())
      glDrawTriangles(piece.data(), piece.size());
  } else if (_stripLength > 0)
    glDrawStrips();
  else
    glDrawTriangles(static_cast<const unsigned int*>(_corners.glBind(GL_ELEMENT_ARRAY_BUFFER)),
                    _corners.count);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
  glPopClientAttrib();
}

void SurfaceArraysGL::glDrawTriangles(const unsigned int* first, std::size_t corners) const {
  GLsync previous = nullptr;
  for (std::size_t start = 0; start < corners; start += partCorners) {
    const std::size_t count = std::min(partCorners, corners - start);
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_INT, cornersFrom(first, start));
    if (start + count == corners) break;
    const GLsync drawn = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (previous) {
      glClientWaitSync(previous, GL_SYNC_FLUSH_COMMANDS_BIT, patienceNanoseconds);
      glDeleteSync(previous);
    }
    previous = drawn;
  }
  if (previous) glDeleteSync(previous);
}

bool SurfaceArraysGL::glChooseCovering(CoveringTrianglesGL& covering) const {
  if (_stripLength > 0 || !CoveringTrianglesGL::glRendersInSoftware()) return false;
  const float* positions = _positions.glMapForReading(GL_ARRAY_BUFFER);
  const unsigned int* corners = _corners.glMapForReading(GL_ELEMENT_ARRAY_BUFFER);
  const bool chosen =
      positions && corners && covering.glChoose(positions, _positions.count / 3, corners, _corners.count);
  _positions.glUnmap(GL_ARRAY_BUFFER);
  _corners.glUnmap(GL_ELEMENT_ARRAY_BUFFER);
  return chosen;
}

void SurfaceArraysGL::glDrawStrips() const {
  const std::size_t strips = _corners.count / static_cast<std::size_t>(_stripLength);
  const auto* first = static_cast<const unsigned int*>(_corners.glBind(GL_ELEMENT_ARRAY_BUFFER));
  std::vector<const void*> starts(strips);
  for (std::size_t s = 0; s < strips; ++s) starts[s] = cornersFrom(first, s * _stripLength);
  const std::vector<GLsizei> counts(strips, _stripLength);
  glMultiDrawElements(GL_TRIANGLE_STRIP, counts.data(), GL_UNSIGNED_INT, starts.data(),
                      static_cast<GLsizei>(strips));
}

void SurfaceArraysGL::clear() {
  _positions = Array<float>();
  _normals = Array<float>();
  _colors = Array<unsigned char>();
  _corners = Array<unsigned int>();
  _stripLength = 0;
  _inBuffers = false;
}
