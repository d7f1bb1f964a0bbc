#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>
#include <vector>

#include "windows_brew/ShellHost.h"

namespace {

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fb_.assign(240 * 320, 0);
    c_.bind(fb_.data(), 240, 320);
    c_.setColour(0xFFFFFF);
  }
  uint16_t at(int x, int y) const { return fb_[static_cast<size_t>(y) * 240 + x]; }
  std::set<std::pair<int, int>> lit() const {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x)
        if (at(x, y)) s.insert({x, y});
    return s;
  }

  std::vector<uint16_t> fb_;
  SoftwareCanvas c_;
};

using Points = std::set<std::pair<int, int>>;

TEST_F(CanvasTest, ClipRectangles) {
  c_.setClip(-10, 0, 20, 10);
  EXPECT_EQ(c_.getClipLeft(), 0);
  EXPECT_EQ(c_.getClipTop(), 0);
  EXPECT_EQ(c_.getClipRight(), 10);
  EXPECT_EQ(c_.getClipBottom(), 10);
  c_.setClip(230, 310, 50, 50);
  EXPECT_EQ(c_.getClipRight(), 240);
  EXPECT_EQ(c_.getClipBottom(), 320);
  EXPECT_EQ(c_.getClipWidth(), 10);
  c_.setClip(5, 5, 0, 10);
  EXPECT_EQ(c_.getClipRight(), 0);
  EXPECT_EQ(c_.getClipHeight(), 0);
  c_.fillRect(0, 0, 240, 320);
  c_.blendRect(0, 0, 240, 320);
  EXPECT_EQ(c_.drawLine(0, 0, 100, 100), 0);
  EXPECT_TRUE(lit().empty());
}

