// Renders a scene file (batches of triangles, each textured or coloured)
// with the system's OpenGL ES 1.1 on a surfaceless EGL pbuffer and writes the
// frame as RGB565, top row first; or times a full-screen textured quad, or
// one of the renderer benchmark's scenes (bench/gles/Scenes.h).
//   glref render <scene> <out.raw>
//   glref bench <width> <height> <frames>
//   glref time quad|small|ballview <frames>
// Exit status 77: no usable EGL / OpenGL ES 1 here.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLES/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/gles/Scenes.h"

namespace {

constexpr int kUnavailable = 77;

bool setUp(int w, int h) {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  EGLDisplay dpy = EGL_NO_DISPLAY;
  if (getPlatformDisplay) dpy = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (dpy == EGL_NO_DISPLAY) dpy = eglGetDisplay(EGL_DEFAULT_DISPLAY);
  if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, nullptr, nullptr)) return false;
  const EGLint attribs[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                            EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16, EGL_NONE};
  EGLConfig cfg;
  EGLint n = 0;
  if (!eglChooseConfig(dpy, attribs, &cfg, 1, &n) || n < 1) return false;
  const EGLint pb[] = {EGL_WIDTH, w, EGL_HEIGHT, h, EGL_NONE};
  EGLSurface surf = eglCreatePbufferSurface(dpy, cfg, pb);
  if (surf == EGL_NO_SURFACE) return false;
  eglBindAPI(EGL_OPENGL_ES_API);
  const EGLint ctxAttribs[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
  EGLContext ctx = eglCreateContext(dpy, cfg, EGL_NO_CONTEXT, ctxAttribs);
  if (ctx == EGL_NO_CONTEXT) return false;
  return eglMakeCurrent(dpy, surf, surf, ctx) == EGL_TRUE;
}

void commonState(int w, int h, float right, float zNear, float zFar) {
  glViewport(0, 0, w, h);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const float top = right * static_cast<float>(h) / static_cast<float>(w);
  glFrustumf(-right, right, -top, top, zNear, zFar);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DITHER);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glClearColor(0, 0, 0, 1);
  glClearDepthf(1);
}

void uploadTexture(int size, const std::vector<uint16_t>& texels) {
  GLuint name;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, size, size, 0, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
}

// RGBA8 read back, truncated to RGB565, rows flipped to top first.
std::vector<uint16_t> readFrame(int w, int h) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  std::vector<uint16_t> out(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgba[(static_cast<size_t>(h - 1 - y) * w + x) * 4];
      out[static_cast<size_t>(y) * w + x] = static_cast<uint16_t>(((p[0] & 0xF8) << 8) | ((p[1] & 0xFC) << 3) | (p[2] >> 3));
    }
  }
  return out;
}

struct Batch {
  std::string mode;
  int texSize = 0;
  std::vector<uint16_t> texels;
  std::vector<float> pos, tex;
  std::vector<uint8_t> col;
};

// One batch: "texture S" and S x S hex texels, "mode M", "tris N" and 3N
// vertices (x y z s t r g b a).
bool readBatch(std::istream& in, Batch& b) {
  std::string word;
  int tris = 0;
  in >> b.texSize;
  if (!in || b.texSize < 0 || b.texSize > 1024) return false;
  for (int i = 0; i < b.texSize * b.texSize; ++i) {
    unsigned t;
    in >> std::hex >> t >> std::dec;
    b.texels.push_back(static_cast<uint16_t>(t));
  }
  in >> word >> b.mode >> word >> tris;
  if (!in || tris < 0 || tris > 100000) return false;
  for (int i = 0; i < tris * 3; ++i) {
    float x, y, z, s, t;
    int r, g, bl, a;
    in >> x >> y >> z >> s >> t >> r >> g >> bl >> a;
    b.pos.insert(b.pos.end(), {x, y, z});
    b.tex.insert(b.tex.end(), {s, t});
    b.col.insert(b.col.end(), {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(bl),
                               static_cast<uint8_t>(a)});
  }
  return static_cast<bool>(in);
}

