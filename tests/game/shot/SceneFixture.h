// A game on the built data set with a match loaded (both players, the
// table, banks A-J and the HUD), and the table scene painted as the match
// paints it, for pixel and reference-picture tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/data/DataFixture.h"
#include "wince/include/wince/layer.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/Angles.h"

namespace shottest {

class SceneTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    const char* data = std::getenv("KV_DATA_DIR");
    if (!data || !std::filesystem::exists(std::string(data) + "/ig.bar")) GTEST_SKIP() << "no data set";
    dataDir = data;
    for (const auto& entry : std::filesystem::directory_iterator(data))
      std::filesystem::copy(entry.path(), dir / entry.path().filename());
    game = std::make_unique<cGame>(&screen);
    game->init();
    for (int i = 0; i < 50 && game->states.gameState != k_stateLogo; ++i) game->update(nullptr);
    updateLogo(*game);
    game->loading.logoStartTime = game->frame.gameClock - 5000;
    updateLogo(*game);
    for (int i = 0; i < 100 && game->states.gameState == k_stateMainMenuLoading; ++i) game->update(nullptr);
    game->match.gameType = k_gameTypeQuickMatch;
    game->setup.chosenCharacter[0] = 2;
    game->setup.chosenCharacter[1] = 7;
    game->setup.tableIndex = 0;
    game->career.equippedLevel[0] = 2;
    game->career.equippedLevel[1] = 2;
    game->career.equippedLevel[2] = 2;
    enterGameLoading(*game);
    for (int i = 0; i < 41; ++i) updateGameLoading(*game);
    ASSERT_NE(game->loading.matchBanks[k_matchBankCueBall], nullptr);
    // A fixed rack: the table's layout without the jitter.
    game->match.ruleSet = k_ruleSetEightBall;
    game->states.inGame = 1;
    game->engine.random->setSeed(1234);
    game->rules.normalPlay = 1;
    game->match.currentPlayer = 0;
    game->table.panelX = 67;
    game->table.hudOffset = 0;
    game->world.originX = 67;
    game->world.originY = 0;
    initRack(*game);
    game->world.placeBalls(game->tableLayout.groups[TableLayout::kEightBallRack]);
    setBallRollFrames(*game);
    selectInterface(*game, k_interfaceHud);
    setInterfaceElementSprite(*game, k_interfaceHud, k_elPortrait0, 13 + 2);
    setInterfaceElementSprite(*game, k_interfaceHud, k_elPortrait0 + 1, 13 + 7);
    game->table.panelRedraw = 1;
    for (PhysicalObject* b = game->world.ballList; b; b = b->next) b->update(game->world);
  }
  void TearDown() override {
    game.reset();
    DataTest::TearDown();
  }
  Graphics* g() { return screen.getGraphics(); }
  const uint16_t* pixels() const { return static_cast<const uint16_t*>(screen.getPixels()); }
  uint16_t at(int x, int y) const { return pixels()[y * 240 + x]; }

  // The table scene in the order the match paints it.
  void paintScene(bool gauge, bool cue, bool guide, bool spin, bool hand) {
    Graphics* gr = g();
    selectInterface(*game, k_interfaceHud);
    paintPlayerPanels(*game, gr);
    game->resetClip(gr);
    game->frontEnd.paintTarget = gr;
    if (gauge) paintPowerBar(*game);
    paintTableBalls(*game, gr);
    if (hand) paintBallInHandArea(*game, gr);
    if (cue && game->world.cueStick) {
      PhysicalObject* stick = game->world.cueStick;
      stick->update(game->world);
      const Vector2 aim = game->world.shot.aim;
      ASprite* bank = game->loading.matchBanks[k_matchBankCue];
      paintRotatedFrame(*game, gr, bank, k_moduleCue, stick->m_screenX, stick->m_screenY, atan2Degrees(aim.x, aim.y),
                        true);
    }
    if (guide) paintAimGuide(*game, gr);
    if (spin) paintSpinSelector(*game, gr);
    paintInGameHud(*game, gr);
    game->frontEnd.paintTarget = nullptr;
  }
  // The frame against the reference picture of that name beside this
  // file; KV_WRITE_REFERENCE=1 writes it instead. The frame is also kept in
  // the build folder to look at.
  void compareWithReference(const std::string& name) {
    const std::string out = std::string(KV_BINARY_DIR) + "/" + name;
    ASSERT_TRUE(wince::writePng(out, pixels(), 240, 320));
    const std::string ref = std::string(KV_SOURCE_DIR) + "/tests/game/shot/" + name;
    if (std::getenv("KV_WRITE_REFERENCE")) {
      ASSERT_TRUE(wince::writePng(ref, pixels(), 240, 320));
      return;
    }
    std::vector<uint16_t> want;
    int w = 0, h = 0;
    ASSERT_TRUE(wince::readPng(ref, want, w, h)) << ref;
    ASSERT_EQ(w, 240);
    ASSERT_EQ(h, 320);
    int differ = 0;
    for (int i = 0; i < 240 * 320; ++i) differ += want[static_cast<size_t>(i)] != pixels()[i];
    EXPECT_EQ(differ, 0) << "see " << out;
  }
  std::string dataDir;
  MutableImage screen{240, 320, 16};
};

}  // namespace shottest