TEST_F(CanvasTest, LinesExcludeTheirEnd) {
  struct Case {
    int x0, y0, x1, y1;
    int result;
    Points pixels;
  };
  const Case cases[] = {
      {5, 5, 9, 5, 1, {{5, 5}, {6, 5}, {7, 5}, {8, 5}}},
      {3, 3, 3, 3, 1, {}},
      {0, 0, 4, 2, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
      {2, 0, 0, 2, 1, {{2, 0}, {1, 1}}},  // ties step along y
      {-4, 0, 4, 8, 1, {{0, 4}, {1, 5}, {2, 6}, {3, 7}}},
      {-5, -5, -1, -9, 0, {}},
      {300, 3, 250, 3, 0, {}},
  };
  for (const Case& k : cases) {
    std::fill(fb_.begin(), fb_.end(), 0);
    EXPECT_EQ(c_.drawLine(k.x0, k.y0, k.x1, k.y1), k.result) << k.x0 << "," << k.y0;
    EXPECT_EQ(lit(), k.pixels) << k.x0 << "," << k.y0 << " - " << k.x1 << "," << k.y1;
  }
}

TEST_F(CanvasTest, LineIsCutAtTheClip) {
  c_.setClip(0, 0, 240, 10);
  EXPECT_EQ(c_.drawLine(5, 0, 5, 11), 1);
  EXPECT_EQ(at(5, 8), 0xFFFF);
  EXPECT_EQ(at(5, 9), 0);  // the cut end is the excluded end
  EXPECT_EQ(at(5, 10), 0);
  c_.setClip(10, 10, 20, 20);
  c_.drawLine(0, 20, 50, 20);
  EXPECT_EQ(at(9, 20), 0);
  EXPECT_EQ(at(10, 20), 0xFFFF);
  EXPECT_EQ(at(28, 20), 0xFFFF);
  EXPECT_EQ(at(29, 20), 0);
}

TEST_F(CanvasTest, ExtremeCoordinatesStayInsideTheCanvas) {
  const int32_t lo = INT32_MIN, hi = INT32_MAX;
  EXPECT_EQ(c_.drawLine(lo, lo, hi, hi), 1);
  EXPECT_EQ(at(0, 0), 0xFFFF);
  EXPECT_EQ(at(100, 100), 0xFFFF);
  c_.drawLine(lo, 5, hi, 7);
  c_.drawLine(3, lo, 3, hi);
  c_.setFillFlag(1);
  c_.drawRect(lo, lo, hi, hi, true);
  c_.drawRoundRect(lo, lo, hi, hi, hi, hi);
  c_.drawRoundRect(hi, hi, hi, hi, lo, lo);
  c_.fillRect(hi, hi, hi, hi);
  c_.blendRect(lo, lo, hi, hi);
  c_.plot(lo, hi);
}

TEST_F(CanvasTest, RectangleOutlineAndFill) {
  c_.drawRect(2, 2, 4, 3, false);
  EXPECT_EQ(lit(), (Points{{2, 2}, {3, 2}, {4, 2}, {5, 2}, {2, 3}, {5, 3}, {2, 4}, {3, 4}, {4, 4}, {5, 4}}));
  c_.setFillColour(0x0000FF);
  c_.setFillFlag(1);
  c_.drawRect(10, 10, 4, 4, true);
  EXPECT_EQ(at(11, 11), 0x001F);
  EXPECT_EQ(at(10, 10), 0xFFFF);
  EXPECT_EQ(c_.colourPixel(), 0xFFFF);
  c_.setFillFlag(0x100);  // only the low 8 bits count
  c_.drawRect(20, 20, 4, 4, true);
  EXPECT_EQ(at(21, 21), 0);
}

TEST_F(CanvasTest, BlendByAlpha) {
  struct Case {
    uint32_t colour;
    uint16_t before, after;
  };
  const Case cases[] = {
      {0xFF00FF00, 0x1234, 0x07E0},
      {0x0000FF00, 0x1234, 0x1234},
      {0x80FFFFFF, 0x0000, 0x7BEF},
      {0x80000000, 0xFFFF, 0x7BEF},
  };
  for (const Case& k : cases) {
    fb_[0] = k.before;
    c_.setColour(k.colour);
    c_.blendRect(0, 0, 1, 1);
    EXPECT_EQ(fb_[0], k.after) << std::hex << k.colour;
  }
}

TEST_F(CanvasTest, CosineTable) {
  const std::pair<int, int> cases[] = {{-90, 0}, {360, 256}, {200, -240}, {0, 256}, {60, 128}, {120, -128},
                                       {180, -256}, {1, 255}, {-1, 255}, {720 + 45, 181}};
  for (auto [deg, want] : cases) EXPECT_EQ(c_.cosDeg(deg), want) << deg;
  EXPECT_EQ(c_.sinDeg(90), 256);
  EXPECT_EQ(c_.sinDeg(-90), -256);
  EXPECT_EQ(c_.sinDeg(30), 128);
}

TEST_F(CanvasTest, RoundRectangleStaysInsideItsBox) {
  c_.drawRoundRect(10, 20, 30, 16, 5, 4);
  auto s = lit();
  ASSERT_FALSE(s.empty());
  for (auto [x, y] : s) {
    EXPECT_GE(x, 10);
    EXPECT_LE(x, 39);
    EXPECT_GE(y, 20);
    EXPECT_LE(y, 35);
  }
  EXPECT_FALSE(s.count({10, 20}));  // corners are round
  EXPECT_FALSE(s.count({39, 35}));
  for (int x = 15; x < 35; ++x) EXPECT_TRUE(s.count({x, 20})) << x;
  for (int y = 24; y < 32; ++y) EXPECT_TRUE(s.count({10, y})) << y;
  EXPECT_FALSE(s.count({25, 28}));

  std::fill(fb_.begin(), fb_.end(), 0);
  c_.setFillFlag(1);
  c_.setFillColour(0x00FF00);
  c_.drawRoundRect(10, 20, 30, 16, 5, 4);
  EXPECT_EQ(at(25, 28), 0x07E0);
  EXPECT_EQ(at(12, 28), 0x07E0);
  EXPECT_EQ(at(37, 28), 0x07E0);
  EXPECT_EQ(at(10, 20), 0);

  // Arcs near the canvas edge stay inside the canvas.
  c_.drawRoundRect(-20, -20, 30, 30, 15, 15);
  c_.drawRoundRect(230, 310, 30, 30, 15, 15);
}

TEST_F(CanvasTest, KeyedAndArgb1555Bitmaps) {
  uint16_t src[6] = {0x7FFF, 0x8000 | 0x7C00, 0xFFFF, 0x801F, 0x0000, 0x83E0};
  c_.drawBitmap1555(0, 0, 3, 2, 100, 100, src, 3, 2);
  EXPECT_EQ(at(100, 100), 0);
  EXPECT_EQ(at(101, 100), 0xF800);
  EXPECT_EQ(at(102, 100), 0xFFDF);
  EXPECT_EQ(at(100, 101), 0x001F);
  EXPECT_EQ(at(101, 101), 0);
  EXPECT_EQ(at(102, 101), 0x07C0);
  // Cut on the left: the source start moves with it.
  c_.drawBitmap1555(0, 0, 3, 2, -2, 0, src, 3, 2);
  EXPECT_EQ(at(0, 0), 0xFFDF);
  EXPECT_EQ(at(1, 0), 0);
  // A source start outside the source draws nothing.
  std::fill(fb_.begin(), fb_.end(), 0);
  c_.drawBitmap1555(3, 0, 3, 2, 0, 0, src, 3, 2);
  EXPECT_TRUE(lit().empty());

  uint8_t file[1100] = {};
  file[0] = 'B';
  file[18] = 2;
  file[22] = 2;
  uint8_t flag = 1;
  ShellHost shell(&flag);
  int32_t owned = 0;
  EXPECT_EQ(shell.convertBmp(file, 1000, &owned), nullptr);
  uint8_t* bmp = shell.convertBmp(file, sizeof file, &owned);
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(owned, 1);
  const uint16_t px[4] = {0x1111, 0xF81F, 0x3333, 0x4444};
  for (int i = 0; i < 4; ++i) {
    bmp[1078 + 2 * i] = static_cast<uint8_t>(px[i]);
    bmp[1079 + 2 * i] = static_cast<uint8_t>(px[i] >> 8);
  }
  fb_[1] = 0xABCD;
  c_.drawBmpKeyed(0, 0, 5, 5, 0, 0, bmp);
  EXPECT_EQ(at(0, 0), 0x1111);
  EXPECT_EQ(at(1, 0), 0xABCD);
  EXPECT_EQ(at(0, 1), 0x3333);
  EXPECT_EQ(at(1, 1), 0x4444);
  EXPECT_EQ(at(2, 0), 0);
  std::free(bmp);
}

TEST(ShellDisplay, ColourForms) {
  EXPECT_EQ(ShellHost::packColour(0xFF00FF00), 0xF81F);
  EXPECT_EQ(ShellHost::convertColour(0xF81F), 0xF800F800u);
  EXPECT_EQ(ShellHost::convertColour(0x07E0), 0x00FC0000u);
  EXPECT_EQ(ShellHost::packColour(ShellHost::convertColour(0x1234)), 0x1234);
  EXPECT_EQ(ShellHost::canvasColour(0x11223300), 0x00332211u);
  EXPECT_EQ(SoftwareCanvas::pack565(0xFF8040), 0xFC08);
}

TEST(ShellDisplay, ShellRectanglesUseTheDefaultArea) {
  std::vector<uint16_t> fb(240 * 320, 0);
  uint8_t flag = 1;
  ShellHost shell(&flag);
  shell.canvas().bind(fb.data(), 240, 320);
  shell.drawRect(nullptr, 0, 0xFFFFFF00, 2);
  EXPECT_EQ(fb[0], 0);
  EXPECT_EQ(fb[1], 0xFFFF);
  EXPECT_EQ(fb[239 * 240 + 239], 0xFFFF);
  EXPECT_EQ(fb[240 * 240 + 5], 0);
  std::fill(fb.begin(), fb.end(), 0);
  shell.fillRect(0, nullptr, 0x0000FF00);  // red
  EXPECT_EQ(fb[0], 0xF800);
  EXPECT_EQ(fb[239 * 240], 0xF800);
  EXPECT_EQ(fb[240 * 240], 0);
  // The applet's corner marks fill nothing (width 1 - 1).
  std::fill(fb.begin(), fb.end(), 0x1234);
  ShellRect one = {0, 0, 1, 1};
  shell.drawRect(&one, 0xFFFFFFFF, 0, 2);
  EXPECT_EQ(fb[0], 0x1234);
  ShellRect clip = {10, 10, 5, 5};
  shell.setClipRect(&clip);
  shell.setClipRect(nullptr);
  EXPECT_EQ(shell.canvas().getClipLeft(), 10);
  ShellRect frame = {10, 10, 10, 10};
  shell.drawRect(&frame, 0xFFFFFF00, 0, 1);
  EXPECT_EQ(fb[10 * 240 + 10], 0xFFFF);
  EXPECT_EQ(fb[10 * 240 + 13], 0xFFFF);
  EXPECT_EQ(fb[10 * 240 + 14], 0x1234);  // the cut end is excluded
  EXPECT_EQ(fb[10 * 240 + 9], 0x1234);
}

TEST(ShellDisplay, ScreenBitmapsShareTheFrameBuffer) {
  std::vector<uint16_t> fb(240 * 320, 0);
  uint8_t flag = 1;
  ShellHost shell(&flag);
  shell.canvas().bind(fb.data(), 240, 320);
  ShellBitmap* first = nullptr;
  ShellBitmap* second = nullptr;
  shell.createScreenBitmap(&first);
  EXPECT_EQ(first->pixels, fb.data());
  shell.createScreenBitmap(&second);
  EXPECT_EQ(second->pixels, fb.data());
  EXPECT_NE(first->pixels, fb.data());
  first->pixels[5] = 7;  // its own block again
  uint32_t info[3];
  shell.getBitmapInfo(second, info);
  EXPECT_EQ(info[0], 240u);
  EXPECT_EQ(info[2], 16u);
  EXPECT_EQ(second->pitch, 480);
  shell.releaseBitmapRef(&first);
  EXPECT_EQ(first, nullptr);
  shell.releaseBitmapRef(&first);  // empty slot
  EXPECT_EQ(shell.loadImage(3), nullptr);
  // Unbound, the second gets its own pixels back and can go.
  shell.canvas().unbindScreenBitmap(second);
  EXPECT_NE(second->pixels, fb.data());
  EXPECT_EQ(shell.canvas().boundBitmap(), nullptr);
  shell.releaseBitmapRef(&second);
}

TEST(ShellDisplay, BitmapReferencesAndBlit) {
  uint8_t flag = 1;
  ShellHost shell(&flag);
  ShellBitmap* a = nullptr;
  ShellBitmap* b = nullptr;
  shell.createBitmap(&a, 4, 3);
  shell.createBitmap(&b, 4, 3);
  for (int i = 0; i < 12; ++i) a->pixels[i] = static_cast<uint16_t>(i + 1);
  shell.blitBitmap(b, 1, 1, 2, 2, a, 0, 0);
  EXPECT_EQ(b->pixels[1 * 4 + 1], 1);
  EXPECT_EQ(b->pixels[2 * 4 + 2], 6);
  EXPECT_EQ(b->pixels[0], 0);
  shell.blitBitmap(b, 0, 0, 0, 3, a, 0, 0);  // empty area copies nothing
  EXPECT_EQ(b->pixels[0], 0);
  shell.blitBitmap(b, 3, 2, 10, 10, a, 0, 0);  // cut to the destination
  EXPECT_EQ(b->pixels[11], 1);
  ShellBitmap* ref = nullptr;
  shell.addBitmapRef(a, &ref);
  EXPECT_EQ(a->refCount(), 2);
  shell.releaseBitmapRef(&ref);
  EXPECT_EQ(a->refCount(), 1);
  shell.releaseBitmapRef(&a);
  shell.releaseBitmapRef(&b);
}

}  // namespace
