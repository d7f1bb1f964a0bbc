#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "zul/2d/IndexedImage.h"
#include "zul/2d/Kernels.h"
#include "zul/2d/PixelRows.h"

using namespace kv2d;

namespace {

// One pixel through a region kernel.
template <class Src>
uint16_t blitOne(BlitKernel k, Src src, uint16_t dst, BlitParams p = {}) {
  p.width = 1;
  p.height = 1;
  p.dstStep = 2;
  p.dstRowStep = 2;
  p.srcPitch = sizeof(Src);
  uint16_t d = dst;
  k(reinterpret_cast<uint8_t*>(&d), reinterpret_cast<const uint8_t*>(&src), p);
  return d;
}

}  // namespace

TEST(Kernels, ChannelBlend) {
  struct Case {
    int d, s, a, want;
  };
  const Case cases[] = {{0, 31, 255, 30}, {31, 0, 255, 0}, {10, 10, 255, 10}, {5, 20, 0, 5},
                        {31, 0, 240, 1},  {63, 0, 240, 3}, {0, 31, 128, 15}, {31, 0, 128, 15}};
  for (const Case& c : cases) EXPECT_EQ(blendChannel(c.d, c.s, c.a), c.want) << c.d << " " << c.s << " " << c.a;
}

TEST(Kernels, RegionBlendTable) {
  struct Case {
    const char* name;
    uint16_t got, want;
  };
  BlitParams half;
  half.alpha = 128;
  BlitParams argb4444;
  argb4444.srcHasAlpha = 1;
  argb4444.key = 0xF81F;
  BlitParams keyed565;
  keyed565.key = 0xF81F;
  keyed565.alpha = 255;
  const Case cases[] = {
      {"argb white over black at 255", blitOne(blitArgbBlend, 0xFFFFFFFFu, 0x0000), 0xF7DE},
      {"argb alpha 0 keeps", blitOne(blitArgbBlend, 0x00FFFFFFu, 0x1234), 0x1234},
      {"argb scaled by 128", blitOne(blitArgbAlpha, 0xFFFFFFFFu, 0x0000, half),
       static_cast<uint16_t>((15 << 11) | (31 << 5) | 15)},
      {"4444 opaque black over white", blitOne(blit16AlphaKeyed, uint16_t{0xF000}, 0xFFFF, argb4444), 0x0861},
      {"4444 key skipped", blitOne(blit16AlphaKeyed, uint16_t{0xF81F}, 0x1234, argb4444), 0x1234},
      {"4444 transparent", blitOne(blit16AlphaKeyed, uint16_t{0x0FFF}, 0x1234, argb4444), 0x1234},
      {"565 keyed at 255", blitOne(blit16AlphaKeyed, uint16_t{0x0000}, 0xFFFF, keyed565), 0x0000},
      {"16 alpha half", blitOne(blit16Alpha, uint16_t{0xFFFF}, 0x0000, half),
       static_cast<uint16_t>((15 << 11) | (31 << 5) | 15)},
      {"16 copy", blitOne(blit16Copy, uint16_t{0xABCD}, 0x0000), 0xABCD},
      {"16 keyed skip", blitOne(blit16Keyed, uint16_t{0xF81F}, 0x0001, keyed565), 0x0001},
      {"16 keyed draw", blitOne(blit16Keyed, uint16_t{0xF81E}, 0x0001, keyed565), 0xF81E},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.name;
}

TEST(Kernels, IndexedKernels) {
  const uint16_t palette[4] = {0x1111, 0xFFFF, 0xF800, 0x001F};
  const uint8_t src[4] = {0, 1, 2, 3};
  BlitParams p;
  p.width = 4;
  p.height = 1;
  p.dstStep = 2;
  p.dstRowStep = 8;
  p.srcPitch = 4;
  p.palette = palette;
  p.key = 0;
  uint16_t d[4] = {7, 7, 7, 7};
  blitIndexedKeyed(reinterpret_cast<uint8_t*>(d), src, p);
  EXPECT_EQ(d[0], 7);
  EXPECT_EQ(d[1], 0xFFFF);
  EXPECT_EQ(d[3], 0x001F);
  uint16_t e[4] = {0, 0, 0, 0};
  blitIndexedOpaque(reinterpret_cast<uint8_t*>(e), src, p);
  EXPECT_EQ(e[0], 0x1111);
  p.alpha = 128;
  uint16_t f[4] = {0, 0, 0, 0};
  blitIndexedAlphaKeyed(reinterpret_cast<uint8_t*>(f), src, p);
  EXPECT_EQ(f[0], 0);
  EXPECT_EQ(f[2], 15 << 11);
  TraceCapture cap;
  p.height = 0;
  blitIndexedOpaque(reinterpret_cast<uint8_t*>(e), src, p);
  EXPECT_TRUE(cap.has("266:Graphics"));
}

TEST(Kernels, AlphaFill) {
  uint16_t d[2] = {0, 0xFFFF};
  fillAlpha16(reinterpret_cast<uint8_t*>(d), 2, 1, 4, 0x80FF0000);
  EXPECT_EQ(d[0], 0x7800);
  // White scaled by 128: 15, 31, 15, plus the red 15.
  EXPECT_EQ(d[1], static_cast<uint16_t>((30 << 11) | (31 << 5) | 15));
  uint32_t w[2] = {0xABCD0000u, 0x12340000u};
  fillAlphaWide(reinterpret_cast<uint8_t*>(w), 2, 1, 8, 0x80FF0000);
  EXPECT_EQ(w[0], 0xABCD7800u);
  EXPECT_EQ(w[1], 0x12347800u);
}

// The alpha fill's rows at each vector width against the one-pixel rule:
// every length up to a few vectors, unaligned starts, alpha 0 (the
// destination kept) and 255, and a pitch that leaves pixels between rows.
TEST(Kernels, AlphaFillRowsEqualThePixelRule) {
  uint32_t seed = 3;
  auto rnd = [&]() { return seed = seed * 1664525u + 1013904223u; };
  const uint32_t alphas[] = {0, 1, 128, 254, 255};
  for (int trial = 0; trial < 200; ++trial) {
    const int w = static_cast<int>(rnd() % 70), h = 1 + static_cast<int>(rnd() % 3), skew = static_cast<int>(rnd() % 3);
    const int pitch = 2 * (w + skew + 1);
    const uint32_t argb = (trial < 5 ? alphas[trial] : rnd() >> 24) << 24 | (rnd() & 0xFFFFFF);
    std::vector<uint16_t> want(static_cast<size_t>(pitch / 2) * h + 4);
    for (uint16_t& d : want) d = static_cast<uint16_t>(rnd() >> 16);
    std::vector<uint16_t> got = want;
    const int a = static_cast<int>(argb >> 24), ia = 256 - a;
    const int R = (argb >> 16) & 255, G = (argb >> 8) & 255, B = argb & 255;
    const int pre = (((R * a) >> 8) >> 3) << 11 | (((G * a) >> 8) >> 2) << 5 | (((B * a) >> 8) >> 3);
    for (int r = 0; r < h; ++r) {
      for (int i = 0; i < w; ++i) {
        uint16_t& d = want[static_cast<size_t>(skew + r * pitch / 2 + i)];
        d = static_cast<uint16_t>((((d >> 11) * ia) >> 8) << 11 | ((((d >> 5) & 63) * ia) >> 8) << 5 |
                                  (((d & 31) * ia) >> 8)) +
            pre;
      }
    }
    fillAlpha16(reinterpret_cast<uint8_t*>(got.data() + skew), w, h, pitch, argb);
    ASSERT_EQ(got, want) << "trial " << trial << ", width " << w << ", colour " << std::hex << argb;
  }
}

TEST(Kernels, OpaqueFillAlignedAndUnaligned) {
  // Widths 1..19 on an aligned and on a 2-mod-4 start give the same pixels.
  for (int w = 1; w < 20; ++w) {
    alignas(4) uint16_t a[3 * 24];
    alignas(4) uint16_t b[3 * 24 + 1];
    for (auto& v : a) v = 1;
    for (auto& v : b) v = 1;
    fill16(reinterpret_cast<uint8_t*>(a), w, 2, 48, 0xBEEF);
    fill16(reinterpret_cast<uint8_t*>(b + 1), w, 2, 48, 0xBEEF);
    for (int r = 0; r < 3; ++r)
      for (int x = 0; x < 24; ++x) {
        const uint16_t want = (r < 2 && x < w) ? 0xBEEF : 1;
        ASSERT_EQ(a[r * 24 + x], want) << "aligned w " << w;
        ASSERT_EQ(b[1 + r * 24 + x], want) << "unaligned w " << w;
      }
    EXPECT_EQ(b[0], 1);
  }
  TraceCapture cap;
  uint16_t z = 5;
  fill16(reinterpret_cast<uint8_t*>(&z), 1, 0, 2, 0);
  EXPECT_EQ(z, 5);
  EXPECT_TRUE(cap.has("780:Graphics"));
}

TEST(Kernels, LineTies) {
  struct Case {
    int dx, dy;
    std::vector<std::pair<int, int>> pixels;
  };
  const Case cases[] = {
      {3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {0, 0, {{0, 0}}},
      {4, 2, {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}}},
      {2, 4, {{0, 0}, {1, 1}, {1, 2}, {2, 3}, {2, 4}}},
      {-3, -1, {{0, 0}, {-1, 0}, {-2, -1}, {-3, -1}}},
      {5, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}},
  };
  for (const Case& c : cases) {
    uint16_t buf[11 * 11] = {};
    const int ox = 5, oy = 5;
    line16(reinterpret_cast<uint8_t*>(&buf[oy * 11 + ox]), c.dx, c.dy, 22, 1);
    std::vector<std::pair<int, int>> got;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 11; ++x)
        if (buf[y * 11 + x]) got.emplace_back(x - ox, y - oy);
    auto want = c.pixels;
    std::sort(want.begin(), want.end(), [](auto a, auto b) { return a.second != b.second ? a.second < b.second : a.first < b.first; });
    EXPECT_EQ(got, want) << c.dx << "," << c.dy;
  }
}

