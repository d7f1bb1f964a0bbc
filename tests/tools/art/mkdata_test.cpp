// The sprite-archive manifest and the data-set build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tools/art/Placeholder.h"
#include "tools/art/Recipe.h"
#include "tools/mkdata/DataSet.h"

namespace {

std::string manifestError(const std::string& text) {
  try {
    mkdata::parseManifest(text, "archives.txt");
  } catch (const art::ArtError& e) {
    return e.what();
  }
  return "";
}

TEST(Manifest, BadManifestsFailWithTheirLine) {
  const std::pair<std::string, const char*> cases[] = {
      {"archive a.bar 2\na.bar 0 empty\na.bar 0 placeholder\na.bar 1 empty\n", "archives.txt:3: a.bar 0 listed twice"},
      {"archive a.bar 3\na.bar 0 empty\na.bar 2 empty\n", "archives.txt:1: a.bar entry 1 is missing"},
      {"archive a.bar 1\na.bar 1 empty\n", "archives.txt:2: a.bar has 1 entries"},
      {"archive a.bar 1\nb.bar 0 empty\n", "archives.txt:2: archive b.bar is not declared"},
      {"archive a.bar 1\na.bar 0 picture x\n", "archives.txt:2: unknown source 'picture'"},
      {"archive a.bar 1\na.bar 0 font 2\n", "archives.txt:2: font 0 or font 1"},
      {"archive a.bar 2\na.bar 0 alpha 0\na.bar 1 empty\n", "archives.txt:2: bad served entry"},
      {"archive a.bar 1\narchive a.bar 1\n", "archives.txt:2: archive a.bar declared twice"},
      {"archive a.bar 1\na.bar x empty\n", "archives.txt:2: bad entry number"},
  };
  for (const auto& [text, want] : cases) {
    std::string e = manifestError(text);
    EXPECT_NE(e.find(want), std::string::npos) << e;
  }
  mkdata::Manifest m = mkdata::parseManifest("archive a.bar 2  # two\na.bar 1 art x.art\na.bar 0 empty\n", "m");
  ASSERT_EQ(m.archives.size(), 1u);
  EXPECT_EQ(m.archives[0].sources.at(1).args, std::vector<std::string>{"x.art"});
}

TEST(Manifest, PlaceholderSpecs) {
  auto specs = art::parsePlaceholderSpecs("menu.bar 1 frames=105 anims=9 alpha\nchr.bar 0-2 frames=2 size=40x50\n", "p");
  ASSERT_EQ(specs.size(), 4u);
  art::PlaceholderSpec s = art::placeholderSpec(specs, "chr.bar", 2);
  EXPECT_EQ(s.frames, 2);
  EXPECT_EQ(s.width, 40);
  EXPECT_EQ(art::placeholderSpec(specs, "pub.bar", 3).frames, 1);
  EXPECT_TRUE(art::placeholderSpec(specs, "menu.bar", 1).alpha);
  for (const char* bad : {"menu.bar 1 frames=x\n", "menu.bar 1 colour=3\n", "a 1\na 1\n", "a 0 frames=0\n"})
    EXPECT_THROW(art::parsePlaceholderSpecs(bad, "p"), art::ArtError) << bad;
}

// Mismatched banks behind one alpha source fail the build.
TEST(Manifest, AlphaSourceNeedsMatchingBanks) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kv_mkdata_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "art");
  std::ofstream(dir / "art" / "placeholders.txt") << "a.bar 0 frames=2\n";
  std::ofstream(dir / "art" / "one.art") << "frame 0 10 10\n  rect 0 0 10 10 fill=#FFFFFF\nend\n";
  mkdata::Paths paths{dir.string(), dir.string(), ""};
  auto run = [&](const std::string& manifest) -> std::string {
    try {
      mkdata::buildEntries(mkdata::parseManifest(manifest, "archives.txt"), paths);
    } catch (const art::ArtError& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_NE(run("archive a.bar 3\na.bar 0 placeholder\na.bar 1 art one.art\na.bar 2 alpha 0 1\n")
                .find("archives.txt:4: the alpha source's banks differ"),
            std::string::npos);
  EXPECT_EQ(run("archive a.bar 3\na.bar 0 art one.art\na.bar 1 art one.art\na.bar 2 alpha 0 1\n"), "");
  EXPECT_NE(run("archive a.bar 2\na.bar 0 art missing.art\na.bar 1 empty\n").find("cannot read"), std::string::npos);
  std::filesystem::remove_all(dir);
}

// mkdata twice gives the same archives, and the same as the build's data set.
TEST(DataSet, BuildIsDeterministic) {
  const char* data = std::getenv("KV_DATA_DIR");
  std::string fonts = std::string(KV_BINARY_DIR) + "/fonts";
  if (!std::filesystem::exists(fonts + "/font0.bank")) GTEST_SKIP() << "no font banks";
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("kv_dataset_" + std::to_string(::getpid()));
  mkdata::Paths paths{std::string(KV_SOURCE_DIR) + "/assets", fonts, ""};
  std::string error;
  for (const char* run : {"a", "b"}) {
    std::filesystem::create_directories(dir / run);
    ASSERT_TRUE(mkdata::buildDataSet(paths, (dir / run).string(), &error)) << error;
  }
  auto bytes = [](const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  for (const char* name : {"i.bar", "menu.bar", "chr.bar", "pub.bar", "map.bar", "loc.bar", "ig.bar"}) {
    SCOPED_TRACE(name);
    std::vector<char> a = bytes(dir / "a" / name);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, bytes(dir / "b" / name));
    if (data && std::filesystem::exists(std::string(data) + "/" + name)) {
      EXPECT_EQ(a, bytes(std::filesystem::path(data) / name));
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
