// ASprite caches, painting paths, colour modules, effects and rectangles.
#include <gtest/gtest.h>

#include "SpriteTestUtil.h"
#include "zul/2d/RgbImage.h"
#include "zul/2d/cImg.h"

using namespace spritebank;
using spritetest::loadBank;
using spritetest::rgb565;
using spritetest::Screen;

namespace {

constexpr uint16_t kBg = 0x0841;

// drawRGB's blend of an ARGB value over an RGB565 pixel.
uint16_t blendOver(uint32_t c, uint16_t d565) {
  uint32_t d = (d565 & 0xF800u) << 8 | (d565 & 0x07E0u) << 5 | (d565 & 0x1Fu) << 3;
  uint32_t a = c >> 24, ia = 256 - a;
  uint32_t r = (((c >> 16) & 255) * a + ((d >> 16) & 255) * ia) >> 8;
  uint32_t g = (((c >> 8) & 255) * a + ((d >> 8) & 255) * ia) >> 8;
  uint32_t b = ((c & 255) * a + (d & 255) * ia) >> 8;
  return rgb565(r << 16 | g << 8 | b);
}

// The 3x2 module's colours (palette 0) laid out with paint flags 0-3.
std::vector<uint16_t> expected3x2(const Bank& b, int flags, bool blended) {
  std::vector<uint16_t> out;
  for (int r = 0; r < 2; ++r) {
    for (int c = 0; c < 3; ++c) {
      int sc = (flags & 1) ? 2 - c : c, sr = (flags & 2) ? 1 - r : r;
      uint32_t argb = b.palettes[0][b.modules[0].pixels[sr * 3 + sc]];
      out.push_back(blended ? blendOver(argb, kBg) : rgb565(argb));
    }
  }
  return out;
}

TEST(ASpritePaint, CachedPathAppliesMirrorFlags) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  auto s = loadBank(b);
  s->buildCacheImages(0, 0, -1, -1);
  ASSERT_EQ(s->imageCache.size(), 2u);
  ASSERT_TRUE(s->imageCache[0][0]);
  for (int flags = 0; flags < 8; ++flags) {
    screen.fill(kBg);
    s->paintModule(screen.g(), 0, 10, 20, flags);
    // The axis swap is not applied on this path.
    EXPECT_EQ(screen.block(10, 20, 3, 2), expected3x2(b, flags & 3, false)) << flags;
    EXPECT_EQ(screen.at(13, 20), kBg);
  }
}

TEST(ASpritePaint, DecodePathIgnoresFlags) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.palettes[0][0] = 0x00000000;
  b.modules[0].pixels[4] = 0;  // one transparent pixel
  auto s = loadBank(b);
  for (int flags = 0; flags < 4; ++flags) {
    screen.fill(kBg);
    s->paintModule(screen.g(), 0, 10, 20, flags);
    std::vector<uint16_t> want = expected3x2(b, 0, true);
    EXPECT_EQ(want[4], kBg);
    EXPECT_EQ(screen.block(10, 20, 3, 2), want) << flags;
  }
}

TEST(ASpritePaint, ClipAndBankFlagsStopPainting) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.modules.push_back(Module::filledRect(0xFF00FF00, 4, 3));
  b.flags |= kFlagNoModulePaint;
  auto s = loadBank(b);
  screen.fill(kBg);
  s->paintModule(screen.g(), 0, 10, 10, 0);
  s->paintModule(screen.g(), 1, 20, 10, 0);
  EXPECT_EQ(screen.at(10, 10), kBg);
  EXPECT_EQ(screen.at(20, 10), kBg);

  b.flags &= ~kFlagNoModulePaint;
  s = loadBank(b);
  screen.g()->setClip(0, 0, 10, 10);
  s->paintModule(screen.g(), 0, 10, 5, 0);  // wholly right of the clip
  s->paintModule(screen.g(), 0, -3, 5, 0);  // wholly left
  screen.g()->setClip(0, 0, 240, 320);
  EXPECT_EQ(screen.at(10, 5), kBg);
  EXPECT_EQ(screen.at(0, 5), kBg);
}

