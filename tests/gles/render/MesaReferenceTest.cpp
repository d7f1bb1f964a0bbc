// Frames of our renderer against the same scenes drawn by Mesa's OpenGL ES
// 1.1 in the separate glref program (nearest, repeat, replace, no dither).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "RenderTestUtil.h"

namespace {

constexpr int kW = 64, kH = 64, kTex = 32;
constexpr double kRight = 0.5, kNear = 1.0, kFar = 100.0;

struct V {
  int32_t x, y, z, s, t;  // Q14
  uint8_t r, g, b, a;
};

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

std::string helperPath() { return std::string(KV_BINARY_DIR) + "/tools/glref/glref"; }

// Mesa's frame, or an empty vector with the reason the reference is missing.
std::vector<uint16_t> mesaFrame(const Scene& s, std::string& why) {
  const std::string helper = helperPath();
  if (!std::ifstream(helper)) {
    why = "Mesa reference helper not built (needs libegl-mesa0, libgles1, libegl-dev, libgles-dev)";
    return {};
  }
  const std::string base = testing::TempDir() + "glref_" + s.mode;
  {
    std::ofstream f(base + ".txt");
    f << "glref\nsize " << kW << " " << kH << "\nfrustum " << kRight << " " << kNear << " " << kFar << "\n";
    f << "texture " << (s.mode == "textured" ? kTex : 0) << "\n";
    if (s.mode == "textured")
      for (int y = 0; y < kTex; ++y)
        for (int x = 0; x < kTex; ++x) f << std::hex << texel(x, y) << std::dec << (x + 1 == kTex ? "\n" : " ");
    f << "mode " << s.mode << "\ntris " << s.verts.size() / 3 << "\n";
    char line[256];
    for (const V& p : s.verts) {
      std::snprintf(line, sizeof line, "%.9g %.9g %.9g %.9g %.9g %d %d %d %d\n", p.x / 16384.0, p.y / 16384.0,
                    p.z / 16384.0, p.s / 16384.0, p.t / 16384.0, p.r, p.g, p.b, p.a);
      f << line;
    }
  }
  const int rc = std::system((helper + " render " + base + ".txt " + base + ".raw").c_str());
  if (rc == -1 || !WIFEXITED(rc) || WEXITSTATUS(rc) != 0) {
    why = WIFEXITED(rc) && WEXITSTATUS(rc) == 77 ? "Mesa EGL / OpenGL ES 1.1 not usable on this machine"
                                                  : "glref failed";
    return {};
  }
  std::vector<uint16_t> frame(kW * kH);
  std::ifstream in(base + ".raw", std::ios::binary);
  in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size() * 2));
  if (!in) {
    why = "glref wrote no frame";
    return {};
  }
  return frame;
}

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

// Whether a pixel centre lies within 2.5 pixels of a projected edge.
bool nearEdge(const Scene& s, int px, int py) {
  const double scale = kNear / kRight * kW / 2;
  auto proj = [&](const V& p, double& x, double& y) {
    const double d = -p.z / 16384.0;
    x = kW / 2.0 + p.x / 16384.0 * scale / d;
    y = kH / 2.0 - p.y / 16384.0 * scale / d;
  };
  const double cx = px + 0.5, cy = py + 0.5;
  for (size_t i = 0; i < s.verts.size(); i += 3) {
    for (int e = 0; e < 3; ++e) {
      double ax, ay, bx, by;
      proj(s.verts[i + e], ax, ay);
      proj(s.verts[i + (e + 1) % 3], bx, by);
      const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
      double t = len2 > 0 ? ((cx - ax) * dx + (cy - ay) * dy) / len2 : 0;
      t = t < 0 ? 0 : (t > 1 ? 1 : t);
      if (std::hypot(cx - (ax + t * dx), cy - (ay + t * dy)) <= 2.5) return true;
    }
  }
  return false;
}

void compare(const Scene& s, int tolRB, int tolG) {
  std::string why;
  const std::vector<uint16_t> mesa = mesaFrame(s, why);
  if (mesa.empty()) GTEST_SKIP() << why;
  const std::vector<uint16_t> ours = ourFrame(s);
  int considered = 0, agree = 0, lit = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      if (nearEdge(s, x, y)) continue;
      const uint16_t a = ours[y * kW + x], b = mesa[y * kW + x];
      ++considered;
      lit += b != 0;
      const int dr = std::abs((a >> 11) - (b >> 11)), dg = std::abs(((a >> 5) & 63) - ((b >> 5) & 63)),
                db = std::abs((a & 31) - (b & 31));
      if (dr <= tolRB && dg <= tolG && db <= tolRB) ++agree;
    }
  }
  EXPECT_GT(lit, considered / 4) << "the scene covers too little of the frame";
  EXPECT_GE(agree * 100, considered * 99) << agree << " of " << considered << " pixels agree (" << s.mode << ")";
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
