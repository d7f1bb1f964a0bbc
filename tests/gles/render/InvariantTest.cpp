// Invariants of the rasterisers: a mesh covers each pixel exactly once, and a
// coordinate-encoding texture lands where an exact model puts it.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "RenderTestUtil.h"
#include "gles/Rasterisers.h"

using namespace kvgl;
using rt::vtx;

TEST(RasterInvariant, TriangulatedGridCoversEachPixelOnce) {
  constexpr int kW = 200, kH = 150, kCols = 9, kRows = 7, kX0 = 10, kY0 = 12, kX1 = 190, kY1 = 138;
  rt::Gl g(kW, kH, false);
  std::mt19937 rng(7);
  for (int round = 0; round < 4; ++round) {
    g.clearTo(0);
    // Interior grid points jittered; the border stays on the rectangle.
    std::vector<VertexSlot> pts((kCols + 1) * (kRows + 1));
    std::uniform_int_distribution<int> jitter(-4, 4);  // quads stay convex
    for (int j = 0; j <= kRows; ++j) {
      for (int i = 0; i <= kCols; ++i) {
        int x = kX0 + (kX1 - kX0) * i / kCols, y = kY0 + (kY1 - kY0) * j / kRows;
        if (i > 0 && i < kCols) x += jitter(rng);
        if (j > 0 && j < kRows) y += jitter(rng);
        pts[j * (kCols + 1) + i] = vtx(x, y);
      }
    }
    g.gl->m_rasteriser = rasterFlat;
    g.gl->m_spanFunction = rt::countingSpan;
    for (int j = 0; j < kRows; ++j) {
      for (int i = 0; i < kCols; ++i) {
        VertexSlot* a = &pts[j * (kCols + 1) + i];
        VertexSlot* b = a + 1;
        VertexSlot* c = a + kCols + 1;
        VertexSlot* d = c + 1;
        if ((i + j + round) & 1) {
          g.gl->sortAndRasterise(a, b, d);
          g.gl->sortAndRasterise(a, d, c);
        } else {
          g.gl->sortAndRasterise(a, b, c);
          g.gl->sortAndRasterise(b, d, c);
        }
      }
    }
    int wrong = 0;
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const int expected = (x >= kX0 && x < kX1 && y >= kY0 && y < kY1) ? 1 : 0;
        if (g.pixel(x, y) != expected) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0) << "round " << round;
  }
}

namespace {

struct P2 {
  double x, y, u, v, w;
};

// Exact row ends of the triangle and the attribute values there.
bool rowEnds(const P2 t[3], double y, P2& l, P2& r) {
  int found = 0;
  P2 hit[2];
  for (int i = 0; i < 3 && found < 2; ++i) {
    const P2& a = t[i];
    const P2& b = t[(i + 1) % 3];
    if (a.y == b.y) continue;
    const double lo = std::min(a.y, b.y), hi = std::max(a.y, b.y);
    if (y < lo || y > hi) continue;
    const double s = (y - a.y) / (b.y - a.y);
    hit[found++] = {a.x + s * (b.x - a.x), y, a.u + s * (b.u - a.u), a.v + s * (b.v - a.v), a.w + s * (b.w - a.w)};
  }
  if (found < 2) return false;
  l = hit[0].x <= hit[1].x ? hit[0] : hit[1];
  r = hit[0].x <= hit[1].x ? hit[1] : hit[0];
  return true;
}

int wrapDistance(int a, int b, int n) {
  int d = std::abs(a - b) % n;
  return std::min(d, n - d);
}

}  // namespace

