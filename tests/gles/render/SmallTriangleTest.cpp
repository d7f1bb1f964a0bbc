// Triangles of a few pixels: the triangles left out of the bucket lists, the
// look at a small triangle before its walk and the one-row hand-over, each
// against the general walk.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "RenderTestUtil.h"
#include "gles/RasterCore.h"
#include "gles/Rasterisers.h"
#include "gles/SpanFunctions.h"

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

// A walk with (Small = true) and without the look at small triangles first.
template <typename Pixel, int Mode, bool Small>
void edgeWalk(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) {
  const RasterTarget t{c, c->m_colorBuffer, c->m_width, c->m_height, c->m_viewportX, c->m_viewportY,
                       c->m_viewportWidth, c->m_viewportHeight, c->m_spanFunction};
  edgeRasterise<Pixel, Mode, Small>(t, a, b, d);
}

template <typename Pixel, bool Depth, bool Small>
void planeWalk(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) {
  const RasterTarget t{c, c->m_colorBuffer, c->m_width, c->m_height, c->m_viewportX, c->m_viewportY,
                       c->m_viewportWidth, c->m_viewportHeight, c->m_spanFunction};
  planeRasterise<Pixel, Depth, Small>(t, a, b, d);
}

struct WalkPair {
  const char* name;
  TriangleRasteriser small, general;
  bool words;
};

#define KV_EDGE(P, M, W) {#M, edgeWalk<P, M, true>, edgeWalk<P, M, false>, W}
#define KV_PLANE(P, D, W) {"plane", planeWalk<P, D, true>, planeWalk<P, D, false>, W}
const WalkPair kWalks[] = {
    KV_EDGE(uint16_t, kEdgeFlat, false),     KV_EDGE(uint16_t, kEdgeGouraud, false),
    KV_EDGE(uint16_t, kEdgeTex, false),      KV_EDGE(uint32_t, kEdgeDepth, true),
    KV_EDGE(uint32_t, kEdgeFlat, true),      KV_EDGE(uint32_t, kEdgeGouraud, true),
    KV_EDGE(uint32_t, kEdgeTex, true),       KV_EDGE(uint32_t, kEdgeFlatDepth, true),
    KV_EDGE(uint32_t, kEdgeTexDepth, true),  KV_PLANE(uint16_t, false, false),
    KV_PLANE(uint32_t, false, true),         KV_PLANE(uint32_t, true, true),
};
#undef KV_EDGE
#undef KV_PLANE

bool hasPixel(const SpanParams& p) { return (p.w[1] >> 14) - (p.w[0] >> 14) >= 1; }

}  // namespace

// A small triangle with a pixel gets exactly the span calls of the general
// walk (a one-row one only its row's); one without gets no call at all; one
// that walksNoPixel leaves out of the lists has none.
// Random corners in boxes up to 6 x 5 pixels (one to five rows), some up to
// the surface's right edge, every walk of both families.
TEST(SmallTriangles, LookFirstWalksAsTheGeneralWalk) {
  for (const WalkPair& w : kWalks) {
    rt::Gl g(24, 24, w.words);
    g.gl->m_spanFunction = Calls::span;
    Rng rng{11};
    int skipped = 0, walked = 0, noPixel = 0;
    for (int trial = 0; trial < 6000; ++trial) {
      VertexSlot v[3];
      for (VertexSlot& c : v) c = randomCorner(rng, trial % 3 == 0 ? 18 : 2, 3, 0);
      for (VertexSlot& c : v) {
        c.screenX = static_cast<int16_t>(c.screenX + rng.in(0, 6));
        c.screenY = static_cast<int16_t>(c.screenY + rng.in(0, 4));
      }
      sortByRow(v);
      Calls::all.clear();
      w.general(g.gl.get(), &v[0], &v[1], &v[2]);
      const std::vector<SpanParams> general = Calls::all;
      Calls::all.clear();
      w.small(g.gl.get(), &v[0], &v[1], &v[2]);
      bool any = false;
      for (const SpanParams& p : general) any = any || hasPixel(p);
      // A triangle left out of the bucket lists has no pixel, in any order.
      const bool leftOut = walksNoPixel(&v[0], &v[1], &v[2]);
      ASSERT_FALSE(leftOut && any) << w.name << " trial " << trial;
      ASSERT_EQ(leftOut, walksNoPixel(&v[2], &v[0], &v[1]));
      ASSERT_EQ(leftOut, walksNoPixel(&v[1], &v[2], &v[0]));
      noPixel += leftOut;
      const bool looked = v[2].screenY - v[0].screenY <= kSmallRows;
      ASSERT_EQ(Calls::all.size(), any || !looked ? general.size() : 0u) << w.name << " trial " << trial;
      for (size_t i = 0; i < Calls::all.size(); ++i)
        ASSERT_EQ(std::memcmp(&Calls::all[i], &general[i], sizeof(SpanParams)), 0) << w.name << " trial " << trial;
      if (general.empty() || !looked) continue;
      ++(any ? walked : skipped);
    }
    EXPECT_GT(skipped, 500) << w.name;
    EXPECT_GT(walked, 1000) << w.name;
    EXPECT_GT(noPixel, 1000) << w.name;
  }
}

