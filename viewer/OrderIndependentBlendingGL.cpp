#define GL_GLEXT_PROTOTYPES // before the header, which includes gl.h
#include "viewer/OrderIndependentBlendingGL.h"

#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>

namespace {

const GLuint noFragment = 0xFFFFFFFFu;

// Stores each fragment that passes the depth test (which runs before the shader) in its pixel's list.
const char* const collectSource = R"(#version 450 compatibility
layout(early_fragment_tests) in;
layout(binding = 0, r32ui) uniform coherent uimage2D heads;
layout(std430, binding = 0) buffer Fragments { uint count; uint data[]; };
uniform uint capacity;
void main() {
  uint index = atomicAdd(count, 1u);
  if (index >= capacity) return;
  data[3u * index] = packUnorm4x8(gl_Color);
  data[3u * index + 1u] = floatBitsToUint(gl_FragCoord.z);
  data[3u * index + 2u] = imageAtomicExchange(heads, ivec2(gl_FragCoord.xy), index);
}
)";

// Lays the pixel's fragments over each other from the front: premultiplied colour and the coverage
// they leave. Each step walks the list for the nearest fragment behind the last one laid (in depth,
// then index, order), which needs no storage per pixel; the 32 nearest are laid. Pixels of a 4 x 4
// block that lie outside the buffer must not walk any list: llvmpipe shades the whole block, and
// such a pixel's walk spoils the block's other pixels.
const char* const resolveSource = R"(#version 450 compatibility
layout(binding = 0, r32ui) uniform readonly uimage2D heads;
layout(std430, binding = 0) readonly buffer Fragments { uint count; uint data[]; };
const uint none = 0xFFFFFFFFu;
const int most = 32;
void main() {
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  uint head = all(lessThan(pixel, imageSize(heads))) ? imageLoad(heads, pixel).r : none;
  vec3 color = vec3(0.0);
  float transmittance = 1.0;
  float lastDepth = -1.0;
  uint last = none;
  for (int laid = 0; laid < most; ++laid) {
    float nearestDepth = 2.0;
    uint nearest = none;
    for (uint index = head; index != none; index = data[3u * index + 2u]) {
      float depth = uintBitsToFloat(data[3u * index + 1u]);
      bool behindLast = depth > lastDepth || (depth == lastDepth && (last == none || index > last));
      bool nearer = depth < nearestDepth || (depth == nearestDepth && index < nearest);
      if (behindLast && nearer) {
        nearestDepth = depth;
        nearest = index;
      }
    }
    if (nearest == none) break;
    vec4 c = unpackUnorm4x8(data[3u * nearest]);
    color += transmittance * c.a * c.rgb;
    transmittance *= 1.0 - c.a;
    lastDepth = nearestDepth;
    last = nearest;
  }
  gl_FragColor = vec4(color, 1.0 - transmittance);
}
)";

bool contextSuffices() {
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  int major = 0, minor = 0;
  if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
  return major > 4 || (major == 4 && minor >= 5);
}

// A program of one fragment shader (the fixed-function stage shades the vertices); 0 when the driver
// refuses it, whose log then goes to the standard error stream.
GLuint fragmentProgram(const char* source) {
  const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  const GLuint program = glCreateProgram();
  glAttachShader(program, shader);
  glLinkProgram(program);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  GLchar log[1024] = "";
  if (!linked) glGetShaderInfoLog(shader, sizeof log, nullptr, log);
  glDeleteShader(shader); // goes with the program
  if (linked) return program;
  std::cerr << "Translucent surfaces are blended in drawing order: the OpenGL driver refuses a shader\n"
            << log << std::endl;
  glDeleteProgram(program);
  return 0;
}

} // namespace

bool OrderIndependentBlendingGL::glDraw(int width, int height, const std::function<void()>& drawTranslucent) {
  if (!glPrepare(width, height)) return false;
  glCollect(drawTranslucent);
  const long long stored = storedFragments();
  if (stored > _capacity && _capacity < maximumFragments) {
    glReserve(stored + stored / 4);
    glCollect(drawTranslucent);
  }
  glResolve();
  return true;
}

