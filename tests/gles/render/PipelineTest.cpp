// Frustum, vertex fetch, outcodes, culling, projection, clipping, the depth
// buckets and the flush order, through the GL calls.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "RenderTestUtil.h"
#include "gles/Rasterisers.h"
#include "gles/SpanFunctions.h"

using rt::Q;

namespace {

struct Scene : rt::Gl {
  explicit Scene(bool depth = false, int size = 64) : rt::Gl(size, size, depth) { frustum(0.5, 1.0, 100.0); }
  // A flat triangle at depth z, counter-clockwise seen from the eye.
  rt::Mesh tri(double z, double s = 1.0, double cx = 0, double cy = 0) {
    rt::Mesh m;
    m.tri(m.add(cx - s, cy - s, z), m.add(cx + s, cy - s, z), m.add(cx, cy + s, z));
    return m;
  }
  void colour(int r, int g, int b) { gl->glColor4x(r * 16384 / 255, g * 16384 / 255, b * 16384 / 255, 16384); }
};

}  // namespace

TEST(Frustum, BucketShiftPlanesAndScale) {
  Scene s;
  s.gl->glFrustumx(-Q(0.5), Q(0.5), 0, 0, Q(1.0), Q(100.0));
  EXPECT_EQ(s.gl->m_bucketShift, 9);
  EXPECT_EQ((Q(100.0) - Q(1.0)) >> 9, 3168);
  EXPECT_EQ(s.gl->m_projectionScale, 64);  // near / right * half width
  EXPECT_EQ(s.gl->m_planeLeft.x, -s.gl->m_planeRight.x);
  EXPECT_GT(s.gl->m_planeRight.x, 0);
  EXPECT_GT(s.gl->m_planeTop.y, 0);
}

TEST(Projection, EdgeSnaps) {
  rt::Gl g(56, 104, false);
  g.gl->m_projectionScale = 1;
  VertexSlot v{};
  v.eyeZ = -16384;  // depth 1.0: the inverse depth is 1.0
  v.eyeX = -25 * 16384;  // 28.5 - 25 = 3.5 pixels
  g.gl->projectVertex(&v);
  EXPECT_EQ(v.depth, 16384);
  EXPECT_EQ(v.invDepth, 16384);
  EXPECT_EQ(v.screenX, 1);
  v.eyeX = 27 * 16384;  // 55.5 pixels, one pixel left of the right edge
  g.gl->projectVertex(&v);
  EXPECT_EQ(v.screenX, 56);
  v.eyeX = 10 * 16384;
  v.eyeY = 2 * 16384;  // y grows downwards from 52.5
  g.gl->projectVertex(&v);
  EXPECT_EQ(v.screenX, 38);
  EXPECT_EQ(v.screenY, 50);
  g.gl->glEnable(GL_POLYGON_OFFSET_FILL);
  g.gl->glPolygonOffsetx(0, 100);
  g.gl->projectVertex(&v);
  EXPECT_EQ(v.depth, 16484);
  EXPECT_EQ(v.invDepth, 16384);  // taken before the offset
}