// The chosen rule: colour modules paint in a bank without palettes and pixel
// data; image modules there are not drawn.
TEST(ASpritePaint, ColourModulesPaintWithoutPixelData) {
  Screen screen;
  Bank b;
  b.modules.push_back(Module::image(2, 2, {}));
  b.modules.push_back(Module::filledRect(0xFF00FF00, 4, 3));
  auto s = loadBank(b);
  ASSERT_FALSE(s->flags & kFlagPixelData);
  screen.fill(kBg);
  s->paintModule(screen.g(), 0, 0, 0, 0);
  s->paintModule(screen.g(), 1, 10, 10, 0);
  EXPECT_EQ(screen.at(0, 0), kBg);
  EXPECT_EQ(screen.block(10, 10, 4, 3), std::vector<uint16_t>(12, 0x07E0));
  EXPECT_EQ(screen.at(14, 10), kBg);
  EXPECT_EQ(screen.at(10, 13), kBg);
  EXPECT_EQ(screen.g()->getAlpha(), 255);
}

TEST(ASpritePaint, PendingColourAndShadedRectangle) {
  Screen screen;
  Bank b;
  b.modules.push_back(Module::filledRect(0x00FF00FF, 1, 1));  // no-op marker
  b.modules.push_back(Module::filledRect(0xFF0000FF, 1, 1));  // sets the bottom colour
  b.modules.push_back(Module::shadedRect(0xFF000000, 4, 3));
  auto s = loadBank(b);
  EXPECT_EQ(s->pendingColour, ASprite::kNoPendingColour);
  screen.fill(kBg);
  s->paintModule(screen.g(), 0, 0, 0, 0);
  EXPECT_EQ(s->pendingColour, ASprite::kNoPendingColour);
  EXPECT_EQ(screen.at(0, 0), kBg);
  s->paintModule(screen.g(), 1, 0, 0, 0);
  EXPECT_EQ(s->pendingColour, 0xFF0000FFu);
  EXPECT_EQ(screen.at(0, 0), kBg);
  s->paintModule(screen.g(), 2, 10, 10, 0);
  EXPECT_EQ(s->pendingColour, ASprite::kNoPendingColour);
  // Rows 0-1 from the top colour, rows 2-3 (one past the rectangle) one step
  // of 0xFF00 / 3 in blue short of the bottom colour.
  for (int x = 10; x < 14; ++x) {
    EXPECT_EQ(screen.at(x, 10), 0x0000);
    EXPECT_EQ(screen.at(x, 11), 0x0000);
    EXPECT_EQ(screen.at(x, 12), rgb565(0xFF0000AA));
    EXPECT_EQ(screen.at(x, 13), rgb565(0xFF0000AA));
  }
  EXPECT_EQ(screen.at(10, 14), kBg);
  // Without a pending colour the shaded module is a plain fill.
  s->paintModule(screen.g(), 2, 30, 10, 0);
  EXPECT_EQ(screen.block(30, 10, 4, 3), std::vector<uint16_t>(12, 0x0000));
  EXPECT_EQ(screen.at(30, 13), kBg);
}

TEST(ASpritePaint, ShadedRectEdgeCases) {
  Screen screen;
  ASprite s;
  screen.fill(kBg);
  s.paintShadedRect(screen.g(), 0, 0, 5, 0, 0xFFFFFFFF, 0xFF000000);
  s.paintShadedRect(screen.g(), 0, 0, 5, -2, 0xFFFFFFFF, 0xFF000000);
  EXPECT_EQ(screen.at(0, 0), kBg);
  // Alpha falls from 0xFF to 0: the steps are signed, so lower rows are
  // fainter, never wrapped round to opaque.
  screen.fill(0x0000);
  s.paintShadedRect(screen.g(), 0, 0, 1, 5, 0xFFFFFFFF, 0x00FFFFFF);
  EXPECT_EQ(screen.at(0, 0), 0xFFFF);
  EXPECT_LT(screen.at(0, 2) & 0x1F, 31);
  EXPECT_LT(screen.at(0, 4) & 0x1F, screen.at(0, 2) & 0x1F);
  EXPECT_GT(screen.at(0, 4), 0);
  EXPECT_EQ(screen.g()->getAlpha(), 255);
}

TEST(ASpritePaint, FrameModuleAxisSwapWithVerticalMirror) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.frames[0].modules[0].flags = kFmSwapAxes;
  auto s = loadBank(b);
  s->buildCacheImages(0, 0, -1, -1);
  screen.fill(kBg);
  // Only the vertical mirror: painted mirrored left-right, lifted by the width.
  s->paintFrame(screen.g(), 0, 50, 50, 2);
  EXPECT_EQ(screen.block(50, 47, 3, 2), expected3x2(b, 1, false));
  screen.fill(kBg);
  // Only the horizontal mirror: mirrored top-bottom, moved left by the height.
  s->paintFrame(screen.g(), 0, 50, 50, 1);
  EXPECT_EQ(screen.block(48, 50, 3, 2), expected3x2(b, 2, false));
}

