// The game reaches the host only through the GameHost it holds: given a
// fake one, its clock, files and sound player are the only ones the game
// uses (no shell is up in these tests).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "platform/brew/GameHost.h"

namespace {

std::string narrow(const char16_t* name) {
  std::string out;
  for (; *name; ++name) out.push_back(static_cast<char>(*name));
  return out;
}

class FakeHost final : public GameHost {
 public:
  uint32_t tickCount() override { return now; }
  bool isQuitting() override { return quitting; }
  FileKind savedFileKind(const char* name) override {
    return saved.count(name) ? FileKind::Regular : FileKind::None;
  }
  bool readSavedFile(const char* name, uint8_t* buffer, int32_t capacity, int64_t* length) override {
    const std::vector<uint8_t>& bytes = saved.at(name);
    *length = static_cast<int64_t>(bytes.size());
    std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), static_cast<size_t>(capacity)), buffer);
    return true;
  }
  bool writeSavedFile(const char* name, const uint8_t* data, int32_t size) override {
    saved[name].assign(data, data + size);
    return true;
  }
  int32_t freeStorage() override { return freeBytes; }
  bool hasSoundPlayer() override { return true; }
  void setSoundSlots(int32_t count) override { log.push_back("slots " + std::to_string(count)); }
  bool loadSound(const char16_t* name) override { return narrow(name) != brokenSound; }
  void playSound(int32_t slot, int32_t) override { log.push_back("play " + std::to_string(slot)); }
  void stopAllSounds() override { log.push_back("stop"); }
  bool isAnySoundPlaying() override { return true; }
  std::string checkSoundFile(const char16_t* name) override {
    return narrow(name) == brokenSound ? "is damaged: page 2 fails its checksum" : "";
  }

  uint32_t now = 0;
  bool quitting = false;
  int32_t freeBytes = 1 << 20;
  std::string brokenSound;
  std::map<std::string, std::vector<uint8_t>> saved;
  std::vector<std::string> log;
};

class GameOnFakeHost : public ::testing::Test {
 protected:
  std::unique_ptr<cGame> newGame() {
    auto game = std::make_unique<cGame>(nullptr);
    game->setHost(&host);
    return game;
  }
  FakeHost host;
};

TEST_F(GameOnFakeHost, SettingsGoToTheHostsSaveFileAndComeBack) {
  auto game = newGame();
  game->career.achievementMask = 0x0A0B0C0D;
  saveSettings(*game);
  ASSERT_EQ(host.saved.count("save.sav"), 1u);
  const std::vector<uint8_t>& file = host.saved["save.sav"];
  ASSERT_EQ(file.size(), 300u);
  // The mask follows the three options and the ten characters, big-endian.
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 13, file.begin() + 17), (std::vector<uint8_t>{10, 11, 12, 13}));

  auto next = newGame();
  loadSettings(*next);
  EXPECT_EQ(next->career.achievementMask, 0x0A0B0C0Du);
}

TEST_F(GameOnFakeHost, NoSaveFileIsStartedWhileQuittingOrShortOfSpace) {
  const struct {
    const char* name;
    bool quitting;
    int32_t freeBytes;
    int32_t noSpaceState;
  } cases[] = {
      {"quitting", true, 1 << 20, 0},
      {"short of space", false, 3999, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    host.saved.clear();
    host.quitting = c.quitting;
    host.freeBytes = c.freeBytes;
    auto game = newGame();
    delete[] readSaveRecord(*game, 2);
    EXPECT_TRUE(host.saved.empty());
    EXPECT_EQ(game->m_noSpaceState, c.noSpaceState);
  }
}

TEST_F(GameOnFakeHost, TheSoundGuardRunsOnTheHostsClock) {
  host.brokenSound = "sfx_hit_hard.ogg";
  auto game = newGame();
  initSound(*game);
  for (int32_t id = 0; id < k_soundCount; ++id) loadSound(*game, id);
  EXPECT_STREQ(game->files.fatalError, "sfx_hit_hard.ogg is damaged: page 2 fails its checksum");
  EXPECT_EQ(host.log, (std::vector<std::string>{"slots 15"}));

  game->sound.enabled = 1;
  host.log.clear();
  host.now = 5000;
  playSound(*game, 3, 0, 100, 100);
  host.now = 5699;  // still within the 700 ms of the last sound: dropped
  playSound(*game, 4, 0, 100, 100);
  host.now = 5700;
  playSound(*game, 5, 0, 100, 100);
  EXPECT_EQ(host.log, (std::vector<std::string>{"stop", "play 3", "stop", "play 5"}));
  EXPECT_EQ(game->sound.startTime, 5700u);
}

TEST_F(GameOnFakeHost, DataFilesTheHostLacksAreReported) {
  host.brokenSound = "m_win.ogg";
  auto game = newGame();
  EXPECT_FALSE(checkDataFiles(*game));
  // 11 archives, the resource index and pack, and the one bad sound.
  EXPECT_STREQ(game->files.fatalError, "text.bar is missing\n(and 13 more data files are missing or damaged)");
}

}  // namespace