TEST(Pipeline, RejectionCullingAndCounts) {
  Scene s;
  auto m = s.tri(-5);
  m.bind(*s.gl, false, false);
  m.draw(*s.gl);
  EXPECT_EQ(s.gl->m_recordCount, 1);
  EXPECT_EQ(s.gl->m_vertexCount, 3);
  // One vertex beyond the far plane drops the whole triangle.
  rt::Mesh far;
  far.tri(far.add(-1, -1, -5), far.add(1, -1, -5), far.add(0, 1, -150));
  far.bind(*s.gl, false, false);
  far.draw(*s.gl);
  EXPECT_EQ(s.gl->m_recordCount, 1);
  // Culling: screen-space test (inside) and eye-space test (needs clipping).
  rt::Mesh cw;
  cw.tri(cw.add(-1, -1, -5), cw.add(0, 1, -5), cw.add(1, -1, -5));
  rt::Mesh cwClip;
  cwClip.tri(cwClip.add(-1, -1, -0.5), cwClip.add(0, 1, -5), cwClip.add(1, -1, -5));
  rt::Mesh ccwClip;
  ccwClip.tri(ccwClip.add(-1, -1, -0.5), ccwClip.add(1, -1, -5), ccwClip.add(0, 1, -5));
  struct {
    GLenum mode;
    const rt::Mesh* mesh;
    int queued;
  } cases[] = {{GL_BACK, &m, 1},      {GL_BACK, &cw, 0},      {GL_FRONT, &m, 0},
               {GL_FRONT, &cw, 1},    {0x0408, &m, 0},        {GL_BACK, &ccwClip, 1},
               {GL_BACK, &cwClip, 0}, {GL_FRONT, &cwClip, 1}, {0x0408, &ccwClip, 0}};
  s.gl->glEnable(GL_CULL_FACE);
  for (const auto& c : cases) {
    s.gl->glFlush();
    s.gl->glCullFace(c.mode);
    c.mesh->bind(*s.gl, false, false);
    c.mesh->draw(*s.gl);
    EXPECT_EQ(s.gl->m_recordCount, c.queued) << std::hex << c.mode;
  }
  s.gl->glDisable(GL_CULL_FACE);
  // Whole triangles only; nothing without the vertex array.
  s.gl->glFlush();
  rt::Mesh two = m;
  two.idx.push_back(0);
  two.bind(*s.gl, false, false);
  two.draw(*s.gl);
  EXPECT_EQ(s.gl->m_recordCount, 1);
  s.gl->glDisableClientState(GL_VERTEX_ARRAY);
  m.draw(*s.gl);
  EXPECT_EQ(s.gl->m_recordCount, 1);
}

TEST(Pipeline, SharedVerticesUseOneSlotPerCall) {
  Scene s;
  rt::Mesh m;
  const uint16_t a = m.add(-1, -1, -5), b = m.add(1, -1, -5), c = m.add(0, 1, -5), d = m.add(1, 1, -5);
  m.tri(a, b, c);
  m.tri(c, b, d);
  m.bind(*s.gl, false, false);
  m.draw(*s.gl);
  EXPECT_EQ(s.gl->m_vertexCount, 4);
  EXPECT_EQ(s.gl->m_recordPool[0].third, s.gl->m_recordPool[1].first);
  m.draw(*s.gl);  // the next call takes fresh slots
  EXPECT_EQ(s.gl->m_vertexCount, 8);
  EXPECT_EQ(s.gl->m_recordPool[2].first, &s.gl->m_vertexPool[4]);
  // A stamp whose low half wraps never matches a stale slot.
  s.gl->glFlush();
  s.gl->m_drawStamp = 0xFFFF;
  m.draw(*s.gl);  // stamp wraps: all slot stamps cleared, 0 skipped
  EXPECT_EQ(s.gl->m_drawStamp & 0xFFFF, 1u);
  EXPECT_EQ(s.gl->m_vertexPool[0].stamp, 1);
  EXPECT_EQ(s.gl->m_vertexPool[5].stamp, 0);
}

TEST(Pipeline, NearPlaneSplitKeepsWinding) {
  Scene s;
  rt::Mesh m;  // vertex 0 in front of the near plane, the others behind it
  m.tri(m.add(0, 0, -0.5), m.add(2, -1, -5), m.add(-2, 1, -5));
  m.bind(*s.gl, false, false);
  m.draw(*s.gl);
  ASSERT_EQ(s.gl->m_recordCount, 1);
  const TriangleRecord& r = s.gl->m_recordPool[0];
  EXPECT_NE(r.outcode & kOutNear, 0);
  auto winding = [](const VertexSlot* a, const VertexSlot* b, const VertexSlot* c) {
    const int64_t ux = b->eyeX - a->eyeX, uy = b->eyeY - a->eyeY, vx = c->eyeX - a->eyeX, vy = c->eyeY - a->eyeY;
    return ux * vy - uy * vx > 0 ? 1 : -1;
  };
  const int original = winding(r.first, r.second, r.third);
  s.gl->m_rasteriser = nullptr;  // keep the scratch triangles for inspection
  s.gl->drawClippedTriangle(&r);
  ASSERT_EQ(s.gl->m_scratchCount, 2);
  for (int i = 0; i < 2; ++i) {
    const TriangleRecord& t = s.gl->m_scratchTriangles[i];
    ASSERT_NE(t.first, nullptr);
    EXPECT_EQ(winding(t.first, t.second, t.third), original) << i;
    for (const VertexSlot* v : {t.first, t.second, t.third}) EXPECT_LE(v->eyeZ, -Q(1.0) + 1);
  }
  // Without frustum clipping a triangle partly behind the eye is projected as it is.
  s.gl->glFlush();
  s.gl->glDisable(GL_FRUSTUM_CLIPPING_KORVANE);
  rt::Mesh behind;
  behind.tri(behind.add(0, 0, 2), behind.add(1, -1, -5), behind.add(-1, 1, -5));
  behind.bind(*s.gl, false, false);
  behind.draw(*s.gl);
  ASSERT_EQ(s.gl->m_recordCount, 1);
  EXPECT_EQ(s.gl->m_recordPool[0].outcode, 0);
  EXPECT_NE(s.gl->m_recordPool[0].first->depth, 0);
}

