// Rasteriser and span selection, including the selections that are kept.
#include <gtest/gtest.h>

#include "RenderTestUtil.h"
#include "gles/Rasterisers.h"
#include "gles/SpanFunctions.h"

using namespace kvgl;

TEST(Selection, NoDepthBuffer) {
  rt::Gl g(16, 16, false);
  GlContext& c = *g.gl;
  EXPECT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterFlat);
  EXPECT_EQ(c.m_spanFunction, spanFlat);
  rt::makeTexture(c, 64, 0x8034, [](int, int) { return 1; });  // RGBA5551, size index 1
  c.glEnable(GL_TEXTURE_2D);
  c.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterTexAffine);
  EXPECT_EQ(c.m_spanFunction, c.m_texAffineSpans.fn[1][kTexelRgba5551]);
  // Blend with a pair other than alpha or additive keeps the previous choice.
  c.glEnable(GL_BLEND);
  c.glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, c.m_texAffineSpans.fn[1][kTexelRgba5551]);
  c.glBlendFunc(GL_ONE, GL_ONE);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, c.m_texAdditiveSpans[1]);
  c.glDisable(GL_BLEND);
  c.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterTexPersp);
  EXPECT_EQ(c.m_spanFunction, c.m_texPerspectiveSpans.fn[1][kTexelRgba5551]);
  // No fixed-divisor span for RGBA5551: the perspective span draws.
  c.glEnable(GL_FIXED_DIVISOR_PERSPECTIVE_KORVANE);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, c.m_texPerspectiveSpans.fn[1][kTexelRgba5551]);
}

TEST(Selection, KeepBeforeAnySelectionSkipsTheDraw) {
  rt::Gl g(16, 16, false);
  GlContext& c = *g.gl;
  c.glEnable(GL_BLEND);
  c.glBlendFunc(GL_DST_COLOR, GL_ZERO);
  EXPECT_FALSE(selectRasteriser(c));  // flat rasteriser, but no span yet
  rt::Mesh m;
  m.tri(m.add(-1, -1, -5), m.add(1, -1, -5), m.add(0, 1, -5));
  g.frustum(0.5, 1, 100);
  m.bind(c, false, false);
  m.draw(c);
  EXPECT_EQ(c.m_recordCount, 0);
}

TEST(Selection, KeptTexturedSpanFollowsTheBoundTexture) {
  rt::Gl g(16, 16, true);
  GlContext& c = *g.gl;
  c.glEnable(GL_TEXTURE_2D);
  const GLuint big = rt::makeTexture(c, 256, 0x8033, [](int, int) { return 0xFFFF; });  // RGBA4444
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterTexAffineDepth);
  EXPECT_EQ(c.m_spanFunction, c.m_depthTexSpans[2].fn[3][kTexelRgba4444]);
  // A 32 RGB565 texture with a blend pair that keeps: the span is taken again
  // for size 32 and RGB565, never the 256 one.
  rt::makeTexture(c, 32, GL_UNSIGNED_SHORT_5_6_5, [](int, int) { return 0x1234; });
  c.glEnable(GL_BLEND);
  c.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, c.m_depthTexSpans[2].fn[0][kTexelRgb565]);
  (void)big;
}

TEST(Selection, DepthBuffer) {
  rt::Gl g(16, 16, true);
  GlContext& c = *g.gl;
  c.glEnable(GL_DEPTH_TEST);
  c.glDepthFunc(GL_ALWAYS);  // with write on: the written span, not the tested one
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterFlatDepth);
  EXPECT_EQ(c.m_spanFunction, spanWritten);
  c.glDepthFunc(GL_LESS);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, spanTestedWritten);
  c.glEnable(GL_BLEND);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, spanTestedWrittenBlend);
  c.glDisable(GL_BLEND);
  // Colour masked: depth-only rasteriser; test and write both off keeps.
  c.glColorMask(0, 0, 0, 0);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterDepthOnly);
  EXPECT_EQ(c.m_spanFunction, spanDepthTestWrite);
  c.glDisable(GL_DEPTH_TEST);
  c.glDepthMask(0);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_spanFunction, spanDepthTestWrite);
  c.glColorMask(1, 1, 1, 1);
  c.glShadeModel(GL_SMOOTH);
  c.glEnableClientState(GL_COLOR_ARRAY);
  ASSERT_TRUE(selectRasteriser(c));
  EXPECT_EQ(c.m_rasteriser, rasterGouraud32);
  EXPECT_EQ(c.m_spanFunction, spanSmoothWord);
}

TEST(Selection, LineDrawers) {
  for (bool depth : {false, true}) {
    rt::Gl g(8, 8, depth);
    GlContext& c = *g.gl;
    selectLineRasteriser(c);
    EXPECT_EQ(c.m_lineDrawer, depth ? drawLineFlat32 : drawLineFlat);
    c.glEnable(GL_BLEND);
    c.glEnableClientState(GL_COLOR_ARRAY);
    selectLineRasteriser(c);
    EXPECT_EQ(c.m_lineDrawer, depth ? drawLineSmoothBlend32 : drawLineSmoothBlend);
  }
}

TEST(Selection, FlatSpansGetPackedColours) {
  // Smooth shading with a depth test draws flat: the array colour is packed.
  rt::Gl g(32, 32, true);
  GlContext& c = *g.gl;
  g.frustum(0.5, 1, 100);
  c.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  c.glEnable(GL_DEPTH_TEST);
  rt::Mesh m;
  m.tri(m.add(-1, -1, -5, 0, 0, 0xFF00FF00u), m.add(1, -1, -5, 0, 0, 0xFF00FF00u), m.add(0, 1, -5, 0, 0, 0xFF00FF00u));
  m.bind(c, false, true);
  m.draw(c);
  c.glFlush();
  EXPECT_EQ(g.pixel(16, 18), 0x07E0);
}
