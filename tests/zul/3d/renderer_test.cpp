#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "../../gles/context/GlContextFixture.h"
#include "memory/FolderLog.h"
#include "memory/TraceCapture.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GlRenderer.h"
#include "zul/3d/GlRendererEgl.h"

namespace {

std::vector<uint16_t>* g_window = nullptr;
void* windowPixels() { return g_window ? g_window->data() : nullptr; }

class Renderer : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    window.assign(240 * 320, 0);
    g_window = &window;
    services.backBufferData = windowPixels;
    setGL3DServices(&services);
  }
  void TearDown() override {
    setGL3DServices(nullptr);
    g_window = nullptr;
    GlContextTest::TearDown();
  }
  std::vector<uint16_t> window;
  GL3DServices services;
};

TEST_F(Renderer, RealContextGivesTheInterleavedColourBuffer) {
  MutableImage target(56, 104, 16);
  GlRenderer r;
  TraceCapture cap;
  ASSERT_TRUE(r.init(&target)) << cap.text;
  EXPECT_EQ(cap.text.find("breakpoint"), std::string::npos) << cap.text;
  EXPECT_EQ(r.getDisplay(), (EGLDisplay{104} << 16) | 56);
  EXPECT_EQ(gl->m_displayWidth, 56);
  EXPECT_EQ(gl->m_displayHeight, 104);
  EXPECT_EQ(gl->m_depthBuffer, 1);  // the config asked for 16 depth bits
  EXPECT_EQ(gl->m_nativeWindow, window.data());
  MutableImage* image = r.getColourBuffer();
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image, r.getColorBuffer());
  EXPECT_EQ(image->getPixels(), gl->m_colorBuffer);
  EXPECT_EQ(image->getPitch(), target.getPitch() * 2);
  EXPECT_EQ(image->getWidth(), 56);
  EXPECT_EQ(image->getHeight(), 104);
  EXPECT_EQ(image->getBitsPerPixel(), 16);
  // GL defaults.
  EXPECT_EQ(gl->m_shadeModel, static_cast<GLenum>(GL_SMOOTH));
  EXPECT_EQ(gl->m_capCullFace, 1);
  EXPECT_EQ(gl->m_perspective, 1);
  EXPECT_EQ(gl->m_viewportWidth, 56);
  EXPECT_EQ(gl->m_viewportHeight, 104);
  EXPECT_EQ(gl->m_capBlend, 0);
  EXPECT_EQ(gl->m_matrixMode, static_cast<GLenum>(GL_PROJECTION));
}

TEST_F(Renderer, TargetTooLargeForASurfaceIsDrawnThroughItsOwnPixels) {
  MutableImage target(600, 600, 16);
  GlRenderer r;
  TraceCapture cap;
  EXPECT_FALSE(r.init(&target));
  EXPECT_TRUE(cap.reported(126, "GlRenderer")) << cap.text;
  ASSERT_NE(r.getColourBuffer(), nullptr);
  EXPECT_EQ(r.getColourBuffer()->getPixels(), target.getPixels());
  EXPECT_EQ(r.getColourBuffer()->getPitch(), target.getPitch());
}

// Seams over the EGL calls.
void* g_procResult = nullptr;
const char* g_extensions = nullptr;
void* procResult(const char*) { return g_procResult; }
const char* extensions(EGLDisplay, EGLint) { return g_extensions; }

