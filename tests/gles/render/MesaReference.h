// Frames drawn by Mesa's OpenGL ES 1.1 in the separate glref program, and
// their comparison with ours (nearest, repeat, replace, no dither). A scene
// is eye-space triangles in batches, each with its own texture or colours.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace mesaref {

struct V {
  int32_t x, y, z, s, t;  // Q14, eye space
  uint8_t r, g, b, a;
};

struct Batch {
  std::string mode;  // flat, smooth, textured
  int texSize = 0;
  std::vector<uint16_t> texels;  // RGB565, texSize x texSize
  std::vector<V> verts;          // three per triangle
  void tri(V a, V b, V c) { verts.insert(verts.end(), {a, b, c}); }
};

struct Scene {
  int w = 64, h = 64;
  double right = 0.5, zNear = 1.0, zFar = 100.0;  // top = right * h / w
  bool cull = false;                              // back faces, counter-clockwise in front
  std::vector<Batch> batches;
};

inline std::string helperPath() { return std::string(KV_BINARY_DIR) + "/tools/glref/glref"; }

// Mesa's frame (top row first), or an empty vector with the reason it is missing.
inline std::vector<uint16_t> mesaFrame(const Scene& s, const std::string& name, std::string& why) {
  const std::string helper = helperPath();
  if (!std::ifstream(helper)) {
    why = "Mesa reference helper not built (needs libegl-mesa0, libgles1, libegl-dev, libgles-dev)";
    return {};
  }
  const std::string base = testing::TempDir() + "glref_" + name;
  {
    std::ofstream f(base + ".txt");
    f << "glref\nsize " << s.w << " " << s.h << "\nfrustum " << s.right << " " << s.zNear << " " << s.zFar << "\n";
    if (s.cull) f << "cull back\n";
    for (const Batch& b : s.batches) {
      f << "texture " << b.texSize << "\n";
      for (size_t i = 0; i < b.texels.size(); ++i)
        f << std::hex << b.texels[i] << std::dec << ((i + 1) % static_cast<size_t>(b.texSize) == 0 ? "\n" : " ");
      f << "mode " << b.mode << "\ntris " << b.verts.size() / 3 << "\n";
      char line[256];
      for (const V& p : b.verts) {
        std::snprintf(line, sizeof line, "%.9g %.9g %.9g %.9g %.9g %d %d %d %d\n", p.x / 16384.0, p.y / 16384.0,
                      p.z / 16384.0, p.s / 16384.0, p.t / 16384.0, p.r, p.g, p.b, p.a);
        f << line;
      }
    }
  }
  const int rc = std::system((helper + " render " + base + ".txt " + base + ".raw").c_str());
  if (rc == -1 || !WIFEXITED(rc) || WEXITSTATUS(rc) != 0) {
    why = WIFEXITED(rc) && WEXITSTATUS(rc) == 77 ? "Mesa EGL / OpenGL ES 1.1 not usable on this machine"
                                                  : "glref failed";
    return {};
  }
  std::vector<uint16_t> frame(static_cast<size_t>(s.w) * s.h);
  std::ifstream in(base + ".raw", std::ios::binary);
  in.read(reinterpret_cast<char*>(frame.data()), static_cast<std::streamsize>(frame.size() * 2));
  if (!in) {
    why = "glref wrote no frame";
    return {};
  }
  return frame;
}

// Whether a pixel centre lies within 2.5 pixels of a projected edge (of a
// triangle wholly in front of the near plane).
inline bool nearEdge(const Scene& s, int px, int py) {
  const double scale = s.zNear / s.right * s.w / 2;
  auto proj = [&](const V& p, double& x, double& y) {
    const double d = -p.z / 16384.0;
    x = s.w / 2.0 + p.x / 16384.0 * scale / d;
    y = s.h / 2.0 - p.y / 16384.0 * scale / d;
  };
  const double cx = px + 0.5, cy = py + 0.5;
  for (const Batch& b : s.batches) {
    for (size_t i = 0; i + 2 < b.verts.size(); i += 3) {
      for (int e = 0; e < 3; ++e) {
        double ax, ay, bx, by;
        proj(b.verts[i + e], ax, ay);
        proj(b.verts[i + (e + 1) % 3], bx, by);
        const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((cx - ax) * dx + (cy - ay) * dy) / len2 : 0;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        if (std::hypot(cx - (ax + t * dx), cy - (ay + t * dy)) <= 2.5) return true;
      }
    }
  }
  return false;
}

// Our frame against Mesa's away from edges: at least 99% of the pixels agree
// within the tolerances, and the scene covers a quarter of the frame.
inline void compare(const Scene& s, const std::string& name, const std::vector<uint16_t>& ours, int tolRB, int tolG) {
  std::string why;
  const std::vector<uint16_t> mesa = mesaFrame(s, name, why);
  if (mesa.empty()) GTEST_SKIP() << why;
  int considered = 0, agree = 0, lit = 0;
  for (int y = 0; y < s.h; ++y) {
    for (int x = 0; x < s.w; ++x) {
      if (nearEdge(s, x, y)) continue;
      const uint16_t a = ours[y * s.w + x], b = mesa[y * s.w + x];
      ++considered;
      lit += b != 0;
      const int dr = std::abs((a >> 11) - (b >> 11)), dg = std::abs(((a >> 5) & 63) - ((b >> 5) & 63)),
                db = std::abs((a & 31) - (b & 31));
      if (dr <= tolRB && dg <= tolG && db <= tolRB) ++agree;
    }
  }
  EXPECT_GT(lit, considered / 4) << "the scene covers too little of the frame";
  EXPECT_GE(agree * 100, considered * 99) << agree << " of " << considered << " pixels agree (" << name << ")";
}

}  // namespace mesaref