TEST(Kernels, OtherFormats) {
  BlitParams p;
  p.width = 1;
  p.height = 1;
  p.dstStep = 4;
  p.dstRowStep = 4;
  p.srcPitch = 4;
  uint32_t d = 0;
  uint32_t s = 0xFFFFFFFF;
  blitArgbBlend32(reinterpret_cast<uint8_t*>(&d), reinterpret_cast<uint8_t*>(&s), p);
  EXPECT_EQ(d, 0x00FEFEFEu);
  uint16_t d444 = 0xF000;
  blitArgbBlend444(reinterpret_cast<uint8_t*>(&d444), reinterpret_cast<uint8_t*>(&s), p);
  EXPECT_EQ(d444, 0x0EEE);  // top bits cleared, 15 * 255 >> 8 = 14
  uint32_t d666 = 0;
  blitArgbBlend666(reinterpret_cast<uint8_t*>(&d666), reinterpret_cast<uint8_t*>(&s), p);
  EXPECT_EQ(d666, (62u << 12) | (62u << 6) | 62u);
  // 16-bit ARGB4444 onto RGB666: red and blue doubled, truncating blend.
  p.srcHasAlpha = 1;
  p.key = 0xFFFFFFFF;
  p.srcPitch = 2;
  uint16_t s4444 = 0xFF0F;  // opaque at 240, red 15, blue 15
  uint32_t e666 = 0;
  blit16AlphaKeyed666(reinterpret_cast<uint8_t*>(&e666), reinterpret_cast<uint8_t*>(&s4444), p);
  // red/blue 30 << 1 = 60: 60 * 240 / 256 = 56.
  EXPECT_EQ(e666, (56u << 12) | 56u);
  uint32_t words[2] = {0xFFFFFFFFu, 0xFFFFFFFFu};
  fill32(reinterpret_cast<uint8_t*>(words), 1, 1, 8, 0x00123456);
  EXPECT_EQ(words[0], 0x00123456u);
  EXPECT_EQ(words[1], 0xFFFFFFFFu);
  uint32_t black = 0;
  fillAlpha32(reinterpret_cast<uint8_t*>(&black), 1, 1, 4, 0x80FF0000);
  EXPECT_EQ(black, 0x007F0000u);
  uint16_t b444 = 0;
  fillAlpha444(reinterpret_cast<uint8_t*>(&b444), 1, 1, 2, 0x80FFFFFF);
  EXPECT_EQ(b444, 0x0777);
  uint32_t l32[9] = {};
  line32(reinterpret_cast<uint8_t*>(&l32[0]), 2, 2, 12, 0xABCDEF);
  EXPECT_EQ(l32[0], 0xABCDEFu);
  EXPECT_EQ(l32[4], 0xABCDEFu);
  EXPECT_EQ(l32[8], 0xABCDEFu);
  EXPECT_EQ(l32[1], 0u);
}

