#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Surface.h"

using namespace kv2d;

namespace {

// Source pixel (c, r) of the asymmetric test images.
uint16_t srcValue(int c, int r) { return static_cast<uint16_t>(0x100 + 16 * r + c); }

Source16 makeSource(int w, int h) {
  std::vector<uint16_t> px;
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) px.push_back(srcValue(c, r));
  return Source16(w, h, px);
}

// Destination of source pixel (c, r) of a w x h region drawn at (x, y).
void transformed(int t, int x, int y, int w, int h, int c, int r, int& dx, int& dy) {
  switch (t) {
    case 0: dx = x + c; dy = y + r; break;
    case 1: dx = x + w - 1 - c; dy = y + r; break;
    case 2: dx = x + c; dy = y + h - 1 - r; break;
    case 3: dx = x + w - 1 - c; dy = y + h - 1 - r; break;
    case 4: dx = x + h - 1 - r; dy = y + c; break;
    case 5: dx = x + h - 1 - r; dy = y + w - 1 - c; break;
    case 6: dx = x + r; dy = y + c; break;
    default: dx = x + r; dy = y + w - 1 - c; break;
  }
}

}  // namespace

TEST(Graphics, NewContextColourAndSetColor) {
  Surface s(4, 4);
  Graphics16& g = s.g();
  EXPECT_EQ(g.getColor(), 0xFF000000u);
  g.setAlpha(128);
  g.setColor(0x00123456);
  EXPECT_EQ(g.getColor(), 0x80123456u);
  g.setColor(0x01000000);
  EXPECT_EQ(g.getAlpha(), 1);
  EXPECT_EQ(g.getColor() & 0xFFFFFF, 0u);
  TraceCapture cap;
  g.setAlpha(0x1FF);
  EXPECT_TRUE(cap.has("breakpoint failed: 477:Graphics"));
  EXPECT_EQ(g.getAlpha(), 0xFF);
}

TEST(Graphics, SetClipClamps) {
  Surface s(240, 320);
  Graphics16& g = s.g();
  struct Case {
    int x, y, w, h;
    int cx, cy, cw, ch;
  };
  const Case cases[] = {
      {-10, -10, 50, 50, 0, 0, 40, 40},
      {200, 300, 100, 100, 200, 300, 40, 20},
      {5, 6, 7, 8, 5, 6, 7, 8},
  };
  for (const Case& c : cases) {
    g.setClip(c.x, c.y, c.w, c.h);
    EXPECT_EQ(g.getClipX(), c.cx);
    EXPECT_EQ(g.getClipY(), c.cy);
    EXPECT_EQ(g.getClipWidth(), c.cw);
    EXPECT_EQ(g.getClipHeight(), c.ch);
  }
  g.resetClip();
  EXPECT_EQ(g.getClipWidth(), 240);
  EXPECT_EQ(g.getClipHeight(), 320);
}

TEST(Graphics, EightTransformsOfThreeByTwo) {
  // Destination grids (rows top to bottom) of the source
  //   A B C
  //   D E F
  const char* expected[8] = {"ABC/DEF", "CBA/FED", "DEF/ABC", "FED/CBA",
                             "DA/EB/FC", "FC/EB/DA", "AD/BE/CF", "CF/BE/AD"};
  Source16 src = makeSource(3, 2);
  for (int t = 0; t < 8; ++t) {
    Surface s(8, 8, 0);
    s.g().drawRegion(&src.image, 0, 0, 3, 2, t, 2, 1);
    std::string got;
    const int w = t & 4 ? 2 : 3, h = t & 4 ? 3 : 2;
    for (int y = 0; y < h; ++y) {
      if (y) got += '/';
      for (int x = 0; x < w; ++x) {
        const uint16_t v = s.at(2 + x, 1 + y);
        const int c = (v - 0x100) % 16, r = (v - 0x100) / 16;
        got += static_cast<char>('A' + r * 3 + c);
      }
    }
    EXPECT_EQ(got, expected[t]) << "transform " << t;
    // Nothing outside the transformed rectangle.
    int drawn = 0;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) drawn += s.at(x, y) != 0;
    EXPECT_EQ(drawn, 6);
  }
}

TEST(Graphics, TransformSixLandsSourcePixel) {
  Source16 src = makeSource(3, 2);
  Surface s(16, 32);
  s.g().drawRegion(&src.image, 0, 0, 3, 2, 6, 10, 20);
  EXPECT_EQ(s.at(11, 22), srcValue(2, 1));
}