TEST(ASpritePaint, FrameModuleOffsetsAndMirroring) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.frames[0].modules[0].x = 5;
  b.frames[0].modules[0].y = 1;
  b.frames[0].modules[0].flags = kFmMirrorX;
  auto s = loadBank(b);
  s->buildCacheImages(0, 0, -1, -1);
  screen.fill(kBg);
  s->paintFrame(screen.g(), 0, 50, 50, 0);
  EXPECT_EQ(screen.block(55, 51, 3, 2), expected3x2(b, 1, false));
  screen.fill(kBg);
  // Mirrored frame: offsets negate and the module's size is subtracted; the
  // frame module's own mirror cancels the frame's.
  s->paintFrame(screen.g(), 0, 50, 50, 3);
  EXPECT_EQ(screen.block(42, 47, 3, 2), expected3x2(b, 2, false));
}

TEST(ASpritePaint, PaintFrameLeavesTheLastPaletteSelected) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.frames[0].modules = {{0, 0, 0, 0, 1}, {0, 4, 0, 0, 0}, {0, 8, 0, 0, 1}};
  b.frames.push_back({{{0, 0, 0, 0, 5}}});  // palette 5 does not exist
  b.flags = b.minimalFlags();
  auto s = loadBank(b);
  s->paintFrame(screen.g(), 0, 0, 0, 0);
  EXPECT_EQ(s->getCurrentPalette(), 1);
  s->paintFrame(screen.g(), 1, 0, 0, 0);
  EXPECT_EQ(s->getCurrentPalette(), 1);
  s->setCurrentPalette(2);
  EXPECT_EQ(s->getCurrentPalette(), 1);
  s->setCurrentPalette(-1);
  EXPECT_EQ(s->getCurrentPalette(), 1);
}

TEST(ASpritePaint, NestedFrameCycleTerminates) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.frames[0].modules.push_back({1, 1, 0, kFmNestedFrame, 0});
  b.frames.push_back({{{0, 1, 0, kFmNestedFrame, 0}}});  // frame 1 -> frame 0 -> frame 1 ...
  b.frames.push_back({{{9, 0, 0, kFmNestedFrame, 0}, {7, 0, 0, 0, 0}}});  // missing frame and module
  auto s = loadBank(b);
  screen.fill(kBg);
  s->paintFrame(screen.g(), 1, 10, 10, 0);
  s->paintFrame(screen.g(), 2, 10, 10, 0);
  s->paintFrame(screen.g(), 99, 10, 10, 0);
  s->paintAnimFrame(screen.g(), 5, 0, 10, 10, 0);
  EXPECT_NE(screen.at(11, 10), kBg);
}

TEST(ASpritePaint, AnimFrameOffsetsAndFlags) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.anims.push_back({{{0, 1, 4, -2, 1}}});
  auto s = loadBank(b);
  s->buildCacheImages(0, 0, -1, -1);
  screen.fill(kBg);
  s->paintAnimFrame(screen.g(), 0, 0, 50, 50, 0);
  EXPECT_EQ(screen.block(51, 48, 3, 2), expected3x2(b, 1, false));
  screen.fill(kBg);
  s->paintAnimFrame(screen.g(), 0, 0, 50, 50, 1);  // mirrored: -dx, and module flag cancels
  EXPECT_EQ(screen.block(46, 48, 3, 2), expected3x2(b, 0, false));
}