TEST_F(Renderer, ColourBufferImageFollowsTheExtension) {
  MutableImage target(56, 104, 16);
  uint16_t other[56 * 104 * 2];
  const struct {
    const char* name;
    const char* extensions;
    void* proc;
    void* pixels;
    int pitchFactor;
  } cases[] = {
      {"buffer is the target: no doubling", "EGL_PELLORAN_COLOR_BUFFER", target.getPixels(), target.getPixels(), 1},
      {"another buffer: doubled", "X EGL_PELLORAN_COLOR_BUFFER Y", other, other, 2},
      {"no buffer returned", "EGL_PELLORAN_COLOR_BUFFER", nullptr, target.getPixels(), 1},
      {"extension missing", "EGL_OTHER", other, target.getPixels(), 1},
      {"no extension string", nullptr, other, target.getPixels(), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    g_procResult = c.proc;
    g_extensions = c.extensions;
    GlRendererEgl egl = GlRendererEgl::real();
    egl.getProcAddress = procResult;
    egl.queryString = extensions;
    GlRenderer r;
    r.setEgl(egl);
    EXPECT_TRUE(r.init(&target));
    ASSERT_NE(r.getColourBuffer(), nullptr);
    EXPECT_EQ(r.getColourBuffer()->getPixels(), c.pixels);
    EXPECT_EQ(r.getColourBuffer()->getPitch(), target.getPitch() * c.pitchFactor);
  }
}

// Each failing EGL step is reported at its line; set-up goes on.
EGLDisplay noDisplay(NativeDisplayType) { return EGL_NO_DISPLAY; }
EGLBoolean initFails(EGLDisplay, EGLint*, EGLint*) { return EGL_FALSE; }
EGLBoolean chooseFails(EGLDisplay, const EGLint*, EGLConfig*, EGLint, EGLint*) { return EGL_FALSE; }
EGLBoolean chooseNone(EGLDisplay, const EGLint*, EGLConfig*, EGLint, EGLint* count) {
  *count = 0;
  return EGL_TRUE;
}
EGLSurface noSurface(EGLDisplay, EGLConfig, NativeWindowType, const EGLint*) { return EGL_NO_SURFACE; }
EGLContext noContext(EGLDisplay, EGLConfig, EGLContext, const EGLint*) { return EGL_NO_CONTEXT; }
EGLBoolean currentFails(EGLDisplay, EGLSurface, EGLSurface, EGLContext) { return EGL_FALSE; }

TEST_F(Renderer, EveryFailedStepIsReportedAndInitSaysSo) {
  const struct {
    int line;
    void (*patch)(GlRendererEgl&);
  } cases[] = {
      {90, [](GlRendererEgl& e) { e.getDisplay = noDisplay; }},
      {96, [](GlRendererEgl& e) { e.initialize = initFails; }},
      {107, [](GlRendererEgl& e) { e.chooseConfig = chooseFails; }},
      {108, [](GlRendererEgl& e) { e.chooseConfig = chooseNone; }},
      {126, [](GlRendererEgl& e) { e.createWindowSurface = noSurface; }},
      {130, [](GlRendererEgl& e) { e.createContext = noContext; }},
      {136, [](GlRendererEgl& e) { e.makeCurrent = currentFails; }},
  };
  MutableImage target(56, 104, 16);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    GlRendererEgl egl = GlRendererEgl::real();
    c.patch(egl);
    GlRenderer r;
    r.setEgl(egl);
    TraceCapture cap;
    EXPECT_FALSE(r.init(&target));
    EXPECT_TRUE(cap.reported(c.line, "GlRenderer")) << cap.text;
    EXPECT_NE(r.getColourBuffer(), nullptr);
    EXPECT_EQ(gl->m_matrixMode, static_cast<GLenum>(GL_PROJECTION));  // the defaults were still set
  }
}

TEST_F(Renderer, ScratchPeakIsKeptAfterFreeing) {
  GlRenderer r;
  StackMax = 0;
  void* a = r.allocScratch(100);
  void* b = r.allocScratch(200);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  // Two headers, the blocks and the pool's reserve of one header.
  EXPECT_EQ(StackMax, 312);
  r.freeScratch(b);
  r.freeScratch(a);
  EXPECT_EQ(StackMax, 312);
  EXPECT_EQ(r.getScratchPool().getFreeSize(), GlRenderer::kScratchSize - 4);
  TraceCapture cap;
  EXPECT_EQ(r.allocScratch(GlRenderer::kScratchSize), nullptr);  // no room for its header
  EXPECT_EQ(StackMax, 312);
}

TEST_F(Renderer, PeakIsWrittenAtExit) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("kv_stackmax_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::remove(dir / "stackMax.txt");
  EXPECT_EXIT(
      {
        setLogWriter(new FolderLog(dir.string()));  // kept until the exit writes the peak
        StackMax = 312;
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  std::ifstream in(dir / "stackMax.txt");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "max = 312\n");
  std::filesystem::remove_all(dir);
}

TEST_F(Renderer, SwapCopiesTheClearedColourToTheNativeWindow) {
  MutableImage target(56, 104, 16);
  GlRenderer r;
  ASSERT_TRUE(r.init(&target));
  glClearColorx(kQ14One, 0, kQ14One, kQ14One);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  r.swapBuffers();
  for (int i = 0; i < 56 * 104; ++i) ASSERT_EQ(window[i], 0xF81F) << i;
  EXPECT_EQ(window[56 * 104], 0);
  // A new destination takes the next swap.
  std::vector<uint16_t> other(56 * 104, 0);
  r.setNativeWindow(other.data());
  EXPECT_EQ(r.getNativeWindow(), other.data());
  r.swapBuffers();
  EXPECT_EQ(other[56 * 104 - 1], 0xF81F);
}

TEST_F(Renderer, ShutdownReleasesTheHandles) {
  MutableImage target(56, 104, 16);
  GlRenderer r;
  ASSERT_TRUE(r.init(&target));
  TraceCapture cap;
  r.shutdown();
  EXPECT_EQ(cap.text.find("breakpoint"), std::string::npos) << cap.text;
  EXPECT_EQ(r.getDisplay(), EGL_NO_DISPLAY);
  EXPECT_EQ(r.getSurface(), EGL_NO_SURFACE);
  EXPECT_EQ(r.getContext(), EGL_NO_CONTEXT);
  EXPECT_EQ(gl->m_colorBuffer, nullptr);
}

}  // namespace
