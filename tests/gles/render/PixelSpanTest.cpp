// Pixel helpers and span functions, against the values their rules give.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "RenderTestUtil.h"
#include "gles/PixelHelpers.h"
#include "gles/SpanFunctions.h"
#include "gles/SpanKernels.h"

using namespace kvgl;

TEST(PixelHelpers, SaturatingAddBlendAndReciprocal) {
  struct {
    uint32_t a, b, sum;
  } adds[] = {{0xFFFF, 0x0001, 0xFFFE}, {0xFFFF, 0xFFFF, 0xF7DE}, {0x001F, 0x001F, 0x001E},
              {0x0000, 0x1234, 0x1234}, {0x0841, 0x0841, 0x1082}, {0xF800, 0x0800, 0xF000}};
  for (const auto& c : adds) EXPECT_EQ(addSat565(c.a, c.b), c.sum) << std::hex << c.a << "+" << c.b;

  EXPECT_EQ(blend565(0x0000, 0xFFFF | (15u << 16)), 0xEF7D);
  EXPECT_EQ(blend565(0x0000, 0xFFFF | (16u << 16)), 0xFFFF);
  EXPECT_EQ(blend565(0x1234, 0xFFFF), 0x1234);  // factor 0 keeps the destination
  // RGBA4444 white with alpha 15 over black: 15/16 of the texel's top bits.
  EXPECT_EQ(blend4444Over565(0x0000, 0xFFFF), blend565(0x0000, 0xF79E | (15u << 16)));
  EXPECT_EQ(blend4444Over565(0xFFFF, 0x000F), blend565(0xFFFF, 15u << 16));

  const struct {
    uint32_t n;
    int32_t r;
  } recips[] = {{0, 0}, {1, 16384}, {2, 8192}, {3, 5461}, {256, 64}, {511, 32}, {512, 32}, {1024, 16}};
  for (const auto& c : recips) EXPECT_EQ(recipFromTable(c.n), c.r) << c.n;
}

namespace {

// 32x32 .. 256x256 texture whose texel is its column (low byte) and row.
std::vector<uint16_t> coordTexture(int size) {
  std::vector<uint16_t> t(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) t[y * size + x] = static_cast<uint16_t>((y << 8) | x);
  return t;
}

SpanParams affine(int x0, int x1, int32_t u0, int32_t u1, int32_t v0, int32_t v1, int32_t z0 = 0, int32_t z1 = 0) {
  SpanParams p{};
  p.w[0] = x0 * 16384;
  p.w[1] = x1 * 16384;
  p.w[2] = z0;
  p.w[3] = z1;
  p.w[6] = u0;
  p.w[7] = u1;
  p.w[8] = v0;
  p.w[9] = v1;
  return p;
}

}  // namespace

TEST(TexturedSpans, AddressingWrapsBothWays) {
  rt::Gl g(64, 4, false);
  auto tex = coordTexture(32);
  g.gl->m_texelCache = tex.data();
  SpanFunction f = g.gl->m_texAffineSpans.fn[0][kTexelRgb565];
  uint16_t row[64] = {};
  SpanParams p = affine(0, 1, -1, -1, 0, 0);
  f(g.gl.get(), row, &p);
  EXPECT_EQ(row[0], 31);  // u = -1 (Q14) is column 31
  p = affine(1, 2, 16384, 16384, -1, -1);
  f(g.gl.get(), row, &p);
  EXPECT_EQ(row[1], (31 << 8) | 0);  // u = 1.0 wraps to column 0, v = -1 to row 31
  // Fractional ends truncate towards minus infinity; an empty span draws nothing.
  row[5] = 0xAAAA;
  p = affine(0, 0, 0, 0, 0, 0);
  p.w[0] = 5 * 16384 + 100;
  p.w[1] = 6 * 16384 - 1;
  f(g.gl.get(), row, &p);
  EXPECT_EQ(row[5], 0xAAAA);
}

TEST(TexturedSpans, ModeRules) {
  rt::Gl g(8, 1, false);
  std::vector<uint16_t> tex(32 * 32);
  g.gl->m_texelCache = tex.data();
  uint16_t row[8];
  SpanParams p = affine(0, 1, 0, 0, 0, 0);
  struct {
    int mode;
    uint16_t texel, before, after;
  } cases[] = {
      {kTexelRgb565, 0x0000, 0x1234, 0x0000},
      {kTexelRgba5551, 0x0000, 0x1234, 0x1234},
      {kTexelRgba5551, 0x0001, 0x1234, 0x0001},
      {kTexelRgba5551, 0x1234, 0x4321, 0x1234},  // alpha bit not tested
      {kTexelRgba4444, 0xFFF0, 0x1234, 0x1234},
      {kTexelRgba4444, 0xFFFF, 0x0000, blend4444Over565(0x0000, 0xFFFF)},
  };
  for (const auto& c : cases) {
    tex[0] = c.texel;
    row[0] = c.before;
    g.gl->m_texAffineSpans.fn[1][c.mode](g.gl.get(), row, &p);
    EXPECT_EQ(row[0], c.after) << c.mode << " " << std::hex << c.texel;
  }
  EXPECT_NE(blend4444Over565(0x0000, 0xFFFF), 0xFFFF);  // alpha 15 is blended, not copied
}