TEST(ASpriteCache, BuildCases) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.modules.push_back(Module::image(1, 1, {2}));
  b.modules.push_back(Module::filledRect(0xFF123456, 2, 2));
  {
    auto s = loadBank(b);
    s->buildCacheImages(1, 0, -1, 0);  // allocOnly
    ASSERT_EQ(s->imageCache.size(), 2u);
    EXPECT_TRUE(s->imageCache[0].empty());
    ASSERT_EQ(s->imageCache[1].size(), 3u);
    EXPECT_FALSE(s->imageCache[1][0]);
    s->buildCacheImages(1, 0, -1, -1);
    EXPECT_TRUE(s->imageCache[1][0]);
    EXPECT_TRUE(s->imageCache[1][1]);
    EXPECT_FALSE(s->imageCache[1][2]);  // colour modules are not cached
    EXPECT_EQ(s->imageCache[1][1]->getPixels16()[0], rgb565(b.palettes[1][2]));
    EXPECT_EQ(s->getCurrentPalette(), 0);
    s->buildCacheImages(0, 1, 1, -1);
    EXPECT_FALSE(s->imageCache[0][0]);
    EXPECT_TRUE(s->imageCache[0][1]);
    s->buildCacheImages(7, 0, -1, -1);  // no such palette
    // Painting from the cache needs no module data.
    s->freeModuleData();
    EXPECT_EQ(s->decodeModule(0), nullptr);
    s->setCurrentPalette(1);
    screen.fill(kBg);
    s->paintModule(screen.g(), 0, 0, 0, 0);
    EXPECT_EQ(screen.at(0, 0), rgb565(b.palettes[1][1]));
    s->freeModuleDataAndOffsets();
    EXPECT_TRUE(s->moduleDataOffset.empty());
  }
  {
    screen.services.rawCacheOption = 1;
    auto s = loadBank(b);
    s->buildCacheImages(0, 0, -1, -1);
    screen.services.rawCacheOption = 0;
    EXPECT_TRUE(s->imageCache.empty());
    ASSERT_EQ(s->rawCache.size(), 2u);
    ASSERT_EQ(s->rawCache[0].size(), 3u);
    std::vector<uint32_t> want;
    for (uint8_t i : b.modules[0].pixels) want.push_back(b.palettes[0][i]);
    EXPECT_EQ(s->rawCache[0][0], want);
  }
  {
    Bank empty;
    auto s = loadBank(empty);
    s->buildCacheImages(0, 0, -1, -1);
    EXPECT_TRUE(s->imageCache.empty());
  }
}

TEST(ASpriteCache, AlphaBankMakesRgbImages) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  Bank alpha;
  alpha.modules.push_back(Module::image(3, 2, {0, 1, 2, 3, 200, 1}));
  alpha.palettes = {{0xFF000000, 0xFF0000FF, 0xFF000080, 0xFF000040}};
  alpha.encoding = kEnc8Bit;
  alpha.flags = alpha.minimalFlags();
  // Index 200 is past the alpha palette: rejected by the writer, so patch it in.
  std::vector<uint8_t> bytes = writeBank([&] {
    Bank a = alpha;
    a.modules[0].pixels[4] = 0;
    return a;
  }());
  ASSERT_FALSE(bytes.empty());
  bytes[bytes.size() - 2] = 200;
  ASprite a;
  ASSERT_TRUE(a.load(bytes.data(), 0, static_cast<uint32_t>(bytes.size())));
  auto s = loadBank(b);
  s->buildCacheImagesWithAlpha(0, 0, -1, -1, &a);
  EXPECT_EQ(s->usesRgbImages, 1);
  ASSERT_EQ(s->rgbImageCache.size(), 2u);
  ASSERT_TRUE(s->rgbImageCache[0]);
  RgbImage& img = s->rgbImageCache[0][0];
  EXPECT_EQ(img.getWidth(), 3);
  const uint32_t* px = static_cast<const uint32_t*>(img.getPixels());
  const uint32_t want[] = {0x00FF0000, 0xFF00FF00, 0x800000FF, 0x40FFFF00, 0x0000FFFF, 0xFFFFFFFF};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(px[i], want[i]) << i;
  // An alpha bank with another encoding is not used.
  auto t = loadBank(b);
  auto other = loadBank(b);
  t->buildCacheImagesWithAlpha(0, 0, -1, -1, other.get());
  EXPECT_EQ(t->usesRgbImages, 0);
  EXPECT_TRUE(t->imageCache[0][0]);
  // Painting through the RgbImage draws the opaque pixel as it is.
  screen.fill(kBg);
  s->paintModule(screen.g(), 0, 0, 0, 0);
  // Region kernel blend: d + (s - d) * a / 256 in each channel's width.
  EXPECT_EQ(screen.at(1, 0), (2 + (63 - 2) * 255 / 256) << 5 | 0);  // blue: floor(1 - 255/256) = 0
  EXPECT_EQ(screen.at(0, 0), kBg);
  // Palette 1 has no RgbImage array: the module is painted another way.
  s->setCurrentPalette(1);
  screen.fill(kBg);
  s->paintModule(screen.g(), 0, 0, 0, 0);
  EXPECT_EQ(screen.at(1, 0), blendOver(b.palettes[1][2], kBg));
}

