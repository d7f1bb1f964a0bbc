// Throughput of the software renderer: span families, small triangles, a
// game-like 56x104 frame, and a full-screen textured quad against Mesa.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "gles/GlContext.h"
#include "gles/SpanFunctions.h"

namespace {

constexpr int32_t Q(double v) { return static_cast<int32_t>(v * 16384.0); }

struct Surface {
  std::unique_ptr<GlContext> gl = std::make_unique<GlContext>();
  std::vector<uint16_t> window;
  int w, h;
  Surface(int width, int height, bool depth) : window(static_cast<size_t>(width) * height), w(width), h(height) {
    const EGLint attribs[] = {EGL_DEPTH_SIZE, depth ? 16 : 0, 0};
    const EGLDisplay dpy = (static_cast<EGLDisplay>(height) << 16) | width;
    gl->eglInitialize(dpy, nullptr, nullptr);
    EGLConfig cfg;
    EGLint n;
    gl->eglChooseConfig(dpy, attribs, &cfg, 1, &n);
    gl->eglCreateWindowSurface(dpy, cfg, window.data(), attribs);
    gl->glViewport(0, 0, width, height);
    gl->glFrustumx(-Q(0.5), Q(0.5), 0, 0, Q(1.0), Q(100.0));
  }
  GLuint texture(int size, GLenum type) {
    std::vector<uint16_t> t(static_cast<size_t>(size) * size);
    for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<uint16_t>((i * 2654435761u) >> 16) | 0x1111;
    GLuint name;
    gl->glGenTextures(1, &name);
    gl->glBindTexture(GL_TEXTURE_2D, name);
    gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, type, t.data());
    return name;
  }
};

// ---- span families ----------------------------------------------------------------

enum Family {
  kAffine565, kAffine5551, kAffine4444, kPersp565, kFixedDivisor, kAdditive,
  kDepthAffine565, kDepthAffine4444, kDepthPersp565, kDepthAdditive, kFlat, kSmooth, kFlatDepth,
};