TEST(Pipeline, ClippedTriangleDrawsInsideTheViewport) {
  Scene s;
  s.clearTo(0);
  s.colour(255, 255, 255);
  auto m = s.tri(-3, 4.0);  // larger than the view on every side
  m.bind(*s.gl, false, false);
  m.draw(*s.gl);
  s.gl->glFlush();
  int lit = 0;
  for (int i = 0; i < 64 * 64; ++i) lit += s.px()[i] == 0xFFFF;
  EXPECT_GT(lit, 64 * 64 / 2);
}

namespace {

struct SortRecorder {
  static inline const VertexSlot* order[3];
  static void raster(GlContext*, const VertexSlot* t, const VertexSlot* m, const VertexSlot* b) {
    order[0] = t;
    order[1] = m;
    order[2] = b;
  }
};

}  // namespace

TEST(Buckets, SortCases) {
  Scene s;
  s.gl->m_rasteriser = SortRecorder::raster;
  VertexSlot a = rt::vtx(0, 0), b = rt::vtx(0, 0), c = rt::vtx(0, 0);
  struct {
    int ya, yb, yc;
    const VertexSlot *t, *m, *bo;
  } cases[] = {
      {5, 1, 3, &b, &c, &a}, {5, 3, 1, &c, &b, &a}, {5, 3, 3, &c, &b, &a}, {5, 1, 5, &b, &a, &c},
      {3, 5, 1, &c, &a, &b}, {1, 5, 3, &a, &c, &b}, {1, 5, 1, &a, &c, &b}, {1, 3, 5, &a, &b, &c},
      {2, 2, 2, &a, &b, &c},
  };
  for (const auto& k : cases) {
    a.screenY = static_cast<int16_t>(k.ya);
    b.screenY = static_cast<int16_t>(k.yb);
    c.screenY = static_cast<int16_t>(k.yc);
    s.gl->sortAndRasterise(&a, &b, &c);
    EXPECT_EQ(SortRecorder::order[0], k.t) << k.ya << k.yb << k.yc;
    EXPECT_EQ(SortRecorder::order[1], k.m) << k.ya << k.yb << k.yc;
    EXPECT_EQ(SortRecorder::order[2], k.bo) << k.ya << k.yb << k.yc;
  }
}

TEST(Buckets, FlushOrder) {
  // Without depth: far to near; in one bucket the last queued is drawn first.
  Scene s;
  s.clearTo(0);
  s.gl->glFlush();
  EXPECT_EQ(s.gl->m_buckets.lowest, kDepthBucketsEmpty);
  auto near = s.tri(-3, 0.5), far = s.tri(-9, 1.5);
  s.colour(255, 0, 0);
  near.bind(*s.gl, false, false);
  near.draw(*s.gl);
  s.colour(0, 0, 255);
  far.bind(*s.gl, false, false);
  far.draw(*s.gl);
  s.gl->glFlush();
  EXPECT_EQ(s.pixel(32, 33), 0xF800);
  EXPECT_EQ(s.gl->m_buckets.lowest, kDepthBucketsEmpty);
  s.colour(0, 255, 0);
  near.draw(*s.gl);
  s.colour(0, 0, 255);
  near.draw(*s.gl);
  EXPECT_EQ(s.gl->m_buckets.lowest, s.gl->m_buckets.highest);
  s.gl->glFlush();
  EXPECT_EQ(s.pixel(32, 33), 0x07E0);

  // With depth and the depth test: near to far; with the test off at flush:
  // far to near. Depth keys are depth >> 20 (64.0 per bucket).
  near = s.tri(-30, 5);
  far = s.tri(-90, 15);
  for (bool testAtFlush : {true, false}) {
    Scene d(true);
    d.gl->glClearDepthx(16383);
    d.gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    d.gl->glDepthMask(0);
    d.colour(255, 0, 0);
    near.bind(*d.gl, false, false);
    near.draw(*d.gl);
    d.colour(0, 0, 255);
    far.bind(*d.gl, false, false);
    far.draw(*d.gl);
    if (testAtFlush) d.gl->glEnable(GL_DEPTH_TEST);
    EXPECT_GT(d.gl->m_buckets.highest, d.gl->m_buckets.lowest);
    d.gl->glFlush();
    EXPECT_EQ(d.pixel(32, 33), testAtFlush ? 0x001F : 0xF800) << testAtFlush;
  }
}

