// cImg drawing, ownership and loading; cPal colours and tints.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SpriteTestUtil.h"
#include "zul/2d/cImg.h"
#include "zul/2d/cPal.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/Memory.h"
#include "zul/memory/MemoryManager.h"

using spritetest::Screen;

namespace {

constexpr uint16_t kBg = 0x0841;

// A 10x1 image whose pixel c is 0x100 + c.
std::unique_ptr<cImg> rowImage() {
  auto img = std::make_unique<cImg>();
  std::vector<uint32_t> argb(10);
  EXPECT_TRUE(img->fromArgb(nullptr, 10, 1));
  uint16_t* px = static_cast<uint16_t*>(img->data);
  for (int c = 0; c < 10; ++c) px[c] = static_cast<uint16_t>(0x100 + c);
  return img;
}

TEST(cImg, FromArgbConversion) {
  Screen screen;
  cImg img;
  const uint32_t argb[] = {0xFFFF00FF, 0xFF808080, 0x00FFFFFF, 0xFF123456};
  ASSERT_TRUE(img.fromArgb(argb, 2, 2));
  const uint16_t* px = img.getPixels16();
  EXPECT_EQ(px[0], 0xF81F);
  EXPECT_EQ(px[1], 0x8410);
  EXPECT_EQ(px[2], 0xFFFF);
  EXPECT_EQ(px[3], spritetest::rgb565(0xFF123456));
  EXPECT_EQ(img.getWidth(), 2);
  EXPECT_FALSE(img.fromArgb(argb, 0, 3));
  EXPECT_EQ(img.data, nullptr);
}

TEST(cImg, DrawClipsAndMirrors) {
  Screen screen;
  auto img = rowImage();
  struct Case {
    int x, flags;
    std::vector<int> columns;  // source column shown at screen columns 10..19 (-1 = untouched)
  };
  const Case cases[] = {
      {7, 0, {3, 4, 5, 6, 7, 8, 9, -1, -1, -1}},
      {7, 1, {6, 5, 4, 3, 2, 1, 0, -1, -1, -1}},
      {7, 4, {6, 5, 4, 3, 2, 1, 0, -1, -1, -1}},  // both ways on a one-row image
      {0, 0, {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1}},  // dx <= left - w
      {15, 0, {-1, -1, -1, -1, -1, 0, 1, 2, 3, 4}},      // right clip at 20
      {15, 1, {-1, -1, -1, -1, -1, 9, 8, 7, 6, 5}},
  };
  for (const Case& c : cases) {
    screen.fill(kBg);
    screen.g()->setClip(10, 0, 10, 5);
    img->draw(screen.g(), 0, 0, 10, 1, c.x, 2, c.flags);
    for (int k = 0; k < 10; ++k) {
      uint16_t want = c.columns[k] < 0 ? kBg : static_cast<uint16_t>(0x100 + c.columns[k]);
      EXPECT_EQ(screen.at(10 + k, 2), want) << c.x << " " << c.flags << " " << k;
    }
    EXPECT_EQ(screen.at(9, 2), kBg);
    EXPECT_EQ(screen.at(20, 2), kBg);
  }
  screen.g()->setClip(0, 0, 240, 320);
  // A source rectangle cut to the image, and the transparent key.
  screen.fill(kBg);
  static_cast<uint16_t*>(img->data)[4] = cImg::kKey;
  img->draw(screen.g(), 3, 0, 50, 1, 0, 0, 0);
  EXPECT_EQ(screen.at(0, 0), 0x103);
  EXPECT_EQ(screen.at(1, 0), kBg);
  EXPECT_EQ(screen.at(6, 0), 0x109);
  EXPECT_EQ(screen.at(7, 0), kBg);
  img->drawAlternate(screen.g(), 0, 0, 10, 1, 0, 5, 0);
  EXPECT_EQ(screen.at(0, 5), kBg);
}

TEST(cImg, FreesOnlyOwnedData) {
  Screen screen;
  auto before = getMemoryManager()->currentTotal();
  uint16_t* shared = static_cast<uint16_t*>(memNewArray(8, "test", 1));
  {
    cImg img;
    img.data = shared;
    img.width = img.height = 2;
    img.sharedData = 1;
    img.release();
    EXPECT_EQ(img.data, nullptr);
  }
  {
    cImg img;
    img.data = shared;
    img.ownsData = 0;
    img.free();
  }
  shared[3] = 7;  // still ours
  memDeleteArray(shared);
  {
    cImg img;
    img.fromArgb(nullptr, 4, 4);
    img.palette = new ("test", 2, nullptr) cPal();
    img.palette->create(1, 16);
    img.free();
    EXPECT_EQ(img.palette, nullptr);
  }
  EXPECT_EQ(getMemoryManager()->currentTotal(), before);
}

TEST(cImg, FindKeyIndex) {
  Screen screen;
  cImg img;
  EXPECT_EQ(img.findKeyIndex(nullptr), -1);  // no palette
  const uint16_t list[] = {1, 2, 0xF81F, 0xF81F};
  EXPECT_EQ(img.findKeyIndex(list), -1);
  img.palette = new ("test", 3, nullptr) cPal();
  img.palette->create(1, 4);
  for (int c = 0; c < 4; ++c) img.palette->setColour(0, c, c == 3 ? 0xFFFF00FF : 0xFF000000);
  EXPECT_EQ(img.findKeyIndex(nullptr), 3);
  EXPECT_EQ(img.hasKey, 1);
  EXPECT_EQ(img.findKeyIndex(list), 2);
  const uint16_t none[] = {1, 2, 3, 4};
  EXPECT_EQ(img.findKeyIndex(none), -1);
  EXPECT_EQ(img.hasKey, 0);
}

TEST(cImg, LoadDrawsThroughItsPalette) {
  Screen screen;
  std::vector<uint8_t> bytes = {0, 0, 3, 0, 2, 0, 2, 0};  // ignored, 3 colours, 2 x 2
  for (uint16_t c : {0x1234, 0xF81F, 0xABCD}) {
    bytes.push_back(static_cast<uint8_t>(c));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  bytes.insert(bytes.end(), {0, 1, 2, 9});
  BufferStream stream(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  cImg img;
  ASSERT_TRUE(img.load(&stream));
  EXPECT_TRUE(img.isIndexed());
  EXPECT_EQ(img.hasKey, 1);
  ASSERT_NE(img.getPalette(), nullptr);
  EXPECT_EQ(img.getPalette()->getColoursPerPalette(), 3);
  screen.fill(kBg);
  img.draw(screen.g(), 0, 0, 2, 2, 0, 0, 0);
  EXPECT_EQ(screen.at(0, 0), 0x1234);
  EXPECT_EQ(screen.at(1, 0), kBg);  // key colour
  EXPECT_EQ(screen.at(0, 1), 0xABCD);
  EXPECT_EQ(screen.at(1, 1), kBg);  // index past the palette

  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 1);
  BufferStream shortStream(BufferStream::kRead, static_cast<int32_t>(cut.size()), cut.data());
  EXPECT_FALSE(img.load(&shortStream));
  EXPECT_EQ(img.data, nullptr);
  EXPECT_EQ(img.palette, nullptr);
  EXPECT_EQ(img.width, 0);
}

TEST(cPal, ColoursAndKey) {
  Screen screen;
  cPal pal;
  pal.create(2, 4);
  EXPECT_EQ(pal.getHasKey(), 0);
  pal.setColour(1, 2, 0xFFFF00FF);
  EXPECT_EQ(pal.getColours()[6], 0xF81F);
  EXPECT_EQ(pal.getHasKey(), 1);
  pal.setColour(2, 0, 0xFFFFFFFF);
  pal.setColour(0, 4, 0xFFFFFFFF);
  pal.setColour(-1, 0, 0xFFFFFFFF);
  EXPECT_EQ(pal.getColour(2, 0), 0u);
  EXPECT_EQ(pal.getColour(0, -1), 0u);
  pal.setColour(0, 0, 0xFF306090);
  EXPECT_EQ(pal.getColour(0, 0), 0xFF306090u);
  EXPECT_EQ(pal.getColour(1, 2), 0xFFF800F8u);
  // The copy holds the same entries and selection.
  pal.selection = 1;
  cPal copy(pal);
  EXPECT_EQ(copy.getSelection(), 1);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(copy.getColours()[i] & 0xFFFF, pal.getColours()[i] & 0xFFFF);
  pal.release();
  EXPECT_EQ(pal.getPaletteCount(), 0);
  EXPECT_EQ(pal.getColour(0, 0), 0u);
}

TEST(cPal, Tints) {
  Screen screen;
  struct Case {
    int mode;
    uint32_t in, out;
  };
  const Case cases[] = {
      {4, 0xFF306090, 0xFF606060}, {1, 0xFF306090, 0xFFF87000}, {2, 0xFF306090, 0xFF0070F8},
      {3, 0xFF306090, 0xFF006000}, {5, 0xFF306090, 0xFF000000}, {0, 0xFF306090, 0xFF000000},
  };
  for (const Case& c : cases) {
    cPal pal;
    pal.create(2, 1);
    pal.setColour(0, 0, c.in);
    pal.setColour(1, 0, 0xFF000000);
    pal.makeTint(c.mode, 0, 1);
    EXPECT_EQ(pal.getColour(1, 0), c.out) << c.mode;
    pal.makeTint(c.mode, 5, 1);  // no such source
    EXPECT_EQ(pal.getColour(1, 0), c.out) << c.mode;
  }
}

}  // namespace

namespace {

// The draw one pixel at a time (clip, cut, mirror, key): the reference for
// the row loops.
void drawReference(const cImg& img, std::vector<uint16_t>& screen, int clipX, int clipY, int clipW, int clipH,
                   int sx, int sy, int w, int h, int dx, int dy, int fl) {
  int left = std::max(clipX, 0), top = std::max(clipY, 0);
  int right = std::min(clipX + clipW, 240), bottom = std::min(clipY + clipH, 320);
  if (sx < 0 || sy < 0 || sx >= img.width || sy >= img.height) return;
  w = std::min(w, img.width - sx);
  h = std::min(h, img.height - sy);
  if (w < 1 || h < 1) return;
  const bool mx = (fl & 1) || (!(fl & 2) && (fl & 4));
  const bool my = !(fl & 1) && ((fl & 2) || (fl & 4));
  for (int r = 0; r < h; ++r) {
    for (int c = 0; c < w; ++c) {
      const int x = dx + c, y = dy + r;
      if (x < left || x >= right || y < top || y >= bottom) continue;
      const size_t at = static_cast<size_t>(sy + (my ? h - 1 - r : r)) * static_cast<size_t>(img.width) +
                        static_cast<size_t>(sx + (mx ? w - 1 - c : c));
      uint16_t p;
      if (img.indexed) {
        const uint8_t i = static_cast<const uint8_t*>(img.data)[at];
        if (i >= img.palette->coloursPerPalette) continue;
        p = img.palette->colours[i];
      } else {
        p = static_cast<const uint16_t*>(img.data)[at];
      }
      if (p != cImg::kKey) screen[static_cast<size_t>(y) * 240 + static_cast<size_t>(x)] = p;
    }
  }
}

}  // namespace

TEST(cImg, RowLoopsEqualThePixelWalkForRandomSprites) {
  Screen screen;
  uint32_t seed = 2024;
  auto rnd = [&](int n) { return static_cast<int>(((seed = seed * 1664525u + 1013904223u) >> 8) % n); };
  for (int trial = 0; trial < 600; ++trial) {
    cImg img;
    const int iw = 1 + rnd(70), ih = 1 + rnd(50);
    const bool indexed = trial % 5 == 4;
    if (indexed) {
      // Palettes short and long (one register's 64 entries, more, and past
      // the 256 an index reaches); indices past the colours are skipped.
      static const int kCounts[] = {6, 64, 65, 200, 256, 300};
      const int count = kCounts[rnd(6)], keyAt = rnd(count);
      std::vector<uint8_t> bytes = {0, 0, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                                    static_cast<uint8_t>(iw), 0, static_cast<uint8_t>(ih), 0};
      for (int c = 0; c < count; ++c) {
        const uint16_t v = c == keyAt ? cImg::kKey : static_cast<uint16_t>(rnd(65536));
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
      }
      const int reach = count + 8 < 256 ? count + 8 : 256;
      for (int i = 0; i < iw * ih; ++i) bytes.push_back(static_cast<uint8_t>(rnd(reach)));
      BufferStream stream(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
      ASSERT_TRUE(img.load(&stream));
    } else {
      ASSERT_TRUE(img.fromArgb(nullptr, iw, ih));
      // Runs of the key and of colours, as sprites have them.
      uint16_t* px = static_cast<uint16_t*>(img.data);
      for (int i = 0; i < iw * ih;) {
        const int run = 1 + rnd(12);
        const bool key = rnd(3) == 0;
        for (int k = 0; k < run && i < iw * ih; ++k, ++i) px[i] = key ? cImg::kKey : static_cast<uint16_t>(rnd(65536));
      }
    }
    const int clipX = rnd(260) - 10, clipY = rnd(340) - 10, clipW = rnd(260), clipH = rnd(340);
    const int sx = rnd(iw + 2) - 1, sy = rnd(ih + 2) - 1, w = rnd(iw + 10), h = rnd(ih + 10);
    const int x = rnd(300) - 40, y = rnd(380) - 40, flags = rnd(8);
    screen.fill(kBg);
    std::vector<uint16_t> want = screen.block(0, 0, 240, 320);
    drawReference(img, want, clipX, clipY, clipW, clipH, sx, sy, w, h, x, y, flags);
    screen.g()->setClip(clipX, clipY, clipW, clipH);
    img.draw(screen.g(), sx, sy, w, h, x, y, flags);
    ASSERT_EQ(screen.block(0, 0, 240, 320), want) << "trial " << trial;
  }
}

// Indexed modules wide enough for the palette-table rows, in view and cut
// by the clip, every mirror flag, palettes of each size the table treats
// apart (one register's 64 entries, more, all 256, longer than an index
// reaches) with the key at either end and indices past the colours.
TEST(cImg, IndexedRowsEqualThePixelWalkForEveryPaletteSize) {
  Screen screen;
  uint32_t seed = 77;
  auto rnd = [&](int n) { return static_cast<int>(((seed = seed * 1664525u + 1013904223u) >> 8) % n); };
  struct Case {
    int colours, keyAt;
  };
  const Case cases[] = {{6, 2}, {64, 0}, {64, 63}, {65, 64}, {200, 150}, {256, 255}, {300, 10}};
  for (const Case& c : cases) {
    for (int trial = 0; trial < 24; ++trial) {
      const int iw = 32 + rnd(90), ih = 1 + rnd(12);
      std::vector<uint8_t> bytes = {0, 0, static_cast<uint8_t>(c.colours), static_cast<uint8_t>(c.colours >> 8),
                                    static_cast<uint8_t>(iw), 0, static_cast<uint8_t>(ih), 0};
      for (int k = 0; k < c.colours; ++k) {
        const uint16_t v = k == c.keyAt ? cImg::kKey : static_cast<uint16_t>(rnd(65536));
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
      }
      const int reach = c.colours + 8 < 256 ? c.colours + 8 : 256;
      for (int i = 0; i < iw * ih; ++i) bytes.push_back(static_cast<uint8_t>(rnd(reach)));
      BufferStream stream(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
      cImg img;
      ASSERT_TRUE(img.load(&stream));
      const bool clipped = trial % 3 == 2;
      const int clipX = clipped ? rnd(40) : 0, clipW = clipped ? 150 + rnd(90) : 240;
      const int x = rnd(240 - iw + 1) + (clipped ? rnd(30) - 15 : 0), y = rnd(300), flags = trial % 8;
      screen.fill(kBg);
      std::vector<uint16_t> want = screen.block(0, 0, 240, 320);
      drawReference(img, want, clipX, 0, clipW, 320, 0, 0, iw, ih, x, y, flags);
      screen.g()->setClip(clipX, 0, clipW, 320);
      img.draw(screen.g(), 0, 0, iw, ih, x, y, flags);
      ASSERT_EQ(screen.block(0, 0, 240, 320), want) << c.colours << " colours, trial " << trial;
    }
  }
}
