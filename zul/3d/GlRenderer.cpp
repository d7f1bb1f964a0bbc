#include "zul/3d/GlRenderer.h"

#include <cstdio>
#include <cstring>

#include "korvane/gl.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRendererEgl.h"
#include "zul/memory/Debug.h"

int32_t StackMax = 0;

namespace {

constexpr const char* kColourBufferExtension = "EGL_PELLORAN_COLOR_BUFFER";

EGLDisplay realGetDisplay(NativeDisplayType id) { return eglGetDisplay(id); }
EGLBoolean realInitialize(EGLDisplay d, EGLint* major, EGLint* minor) { return eglInitialize(d, major, minor); }
EGLBoolean realChooseConfig(EGLDisplay d, const EGLint* a, EGLConfig* c, EGLint size, EGLint* count) {
  return eglChooseConfig(d, a, c, size, count);
}
EGLSurface realCreateWindowSurface(EGLDisplay d, EGLConfig c, NativeWindowType w, const EGLint* a) {
  return eglCreateWindowSurface(d, c, w, a);
}
EGLContext realCreateContext(EGLDisplay d, EGLConfig c, EGLContext share, const EGLint* a) {
  return eglCreateContext(d, c, share, a);
}
EGLBoolean realMakeCurrent(EGLDisplay d, EGLSurface draw, EGLSurface read, EGLContext c) {
  return eglMakeCurrent(d, draw, read, c);
}
const char* realQueryString(EGLDisplay d, EGLint name) { return eglQueryString(d, name); }
void* realGetProcAddress(const char* name) { return eglGetProcAddress(name); }
EGLint realGetError() { return eglGetError(); }
EGLBoolean realWaitGL() { return eglWaitGL(); }
EGLBoolean realSwapBuffers(EGLDisplay d, EGLSurface s) { return eglSwapBuffers(d, s); }
EGLBoolean realDestroyContext(EGLDisplay d, EGLContext c) { return eglDestroyContext(d, c); }
EGLBoolean realDestroySurface(EGLDisplay d, EGLSurface s) { return eglDestroySurface(d, s); }
EGLBoolean realTerminate(EGLDisplay d) { return eglTerminate(d); }
EGLBoolean realSetNativeWindow(NativeWindowType p) { return eglSetNativeWindow(p); }
NativeWindowType realGetNativeWindow() { return eglGetNativeWindow(); }

// Writes the peak scratch use when the program ends.
struct StackMaxReport {
  ~StackMaxReport() { writeStackMax(); }
} g_stackMaxReport;

}  // namespace

const GlRendererEgl& GlRendererEgl::real() {
  static const GlRendererEgl calls = {
      realGetDisplay,     realInitialize,   realChooseConfig,   realCreateWindowSurface,
      realCreateContext,  realMakeCurrent,  realQueryString,    realGetProcAddress,
      realGetError,       realWaitGL,       realSwapBuffers,    realDestroyContext,
      realDestroySurface, realTerminate,    realSetNativeWindow, realGetNativeWindow,
  };
  return calls;
}

void writeStackMax() {
  LogWriter* writer = logWriter();
  if (FILE* f = writer ? writer->openFile("d:\\stackMax.txt") : nullptr) {
    std::fprintf(f, "max = %d\n", static_cast<int>(StackMax));
    std::fclose(f);
  }
}

GlRenderer::GlRenderer() : m_scratch(kScratchSize, nullptr), m_egl(&GlRendererEgl::real()) {}

GlRenderer::~GlRenderer() {
  delete m_colourBuffer;
  m_colourBuffer = nullptr;
}