// "glref", "size W H", "frustum right near far", optionally "cull back",
// then one or more batches.
int render(const char* scenePath, const char* outPath) {
  std::ifstream in(scenePath);
  std::string word;
  int w = 0, h = 0;
  float right = 0, zNear = 0, zFar = 0;
  bool cull = false;
  std::vector<Batch> batches;
  in >> word;
  if (word != "glref") return 2;
  in >> word >> w >> h >> word >> right >> zNear >> zFar >> word;
  if (word == "cull") {
    in >> word >> word;
    cull = true;
  }
  while (in && word == "texture") {
    batches.emplace_back();
    if (!readBatch(in, batches.back())) return 2;
    if (!(in >> word)) break;
  }
  if (w < 1 || h < 1 || batches.empty()) return 2;
  if (!setUp(w, h)) return kUnavailable;
  commonState(w, h, right, zNear, zFar);
  if (cull) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
  }
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnableClientState(GL_VERTEX_ARRAY);
  for (const Batch& b : batches) {
    glVertexPointer(3, GL_FLOAT, 0, b.pos.data());
    if (b.mode == "textured" && b.texSize > 0) {
      glDisableClientState(GL_COLOR_ARRAY);
      uploadTexture(b.texSize, b.texels);
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
      glTexCoordPointer(2, GL_FLOAT, 0, b.tex.data());
    } else {
      glDisable(GL_TEXTURE_2D);
      glDisableClientState(GL_TEXTURE_COORD_ARRAY);
      glShadeModel(b.mode == "smooth" ? GL_SMOOTH : GL_FLAT);
      glEnableClientState(GL_COLOR_ARRAY);
      glColorPointer(4, GL_UNSIGNED_BYTE, 0, b.col.data());
    }
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(b.pos.size() / 3));
  }
  glFinish();
  const std::vector<uint16_t> frame = readFrame(w, h);
  std::ofstream out(outPath, std::ios::binary);
  out.write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size() * 2));
  return out ? 0 : 3;
}

int bench(int w, int h, int frames) {
  if (w < 1 || h < 1 || frames < 1) return 2;
  if (!setUp(w, h)) return kUnavailable;
  commonState(w, h, 0.5f, 1.0f, 100.0f);
  std::vector<uint16_t> texels(128 * 128);
  for (int i = 0; i < 128 * 128; ++i) texels[i] = static_cast<uint16_t>(i * 2654435761u >> 16);
  uploadTexture(128, texels);
  // A quad filling the view at depth 2.
  const float z = -2.0f, x = 1.0f, y = x * static_cast<float>(h) / static_cast<float>(w);
  const float pos[] = {-x, -y, z, x, -y, z, x, y, z, -x, -y, z, x, y, z, -x, y, z};
  const float tex[] = {0, 0, 1, 0, 1, 1, 0, 0, 1, 1, 0, 1};
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, pos);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, tex);
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDrawArrays(GL_TRIANGLES, 0, 6);
    glFinish();
  };
  for (int i = 0; i < 5; ++i) frame();
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) frame();
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count();
  std::printf("us_per_frame %.3f\n", us / frames);
  return 0;
}

// A scene of the renderer's benchmark (bench/gles/Scenes.h), timed over
// frames: clear, every batch with its texture, glFinish.
int timeScene(const char* name, int frames) {
  benchscene::Scene scene;
  if (!benchscene::sceneByName(name, scene) || frames < 1) return 2;
  if (!setUp(scene.width, scene.height)) return kUnavailable;
  commonState(scene.width, scene.height, static_cast<float>(scene.right), static_cast<float>(scene.zNear),
              static_cast<float>(scene.zFar));
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  if (scene.cull) {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
  }
  struct Drawn {
    GLuint texture;
    std::vector<float> pos, tex;
    const std::vector<uint16_t>* idx;
  };
  std::vector<Drawn> drawn;
  std::map<int, GLuint> textures;  // one per size
  for (const benchscene::Batch& b : scene.batches) {
    Drawn d;
    if (!textures.count(b.texSize)) {
      uploadTexture(b.texSize, benchscene::texels(b.texSize));
      glGetIntegerv(GL_TEXTURE_BINDING_2D, reinterpret_cast<GLint*>(&textures[b.texSize]));
    }
    d.texture = textures[b.texSize];
    for (double v : b.pos) d.pos.push_back(static_cast<float>(v));
    for (double v : b.tex) d.tex.push_back(static_cast<float>(v));
    d.idx = &b.idx;
    drawn.push_back(std::move(d));
  }
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  auto frame = [&] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const Drawn& d : drawn) {
      glBindTexture(GL_TEXTURE_2D, d.texture);
      glVertexPointer(3, GL_FLOAT, 0, d.pos.data());
      glTexCoordPointer(2, GL_FLOAT, 0, d.tex.data());
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(d.idx->size()), GL_UNSIGNED_SHORT, d.idx->data());
    }
    glFinish();
  };
  for (int i = 0; i < frames / 10 + 1; ++i) frame();
  // The median of five runs, as the benchmark takes ours.
  std::vector<double> runs;
  for (int r = 0; r < 5; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) frame();
    runs.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0).count() / frames);
  }
  std::sort(runs.begin(), runs.end());
  std::printf("us_per_frame %.3f\n", runs[2]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "render") == 0) return render(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "time") == 0) return timeScene(argv[2], std::atoi(argv[3]));
  if (argc == 5 && std::strcmp(argv[1], "bench") == 0)
    return bench(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
  std::fprintf(stderr,
               "usage: glref render <scene> <out.raw> | glref bench <width> <height> <frames> |"
               " glref time quad|small|ballview <frames>\n");
  return 2;
}