void BM_Span(benchmark::State& state) {
  const auto family = static_cast<Family>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  const bool depth = family >= kDepthAffine565 && family != kFlat && family != kSmooth;
  Surface s(256, 1, depth);
  GlContext& c = *s.gl;
  const GLenum type = family == kAffine5551 ? 0x8034 : (family == kAffine4444 || family == kDepthAffine4444 ? 0x8033 : 0x8363);
  s.texture(64, type);
  c.m_texelCache = c.m_boundTexture->texels;
  SpanFunction f = nullptr;
  switch (family) {
    case kAffine565: f = c.m_texAffineSpans.fn[1][0]; break;
    case kAffine5551: f = c.m_texAffineSpans.fn[1][1]; break;
    case kAffine4444: f = c.m_texAffineSpans.fn[1][2]; break;
    case kPersp565: f = c.m_texPerspectiveSpans.fn[1][0]; break;
    case kFixedDivisor: f = c.m_texFixedDivisorSpans.fn[1][0]; break;
    case kAdditive: f = c.m_texAdditiveSpans[1]; break;
    case kDepthAffine565: f = c.m_depthTexSpans[3].fn[1][0]; break;
    case kDepthAffine4444: f = c.m_depthTexSpans[3].fn[1][2]; break;
    case kDepthPersp565: f = c.m_depthTexSpans[7].fn[1][0]; break;
    case kDepthAdditive: f = c.m_depthTexAdditiveSpans[1]; break;
    case kFlat: f = kvgl::spanFlat; break;
    case kSmooth: f = kvgl::spanSmooth; break;
    case kFlatDepth: f = kvgl::spanTestedWritten; break;
  }
  SpanParams p{};
  p.w[0] = 0;
  p.w[1] = n * 16384;
  const bool persp = family == kPersp565 || family == kFixedDivisor || family == kDepthPersp565;
  if (persp) {
    p.w[2] = 1000; p.w[3] = 3;
    p.w[4] = 16384; p.w[5] = 7; p.w[6] = 100; p.w[7] = 211; p.w[8] = 50; p.w[9] = 97;
  } else {
    p.w[2] = 1000; p.w[3] = 2000;
    p.w[4] = 0; p.w[5] = 255 << 16;
    p.w[6] = 100; p.w[7] = 100 + n * 211; p.w[8] = 50; p.w[9] = 50 + n * 97;
    if (family == kSmooth) { p.w[10] = 0; p.w[11] = 255 << 16; }
    if (family == kFlat || family == kFlatDepth) p.w[10] = 0x1234;
  }
  void* row = c.m_colorBuffer;
  for (auto _ : state) {
    f(&c, row, &p);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * n / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void spanArgs(benchmark::internal::Benchmark* b) {
  for (int f = kAffine565; f <= kFlatDepth; ++f)
    for (int n : {16, 56, 240}) b->Args({f, n});
}
BENCHMARK(BM_Span)->Apply(spanArgs)->ArgNames({"family", "len"});

// ---- meshes -----------------------------------------------------------------------

struct Mesh {
  std::vector<int32_t> pos, tex;
  std::vector<uint16_t> idx;
  uint16_t add(double x, double y, double z, double s, double t) {
    pos.insert(pos.end(), {Q(x), Q(y), Q(z)});
    tex.insert(tex.end(), {Q(s), Q(t)});
    return static_cast<uint16_t>(pos.size() / 3 - 1);
  }
  void draw(GlContext& c) const {
    c.glVertexPointer(3, GL_FIXED, 0, pos.data());
    c.glTexCoordPointer(2, GL_FIXED, 0, tex.data());
    c.glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(idx.size()), GL_UNSIGNED_SHORT, idx.data());
  }
};

// A sphere of slices x stacks quads (2 triangles each), counter-clockwise outside.
Mesh sphere(double cx, double cy, double cz, double r, int slices, int stacks) {
  Mesh m;
  for (int j = 0; j <= stacks; ++j) {
    const double phi = M_PI * j / stacks;
    for (int i = 0; i <= slices; ++i) {
      const double th = 2 * M_PI * i / slices;
      m.add(cx + r * std::sin(phi) * std::cos(th), cy + r * std::cos(phi), cz + r * std::sin(phi) * std::sin(th),
            double(i) / slices, double(j) / stacks);
    }
  }
  for (int j = 0; j < stacks; ++j) {
    for (int i = 0; i < slices; ++i) {
      const uint16_t a = static_cast<uint16_t>(j * (slices + 1) + i), b = a + 1, c = a + slices + 1, d = c + 1;
      m.idx.insert(m.idx.end(), {a, c, b, b, c, d});
    }
  }
  return m;
}

void depthTexturedState(GlContext& c) {
  c.glEnable(GL_DEPTH_TEST);
  c.glEnable(GL_TEXTURE_2D);
  c.glEnable(GL_CULL_FACE);
  c.glEnableClientState(GL_VERTEX_ARRAY);
  c.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

void BM_SmallTexturedTriangles(benchmark::State& state) {
  Surface s(56, 104, true);
  GlContext& c = *s.gl;
  s.texture(64, 0x8363);
  depthTexturedState(c);
  c.glDisable(GL_CULL_FACE);
  Mesh m;  // 400 triangles of about 6x6 pixels across the view
  for (int k = 0; k < 400; ++k) {
    const double x = -0.9 + 1.8 * ((k * 37) % 100) / 100.0, y = -1.8 + 3.6 * ((k * 61) % 100) / 100.0;
    const double z = -5 - (k % 7) * 0.3;
    m.idx.push_back(m.add(x, y, z, 0, 0));
    m.idx.push_back(m.add(x + 0.12, y, z, 1, 0));
    m.idx.push_back(m.add(x, y + 0.12, z, 0, 1));
  }
  for (auto _ : state) {
    c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m.draw(c);
    c.glFlush();
  }
  state.counters["triangles/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 400,
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SmallTexturedTriangles);

void BM_GameFrame56x104(benchmark::State& state) {
  Surface s(56, 104, true);
  GlContext& c = *s.gl;
  const GLuint cloth = s.texture(128, 0x8363);
  const GLuint ball = s.texture(64, 0x8363);
  depthTexturedState(c);
  Mesh table;  // 8 x 16 quads of floor
  for (int j = 0; j <= 16; ++j)
    for (int i = 0; i <= 8; ++i) table.add(-1.2 + 0.3 * i, -1.0, -3 - 0.6 * j, i / 8.0, j / 16.0);
  for (int j = 0; j < 16; ++j) {
    for (int i = 0; i < 8; ++i) {
      const uint16_t a = static_cast<uint16_t>(j * 9 + i), b = a + 1, cc = a + 9, d = cc + 1;
      table.idx.insert(table.idx.end(), {a, b, d, a, d, cc});
    }
  }
  std::vector<Mesh> balls;
  for (int k = 0; k < 16; ++k)  // 150 triangles each (15 x 5 quads)
    balls.push_back(sphere(-0.9 + 0.6 * (k % 4), -0.85, -4 - 1.5 * (k / 4), 0.15, 15, 5));
  for (auto _ : state) {
    c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    c.glBindTexture(GL_TEXTURE_2D, cloth);
    table.draw(c);
    c.glBindTexture(GL_TEXTURE_2D, ball);
    for (const Mesh& b : balls) b.draw(c);
    c.glFlush();
    c.eglSwapBuffers(0, 1);
  }
  state.counters["triangles"] = static_cast<double>(table.idx.size() / 3 + 16 * balls[0].idx.size() / 3);
}
BENCHMARK(BM_GameFrame56x104)->Unit(benchmark::kMicrosecond);

// ---- full-screen quad, ours and Mesa's --------------------------------------------

void BM_FullScreenQuadOurs(benchmark::State& state) {
  Surface s(240, 320, true);
  GlContext& c = *s.gl;
  s.texture(128, 0x8363);
  depthTexturedState(c);
  c.glDisable(GL_CULL_FACE);
  const double x = 1.0, y = x * 320 / 240;
  Mesh m;
  m.add(-x, -y, -2, 0, 0);
  m.add(x, -y, -2, 1, 0);
  m.add(x, y, -2, 1, 1);
  m.add(-x, y, -2, 0, 1);
  m.idx = {0, 1, 2, 0, 2, 3};
  for (auto _ : state) {
    c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m.draw(c);
    c.glFlush();
  }
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 240 * 320 / 1e6,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullScreenQuadOurs)->Unit(benchmark::kMicrosecond);

double mesaMicroseconds(const char* env) {
  const std::string cmd = std::string(env) + " " + KV_GLREF + " bench 240 320 200 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return 0;
  double us = 0;
  if (std::fscanf(p, "us_per_frame %lf", &us) != 1) us = 0;
  pclose(p);
  return us;
}

double oursMicroseconds() {
  Surface s(240, 320, true);
  GlContext& c = *s.gl;
  s.texture(128, 0x8363);
  depthTexturedState(c);
  c.glDisable(GL_CULL_FACE);
  const double x = 1.0, y = x * 320 / 240;
  Mesh m;
  m.add(-x, -y, -2, 0, 0);
  m.add(x, -y, -2, 1, 0);
  m.add(x, y, -2, 1, 1);
  m.add(-x, y, -2, 0, 1);
  m.idx = {0, 1, 2, 0, 2, 3};
  const int frames = 2000;
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) {
    c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    m.draw(c);
    c.glFlush();
  }
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / frames;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double ours = oursMicroseconds();
  std::printf("\nFull-screen textured quad 240x320 (clear, draw, flush): ours %.1f us per frame\n", ours);
  const struct {
    const char* name;
    const char* env;
  } drivers[] = {{"llvmpipe", "GALLIUM_DRIVER=llvmpipe"},
                 {"llvmpipe, one thread", "GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0"},
                 {"softpipe", "GALLIUM_DRIVER=softpipe"}};
  for (const auto& d : drivers) {
    const double mesa = mesaMicroseconds(d.env);
    if (mesa <= 0) {
      std::printf("  Mesa %s: not available\n", d.name);
      continue;
    }
    std::printf("  Mesa %s: %.1f us per frame, ratio Mesa / ours = %.2f\n", d.name, mesa, mesa / ours);
  }
  return 0;
}
