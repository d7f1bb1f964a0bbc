// A game object on the virtual clock with the table of the layout source in
// its world, the match states recorded as they enter and leave, and helpers
// that press keys and run frames.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/game/data/DataFixture.h"
#include "tools/table/TableWorld.h"
#include "wince/layer.h"
#include "zul/2d/MutableImage.h"

namespace turntest {

struct Step {
  int32_t state;
  char step;  // 'e' entry, 'l' leave
  bool operator==(const Step&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const Step& s) { return o << s.state << s.step; }

inline std::vector<Step>& stepLog() {
  static std::vector<Step> log;
  return log;
}
inline void recordStep(cGame&, int32_t state, int32_t step) {
  if (step == k_subStateInit) stepLog().push_back({state, 'e'});
  if (step == k_subStateDestroy) stepLog().push_back({state, 'l'});
}

// Key indices of the masks the match reads.
constexpr int kKeyFire = 19, kKeyLeftSoft = 17, kKeyRightSoft = 18, kKeyBack = 20;
constexpr int kKeyRight = 7, kKeyLeft = 5, kKeyNextTarget = 10, kKeyNumbers = 9;

class TurnTest : public DataTest {
 protected:
  void SetUp() override {
    wince::reset();
    wince::advanceClock(1000000);
    DataTest::SetUp();
    // The interfaces and texts of the data set.
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/interf.bar")) GTEST_SKIP() << "no data set";
    // A back buffer, so the table is painted (the hand cursor moves there).
    game = std::make_unique<cGame>(&screen);
    for (const char* name : {"interf.bar", "text.bar"})
      std::filesystem::copy(std::string(data) + "/" + name, dir / name);
    game->init();
    loadStrings(*game, 0);
    loadBar(*game, "interf.bar");
    loadInterfaces(*game);
    unloadBar(*game);
    game->engine.random->setSeed(7);
    ASSERT_TRUE(tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", game->tableLayout, game->world));
    game->world.createScreenObjects();
    game->world.relinkShadows();
    game->turn.fastThinking = 1;
    game->turn.matchStepHook = recordStep;
    stepLog().clear();
  }
  void TearDown() override {
    game.reset();
    DataTest::TearDown();
    wince::reset(false);
  }
  // One frame after ms of virtual time.
  void frame(int ms = 33) {
    wince::advanceClock(static_cast<uint64_t>(ms) * 1000);
    game->update(nullptr);
  }
  void frames(int n, int ms = 33) {
    for (int i = 0; i < n; ++i) frame(ms);
  }
  // Runs frames until the key lock is over, then one frame with the key
  // pressed and released.
  void tap(int key, int ms = 33) {
    for (int i = 0; i < 10 && game->keys.isLocked(); ++i) frame(ms);
    game->keyPressed(key);
    game->keyReleased(key);
    frame(ms);
  }
  // Frames until the state is reached (at most limit); false when it was not.
  bool runUntil(int32_t state, int limit = 2000) {
    for (int i = 0; i < limit && game->states.gameState != state; ++i) frame();
    return game->states.gameState == state;
  }
  MutableImage screen{240, 320, 16};
  std::vector<Step> takeLog() {
    std::vector<Step> l = stepLog();
    stepLog().clear();
    return l;
  }
  // A quick match of the rule set: the human against profile 0.
  void startQuickMatch(int32_t ruleSet) {
    game->match.gameType = k_gameTypeQuickMatch;
    game->match.ruleSet = ruleSet;
    startMatch(*game, k_gameTypeQuickMatch, 2, 7);
  }
};

}  // namespace turntest