// The context picks the kernel by draw mode and source kind.
TEST(Kernels, ContextChoosesKernels) {
  // A keyed 16-bit image is read as ARGB4444 even at colour alpha 255.
  Source16 keyed(1, 1, {0xF000}, Image::k_flagKeyed, 0xF81F);
  Surface s(1, 1, 0xFFFF);
  s.g().drawRegion(&keyed.image, 0, 0, 1, 1, 0, 0, 0);
  EXPECT_EQ(s.at(0, 0), 0x0861);
  // Opaque 16-bit copy, and colour alpha 128.
  Source16 plain(1, 1, {0xFFFF});
  Surface t(2, 1, 0);
  t.g().drawRegion(&plain.image, 0, 0, 1, 1, 0, 0, 0);
  t.g().setAlpha(128);
  t.g().drawRegion(&plain.image, 0, 0, 1, 1, 0, 1, 0);
  EXPECT_EQ(t.at(0, 0), 0xFFFF);
  EXPECT_EQ(t.at(1, 0), (15 << 11) | (31 << 5) | 15);
  // A 32-bit ARGB image blends by its own alpha.
  uint32_t argb[1] = {0xFFFFFFFF};
  RgbImage a(Image::k_kindRgb, argb);
  a.setBitsPerPixel(32);
  a.setDimensions(1, 1, 4);
  Surface u(1, 1, 0);
  u.g().drawRegion(&a, 0, 0, 1, 1, 0, 0, 0);
  EXPECT_EQ(u.at(0, 0), 0xF7DE);
}

