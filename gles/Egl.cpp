// EGL: the one drawing surface, its clear and its copy to the native window.
#include <cstring>

#include "gles/GlContext.h"
#include "zul/memory/Memory.h"

namespace {

// Names whose "procedure" is the colour buffer itself, compared in order.
const char kColourBufferProcs[2][32] = {"eglGetColorBufferPELLORAN", "eglGetColorBufferQUALCOMM"};

}  // namespace

EGLBoolean GlContext::eglInitialize(EGLDisplay dpy, EGLint* major, EGLint* minor) {
  if (major) *major = 1;
  if (minor) *minor = 0;
  const uint32_t id = static_cast<uint32_t>(dpy);
  m_displayWidth = static_cast<int32_t>(id & 0xFFFF);
  m_displayHeight = static_cast<int32_t>(id >> 16);
  return EGL_TRUE;
}

EGLBoolean GlContext::eglChooseConfig(EGLDisplay, const EGLint* attribList, EGLConfig* configs,
                                      EGLint configSize, EGLint* numConfig) {
  if (attribList) {
    for (const EGLint* a = attribList; a[0] != 0 && a[0] != EGL_NONE; a += 2) {
      if (a[0] == EGL_DEPTH_SIZE) m_configDepth = a[1] != 0 ? 1 : 0;
    }
  }
  if (configs) {
    if (configSize >= 1) configs[0] = 1;
    if (numConfig) *numConfig = configSize >= 1 ? 1 : 0;
  }
  return EGL_TRUE;
}

EGLSurface GlContext::eglCreateWindowSurface(EGLDisplay, EGLConfig, NativeWindowType window,
                                             const EGLint* attribList) {
  // A new surface replaces the previous one.
  if (m_colorBufferOwned && m_colorBuffer) memDeleteArray(m_colorBuffer);
  m_colorBuffer = nullptr;
  m_colorBufferOwned = 0;
  m_nativeWindow = window;

  const int32_t w = m_displayWidth;
  const int32_t h = m_displayHeight;
  if (w < 1 || h < 1 || w > kMaxSurfaceSize || h > kMaxSurfaceSize) {
    m_width = m_height = 0;
    m_depthBuffer = 0;
    return EGL_NO_SURFACE;
  }
  const size_t pixels = static_cast<size_t>(w) * static_cast<size_t>(h);
  // Size and layout are fixed here; later eglInitialize or eglChooseConfig
  // calls only prepare the next surface.
  m_width = w;
  m_height = h;
  m_depthBuffer = m_configDepth;
  if (m_depthBuffer) {
    m_colorBuffer = memNewArray(pixels * 4, "egl", 187);
    m_colorBufferOwned = m_colorBuffer != nullptr;
  } else if (attribList) {
    m_colorBuffer = memNewArray(pixels * 2, "egl", 191);
    m_colorBufferOwned = m_colorBuffer != nullptr;
  } else {
    m_colorBuffer = window;  // drawing goes straight to the destination
  }
  return m_colorBuffer ? EGLSurface{1} : EGL_NO_SURFACE;
}

void* GlContext::eglGetProcAddress(const char* name) const {
  if (!name) return nullptr;
  for (const char* proc : kColourBufferProcs) {
    if (std::strcmp(name, proc) == 0) return m_colorBuffer;
  }
  return nullptr;
}

EGLBoolean GlContext::eglSwapBuffers(EGLDisplay, EGLSurface) {
  if (!m_colorBuffer || !m_nativeWindow || m_colorBuffer == m_nativeWindow) return EGL_TRUE;
  const size_t pixels = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
  uint16_t* dst = static_cast<uint16_t*>(m_nativeWindow);
  if (m_depthBuffer) {
    const uint32_t* src = static_cast<const uint32_t*>(m_colorBuffer);
    for (size_t i = 0; i < pixels; ++i) dst[i] = static_cast<uint16_t>(src[i]);
  } else {
    std::memcpy(dst, m_colorBuffer, pixels * 2);
  }
  return EGL_TRUE;
}

EGLBoolean GlContext::eglTerminate(EGLDisplay) {
  // Only a buffer EGL allocated is freed; a native window belongs to the caller.
  if (m_colorBufferOwned && m_colorBuffer) memDeleteArray(m_colorBuffer);
  m_colorBuffer = nullptr;
  m_colorBufferOwned = 0;
  return EGL_TRUE;
}

EGLBoolean GlContext::eglSetNativeWindow(NativeWindowType pixels) {
  m_nativeWindow = pixels;
  return EGL_FALSE;
}

void GlContext::glClear(GLbitfield mask) {
  if (!m_colorBuffer) return;
  const size_t pixels = static_cast<size_t>(m_width) * static_cast<size_t>(m_height);
  const uint32_t colour = static_cast<uint32_t>((m_clearRed & 0xF8) << 8 | (m_clearGreen & 0xFC) << 3 |
                                                m_clearBlue >> 3);
  if (!m_depthBuffer) {
    uint16_t* p = static_cast<uint16_t*>(m_colorBuffer);
    for (size_t i = 0; i < pixels; ++i) p[i] = static_cast<uint16_t>(colour);
    return;
  }
  uint32_t* p = static_cast<uint32_t*>(m_colorBuffer);
  const uint32_t depth = static_cast<uint32_t>(m_clearDepth) << 16;
  switch (mask) {
    case GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT:
      for (size_t i = 0; i < pixels; ++i) p[i] = depth | colour;
      break;
    case GL_DEPTH_BUFFER_BIT:
      for (size_t i = 0; i < pixels; ++i) p[i] = depth | (p[i] & 0xFFFFu);
      break;
    case GL_COLOR_BUFFER_BIT:
      for (size_t i = 0; i < pixels; ++i) p[i] = (p[i] & 0xFFFF0000u) | colour;
      break;
    default: break;
  }
}
