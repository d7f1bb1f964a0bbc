// Throughput of the software renderer: span families, and the scenes of
// Scenes.h (small triangles, the 56x104 ball view, a full-screen textured
// quad), each also timed on Mesa by glref in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gles/GlContext.h"
#include "bench/gles/Scenes.h"
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

// Spans as a rasteriser calls them: one row after another down a 256-pixel
// surface, each starting at its own column with fractional ends, its own
// texture coordinates and, for the perspective families, the gradients of
// one triangle. The depth is constant along each row and equal to the
// depth half it writes, so every tested pixel passes, time after time.
void BM_Span(benchmark::State& state) {
  const auto family = static_cast<Family>(state.range(0));
  const int n = static_cast<int>(state.range(1));
  const bool depth = family >= kDepthAffine565 && family != kFlat && family != kSmooth;
  constexpr int kRows = 64;
  Surface s(256, kRows, depth);
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
  const bool persp = family == kPersp565 || family == kFixedDivisor || family == kDepthPersp565;
  const int pixelSize = depth ? 4 : 2;
  if (depth) std::memset(c.m_colorBuffer, 0xFF, static_cast<size_t>(256) * kRows * 4);
  std::vector<SpanParams> params(kRows);
  std::vector<void*> rows(kRows);
  for (int r = 0; r < kRows; ++r) {
    SpanParams& p = params[r];
    const int x0 = (r * 53) % (256 - n);
    p.w[0] = x0 * 16384 + (r * 5701) % 16384;
    p.w[1] = (x0 + n) * 16384 + (r * 9187) % 16384;
    const int32_t z = 8192 * (r + 1);
    if (persp) {
      p.w[2] = z; p.w[3] = 0;
      p.w[4] = 16384 + r * 300; p.w[5] = 7;
      p.w[6] = 100 + r * 1500; p.w[7] = 211; p.w[8] = 50 + r * 900; p.w[9] = 97;
    } else {
      p.w[2] = z; p.w[3] = z;
      p.w[4] = 0; p.w[5] = 255 << 16;
      p.w[6] = 100 + r * 1500; p.w[7] = p.w[6] + n * 211; p.w[8] = 50 + r * 900; p.w[9] = p.w[8] + n * 97;
      if (family == kSmooth) { p.w[10] = 0; p.w[11] = 255 << 16; }
      if (family == kFlat || family == kFlatDepth) p.w[10] = 0x1234;
    }
    rows[r] = static_cast<char*>(c.m_colorBuffer) + static_cast<size_t>(r) * 256 * pixelSize;
  }
  int r = 0;
  for (auto _ : state) {
    f(&c, rows[r], &params[r]);
    r = (r + 1) & (kRows - 1);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void spanArgs(benchmark::internal::Benchmark* b) {
  for (int f = kAffine565; f <= kFlatDepth; ++f)
    for (int n : {4, 8, 16, 56, 240}) b->Args({f, n});
}
BENCHMARK(BM_Span)->Apply(spanArgs)->ArgNames({"family", "len"});

// ---- scenes, ours and Mesa's --------------------------------------------------------

// A scene of bench/gles/Scenes.h on our renderer: textures uploaded, positions
// and texture coordinates in Q14.
struct OurScene {
  benchscene::Scene scene;
  std::unique_ptr<Surface> surface;
  struct Drawn {
    GLuint texture;
    std::vector<int32_t> pos, tex;
    const std::vector<uint16_t>* idx;
  };
  std::vector<Drawn> drawn;

  explicit OurScene(benchscene::Scene s) : scene(std::move(s)) {
    surface = std::make_unique<Surface>(scene.width, scene.height, true);
    GlContext& c = *surface->gl;
    c.glFrustumx(-Q(scene.right), Q(scene.right), 0, 0, Q(scene.zNear), Q(scene.zFar));
    c.glEnable(GL_DEPTH_TEST);
    c.glEnable(GL_TEXTURE_2D);
    if (scene.cull) c.glEnable(GL_CULL_FACE);
    c.glEnableClientState(GL_VERTEX_ARRAY);
    c.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    std::map<int, GLuint> textures;  // one per size
    for (const benchscene::Batch& b : scene.batches) {
      Drawn d;
      if (!textures.count(b.texSize)) textures[b.texSize] = surface->texture(b.texSize, 0x8363);
      d.texture = textures[b.texSize];
      for (double v : b.pos) d.pos.push_back(Q(v));
      for (double v : b.tex) d.tex.push_back(Q(v));
      d.idx = &b.idx;
      drawn.push_back(std::move(d));
    }
  }
  void frame() {
    GlContext& c = *surface->gl;
    c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const Drawn& d : drawn) {
      c.glBindTexture(GL_TEXTURE_2D, d.texture);
      c.glVertexPointer(3, GL_FIXED, 0, d.pos.data());
      c.glTexCoordPointer(2, GL_FIXED, 0, d.tex.data());
      c.glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(d.idx->size()), GL_UNSIGNED_SHORT, d.idx->data());
    }
    c.glFlush();
    if (scene.swap) c.eglSwapBuffers(0, 1);
  }
};

