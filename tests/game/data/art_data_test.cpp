// The data set's sprite archives: every entry of the manifest is there and
// offers what the loading steps and screens read of it.
#include <cstdlib>

#include "DataFixture.h"
#include "tests/zul/sprite/SpriteTestUtil.h"
#include "tools/art/Placeholder.h"
#include "tools/mkdata/DataSet.h"
#include "zul/2d/ASprite.h"

namespace {

struct Loaded {
  std::unique_ptr<ASprite> bank;
  std::vector<std::pair<int, int>> moduleSizes;
};

TEST_F(DataTest, DataSetSpriteArchives) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/ig.bar")) GTEST_SKIP() << "no data set";
  const std::string assets = std::string(KV_SOURCE_DIR) + "/assets";
  mkdata::Manifest manifest = mkdata::loadManifest(assets + "/data/archives.txt");
  auto specs = art::loadPlaceholderSpecs(assets + "/art/placeholders.txt");
  spritetest::Screen screen;
  ASSERT_EQ(manifest.archives.size(), 7u);
  for (const mkdata::ArchiveSpec& a : manifest.archives) {
    SCOPED_TRACE(a.name);
    std::filesystem::copy_file(std::string(data) + "/" + a.name, path(a.name));
    ASSERT_EQ(loadBar(*game, a.name.c_str()), 1);
    ASSERT_EQ(game->files.bar.count, a.entries + 1);
    std::map<int, Loaded> banks;
    for (const auto& [e, src] : a.sources) {
      SCOPED_TRACE(e);
      const int32_t size = getBarEntrySize(*game, e);
      if (src.kind == "empty") {
        EXPECT_EQ(size, 0);
        continue;
      }
      ASSERT_GT(size, 0);
      if (src.kind == "charmap") continue;  // the font test reads it
      Loaded l;
      l.bank = std::make_unique<ASprite>();
      ASSERT_TRUE(l.bank->load(game->files.bar.data, static_cast<uint32_t>(getBarEntryOffset(*game, e)),
                               static_cast<uint32_t>(size)));
      ASprite& b = *l.bank;
      EXPECT_LE(b.moduleCount, 256);
      for (int m = 0; m < b.moduleCount; ++m) {
        EXPECT_LE(b.getModuleWidth(m) * b.getModuleHeight(m), spritebank::kMaxModulePixels);
        l.moduleSizes.push_back({b.getModuleWidth(m), b.getModuleHeight(m)});
      }
      if (src.kind == "font") {
        EXPECT_EQ(b.paletteCount, 3);
        continue;
      }
      art::PlaceholderSpec counts = art::placeholderSpec(specs, a.name, e);
      EXPECT_GE(b.frameCount, counts.frames);
      EXPECT_GE(b.animCount, counts.anims);
      EXPECT_GE(b.paletteCount, counts.palettes);
      for (int k = 0; k < b.animCount; ++k) {
        ASSERT_GT(b.getAnimFrameCount(k), 0);
        for (int n = 0; n < b.getAnimFrameCount(k); ++n) {
          EXPECT_LT(b.getAnimFrameIndex(k, n), b.frameCount);
          // Only the last frame may be held for ever.
          if (n + 1 < b.getAnimFrameCount(k)) {
            EXPECT_GE(b.getAnimFrameTime(k, n), 1);
          }
        }
      }
      for (int p = 0; p < b.paletteCount; ++p) b.buildCacheImages(p, 0, -1, -1);
      b.paintFrame(screen.g(), 0, 120, 160, 0);
      banks.emplace(e, std::move(l));
    }
    // Alpha sources: 8 bits a pixel, 128 levels, modules shaped like each bank they serve.
    for (const auto& [e, src] : a.sources) {
      if (src.kind != "alpha") continue;
      SCOPED_TRACE(e);
      const Loaded& alpha = banks.at(e);
      EXPECT_EQ(alpha.bank->encoding, spritebank::kEnc8Bit);
      EXPECT_EQ(alpha.bank->coloursPerPalette, 128);
      for (const std::string& s : src.args) {
        Loaded& served = banks.at(std::stoi(s));
        EXPECT_EQ(served.moduleSizes, alpha.moduleSizes) << s;
        ASprite fresh;
        ASSERT_TRUE(fresh.load(game->files.bar.data, static_cast<uint32_t>(getBarEntryOffset(*game, std::stoi(s))),
                               static_cast<uint32_t>(getBarEntrySize(*game, std::stoi(s)))));
        fresh.buildCacheImagesWithAlpha(0, 0, -1, -1, alpha.bank.get());
        EXPECT_TRUE(fresh.usesRgbImages);
      }
    }
    unloadBar(*game);
  }
  // The loading bar's animation ends (every frame time at least 1).
  ASSERT_EQ(loadBar(*game, "i.bar"), 1);
  ASprite loading;
  ASSERT_TRUE(loading.load(game->files.bar.data, static_cast<uint32_t>(getBarEntryOffset(*game, 6)),
                           static_cast<uint32_t>(getBarEntrySize(*game, 6))));
  for (int n = 0; n < loading.getAnimFrameCount(0); ++n) EXPECT_GE(loading.getAnimFrameTime(0, n), 1);
}

}  // namespace