TEST(Graphics, TransformFourOfTenByFour) {
  Source16 src = makeSource(10, 4);
  Surface s(12, 12);
  s.g().drawRegion(&src.image, 0, 0, 10, 4, 4, 0, 0);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(s.at(3, c), srcValue(c, 0));  // first row -> column 3
  for (int r = 0; r < 4; ++r) EXPECT_EQ(s.at(3 - r, 0), srcValue(0, r));  // first column -> row 0
  std::string m;
  for (int y = 0; y < 12; ++y) m += y < 10 ? "####........\n" : "............\n";
  EXPECT_EQ(s.mask(), m);  // 4 wide, 10 high
}

TEST(Graphics, LeftClippedRegionWithAndWithoutMirror) {
  Source16 src = makeSource(6, 1);
  for (int t : {0, 1}) {
    Surface s(10, 2);
    s.g().setClip(3, 0, 7, 2);
    s.g().drawRegion(&src.image, 0, 0, 6, 1, t, 0, 0);  // columns 0..2 cut
    for (int x = 0; x < 3; ++x) EXPECT_EQ(s.at(x, 0), 0) << t;
    for (int x = 3; x < 6; ++x) {
      // Without mirroring the right part of the source stays, with it the left part.
      const int c = t == 0 ? x : 5 - x;
      EXPECT_EQ(s.at(x, 0), srcValue(c, 0)) << "t " << t << " x " << x;
    }
  }
}

// Every transform at many positions and clips equals the unclipped picture
// masked by the clip.
TEST(Graphics, ClippedRegionsMatchMaskedReference) {
  const int W = 5, H = 3;
  Source16 src = makeSource(W, H);
  const int clips[][4] = {{2, 1, 6, 5}, {0, 0, 12, 12}, {4, 4, 1, 1}, {3, 0, 2, 12}};
  for (int t = 0; t < 8; ++t) {
    for (const auto& cl : clips) {
      for (int x = -5; x <= 9; x += 2) {
        for (int y = -4; y <= 9; y += 3) {
          Surface s(12, 12);
          s.g().setClip(cl[0], cl[1], cl[2], cl[3]);
          s.g().drawRegion(&src.image, 0, 0, W, H, t, x, y);
          Surface ref(12, 12);
          for (int r = 0; r < H; ++r)
            for (int c = 0; c < W; ++c) {
              int dx, dy;
              transformed(t, x, y, W, H, c, r, dx, dy);
              if (dx >= cl[0] && dx < cl[0] + cl[2] && dy >= cl[1] && dy < cl[1] + cl[3]) ref.set(dx, dy, srcValue(c, r));
            }
          for (int yy = 0; yy < 12; ++yy)
            for (int xx = 0; xx < 12; ++xx)
              ASSERT_EQ(s.at(xx, yy), ref.at(xx, yy)) << "t " << t << " at " << x << "," << y << " pixel " << xx
                                                      << "," << yy;
        }
      }
    }
  }
}

TEST(Graphics, TransformThenInverseReproducesSource) {
  const int inverse[8] = {0, 1, 2, 3, 7, 5, 6, 4};
  const int W = 5, H = 3;
  Source16 src = makeSource(W, H);
  for (int t = 0; t < 8; ++t) {
    Surface a(8, 8);
    a.g().drawRegion(&src.image, 0, 0, W, H, t, 0, 0);
    const int dw = t & 4 ? H : W, dh = t & 4 ? W : H;
    Surface b(8, 8);
    b.g().drawRegion(&a.image, 0, 0, dw, dh, inverse[t], 1, 2);
    for (int r = 0; r < H; ++r)
      for (int c = 0; c < W; ++c) EXPECT_EQ(b.at(1 + c, 2 + r), srcValue(c, r)) << "t " << t;
  }
}

TEST(Graphics, BadTransformAndRegionOutsideImageDrawNothing) {
  Source16 src = makeSource(3, 2);
  Surface s(8, 8);
  TraceCapture cap;
  s.g().drawRegion(&src.image, 0, 0, 3, 2, 8, 0, 0);
  EXPECT_TRUE(cap.has("breakpoint failed: 996:graphics"));
  s.g().drawRegion(&src.image, 1, 0, 3, 2, 0, 0, 0);
  s.g().drawRegion(&src.image, 0, -1, 3, 2, 0, 0, 0);
  EXPECT_EQ(s.mask(), Surface(8, 8).mask());
}