TEST(Kernels, SpansStepTexelsAndHoldThemInside) {
  // 4 x 1 texture of indices; u steps half a texel per pixel.
  const uint8_t tex[4] = {0, 1, 2, 3};
  const uint32_t pal32[4] = {0xFF000010, 0xFF000020, 0xFF000030, 0xFF000040};
  SpanSource s;
  s.pixels = tex;
  s.pitch = 4;
  s.width = 4;
  s.height = 1;
  s.palette = pal32;
  s.key = 1;
  uint32_t row[8] = {};
  spanIndexedKeyed32(reinterpret_cast<uint8_t*>(row), 1, 7, 0, 2048, 0, 0, s);
  EXPECT_EQ(row[0], 0u);
  EXPECT_EQ(row[1], 0x10u);
  EXPECT_EQ(row[2], 0x10u);
  EXPECT_EQ(row[3], 0u);  // index 1 is the key
  EXPECT_EQ(row[5], 0x30u);
  EXPECT_EQ(row[7], 0x40u);  // past the last texel: held at the edge
  const uint16_t pal444[4] = {0x0FFF, 0x0FFF, 0x0FFF, 0x0FFF};
  s.palette = pal444;
  s.key = -1;
  s.alpha = 128;
  uint16_t r444[2] = {0, 0};
  spanIndexedAlpha444(reinterpret_cast<uint8_t*>(r444), 0, 2, -4096, 0, 0, 0, s);
  EXPECT_EQ(r444[0], 0x0777);
  EXPECT_EQ(r444[1], 0x0777);
}

