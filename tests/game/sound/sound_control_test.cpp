#include <gtest/gtest.h>

#include <memory>

#include "game/Korvane/cGame/cGame.h"
#include "tests/DataSet.h"
#include "windows_brew/OggSoundPlayer.h"
#include "windows_brew/ShellHost.h"

namespace {

class SoundControl : public ::testing::Test {
 protected:
  void SetUp() override {
    SKIP_WITHOUT_DATA_SET("sfx_tally.ogg");
    shell = std::make_unique<ShellHost>(&running);
    game = std::make_unique<cGame>(nullptr);
    initSound(*game);
    for (int id = 0; id < 15; ++id) loadSound(*game, id);
    game->sound.enabled = 1;
  }
  void TearDown() override {
    if (game) game->stopAllSounds();
    game.reset();
    shell.reset();
  }
  OggSoundPlayer* player() { return shell->soundPlayer(); }
  int channelOf(int id) {
    for (int c = 0; c < 4; ++c)
      if (player()->playingId(c) == id) return c;
    return -1;
  }

  uint8_t running = 1;
  std::unique_ptr<ShellHost> shell;
  std::unique_ptr<cGame> game;
};

TEST_F(SoundControl, FileTableAndSlotOrder) {
  EXPECT_EQ(std::u16string(getSoundFileName(0)), u"sfx_break_hard.ogg");
  EXPECT_EQ(std::u16string(getSoundFileName(10)), u"sfx_tally.ogg");
  EXPECT_EQ(std::u16string(getSoundFileName(14)), u"m_lose.ogg");
  EXPECT_EQ(getSoundFileName(15), nullptr);
  EXPECT_EQ(getSoundFileName(-1), nullptr);
  EXPECT_EQ(player()->loadedCount(), 15);
  EXPECT_EQ(player()->capacity(), 15);
  // Slot n holds sound n: the title piece is the longest of all.
  for (int id = 0; id < 15; ++id) {
    EXPECT_GT(player()->slotSize(id), 444u) << id;
    if (id != 11) {
      EXPECT_LT(player()->slotSize(id), player()->slotSize(11)) << id;
    }
  }
}

TEST_F(SoundControl, GuardDropsCloseRequestsAndReplacesLaterOnes) {
  EXPECT_EQ(playSound(*game, 11, 0, 100, 100), 1);
  EXPECT_EQ(getCurrentSound(*game), 11);
  Sleep(300);
  playSound(*game, 12, 0, 100, 100);
  EXPECT_EQ(getCurrentSound(*game), 11);  // dropped
  EXPECT_EQ(channelOf(12), -1);
  Sleep(500);
  playSound(*game, 12, 0, 100, 100);
  EXPECT_EQ(getCurrentSound(*game), 12);  // 800 ms after the first: replaces it
  EXPECT_NE(channelOf(12), -1);
  EXPECT_EQ(player()->isPlaying(11), 0);
}

TEST_F(SoundControl, RequestsPlayOnceAndNotWhenOff) {
  playSound(*game, 3, 1, 50, 100);
  int c = channelOf(3);
  ASSERT_NE(c, -1);
  auto* ctx = reinterpret_cast<PlaybackContext*>(player()->channelHeader(c)->dwUser);
  EXPECT_EQ(ctx->loop.load(), 0);  // the loop request is dropped
  game->stopAllSounds();
  EXPECT_EQ(getCurrentSound(*game), -1);
  playSound(*game, -1, 0, 100, 100);
  EXPECT_EQ(getCurrentSound(*game), -1);
  game->sound.enabled = 0;
  playSound(*game, 4, 0, 100, 100);
  EXPECT_EQ(getCurrentSound(*game), -1);
  EXPECT_FALSE(game->isAnySoundPlaying());
  EXPECT_FALSE(isSoundPlaying(*game, 4));
  // Sound off: music is recorded but not played.
  playMusic(*game, 13);
  EXPECT_EQ(game->sound.currentMusicId, 13);
  EXPECT_EQ(channelOf(13), -1);
}

TEST_F(SoundControl, MusicStartsOnceAndRestartsAfterAnEffect) {
  playMusic(*game, 11);
  EXPECT_EQ(game->sound.currentMusicId, 11);
  int c = channelOf(11);
  ASSERT_NE(c, -1);
  WAVEHDR* first = player()->channelHeader(c);
  playMusic(*game, 11);
  EXPECT_EQ(player()->channelHeader(c), first);  // not restarted
  Sleep(800);
  playSound(*game, 9, 0, 100, 100);  // an effect cuts the music
  EXPECT_EQ(game->sound.currentMusicId, -1);
  EXPECT_EQ(getCurrentSound(*game), 9);
  Sleep(800);
  playMusic(*game, 11);
  EXPECT_EQ(game->sound.currentMusicId, 11);
  EXPECT_NE(channelOf(11), -1);
  // Right after a stop the piece still starts (channels being handed back
  // do not count as playing).
  game->stopAllSounds();
  playMusic(*game, 12);
  EXPECT_EQ(game->sound.currentMusicId, 12);
  EXPECT_NE(channelOf(12), -1);
}

// Without the sound files.
TEST(SoundVibration, ImpactsAndTheCountDown) {
  uint8_t running = 1;
  ShellHost shell(&running);
  cGame game(nullptr);
  requestImpactVibration(game, 150);
  EXPECT_EQ(game.sound.vibrationTime, 0);
  requestImpactVibration(game, 300);
  EXPECT_EQ(game.sound.vibrationTime, 200);
  updateVibration(game);
  EXPECT_EQ(game.sound.vibrationTime, 0);
  setVibrationTime(game, 40);
  EXPECT_EQ(game.sound.vibrationTime, 40);
}

}  // namespace