TEST(Graphics, ClippedLines) {
  Surface s(240, 20);
  Graphics16& g = s.g();
  g.setColor(0xFFFFFFFF);
  g.drawLine(-5, 10, 300, 10);
  for (int x = 0; x < 240; ++x) EXPECT_EQ(s.at(x, 10), 0xFFFF) << x;
  Surface t(40, 40);
  t.g().setColor(0xFFFFFFFF);
  t.g().setClip(10, 10, 20, 20);
  t.g().drawLine(0, 2, 39, 2);  // wholly above the clip
  t.g().drawLine(5, 5, 35, 35);  // crosses two clip corners
  int drawn = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (t.at(x, y)) {
        ++drawn;
        EXPECT_EQ(x, y);
        EXPECT_GE(x, 10);
        EXPECT_LE(x, 29);
      }
  EXPECT_EQ(drawn, 20);
}

TEST(Graphics, LineOnEmptyClipDrawsNothing) {
  Surface s(10, 10);
  s.g().setColor(0xFFFFFFFF);
  s.g().setClip(20, 20, 5, 5);  // inverted
  s.g().drawLine(0, 0, 9, 9);
  s.g().fillRect(0, 0, 10, 10);
  EXPECT_EQ(s.mask(), Surface(10, 10).mask());
}

TEST(Graphics, RectanglesAndPixels) {
  Surface s(20, 20);
  Graphics16& g = s.g();
  g.setColor(0xFFFF0000);
  g.drawRect(10, 10, 0, 0);
  g.fillRect(3, 4, 1, 1);
  g.putPixel(19, 19, 0x1234);
  g.putPixel(20, 5, 0x1234);  // outside
  std::string m = s.mask();
  EXPECT_EQ(std::count(m.begin(), m.end(), '#'), 3);
  EXPECT_EQ(s.at(10, 10), 0xF800);
  EXPECT_EQ(s.at(3, 4), 0xF800);
  EXPECT_EQ(s.at(19, 19), 0x1234);
  Surface r(8, 8);
  r.g().setColor(0xFFFFFFFF);
  r.g().drawRect(1, 1, 3, 2);
  EXPECT_EQ(r.mask(),
            "........\n"
            ".####...\n"
            ".#..#...\n"
            ".####...\n"
            "........\n"
            "........\n"
            "........\n"
            "........\n");
}

TEST(Graphics, FillRectOpaqueAndAlphaZero) {
  Surface s(6, 6, 0x1234);
  s.g().setColor(0xFF8040C0);
  s.g().fillRect(1, 1, 2, 2);
  EXPECT_EQ(s.at(1, 1), s.g().argbToPixel(0xFF8040C0));
  s.g().setColor(0x00FFFFFF);
  s.g().setAlpha(0);
  s.g().fillRect(0, 0, 6, 6);
  EXPECT_EQ(s.at(0, 0), 0x1234);
  EXPECT_EQ(s.at(2, 2), s.g().argbToPixel(0xFF8040C0));
}

TEST(Graphics, Conversions) {
  Surface s(1, 1);
  EXPECT_EQ(s.g().pixelToRgb(0xFFFF), 0x00F8FCF8u);
  EXPECT_EQ(s.g().argbToPixel(0xFFFFFFFF), 0xFFFF);
  EXPECT_EQ(s.g().argbToPixel(0xFFFF00FF), 0xF81F);
  EXPECT_EQ(s.g().argbToPixel(0xFF808080), 0x8410);
}

TEST(Graphics, DrawRgbKeyAndOffset) {
  Surface s(6, 4, 0x0001);
  // Only the whole value 0x0000F81F is skipped; 0xFF00F81F is an ARGB colour
  // like any other (green 0xF8, blue 0x1F).
  const uint32_t a[4] = {0x0000F81F, 0xFF00F81F, 0xFFFFFFFF, 0x00FF0000};
  s.g().drawRGB(a, 0, 4, 0, 0, 4, 1, false);
  EXPECT_EQ(s.at(0, 0), 0x0001);
  EXPECT_EQ(s.at(1, 0), 0x07C3);
  EXPECT_EQ(s.at(2, 0), 0xFFFF);
  EXPECT_EQ(s.at(3, 0), 0xF800);
  // Offset 5 with scan 4 starts at row 1, column 1.
  std::vector<uint32_t> b(16);
  for (int i = 0; i < 16; ++i) b[i] = 0xFF000000u | static_cast<uint32_t>(i * 8);
  Surface t(6, 4);
  t.g().drawRGB(b.data(), 5, 4, 0, 0, 2, 2, false);
  EXPECT_EQ(t.at(0, 0), (5 * 8) >> 3);
  EXPECT_EQ(t.at(1, 0), (6 * 8) >> 3);
  EXPECT_EQ(t.at(0, 1), (9 * 8) >> 3);
}