bool OrderIndependentBlendingGL::glPrepare(int width, int height) {
  if (_unavailable) return false;
  if (_collectProgram.name() == 0) {
    _unavailable = !contextSuffices();
    if (_unavailable) return false;
    _collectProgram = GLObject(GLObject::Kind::Program, fragmentProgram(collectSource));
    _resolveProgram = GLObject(GLObject::Kind::Program, fragmentProgram(resolveSource));
    _unavailable = _collectProgram.name() == 0 || _resolveProgram.name() == 0;
    if (_unavailable) return false;
  }
  if (width != _width || height != _height || _heads.name() == 0) {
    GLuint heads = 0;
    glCreateTextures(GL_TEXTURE_2D, 1, &heads);
    glTextureStorage2D(heads, 1, GL_R32UI, width, height);
    _heads = GLObject(GLObject::Kind::Texture, heads);
    _width = width;
    _height = height;
  }
  // Room for four layers over the whole buffer, enough for most scenes from the first frame.
  if (_fragments.name() == 0) glReserve(4LL * width * height);
  return true;
}

void OrderIndependentBlendingGL::glReserve(long long fragments) {
  GLint64 largestBlock = 0;
  glGetInteger64v(GL_MAX_SHADER_STORAGE_BLOCK_SIZE, &largestBlock);
  _capacity = std::min({fragments, maximumFragments, static_cast<long long>((largestBlock - 4) / 12)});
  GLuint buffer = 0;
  glCreateBuffers(1, &buffer);
  glNamedBufferData(buffer, 4 + 12 * _capacity, nullptr, GL_DYNAMIC_COPY);
  _fragments = GLObject(GLObject::Kind::Buffer, buffer);
}

void OrderIndependentBlendingGL::glCollect(const std::function<void()>& drawTranslucent) const {
  glClearTexImage(_heads.name(), 0, GL_RED_INTEGER, GL_UNSIGNED_INT, &noFragment);
  const GLuint none = 0;
  glNamedBufferSubData(_fragments.name(), 0, sizeof none, &none);
  glBindImageTexture(0, _heads.name(), 0, GL_FALSE, 0, GL_READ_WRITE, GL_R32UI);
  glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, _fragments.name());
  glUseProgram(_collectProgram.name());
  glUniform1ui(glGetUniformLocation(_collectProgram.name(), "capacity"), static_cast<GLuint>(_capacity));
  glPushAttrib(GL_COLOR_BUFFER_BIT);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  drawTranslucent();
  glPopAttrib();
  glUseProgram(0);
  glMemoryBarrier(GL_SHADER_IMAGE_ACCESS_BARRIER_BIT | GL_SHADER_STORAGE_BARRIER_BIT |
                  GL_BUFFER_UPDATE_BARRIER_BIT);
}

unsigned OrderIndependentBlendingGL::storedFragments() const {
  GLuint count = 0;
  glGetNamedBufferSubData(_fragments.name(), 0, sizeof count, &count);
  return count;
}

void OrderIndependentBlendingGL::glResolve() const {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_VIEWPORT_BIT | GL_SCISSOR_BIT);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  glEnable(GL_SCISSOR_TEST);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glUseProgram(_resolveProgram.name());
  // The buffer in square tiles, each shaded by one triangle that no clipping cuts: llvmpipe gets the
  // lists of the 4 x 4 pixel blocks wrong where two triangles meet (as those of a rectangle do, or of
  // a clipped triangle). The viewport is twice the tile, whose pixels then lie in the lower left
  // quarter of the triangle's half of it; tiles are a multiple of 64 pixels, so blocks stay whole.
  GLint largestViewport[2] = {0, 0};
  glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largestViewport);
  const int tile = std::max(64, std::min(largestViewport[0], largestViewport[1]) / 2 / 64 * 64);
  for (int y = 0; y < _height; y += tile)
    for (int x = 0; x < _width; x += tile) {
      glViewport(x, y, 2 * tile, 2 * tile);
      glScissor(x, y, tile, tile);
      glBegin(GL_TRIANGLES);
      glVertex2f(-1.0f, -1.0f);
      glVertex2f(1.0f, -1.0f);
      glVertex2f(-1.0f, 1.0f);
      glEnd();
    }
  glUseProgram(0);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
  glBindImageTexture(0, 0, 0, GL_FALSE, 0, GL_READ_ONLY, GL_R32UI);
  glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, 0);
}