// What lets a walk leave out a row or a triangle without a pixel: every
// span function, given a row whose right end is not right of its left one,
// leaves the row as it was.
TEST(SmallTriangles, SpansWithoutPixelsChangeNothing) {
  for (int depth = 0; depth < 2; ++depth) {
    rt::Gl g(32, 1, depth == 1);
    rt::makeTexture(*g.gl, 32, GL_UNSIGNED_SHORT_5_6_5, [](int x, int y) { return static_cast<uint16_t>(x * 977 + y); });
    g.gl->m_texelCache = g.gl->m_boundTexture->texels;
    std::vector<SpanFunction> spans;
    const GlContext& c = *g.gl;
    for (const SpanTable* t : {&c.m_texAffineSpans, &c.m_texPerspectiveSpans, &c.m_texFixedDivisorSpans})
      for (const auto& row : t->fn) spans.insert(spans.end(), row, row + 3);
    for (const SpanTable& t : c.m_depthTexSpans)
      for (const auto& row : t.fn) spans.insert(spans.end(), row, row + 3);
    spans.insert(spans.end(), c.m_texAdditiveSpans, c.m_texAdditiveSpans + 4);
    spans.insert(spans.end(), c.m_depthTexAdditiveSpans, c.m_depthTexAdditiveSpans + 4);
    for (SpanFunction f : {spanFlat, spanFlatAlpha, spanFlatAdd, spanSmooth, spanSmoothAlpha, spanSmoothAdd,
                           spanDepthTest, spanDepthWrite, spanDepthTestWrite, spanFlatWord, spanFlatBlendWord,
                           spanSmoothWord, spanSmoothAlphaWord, spanSmoothAddWord, spanTested, spanWritten,
                           spanTestedWritten, spanTestedBlend, spanWrittenBlend, spanTestedWrittenBlend})
      spans.push_back(f);
    // A span reads its own layout's words; 16-bit spans get the 16-bit row.
    const struct {
      int32_t left, right;
    } ends[] = {{5 << 14, 5 << 14}, {(5 << 14) + 9000, (5 << 14) + 16000}, {9 << 14, 4 << 14}, {0, 16383}};
    Rng rng{5};
    for (SpanFunction f : spans) {
      if (f == nullptr) continue;
      for (const auto& e : ends) {
        g.clearTo(0x5A5A1234);
        SpanParams p{};
        for (int32_t& word : p.w) word = static_cast<int32_t>(rng.next());
        p.w[0] = e.left;
        p.w[1] = e.right;
        f(g.gl.get(), g.gl->m_colorBuffer, &p);
        for (int x = 0; x < 32; ++x) {
          const uint32_t px = depth ? g.words()[x] : g.px()[x];
          ASSERT_EQ(px, depth ? 0x5A5A1234u : 0x1234u) << "span " << reinterpret_cast<void*>(f) << " x " << x;
        }
      }
    }
  }
}
