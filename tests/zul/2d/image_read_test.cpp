#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Surface.h"
#include "tools/image/ImageWriter.h"
#include "zul/2d/IndexedImage.h"
#include "zul/2d/TargaImage.h"
#include "zul/io/BufferStream.h"

using namespace kv2d;
using kvtools::writeIndexedImage;
using kvtools::writeRgbImage;
using kvtools::writeRgbImage16;
using kvtools::writeTarga;

namespace {

std::unique_ptr<Image> loadBytes(std::vector<uint8_t> bytes) {
  BufferStream s(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  return std::unique_ptr<Image>(Image::load(&s));
}

// 3 x 2 indices 0..5 over a six-colour palette.
std::vector<uint8_t> sixColours(int32_t key = -1) {
  return writeIndexedImage(3, 2, {0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF808080},
                           {0, 1, 2, 3, 4, 5}, key);
}

}  // namespace

TEST(ImageRead, IndexedRoundTrip) {
  auto img = loadBytes(sixColours(3));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->getKind(), Image::k_kindIndexed);
  EXPECT_EQ(img->getWidth(), 3);
  EXPECT_EQ(img->getHeight(), 2);
  EXPECT_EQ(img->getPitch(), 3);
  EXPECT_EQ(img->getKey(), 3);
  EXPECT_TRUE(img->hasKey());
  EXPECT_EQ(img->getColourCount(), 6);
  const uint16_t* pal = img->getPalette();
  EXPECT_EQ(pal[1], 0xF800);
  EXPECT_EQ(pal[5], 0x8410);
  EXPECT_EQ(pal[6], 0);  // zero-filled beyond the count
  Surface s(3, 2, 0x1234);
  s.g().drawRegion(img.get(), 0, 0, 3, 2, 0, 0, 0);
  EXPECT_EQ(s.at(0, 0), 0x0000);
  EXPECT_EQ(s.at(1, 0), 0xF800);
  EXPECT_EQ(s.at(0, 1), 0x1234);  // index 3 is the key
  EXPECT_EQ(s.at(2, 1), 0x8410);
}

TEST(ImageRead, IndexedDrawModes) {
  // Key 0 leaves index 0 alone; colour alpha 128 blends.
  auto img = loadBytes(writeIndexedImage(2, 1, {0xFFFFFFFF, 0xFFFFFFFF}, {0, 1}, 0));
  ASSERT_NE(img, nullptr);
  Surface s(2, 1, 0);
  s.g().setAlpha(128);
  s.g().drawRegion(img.get(), 0, 0, 2, 1, 0, 0, 0);
  EXPECT_EQ(s.at(0, 0), 0);
  EXPECT_EQ(s.at(1, 0), (15 << 11) | (31 << 5) | 15);
  // Palette offset: entry 1 onward; at or past the count nothing is drawn.
  auto six = loadBytes(sixColours());
  Surface t(3, 2, 0x1234);
  t.g().drawRegion(six.get(), 0, 0, 3, 1, 0, 0, 0, 1);
  EXPECT_EQ(t.at(0, 0), 0xF800);
  TraceCapture cap;
  t.g().drawRegion(six.get(), 0, 1, 3, 1, 0, 0, 1, 6);
  EXPECT_TRUE(cap.has("1032:graphics"));
  EXPECT_EQ(t.at(0, 1), 0x1234);
  // Indices past the colour count read the zero-filled palette.
  auto few = loadBytes(writeIndexedImage(2, 1, {0xFFFFFFFF}, {255, 0}));
  ASSERT_NE(few, nullptr);
  Surface u(2, 1, 0x1234);
  u.g().drawRegion(few.get(), 0, 0, 2, 1, 0, 0, 0);
  EXPECT_EQ(u.at(0, 0), 0);
  EXPECT_EQ(u.at(1, 0), 0xFFFF);
}

TEST(ImageRead, RotatedIndexedRegionAtAngleZeroIsExact) {
  std::vector<uint8_t> idx;
  std::vector<uint32_t> pal;
  for (int i = 0; i < 35; ++i) {
    idx.push_back(static_cast<uint8_t>(i));
    pal.push_back(0xFF000000u | static_cast<uint32_t>(i * 0x070503));
  }
  auto img = loadBytes(writeIndexedImage(7, 5, pal, idx));
  ASSERT_NE(img, nullptr);
  Surface s(16, 16, 0xFFFF);
  s.g().drawRotatedRegion(img.get(), 1, 1, 5, 3, 0, 4, 6, 5, 3, 0, 0, 0);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const bool inside = x >= 4 && x < 9 && y >= 6 && y < 9;
      const uint16_t want = inside ? img->getPalette()[(y - 6 + 1) * 7 + (x - 4 + 1)] : 0xFFFF;
      EXPECT_EQ(s.at(x, y), want) << x << "," << y;
    }
}