TEST(Graphics, DrawRgbBlend) {
  Surface s(3, 1, 0xFFFF);
  const uint32_t a[3] = {0xFF000000, 0x00000000, 0x80000000};
  s.g().drawRGB(a, 0, 3, 0, 0, 3, 1, true);
  // Alpha 255 keeps 1/256 of the white: 255 * 1 >> 8 = 0 per channel.
  EXPECT_EQ(s.at(0, 0), 0x0000);
  EXPECT_EQ(s.at(1, 0), 0xFFFF);
  // 0xF8 * 128 >> 8 = 0x7C -> 15; 0xFC * 128 >> 8 = 0x7E -> 31.
  EXPECT_EQ(s.at(2, 0), (15 << 11) | (31 << 5) | 15);
}

TEST(Graphics, DrawRgbClipsLeftAndTop) {
  Surface s(4, 4);
  std::vector<uint32_t> b(16);
  for (int i = 0; i < 16; ++i) b[i] = 0xFF000000u | static_cast<uint32_t>((i + 1) * 8);
  s.g().drawRGB(b.data(), 0, 4, -1, -2, 4, 4, false);
  EXPECT_EQ(s.at(0, 0), (9 + 1) * 8 >> 3);  // array row 2, column 1
  EXPECT_EQ(s.at(2, 1), (15 + 1) * 8 >> 3);  // array row 3, column 3
  EXPECT_EQ(s.at(3, 0), 0);
  EXPECT_EQ(s.at(0, 2), 0);
}

TEST(Graphics, GetRgbAtTheEdges) {
  Surface s(240, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 240; ++x) s.set(x, y, static_cast<uint16_t>(x + 256 * y));
  // A 10-wide block at x = 235 reads 5 columns and keeps the caller's scan length.
  std::vector<uint32_t> out(40, 0xDEADBEEF);
  s.g().getRGB(out.data(), 0, 10, 235, 1, 10, 2);
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 10; ++c) {
      const uint32_t want = c < 5 ? s.g().pixelToRgb(s.at(235 + c, 1 + r)) : 0xDEADBEEF;
      EXPECT_EQ(out[r * 10 + c], want) << r << "," << c;
    }
  }
  // Left, top and bottom clipping; nothing for empty blocks.
  std::vector<uint32_t> o2(12, 0xDEADBEEF);
  s.g().getRGB(o2.data(), 0, 3, -1, -1, 3, 4);
  EXPECT_EQ(o2[0], 0xDEADBEEFu);
  EXPECT_EQ(o2[3], 0xDEADBEEFu);
  EXPECT_EQ(o2[4], s.g().pixelToRgb(s.at(0, 0)));
  EXPECT_EQ(o2[11], s.g().pixelToRgb(s.at(1, 2)));
  std::vector<uint32_t> o3(4, 7);
  s.g().getRGB(o3.data(), 0, 2, 0, 0, 0, 2);
  s.g().getRGB(o3.data(), 0, 2, 0, 10, 2, 2);
  EXPECT_EQ(o3, std::vector<uint32_t>(4, 7));
}

TEST(Graphics, GetRgbThenDrawRgbRoundTrip) {
  Surface s(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) s.set(x, y, static_cast<uint16_t>(x * 0x0841 + y * 0x1000));
  std::vector<uint32_t> buf(20, 0);
  s.g().getRGB(buf.data(), 0, 5, 5, 2, 5, 4);  // crosses the right edge
  for (auto& v : buf) v |= 0xFF000000u;
  Surface t(8, 8);
  t.g().drawRGB(buf.data(), 0, 5, 5, 2, 5, 4, false);
  for (int y = 2; y < 6; ++y)
    for (int x = 5; x < 8; ++x) EXPECT_EQ(t.at(x, y), s.at(x, y));
}

TEST(Graphics, Circle) {
  Surface s(9, 9);
  s.g().setColor(0xFFFFFFFF);
  s.g().drawCircle(4, 4, 3);
  EXPECT_EQ(s.mask(),
            ".........\n"
            "...###...\n"
            "..#...#..\n"
            ".#.....#.\n"
            ".#.....#.\n"
            ".#.....#.\n"
            "..#...#..\n"
            "...###...\n"
            ".........\n");
  Surface z(3, 3);
  z.g().setColor(0xFFFFFFFF);
  z.g().drawCircle(1, 1, 0);
  EXPECT_EQ(z.mask(), "...\n.#.\n...\n");
  TraceCapture cap;
  z.g().setAlpha(10);
  z.g().drawCircle(1, 1, -1);
  EXPECT_TRUE(cap.has("832:graphics"));
  EXPECT_TRUE(cap.has("833:graphics"));
}