TEST(TexturedSpans, AdditiveSkipsZeroTexelsAndVisitsEachPixelOnce) {
  rt::Gl g(8, 1, false);
  std::vector<uint16_t> tex(32 * 32, 0);
  tex[1] = 0x0801;
  g.gl->m_texelCache = tex.data();
  uint16_t row[8] = {0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000, 0x1000};
  // u steps one texel per pixel: columns 0, 1, 2, 3.
  SpanParams p = affine(2, 6, 0, 4 * 512, 0, 0);
  g.gl->m_texAdditiveSpans[0](g.gl.get(), row, &p);
  EXPECT_EQ(row[1], 0x1000);
  EXPECT_EQ(row[2], 0x1000);
  EXPECT_EQ(row[3], 0x1801);
  EXPECT_EQ(row[4], 0x1000);
  EXPECT_EQ(row[6], 0x1000);
}

namespace {

SpanParams persp(int x0, int n, int32_t w, int32_t dw, int32_t U, int32_t dU, int32_t V = 0, int32_t dV = 0) {
  SpanParams p{};
  p.w[0] = x0 * 16384;
  p.w[1] = (x0 + n) * 16384;
  p.w[4] = w;
  p.w[5] = dw;
  p.w[6] = U;
  p.w[7] = dU;
  p.w[8] = V;
  p.w[9] = dV;
  return p;
}

}  // namespace

TEST(TexturedSpans, PerspectiveBlocksAndRemainders) {
  rt::Gl g(300, 1, false);
  auto tex = coordTexture(256);
  g.gl->m_texelCache = tex.data();
  SpanFunction f = g.gl->m_texPerspectiveSpans.fn[3][kTexelRgb565];
  // Constant w = 1.0: u advances one texel (64 in Q14 for 256) per pixel;
  // remainders of 1, 2, 4 and 8 interpolate without rounding.
  for (int n : {1, 16, 17, 18, 20, 24, 32, 33}) {
    std::vector<uint16_t> row(300, 0xEEEE);
    SpanParams p = persp(3, n, 16384, 0, 0, 64, 5 * 64, 0);
    f(g.gl.get(), row.data(), &p);
    EXPECT_EQ(row[2], 0xEEEE);
    for (int i = 0; i < n; ++i) ASSERT_EQ(row[3 + i], (5 << 8) | i) << "n " << n << " pixel " << i;
    EXPECT_EQ(row[3 + n], 0xEEEE);
  }
  // A remainder of 2 interpolates with g = 2048: the second pixel lies half
  // way to the right end's exact coordinate (computed there, not stepped).
  std::vector<uint16_t> row(64, 0);
  SpanParams p = persp(0, 18, 16384, 0, 0, 64 * 3, 0, 0);
  f(g.gl.get(), row.data(), &p);
  EXPECT_EQ(row[16], 48);
  EXPECT_EQ(row[17], 51);
  // w reaching 0 at a block end gives u = v = 0 there.
  p = persp(0, 16, 16384 * 16, -16384, 16384 * 8, 0);
  std::vector<uint16_t> row2(64, 0xEEEE);
  f(g.gl.get(), row2.data(), &p);
  EXPECT_EQ(row2[0], 128);  // u = U / w = 0.5
  EXPECT_EQ(row2[15], 8);   // stepping towards u = 0 at the block end
}

TEST(TexturedSpans, FixedDivisorIgnoresTheStepOfW) {
  rt::Gl g(64, 1, false);
  auto tex = coordTexture(64);
  g.gl->m_texelCache = tex.data();
  SpanFunction f = g.gl->m_texFixedDivisorSpans.fn[1][kTexelRgb565];
  EXPECT_EQ(g.gl->m_texFixedDivisorSpans.fn[1][kTexelRgba5551], nullptr);
  EXPECT_EQ(g.gl->m_texFixedDivisorSpans.fn[1][kTexelRgba4444], nullptr);
  std::vector<uint16_t> a(64), b(64);
  SpanParams p = persp(0, 37, 20000, 0, 1000, 300, 500, 77);
  f(g.gl.get(), a.data(), &p);
  p.w[5] = 12345;
  f(g.gl.get(), b.data(), &p);
  EXPECT_EQ(a, b);
}