TEST(ImageRead, DirectColourRoundTrip) {
  auto img = loadBytes(writeRgbImage16(0, 2, 2, {0x1111, 0x2222, 0x3333, 0x4444}));
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->getKind(), Image::k_kindRgb);
  EXPECT_EQ(img->getBitsPerPixel(), 16);
  EXPECT_EQ(img->getPitch(), 4);
  Surface s(2, 2);
  s.g().drawRegion(img.get(), 0, 0, 2, 2, 3, 0, 0);
  EXPECT_EQ(s.at(0, 0), 0x4444);
  EXPECT_EQ(s.at(1, 1), 0x1111);
}

TEST(ImageRead, RefusedVariants) {
  TraceCapture cap;
  EXPECT_EQ(loadBytes(writeIndexedImage(1, 1, {0}, {0}, -1, 0x10)), nullptr);
  EXPECT_TRUE(cap.has("32:Image"));
  EXPECT_TRUE(cap.has("42:Image"));
  auto direct = loadBytes(writeRgbImage16(0x10, 1, 1, {7}));
  EXPECT_TRUE(cap.has("39:Image"));
  ASSERT_NE(direct, nullptr);
  EXPECT_EQ(direct->getWidth(), 1);
}

TEST(ImageRead, BadDataGivesNull) {
  // Every truncation of a good record.
  for (const auto& good : {sixColours(2), writeRgbImage16(0, 2, 2, {1, 2, 3, 4})}) {
    for (size_t n = 0; n < good.size(); ++n) {
      std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
      EXPECT_EQ(loadBytes(cut), nullptr) << "length " << n;
    }
  }
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> tooMany = writeIndexedImage(1, 1, std::vector<uint32_t>(257, 0), {0});
  std::vector<uint8_t> negativeCount = writeIndexedImage(1, 1, {}, {0});
  negativeCount[6] = 0xFF;
  negativeCount[7] = 0xFF;
  std::vector<uint8_t> negativeWidth = writeIndexedImage(1, 1, {0}, {0});
  negativeWidth[3] = 0x80;
  std::vector<uint8_t> zeroHeight = writeRgbImage16(0, 1, 0, {});
  std::vector<uint8_t> badDepth = writeRgbImage16(0, 1, 1, {0});
  badDepth[0] = 12;
  std::vector<uint8_t> widePitch = writeRgbImage(32, 0, 20000, 1, std::vector<uint8_t>(80000, 0));
  const Case cases[] = {{"257 colours", tooMany},    {"negative count", negativeCount},
                        {"negative width", negativeWidth}, {"zero height", zeroHeight},
                        {"depth 12", badDepth},       {"pitch past 16 bits", widePitch}};
  for (const Case& c : cases) EXPECT_EQ(loadBytes(c.bytes), nullptr) << c.name;
  EXPECT_EQ(Image::load(nullptr), nullptr);
}

TEST(ImageRead, IndexedImageReports) {
  TraceCapture cap;
  IndexedImage a(0);
  EXPECT_TRUE(cap.has("17:IndexedImage"));
  a.unsupported();
  EXPECT_TRUE(cap.has("68:IndexedImage"));
  EXPECT_EQ(a.getPixels(), nullptr);
}

// ---- Targa ----

namespace {

std::vector<uint32_t> greyRamp() {
  std::vector<uint32_t> p(256);
  for (int i = 0; i < 256; ++i) p[i] = static_cast<uint32_t>(i * 0x010101);
  return p;
}

}  // namespace

