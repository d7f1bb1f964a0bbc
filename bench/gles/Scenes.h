// The scenes that the renderer's benchmark times and that glref times on
// Mesa: plain data (positions, texture coordinates, indices and RGB565
// textures), no GL. Every scene draws with the depth test, nearest texels
// and a symmetric frustum of half-width `right` at `zNear`.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace benchscene {

struct Batch {
  int texSize = 0;               // square RGB565 texture, texSize x texSize; batches of one size share it
  std::vector<double> pos, tex;  // x y z per vertex, s t per vertex
  std::vector<uint16_t> idx;     // triangles
  uint16_t add(double x, double y, double z, double s, double t) {
    pos.insert(pos.end(), {x, y, z});
    tex.insert(tex.end(), {s, t});
    return static_cast<uint16_t>(pos.size() / 3 - 1);
  }
  int triangles() const { return static_cast<int>(idx.size() / 3); }
};

struct Scene {
  const char* name = "";
  int width = 0, height = 0;
  double right = 0.5, zNear = 1.0, zFar = 100.0;
  bool cull = false;  // back faces, counter-clockwise in front
  bool swap = false;  // the picture is copied out after each frame (ours: eglSwapBuffers)
  std::vector<Batch> batches;
  int triangles() const {
    int n = 0;
    for (const Batch& b : batches) n += b.triangles();
    return n;
  }
};

// The texels every batch uses: a hash of the index, never zero.
inline std::vector<uint16_t> texels(int size) {
  std::vector<uint16_t> t(static_cast<size_t>(size) * static_cast<size_t>(size));
  for (size_t i = 0; i < t.size(); ++i) t[i] = static_cast<uint16_t>(((i * 2654435761u) >> 16) | 0x1111);
  return t;
}

// A sphere of slices x stacks quads (2 triangles each), counter-clockwise outside.
inline void sphere(Batch& m, double cx, double cy, double cz, double r, int slices, int stacks) {
  const uint16_t base = static_cast<uint16_t>(m.pos.size() / 3);
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
      const uint16_t a = static_cast<uint16_t>(base + j * (slices + 1) + i), b = a + 1, c = a + slices + 1, d = c + 1;
      m.idx.insert(m.idx.end(), {a, c, b, b, c, d});
    }
  }
}

// A 240x320 view filled by one textured quad (128 texture) at depth 2.
inline Scene fullScreenQuad() {
  Scene s;
  s.name = "quad";
  s.width = 240;
  s.height = 320;
  Batch m;
  m.texSize = 128;
  const double x = 1.0, y = x * 320 / 240;
  m.add(-x, -y, -2, 0, 0);
  m.add(x, -y, -2, 1, 0);
  m.add(x, y, -2, 1, 1);
  m.add(-x, y, -2, 0, 1);
  m.idx = {0, 1, 2, 0, 2, 3};
  s.batches.push_back(m);
  return s;
}

// 400 triangles of about 6x6 pixels across a 56x104 view (64 texture).
inline Scene smallTriangles() {
  Scene s;
  s.name = "small";
  s.width = 56;
  s.height = 104;
  Batch m;
  m.texSize = 64;
  for (int k = 0; k < 400; ++k) {
    const double x = -0.9 + 1.8 * ((k * 37) % 100) / 100.0, y = -1.8 + 3.6 * ((k * 61) % 100) / 100.0;
    const double z = -5 - (k % 7) * 0.3;
    m.idx.push_back(m.add(x, y, z, 0, 0));
    m.idx.push_back(m.add(x + 0.12, y, z, 1, 0));
    m.idx.push_back(m.add(x, y + 0.12, z, 0, 1));
  }
  s.batches.push_back(m);
  return s;
}

// The ball view: a 56x104 picture of a floor of 8 x 16 quads (128 texture)
// and sixteen balls of 150 triangles (64 texture), back faces culled.
inline Scene ballView() {
  Scene s;
  s.name = "ballview";
  s.width = 56;
  s.height = 104;
  s.cull = true;
  s.swap = true;
  Batch table;
  table.texSize = 128;
  for (int j = 0; j <= 16; ++j)
    for (int i = 0; i <= 8; ++i) table.add(-1.2 + 0.3 * i, -1.0, -3 - 0.6 * j, i / 8.0, j / 16.0);
  for (int j = 0; j < 16; ++j) {
    for (int i = 0; i < 8; ++i) {
      const uint16_t a = static_cast<uint16_t>(j * 9 + i), b = a + 1, cc = a + 9, d = cc + 1;
      table.idx.insert(table.idx.end(), {a, b, d, a, d, cc});
    }
  }
  s.batches.push_back(table);
  for (int k = 0; k < 16; ++k) {
    Batch ball;
    ball.texSize = 64;
    sphere(ball, -0.9 + 0.6 * (k % 4), -0.85, -4 - 1.5 * (k / 4), 0.15, 15, 5);
    s.batches.push_back(ball);
  }
  return s;
}

inline bool sceneByName(const char* name, Scene& out) {
  for (Scene s : {fullScreenQuad(), smallTriangles(), ballView()}) {
    if (std::strcmp(s.name, name) == 0) {
      out = s;
      return true;
    }
  }
  return false;
}

}  // namespace benchscene
