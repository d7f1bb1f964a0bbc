#include <cstring>
#include <vector>

#include "GlContextFixture.h"

namespace {

using EglTest = GlContextTest;

constexpr EGLint kDepth[] = {EGL_DEPTH_SIZE, 16, 0};
constexpr EGLint kNoDepth[] = {EGL_DEPTH_SIZE, 0, 0};

// Sets up a w x h surface over window as the 3D engine does.
EGLSurface makeSurface(int w, int h, bool depth, void* window, const EGLint* attribs = nullptr) {
  const EGLDisplay dpy = eglGetDisplay((static_cast<NativeDisplayType>(h) << 16) | w);
  EGLint major = 0, minor = 0;
  eglInitialize(dpy, &major, &minor);
  EGLConfig config = 0;
  EGLint count = 0;
  eglChooseConfig(dpy, depth ? kDepth : kNoDepth, &config, 10, &count);
  return eglCreateWindowSurface(dpy, config, window, attribs);
}

TEST_F(EglTest, DisplayIdGivesTheSurfaceSize) {
  const EGLDisplay dpy = eglGetDisplay((104 << 16) | 56);
  EXPECT_EQ(dpy, (104 << 16) | 56);
  EGLint major = 0, minor = 7;
  EXPECT_EQ(eglInitialize(dpy, &major, &minor), EGLBoolean{EGL_TRUE});
  EXPECT_EQ(major, 1);
  EXPECT_EQ(minor, 0);
  EGLConfig configs[10] = {};
  EGLint count = 0;
  EXPECT_EQ(eglChooseConfig(dpy, kDepth, configs, 10, &count), EGLBoolean{EGL_TRUE});
  EXPECT_EQ(configs[0], 1);
  EXPECT_EQ(count, 1);
  std::vector<uint16_t> window(56 * 104);
  EXPECT_EQ(eglCreateWindowSurface(dpy, configs[0], window.data(), nullptr), 1);
  EXPECT_EQ(gl->m_width, 56);
  EXPECT_EQ(gl->m_height, 104);
  EXPECT_EQ(gl->m_depthBuffer, 1);
  EXPECT_NE(gl->m_colorBuffer, nullptr);
  EXPECT_NE(gl->m_colorBuffer, window.data());
  EXPECT_EQ(eglCreateContext(dpy, configs[0], EGL_NO_CONTEXT, nullptr), 1);
  EXPECT_EQ(eglMakeCurrent(dpy, 1, 1, 1), EGLBoolean{EGL_TRUE});
  EXPECT_EQ(eglGetError(), EGL_SUCCESS);
  EXPECT_EQ(eglGetCurrentDisplay(), 0);
}

TEST_F(EglTest, ChooseConfigDepthFlag) {
  struct Case {
    std::vector<EGLint> attribs;
    uint8_t before, after;
  };
  const Case cases[] = {
      {{EGL_DEPTH_SIZE, 16, 0}, 0, 1},
      {{EGL_DEPTH_SIZE, 0, 0}, 1, 0},
      {{0}, 1, 1},
      {{0}, 0, 0},
      {{EGL_RED_SIZE, 5, EGL_GREEN_SIZE, 6, EGL_DEPTH_SIZE, 24, 0}, 0, 1},
      // EGL_NONE ends the list as well.
      {{EGL_RED_SIZE, 5, EGL_NONE, 0, EGL_DEPTH_SIZE, 16, 0}, 0, 0},
      {{EGL_DEPTH_SIZE, 16, EGL_NONE}, 0, 1},
  };
  for (const Case& c : cases) {
    gl->m_configDepth = c.before;
    EGLConfig config = 0;
    EGLint count = 0;
    eglChooseConfig(0, c.attribs.data(), &config, 1, &count);
    EXPECT_EQ(gl->m_configDepth, c.after);
    EXPECT_EQ(config, 1);
    EXPECT_EQ(count, 1);
  }
  // No config array: nothing written.
  EGLint count = 9;
  EXPECT_EQ(eglChooseConfig(0, nullptr, nullptr, 0, &count), EGLBoolean{EGL_TRUE});
  EXPECT_EQ(count, 9);
}

TEST_F(EglTest, ClearColourPacking) {
  std::vector<uint16_t> window(4 * 2, 0xAAAA);
  ASSERT_EQ(makeSurface(4, 2, false, window.data()), 1);
  struct Case {
    GLclampx r, g, b;
    uint16_t packed;
  };
  const Case cases[] = {
      {16384, 16384, 16384, 0xFFFF},
      {0, 0, 0, 0x0000},
      {16384, 8192, 4096, 0xFBE7},  // bytes 255, 127, 63
      {16384, 0, 0, 0xF800},
      {0, 16384, 0, 0x07E0},
      {0, 0, 16384, 0x001F},
  };
  for (const Case& c : cases) {
    glClearColorx(c.r, c.g, c.b, 16384);
    glClear(GL_COLOR_BUFFER_BIT);
    for (uint16_t p : window) EXPECT_EQ(p, c.packed);
  }
}

TEST_F(EglTest, ClearMasksKeepTheOtherHalf) {
  std::vector<uint16_t> window(3 * 3);
  ASSERT_EQ(makeSurface(3, 3, true, window.data()), 1);
  const uint32_t* words = static_cast<const uint32_t*>(gl->m_colorBuffer);
  auto all = [&](uint32_t expected) {
    for (int i = 0; i < 9; ++i) EXPECT_EQ(words[i], expected) << i;
  };
  glClearColorx(16384, 0, 0, 16384);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  all(0x3FFFF800u);

  glClearColorx(0, 0, 16384, 16384);
  glClear(GL_COLOR_BUFFER_BIT);
  all(0x3FFF001Fu);

  glClearDepthx(8192);
  glClear(GL_DEPTH_BUFFER_BIT);
  all(0x2000001Fu);

  glClearColorx(0, 16384, 0, 0);
  glClearDepthx(0);
  glClear(GL_STENCIL_BUFFER_BIT);
  glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  all(0x2000001Fu);
  for (uint16_t p : window) EXPECT_EQ(p, 0);
}

TEST_F(EglTest, NoDepthWithoutAttributesDrawsStraightToTheWindow) {
  std::vector<uint16_t> window(5 * 3, 0x1111);
  ASSERT_EQ(makeSurface(5, 3, false, window.data()), 1);
  EXPECT_EQ(gl->m_colorBuffer, window.data());
  EXPECT_EQ(gl->m_depthBuffer, 0);
  EXPECT_EQ(eglGetProcAddress("eglGetColorBufferPELLORAN"), window.data());
  glClearColorx(0, 16384, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (uint16_t p : window) EXPECT_EQ(p, 0x07E0);
  EXPECT_EQ(eglSwapBuffers(0, 1), EGLBoolean{EGL_TRUE});
  for (uint16_t p : window) EXPECT_EQ(p, 0x07E0);
  // The window is the caller's: terminating frees nothing and only forgets it.
  EXPECT_EQ(eglTerminate(0), EGLBoolean{EGL_TRUE});
  EXPECT_EQ(gl->m_colorBuffer, nullptr);
  glClear(GL_COLOR_BUFFER_BIT);
  EXPECT_EQ(eglSwapBuffers(0, 1), EGLBoolean{EGL_TRUE});
}

TEST_F(EglTest, NoDepthWithAttributesHasItsOwnBuffer) {
  std::vector<uint16_t> window(4 * 4, 0x1111);
  const EGLint attribs[] = {0};
  ASSERT_EQ(makeSurface(4, 4, false, window.data(), attribs), 1);
  ASSERT_NE(gl->m_colorBuffer, window.data());
  glClearColorx(16384, 16384, 16384, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  for (uint16_t p : window) EXPECT_EQ(p, 0x1111);
  eglSwapBuffers(0, 1);
  for (uint16_t p : window) EXPECT_EQ(p, 0xFFFF);
  eglTerminate(0);
}

TEST_F(EglTest, SwapWritesTheColourHalvesOnly) {
  // An odd pixel count, with a guard word after the window.
  std::vector<uint16_t> window(3 * 3 + 1, 0x5555);
  ASSERT_EQ(makeSurface(3, 3, true, window.data()), 1);
  uint32_t* words = static_cast<uint32_t*>(gl->m_colorBuffer);
  for (uint32_t i = 0; i < 9; ++i) words[i] = (0x1000u + i) << 16 | (0x0100u + i);
  eglSwapBuffers(0, 1);
  for (uint16_t i = 0; i < 9; ++i) EXPECT_EQ(window[i], 0x0100 + i);
  EXPECT_EQ(window[9], 0x5555);

  // Later swaps go to the window set last.
  std::vector<uint16_t> other(9, 0);
  EXPECT_EQ(eglSetNativeWindow(other.data()), EGLBoolean{EGL_FALSE});
  EXPECT_EQ(eglGetNativeWindow(), other.data());
  eglSwapBuffers(0, 1);
  EXPECT_EQ(other[8], 0x0108);
  eglSetNativeWindow(nullptr);
  eglSwapBuffers(0, 1);
}

TEST_F(EglTest, SurfaceLayoutIsFixedAtCreation) {
  std::vector<uint16_t> window(2 * 2);
  ASSERT_EQ(makeSurface(2, 2, true, window.data()), 1);
  // A later size or config only prepares the next surface.
  eglInitialize((300 << 16) | 300, nullptr, nullptr);
  eglChooseConfig(0, kNoDepth, nullptr, 0, nullptr);
  EXPECT_EQ(gl->m_width, 2);
  EXPECT_EQ(gl->m_height, 2);
  EXPECT_EQ(gl->m_depthBuffer, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  eglSwapBuffers(0, 1);
  eglTerminate(0);
  eglTerminate(0);
  EXPECT_EQ(gl->m_colorBuffer, nullptr);
}

TEST_F(EglTest, OversizedOrEmptySurfacesAreRefused) {
  std::vector<uint16_t> window(16);
  EXPECT_EQ(makeSurface(513, 4, true, window.data()), EGL_NO_SURFACE);
  EXPECT_EQ(gl->m_colorBuffer, nullptr);
  EXPECT_EQ(makeSurface(4, 0, false, window.data()), EGL_NO_SURFACE);
  EXPECT_EQ(gl->m_colorBuffer, nullptr);
  glClear(GL_COLOR_BUFFER_BIT);
  eglSwapBuffers(0, 1);
  EXPECT_EQ(makeSurface(512, 512, true, window.data()), 1);
  eglTerminate(0);
}

TEST_F(EglTest, StringsAndProcedures) {
  EXPECT_STREQ(eglQueryString(0, EGL_EXTENSIONS), "EGL_PELLORAN_COLOR_BUFFER EGL_QUALCOMM_COLOR_BUFFER");
  EXPECT_EQ(eglQueryString(0, EGL_VENDOR), nullptr);
  std::vector<uint16_t> window(8 * 8);
  ASSERT_EQ(makeSurface(8, 8, true, window.data()), 1);
  EXPECT_EQ(eglGetProcAddress("eglGetColorBufferPELLORAN"), gl->m_colorBuffer);
  EXPECT_EQ(eglGetProcAddress("eglGetColorBufferQUALCOMM"), gl->m_colorBuffer);
  EXPECT_EQ(eglGetProcAddress("eglGetColorBufferPELLORANX"), nullptr);
  EXPECT_EQ(eglGetProcAddress("glClear"), nullptr);
  EXPECT_EQ(eglGetProcAddress(nullptr), nullptr);
}

}  // namespace
