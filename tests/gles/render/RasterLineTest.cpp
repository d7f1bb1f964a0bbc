// Triangle rasterisers (edge walk and plane gradients) and line drawers.
#include <gtest/gtest.h>

#include <vector>

#include "RenderTestUtil.h"
#include "gles/PixelHelpers.h"
#include "gles/RasterCore.h"
#include "gles/Rasterisers.h"
#include "gles/SpanFunctions.h"

using namespace kvgl;
using rt::vtx;

namespace {

// Every span call of a triangle, as (row, left x, right x) and the record.
struct Recorder {
  static inline std::vector<std::vector<int32_t>> calls;
  static inline const uint16_t* base = nullptr;
  static inline int width = 0;
  static void span(GlContext*, void* row, const SpanParams* p) {
    std::vector<int32_t> c(p->w, p->w + 12);
    c.insert(c.begin(), static_cast<int32_t>((static_cast<const uint16_t*>(row) - base) / width));
    calls.push_back(c);
  }
};

std::vector<std::vector<int32_t>> record(rt::Gl& g, TriangleRasteriser r, VertexSlot a, VertexSlot b, VertexSlot c) {
  Recorder::calls.clear();
  Recorder::base = g.px();
  Recorder::width = g.w * (g.gl->m_depthBuffer ? 2 : 1);
  g.gl->m_spanFunction = Recorder::span;
  r(g.gl.get(), &a, &b, &c);
  return Recorder::calls;
}

}  // namespace

TEST(TriangleRasteriser, FlatTopRowsAndOneRowTriangle) {
  rt::Gl g(16, 16, false);
  auto calls = record(g, rasterFlat, vtx(0, 0, 0x1234), vtx(4, 0), vtx(0, 4));
  ASSERT_EQ(calls.size(), 4u);
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(calls[r][0], r);
    EXPECT_EQ(calls[r][1] >> 14, 0);
    EXPECT_EQ((calls[r][2] >> 14) - (calls[r][1] >> 14), 4 - r);
    EXPECT_EQ(calls[r][11], 0x1234);  // word 10: the top vertex's colour word
  }
  EXPECT_EQ(calls[1][2] - calls[0][2], -16384);
  // Bottom one row below the top: exactly the top row.
  calls = record(g, rasterFlat, vtx(2, 5), vtx(9, 5), vtx(4, 6));
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0][0], 5);
  // Flat bottom: rows top .. middle - 1.
  calls = record(g, rasterFlat, vtx(5, 2), vtx(1, 6), vtx(9, 6));
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls.back()[0], 5);
  // Equal x on a flat top: the top vertex is the left one.
  calls = record(g, rasterTexAffine, vtx(3, 1, 111), vtx(3, 1, 222), vtx(8, 5, 333));
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls[0][7], 111);  // word 6: left u from the top vertex
}

TEST(TriangleRasteriser, ViewportBordersAreInclusive) {
  rt::Gl g(32, 32, false);
  g.gl->glViewport(4, 4, 10, 10);
  EXPECT_FALSE(record(g, rasterFlat, vtx(4, 4), vtx(14, 4), vtx(14, 14)).empty());
  EXPECT_TRUE(record(g, rasterFlat, vtx(4, 4), vtx(15, 4), vtx(14, 14)).empty());
  EXPECT_TRUE(record(g, rasterFlat, vtx(4, 4), vtx(14, 4), vtx(14, 15)).empty());
  EXPECT_TRUE(record(g, rasterFlat, vtx(3, 4), vtx(14, 4), vtx(14, 14)).empty());
  // A viewport larger than the surface is cut to the surface.
  g.gl->glViewport(0, 0, 64, 64);
  EXPECT_FALSE(record(g, rasterFlat, vtx(0, 0), vtx(32, 0), vtx(0, 32)).empty());
  EXPECT_TRUE(record(g, rasterFlat, vtx(0, 0), vtx(33, 0), vtx(0, 32)).empty());
}

TEST(TriangleRasteriser, GouraudReachesTheMiddleVertexColours) {
  rt::Gl g(64, 64, false);
  // Middle vertex on the left; red 200 there.
  auto calls = record(g, rasterGouraud, vtx(20, 0, 0x000000FF), vtx(0, 10, 0x000000C8), vtx(30, 20, 0x00000000));
  ASSERT_EQ(calls.size(), 20u);
  EXPECT_EQ(calls[10][0], 10);
  EXPECT_EQ(calls[10][7], 200 << 16);  // left red restarted at the middle vertex
  // The long edge ends near the bottom vertex's channel (within reciprocal rounding).
  const int32_t lastRight = calls[19][8];
  const int32_t step = calls[19][8] - calls[18][8];
  EXPECT_NEAR(lastRight + step, 0, 1 << 16);
}

