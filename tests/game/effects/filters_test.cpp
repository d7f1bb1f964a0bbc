#include <algorithm>
#include <functional>
#include <vector>

#include "effects/EffectsFixture.h"

namespace {

using Filters = EffectsTest;
using Pixels = std::vector<uint32_t>;

uint32_t greyOf(uint32_t p, int s) {
  const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
  const int lum = (r + g + b + 16) >> 2;
  auto mix = [&](int c) { return static_cast<uint32_t>(c + (((lum - c) * s) >> 7)); };
  return mix(r) << 16 | mix(g) << 8 | mix(b);
}

// The glow written out plainly: red and blue in one word, green in another,
// both running values carried through every pass.
void referenceGlow(int w, int h, uint32_t* px, int sH, int sV, int gain) {
  std::vector<uint32_t> sc(static_cast<size_t>(w) * h);
  int64_t rb = 0, g = 0;
  auto step = [&](uint32_t p, int s) {
    rb = (int64_t(p & 0xFF00FF) + (((rb - int64_t(p & 0xFF00FF)) * s) >> 7)) & 0xFF00FF;
    g = (int64_t(p & 0xFF00) + (((g - int64_t(p & 0xFF00)) * s) >> 7)) & 0xFF00;
    return static_cast<uint32_t>(rb | g);
  };
  auto bright = [](uint32_t p) { return ((p >> 16) & 255) >= 153 || ((p >> 8) & 255) >= 153 || (p & 255) >= 153; };
  for (int y = 0; y < h; ++y) {
    for (int x = w - 1; x >= 0; --x) sc[y * w + x] = step(bright(px[y * w + x]) ? px[y * w + x] : 0, sH);
    for (int x = 0; x < w; ++x) sc[y * w + x] = step(sc[y * w + x], sH);
  }
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) sc[y * w + x] = step(sc[y * w + x], sV);
    for (int y = h - 1; y >= 0; --y) sc[y * w + x] = step(sc[y * w + x], sV);
  }
  for (int i = 0; i < w * h; ++i) {
    uint32_t out = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
      const int64_t c = (px[i] >> shift) & 255, v = (sc[i] >> shift) & 255;
      out |= static_cast<uint32_t>(std::clamp<int64_t>(c + ((v * v * gain) >> 8), 0, 255)) << shift;
    }
    px[i] = out;
  }
}

}  // namespace

TEST_F(Filters, GlowMatchesThePlainFormulaForEveryStrength) {
  const int strengths[][3] = {{0, 0, 0},     {1, 1, 1},       {64, 32, 8},   {100, 80, 25}, {127, 127, 255},
                              {128, 128, 4}, {129, 100, 10},  {-5, 60, 3},   {90, 300, 2},  {200, -40, -7}};
  Pixels src(23 * 17);
  uint32_t seed = 5;
  for (auto& p : src) {
    seed = seed * 1103515245u + 12345u;
    p = (seed >> 4) & 0xFFFFFF;
  }
  for (const auto& s : strengths) {
    Pixels a = src, b = src;
    glowPixels(*game, 23, 17, a.data(), s[0], s[1], s[2]);
    referenceGlow(23, 17, b.data(), s[0], s[1], s[2]);
    EXPECT_EQ(a, b) << s[0] << " " << s[1] << " " << s[2];
  }
}

TEST_F(Filters, GlowBrightensAroundABrightBlockInOneBand) {
  Surface s(56, 104);
  Pixels expected(56 * 104, 0);
  for (int y = 48; y < 56; ++y)
    for (int x = 24; x < 32; ++x) {
      s.set(x, y, 0xFFFF);
      expected[y * 56 + x] = 0xF8FCF8;
    }
  glowPixels(*game, 56, 104, expected.data(), 100, 80, 25);
  glowArea(*game, s.g(), 0, 0, 56, 104, 100, 80, 25);
  for (int i = 0; i < 56 * 104; ++i) ASSERT_EQ(s.px[i], pixelOf(expected[i])) << i;  // one band, one pass
  const std::pair<int, int> lit[] = {{21, 52}, {34, 52}, {28, 46}, {28, 58}, {28, 52}};
  for (auto [x, y] : lit) EXPECT_NE(s.at(x, y), 0) << x << "," << y;
  EXPECT_EQ(s.at(0, 0), 0);
  EXPECT_EQ(s.at(55, 103), 0);
  EXPECT_EQ(s.at(28, 70), 0);
}

TEST_F(Filters, GlowOverMoreThanItsScratchLeavesThePixels) {
  Surface s(200, 60);
  s.fillPattern();
  const auto before = s.px;
  glowArea(*game, s.g(), 0, 0, 200, 60, 100, 80, 25);  // 12000 pixels in one band
  EXPECT_EQ(s.px, before);
}