bool GlRenderer::init(Image* target) {
  if (!target) {
    debugTrace("GlRenderer: no target image\n");
    return false;
  }
  bool ok = true;
  const int32_t width = target->getWidth(), height = target->getHeight();
  const uint32_t id = static_cast<uint32_t>(height) << 16 | static_cast<uint32_t>(width & 0xFFFF);
  m_display = m_egl->getDisplay(static_cast<NativeDisplayType>(id));
  ok &= KV_CHECK(m_display != EGL_NO_DISPLAY, 90, kSource);

  EGLint major = 0, minor = 0;
  ok &= KV_CHECK(m_egl->initialize(m_display, &major, &minor), 96, kSource);

  // The list ends in zero words; this EGL reads them as its end.
  const EGLint attributes[5] = {EGL_DEPTH_SIZE, 16, 0, 0, 0};
  EGLConfig configs[10] = {};
  EGLint count = 0;
  ok &= KV_CHECK(m_egl->chooseConfig(m_display, attributes, configs, 10, &count), 107, kSource);
  ok &= KV_CHECK(count >= 1, 108, kSource);
  m_config = configs[0];

  GL3DServices* services = getGL3DServices();
  void* window = services->backBufferData ? services->backBufferData() : nullptr;
  m_surface = m_egl->createWindowSurface(m_display, m_config, window, nullptr);
  m_egl->getError();
  ok &= KV_CHECK(m_surface != EGL_NO_SURFACE, 126, kSource);

  m_context = m_egl->createContext(m_display, m_config, EGL_NO_CONTEXT, nullptr);
  ok &= KV_CHECK(m_context != EGL_NO_CONTEXT, 130, kSource);

  const EGLBoolean current = m_egl->makeCurrent(m_display, m_surface, m_surface, m_context);
  m_egl->getError();
  ok &= KV_CHECK(current, 136, kSource);

  delete m_colourBuffer;
  m_colourBuffer = nullptr;
  const char* extensions = m_egl->queryString(m_display, EGL_EXTENSIONS);
  if (extensions && std::strstr(extensions, kColourBufferExtension)) {
    if (void* p = m_egl->getProcAddress("eglGetColorBufferPELLORAN")) {
      // The EGL buffer interleaves a depth half with each colour pixel.
      int32_t pitch = target->getPitch();
      if (p != target->getPixels()) pitch *= 2;
      m_colourBuffer = new (kSource, 152, nullptr) MutableImage(width, height, pitch, target->getBitsPerPixel(), p);
    }
  }
  if (!m_colourBuffer)
    m_colourBuffer = new (kSource, 161, nullptr)
        MutableImage(width, height, target->getPitch(), target->getBitsPerPixel(), target->getPixels());
  if (!m_colourBuffer) ok = false;

  glShadeModel(GL_SMOOTH);
  glEnable(GL_CULL_FACE);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glViewport(0, 0, width, height);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  return ok;
}

void GlRenderer::shutdown() {
  KV_CHECK(m_egl->makeCurrent(EGL_NO_DISPLAY, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT), 200, kSource);
  m_egl->getError();
  if (m_context != EGL_NO_CONTEXT) {
    KV_CHECK(m_egl->destroyContext(m_display, m_context), 206, kSource);
    m_egl->getError();
    m_context = EGL_NO_CONTEXT;
  }
  if (m_surface != EGL_NO_SURFACE) {
    KV_CHECK(m_egl->destroySurface(m_display, m_surface), 214, kSource);
    m_egl->getError();
    m_surface = EGL_NO_SURFACE;
  }
  if (m_display != EGL_NO_DISPLAY) {
    KV_CHECK(m_egl->terminate(m_display), 222, kSource);
    m_egl->getError();
    m_display = EGL_NO_DISPLAY;
  }
}

void GlRenderer::swapBuffers() {
  m_egl->waitGL();
  m_egl->swapBuffers(m_display, m_surface);
}

void GlRenderer::setNativeWindow(void* pixels) { m_egl->setNativeWindow(pixels); }
void* GlRenderer::getNativeWindow() const { return m_egl->getNativeWindow(); }

void GlRenderer::setCulling(bool on) {
  if (on)
    glEnable(GL_CULL_FACE);
  else
    glDisable(GL_CULL_FACE);
}

void* GlRenderer::allocScratch(int32_t size) {
  void* block = m_scratch.alloc(size, 0);
  const int32_t used = m_scratch.getSize() - m_scratch.getFreeSize();
  if (used > StackMax) StackMax = used;
  return block;
}

void GlRenderer::freeScratch(void* pointer) { m_scratch.free(pointer); }
