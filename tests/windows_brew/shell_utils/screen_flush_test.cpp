#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "windows_brew/ScreenFlush.h"
#include "windows_brew/ShellHost.h"

namespace {

class TestBitmap : public DibBitmap {
 public:
  TestBitmap(int w, int h, int bits) : store(static_cast<std::size_t>(w) * h * (bits / 8)) {
    width = static_cast<uint16_t>(w);
    height = static_cast<uint16_t>(h);
    depth = static_cast<uint8_t>(bits);
    pitch = w * (bits / 8);
    pixels = store.data();
  }
  void release() override { ++releases; }
  void invalidate(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t a, uint32_t b) override {
    invalidated.push_back({x, y, w, h, static_cast<int32_t>(a), static_cast<int32_t>(b)});
  }
  DibBitmap* createCompatible(int32_t w, int32_t h) override {
    created = new TestBitmap(w, h, depth);
    return created;
  }
  uint16_t px16(int x, int y) const {
    uint16_t v;
    std::memcpy(&v, store.data() + y * pitch + x * 2, 2);
    return v;
  }
  uint32_t px32(int x, int y) const {
    uint32_t v;
    std::memcpy(&v, store.data() + y * pitch + x * 4, 4);
    return v;
  }
  void fill16(uint16_t v) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) std::memcpy(store.data() + y * pitch + x * 2, &v, 2);
  }
  std::vector<uint8_t> store;
  int releases = 0;
  std::vector<std::vector<int32_t>> invalidated;
  TestBitmap* created = nullptr;
};

class TestDisplay : public DisplayInterface {
 public:
  explicit TestDisplay(TestBitmap* d) : device(d) {}
  void addRef() override { ++refs; }
  void release() override { --refs; }
  DibBitmap* getDeviceBitmap() override {
    ++gets;
    return device;
  }
  DibBitmap* createBitmap(int32_t bits, int32_t w, int32_t h) override {
    created = new TestBitmap(w, h, bits);
    return created;
  }
  void drawRect(const ShellRect* r, uint32_t frame, uint32_t fill, uint32_t flags) override {
    rects.push_back({r->x, r->y, r->dx, r->dy, static_cast<int32_t>(frame), static_cast<int32_t>(fill),
                     static_cast<int32_t>(flags)});
  }
  void update(int32_t f) override { updates.push_back(f); }
  TestBitmap* device;
  TestBitmap* created = nullptr;
  int refs = 0, gets = 0;
  std::vector<std::vector<int32_t>> rects;
  std::vector<int32_t> updates;
};

TEST(Scaler, UniformWhiteLosesTheLowBits) {
  TestBitmap src(5, 5, 16), dst(8, 8, 16);
  src.fill16(0xFFFF);
  EXPECT_EQ(scaleBilinear565(&dst, 0, 0, 8, 8, &src, 0, 0, 4, 4), 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) EXPECT_EQ(dst.px16(x, y), 0xF7DE);
}

TEST(Scaler, SelectorsPickByWidthAndDepth) {
  TestBitmap src(4, 5, 16);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 4; ++x) {
      uint16_t v = static_cast<uint16_t>(y * 0x0841 * 4);
      std::memcpy(src.store.data() + y * src.pitch + x * 2, &v, 2);
    }
  // Same width: only the vertical blend; rows are weighted by fy.
  TestBitmap a(4, 8, 16), b(4, 8, 16);
  scaleSmooth(&a, 0, 0, 4, 8, &src, 0, 0, 4, 4);
  scaleVertical565(&b, 0, 0, 4, 8, &src, 0, 0, 4, 4);
  EXPECT_EQ(a.store, b.store);
  // Row 1 of the output sits half way between source rows 0 and 1.
  uint16_t r0 = src.px16(0, 0), r1 = src.px16(0, 1);
  auto mix = [](uint16_t p, uint16_t q, int shift, int mask) {
    return (127 * ((p >> shift) & mask) + 128 * ((q >> shift) & mask)) >> 8;
  };
  EXPECT_EQ(a.px16(0, 1), mix(r0, r1, 11, 31) << 11 | mix(r0, r1, 5, 63) << 5 | mix(r0, r1, 0, 31));
  TestBitmap c(8, 8, 16), d(8, 8, 16);
  scaleSmooth(&c, 0, 0, 8, 8, &src, 0, 0, 4, 4);
  scaleBilinear565(&d, 0, 0, 8, 8, &src, 0, 0, 4, 4);
  EXPECT_EQ(c.store, d.store);
  // By depth: 32-bit destinations get the 32-bit writers.
  TestBitmap e(8, 8, 32), f(8, 8, 32);
  scaleByDepth(&e, 0, 0, 8, 8, &src, 0, 0, 4, 4);
  scaleBilinearTo32(&f, 0, 0, 8, 8, &src, 0, 0, 4, 4);
  EXPECT_EQ(e.store, f.store);
  TestBitmap g(4, 8, 16), h(4, 8, 16);
  scaleByDepth(&g, 0, 0, 4, 8, &src, 0, 0, 4, 4);
  scaleVerticalFast565(&h, 0, 0, 4, 8, &src, 0, 0, 4, 4);
  EXPECT_EQ(g.store, h.store);
}

