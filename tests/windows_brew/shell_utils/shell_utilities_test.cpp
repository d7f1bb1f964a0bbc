#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "windows_brew/ShellHost.h"
#include "windows_brew/ShellUtilities.h"

namespace {

TEST(KeyBitTracker, LatchPressedReleased) {
  KeyBitTracker k;
  EXPECT_EQ(KeyBitTracker::keyBit(65), 0u);
  EXPECT_EQ(KeyBitTracker::keyBit(48), 0x1u);
  EXPECT_EQ(KeyBitTracker::keyBit(57), 0x200u);
  EXPECT_EQ(KeyBitTracker::keyBit(0xE048), 0x1000000u);
  k.keyDown(38);
  k.latch();
  EXPECT_EQ(k.pressed(), 0x20000u);
  EXPECT_EQ(k.isPressed(0x20000), 1);
  k.latch();
  EXPECT_EQ(k.pressed(), 0u);
  EXPECT_EQ(k.previous(), 0x20000u);
  k.keyUp();
  k.latch();
  EXPECT_EQ(k.released(), 0x20000u);
  // One key at a time: a new key replaces the last.
  k.keyDown(37);
  k.keyDown(50);
  EXPECT_EQ(k.current(), 0x4u);
  k.latch();
  k.clear(0x4);
  EXPECT_EQ(k.current() | k.previous() | k.pressed() | k.released(), 0u);
  k.keyDown(13);
  k.latch();
  k.reset();
  EXPECT_EQ(k.current() | k.previous() | k.pressed() | k.released(), 0u);
}

// A resource file with texts for the cache, through the shell's resource index.
class StringCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = ::testing::TempDir();
    path = dir + "kv_res.bin";
    // count, then 20-byte records {id, length, unused, offset, unused}, then texts.
    const char* texts[] = {"A~B", "plain"};
    uint32_t ids[] = {12, 49};
    std::string data;
    auto u32 = [&](uint32_t v) { data.append(reinterpret_cast<const char*>(&v), 4); };
    u32(2);
    uint32_t offset = 4 + 2 * 20;
    for (int i = 0; i < 2; ++i) {
      u32(ids[i]);
      u32(static_cast<uint32_t>(std::strlen(texts[i])));
      u32(0);
      u32(offset);
      u32(0);
      offset += static_cast<uint32_t>(std::strlen(texts[i]));
    }
    for (const char* t : texts) data += t;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(data.data(), 1, data.size(), f);
    std::fclose(f);
  }
  std::string dir, path;
};

TEST_F(StringCacheTest, TildeBecomesNewlineAndTextsStay) {
  uint8_t running = 1;
  ShellHost shell(&running);
  shell.openResourceFile(path.c_str());
  ResourceStringCache cache;
  const char* a = cache.getString(12);
  ASSERT_NE(a, nullptr);
  EXPECT_STREQ(a, "A\nB");
  EXPECT_EQ(cache.getString(12), a);  // the same block again
  EXPECT_STREQ(cache.getString(49), "plain");
  EXPECT_STREQ(cache.getString(20), "");  // not in the file
  EXPECT_EQ(cache.getString(9), nullptr);
  EXPECT_EQ(cache.getString(50), nullptr);
}

TEST(ImageHandle, WrapsABitmapReference) {
  uint8_t running = 1;
  ShellHost shell(&running);
  ImageHandle empty;
  testing::internal::CaptureStdout();
  EXPECT_EQ(empty.getBitmap(), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "NO IMAGE!\n");
  auto* bitmap = new ShellBitmap(6, 4);
  bitmap->addRef();  // one for the handle, one kept here
  {
    ImageHandle h;
    h.init(bitmap);
    EXPECT_EQ(h.getWidth(), 6);
    EXPECT_EQ(h.getHeight(), 4);
    EXPECT_EQ(h.getColourCount(), 256);
    EXPECT_EQ(h.getBitmap(), bitmap);
  }
  EXPECT_EQ(bitmap->refCount(), 1);
  bitmap->release();
  // No imaging factory: nothing loads.
  ImageLoader loader(1, 2);
  EXPECT_EQ(loader.load(5), nullptr);
  EXPECT_EQ(loader.loadBitmap(5), nullptr);
  EXPECT_EQ(loader.loadFromSource(1, 2), nullptr);
}

}  // namespace

namespace {
TEST(ImageLoader, KeepsItsWords) {
  ImageLoader loader(7, 9);
  EXPECT_EQ(loader.first(), 7u);
  EXPECT_EQ(loader.second(), 9u);
  ResourceStringCache cache;
  EXPECT_EQ(cache.firstWord(), 0u);
}
}  // namespace