TEST_F(Filters, GlowThresholdAndGain) {
  struct Case {
    uint32_t in;
    bool bright;
  } cases[] = {{0x999999, true},  {0x989898, false}, {0x990000, true}, {0x009900, true},
               {0x000099, true},  {0x989800, false}, {0xFF000000, false}};
  for (const Case& c : cases) {
    Pixels p(5 * 5, 0);
    p[12] = c.in;
    glowPixels(*game, 5, 5, p.data(), 64, 64, 20);
    EXPECT_EQ(p[11] != 0, c.bright) << std::hex << c.in;
  }
  // Strength 0 keeps the pixel itself as the glow: c + g * g * gain >> 8, capped.
  Pixels one = {0xA01000};
  glowPixels(*game, 1, 1, one.data(), 0, 0, 1);
  EXPECT_EQ(one[0], 0xFF1100u);
  // Running values carry through both row passes and both column passes.
  Pixels two = {0x0000FF, 0};
  glowPixels(*game, 2, 1, two.data(), 64, 64, 1);
  EXPECT_EQ(two, (Pixels{0x0000FF, 0x000018}));
}

TEST_F(Filters, AreaFiltersClipToTheImage) {
  const std::function<void(cGame&, Graphics*, int, int, int, int)> filters[] = {
      [](cGame& g, Graphics* gr, int x, int y, int w, int h) { glowArea(g, gr, x, y, w, h, 90, 70, 20); },
      [](cGame& g, Graphics* gr, int x, int y, int w, int h) { greyArea(g, gr, x, y, w, h, 100); },
      [](cGame& g, Graphics* gr, int x, int y, int w, int h) { blurArea(g, gr, x, y, w, h, true, 60); },
      [](cGame& g, Graphics* gr, int x, int y, int w, int h) { blurArea(g, gr, x, y, w, h, false, 60); },
  };
  struct Case {
    int x, y, w, h;     // as asked
    int cx, cy, cw, ch;  // what it works on; cw 0: nothing
  } cases[] = {
      {40, 0, 10, 30, 0, 0, 0, 0},     {0, 30, 40, 5, 0, 0, 0, 0},      {-10, 0, 10, 30, 0, 0, 0, 0},
      {0, -7, 40, 7, 0, 0, 0, 0},      {5, 5, 0, 10, 0, 0, 0, 0},       {5, 5, 10, -3, 0, 0, 0, 0},
      {-20, 4, 40, 20, 0, 4, 20, 20},  {20, 4, 40, 20, 20, 4, 20, 20},  {3, -10, 30, 25, 3, 0, 30, 15},
      {3, 20, 30, 25, 3, 20, 30, 10},  {-5, -5, 100, 100, 0, 0, 40, 30},
      {INT32_MIN, 0, INT32_MAX, 30, 0, 0, 0, 0},  // ends before the image
  };
  int f = 0;
  for (const auto& filter : filters) {
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << "filter " << f << " rect " << c.x << "," << c.y << "," << c.w << "," << c.h);
      Surface asked(40, 30), clipped(40, 30);
      asked.fillPattern(7);
      clipped.fillPattern(7);
      filter(*game, asked.g(), c.x, c.y, c.w, c.h);
      if (c.cw > 0) filter(*game, clipped.g(), c.cx, c.cy, c.cw, c.ch);
      EXPECT_EQ(asked.px, clipped.px);
    }
    ++f;
  }
}

TEST_F(Filters, GlowFlagsSkipTheReadOrTheWrite) {
  Surface s(20, 10, 0xFFFF);
  game->effects.glowNoWriteBack = 1;
  glowArea(*game, s.g(), 0, 0, 20, 10, 90, 70, 20);
  EXPECT_EQ(s.countNonZero(), 200);
  game->effects.glowNoWriteBack = 0;
  // Painting off-screen: the band as it stands (black) is glowed and written.
  game->effects.paintingOffscreen32 = 1;
  std::fill_n(game->effects.bandBuffer, 200, 0u);
  glowArea(*game, s.g(), 0, 0, 20, 10, 90, 70, 20);
  EXPECT_EQ(s.countNonZero(), 0);
}

TEST_F(Filters, GreyAreaMatchesThePixelFormulaAcrossBands) {
  // 240 wide: bands of 135, 135 and 30 rows.
  Surface s(240, 320);
  s.fillPattern(3);
  const auto before = s.px;
  greyArea(*game, s.g(), 0, 0, 240, 300, 90);
  for (int y = 0; y < 320; ++y)
    for (int x = 0; x < 240; ++x) {
      const uint16_t p = before[y * 240 + x];
      ASSERT_EQ(s.at(x, y), y < 300 ? pixelOf(greyOf(rgbOf(p), 90)) : p) << x << "," << y;
    }
}