namespace {

// The region walk one pixel at a time, as the contract reads: the reference
// for the row loops of the 16-bit kernels.
enum class Rule { kCopy, kKeyed, kAlpha, kAlphaKeyed };

void walkReference(Rule rule, uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  for (int r = 0; r < p.height; ++r) {
    for (int i = 0; i < p.width; ++i) {
      uint8_t* d = dst + static_cast<std::ptrdiff_t>(r) * p.dstRowStep + static_cast<std::ptrdiff_t>(i) * p.dstStep;
      const uint16_t v = load16(src + static_cast<std::ptrdiff_t>(r) * p.srcPitch + 2 * i);
      if (rule == Rule::kCopy) {
        store16(d, v);
        continue;
      }
      if (rule != Rule::kAlpha && v == p.key) continue;
      if (rule == Rule::kKeyed) {
        store16(d, v);
        continue;
      }
      int a = p.alpha, sr = v >> 11, sg = (v >> 5) & 63, sb = v & 31;
      if (p.srcHasAlpha && rule == Rule::kAlphaKeyed) {
        a = ((v >> 12) & 15) << 4;
        sr = ((v >> 8) & 15) << 1;
        sg = ((v >> 4) & 15) << 2;
        sb = (v & 15) << 1;
      }
      store16(d, blend565(load16(d), sr, sg, sb, a));
    }
  }
}

}  // namespace

TEST(Kernels, RowLoopsEqualThePixelWalkForEveryTransform) {
  uint32_t seed = 7;
  auto rnd = [&](uint32_t n) { return ((seed = seed * 1664525u + 1013904223u) >> 8) % n; };
  constexpr int kSide = 48, kPitch = kSide * 2;
  struct Kernel {
    const char* name;
    BlitKernel k;
    Rule rule;
  };
  const Kernel kernels[] = {{"copy", blit16Copy, Rule::kCopy},
                            {"keyed", blit16Keyed, Rule::kKeyed},
                            {"alpha", blit16Alpha, Rule::kAlpha},
                            {"alpha keyed", blit16AlphaKeyed, Rule::kAlphaKeyed}};
  std::vector<uint16_t> src(kSide * kSide), want(kSide * kSide), got(kSide * kSide);
  for (const Kernel& kernel : kernels) {
    for (int transform = 0; transform < 8; ++transform) {
      for (int trial = 0; trial < 40; ++trial) {
        const int w = 1 + static_cast<int>(rnd(40)), h = 1 + static_cast<int>(rnd(40));
        BlitParams p;
        p.width = static_cast<uint16_t>(w);
        p.height = static_cast<uint16_t>(h);
        p.srcPitch = kPitch;
        p.key = rnd(2) ? 0xF81F : rnd(65536);
        p.alpha = static_cast<uint16_t>(rnd(256));
        p.srcHasAlpha = static_cast<uint8_t>(rnd(2));
        for (uint16_t& v : src) v = rnd(4) == 0 ? static_cast<uint16_t>(p.key) : static_cast<uint16_t>(rnd(65536));
        for (uint16_t& v : want) v = static_cast<uint16_t>(rnd(65536));
        got = want;
        // Start pixel and steps of the transform table, the region at (3, 2).
        const int x = 3, y = 2;
        int sx = x, sy = y;
        switch (transform) {
          case 0: p.dstStep = 2, p.dstRowStep = kPitch; break;
          case 1: sx = x + w - 1, p.dstStep = -2, p.dstRowStep = kPitch; break;
          case 2: sy = y + h - 1, p.dstStep = 2, p.dstRowStep = -kPitch; break;
          case 3: sx = x + w - 1, sy = y + h - 1, p.dstStep = -2, p.dstRowStep = -kPitch; break;
          case 4: sx = x + h - 1, p.dstStep = kPitch, p.dstRowStep = -2; break;
          case 5: sx = x + h - 1, sy = y + w - 1, p.dstStep = -kPitch, p.dstRowStep = -2; break;
          case 6: p.dstStep = kPitch, p.dstRowStep = 2; break;
          case 7: sy = y + w - 1, p.dstStep = -kPitch, p.dstRowStep = 2; break;
        }
        const size_t at = static_cast<size_t>(sy) * kSide + static_cast<size_t>(sx);
        const int so = static_cast<int>(rnd(5));  // source origin: unaligned rows too
        const auto* s = reinterpret_cast<const uint8_t*>(src.data() + so);
        walkReference(kernel.rule, reinterpret_cast<uint8_t*>(want.data() + at), s, p);
        kernel.k(reinterpret_cast<uint8_t*>(got.data() + at), s, p);
        ASSERT_EQ(got, want) << kernel.name << ", transform " << transform << ", " << w << "x" << h << ", trial "
                             << trial;
      }
    }
  }
}