TEST(ASpriteCache, RemapTables) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.modules.push_back(Module::filledRect(0xFFFF0000, 3, 2));
  auto s = loadBank(b);
  const uint8_t pairs[] = {0, 0, 1, 0, /* bad: */ 9, 0, 0, 0, 1, 0, 9, 0, 1, 0};
  s->setRemapTable(0, pairs, sizeof pairs);
  s->setRemapTable(8, pairs, 4);
  s->setRemapTable(-1, pairs, 4);
  ASSERT_EQ(s->remapTables.size(), 8u);
  EXPECT_EQ(s->remapTables[0], (std::vector<int16_t>{1, 1}));
  s->setRemapTable(3, nullptr, 0);
  EXPECT_EQ(s->remapTables[3], (std::vector<int16_t>{0, 1}));
  screen.fill(kBg);
  s->remapSelection = 0;
  s->paintModule(screen.g(), 0, 0, 0, 0);
  EXPECT_EQ(screen.at(0, 0), 0xF800);
  s->remapSelection = 5;  // table never set: no remap
  s->paintModule(screen.g(), 0, 10, 0, 0);
  EXPECT_EQ(screen.at(11, 0), blendOver(b.palettes[0][2], kBg));
}

// Effect modes on the 3x2 module (8 bits a pixel).
class EffectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    b = spritetest::bank3x2(kEnc8Bit);
    s = loadBank(b);
    screen.fill(kBg);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) screen.at(10 + x, 10 + y) = static_cast<uint16_t>(0x1000 * (y * 3 + x + 1));
  }
  uint32_t src(int i) { return b.palettes[0][b.modules[0].pixels[i]]; }
  uint32_t screenRgb(int i) {
    uint16_t p = static_cast<uint16_t>(0x1000 * (i + 1));
    return (p & 0xF800u) << 8 | (p & 0x07E0u) << 5 | (p & 0x1Fu) << 3;
  }
  void paint(int mode, int p1 = 0, int p2 = 0, int p3 = 0, int flags = 0) {
    s->effectMode = mode;
    s->effectParam1 = p1;
    s->effectParam2 = p2;
    s->effectParam3 = p3;
    s->paintFrame(screen.g(), 0, 10, 10, flags);
  }
  Screen screen;
  Bank b;
  std::unique_ptr<ASprite> s;
};

TEST_F(EffectTest, FadeAndTint) {
  paint(4, 128);
  for (int i = 0; i < 6; ++i) {
    uint32_t c = src(i);
    uint32_t faded = (c & 0xFFFFFF) | (((c >> 24) * 128 >> 8) << 24);
    EXPECT_EQ(screen.at(10 + i % 3, 10 + i / 3), blendOver(faded, static_cast<uint16_t>(0x1000 * (i + 1)))) << i;
  }
  SetUp();
  s->effectMode = 8;
  s->effectParam1 = 0x00FF00;
  s->paintModuleEffect(screen.g(), 0, 10, 10, 1);
  for (int i = 0; i < 6; ++i) {
    int r = i / 3, c = i % 3;
    uint32_t mirrored = src(r * 3 + (2 - c));
    EXPECT_EQ(screen.at(10 + c, 10 + r), blendOver((mirrored & 0xFF000000) | 0xFF00, static_cast<uint16_t>(0x1000 * (i + 1))));
  }
}