void BM_SmallTexturedTriangles(benchmark::State& state) {
  OurScene s(benchscene::smallTriangles());
  for (auto _ : state) s.frame();
  state.counters["triangles/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * s.scene.triangles(),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SmallTexturedTriangles);

void BM_GameFrame56x104(benchmark::State& state) {
  OurScene s(benchscene::ballView());
  for (auto _ : state) s.frame();
  state.counters["triangles"] = s.scene.triangles();
}
BENCHMARK(BM_GameFrame56x104)->Unit(benchmark::kMicrosecond);

void BM_FullScreenQuadOurs(benchmark::State& state) {
  OurScene s(benchscene::fullScreenQuad());
  for (auto _ : state) s.frame();
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * 240 * 320 / 1e6,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullScreenQuadOurs)->Unit(benchmark::kMicrosecond);

// Microseconds per frame of a scene on Mesa (glref, a program of its own), 0
// when it cannot run here.
double mesaMicroseconds(const char* env, const char* scene, int frames) {
  const std::string cmd =
      std::string(env) + " " + KV_GLREF + " time " + scene + " " + std::to_string(frames) + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  if (p == nullptr) return 0;
  double us = 0;
  if (std::fscanf(p, "us_per_frame %lf", &us) != 1) us = 0;
  pclose(p);
  return us;
}

// Ours: the median of five timed runs of `frames` frames each (kept out of
// line so that a profile can cut at each scene).
[[gnu::noinline]] double oursMicroseconds(const benchscene::Scene& scene, int frames) {
  OurScene s(scene);
  for (int i = 0; i < frames / 10 + 1; ++i) s.frame();
  std::vector<double> runs;
  for (int r = 0; r < 5; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) s.frame();
    runs.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / frames);
  }
  std::sort(runs.begin(), runs.end());
  return runs[2];
}

// The three scenes, ours beside llvmpipe on one thread and on all threads,
// each measured in this one run.
void compareWithMesa(int frames) {
  std::printf("\n%-10s %10s %16s %10s %16s %10s\n", "scene", "ours us", "llvmpipe 1 us", "ratio", "llvmpipe all us",
              "ratio");
  for (const benchscene::Scene& scene :
       {benchscene::fullScreenQuad(), benchscene::smallTriangles(), benchscene::ballView()}) {
    const double ours = oursMicroseconds(scene, frames);
    const double one = mesaMicroseconds("GALLIUM_DRIVER=llvmpipe LP_NUM_THREADS=0", scene.name, frames);
    const double all = mesaMicroseconds("GALLIUM_DRIVER=llvmpipe", scene.name, frames);
    auto column = [&](double mesa) {
      if (mesa <= 0) {
        std::printf(" %16s %10s", "n/a", "-");
      } else {
        std::printf(" %16.1f %10.2f", mesa, mesa / ours);
      }
    };
    std::printf("%-10s %10.1f", scene.name, ours);
    column(one);
    column(all);
    std::printf("\n");
  }
  std::printf("(ratio: Mesa's time over ours; above 1 means ours is faster)\n");
}

}  // namespace

// --compare=N prints only the comparison with Mesa, N frames per timing;
// --profile=SCENE,N only draws N frames of one scene (for a profiler).
// --no-compare leaves the comparison out.
int main(int argc, char** argv) {
  bool compare = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-compare") == 0) compare = false;
    if (std::strncmp(argv[i], "--compare=", 10) == 0) {
      const int frames = std::atoi(argv[i] + 10);
      compareWithMesa(frames > 0 ? frames : 200);
      return 0;
    }
    if (std::strncmp(argv[i], "--profile=", 10) == 0) {
      const std::string arg = argv[i] + 10;
      const size_t comma = arg.find(',');
      benchscene::Scene scene;
      if (!benchscene::sceneByName(arg.substr(0, comma).c_str(), scene)) return 1;
      OurScene s(scene);
      const int frames = comma == std::string::npos ? 10000 : std::atoi(arg.c_str() + comma + 1);
      for (int f = 0; f < frames; ++f) s.frame();
      return 0;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (compare) compareWithMesa(200);
  return 0;
}