namespace {

uint32_t runDepthSpan(GlContext& gl, int table, int k, int mode, uint16_t texel, uint32_t word, uint32_t z) {
  std::vector<uint16_t> tex(static_cast<size_t>(32 << k) * (32 << k), texel);
  gl.m_texelCache = tex.data();
  uint32_t row[2] = {word, 0};
  SpanParams p = table < 4 ? affine(0, 1, 0, 0, 0, 0, static_cast<int32_t>(z), static_cast<int32_t>(z))
                           : persp(0, 1, 16384, 0, 0, 0);
  if (table >= 4) {
    p.w[2] = static_cast<int32_t>(z);
    p.w[3] = 0;
  }
  gl.m_depthTexSpans[table].fn[k][mode](&gl, row, &p);
  return row[0];
}

}  // namespace

TEST(DepthTexturedSpans, ZeroTexelSkipTable) {
  rt::Gl g(4, 1, true);
  // skip[size][variant] for the RGB565/RGBA5551 columns of the affine variants.
  const bool skip[4][4] = {{false, false, false, false},
                           {false, false, false, false},
                           {true, false, true, true},
                           {true, true, true, true}};
  const uint32_t word = 0xFFFF1234u;  // passes every test below
  for (int k = 0; k < 4; ++k) {
    for (int j = 0; j < 8; ++j) {
      for (int mode : {kTexelRgb565, kTexelRgba5551}) {
        const uint32_t out = runDepthSpan(*g.gl, j, k, mode, 0x0000, word, 8192);
        const bool skipped = out == word;
        const bool expected = j < 4 && skip[k][j];
        EXPECT_EQ(skipped, expected) << "size " << k << " table " << j << " mode " << mode;
        if (!skipped) {
          EXPECT_EQ(out & 0xFFFFu, 0u);
        }
      }
      // RGBA4444 with alpha 0 changes neither half, in every variant.
      EXPECT_EQ(runDepthSpan(*g.gl, j, k, kTexelRgba4444, 0xFFF0, word, 8192), word);
    }
  }
  EXPECT_EQ(g.gl->m_depthTexSpans[3].fn[2][kTexelRgb565], g.gl->m_depthTexSpans[3].fn[2][kTexelRgba5551]);
}

TEST(DepthTexturedSpans, DepthTestTiesAndWrites) {
  rt::Gl g(4, 1, true);
  const uint32_t z = 0x12345;  // z << 3 = 0x91A28
  // Tested, not written (table 1): a stored word equal to z << 3 passes, one below fails.
  EXPECT_EQ(runDepthSpan(*g.gl, 1, 0, kTexelRgb565, 0x00F0, z << 3, z), ((z << 3) & 0xFFFF0000u) | 0x00F0);
  EXPECT_EQ(runDepthSpan(*g.gl, 1, 0, kTexelRgb565, 0x00F0, (z << 3) - 1, z), (z << 3) - 1);
  // Written depth half: bits 13 to 28 of z.
  const struct {
    uint32_t z, d;
  } writes[] = {{0x1FFFE000u, 0xFFFF}, {8192, 1}, {8191, 0}, {0xE0002000u, 1}};
  for (const auto& c : writes) {
    EXPECT_EQ(runDepthSpan(*g.gl, 2, 0, kTexelRgb565, 0x0042, 0, c.z), (c.d << 16) | 0x0042) << c.z;
    EXPECT_EQ(runDepthSpan(*g.gl, 6, 0, kTexelRgb565, 0x0042, 0, c.z), (c.d << 16) | 0x0042) << c.z;
  }
  // Additive: tests depth, never writes it, skips zero texels.
  std::vector<uint16_t> tex(32 * 32, 0x0001);
  g.gl->m_texelCache = tex.data();
  uint32_t row[1] = {0x00200010u};
  SpanParams p = affine(0, 1, 0, 0, 0, 0, 0, 0);
  g.gl->m_depthTexAdditiveSpans[0](g.gl.get(), row, &p);
  EXPECT_EQ(row[0], 0x00200011u);
}

