#include <climits>
#include <cmath>
#include <functional>

#include "effects/EffectsFixture.h"

namespace {

using Drawing = EffectsTest;

int brightness(uint16_t p) { return (p >> 11) + ((p >> 5) & 63) + (p & 31); }

}  // namespace

TEST_F(Drawing, SmoothLinesLeaveOutTheLastPoint) {
  struct Case {
    int x1, y1, x2, y2;
    std::vector<std::pair<int, int>> lit;
  } cases[] = {
      {5, 5, 5, 5, {}},
      {2, 3, 6, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
      {6, 3, 2, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},  // swapped to run towards larger x
      {3, 1, 3, 5, {{3, 1}, {3, 2}, {3, 3}, {3, 4}}},
      {0, 0, 4, 4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
      {-10, 3, 3, 3, {{0, 3}, {1, 3}, {2, 3}}},  // clipped at the left edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2);
    Surface s(12, 8);
    drawSmoothLine(*game, s.g(), c.x1, c.y1, c.x2, c.y2, 0xFFFFFF);
    EXPECT_EQ(s.countNonZero(), static_cast<int>(c.lit.size()));
    for (auto [x, y] : c.lit) EXPECT_EQ(s.at(x, y), 0xFFFF) << x << "," << y;
  }
  // A huge line is walked only where it can be seen.
  Surface s(12, 8);
  drawSmoothLine(*game, s.g(), INT_MIN, 2, INT_MAX, 2, 0xFFFFFF);
  for (int x = 0; x < 12; ++x) EXPECT_EQ(s.at(x, 2), 0xFFFF);
  EXPECT_EQ(s.countNonZero(), 12);
}

TEST_F(Drawing, SmoothLineSplitsItsAlphaAcrossTheMinorAxis) {
  Surface s(8, 4);
  drawSmoothLine(*game, s.g(), 0, 0, 4, 2, 0xFFFFFF);  // half a pixel down per step
  EXPECT_EQ(s.at(0, 0), 0xFFFF);
  EXPECT_EQ(s.at(0, 1), 0);
  EXPECT_EQ(s.at(1, 0), s.at(1, 1));
  EXPECT_GT(brightness(s.at(1, 0)), 20);
  EXPECT_LT(brightness(s.at(1, 0)), 80);
  EXPECT_EQ(s.at(2, 1), 0xFFFF);

  // The alpha moves from the first end's to the second's.
  Surface ramp(8, 2);
  drawSmoothLineAlpha(*game, ramp.g(), 0, 0, 4, 0, 0xFFFFFF, 0, 255);
  EXPECT_EQ(ramp.at(0, 0), 0);
  EXPECT_LT(brightness(ramp.at(1, 0)), brightness(ramp.at(2, 0)));
  EXPECT_LT(brightness(ramp.at(2, 0)), brightness(ramp.at(3, 0)));
  Surface back(8, 2);
  drawSmoothLineAlpha(*game, back.g(), 4, 0, 0, 0, 0xFFFFFF, 255, 0);
  EXPECT_EQ(back.px, ramp.px);
}

TEST_F(Drawing, SmoothCircleIsEightFoldSymmetric) {
  for (int r : {0, 1, 5, 20, 200}) {
    SCOPED_TRACE(r);
    const int size = 2 * r + 9, c = r + 4;
    Surface s(size, size);
    drawSmoothCircle(*game, s.g(), c, c, r, 0xFFFFFF);
    EXPECT_EQ(s.at(c + r, c), 0xFFFF);
    EXPECT_EQ(s.at(c - r, c), 0xFFFF);
    EXPECT_EQ(s.at(c, c + r), 0xFFFF);
    EXPECT_EQ(s.at(c, c - r), 0xFFFF);
    for (int dy = -r - 4; dy <= r + 4; ++dy)
      for (int dx = -r - 4; dx <= r + 4; ++dx) {
        const uint16_t p = s.at(c + dx, c + dy);
        ASSERT_EQ(p, s.at(c - dx, c + dy)) << dx << "," << dy;
        ASSERT_EQ(p, s.at(c + dx, c - dy)) << dx << "," << dy;
        ASSERT_EQ(p, s.at(c + dy, c + dx)) << dx << "," << dy;
        // Only a ring round the radius is drawn.
        if (p != 0) {
          ASSERT_LT(std::abs(std::hypot(dx, dy) - r), 1.5) << dx << "," << dy;
        }
      }
    // Every row through the circle has a lit pixel on it.
    for (int dy = -r; dy <= r; ++dy) {
      int lit = 0;
      for (int dx = 0; dx <= r; ++dx) lit += s.at(c + dx, c + dy) != 0;
      EXPECT_GT(lit, 0) << dy;
    }
  }
  Surface s(8, 8);
  drawSmoothCircle(*game, s.g(), 4, 4, -1, 0xFFFFFF);
  EXPECT_EQ(s.countNonZero(), 0);
}

TEST_F(Drawing, GradientColumnDrawsEverySecondRow) {
  Surface s(12, 8, 0x1234);
  drawGradientColumn(*game, s.g(), 4, 0, 4, 8, 0xFF000000, 0xFF0000F8, 0);
  const uint16_t blue[] = {0, 7, 15, 23};  // 8.8 steps of 31 per row
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool drawn = (y & 1) == 0 && x >= 4 && x < 8;
      EXPECT_EQ(s.at(x, y), drawn ? blue[y / 2] : 0x1234) << x << "," << y;
    }

  // A step widens each row by two steps about the same centre.
  Surface w(20, 6);
  drawGradientColumn(*game, w.g(), 8, 0, 4, 6, 0xFFFFFFFF, 0xFFFFFFFF, 2);
  const int starts[] = {8, 4, 0}, widths[] = {4, 12, 20};
  for (int k = 0; k < 3; ++k) {
    int lit = 0;
    for (int x = 0; x < 20; ++x) lit += w.at(x, 2 * k) != 0;
    EXPECT_EQ(lit, widths[k]);
    EXPECT_NE(w.at(starts[k], 2 * k), 0);
  }
  EXPECT_EQ(w.at(0, 1) + w.at(0, 3) + w.at(0, 5), 0);

  // A shrinking column stops once its width is negative.
  Surface n(12, 6);
  drawGradientColumn(*game, n.g(), 2, 0, 4, 6, 0xFFFFFFFF, 0xFFFFFFFF, -3);
  EXPECT_EQ(n.countNonZero(), 4);
  drawGradientColumn(*game, n.g(), 0, 2, -1, 3, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  drawGradientColumn(*game, n.g(), 0, 2, 3, -1, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  drawGradientColumn(*game, n.g(), 0, 2, 3, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  EXPECT_EQ(n.countNonZero(), 4);
}

TEST_F(Drawing, GradientRowsAsPixelArraysAreCutToTheRowBuffer) {
  constexpr int kRow = static_cast<int>(sizeof game->engine.rowBuffer / sizeof game->engine.rowBuffer[0]);
  Surface s(kRow + 8, 1);
  game->effects.alphaBars = 1;
  drawGradientColumn(*game, s.g(), 0, 0, kRow + 8, 1, 0xFFFFFFFF, 0xFFFFFFFF, 0);
  EXPECT_EQ(s.countNonZero(), kRow);
  EXPECT_EQ(s.at(kRow - 1, 0), 0xFFFF);
  EXPECT_EQ(s.at(kRow, 0), 0);
}

TEST_F(Drawing, GradientBarFadesItsSideColumns) {
  Surface s(40, 20);
  drawGradientBar(*game, s.g(), 15, 6, 10, 8, 0xFFFFFFFF, 0xFFFFFFFF);  // k = 6
  const int top = 4;  // y - 2
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(s.at(15 - i, top), s.at(24 + i, top)) << i;  // x - i mirrors x + w + i - 1
    EXPECT_NE(s.at(15 - i, top), 0) << i;
    if (i > 1) {
      EXPECT_LT(brightness(s.at(15 - i, top)), brightness(s.at(16 - i, top))) << i;
    }
  }
  EXPECT_EQ(s.at(15 - 6, top), 0);
  EXPECT_EQ(s.at(24 + 6, top), 0);
  EXPECT_EQ(s.at(20, top), 0xFFFF);
  EXPECT_EQ(s.at(20, top + 6), 0xFFFF);  // lower half
  EXPECT_EQ(s.at(20, top + 12), 0);

  // Half height 1 or less: no side columns (and no division by zero).
  for (int h : {-2, -3, -100}) {
    Surface t(40, 20);
    drawGradientBar(*game, t.g(), 15, 6, 10, h, 0xFFFFFFFF, 0xFFFFFFFF);
    for (int y = 0; y < 20; ++y) {
      EXPECT_EQ(t.at(14, y), 0) << h;
      EXPECT_EQ(t.at(25, y), 0) << h;
    }
  }
}

TEST_F(Drawing, DrawSuppressLeavesTheSurface) {
  const std::function<void(cGame&, Graphics*)> routines[] = {
      [](cGame& g, Graphics* s) { drawAlphaPixel(g, s, 3, 3, 0xFFFFFF, 255); },
      [](cGame& g, Graphics* s) { drawSmoothLine(g, s, 0, 0, 10, 7, 0xFFFFFF); },
      [](cGame& g, Graphics* s) { drawSmoothLineAlpha(g, s, 0, 7, 10, 0, 0xFFFFFF, 10, 200); },
      [](cGame& g, Graphics* s) { drawSmoothCircle(g, s, 6, 6, 4, 0xFFFFFF); },
      [](cGame& g, Graphics* s) { drawGradientColumn(g, s, 1, 1, 5, 6, 0xFFFFFFFF, 0xFF0000FF, 1); },
      [](cGame& g, Graphics* s) { drawGradientBar(g, s, 3, 3, 4, 6, 0xFFFFFFFF, 0xFF0000FF); },
  };
  for (size_t i = 0; i < std::size(routines); ++i) {
    Surface on(12, 12), off(12, 12);
    game->effects.drawSuppressed = 0;
    routines[i](*game, on.g());
    EXPECT_GT(on.countNonZero(), 0) << i;
    for (uint8_t bars : {0, 1}) {  // either path of the gradients
      game->effects.alphaBars = bars;
      game->effects.drawSuppressed = 1;
      routines[i](*game, off.g());
      EXPECT_EQ(off.countNonZero(), 0) << i;
    }
    game->effects.alphaBars = 0;
  }
}

TEST(DrawingMaths, EaseSquareRootAndAngles) {
  struct Ease {
    int32_t current, target, rate, out;
  } eases[] = {
      {10, 11, 1, 11},   {10, 10, 5, 10},   {11, 10, 1, 10},  {0, 1000, 10, 97}, {1000, 0, 10, 902},
      {10, 20, 0, 10},   {INT_MIN, INT_MAX, INT_MAX, INT_MAX},
      {INT_MAX, INT_MIN, INT_MAX, INT_MIN},
  };
  for (const Ease& e : eases)
    EXPECT_EQ(easeTowards(e.current, e.target, e.rate), e.out) << e.current << " " << e.target << " " << e.rate;

  const std::pair<int32_t, int32_t> roots[] = {{1 << 30, 32768}, {31, 6},     {32, 5},         {0, 0},
                                               {-5, 0},          {INT_MIN, 0}, {1, 1},          {3, 2},
                                               {100, 10},        {99, 9},      {INT_MAX, 46340}};
  for (auto [x, r] : roots) EXPECT_EQ(isqrt(x), r) << x;

  constexpr int32_t D = 16384;  // one degree
  const std::pair<int32_t, int32_t> wraps[] = {{540 * D, 180 * D}, {-190 * D, 170 * D}, {180 * D, 180 * D},
                                               {-180 * D, -180 * D}, {360 * D, 0},       {0, 0},
                                               {INT_MIN, -524288},  {INT_MAX, 524287}};
  for (auto [a, out] : wraps) EXPECT_EQ(wrapAngle(a), out) << a;

  struct Diff {
    int32_t a, b, out;
  } diffs[] = {{90 * D, 0, 90 * D},
               {270 * D, 0, 90 * D},
               {0, 270 * D, -270 * D},
               {180 * D, 0, 180 * D},
               {INT_MIN, 1, -2141585407},
               {INT_MAX, -1, INT_MIN}};
  for (const Diff& d : diffs) EXPECT_EQ(angleDifference(d.a, d.b), d.out) << d.a << " " << d.b;

  struct Rot {
    Vector2 v;
    int32_t angle;
    Vector2 out;
  } rots[] = {{{D, 0}, 90 * D, {0, D}},
              {{D, 0}, 180 * D, {-D, 0}},
              {{0, D}, 90 * D, {-D, 0}},
              {{3 * D, 4 * D}, 0, {3 * D, 4 * D}},
              {{D, 0}, -90 * D, {0, -D}}};
  for (const Rot& r : rots) {
    const Vector2 o = rotateVector(r.v, r.angle);
    EXPECT_NEAR(o.x, r.out.x, 1) << r.angle;
    EXPECT_NEAR(o.y, r.out.y, 1) << r.angle;
  }
}