TEST(Buckets, TextureChangesAndTheSelectionAfterFlush) {
  Scene s;
  s.clearTo(0);
  rt::Mesh left = s.tri(-5, 0.5, -1.0), right = s.tri(-5, 0.5, 1.0);
  const GLuint red = rt::makeTexture(*s.gl, 32, GL_UNSIGNED_SHORT_5_6_5, [](int, int) { return 0xF800; });
  s.gl->glEnable(GL_TEXTURE_2D);
  left.bind(*s.gl, true, false);
  left.draw(*s.gl);
  const GLuint blue = rt::makeTexture(*s.gl, 64, GL_UNSIGNED_SHORT_5_6_5, [](int, int) { return 0x001F; });
  right.bind(*s.gl, true, false);
  right.draw(*s.gl);
  const SpanFunction selected = s.gl->m_spanFunction;
  s.gl->glFlush();
  EXPECT_EQ(s.pixel(19, 35), 0xF800);
  EXPECT_EQ(s.pixel(45, 35), 0x001F);
  // The flush puts the state's selection and texel cache back.
  EXPECT_EQ(s.gl->m_spanFunction, selected);
  EXPECT_EQ(s.gl->m_texelCache, s.gl->m_textures[blue].texels);
  (void)red;
}

TEST(Pipeline, PoolsAndKeysStayInBounds) {
  Scene s;
  // Indices past the vertex pool are skipped.
  rt::Mesh m = s.tri(-5);
  std::vector<int32_t> pos(3 * 7000, Q(-5.0));
  m.bind(*s.gl, false, false);
  s.gl->glVertexPointer(3, GL_FIXED, 0, pos.data());
  const uint16_t far[] = {0, 1, 6000, 0, 1, 2};
  s.gl->glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, far);
  EXPECT_LE(s.gl->m_vertexCount, kVertexPoolSize);
  s.gl->glFlush();
  // Records past the pool are refused.
  rt::Mesh many = m;
  for (int i = 0; i < kRecordPoolSize + 10; ++i) many.tri(0, 1, 2);
  many.bind(*s.gl, false, false);
  many.draw(*s.gl);
  EXPECT_EQ(s.gl->m_recordCount, kRecordPoolSize);
  s.gl->glFlush();
  // Depths outside near..far (no frustum tests) and large offsets clamp into the buckets.
  s.gl->glDisable(GL_FRUSTUM_CLIPPING_KORVANE);
  s.gl->glEnable(GL_POLYGON_OFFSET_FILL);
  s.gl->glPolygonOffsetx(0, Q(30000.0));
  rt::Mesh beyond = s.tri(-500);
  beyond.bind(*s.gl, false, false);
  beyond.draw(*s.gl);
  s.gl->glPolygonOffsetx(0, -Q(30000.0));
  beyond.draw(*s.gl);
  EXPECT_EQ(s.gl->m_buckets.highest, kDepthBucketCount - 1);
  EXPECT_EQ(s.gl->m_buckets.lowest, 0);
  s.gl->glFlush();
}

TEST(Pipeline, LinesAndClippedLines) {
  Scene s;
  s.clearTo(0);
  s.colour(255, 255, 255);
  rt::Mesh m;
  m.idx = {m.add(-1, 0, -5), m.add(1, 0, -5), m.add(0, -0.5, -0.2), m.add(0, -0.5, -20)};
  m.bind(*s.gl, false, false);
  m.draw(*s.gl, GL_LINES);
  ASSERT_EQ(s.gl->m_recordCount, 2);
  EXPECT_EQ(s.gl->m_recordPool[0].outcode, 0);
  EXPECT_NE(s.gl->m_recordPool[1].outcode & kOutNear, 0);
  s.gl->glFlush();
  EXPECT_EQ(s.pixel(32, 32), 0xFFFF);  // (-1,0)-(1,0) at depth 5 spans columns 20..44
  int lit = 0;
  for (int y = 34; y < 64; ++y) lit += s.pixel(32, y) == 0xFFFF;
  EXPECT_GT(lit, 5);  // the clipped line runs from the near plane towards the centre
}