TEST(UntexturedSpans, EmptyRowsAndClearDepth) {
  rt::Gl g(8, 1, true);
  uint32_t row[8];
  for (uint32_t& w : row) w = 16383u << 16;
  SpanParams p{};
  p.w[0] = 2 * 16384;
  p.w[1] = 3 * 16384 - 1;  // n = 0
  p.w[10] = 0x1F;
  spanTestedWritten(g.gl.get(), row, &p);
  EXPECT_EQ(row[2], 16383u << 16);
  // The clear depth passes every z with z * 8 <= 16383 * 65536.
  p.w[1] = 3 * 16384;
  const uint32_t limit = (16383u << 16) / 8;
  p.w[2] = p.w[3] = static_cast<int32_t>(limit);
  spanTested(g.gl.get(), row, &p);
  EXPECT_EQ(row[2], (16383u << 16) | 0x1F);
  row[2] = 16383u << 16;
  p.w[2] = p.w[3] = static_cast<int32_t>(limit + 1);
  spanTested(g.gl.get(), row, &p);
  EXPECT_EQ(row[2], 16383u << 16);
}

TEST(UntexturedSpans, SmoothPackingAndBlends) {
  rt::Gl g(8, 1, false);
  uint16_t row[8] = {};
  SpanParams p{};
  p.w[0] = 0;
  p.w[1] = 4 * 16384;
  // red 255 -> 255, green 0 -> 0, blue 0 -> 255 across four pixels.
  p.w[6] = p.w[7] = 255 << 16;
  p.w[8] = p.w[9] = 0;
  p.w[10] = 0;
  p.w[11] = 255 << 16;
  spanSmooth(g.gl.get(), row, &p);
  EXPECT_EQ(row[0], 0xF800);
  const int32_t step = q14Mul(255 << 16, recipFromTable(4));
  EXPECT_EQ(row[3], 0xF800 | (3 * step >> 19));
  // Alpha factor from the top four bits of the interpolated alpha.
  uint16_t row2[2] = {0, 0};
  p.w[1] = 1 * 16384;
  p.w[4] = p.w[5] = 0x80 << 16;
  p.w[6] = p.w[7] = 255 << 16;
  p.w[8] = p.w[9] = 255 << 16;
  p.w[10] = p.w[11] = 255 << 16;
  spanSmoothAlpha(g.gl.get(), row2, &p);
  EXPECT_EQ(row2[0], blend565(0, 0xFFFF | (8u << 16)));
  // Flat spans take the flat word: opaque low half, blend by bits 16-19.
  uint16_t row3[1] = {0x0000};
  p.w[10] = static_cast<int32_t>(packFlatColour(255, 255, 255, 0xF0));
  spanFlatAlpha(g.gl.get(), row3, &p);
  EXPECT_EQ(row3[0], 0xEF7D);
  spanFlat(g.gl.get(), row3, &p);
  EXPECT_EQ(row3[0], 0xFFFF);
}

namespace {

// The pixel-at-a-time form of a pixel rule: the span walks take their
// eight-pixel path only for rules that have one.
template <typename Put>
struct OnePixel {
  template <typename Pixel>
  static void put(Pixel* p, uint16_t c, uint32_t z) {
    Put::put(p, c, z);
  }
};

struct Lcg {
  uint32_t s;
  uint32_t next() { return s = s * 1664525u + 1013904223u; }
  int32_t any() { return static_cast<int32_t>(next() ^ (next() << 16)); }
  int32_t upTo(int32_t n) { return static_cast<int32_t>((next() >> 8) % static_cast<uint32_t>(n)); }
};

template <int K, typename Put, typename Pixel = uint16_t, bool HasZ = false>
void compareSpans(Lcg& rnd, const char* name) {
  const int size = 32 << K;
  std::vector<uint16_t> tex(static_cast<size_t>(size) * size);
  std::array<Pixel, 300> want{}, got{};
  for (int trial = 0; trial < 300; ++trial) {
    for (uint16_t& t : tex) t = rnd.upTo(4) == 0 ? static_cast<uint16_t>(rnd.upTo(16) << (4 * rnd.upTo(4))) : static_cast<uint16_t>(rnd.next() >> 16);
    for (Pixel& p : want) p = static_cast<Pixel>(sizeof(Pixel) == 2 ? rnd.next() >> 16 : rnd.next());
    got = want;
    SpanParams sp{};
    const int32_t x0 = rnd.upTo(40), n = rnd.upTo(140) - 4;
    sp.w[0] = x0 * 16384 + rnd.upTo(16384);
    sp.w[1] = (x0 + n) * 16384 + rnd.upTo(16384);
    for (int i = 2; i < 12; ++i) sp.w[i] = rnd.upTo(3) == 0 ? rnd.any() : rnd.upTo(1 << 20) - (1 << 19);
    if (rnd.upTo(2)) sp.w[4] = 16384 + rnd.upTo(1 << 16);  // a w where the divisions matter
    const bool persp = trial % 2 == 1;
    if (HasZ && rnd.upTo(2)) {
      // A depth constant along the span met by stored words just at, below and above it.
      sp.w[3] = persp ? 0 : sp.w[2];
      const uint32_t at = static_cast<uint32_t>(sp.w[2]) << 3;
      for (Pixel& p : want) p = static_cast<Pixel>(at + static_cast<uint32_t>(rnd.upTo(3)) - 1u);
      got = want;
    }
    if (persp) {
      perspectiveSpan<Pixel, K, OnePixel<Put>, HasZ, false>(tex.data(), want.data(), &sp);
      perspectiveSpan<Pixel, K, Put, HasZ, false>(tex.data(), got.data(), &sp);
    } else {
      affineSpan<Pixel, K, OnePixel<Put>, HasZ>(tex.data(), want.data(), &sp);
      affineSpan<Pixel, K, Put, HasZ>(tex.data(), got.data(), &sp);
    }
    ASSERT_EQ(got, want) << name << " size " << size << (persp ? " perspective" : " affine") << " trial " << trial;
  }
}

template <typename Put, typename Pixel = uint16_t, bool HasZ = false>
void compareAllSizes(Lcg& rnd, const char* name) {
  compareSpans<0, Put, Pixel, HasZ>(rnd, name);
  compareSpans<1, Put, Pixel, HasZ>(rnd, name);
  compareSpans<2, Put, Pixel, HasZ>(rnd, name);
  compareSpans<3, Put, Pixel, HasZ>(rnd, name);
}

}  // namespace

