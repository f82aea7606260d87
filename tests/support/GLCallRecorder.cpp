#include "tests/support/GLCallRecorder.h"

#include <QOpenGLContext>

#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

struct State {
  bool recording = false;
  bool forwarding = true;
  std::vector<GLCall> calls;
  GLuint nextList = 1;
} state;

void record(const char* name, std::initializer_list<double> args) {
  if (state.recording)
    state.calls.push_back({name, std::vector<double>(args), QOpenGLContext::currentContext()});
}

bool forwarding() {
  return !state.recording || state.forwarding;
}

template <class F> F real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

// The interposed entry points: each records its name and the given values, then calls the library's own
// function (unless a recorder that does not forward is recording).
#define FORWARD(name, arguments)                                                                             \
  if (forwarding()) {                                                                                        \
    static const auto function = real<decltype(&name)>(#name);                                               \
    if (function) function arguments;                                                                        \
  }
#define INTERPOSE(name, parameters, arguments, ...)                                                          \
  void name parameters {                                                                                     \
    record(#name, {__VA_ARGS__});                                                                            \
    FORWARD(name, arguments)                                                                                 \
  }

extern "C" {

INTERPOSE(glBegin, (GLenum mode), (mode), double(mode))
INTERPOSE(glEnd, (), ())
INTERPOSE(glVertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
INTERPOSE(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
INTERPOSE(glColor4ub, (GLubyte r, GLubyte g, GLubyte b, GLubyte a), (r, g, b, a), double(r), double(g),
          double(b), double(a))
INTERPOSE(glEnable, (GLenum capability), (capability), double(capability))
INTERPOSE(glDisable, (GLenum capability), (capability), double(capability))
INTERPOSE(glPushMatrix, (), ())
INTERPOSE(glPopMatrix, (), ())
INTERPOSE(glTranslatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
INTERPOSE(glPointSize, (GLfloat size), (size), size)
INTERPOSE(glLineWidth, (GLfloat width), (width), width)
INTERPOSE(glMaterialfv, (GLenum face, GLenum name, const GLfloat* v), (face, name, v), double(face),
          double(name), v[0], v[1], v[2], v[3])
INTERPOSE(glMaterialf, (GLenum face, GLenum name, GLfloat value), (face, name, value), double(face),
          double(name), value)
INTERPOSE(glCullFace, (GLenum mode), (mode), double(mode))
INTERPOSE(glDrawElements, (GLenum mode, GLsizei count, GLenum type, const void* indices),
          (mode, count, type, indices), double(mode), double(count))
INTERPOSE(glNewList, (GLuint list, GLenum mode), (list, mode), double(list), double(mode))
INTERPOSE(glEndList, (), ())
INTERPOSE(glCallList, (GLuint list), (list), double(list))
INTERPOSE(glDeleteLists, (GLuint list, GLsizei range), (list, range), double(list), double(range))
INTERPOSE(gluSphere, (GLUquadric * quadric, GLdouble radius, GLint slices, GLint stacks),
          (quadric, radius, slices, stacks), radius, double(slices), double(stacks))
INTERPOSE(gluQuadricDrawStyle, (GLUquadric * quadric, GLenum style), (quadric, style), double(style))
INTERPOSE(gluQuadricNormals, (GLUquadric * quadric, GLenum normals), (quadric, normals), double(normals))

GLuint glGenLists(GLsizei range) { // without forwarding, names come from a counter
  static const auto function = real<decltype(&glGenLists)>("glGenLists");
  const GLuint list = forwarding() ? (function ? function(range) : 0)
                                   : std::exchange(state.nextList, state.nextList + GLuint(range));
  record("glGenLists", {double(range), double(list)});
  return list;
}
void glGenTextures(GLsizei n, GLuint* textures) {
  std::fill_n(textures, n, 0u); // no names without forwarding
  FORWARD(glGenTextures, (n, textures))
  record("glGenTextures", {double(n), double(textures[0])}); // painters make one at a time
}
INTERPOSE(glDeleteTextures, (GLsizei n, const GLuint* textures), (n, textures), double(n),
          double(textures[0]))

} // extern "C"

#undef INTERPOSE
#undef FORWARD

GLCallRecorder::GLCallRecorder(bool forward) {
  state.calls.clear();
  state.forwarding = forward;
  state.recording = true;
}

GLCallRecorder::~GLCallRecorder() {
  state.recording = false;
  state.forwarding = true;
  state.calls.clear();
}

const std::vector<GLCall>& GLCallRecorder::calls() const {
  return state.calls;
}

std::vector<GLCall> GLCallRecorder::named(const std::string& name) const {
  std::vector<GLCall> result;
  for (const GLCall& call : state.calls)
    if (call.name == name) result.push_back(call);
  return result;
}

std::vector<GLCallRecorder::Batch> GLCallRecorder::batches() const {
  std::vector<Batch> result;
  std::vector<double> normal = {0, 0, 1};
  bool inside = false;
  for (const GLCall& call : state.calls) {
    if (call.name == "glBegin") {
      result.push_back(Batch{static_cast<int>(call.args[0]), {}, {}});
      inside = true;
    } else if (call.name == "glEnd") {
      inside = false;
    } else if (call.name == "glNormal3f") {
      normal = call.args;
    } else if (inside && call.name == "glVertex3f") {
      result.back().vertices.push_back(call.args);
      result.back().normals.push_back(normal);
    }
  }
  return result;
}

void GLCallRecorder::clear() {
  state.calls.clear();
}