// The draw call transforms its new vertices in batches (four at a time in
// vector lanes where the processor has them): each slot gets the words of
// the one-vertex transform, for any matrix, frustum and position, wrapping
// products and sums included.
TEST(Pipeline, BatchedTransformsEqualOneAtATime) {
  uint32_t seed = 5;
  auto rnd = [&]() { return seed = seed * 1664525u + 1013904223u; };
  auto word = [&]() {
    const uint32_t r = rnd();
    // Mostly plausible Q14 values, sometimes anything at all.
    return (r & 7) == 0 ? static_cast<int32_t>(rnd()) : static_cast<int32_t>(rnd() % (1u << 21)) - (1 << 20);
  };
  Scene s;
  for (int trial = 0; trial < 200; ++trial) {
    GlContext& c = *s.gl;
    for (Q14& m : c.m_modelviewTop->m) m = word();
    c.m_capFrustumClip = static_cast<uint8_t>(trial % 5 != 0);
    c.m_near = word();
    c.m_far = word();
    for (Vector3* p : {&c.m_planeBottom, &c.m_planeTop, &c.m_planeLeft, &c.m_planeRight}) *p = Vector3(word(), word(), word());
    const int n = static_cast<int>(rnd() % 23);
    std::vector<int32_t> pos(3 * static_cast<size_t>(n));
    for (int32_t& v : pos) v = word();
    std::vector<VertexSlot> got(static_cast<size_t>(n)), want(static_cast<size_t>(n));
    std::vector<VertexSlot*> slots;
    std::vector<const uint8_t*> at;
    for (int i = 0; i < n; ++i) {
      got[i].depth = want[i].depth = 1 + i;  // cleared by the transform
      slots.push_back(&got[i]);
      at.push_back(reinterpret_cast<const uint8_t*>(&pos[3 * static_cast<size_t>(i)]));
      c.transformVertex(want[i], pos[3 * i], pos[3 * i + 1], pos[3 * i + 2]);
    }
    c.transformVertices(slots.data(), at.data(), n);
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(std::memcmp(&got[i], &want[i], sizeof(VertexSlot)), 0) << "trial " << trial << ", vertex " << i;
    }
  }
}

// Projected with the transform (four at a time, the reciprocal through
// doubles): each slot inside the frustum gets projectVertex's words, for any
// depth (0, +-1, the extremes, wrapped), scale, viewport, offset; the others
// keep depth 0.
TEST(Pipeline, BatchedProjectionEqualsOneAtATime) {
  uint32_t seed = 17;
  auto rnd = [&]() { return seed = seed * 1664525u + 1013904223u; };
  const int32_t depths[] = {0, 1, -1, 2, 3, 16384, -16384, 0x7FFFFFFF, static_cast<int32_t>(0x80000000u), 0x40000000, 12345};
  Scene s;
  for (int trial = 0; trial < 300; ++trial) {
    GlContext& c = *s.gl;
    for (Q14& m : c.m_modelviewTop->m) m = static_cast<int32_t>(rnd() % (1u << 16)) - (1 << 15);
    const int32_t fixedZ = depths[trial % 11];
    if (trial % 3 == 0) {  // eye z from the translation alone
      c.m_modelviewTop->m[2] = c.m_modelviewTop->m[5] = c.m_modelviewTop->m[8] = 0;
      c.m_modelviewTop->m[11] = static_cast<int32_t>(0u - static_cast<uint32_t>(fixedZ));
    }
    c.m_capFrustumClip = static_cast<uint8_t>(trial % 4 != 0);
    c.m_near = Q(0.5);
    c.m_far = Q(50.0);
    c.m_projectionScale = static_cast<int32_t>(rnd() % 200) - 20;
    c.m_viewportCentreX = static_cast<int32_t>(rnd() % (1u << 24));
    c.m_viewportCentreY = static_cast<int32_t>(rnd() % (1u << 24));
    c.m_viewportWidth = 1 + static_cast<int32_t>(rnd() % 300);
    c.m_capPolygonOffsetFill = static_cast<uint8_t>(rnd() & 1);
    c.m_polygonOffsetUnits = static_cast<int32_t>(rnd());
    const int n = static_cast<int>(rnd() % 23);
    std::vector<int32_t> pos(3 * static_cast<size_t>(n));
    for (int32_t& v : pos) v = static_cast<int32_t>(rnd() % (1u << 22)) - (1 << 21);
    std::vector<VertexSlot> got(static_cast<size_t>(n)), want(static_cast<size_t>(n));
    std::vector<VertexSlot*> slots;
    std::vector<const uint8_t*> at;
    for (int i = 0; i < n; ++i) {
      slots.push_back(&got[i]);
      at.push_back(reinterpret_cast<const uint8_t*>(&pos[3 * static_cast<size_t>(i)]));
      c.transformVertex(want[i], pos[3 * i], pos[3 * i + 1], pos[3 * i + 2]);
      if (want[i].outcode == 0) c.projectVertex(&want[i]);
    }
    c.transformVertices(slots.data(), at.data(), n, true);
    for (int i = 0; i < n; ++i) {
      ASSERT_EQ(std::memcmp(&got[i], &want[i], sizeof(VertexSlot)), 0) << "trial " << trial << ", vertex " << i;
    }
  }
}