TEST(TexturedSpans, EightPixelRulesEqualThePixelRules) {
  Lcg rnd{77};
  // The lane forms against the helpers, over random pixels and every texel alpha.
  for (int i = 0; i < 200000; ++i) {
    Px8 d, t;
    for (int k = 0; k < 8; ++k) {
      d[k] = static_cast<uint16_t>(rnd.next() >> 16);
      t[k] = static_cast<uint16_t>(rnd.next() >> 16);
    }
    const Px8 blended = blend4444Over565x8(d, t), added = addSat565x8(d, t);
    for (int k = 0; k < 8; ++k) {
      ASSERT_EQ(blended[k], (t[k] & 15) ? blend4444Over565(d[k], t[k]) : d[k]) << std::hex << d[k] << " " << t[k];
      ASSERT_EQ(added[k], addSat565(d[k], t[k])) << std::hex << d[k] << " " << t[k];
    }
  }
  compareAllSizes<TexPut16<kTexel565>>(rnd, "565");
  compareAllSizes<TexPut16<kTexel5551>>(rnd, "5551");
  compareAllSizes<TexPut16<kTexel4444>>(rnd, "4444");
  compareAllSizes<AddPut16>(rnd, "additive");
  // Colour-and-depth words: random stored depths against random span depths,
  // so lanes pass and fail the test side by side.
  compareAllSizes<TexPut32<kTexel565, false, false, false>, uint32_t, false>(rnd, "words 565");
  compareAllSizes<TexPut32<kTexel565, true, false, true>, uint32_t, true>(rnd, "words 565 tested, texel 0 skipped");
  compareAllSizes<TexPut32<kTexel565, false, true, false>, uint32_t, true>(rnd, "words 565 written");
  compareAllSizes<TexPut32<kTexel565, true, true, true>, uint32_t, true>(rnd, "words 565 tested written, texel 0 skipped");
  compareAllSizes<TexPut32<kTexel4444, false, false, false>, uint32_t, false>(rnd, "words 4444");
  compareAllSizes<TexPut32<kTexel4444, true, true, false>, uint32_t, true>(rnd, "words 4444 tested written");
  compareAllSizes<AddPut32, uint32_t, true>(rnd, "words additive");
}

TEST(TexturedSpans, DoubleReciprocalEqualsTheIntegerOne) {
  const int32_t edges[] = {0, 1, -1, 2, -2, 3, -3, 7, 16383, 16384, 16385, -16384, 65535, 1 << 28, (1 << 28) + 1,
                           -(1 << 28), 0x7FFFFFFF, -0x7FFFFFFF, INT32_MIN};
  for (int32_t x : edges) ASSERT_EQ(spanRecip(x), q14Recip(x)) << x;
  for (int32_t x = -70000; x <= 70000; ++x) ASSERT_EQ(spanRecip(x), q14Recip(x)) << x;
  Lcg rnd{9};
  for (int i = 0; i < 1000000; ++i) {
    const int32_t x = rnd.any() >> rnd.upTo(31);
    ASSERT_EQ(spanRecip(x), q14Recip(x)) << x;
  }
}
