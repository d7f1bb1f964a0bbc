// The EGL calls of the GL renderer, as a table that tests can replace.
#pragma once

#include "korvane/egl.h"

// The EGL calls the renderer makes; the real entry points unless a test
// replaces some.
struct GlRendererEgl {
  EGLDisplay (*getDisplay)(NativeDisplayType id);
  EGLBoolean (*initialize)(EGLDisplay dpy, EGLint* major, EGLint* minor);
  EGLBoolean (*chooseConfig)(EGLDisplay dpy, const EGLint* attribs, EGLConfig* configs, EGLint size, EGLint* count);
  EGLSurface (*createWindowSurface)(EGLDisplay dpy, EGLConfig config, NativeWindowType window, const EGLint* attribs);
  EGLContext (*createContext)(EGLDisplay dpy, EGLConfig config, EGLContext share, const EGLint* attribs);
  EGLBoolean (*makeCurrent)(EGLDisplay dpy, EGLSurface draw, EGLSurface read, EGLContext ctx);
  const char* (*queryString)(EGLDisplay dpy, EGLint name);
  void* (*getProcAddress)(const char* name);
  EGLint (*getError)();
  EGLBoolean (*waitGL)();
  EGLBoolean (*swapBuffers)(EGLDisplay dpy, EGLSurface surface);
  EGLBoolean (*destroyContext)(EGLDisplay dpy, EGLContext ctx);
  EGLBoolean (*destroySurface)(EGLDisplay dpy, EGLSurface surface);
  EGLBoolean (*terminate)(EGLDisplay dpy);
  EGLBoolean (*setNativeWindow)(NativeWindowType pixels);
  NativeWindowType (*getNativeWindow)();

  static const GlRendererEgl& real();
};
