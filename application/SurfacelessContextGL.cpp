#include "application/SurfacelessContextGL.h"

#include "foundation/ErrorThrowing.h"
#include "foundation/StageTimes.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <string>

namespace {} // namespace

SurfacelessContextGL::SurfacelessContextGL() {
  const StageTimes::Stage stage("context");
  const auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay)
    throwError<ProgramError>(OSTREL_HERE, "EGL cannot choose a platform (no EGL_EXT_platform_base)");
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
    throwError<ProgramError>(
        OSTREL_HERE, "Mesa's surfaceless EGL platform is not available (Debian package libegl-mesa0)");
  _display = display;
  const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                               EGL_NONE};
  EGLContext context = EGL_NO_CONTEXT;
  if (eglBindAPI(EGL_OPENGL_API))
    context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
  if (context == EGL_NO_CONTEXT) {
    release();
    throwError<ProgramError>(OSTREL_HERE, "EGL cannot create an OpenGL compatibility context (error " +
                                              std::to_string(eglGetError()) + ")");
  }
  _context = context;
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    release();
    throwError<ProgramError>(OSTREL_HERE, "EGL cannot make the OpenGL context current without a surface");
  }
}

SurfacelessContextGL::~SurfacelessContextGL() {
  release();
}

void SurfacelessContextGL::release() {
  if (!_display) return;
  eglMakeCurrent(_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (_context) eglDestroyContext(_display, _context);
  // The display stays initialised until the process ends (a later context reuses it): terminating
  // it unloads Mesa's driver, which leaves a few blocks of its own behind that nothing points to.
  eglReleaseThread();
  _context = nullptr;
  _display = nullptr;
}
