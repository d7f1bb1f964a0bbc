// A game object on the virtual clock with the data set's interfaces, texts
// and table layouts ("table.bar"), for challenges and lessons played through
// the turn flow. Match states entering are recorded with their step.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/game/data/DataFixture.h"
#include "wince/layer.h"

namespace flowtest {

// Key indices.
constexpr int kKeyFire = 19, kKeyRightSoft = 18, kKeyMasse = 16;

inline std::function<void(cGame&, int32_t, int32_t)>& stepHook() {
  static std::function<void(cGame&, int32_t, int32_t)> hook;
  return hook;
}
inline void onStep(cGame& g, int32_t state, int32_t step) {
  if (stepHook()) stepHook()(g, state, step);
}

class FlowTest : public DataTest {
 protected:
  void SetUp() override {
    wince::reset();
    wince::advanceClock(1000000);
    DataTest::SetUp();
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/table.bar")) GTEST_SKIP() << "no data set";
    for (const char* name : {"interf.bar", "text.bar", "table.bar"})
      std::filesystem::copy(std::string(data) + "/" + name, dir / name);
    game->init();
    loadStrings(*game, 0);
    loadBar(*game, "interf.bar");
    loadInterfaces(*game);
    unloadBar(*game);
    game->engine.random->setSeed(7);
    loadTable(*game);
    ASSERT_TRUE(game->tableLayout.isComplete());
    game->turn.fastThinking = 1;
    game->turn.matchStepHook = onStep;
    createSaveFile(*game);
    resetProgress(*game);
  }
  void TearDown() override {
    stepHook() = nullptr;
    game.reset();
    DataTest::TearDown();
    wince::reset(false);
  }
  void frame(int ms = 33) {
    wince::advanceClock(static_cast<uint64_t>(ms) * 1000);
    game->update(nullptr);
  }
  // Runs frames until the key lock is over, then one with the key pressed and released.
  void tap(int key) {
    for (int i = 0; i < 10 && game->keys.isLocked(); ++i) frame();
    game->keyPressed(key);
    game->keyReleased(key);
    frame();
  }
  bool runUntil(int32_t state, int limit = 3000) {
    for (int i = 0; i < limit && game->states.gameState != state; ++i) frame();
    return game->states.gameState == state;
  }
  // Runs until the state, closing a box of the shot (a waiting message or
  // the dialog once it may be closed) with the fire key as a player would.
  bool runClosingBoxes(int32_t state, int limit = 3000) {
    for (int i = 0; i < limit && game->states.gameState != state; ++i) {
      if (isMessageWaiting(*game) || (isDialogBoxOpen(*game) && game->dialog.life < 1))
        tap(kKeyFire);
      else
        frame();
    }
    return game->states.gameState == state;
  }
  // Dismisses the queued messages and message boxes until the aim (at most limit frames).
  bool runToAim(int limit = 3000) {
    for (int i = 0; i < limit && game->states.gameState != k_stateAim; ++i) {
      if (isMessageWaiting(*game) || game->states.gameState == k_stateMessageBox)
        tap(kKeyFire);
      else
        frame();
    }
    return game->states.gameState == k_stateAim;
  }
  // A match of the challenge or the lesson, as the list or the tutorial choice starts it.
  void startChallenge(int32_t c) {
    game->match.gameType = k_gameTypeChallenge;
    game->match.challengeNumber = c;
    startMatch(*game, k_gameTypeChallenge, 0, 10);
  }
  void startLesson(int32_t lesson, bool chained) {
    game->match.gameType = k_gameTypeTutorial;
    game->match.lessonNumber = lesson;
    game->tutorial.started = chained;
    startMatch(*game, k_gameTypeTutorial, 0, 10);
  }
  // Saved byte at an offset of the save image.
  uint8_t savedByte(int offset) { return game->files.saveImage ? game->files.saveImage[offset] : 0xEE; }
};

}  // namespace flowtest