// The row loops at eight lanes, at sixteen (the keyed copy, where the
// processor has them) and through the width chooser give the pixel walk's
// pixels for every length, direction, key and alpha mode, unaligned rows
// included.
TEST(Kernels, RowLoopsAtEveryVectorWidth) {
  uint32_t seed = 11;
  auto rnd = [&](uint32_t n) { return ((seed = seed * 1664525u + 1013904223u) >> 8) % n; };
  enum Form { kEight, kWide, kChosen };
  constexpr int kLoops = 4;  // copy, keyed copy, keyed blend, blend of every pixel
  for (int trial = 0; trial < 300; ++trial) {
    const int n = static_cast<int>(rnd(72));
    const int dir = rnd(2) ? 1 : -1;
    const bool hasAlpha = rnd(2) != 0;
    const uint16_t key = rnd(2) ? 0xF81F : static_cast<uint16_t>(rnd(65536));
    const int alpha = static_cast<int>(rnd(256));
    std::vector<uint16_t> src(static_cast<size_t>(n) + 9), dst(static_cast<size_t>(n) + 9);
    for (uint16_t& v : src) v = rnd(4) == 0 ? key : static_cast<uint16_t>(rnd(65536));
    for (uint16_t& v : dst) v = static_cast<uint16_t>(rnd(65536));
    const int so = static_cast<int>(rnd(4)), dout = static_cast<int>(rnd(4));
    const uint16_t* s = src.data() + so + (dir > 0 ? 0 : (n > 0 ? n - 1 : 0));
    // The reference: one pixel at a time through a one-row region kernel.
    std::vector<uint16_t> want[kLoops] = {dst, dst, dst, dst};
    for (int i = 0; i < n; ++i) {
      const uint16_t v = s[dir * i];
      const size_t at = static_cast<size_t>(dout + i);
      want[0][at] = v;
      if (v != key) want[1][at] = v;
      BlitParams p;
      p.key = key;
      p.alpha = static_cast<uint16_t>(alpha);
      p.srcHasAlpha = hasAlpha;
      want[2][at] = blitOne(blit16AlphaKeyed, v, want[2][at], p);
      want[3][at] = blend565(want[3][at], v >> 11, (v >> 5) & 63, v & 31, alpha);
    }
    for (Form form : {kEight, kWide, kChosen}) {
      if (form == kWide && !pixelrows::wideRows()) continue;
      std::vector<uint16_t> got[kLoops] = {dst, dst, dst, dst};
      uint16_t* o[kLoops] = {got[0].data() + dout, got[1].data() + dout, got[2].data() + dout, got[3].data() + dout};
      if (form == kEight) {
        if (dir > 0) {
          pixelrows::copyRow<1>(o[0], s, n);
          pixelrows::keyedRow<1>(o[1], s, n, key);
          hasAlpha ? pixelrows::blendKeyedRow<1, true>(o[2], s, n, key, alpha)
                   : pixelrows::blendKeyedRow<1, false>(o[2], s, n, key, alpha);
          pixelrows::blendKeyedRow<1, false, 8, false>(o[3], s, n, 0, alpha);
        } else {
          pixelrows::copyRow<-1>(o[0], s, n);
          pixelrows::keyedRow<-1>(o[1], s, n, key);
          hasAlpha ? pixelrows::blendKeyedRow<-1, true>(o[2], s, n, key, alpha)
                   : pixelrows::blendKeyedRow<-1, false>(o[2], s, n, key, alpha);
          pixelrows::blendKeyedRow<-1, false, 8, false>(o[3], s, n, 0, alpha);
        }
      } else if (form == kWide) {
        // Only the keyed copy has a 256-bit form; the others keep their expected pixels.
        got[0] = want[0];
        pixelrows::keyedRowWide(o[1], s, dir, n, key);
        got[2] = want[2];
        got[3] = want[3];
      } else {
        pixelrows::copyRowAny(o[0], s, dir, n);
        pixelrows::keyedRowAny(o[1], s, dir, n, key);
        pixelrows::blendKeyedRowAny(o[2], s, dir, hasAlpha, n, key, alpha);
        pixelrows::alphaRowAny(o[3], s, dir, n, alpha);
      }
      for (int k = 0; k < kLoops; ++k)
        ASSERT_EQ(got[k], want[k]) << "form " << form << ", loop " << k << ", n " << n << ", dir " << dir << ", alpha "
                                   << hasAlpha << ", trial " << trial;
    }
  }
}