// Triangles whose corners share a row are kept out of the bucket lists: over
// random little triangles (many on one row) and every kind of rasteriser, the
// frame, the records and the key range are those of queueing them all.
TEST(Pipeline, OneRowTrianglesLeftOutDrawTheSameFrame) {
  uint32_t seed = 3;
  auto rnd = [&](double lo, double hi) { return lo + (hi - lo) * ((seed = seed * 1664525u + 1013904223u) >> 8) / 16777216.0; };
  for (int config = 0; config < 12; ++config) {
    const bool depth = config & 1, textured = (config >> 1) % 3 == 1, smooth = (config >> 1) % 3 == 2, persp = config >= 6;
    rt::Mesh m;
    for (int k = 0; k < 300; ++k) {
      const double x = rnd(-1.2, 1.2), y = rnd(-1.2, 1.2), z = rnd(-9, -2), d = rnd(0.01, 0.3);
      const uint32_t c = static_cast<uint32_t>(rnd(0, 4294967295.0));
      const double y2 = rnd(0, 1) < 0.5 ? y : y + rnd(-d, d);
      m.tri(m.add(x, y, z, rnd(0, 1), rnd(0, 1), c), m.add(x + d, y2, z + rnd(-0.5, 0.5), rnd(0, 1), rnd(0, 1), ~c),
            m.add(x + rnd(-d, d), y2 + rnd(-0.02, 0.02), z, rnd(0, 1), rnd(0, 1), c ^ 0x00FF00FF));
    }
    std::vector<uint32_t> frames[2];
    int records[2], lowest[2], highest[2];
    for (int keep = 0; keep < 2; ++keep) {
      Scene s(depth);
      s.clearTo(0x12345678);
      s.gl->m_keepOneRowRecords = keep == 1;
      if (depth) {
        s.gl->glEnable(GL_DEPTH_TEST);
        s.gl->glClearDepthx(16383);
        s.gl->glClear(GL_DEPTH_BUFFER_BIT);
      }
      if (textured) {
        rt::makeTexture(*s.gl, 32, GL_UNSIGNED_SHORT_5_6_5, [](int x, int y) { return static_cast<uint16_t>(x * 2017 + y * 61); });
        s.gl->glEnable(GL_TEXTURE_2D);
      }
      if (smooth) s.gl->glShadeModel(GL_SMOOTH);
      if (persp) s.gl->glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
      s.colour(200, 100, 50);
      m.bind(*s.gl, textured, smooth);
      m.draw(*s.gl);
      records[keep] = s.gl->m_recordCount;
      lowest[keep] = s.gl->m_buckets.lowest;
      highest[keep] = s.gl->m_buckets.highest;
      s.gl->glFlush();
      for (int i = 0; i < s.w * s.h; ++i) frames[keep].push_back(depth ? s.words()[i] : s.px()[i]);
    }
    EXPECT_EQ(records[0], records[1]) << config;
    EXPECT_EQ(lowest[0], lowest[1]) << config;
    EXPECT_EQ(highest[0], highest[1]) << config;
    EXPECT_EQ(frames[0], frames[1]) << config;
    int drawn = 0;
    for (uint32_t v : frames[0]) drawn += v != (depth ? 0x12345678u : 0x5678u);
    EXPECT_GT(drawn, 200) << config;
  }
}

