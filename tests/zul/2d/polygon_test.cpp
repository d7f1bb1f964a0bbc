#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "zul/2d/Polygon.h"

using namespace kv2d;

namespace {

// Row k of the mask covers columns from[k] .. to[k] inclusive.
std::string rowsMask(int w, int h, const std::vector<std::pair<int, int>>& spans) {
  std::string m;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool on = y < static_cast<int>(spans.size()) && x >= spans[y].first && x <= spans[y].second;
      m += on ? '#' : '.';
    }
    m += '\n';
  }
  return m;
}

struct ArgbSource {
  std::vector<uint32_t> pixels;
  RgbImage image;
  ArgbSource(int w, int h) : pixels(makePixels(w, h)), image(Image::k_kindRgb, pixels.data()) {
    image.setBitsPerPixel(32);
    image.setDimensions(w, h, w * 4);
    image.setFlags(Image::k_flagAlpha);
  }
  static std::vector<uint32_t> makePixels(int w, int h) {
    std::vector<uint32_t> p;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) p.push_back(0xFF000000u | static_cast<uint32_t>(c * 40) << 16 | static_cast<uint32_t>(r * 50) << 8 | 0x33);
    return p;
  }
};

}  // namespace

TEST(Polygon, EdgeSteppingIsExact) {
  struct Case {
    PolyVertex a, b;
    std::vector<int> xs;
  };
  const Case cases[] = {
      {PolyVertex(0, 0, 0, 0), PolyVertex(5, 3, 0, 0), {0, 2, 4}},
      {PolyVertex(5, 0, 0, 0), PolyVertex(0, 3, 0, 0), {5, 4, 2}},
      {PolyVertex(0, 3, 0, 0), PolyVertex(5, 0, 0, 0), {5, 4, 2}},  // walked from the top vertex
      {PolyVertex(2, 0, 0, 0), PolyVertex(2, 3, 0, 0), {2, 2, 2}},
      {PolyVertex(0, 0, 0, 0), PolyVertex(-7, 2, 0, 0), {0, -3}},
  };
  for (const Case& c : cases) {
    SpanTable t;
    ASSERT_TRUE(t.init(0, 3, 0, 320));
    t.addEdge(c.a, c.b);
    for (size_t i = 0; i < c.xs.size(); ++i) {
      EXPECT_EQ(t.rows[i].minX, c.xs[i]) << i;
      EXPECT_EQ(t.rows[i].maxX, c.xs[i]) << i;
    }
  }
  // Rows cut off by the clip start the edge where it would have been.
  SpanTable t;
  ASSERT_TRUE(t.init(0, 3, 1, 320));
  t.addEdge(PolyVertex(0, 0, 0, 0), PolyVertex(5, 3, 0, 0));
  EXPECT_EQ(t.rows[0].minX, 2);
  EXPECT_EQ(t.rows[1].minX, 4);
  // A horizontal edge adds nothing.
  SpanTable h;
  ASSERT_TRUE(h.init(0, 3, 0, 320));
  h.addEdge(PolyVertex(0, 1, 0, 0), PolyVertex(9, 1, 0, 0));
  EXPECT_GT(h.rows[1].minX, h.rows[1].maxX);
}

TEST(Polygon, TriangleFillAndOutline) {
  Surface s(12, 12);
  s.g().setColor(0xFFFFFFFF);
  s.g().fillTriangle(0, 0, 10, 0, 0, 10);
  std::vector<std::pair<int, int>> spans;
  for (int k = 0; k <= 10; ++k) spans.emplace_back(0, 10 - k);
  EXPECT_EQ(s.mask(), rowsMask(12, 12, spans));
  Surface flat(12, 12);
  flat.g().setColor(0xFFFFFFFF);
  flat.g().fillTriangle(1, 5, 6, 5, 9, 5);  // one y: nothing, outline included
  EXPECT_EQ(flat.mask(), Surface(12, 12).mask());
}

TEST(Polygon, TriangleHonoursAlphaInRowsOnly) {
  Surface s(8, 8, 0);
  s.g().setColor(0x80FF0000);
  s.g().fillTriangle(0, 0, 6, 0, 0, 6);
  EXPECT_EQ(s.at(1, 1), 0x7800);  // fill row blended
  EXPECT_EQ(s.at(6, 0), 0xF800);  // outline opaque
}