TEST(Targa, ReadsTheSubset) {
  auto pal = greyRamp();
  pal[7] = 0xFF00FF;
  pal[200] = 0xFF00FF;
  std::vector<uint8_t> bytes = writeTarga(3, 2, pal, {10, 20, 30, 40, 50, 60}, "an id");
  const std::vector<uint8_t> original = bytes;
  BufferStream s(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  TargaImage t;
  ASSERT_TRUE(t.read(&s));
  EXPECT_EQ(t.getKey(), 200);  // the last magenta entry wins
  EXPECT_TRUE(t.hasKey());
  EXPECT_EQ(t.getWidth(), 3);
  EXPECT_EQ(t.getHeight(), 2);
  EXPECT_EQ(t.getPitch(), 3);
  EXPECT_EQ(t.getBitsPerPixel(), 8);
  EXPECT_EQ(t.getColourCount(), 256);
  EXPECT_EQ(t.getPalette()[10], rgbToRgb565(10, 10, 10));
  EXPECT_EQ(t.getPalette()[7], 0xF81F);
  EXPECT_EQ(t.getGraphics(), nullptr);
  // Rows are stored bottom-up.
  EXPECT_EQ(static_cast<uint8_t*>(t.getPixels())[0], 40);
  // The buffer is left as it was, so it reads the same again.
  EXPECT_EQ(bytes, original);
  BufferStream s2(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  TargaImage again;
  ASSERT_TRUE(again.read(&s2));
  EXPECT_EQ(again.getPalette()[10], t.getPalette()[10]);
}

TEST(Targa, RefusedAndShortData) {
  auto good = writeTarga(2, 2, greyRamp(), {1, 2, 3, 4});
  struct Case {
    const char* name;
    int at;
    uint8_t value;
  };
  const Case cases[] = {{"colour-map type 0", 1, 0}, {"run-length image", 2, 9}, {"map length 255", 5, 255},
                        {"16-bit entries", 7, 16},   {"depth 16", 16, 16},       {"width 0", 12, 0}};
  for (const Case& c : cases) {
    auto bytes = good;
    bytes[c.at] = c.value;
    if (c.at == 12) bytes[13] = 0;
    BufferStream s(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
    TargaImage t;
    EXPECT_FALSE(t.read(&s)) << c.name;
    EXPECT_EQ(t.getHeader(), nullptr);
    EXPECT_EQ(t.getWidth(), 0);
    EXPECT_EQ(t.getPixels(), nullptr);
    Surface out(4, 4, 0x1234);
    t.draw(&out.g(), 0, 0, 16384);
    EXPECT_EQ(out.at(0, 0), 0x1234);
  }
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    BufferStream s(BufferStream::kRead, static_cast<int32_t>(cut.size()), cut.data());
    TargaImage t;
    EXPECT_FALSE(t.read(&s)) << "length " << n;
  }
  // A long ID field that runs past the data.
  auto id = writeTarga(2, 2, greyRamp(), {1, 2, 3, 4}, std::string(200, 'x'));
  id.resize(18 + 100);
  BufferStream s(BufferStream::kRead, static_cast<int32_t>(id.size()), id.data());
  TargaImage t;
  EXPECT_FALSE(t.read(&s));
}

TEST(Targa, DrawsScaledAndClipped) {
  auto pal = greyRamp();
  pal[9] = 0xFF00FF;  // key
  auto bytes = writeTarga(2, 2, pal, {8, 16, 24, 9});
  BufferStream s(BufferStream::kRead, static_cast<int32_t>(bytes.size()), bytes.data());
  TargaImage t;
  ASSERT_TRUE(t.read(&s));
  // Scale 1.0 about the image's own corner: a copy, the key skipped.
  Surface a(4, 4, 0x1234);
  t.setOrigin(1, 1);
  t.draw(&a.g(), 1, 1, 16384);
  EXPECT_EQ(a.at(1, 1), rgbToRgb565(8, 8, 8));
  EXPECT_EQ(a.at(2, 1), rgbToRgb565(16, 16, 16));
  EXPECT_EQ(a.at(1, 2), rgbToRgb565(24, 24, 24));
  EXPECT_EQ(a.at(2, 2), 0x1234);
  EXPECT_EQ(a.at(0, 0), 0x1234);
  EXPECT_EQ(a.at(3, 3), 0x1234);
  // Scale 2.0 about the origin (0, 0): each texel covers 2 x 2 pixels.
  Surface b(4, 4, 0x1234);
  t.setOrigin(0, 0);
  t.draw(&b.g(), 0, 0, 32768);
  EXPECT_EQ(b.at(1, 1), rgbToRgb565(8, 8, 8));
  EXPECT_EQ(b.at(3, 0), rgbToRgb565(16, 16, 16));
  EXPECT_EQ(b.at(0, 3), rgbToRgb565(24, 24, 24));
  // Larger than the target and partly off it: only the clip is written.
  Surface c(6, 6, 0x1234);
  c.g().setClip(1, 1, 3, 3);
  t.setOrigin(-3, -2);
  t.draw(&c.g(), -3, -2, 16384 * 5);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 1 && y < 4;
      if (!inside) {
        EXPECT_EQ(c.at(x, y), 0x1234) << x << "," << y;
      }
    }
  EXPECT_EQ(c.at(1, 1), rgbToRgb565(8, 8, 8));
}
