// Shared set-up for the renderer's drawing tests: a context with a surface
// of its own and a little scene builder over the GL calls.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gles/GlContext.h"

namespace rt {

constexpr int32_t Q(double v) { return static_cast<int32_t>(v * 16384.0); }

struct Gl {
  std::unique_ptr<GlContext> gl = std::make_unique<GlContext>();
  std::vector<uint16_t> window;
  int w = 0, h = 0;

  Gl(int width, int height, bool depth) : window(static_cast<size_t>(width) * height), w(width), h(height) {
    const EGLint attribs[] = {EGL_DEPTH_SIZE, depth ? 16 : 0, 0};
    const EGLDisplay dpy = (static_cast<EGLDisplay>(height) << 16) | width;
    gl->eglInitialize(dpy, nullptr, nullptr);
    EGLConfig cfg;
    EGLint n;
    gl->eglChooseConfig(dpy, attribs, &cfg, 1, &n);
    gl->eglCreateWindowSurface(dpy, cfg, window.data(), attribs);
    gl->glViewport(0, 0, width, height);
  }
  uint16_t* px() { return static_cast<uint16_t*>(gl->m_colorBuffer); }
  uint32_t* words() { return static_cast<uint32_t*>(gl->m_colorBuffer); }
  uint16_t pixel(int x, int y) {
    return gl->m_depthBuffer ? static_cast<uint16_t>(words()[y * w + x] & 0xFFFF) : px()[y * w + x];
  }
  void clearTo(uint32_t value) {
    if (gl->m_depthBuffer) {
      for (int i = 0; i < w * h; ++i) words()[i] = value;
    } else {
      for (int i = 0; i < w * h; ++i) px()[i] = static_cast<uint16_t>(value);
    }
  }
  // Symmetric frustum with the given half-width at the near plane.
  void frustum(double right, double zNear, double zFar) {
    gl->glFrustumx(-Q(right), Q(right), -Q(right), Q(right), Q(zNear), Q(zFar));
  }
};

// Screen-space vertex for the rasteriser tests.
inline VertexSlot vtx(int x, int y, int32_t a0 = 0, int32_t a1 = 0, int32_t depth = 0, int32_t w = 0) {
  VertexSlot v;
  v.screenX = static_cast<int16_t>(x);
  v.screenY = static_cast<int16_t>(y);
  v.attr0 = a0;
  v.attr1 = a1;
  v.depth = depth;
  v.invDepth = w;
  return v;
}

// A span that adds one to every pixel it covers (16-bit surface).
inline void countingSpan(GlContext*, void* row, const SpanParams* sp) {
  const int32_t x0 = sp->w[0] >> 14, x1 = sp->w[1] >> 14;
  uint16_t* p = static_cast<uint16_t*>(row);
  for (int32_t x = x0; x < x1; ++x) ++p[x];
}

// Model-space vertex data for the draw calls.
struct Mesh {
  std::vector<int32_t> pos;     // x, y, z per vertex (Q14)
  std::vector<int32_t> tex;     // s, t per vertex (Q14)
  std::vector<uint32_t> colour; // RGBA bytes per vertex
  std::vector<uint16_t> idx;
  uint16_t add(double x, double y, double z, double s = 0, double t = 0, uint32_t c = 0xFFFFFFFFu) {
    pos.insert(pos.end(), {Q(x), Q(y), Q(z)});
    tex.insert(tex.end(), {Q(s), Q(t)});
    colour.push_back(c);
    return static_cast<uint16_t>(pos.size() / 3 - 1);
  }
  void tri(uint16_t a, uint16_t b, uint16_t c) { idx.insert(idx.end(), {a, b, c}); }
  void bind(GlContext& gl, bool textured, bool coloured) const {
    gl.glEnableClientState(GL_VERTEX_ARRAY);
    gl.glVertexPointer(3, GL_FIXED, 0, pos.data());
    if (textured) {
      gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      gl.glTexCoordPointer(2, GL_FIXED, 0, tex.data());
    } else {
      gl.glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    if (coloured) {
      gl.glEnableClientState(GL_COLOR_ARRAY);
      gl.glColorPointer(4, GL_UNSIGNED_BYTE, 0, colour.data());
    } else {
      gl.glDisableClientState(GL_COLOR_ARRAY);
    }
  }
  void draw(GlContext& gl, GLenum mode = GL_TRIANGLES) const {
    gl.glDrawElements(mode, static_cast<GLsizei>(idx.size()), GL_UNSIGNED_SHORT, idx.data());
  }
};

// A bound texture of the given size; texel (x, y) = f(x, y).
template <typename F>
GLuint makeTexture(GlContext& gl, int size, GLenum type, F f) {
  std::vector<uint16_t> texels(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) texels[y * size + x] = f(x, y);
  GLuint name = 0;
  gl.glGenTextures(1, &name);
  gl.glBindTexture(GL_TEXTURE_2D, name);
  gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, type, texels.data());
  return name;
}

}  // namespace rt