TEST_F(Filters, RowFilters) {
  using Fn = std::function<void(uint32_t*, int32_t)>;
  struct Case {
    const char* name;
    Fn fn;
    Pixels in, out;
  } cases[] = {
      {"grey", [](uint32_t* p, int32_t n) { filterGrey(p, n, 128); }, {0xFF0000}, {0x434343}},
      {"grey 0", [](uint32_t* p, int32_t n) { filterGrey(p, n, 0); }, {0x123456}, {0x123456}},
      {"grey half", [](uint32_t* p, int32_t n) { filterGrey(p, n, 64); }, {0xFF0000}, {0xA12121}},
      {"smooth right",
       [](uint32_t* p, int32_t n) { filterSmoothRight(p, n, 64); },
       {0x808080, 0, 0, 0},
       {0x404040, 0x202020, 0x101010, 0x080808}},
      {"smooth left",
       [](uint32_t* p, int32_t n) { filterSmoothLeft(p, n, 64); },
       {0, 0, 0, 0x808080},
       {0x080808, 0x101010, 0x202020, 0x404040}},
      {"smooth left, bright first",
       [](uint32_t* p, int32_t n) { filterSmoothLeft(p, n, 64); },
       {0x808080, 0, 0, 0},
       {0x404040, 0, 0, 0}},
      {"smooth then grey", [](uint32_t* p, int32_t n) { filterSmoothGrey(p, n, 0, 128); }, {0xFF0000}, {0x434343}},
      {"smooth then grey, smoothing",
       [](uint32_t* p, int32_t n) { filterSmoothGrey(p, n, 64, 0); },
       {0x800000, 0},
       {0x200000, 0x100000}},
      {"warm",
       [](uint32_t* p, int32_t n) { filterWarmBrighten(p, n, 64); },
       {0x404020, 0xF0F0F0},
       {0x806030, 0xFFFFFF}},
      {"yellow",
       [](uint32_t* p, int32_t n) { filterYellowBrighten(p, n, 64); },
       {0x404020, 0xF0F0F0},
       {0x808030, 0xFFFFFF}},
      {"brighten",
       [](uint32_t* p, int32_t n) { filterBrighten(p, n, 64); },
       {0x404020, 0xF0F0F0},
       {0x606030, 0xFFFFFF}},
      {"brighten saturates", [](uint32_t* p, int32_t n) { filterBrighten(p, n, 128); }, {0xC08040}, {0xFFFF80}},
      {"brighten and smooth", [](uint32_t* p, int32_t n) { filterBrightenSmooth(p, n, 64); }, {0x404020}, {0x303018}},
  };
  for (Case& c : cases) {
    Pixels p = c.in;
    c.fn(p.data(), static_cast<int32_t>(p.size()));
    EXPECT_EQ(p, c.out) << c.name;
  }
}

TEST_F(Filters, BlurAreaSmoothsEachRowOneWay) {
  Surface s(16, 3);
  s.fillPattern(11);
  for (bool rightward : {true, false}) {
    for (int strength : {60, 60 + 128, 60 - 128}) {  // the strength counts modulo 128
      Surface t(16, 3);
      t.px = s.px;
      blurArea(*game, t.g(), 0, 0, 16, 3, rightward, strength);
      for (int y = 0; y < 3; ++y) {
        Pixels row(16);
        for (int x = 0; x < 16; ++x) row[x] = rgbOf(s.at(x, y));
        if (rightward)
          filterSmoothRight(row.data(), 16, 60);
        else
          filterSmoothLeft(row.data(), 16, 60);
        for (int x = 0; x < 16; ++x) EXPECT_EQ(t.at(x, y), pixelOf(row[x])) << rightward << strength << x << y;
      }
    }
  }
}

TEST_F(Filters, PulseSwingsWithThePaintCount) {
  struct Case {
    int32_t period, paint;
    uint32_t from, to, out;
  } cases[] = {
      {64, 0, 0, 100, 0},          {64, 16, 0, 100, 99},         {64, 32, 0, 100, 0},
      {64, 48, 0, 100, 99},        {64, 80, 0, 100, 99},         {64, -48, 0, 100, 99},
      {64, 16, 10, 25, 24},        {64, 16, 0, 0xFFFFFF, 0xFEFEFE}, {64, 16, 0xFFFFFF, 0, 0},
      {64, 8, 0, 0xFF, 0xB3},      {0, 16, 0x123456, 0xFFFFFF, 0x123456},
      {-64, 16, 0xAB123456, 0xFFFFFF, 0x123456},
  };
  for (const Case& c : cases) {
    game->frame.paintFrameCount = c.paint;
    EXPECT_EQ(pulse(*game, c.period, c.from, c.to), c.out) << c.period << " " << c.paint;
    EXPECT_EQ(pulseColour(*game, c.period, c.from, c.to), c.out);
  }
}
