#include "rendering/GLObject.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>

#include <unordered_map>
#include <utility>
#include <vector>

namespace {

struct Waiting {
  GLObject::Kind kind;
  GLuint name;
};

// Every context that objects were made in and is still alive, with the objects waiting for it.
struct ContextRecord {
  unsigned long serial;
  std::vector<Waiting> waiting;
};

struct Registry {
  std::unordered_map<QOpenGLContext*, ContextRecord> contexts;
  unsigned long nextSerial = 1;
};

// Never destroyed: a context may go after static destruction has begun.
Registry& registry() {
  static Registry* instance = new Registry;
  return *instance;
}

// With the object's context current (or none for names made without one).
void deleteNow(GLObject::Kind kind, GLuint name) {
  switch (kind) {
  case GLObject::Kind::DisplayList:
    glDeleteLists(name, 1);
    break;
  case GLObject::Kind::Texture:
    glDeleteTextures(1, &name);
    break;
  case GLObject::Kind::Framebuffer:
    if (QOpenGLContext* context = QOpenGLContext::currentContext())
      context->functions()->glDeleteFramebuffers(1, &name);
    break;
  case GLObject::Kind::Program:
    if (QOpenGLContext* context = QOpenGLContext::currentContext())
      context->functions()->glDeleteProgram(name);
    break;
  case GLObject::Kind::Buffer:
    if (QOpenGLContext* context = QOpenGLContext::currentContext())
      context->functions()->glDeleteBuffers(1, &name);
    break;
  }
}

void forget(QOpenGLContext* context) {
  auto found = registry().contexts.find(context);
  if (found == registry().contexts.end()) return;
  // Qt makes a widget's context current before destroying it; then its objects can go properly.
  if (QOpenGLContext::currentContext() == context)
    for (const Waiting& object : found->second.waiting) deleteNow(object.kind, object.name);
  registry().contexts.erase(found);
}

unsigned long enrol(QOpenGLContext* context) {
  if (!context) return 0;
  auto found = registry().contexts.find(context);
  if (found != registry().contexts.end()) return found->second.serial;
  const unsigned long serial = registry().nextSerial++;
  registry().contexts.emplace(context, ContextRecord{serial, {}});
  QObject::connect(context, &QOpenGLContext::aboutToBeDestroyed, [context] { forget(context); });
  return serial;
}

} // namespace

GLObject::GLObject(Kind kind, GLuint name) : _kind(kind), _name(name) {
  if (_name == 0) return;
  _context = QOpenGLContext::currentContext();
  _contextSerial = enrol(_context);
}

GLObject::GLObject(GLObject&& other) noexcept
    : _kind(other._kind), _name(std::exchange(other._name, 0)), _context(other._context),
      _contextSerial(other._contextSerial) {}

GLObject& GLObject::operator=(GLObject&& other) noexcept {
  if (&other != this) {
    reset();
    _kind = other._kind;
    _name = std::exchange(other._name, 0);
    _context = other._context;
    _contextSerial = other._contextSerial;
  }
  return *this;
}

void GLObject::reset() {
  if (_name == 0) return;
  const GLuint name = std::exchange(_name, 0);
  QOpenGLContext* current = QOpenGLContext::currentContext();
  if (!_context) {
    if (!current) deleteNow(_kind, name);
    return;
  }
  auto found = registry().contexts.find(_context);
  if (found == registry().contexts.end() || found->second.serial != _contextSerial) return; // gone with it
  if (current == _context)
    deleteNow(_kind, name);
  else
    found->second.waiting.push_back({_kind, name});
}

void GLObject::releasePending() {
  auto found = registry().contexts.find(QOpenGLContext::currentContext());
  if (found == registry().contexts.end()) return;
  const std::vector<Waiting> waiting = std::exchange(found->second.waiting, {});
  for (const Waiting& object : waiting) deleteNow(object.kind, object.name);
}
