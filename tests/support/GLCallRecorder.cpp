#include "tests/support/GLCallRecorder.h"

#include <QOpenGLContext>

#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>

#include <initializer_list>

namespace {

struct State {
  bool recording = false;
  bool forwarding = true;
  std::vector<GLCall> calls;
  GLuint nextList = 1;
};

State& state() {
  static State instance;
  return instance;
}

void record(const char* name, std::initializer_list<double> args) {
  if (state().recording)
    state().calls.push_back({name, std::vector<double>(args), QOpenGLContext::currentContext()});
}

bool forwarding() {
  return !state().recording || state().forwarding;
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
INTERPOSE(glVertex2f, (GLfloat x, GLfloat y), (x, y), x, y)
INTERPOSE(glNormal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z), x, y, z)
INTERPOSE(glColor4ub, (GLubyte r, GLubyte g, GLubyte b, GLubyte a), (r, g, b, a), double(r), double(g),
          double(b), double(a))
INTERPOSE(glColor3ub, (GLubyte r, GLubyte g, GLubyte b), (r, g, b), double(r), double(g), double(b))
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
INTERPOSE(glDepthMask, (GLboolean flag), (flag), double(flag))
INTERPOSE(glMatrixMode, (GLenum mode), (mode), double(mode))
INTERPOSE(glLoadIdentity, (), ())
INTERPOSE(glClear, (GLbitfield mask), (mask), double(mask))
INTERPOSE(glClearColor, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a), r, g, b, a)
INTERPOSE(glNewList, (GLuint list, GLenum mode), (list, mode), double(list), double(mode))
INTERPOSE(glEndList, (), ())
INTERPOSE(glCallList, (GLuint list), (list), double(list))
INTERPOSE(glDeleteLists, (GLuint list, GLsizei range), (list, range), double(list), double(range))
INTERPOSE(glTexImage2D,
          (GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
           GLenum format, GLenum type, const void* pixels),
          (target, level, internalFormat, width, height, border, format, type, pixels), double(width),
          double(height), double(format), double(type))
INTERPOSE(gluSphere, (GLUquadric * quadric, GLdouble radius, GLint slices, GLint stacks),
          (quadric, radius, slices, stacks), radius, double(slices), double(stacks))
INTERPOSE(gluQuadricDrawStyle, (GLUquadric * quadric, GLenum style), (quadric, style), double(style))
INTERPOSE(gluQuadricNormals, (GLUquadric * quadric, GLenum normals), (quadric, normals), double(normals))

GLuint glGenLists(GLsizei range) {
  GLuint list = 0;
  if (forwarding()) {
    static const auto function = real<GLuint (*)(GLsizei)>("glGenLists");
    list = function ? function(range) : 0;
  } else {
    list = state().nextList;
    state().nextList += static_cast<GLuint>(range);
  }
  record("glGenLists", {double(range), double(list)});
  return list;
}
void glGenTextures(GLsizei n, GLuint* textures) {
  if (forwarding()) {
    static const auto function = real<void (*)(GLsizei, GLuint*)>("glGenTextures");
    if (function) function(n, textures);
  } else {
    for (GLsizei k = 0; k < n; ++k) textures[k] = state().nextList++;
  }
  for (GLsizei k = 0; k < n; ++k) record("glGenTextures", {1.0, double(textures[k])});
}
void glDeleteTextures(GLsizei n, const GLuint* textures) {
  for (GLsizei k = 0; k < n; ++k) record("glDeleteTextures", {1.0, double(textures[k])});
  FORWARD(glDeleteTextures, (n, textures))
}

} // extern "C"

#undef INTERPOSE
#undef FORWARD

GLCallRecorder::GLCallRecorder(bool forward) {
  state().calls.clear();
  state().forwarding = forward;
  state().recording = true;
}

GLCallRecorder::~GLCallRecorder() {
  state().recording = false;
  state().forwarding = true;
  state().calls.clear();
}

const std::vector<GLCall>& GLCallRecorder::calls() const {
  return state().calls;
}

std::vector<std::string> GLCallRecorder::names() const {
  std::vector<std::string> result;
  for (const GLCall& call : state().calls) result.push_back(call.name);
  return result;
}

std::vector<GLCall> GLCallRecorder::named(const std::string& name) const {
  std::vector<GLCall> result;
  for (const GLCall& call : state().calls)
    if (call.name == name) result.push_back(call);
  return result;
}

int GLCallRecorder::count(const std::string& name) const {
  return static_cast<int>(named(name).size());
}

std::vector<GLCallRecorder::Batch> GLCallRecorder::batches() const {
  std::vector<Batch> result;
  std::vector<double> normal = {0, 0, 1};
  bool inside = false;
  for (const GLCall& call : state().calls) {
    if (call.name == "glBegin") {
      result.push_back(Batch{static_cast<int>(call.args[0]), {}, {}});
      inside = true;
    } else if (call.name == "glEnd") {
      inside = false;
    } else if (call.name == "glNormal3f") {
      normal = call.args;
    } else if (inside && (call.name == "glVertex3f" || call.name == "glVertex2f")) {
      std::vector<double> vertex = call.args;
      if (vertex.size() == 2) vertex.push_back(0.0);
      result.back().vertices.push_back(vertex);
      result.back().normals.push_back(normal);
    }
  }
  return result;
}

void GLCallRecorder::clear() {
  state().calls.clear();
}