TEST(PlaneRasteriser, GradientsAndPreStep) {
  rt::Gl g(64, 64, false);
  PlaneSetup ps;
  ps.dx13 = 0;
  ps.dy13 = -4;
  ps.dx32 = -4;
  ps.dy32 = 4;
  const int32_t area = ps.dx13 * ps.dy32 - ps.dx32 * ps.dy13;
  EXPECT_EQ(area, -16);
  ps.inv = q14Recip(area);
  EXPECT_EQ(ps.inv, -16777216);
  int32_t gx, gy;
  ps.gradients(0, 4, 0, gx, gy);  // the column number
  EXPECT_EQ(gx, 1);
  EXPECT_EQ(gy, 0);
  ps.gradients(0, 0, 4, gx, gy);  // the row number
  EXPECT_EQ(gx, 0);
  EXPECT_EQ(gy, 1);
  // Huge differences: no overflow, low 32 bits kept.
  ps.gradients(0x7FFFFFFF, -0x7FFFFFFF, 0, gx, gy);

  // Same w everywhere: w gradients 0; the first row's values carry one x pre-step.
  const int32_t w = 16384;
  auto calls = record(g, rasterTexPersp, vtx(0, 0, 0, 0, 0, w), vtx(16, 0, 16384, 0, 0, w), vtx(0, 16, 0, 16384, 0, w));
  ASSERT_EQ(calls.size(), 16u);
  EXPECT_EQ(calls[0][5], w);
  EXPECT_EQ(calls[0][6], 0);
  EXPECT_EQ(calls[0][7], calls[0][8]);  // U at the left end = one x-gradient
  EXPECT_EQ(calls[0][8], 1024);
  // Collinear vertices draw nothing.
  EXPECT_TRUE(record(g, rasterTexPersp, vtx(0, 0, 0, 0, 0, w), vtx(4, 4, 0, 0, 0, w), vtx(8, 8, 0, 0, 0, w)).empty());
  // A left edge moving several columns per row adds that many x-gradients plus a y-gradient.
  calls = record(g, rasterTexPersp, vtx(30, 0, 0, 0, 0, w), vtx(40, 0, 16384, 0, 0, w), vtx(0, 10, 0, 16384, 0, w));
  ASSERT_GE(calls.size(), 2u);
  const int32_t moved = (calls[1][1] >> 14) - (calls[0][1] >> 14);
  EXPECT_EQ(moved, -3);
  int32_t gxU, gyU;
  PlaneSetup q{30 - 0, 0 - 10, 0 - 40, 10 - 0, 0};
  q.inv = q14Recip(q.dx13 * q.dy32 - q.dx32 * q.dy13);
  q.gradients(0, q14Mul(16384, w), 0, gxU, gyU);
  EXPECT_EQ(calls[1][7] - calls[0][7], moved * gxU + gyU);
}

namespace {

std::vector<std::pair<int, int>> drawn(rt::Gl& g, LineDrawer d, VertexSlot a, VertexSlot b) {
  g.clearTo(0);
  d(g.gl.get(), &a, &b, nullptr);
  std::vector<std::pair<int, int>> out;
  for (int y = 0; y < g.h; ++y)
    for (int x = 0; x < g.w; ++x)
      if (g.pixel(x, y) != 0) out.emplace_back(x, y);
  return out;
}

}  // namespace

TEST(LineDrawer, HalfOpenMajorAxis) {
  rt::Gl g(32, 32, false);
  using P = std::vector<std::pair<int, int>>;
  EXPECT_EQ(drawn(g, drawLineFlat, vtx(10, 10, 0xFFFF), vtx(14, 10, 0xFFFF)), (P{{10, 10}, {11, 10}, {12, 10}, {13, 10}}));
  EXPECT_EQ(drawn(g, drawLineFlat, vtx(14, 10, 0xFFFF), vtx(10, 10, 0xFFFF)), (P{{10, 10}, {11, 10}, {12, 10}, {13, 10}}));
  EXPECT_TRUE(drawn(g, drawLineFlat, vtx(5, 5, 0xFFFF), vtx(5, 5, 0xFFFF)).empty());
  // 45 degrees: y-major, the lower end not drawn.
  EXPECT_EQ(drawn(g, drawLineFlat, vtx(2, 2, 0xFFFF), vtx(5, 5, 0xFFFF)), (P{{2, 2}, {3, 3}, {4, 4}}));
  rt::Gl g32(32, 32, true);
  EXPECT_EQ(drawn(g32, drawLineFlat32, vtx(5, 5, 0xFFFF), vtx(2, 2, 0xFFFF)), (P{{2, 2}, {3, 3}, {4, 4}}));
}

TEST(LineDrawer, BlendSmoothAndSurfaceBounds) {
  rt::Gl g(16, 16, false);
  g.clearTo(0xFFFF);
  VertexSlot a = vtx(0, 3, static_cast<int32_t>(0x0000u | (15u << 16))), b = vtx(8, 3, 0);
  drawLineFlatBlend(g.gl.get(), &a, &b, nullptr);
  EXPECT_EQ(g.pixel(0, 3), blend565(0xFFFF, 15u << 16));
  EXPECT_EQ(g.pixel(0, 3), 0x0861);  // one sixteenth of white
  // Smooth: the k-th pixel is the first colour plus k steps.
  g.clearTo(0);
  a = vtx(0, 0, 0x000000FF);
  b = vtx(4, 0, 0x00000000);
  drawLineSmooth(g.gl.get(), &a, &b, nullptr);
  const int32_t step = q14Mul(-(255 << 16), recipFromTable(4));
  for (int k = 0; k < 4; ++k) EXPECT_EQ(g.pixel(k, 0), (((255 << 16) + k * step) & 0xF80000) >> 8);
  // Lines running off the surface never write outside it.
  std::vector<uint16_t> guard(16 * 16 + 64, 0);
  g.gl->m_colorBuffer = guard.data() + 32;
  VertexSlot c = vtx(-10, -20, 0xFFFF), d = vtx(30, 40, 0xFFFF);
  drawLineFlat(g.gl.get(), &c, &d, nullptr);
  c = vtx(-5, 8, 0xFFFF);
  d = vtx(40, 9, 0xFFFF);
  drawLineFlat(g.gl.get(), &c, &d, nullptr);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(guard[i], 0);
    EXPECT_EQ(guard[guard.size() - 1 - i], 0);
  }
  g.gl->m_colorBuffer = nullptr;
}