TEST_F(EffectTest, ReadBackModes) {
  screen.services.effectReadBack = 1;
  paint(3);
  for (int i = 0; i < 6; ++i) {
    uint32_t a = src(i), d = screenRgb(i), out = 0;
    for (int sh = 0; sh <= 16; sh += 8) out |= std::min(255u, ((a >> sh) & 255) + ((d >> sh) & 255)) << sh;
    EXPECT_EQ(screen.at(10 + i % 3, 10 + i / 3), rgb565(out)) << i;
  }
  // Saturation with factor 0 leaves the source colours.
  SetUp();
  paint(5, 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(screen.at(10 + i % 3, 10 + i / 3), rgb565(src(i))) << i;
  // Ripple: blue byte >> 5 rows down; module pixels 2 and 5 (blue 0xFF) reach past the module.
  SetUp();
  paint(1);
  EXPECT_EQ(screen.at(10, 10), static_cast<uint16_t>(0x1000));  // red: k = 0
  EXPECT_EQ(screen.at(12, 10), 0x0000);                           // blue 0xFF: k = 7, past the buffer's data
  // Glow: blue 0xFF takes the pixel one row down, each channel + c * 7 / 8.
  SetUp();
  paint(2);
  EXPECT_EQ(screen.at(10, 10), static_cast<uint16_t>(0x1000));  // blue 0: unchanged
  EXPECT_EQ(screen.at(12, 10), rgb565(0xB40000));                // 0x6000 below: red 0x60 -> 0xB4
  EXPECT_EQ(screen.at(11, 11), 0x0000);                          // below the module: cleared buffer
  screen.services.effectReadBack = 0;
}

TEST_F(EffectTest, OutlineAndSuppress) {
  // Key colour = palette entry 2 (green); parameter 3 clear: fill and edges.
  paint(7, 0x00FF00, 256, 0);
  uint32_t fill = 0xFF81FD12u, edge = 0x7FFFFFFFu;
  // Module row 0: 1 2 3 -> pixel 1 is the key: left neighbour edge, right neighbour its own colour.
  EXPECT_EQ(screen.at(10, 10), blendOver(edge, 0x1000));
  EXPECT_EQ(screen.at(11, 10), blendOver(fill, 0x2000));
  EXPECT_EQ(screen.at(12, 10), blendOver(src(2), 0x3000));
  EXPECT_EQ(screen.at(10, 11), blendOver(src(3), 0x4000));
  SetUp();
  screen.services.effectSuppress = 1;
  paint(4, 256);
  screen.services.effectSuppress = 0;
  EXPECT_EQ(screen.at(10, 10), 0x1000);
  // Modes that do not exist, and banks not at 8 bits a pixel, draw nothing.
  paint(6);
  EXPECT_EQ(screen.at(10, 10), 0x1000);
  b.encoding = kEncPackedRuns;
  s = loadBank(b);
  paint(4, 256);
  EXPECT_EQ(screen.at(10, 10), 0x1000);
  // Neither raw copy nor module data: nothing.
  b.encoding = kEnc8Bit;
  s = loadBank(b);
  s->freeModuleData();
  paint(4, 256);
  EXPECT_EQ(screen.at(10, 10), 0x1000);
}

TEST(ASpriteRects, FrameAndAnimRectangles) {
  Screen screen;
  Bank b = spritetest::bank3x2();
  b.frames[0].modules = {{0, 2, 1, 0, 0}, {0, -4, 5, 0, 0}};
  b.frames.push_back({});
  b.anims.push_back({{{0, 1, 3, 4, 0}}});
  b.anims.push_back({{{0, 1, 0, 0, 0}, {0, 1, 0, 0, 0}}});
  auto s = loadBank(b);
  int32_t r[4];
  s->computeFrameRect(r, 0, 100, 100, 0, 0, 0);
  EXPECT_EQ(std::vector<int32_t>(r, r + 4), (std::vector<int32_t>{96, 101, 105, 107}));
  s->computeFrameRect(r, 0, 100, 100, 1, 0, 0);  // mirrored: hotspot from the right edge
  EXPECT_EQ(std::vector<int32_t>(r, r + 4), (std::vector<int32_t>{95, 101, 104, 107}));
  s->computeFrameRect(r, 1, 10, 20, 0, 3, 4);
  EXPECT_EQ(r[0], 10 - 3 + 999999);
  EXPECT_EQ(r[1], 20 - 4 + 999999);
  EXPECT_EQ(r[2], r[0] - 1999998);
  EXPECT_EQ(s->getFrameWidth(0), 9);
  EXPECT_EQ(s->getFrameHeight(0), 6);
  EXPECT_EQ(screen.rect[2] - screen.rect[0], 9);  // measured in the shared rectangle
  s->getAnimFrameRect(r, 0, 0, 100, 100, 0x20);
  EXPECT_EQ(r[0], 96 - 3);
  EXPECT_EQ(r[1], 101 - 4);
  s->getAnimFrameRect(r, 0, 0, 100, 100, 0);
  EXPECT_EQ(r[0], 96);
  EXPECT_EQ(s->getAnimWidth(0), 0);  // one frame
  EXPECT_EQ(s->getAnimWidth(1), 9);  // frames after the first, from 0
  EXPECT_EQ(s->getAnimHeight(1), 7);
  EXPECT_EQ(s->getAnimWidth(7), 0);
  s->getModuleRect(r, 0, 5, 6);
  EXPECT_EQ(std::vector<int32_t>(r, r + 4), (std::vector<int32_t>{5, 6, 8, 8}));
}

}  // namespace