// Every ARGB4444 source value (all sixteen alpha nibbles, channel extremes
// included) over destinations of every field extreme and at random: the
// keyed blend rows, directly and through the chooser, against the one-pixel
// rule.
TEST(Kernels, Argb4444RowsForEverySourceValue) {
  constexpr int kRow = 256;
  std::vector<uint16_t> src(65536);
  for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<uint16_t>(i * 40503u);  // every value once
  uint32_t seed = 5;
  const uint16_t fixed[] = {0x0000, 0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410, 0x7BEF};
  for (int round = 0; round < 9; ++round) {
    std::vector<uint16_t> dst(src.size());
    for (uint16_t& d : dst)
      d = round < 7 ? fixed[round] : static_cast<uint16_t>((seed = seed * 1664525u + 1013904223u) >> 16);
    const uint16_t key = round == 8 ? 0xF81F : 0x0001;  // a key pixel stays in every form
    std::vector<uint16_t> want = dst;
    for (size_t i = 0; i < src.size(); ++i) {
      const uint16_t v = src[i];
      if (v == key) continue;
      want[i] = blend565(want[i], ((v >> 8) & 15) << 1, ((v >> 4) & 15) << 2, (v & 15) << 1, ((v >> 12) & 15) << 4);
    }
    for (int form : {0, 2}) {
      std::vector<uint16_t> got = dst;
      for (size_t at = 0; at < src.size(); at += kRow) {
        uint16_t* o = got.data() + at;
        const uint16_t* s = src.data() + at;
        if (form == 0) pixelrows::blendKeyedRow<1, true>(o, s, kRow, key, 0);
        if (form == 2) pixelrows::blendKeyedRowAny(o, s, 1, true, kRow, key, 0);
      }
      ASSERT_EQ(got, want) << "form " << form << ", round " << round;
    }
  }
}

// The 32-bit ARGB row loops (the region kernel's blend by the pixel's own
// alpha and drawRGB's 8-bit blend) at each vector width against their
// one-pixel rules, every length and direction.
TEST(Kernels, ArgbRowLoopsAtEveryVectorWidth) {
  uint32_t seed = 21;
  auto rnd = [&]() { return seed = seed * 1664525u + 1013904223u; };
  for (int trial = 0; trial < 300; ++trial) {
    const int n = static_cast<int>(rnd() % 72);
    const int dir = (rnd() & 256) ? 1 : -1;
    std::vector<uint32_t> src(static_cast<size_t>(n) + 1);
    for (uint32_t& c : src) {
      c = rnd() ^ (rnd() << 16);
      if ((c & 7) == 0) c &= 0x00FFFFFFu;  // alpha 0 and 255 too
      if ((c & 7) == 1) c |= 0xFF000000u;
    }
    std::vector<uint16_t> dst(static_cast<size_t>(n) + 1);
    for (uint16_t& d : dst) d = static_cast<uint16_t>(rnd() >> 16);
    const uint32_t* s = src.data() + (dir > 0 ? 0 : (n > 0 ? n - 1 : 0));
    std::vector<uint16_t> wantBlend = dst, wantOver = dst;
    for (int i = 0; i < n; ++i) {
      const uint32_t c = s[dir * i];
      const int a8 = static_cast<int>(c >> 24), d0 = wantBlend[i];
      auto ch = [&](int dch, int sch) { return dch + (((sch - dch) * a8) >> 8); };
      wantBlend[i] = static_cast<uint16_t>(ch(d0 >> 11, static_cast<int>((c >> 16) & 255) >> 3) << 11 |
                                           ch((d0 >> 5) & 63, static_cast<int>((c >> 8) & 255) >> 2) << 5 |
                                           ch(d0 & 31, static_cast<int>(c & 255) >> 3));
      const uint32_t co = src[i], a = co >> 24, ia = 256 - a, d = wantOver[i];
      const uint32_t dr = (d & 0xF800) >> 8, dg = (d & 0x07E0) >> 3, db = (d & 0x1F) << 3;
      const uint32_t r = (((co >> 16) & 255) * a + dr * ia) >> 8, g = (((co >> 8) & 255) * a + dg * ia) >> 8,
                     b = ((co & 255) * a + db * ia) >> 8;
      wantOver[i] = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    }
    for (int form = 0; form < 3; ++form) {
      if (form == 1 && !pixelrows::wideRows()) continue;
      std::vector<uint16_t> blend = dst, over = dst;
      if (form == 0) {
        dir > 0 ? pixelrows::argbBlendRow<1>(blend.data(), s, n) : pixelrows::argbBlendRow<-1>(blend.data(), s, n);
        pixelrows::argbOverRow(over.data(), src.data(), n);
      } else if (form == 1) {
        pixelrows::argbBlendRowWide(blend.data(), s, dir, n);
        pixelrows::argbOverRowWide(over.data(), src.data(), n);
      } else {
        pixelrows::argbBlendRowAny(blend.data(), s, dir, n);
        pixelrows::argbOverRowAny(over.data(), src.data(), n);
      }
      ASSERT_EQ(blend, wantBlend) << "form " << form << ", n " << n << ", dir " << dir;
      ASSERT_EQ(over, wantOver) << "form " << form << ", n " << n;
    }
  }
}

