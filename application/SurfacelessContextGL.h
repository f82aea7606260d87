#pragma once

// An OpenGL context of the program's own that needs no display server: Mesa's surfaceless EGL
// platform, compatibility profile (fixed-function OpenGL, GLU and display lists). It has no frame
// buffer of its own; draw into frame buffer objects. Current from construction to destruction.
class SurfacelessContextGL {
public:
  // Creates the context and makes it current; a ProgramError says which step failed when the
  // platform or such a context is not available.
  SurfacelessContextGL();
  ~SurfacelessContextGL(); // releases and destroys the context
  SurfacelessContextGL(const SurfacelessContextGL&) = delete;
  SurfacelessContextGL& operator=(const SurfacelessContextGL&) = delete;

private:
  void release();

  void* _display = nullptr; // EGLDisplay
  void* _context = nullptr; // EGLContext
};