TEST(Polygon, TallShapesAreRefused) {
  Surface s(4, 320);
  s.g().setColor(0xFFFFFFFF);
  TraceCapture cap;
  s.g().fillTriangle(0, 0, 3, 0, 0, 320);
  EXPECT_TRUE(cap.has("1892:Graphics"));
  EXPECT_EQ(s.mask(), Surface(4, 320).mask());
  s.g().fillTriangle(0, 0, 3, 0, 0, 319);
  EXPECT_EQ(s.at(0, 318), 0xFFFF);  // filled rows 0..318
  EXPECT_EQ(s.at(0, 319), 0xFFFF);  // the outline's end
}

TEST(Polygon, RotatedRegionAtAngleZeroIsACopy) {
  ArgbSource src(6, 4);
  Surface a(16, 16, 0x0841), b(16, 16, 0x0841);
  a.g().drawRotatedRegion(&src.image, 1, 1, 4, 3, 0, 5, 6, 4, 3, 0, 0, 0);
  b.g().drawRegion(&src.image, 1, 1, 4, 3, 0, 5, 6);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(a.at(x, y), b.at(x, y)) << x << "," << y;
  // Columns 5..8, rows 6..8, one texel per pixel.
  EXPECT_NE(a.at(8, 8), 0x0841);
  EXPECT_EQ(a.at(9, 8), 0x0841);
  EXPECT_EQ(a.at(8, 9), 0x0841);
}

TEST(Polygon, RotatedRegionMirrorsAndQuarterTurn) {
  ArgbSource src(3, 2);
  for (int t : {1, 2, 3}) {
    Surface a(8, 8), b(8, 8);
    a.g().drawRotatedRegion(&src.image, 0, 0, 3, 2, t, 2, 2, 3, 2, 0, 0, 0);
    b.g().drawRegion(&src.image, 0, 0, 3, 2, t, 2, 2);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) EXPECT_EQ(a.at(x, y), b.at(x, y)) << "t " << t << " " << x << "," << y;
  }
  // A 20 x 10 rectangle turned about its centre covers 10 x 20.
  ArgbSource big(20, 10);
  Surface s(30, 30);
  s.g().setTarget(&s.image);
  s.g().drawRotatedRegion(&big.image, 0, 0, 20, 10, 4, 5, 10, 20, 10, 0, 0, 0);
  int minX = 99, maxX = -1, minY = 99, maxY = -1;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x)
      if (s.at(x, y)) {
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
      }
  EXPECT_EQ(maxX - minX + 1, 10);
  EXPECT_EQ(maxY - minY + 1, 20);
  EXPECT_EQ(minX, 10);
  EXPECT_EQ(minY, 5);
}

TEST(Polygon, TexturedRowClippedOnTheLeftKeepsItsTexture) {
  ArgbSource src(8, 2);
  Surface full(12, 4), clipped(12, 4);
  full.g().drawRotatedRegion(&src.image, 0, 0, 8, 2, 0, 1, 1, 8, 2, 0, 0, 0);
  clipped.g().setClip(4, 0, 8, 4);
  clipped.g().drawRotatedRegion(&src.image, 0, 0, 8, 2, 0, 1, 1, 8, 2, 0, 0, 0);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(clipped.at(x, y), x >= 4 ? full.at(x, y) : 0) << x << "," << y;
}

TEST(Polygon, TexturedTriangleStaysInsideItsImage) {
  // Texture coordinates past the image are held at its edge.
  ArgbSource src(2, 2);
  Surface s(10, 10);
  const PolyVertex v[3] = {PolyVertex(0, 0, -5, -5), PolyVertex(9, 0, 40, 0), PolyVertex(0, 9, 0, 40)};
  s.g().fillTexturedTriangle(v, &src.image, 0);
  EXPECT_NE(s.at(1, 1), 0);
}

TEST(Polygon, DotsAndThickCircle) {
  Surface s(5, 5);
  s.g().setColor(0xFFFFFFFF);
  s.g().setClip(0, 0, 2, 2);
  s.g().drawDot(0, 0);  // only the right and lower pixels are inside
  EXPECT_EQ(s.mask(),
            ".#...\n"
            "#....\n"
            ".....\n"
            ".....\n"
            ".....\n");
  Surface t(7, 7);
  t.g().setColor(0xFFFFFFFF);
  t.g().drawThickCircle(3, 3, 1);
  EXPECT_EQ(t.mask(),
            ".......\n"
            "...#...\n"
            "..###..\n"
            ".#####.\n"
            "..###..\n"
            "...#...\n"
            ".......\n");
  Surface z(3, 3);
  z.g().drawThickCircle(1, 1, 0);
  EXPECT_EQ(z.mask(), Surface(3, 3).mask());
}