// Indices that cover their range densely are fetched (and projected) as one
// range: over random meshes (unused vertices between used ones, shared and
// repeated indices, corners outside the frustum, culling, every attribute
// mode, a call that reaches past the pool, the viewport and offset changed
// before the flush), the frame, the records, their slots and the pool base
// are those of fetching and projecting index by index.
TEST(Pipeline, RangeFetchEqualsFetchingEachIndex) {
  uint32_t seed = 9;
  auto rnd = [&](double lo, double hi) { return lo + (hi - lo) * ((seed = seed * 1664525u + 1013904223u) >> 8) / 16777216.0; };
  for (int config = 0; config < 8; ++config) {
    const bool depth = config & 1, textured = config & 2, smooth = config & 4;
    rt::Mesh m;
    const int vertices = 40 + config * 9;
    for (int v = 0; v < vertices; ++v)
      m.add(rnd(-1.6, 1.6), rnd(-1.6, 1.6), rnd(-9, -0.5), rnd(0, 1), rnd(0, 1), static_cast<uint32_t>(rnd(0, 4294967295.0)));
    for (int k = 0; k < 60; ++k) {
      const auto pick = [&] { return static_cast<uint16_t>(rnd(0, vertices * 0.8)); };  // the top fifth unused
      const uint16_t a = pick();
      m.tri(a, pick(), rnd(0, 1) < 0.2 ? a : pick());
    }
    std::vector<uint32_t> frames[2];
    std::vector<std::vector<int64_t>> records[2];
    int32_t counts[2];
    for (int each = 0; each < 2; ++each) {
      Scene s(depth);
      s.clearTo(0x12345678);
      s.gl->m_fetchEachIndex = each == 1;
      if (depth) {
        s.gl->glEnable(GL_DEPTH_TEST);
        s.gl->glClear(GL_DEPTH_BUFFER_BIT);
      }
      if (textured) {
        rt::makeTexture(*s.gl, 32, GL_UNSIGNED_SHORT_5_6_5, [](int x, int y) { return static_cast<uint16_t>(x * 2017 + y * 61); });
        s.gl->glEnable(GL_TEXTURE_2D);
      }
      if (smooth) s.gl->glShadeModel(GL_SMOOTH);
      if (config >= 4) s.gl->glEnable(GL_CULL_FACE);
      s.colour(200, 100, 50);
      m.bind(*s.gl, textured, smooth || config == 1);
      m.draw(*s.gl);
      // The pool base moved close to its end: the second call reaches past it.
      s.gl->m_vertexCount = kVertexPoolSize - vertices / 2;
      m.draw(*s.gl);
      counts[each] = s.gl->m_vertexCount;
      for (int i = 0; i < s.gl->m_recordCount; ++i) {
        const TriangleRecord& r = s.gl->m_recordPool[i];
        std::vector<int64_t> rec;
        for (const VertexSlot* v : {r.first, r.second, r.third}) {
          rec.push_back(v - s.gl->m_vertexPool);
          // An unprojected slot (depth 0) has no screen position yet.
          rec.insert(rec.end(), {v->depth, v->attr0, v->attr1, v->eyeX, v->eyeY, v->eyeZ, v->outcode, v->stamp});
          if (v->depth != 0) rec.insert(rec.end(), {v->screenX, v->screenY, v->invDepth});
        }
        rec.push_back(r.outcode);
        records[each].push_back(rec);
      }
      // The clipped triangles' corners are projected at the flush, by the
      // viewport and offset of then.
      s.gl->glViewport(2, 3, s.w - 5, s.h - 4);
      s.gl->glEnable(GL_POLYGON_OFFSET_FILL);
      s.gl->glPolygonOffsetx(0, Q(0.25));
      s.gl->glFlush();
      for (int i = 0; i < s.w * s.h; ++i) frames[each].push_back(depth ? s.words()[i] : s.px()[i]);
    }
    EXPECT_EQ(counts[0], counts[1]) << config;
    EXPECT_EQ(records[0], records[1]) << config;
    EXPECT_EQ(frames[0], frames[1]) << config;
    EXPECT_GT(records[0].size(), 20u) << config;
  }
}
