// The front-end screen pattern: set-up, the per-frame step, the common paint.
#include <vector>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/menus/MenuFixture.h"

namespace {

const uint32_t kItems[] = {31, 32, 33};

class ScreenKit : public MenuTest {
 protected:
  // The back layer is the saved background, as after the start-up loading.
  void SetUp() override {
    MenuTest::SetUp();
    game->loading.savedBackground = back.get();
    game->loading.savedBackgroundGraphics = back->getGraphics();
  }
  void TearDown() override {
    game->loading.savedBackground = nullptr;
    game->loading.savedBackgroundGraphics = nullptr;
    MenuTest::TearDown();
  }
  // Interface 4: a back-layer sprite (frame 2 at (5, 5)) that slides in, a
  // front sprite (frame 0 at (1, 1)), a text row and a back button.
  void loadScreen() {
    Element backSprite = sprite(5, 5, 1, 2, -1);
    backSprite.params[F::kSpriteLayer] = 1;
    Element sliding = sprite(1, 1, 1, 0, -1);
    sliding.params[F::kSpriteDx] = 100;
    sliding.params[F::kSpriteDuration] = -1;
    load({{}, {}, {}, {}, {backSprite, sliding, text(0, 40, 100, 20), sprite(200, 290, 1, 17, -1)}}, 4);
  }
  FrontEndScreen screenOf() {
    FrontEndScreen s;
    s.interfaceId = 4;
    s.menu = kItems;
    s.listElement = 2;
    s.count = 3;
    return s;
  }
};

TEST_F(ScreenKit, SetUpFillsTheListPaintsTheBackLayerAndRuns) {
  loadScreen();
  back->getGraphics()->setColor(0xFF000000);
  back->getGraphics()->fillRect(0, 0, 240, 320);
  game->menu.flags[0] = 1;
  FrontEndScreen s = screenOf();
  s.backdrop = [](cGame&, Graphics* g) {
    g->setColor(0xFFFFFFFF);
    g->fillRect(0, 0, 20, 20);
  };
  game->states.subState = k_subStateInit;
  setUpScreen(*game, s);
  EXPECT_EQ(game->interfaces.currentInterface, 4);
  EXPECT_EQ(game->menu.table, kItems);
  EXPECT_EQ(game->menu.listElement, 2);
  EXPECT_EQ(game->menu.rows, -1);
  EXPECT_EQ(getMenuCount(*game), 3);
  EXPECT_EQ(game->menu.flags[0], 0u);
  EXPECT_EQ(getMenuSelection(*game), -1);
  EXPECT_EQ(game->states.subState, k_subStateUpdate);
  // The backdrop lies under the back-layer element, which was painted once.
  const uint16_t* px = static_cast<const uint16_t*>(back->getPixels());
  const int pitch = back->getPitch() / 2;
  EXPECT_EQ(px[0], 0xFFFF);
  EXPECT_EQ(px[5 * pitch + 5], 3 << 11) << "frame 2 of the bank";
  // The front sprite slides in: its timer was armed.
  EXPECT_EQ(p(1, F::kSpriteTimer), 1000);
}

TEST_F(ScreenKit, OverAPausedMatchElementsStandInPlace) {
  loadScreen();
  game->frontEnd.menusOverMatch = 1;
  game->states.inGame = 1;
  setUpScreen(*game, screenOf());
  EXPECT_EQ(p(1, F::kSpriteTimer), 0);
  EXPECT_EQ(game->states.subState, k_subStateInGameUpdate);
}

TEST_F(ScreenKit, UpdateCountsTimersDownAndRunsTheList) {
  loadScreen();
  setUpScreen(*game, screenOf());
  game->frame.frameTime = 40;
  game->menu.selection = 1;
  press({kSelect});
  EXPECT_EQ(updateScreen(*game), 32);
  EXPECT_EQ(p(1, F::kSpriteTimer), 960);
  press({kSelect});
  EXPECT_EQ(updateScreen(*game, false), 0) << "keys tested by the screen itself";
  press({kRightSoft});
  EXPECT_EQ(updateScreen(*game), -1);
}

TEST_F(ScreenKit, ButtonFramesFollowTheSoftKeyHighlights) {
  loadScreen();
  struct Case {
    uint8_t right, left;
    int back, main;
  };
  const Case cases[] = {{0, 0, 17, 15}, {1, 0, 14, 15}, {0, 1, 17, 16}, {1, 1, 14, 16}};
  for (const Case& c : cases) {
    game->stylus.rightSoftHighlight = c.right;
    game->stylus.leftSoftHighlight = c.left;
    setButtonFrames(*game, 3, 1);
    EXPECT_EQ(p(3, F::kSpriteFrame), c.back);
    EXPECT_EQ(p(1, F::kSpriteFrame), c.main);
  }
  setButtonFrames(*game, -1, -1);  // no buttons: nothing changes
  EXPECT_EQ(p(3, F::kSpriteFrame), 14);
}

TEST_F(ScreenKit, PaintCopiesTheBackgroundThenTheFrontLayer) {
  loadScreen();
  game->interfaces.interfaceAnimations = 0;
  setUpScreen(*game, screenOf());
  paintScreen(*game, screen->g(), 3, -1);
  EXPECT_EQ(frameAt(5, 5), 2) << "back layer, from the saved background";
  EXPECT_EQ(frameAt(1, 1), 0) << "front layer";
}

TEST_F(ScreenKit, BlinkIsOnForTheSecondHalfOfEachSecond) {
  const std::pair<uint32_t, bool> cases[] = {{0, false},    {500, false}, {501, true},
                                             {999, true},   {1000, false}, {1501, true},
                                             {4294967295u, false}};
  for (const auto& [clock, on] : cases) {
    game->frame.gameClock = clock;
    EXPECT_EQ(isBlinkOn(*game), on) << clock;
  }
}

TEST_F(ScreenKit, GoToScreenKeepsThePausedMatchStack) {
  game->states.inGame = 1;
  game->states.stackDepth = 1;
  goToScreen(*game, k_stateIGM);
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_EQ(game->states.inGame, 1);
  EXPECT_EQ(game->states.stackDepth, 1);
  game->states.inGame = 0;
  goToScreen(*game, k_stateMainMenu);
  EXPECT_EQ(game->states.gameState, k_stateMainMenu);
  EXPECT_EQ(game->states.stackDepth, 0);
}

}  // namespace