TEST(Scaler, FastAndCoarseWhiteValues) {
  TestBitmap src(3, 3, 16), dst(2, 2, 16), dst32(2, 2, 32);
  src.fill16(0xFFFF);
  // At the sample points fx = fy = 0: the weights are 7 x 3 and 7 x 7.
  scaleBilinearFast565(&dst, 0, 0, 2, 2, &src, 0, 0, 2, 2);
  uint32_t s = (((0xFFFFu >> 5) + (0xFFFFu << 11)) & 0x07C0F83Fu) * 7 * 3;
  EXPECT_EQ(dst.px16(0, 0), static_cast<uint16_t>(((s >> 16) & 0xF81F) + (s & 0x7E0)));
  scaleBilinearCoarse565(&dst, 0, 0, 2, 2, &src, 0, 0, 2, 2);
  uint32_t c = (((0xFFFFu >> 6) + (0xFFFFu << 10)) & 0x03E0781Fu) * 7 * 7;
  EXPECT_EQ(dst.px16(0, 0), static_cast<uint16_t>(((c >> 16) & 0xF81E) + (c & 0x7C0)));
  scaleBilinearTo32(&dst32, 0, 0, 2, 2, &src, 0, 0, 2, 2);
  EXPECT_EQ(dst32.px32(0, 0), ((s >> 8) & 0xF80000u) + ((s << 5) & 0xFC00u) + ((s >> 13) & 0xF8u));
}

TEST(Scaler, NearestCopiesAndRefusesDegenerateSizes) {
  TestBitmap src(2, 2, 16), dst(4, 4, 16);
  uint16_t v[4] = {1, 2, 3, 4};
  std::memcpy(src.store.data(), v, 8);
  EXPECT_EQ(scaleNearest(&dst, 0, 0, 4, 4, &src, 0, 0, 2, 2), 1);
  EXPECT_EQ(dst.px16(0, 0), 1);
  EXPECT_EQ(dst.px16(1, 1), 1);
  EXPECT_EQ(dst.px16(2, 0), 2);
  EXPECT_EQ(dst.px16(3, 3), 4);
  ASSERT_EQ(dst.invalidated.size(), 1u);
  EXPECT_EQ(dst.invalidated[0], (std::vector<int32_t>{0, 0, 4, 4, 0, 7}));
  // A step that rounds to 0 or a zero size draws nothing.
  TestBitmap big(600, 1, 16);
  EXPECT_EQ(scaleNearest(&dst, 0, 0, 1, 1, &big, 0, 0, 600, 1), 0);
  EXPECT_EQ(scaleNearest(&dst, 0, 0, 4, 4, &src, 0, 0, 0, 2), 0);
  EXPECT_EQ(scaleBilinear565(&dst, 0, 0, 0, 4, &src, 0, 0, 2, 2), 1);
}

TEST(ScreenFlush, SameSizeDeviceIsModeZero) {
  TestBitmap device(240, 324, 16);
  TestDisplay display(&device);
  ScreenFlush f;
  f.init(240, 320, &display);
  EXPECT_EQ(f.mode(), ScreenFlush::kSameBitmap);
  EXPECT_EQ(f.getBackBitmap(), &device);
  EXPECT_EQ(display.refs, 1);
  device.fill16(0x1234);
  f.flush();
  // Nothing copied; the four rows below are filled.
  EXPECT_EQ(device.px16(0, 0), 0x1234);
  ASSERT_EQ(display.rects.size(), 1u);
  EXPECT_EQ(display.rects[0], (std::vector<int32_t>{0, 320, 240, 4, -1, 0, 2}));
  EXPECT_EQ(device.invalidated.back(), (std::vector<int32_t>{0, 0, 240, 324, 0, 7}));
  EXPECT_EQ(display.updates, std::vector<int32_t>{0});
  f.release();
  EXPECT_EQ(display.refs, 0);
}

TEST(ScreenFlush, OtherSizesScaleByDepth) {
  TestBitmap device(480, 640, 16);
  TestDisplay display(&device);
  ScreenFlush f;
  f.init(240, 320, &display);
  EXPECT_EQ(f.mode(), ScreenFlush::kByDepth);
  ASSERT_NE(device.created, nullptr);
  EXPECT_EQ(f.getBackBitmap(), device.created);
  EXPECT_EQ(device.created->height, 321);
  device.created->fill16(0xFFFF);
  f.flush();
  EXPECT_NE(device.px16(100, 100), 0);
  EXPECT_TRUE(display.rects.empty());
  f.release();
  delete device.created;

  TestBitmap device32(480, 640, 32);
  TestDisplay display32(&device32);
  ScreenFlush g;
  g.init(240, 320, &display32);
  EXPECT_EQ(g.mode(), ScreenFlush::kByDepth);
  ASSERT_NE(display32.created, nullptr);
  EXPECT_EQ(display32.created->colourScheme, 16);
  g.release();
  delete display32.created;
}

}  // namespace
