// Frames of our renderer against the same scenes drawn by Mesa's OpenGL ES
// 1.1 in the separate glref program (nearest, repeat, replace, no dither).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "MesaReference.h"
#include "RenderTestUtil.h"

namespace {

using mesaref::V;

constexpr int kW = 64, kH = 64, kTex = 32;
constexpr double kRight = 0.5, kNear = 1.0, kFar = 100.0;

// One batch of one mode.
struct Scene {
  std::string mode;  // flat, smooth, textured
  std::vector<V> verts;
  void tri(V a, V b, V c) {
    verts.push_back(a);
    verts.push_back(b);
    verts.push_back(c);
  }
};

V v(double x, double y, double z, double s = 0, double t = 0, uint32_t rgb = 0xFFFFFF) {
  return {rt::Q(x), rt::Q(y), rt::Q(z), rt::Q(s), rt::Q(t), uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb), 255};
}

uint16_t texel(int x, int y) { return static_cast<uint16_t>((x << 11) | ((2 * y) << 5) | ((x + y) / 2)); }

std::vector<uint16_t> ourFrame(const Scene& s) {
  const bool depth = s.mode != "smooth";  // smooth shading is interpolated only without depth words
  rt::Gl g(kW, kH, depth);
  GlContext& c = *g.gl;
  g.frustum(kRight, kNear, kFar);
  c.glClearColorx(0, 0, 0, 16384);
  c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (depth) c.glEnable(GL_DEPTH_TEST);
  c.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  std::vector<int32_t> pos, tex;
  std::vector<uint8_t> col;
  std::vector<uint16_t> idx;
  for (const V& p : s.verts) {
    pos.insert(pos.end(), {p.x, p.y, p.z});
    tex.insert(tex.end(), {p.s, p.t});
    col.insert(col.end(), {p.r, p.g, p.b, p.a});
    idx.push_back(static_cast<uint16_t>(idx.size()));
  }
  c.glEnableClientState(GL_VERTEX_ARRAY);
  c.glVertexPointer(3, GL_FIXED, 0, pos.data());
  if (s.mode == "textured") {
    rt::makeTexture(c, kTex, GL_UNSIGNED_SHORT_5_6_5, texel);
    c.glEnable(GL_TEXTURE_2D);
    c.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    c.glTexCoordPointer(2, GL_FIXED, 0, tex.data());
  } else {
    c.glShadeModel(s.mode == "smooth" ? GL_SMOOTH : GL_FLAT);
    c.glEnableClientState(GL_COLOR_ARRAY);
    c.glColorPointer(4, GL_UNSIGNED_BYTE, 0, col.data());
  }
  c.glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(idx.size()), GL_UNSIGNED_SHORT, idx.data());
  c.glFlush();
  std::vector<uint16_t> out(kW * kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) out[y * kW + x] = g.pixel(x, y);
  return out;
}

void compare(const Scene& s, int tolRB, int tolG) {
  mesaref::Scene scene{kW, kH, kRight, kNear, kFar, false, {}};
  mesaref::Batch b{s.mode, 0, {}, s.verts};
  if (s.mode == "textured") {
    b.texSize = kTex;
    for (int y = 0; y < kTex; ++y)
      for (int x = 0; x < kTex; ++x) b.texels.push_back(texel(x, y));
  }
  scene.batches.push_back(b);
  mesaref::compare(scene, s.mode, ourFrame(s), tolRB, tolG);
}

}  // namespace

TEST(MesaReference, FlatTrianglesWithDepth) {
  Scene s{"flat", {}};
  auto flat = [&](V a, V b, V c, uint32_t rgb) {
    for (V* p : {&a, &b, &c}) {
      p->r = uint8_t(rgb >> 16);
      p->g = uint8_t(rgb >> 8);
      p->b = uint8_t(rgb);
    }
    s.tri(a, b, c);
  };
  flat(v(-3, -3, -6), v(3, -3, -6), v(0, 3, -6), 0xFF8000);
  // Overlapping at separate depths (the 16-bit depth steps by half a unit,
  // so surfaces that cut through each other are left out).
  flat(v(-1.5, -2, -4), v(2, -1, -4.5), v(0.5, 2, -5), 0x30C0F0);
  flat(v(-2, 0.5, -3), v(-0.5, 0.5, -3), v(-1.25, 1.5, -3), 0x40FF40);
  flat(v(-40, -40, -60), v(40, -40, -60), v(0, 40, -60), 0x808080);  // background
  compare(s, 0, 0);
}

TEST(MesaReference, SmoothTriangles) {
  Scene s{"smooth", {}};
  s.tri(v(-2, -2, -5, 0, 0, 0xFF0000), v(2, -2, -5, 0, 0, 0x00FF00), v(-2, 2, -5, 0, 0, 0x0000FF));
  s.tri(v(2.2, -1.8, -5, 0, 0, 0xFFFFFF), v(2.2, 2.2, -5, 0, 0, 0x000000), v(-1.8, 2.2, -5, 0, 0, 0xFF00FF));
  compare(s, 2, 4);
}

TEST(MesaReference, TexturedPerspective) {
  Scene s{"textured", {}};
  // A floor receding into the distance and an upright quad, coordinates inside one repeat.
  s.tri(v(-3, -1, -2, 0.02, 0.02), v(3, -1, -2, 0.98, 0.02), v(3, -1, -12, 0.98, 0.98));
  s.tri(v(-3, -1, -2, 0.02, 0.02), v(3, -1, -12, 0.98, 0.98), v(-3, -1, -12, 0.02, 0.98));
  s.tri(v(-1, -0.5, -5, 0.02, 0.98), v(1, -0.5, -5, 0.98, 0.98), v(1, 1.5, -6, 0.98, 0.02));
  s.tri(v(-1, -0.5, -5, 0.02, 0.98), v(1, 1.5, -6, 0.98, 0.02), v(-1, 1.5, -6, 0.02, 0.02));
  compare(s, 2, 4);
}
