// Triangles of a few pixels: the triangles left out of the bucket lists and
// the short walk of the rasterisers, each against the general walk.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "RenderTestUtil.h"
#include "gles/RasterCore.h"
#include "gles/Rasterisers.h"

using namespace kvgl;
using rt::vtx;

namespace {

struct Rng {
  uint32_t s;
  uint32_t next() { return s = s * 1664525u + 1013904223u; }
  int in(int lo, int hi) { return lo + static_cast<int>((next() >> 8) % static_cast<uint32_t>(hi - lo + 1)); }
};

// Every span call of a triangle: its twelve words.
struct Calls {
  static inline std::vector<SpanParams> all;
  static void span(GlContext*, void*, const SpanParams* p) { all.push_back(*p); }
};

struct Raster {
  const char* name;
  TriangleRasteriser fn;
  bool words;  // draws colour-and-depth words
};

const Raster kRasters[] = {
    {"flat", rasterFlat, false},          {"gouraud", rasterGouraud, false},
    {"affine", rasterTexAffine, false},   {"persp", rasterTexPersp, false},
    {"depth", rasterDepthOnly, true},     {"flat32", rasterFlat32, true},
    {"gouraud32", rasterGouraud32, true}, {"affine32", rasterTexAffine32, true},
    {"persp32", rasterTexPersp32, true},  {"flatDepth", rasterFlatDepth, true},
    {"affineDepth", rasterTexAffineDepth, true}, {"perspDepth", rasterTexPerspDepth, true},
};

VertexSlot randomCorner(Rng& r, int x0, int y0, int box) {
  return vtx(x0 + r.in(0, box), y0 + r.in(0, box), static_cast<int32_t>(r.next()), static_cast<int32_t>(r.next()),
             r.in(1, 1 << 24), r.in(1, 1 << 20));
}

// The corners sorted by row as the flush hands them over.
void sortByRow(VertexSlot* v) {
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2 - i; ++j)
      if (v[j].screenY > v[j + 1].screenY) std::swap(v[j], v[j + 1]);
}

}  // namespace

// Whenever walksNoPixel holds, no rasteriser hands any span a pixel: over
// random corners in boxes of up to 4 x 4 pixels, every corner order.
TEST(SmallTriangles, LeftOutTrianglesHaveNoPixel) {
  for (const Raster& r : kRasters) {
    rt::Gl g(32, 32, r.words);
    g.gl->m_spanFunction = Calls::span;
    Rng rng{7};
    int noPixel = 0, drawn = 0;
    for (int trial = 0; trial < 4000; ++trial) {
      const int box = 1 + trial % 4;
      VertexSlot v[3];
      for (VertexSlot& c : v) c = randomCorner(rng, 4, 4, box);
      sortByRow(v);
      Calls::all.clear();
      r.fn(g.gl.get(), &v[0], &v[1], &v[2]);
      int pixels = 0;
      for (const SpanParams& p : Calls::all) pixels += std::max(0, (p.w[1] >> 14) - (p.w[0] >> 14));
      // Any order of the three corners gives the same answer.
      const bool none = walksNoPixel(&v[0], &v[1], &v[2]);
      EXPECT_EQ(none, walksNoPixel(&v[2], &v[0], &v[1]));
      EXPECT_EQ(none, walksNoPixel(&v[1], &v[2], &v[0]));
      if (none) {
        ++noPixel;
        EXPECT_EQ(pixels, 0) << r.name << " trial " << trial;
      } else if (pixels > 0) {
        ++drawn;
      }
    }
    EXPECT_GT(noPixel, 800) << r.name;
    EXPECT_GT(drawn, 800) << r.name;
  }
}
