#include <gtest/gtest.h>

#include <vector>

#include "Surface.h"
#include "zul/2d/IndexedImage.h"
#include "zul/2d/Kernels.h"
#include "zul/memory/Memory.h"

using namespace kv2d;

TEST(Image, MutableImageLayout) {
  MutableImage a(56, 104, 16);
  EXPECT_EQ(a.getPitch(), 112);
  EXPECT_EQ(a.getKind(), Image::k_kindMutable);
  ASSERT_NE(a.getGraphics(), nullptr);
  EXPECT_EQ(a.getGraphics()->getTarget(), &a);
  EXPECT_EQ(a.getGraphics()->getClipWidth(), 56);
  TraceCapture cap;
  MutableImage b(10, 10, 24);
  EXPECT_EQ(b.getPitch(), 40);
  EXPECT_EQ(b.getGraphics(), nullptr);
  EXPECT_TRUE(cap.has("83:MutableImage"));
  MutableImage c(3, 2, 8);
  EXPECT_EQ(c.getPitch(), 3);
  MutableImage d(3, 2, 12);
  EXPECT_EQ(d.getPitch(), 6);
}

TEST(Image, BorrowedFrameBuffer) {
  std::vector<uint16_t> frame(240 * 320, 0);
  {
    MutableImage back(240, 320, 480, 16, frame.data());
    EXPECT_EQ(back.getPixels(), frame.data());
    EXPECT_FALSE(back.ownsPixels());
    back.getGraphics()->setColor(0xFFFF0000);
    back.getGraphics()->fillRect(0, 0, 1, 1);
  }
  EXPECT_EQ(frame[0], 0xF800);  // still there after the image is gone
}

TEST(Image, ColourConversionsAndBaseReports) {
  EXPECT_EQ(argbToRgb565(0xFFFF00FF), 0xF81F);
  EXPECT_EQ(argbToRgb565(0xFF808080), 0x8410);
  EXPECT_EQ(rgbToRgb565(255, 0, 255), 0xF81F);
  EXPECT_EQ(rgb565ToRgb(0xFFFF), 0x00F8FCF8u);
  RgbImage rgb;
  TraceCapture cap;
  EXPECT_EQ(rgb.getColourCount(), 0);
  EXPECT_EQ(rgb.getPalette(), nullptr);
  EXPECT_TRUE(cap.has("Not an indexed image"));
  EXPECT_TRUE(cap.has("97:Image"));
  EXPECT_TRUE(cap.has("104:Image"));
}

TEST(Image, SetFromArgbAndAllocate) {
  RgbImage img;
  auto* px = static_cast<uint32_t*>(memNewArray(4 * 6, "test", 1));
  img.setFromArgb(px, 3, 2);
  EXPECT_EQ(img.getBitsPerPixel(), 32);
  EXPECT_EQ(img.getFlags(), Image::k_flagAlpha);
  EXPECT_EQ(img.getPitch(), 12);
  EXPECT_EQ(img.getKey(), -1);
  EXPECT_TRUE(img.ownsPixels());
  TraceCapture cap;
  EXPECT_FALSE(img.allocatePixels());  // pixels already there
  EXPECT_TRUE(cap.has("77:RgbImage"));
  img.freePixels();
  EXPECT_EQ(img.getPixels(), nullptr);
  img.setDimensions(0, 0, 0);
  EXPECT_FALSE(img.allocatePixels());
  EXPECT_TRUE(cap.has("81:RgbImage"));
}

// Surfaces with RGB565 in the low half of 32-bit words.
TEST(Image, WideSurfaceKeepsHighHalves) {
  const int W = 4, H = 3;
  std::vector<uint32_t> words(W * H, 0xAAAA0000u);
  MutableImage wide(W, H, W * 4, 16, words.data());
  Graphics& g = *wide.getGraphics();
  g.setColor(0xFFFFFFFF);
  g.fillRect(1, 1, 2, 1);
  EXPECT_EQ(words[1 * W + 1], 0xAAAAFFFFu);
  EXPECT_EQ(words[1 * W + 2], 0xAAAAFFFFu);
  EXPECT_EQ(words[1 * W + 3], 0xAAAA0000u);
  EXPECT_EQ(words[0], 0xAAAA0000u);
  // Every transform lands on the same pixels as on a plain surface.
  std::vector<uint16_t> px = {0x0841, 0x1082, 0x18C3, 0x2104, 0x2945, 0x3186};
  Source16 src(3, 2, px);
  for (int t = 0; t < 8; ++t) {
    std::vector<uint32_t> w2(W * H, 0xAAAA0000u);
    MutableImage wi(W, H, W * 4, 16, w2.data());
    wi.getGraphics()->drawRegion(&src.image, 0, 0, 3, 2, t, 0, 0);
    Surface plain(W, H);
    plain.g().drawRegion(&src.image, 0, 0, 3, 2, t, 0, 0);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const uint32_t v = w2[y * W + x];
        EXPECT_EQ(v >> 16, 0xAAAAu);
        // The wide kernel blends at the colour's alpha (255).
        const uint16_t p = plain.at(x, y);
        EXPECT_EQ(v & 0xFFFF, blend565(0, p >> 11, (p >> 5) & 63, p & 31, 255)) << "t " << t << " " << x << "," << y;
      }
  }
}