TEST(RasterInvariant, CoordinateTextureMatchesExactModel) {
  constexpr int kSize = 256, kW = 160, kH = 120;
  rt::Gl g(kW, kH, false);
  rt::makeTexture(*g.gl, kSize, GL_UNSIGNED_SHORT_5_6_5, [](int x, int y) { return static_cast<uint16_t>((y << 8) | x); });
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> px(0, kW), py(0, kH);
  std::uniform_real_distribution<double> uv(-0.7, 1.7), ww(0.8, 1.25);  // mild perspective: spans are linear between every 16th pixel
  int checked = 0, bad = 0;
  for (int tri = 0; tri < 60; ++tri) {
    const bool perspective = tri & 1;
    P2 t[3];
    VertexSlot s[3];
    for (int i = 0; i < 3; ++i) {
      t[i] = {double(px(rng)), double(py(rng)), uv(rng), uv(rng), perspective ? ww(rng) : 1.0};
      const int32_t wq = static_cast<int32_t>(t[i].w * 16384);
      t[i].w = wq / 16384.0;
      s[i] = vtx(int(t[i].x), int(t[i].y), rt::Q(t[i].u), rt::Q(t[i].v), 0, wq);
      t[i].u = s[i].attr0 / 16384.0;
      t[i].v = s[i].attr1 / 16384.0;
    }
    g.clearTo(0xFFFF);
    g.gl->m_rasteriser = perspective ? rasterTexPersp : rasterTexAffine;
    g.gl->m_spanFunction = perspective ? g.gl->m_texPerspectiveSpans.fn[3][0] : g.gl->m_texAffineSpans.fn[3][0];
    g.gl->sortAndRasterise(&s[0], &s[1], &s[2]);
    // Plane model for the perspective case: U = u*w, V = v*w and w are linear in screen space.
    for (int y = 0; y < kH; ++y) {
      P2 l, r;
      if (!rowEnds(t, y, l, r)) continue;
      const int x0 = int(std::floor(l.x)) + 2, x1 = int(std::floor(r.x)) - 2;
      for (int x = x0; x < x1; ++x) {
        const uint16_t got = g.pixel(x, y);
        if (got == 0xFFFF) continue;  // edge row rounding
        // Exact perspective-correct (or affine) coordinates at a screen point;
        // the fixed point moves a row's ends and the pre-step by up to a pixel,
        // so the tolerance is one texel plus one pixel's change in each direction.
        auto model = [&](double sx, double sy, double& u, double& v) {
          const double det = (t[1].x - t[0].x) * (t[2].y - t[0].y) - (t[2].x - t[0].x) * (t[1].y - t[0].y);
          const double b1 = ((sx - t[0].x) * (t[2].y - t[0].y) - (t[2].x - t[0].x) * (sy - t[0].y)) / det;
          const double b2 = ((t[1].x - t[0].x) * (sy - t[0].y) - (sx - t[0].x) * (t[1].y - t[0].y)) / det;
          const double b0 = 1 - b1 - b2;
          const double w = b0 * t[0].w + b1 * t[1].w + b2 * t[2].w;
          u = (b0 * t[0].u * t[0].w + b1 * t[1].u * t[1].w + b2 * t[2].u * t[2].w) / w;
          v = (b0 * t[0].v * t[0].w + b1 * t[1].v * t[1].w + b2 * t[2].v * t[2].w) / w;
        };
        const double sx = perspective ? x + 1 : x;
        double u, v, ux, vx, uy, vy;
        model(sx, y, u, v);
        model(sx + 1, y, ux, vx);
        model(sx, y + 1, uy, vy);
        const int cu = int(std::floor(u * kSize)) & (kSize - 1);
        const int cv = int(std::floor(v * kSize)) & (kSize - 1);
        // The perspective walk may also lose one column at the middle vertex.
        const double slack = perspective ? 2.0 : 1.0;
        const int tolU = 1 + int(std::ceil((std::abs(ux - u) + std::abs(uy - u)) * slack * kSize));
        const int tolV = 1 + int(std::ceil((std::abs(vx - v) + std::abs(vy - v)) * slack * kSize));
        ++checked;
        if (wrapDistance(got & 0xFF, cu, kSize) > tolU || wrapDistance(got >> 8, cv, kSize) > tolV) ++bad;
      }
    }
  }
  EXPECT_GT(checked, 20000);
  EXPECT_LE(bad, checked / 1000) << bad << " of " << checked;
}
