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

// The interposed entry points: they record, then call the library's own function.
#define FORWARD(name, type, ...)                                                                             \
  if (forwarding()) {                                                                                        \
    static const auto function = real<type>(#name);                                                          \
    if (function) function(__VA_ARGS__);                                                                     \
  }

extern "C" {

void glBegin(GLenum mode) {
  record("glBegin", {double(mode)});
  FORWARD(glBegin, void (*)(GLenum), mode)
}
void glEnd() {
  record("glEnd", {});
  FORWARD(glEnd, void (*)())
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  record("glVertex3f", {x, y, z});
  FORWARD(glVertex3f, void (*)(GLfloat, GLfloat, GLfloat), x, y, z)
}
void glVertex2f(GLfloat x, GLfloat y) {
  record("glVertex2f", {x, y});
  FORWARD(glVertex2f, void (*)(GLfloat, GLfloat), x, y)
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
  record("glNormal3f", {x, y, z});
  FORWARD(glNormal3f, void (*)(GLfloat, GLfloat, GLfloat), x, y, z)
}
void glColor4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a) {
  record("glColor4ub", {double(r), double(g), double(b), double(a)});
  FORWARD(glColor4ub, void (*)(GLubyte, GLubyte, GLubyte, GLubyte), r, g, b, a)
}
void glColor3ub(GLubyte r, GLubyte g, GLubyte b) {
  record("glColor3ub", {double(r), double(g), double(b)});
  FORWARD(glColor3ub, void (*)(GLubyte, GLubyte, GLubyte), r, g, b)
}
void glEnable(GLenum capability) {
  record("glEnable", {double(capability)});
  FORWARD(glEnable, void (*)(GLenum), capability)
}
void glDisable(GLenum capability) {
  record("glDisable", {double(capability)});
  FORWARD(glDisable, void (*)(GLenum), capability)
}
void glPushMatrix() {
  record("glPushMatrix", {});
  FORWARD(glPushMatrix, void (*)())
}
void glPopMatrix() {
  record("glPopMatrix", {});
  FORWARD(glPopMatrix, void (*)())
}
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  record("glTranslatef", {x, y, z});
  FORWARD(glTranslatef, void (*)(GLfloat, GLfloat, GLfloat), x, y, z)
}
void glPointSize(GLfloat size) {
  record("glPointSize", {size});
  FORWARD(glPointSize, void (*)(GLfloat), size)
}
void glLineWidth(GLfloat width) {
  record("glLineWidth", {width});
  FORWARD(glLineWidth, void (*)(GLfloat), width)
}
void glMaterialfv(GLenum face, GLenum name, const GLfloat* values) {
  record("glMaterialfv", {double(face), double(name), values[0], values[1], values[2], values[3]});
  FORWARD(glMaterialfv, void (*)(GLenum, GLenum, const GLfloat*), face, name, values)
}
void glMaterialf(GLenum face, GLenum name, GLfloat value) {
  record("glMaterialf", {double(face), double(name), value});
  FORWARD(glMaterialf, void (*)(GLenum, GLenum, GLfloat), face, name, value)
}
void glCullFace(GLenum mode) {
  record("glCullFace", {double(mode)});
  FORWARD(glCullFace, void (*)(GLenum), mode)
}
void glDepthMask(GLboolean flag) {
  record("glDepthMask", {double(flag)});
  FORWARD(glDepthMask, void (*)(GLboolean), flag)
}
void glMatrixMode(GLenum mode) {
  record("glMatrixMode", {double(mode)});
  FORWARD(glMatrixMode, void (*)(GLenum), mode)
}
void glLoadIdentity() {
  record("glLoadIdentity", {});
  FORWARD(glLoadIdentity, void (*)())
}
void glClear(GLbitfield mask) {
  record("glClear", {double(mask)});
  FORWARD(glClear, void (*)(GLbitfield), mask)
}
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) {
  record("glClearColor", {r, g, b, a});
  FORWARD(glClearColor, void (*)(GLfloat, GLfloat, GLfloat, GLfloat), r, g, b, a)
}
void glNewList(GLuint list, GLenum mode) {
  record("glNewList", {double(list), double(mode)});
  FORWARD(glNewList, void (*)(GLuint, GLenum), list, mode)
}
void glEndList() {
  record("glEndList", {});
  FORWARD(glEndList, void (*)())
}
void glCallList(GLuint list) {
  record("glCallList", {double(list)});
  FORWARD(glCallList, void (*)(GLuint), list)
}
void glDeleteLists(GLuint list, GLsizei range) {
  record("glDeleteLists", {double(list), double(range)});
  FORWARD(glDeleteLists, void (*)(GLuint, GLsizei), list, range)
}
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
  FORWARD(glDeleteTextures, void (*)(GLsizei, const GLuint*), n, textures)
}
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
  record("glTexImage2D", {double(width), double(height), double(format), double(type)});
  FORWARD(glTexImage2D, void (*)(GLenum, GLint, GLint, GLsizei, GLsizei, GLint, GLenum, GLenum, const void*),
          target, level, internalFormat, width, height, border, format, type, pixels)
}
void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
  record("gluSphere", {radius, double(slices), double(stacks)});
  FORWARD(gluSphere, void (*)(GLUquadric*, GLdouble, GLint, GLint), quadric, radius, slices, stacks)
}
void gluQuadricDrawStyle(GLUquadric* quadric, GLenum style) {
  record("gluQuadricDrawStyle", {double(style)});
  FORWARD(gluQuadricDrawStyle, void (*)(GLUquadric*, GLenum), quadric, style)
}
void gluQuadricNormals(GLUquadric* quadric, GLenum normals) {
  record("gluQuadricNormals", {double(normals)});
  FORWARD(gluQuadricNormals, void (*)(GLUquadric*, GLenum), quadric, normals)
}

} // extern "C"

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
