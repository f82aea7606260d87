#pragma once

#include <GL/gl.h>

class QOpenGLContext;

// One OpenGL object (display list, texture, frame buffer, shader program or buffer) together with the context
// it was made in. An object may only be deleted while its own context is current, but painters are deleted
// whenever their model goes, with no context current or another widget's. So a painter keeps each object it
// makes in a GLObject and never deletes one itself:
//
//   _list = GLObject(GLObject::Kind::DisplayList, glGenLists(1)); // while drawing, context current
//   glCallList(_list.name());
//
// Releasing an object (reset(), assigning another, destruction) deletes it at once when its context
// is current; otherwise the name waits in a queue of that context, which ViewerCanvasGL empties with
// releasePending() at the start of every paint and, its context made current, when it is destroyed.
// A context that is destroyed takes its objects with it: its queue is then dropped without any
// OpenGL call. A name made while no context was current (only the recording layer of the tests hands
// out such names) is deleted while none is current. GUI thread only.
class GLObject {
public:
  enum class Kind { DisplayList, Texture, Framebuffer, Program, Buffer };

  GLObject() = default;
  GLObject(Kind kind, GLuint name); // takes over name, made in the current context; 0 holds nothing
  GLObject(GLObject&& other) noexcept;
  GLObject& operator=(GLObject&& other) noexcept; // releases the object held before
  GLObject(const GLObject&) = delete;
  GLObject& operator=(const GLObject&) = delete;
  ~GLObject() { reset(); }

  GLuint name() const { return _name; } // 0 when it holds nothing
  void reset();                         // releases the object as described above; holds nothing then

  // Deletes the objects waiting for the current context (nothing when none is current).
  static void releasePending();

private:
  Kind _kind = Kind::DisplayList;
  GLuint _name = 0;
  QOpenGLContext* _context = nullptr;
  unsigned long _contextSerial = 0; // tells the context from a later one made at the same address
};