// blitArgbBlend takes whole rows for the four transforms that keep rows
// together: the mirrored ones read their source rows from the right.
TEST(Kernels, ArgbRegionRowsForEveryTransform) {
  constexpr int kW = 37, kH = 5, kSide = 48;
  std::vector<uint32_t> src(kW * kH);
  uint32_t seed = 9;
  for (uint32_t& c : src) c = (seed = seed * 1664525u + 1013904223u);
  for (int transform = 0; transform < 8; ++transform) {
    std::vector<uint16_t> want(kSide * kSide, 0x5A5A), got = want;
    BlitParams p;
    p.width = kW;
    p.height = kH;
    p.srcPitch = kW * 4;
    const bool swap = transform >= 4;
    const bool mx = swap ? (transform == 4 || transform == 5) : (transform & 1);
    const bool my = swap ? (transform == 5 || transform == 7) : (transform & 2);
    // Where source pixel (i, r) lands, from the transform table.
    auto at = [&](int i, int r) {
      const int cx = swap ? (mx ? kH - 1 - r : r) : (mx ? kW - 1 - i : i);
      const int cy = swap ? (my ? kW - 1 - i : i) : (my ? kH - 1 - r : r);
      return static_cast<size_t>(cy + 2) * kSide + static_cast<size_t>(cx + 3);
    };
    p.dstStep = static_cast<int16_t>(static_cast<int>(at(1, 0)) * 2 - static_cast<int>(at(0, 0)) * 2);
    p.dstRowStep = static_cast<int16_t>(static_cast<int>(at(0, 1)) * 2 - static_cast<int>(at(0, 0)) * 2);
    for (int r = 0; r < kH; ++r) {
      for (int i = 0; i < kW; ++i) {
        const uint32_t c = src[static_cast<size_t>(r) * kW + i];
        const int a = static_cast<int>(c >> 24), d = want[at(i, r)];
        auto ch = [&](int dch, int sch) { return dch + (((sch - dch) * a) >> 8); };
        want[at(i, r)] = static_cast<uint16_t>(ch(d >> 11, static_cast<int>((c >> 16) & 255) >> 3) << 11 |
                                               ch((d >> 5) & 63, static_cast<int>((c >> 8) & 255) >> 2) << 5 |
                                               ch(d & 31, static_cast<int>(c & 255) >> 3));
      }
    }
    blitArgbBlend(reinterpret_cast<uint8_t*>(got.data() + at(0, 0)), reinterpret_cast<const uint8_t*>(src.data()), p);
    ASSERT_EQ(got, want) << "transform " << transform;
  }
}
