#include <set>

#include "StylusFixture.h"

namespace {
constexpr int32_t q14(double v) { return static_cast<int32_t>(v * 16384); }
}  // namespace

class BallInHandTest : public StylusTest {
 protected:
  void SetUp() override {
    StylusTest::SetUp();
    enter(k_stateBallInHand);
    game->match.currentPlayer = 0;
    game->match.gameType = k_gameTypeQuickMatch;
    game->turn.handX = game->turn.handY = 12345;
  }
};

TEST_F(BallInHandTest, PlacementAndClamps) {
  struct Case {
    int32_t player, gameType, ruleSet;
    uint8_t inD;
    int32_t px, py;
    double x, y;
  } cases[] = {
      {0, k_gameTypeQuickMatch, k_ruleSetEightBall, 0, 85, 100, 21.5, -100.0},  // x 18.0 clamped to 21.5
      {0, k_gameTypeQuickMatch, k_ruleSetEightBall, 0, 150, 100, 83.0, -100.0},
      {0, k_gameTypeQuickMatch, k_ruleSetEightBall, 0, 239, 10, 147.5, -24.5},  // both upper clamps
      {0, k_gameTypeQuickMatch, k_ruleSetEightBall, 0, 150, 299, 83.0, -277.5},
      {0, k_gameTypeQuickMatch, k_ruleSetEightBall, 1, 150, 100, 83.0, -202.0},  // behind the head line
      {0, k_gameTypeQuickMatch, k_ruleSetEightBall, 1, 150, 250, 83.0, -250.0},
      {0, k_gameTypeQuickMatch, k_ruleSetUK, 1, 152, 100, 85.0, -202.0},         // UK: raised to the baulk line
      {0, k_gameTypeQuickMatch, k_ruleSetUK, 1, 152, 260, 85.0, -239.0},         // UK: into the D (radius 38)
      {1, k_gameTypeSingleMatch, k_ruleSetEightBall, 0, 10, 100, 21.5, -100.0},  // player 1 of a two-player match
      {1, k_gameTypeSingleMatch, k_ruleSetEightBall, 0, 100, 100, 94.0, -100.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.px << "," << c.py << " player " << c.player);
    SetUp();
    game->match.currentPlayer = c.player;
    game->match.gameType = c.gameType;
    game->match.ruleSet = c.ruleSet;
    game->turn.ballInHandInD = c.inD;
    penAt(c.px, c.py);
    EXPECT_EQ(game->turn.handX, q14(c.x));
    EXPECT_NEAR(game->turn.handY, q14(c.y), 2);
  }
}

TEST_F(BallInHandTest, UkDiagonalStaysInsideTheD) {
  game->match.ruleSet = k_ruleSetUK;
  game->turn.ballInHandInD = 1;
  penAt(190, 280);
  const int64_t dx = game->turn.handX - q14(85.0), dy = game->turn.handY - q14(-201.0);
  const int64_t r = q14(38.0);
  EXPECT_LE(dx * dx + dy * dy, r * r);
  EXPECT_GE(dx * dx + dy * dy, (r - 8) * (r - 8));
  EXPECT_GT(dx, 0);
  EXPECT_LT(dy, 0);
}

TEST_F(BallInHandTest, NothingOffTheTableOrForTheComputer) {
  struct Case {
    int32_t player, gameType, profile, subState, px, py;
  } cases[] = {
      {0, k_gameTypeQuickMatch, -1, k_subStateInGameUpdate, 84, 100},   // left of player 0's table view
      {0, k_gameTypeQuickMatch, -1, k_subStateInGameUpdate, 150, 300},  // the soft-key band
      {0, k_gameTypeQuickMatch, 3, k_subStateInGameUpdate, 150, 100},   // computer player
      {0, k_gameTypeQuickMatch, -1, k_subStateInit, 150, 100},          // entry step
      {1, k_gameTypeQuickMatch, 3, k_subStateInGameUpdate, 150, 100},
      {5, k_gameTypeQuickMatch, -1, k_subStateInGameUpdate, 150, 100},  // a bad player index reads no profile
  };
  for (const Case& c : cases) {
    SetUp();
    game->match.currentPlayer = c.player;
    game->match.gameType = c.gameType;
    if (c.player >= 0 && c.player < 2) game->match.playerProfile[c.player] = c.profile;
    game->states.subState = c.subState;
    penAt(c.px, c.py);
    EXPECT_EQ(game->turn.handX, 12345) << c.px << "," << c.py;
  }
}

TEST_F(BallInHandTest, FireButtonSide) {
  EXPECT_EQ(tapUp(30, 160).pressed, keyBit(k_touchKeyFire));
  EXPECT_EQ(tapUp(210, 160).pressed, 0u);
  game->match.currentPlayer = 1;
  EXPECT_EQ(tapUp(210, 160).pressed, keyBit(k_touchKeyFire));
  game->match.playerProfile[1] = 2;  // a computer has no fire button
  EXPECT_EQ(tapUp(210, 160).pressed, 0u);
  // Touching the fire button does not move the ball.
  game->match.currentPlayer = 0;
  penAt(30, 160);
  EXPECT_EQ(game->stylus.fireHighlight, 1);
  EXPECT_EQ(game->turn.handX, 12345);
}

TEST_F(StylusTest, AimButtons) {
  enter(k_stateAim);
  // Fine-turn buttons repeat while the pen rests on them.
  Sent s = penAt(22, touchLayoutY(295) + 20);
  EXPECT_EQ(s.pressed, keyBit(k_touchKeyFineTurnA));
  EXPECT_EQ(s.released, keyBit(k_touchKeyFineTurnA));
  EXPECT_EQ(game->stylus.leftArrowHighlight, 1);
  EXPECT_EQ(run().pressed, keyBit(k_touchKeyFineTurnA));
  EXPECT_EQ(penAt(62, touchLayoutY(295) + 20).pressed, keyBit(k_touchKeyFineTurnB));
  EXPECT_EQ(game->stylus.rightArrowHighlight, 1);
  EXPECT_EQ(game->stylus.leftArrowHighlight, 0);
  penAt(120, 100);
  EXPECT_EQ(game->stylus.rightArrowHighlight, 0);
  EXPECT_EQ(penAt(218, touchLayoutY(295) + 20).pressed, 0u);
  // Fire on the left, then on the right for player 1 of a two-player match.
  EXPECT_EQ(tapUp(30, 160).pressed, keyBit(k_touchKeyFire));
  game->match.currentPlayer = 1;
  game->match.gameType = k_gameTypeSingleMatch;
  EXPECT_EQ(tapUp(30, 160).pressed, 0u);
  EXPECT_EQ(tapUp(210, 160).pressed, keyBit(k_touchKeyFire));
  EXPECT_EQ(penAt(218, touchLayoutY(295) + 20).pressed, keyBit(k_touchKeyFineTurnB));
  EXPECT_EQ(penAt(178, touchLayoutY(295) + 20).pressed, keyBit(k_touchKeyFineTurnA));
  // Soft keys: left pair 17, right pair 18.
  EXPECT_EQ(tapUp(20, 310).released, keyBit(k_touchKeyLeftSoft));
  EXPECT_EQ(tapUp(218, 310).released, keyBit(k_touchKeyRightSoft));
}

TEST_F(StylusTest, SpinSelectorLayouts) {
  struct Case {
    int32_t player, gameType;
    int32_t buttonX;  // the spin button (x, 0, 70, 45)
    int32_t padLeft;  // x of the left arrow
  } cases[] = {
      {0, k_gameTypeSingleMatch, 2, 88},
      {1, k_gameTypeQuickMatch, 2, 88},
      {1, k_gameTypeSingleMatch, 170, 25},  // the second player of a two-player match: mirrored
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "player " << c.player << " type " << c.gameType);
    enter(k_stateSpinSelector);
    game->match.currentPlayer = c.player;
    game->match.gameType = c.gameType;
    penAt(c.buttonX + 35, 20);
    EXPECT_EQ(game->stylus.spinButtonHighlight, 1);
    Sent s = tapUp(c.buttonX + 35, 20);
    EXPECT_EQ(s.pressed, keyBit(k_touchKeySpinButton));
    EXPECT_EQ(s.released, keyBit(k_touchKeySpinButton));
    EXPECT_EQ(game->stylus.spinButtonHighlight, 0);
    const int32_t other = c.buttonX == 2 ? 205 : 37;
    EXPECT_EQ(tapUp(other, 20).pressed, 0u);
    struct Arrow {
      int32_t dx, y, key;
      uint8_t StylusState::*highlight;
    } arrows[] = {
        {45, 206, k_touchKeyUp, &StylusState::upArrowHighlight},
        {45, 250, k_touchKeyDown, &StylusState::downArrowHighlight},
        {0, 227, k_touchKeyLeft, &StylusState::leftArrowHighlight},
        {88, 227, k_touchKeyRight, &StylusState::rightArrowHighlight},
    };
    for (const Arrow& a : arrows) {
      Sent held = penAt(c.padLeft + a.dx + 20, touchLayoutY(a.y) + 20);
      EXPECT_EQ(held.pressed, keyBit(a.key)) << a.key;
      EXPECT_EQ(game->stylus.*a.highlight, 1) << a.key;
      EXPECT_EQ(run().pressed, keyBit(a.key)) << a.key;  // repeats while held
    }
    EXPECT_EQ(tapUp(20, 310).pressed, keyBit(k_touchKeyRightSoft));  // "Back": closes the selector
  }
}

TEST_F(StylusTest, SpinSelectorLocks) {
  enter(k_stateSpinSelector);
  game->stylus.spinButtonHidden = 1;
  EXPECT_EQ(tapUp(37, 20).pressed, 0u);
  EXPECT_EQ(penAt(108, touchLayoutY(227) + 20).pressed, keyBit(k_touchKeyLeft));
  game->stylus.spinArrowsLocked = 1;
  EXPECT_EQ(tapUp(120, 100).pressed, 0u);
  EXPECT_EQ(game->stylus.leftSoftHighlight, 0);
  // A lesson's text box up over the selector: a tap off the selector's
  // controls turns the box, with the fire key the box reads; the pad keeps
  // pressing its keys, and a tap let go on it sends no fire.
  game->match.gameType = k_gameTypeTutorial;
  Sent s = tapUp(120, 100);
  EXPECT_EQ(s.pressed, keyBit(k_touchKeyFire));
  EXPECT_EQ(s.released, keyBit(k_touchKeyFire));
  EXPECT_EQ(penAt(108, touchLayoutY(227) + 20).pressed, keyBit(k_touchKeyLeft));
  EXPECT_EQ(tapUp(108, touchLayoutY(227) + 20).pressed & keyBit(k_touchKeyFire), 0u);
}

// The spin selector is closed by touch on its "Back", the left soft key,
// which sends the key it closes on; the right soft key sends nothing there.
TEST_F(StylusTest, SpinSelectorClosesByItsBack) {
  const LayoutRect left{0, 338, 60, 40}, right{197, 338, 43, 40};
  for (const LayoutRect& key : {left, right}) {
    enter(k_stateSpinSelector);
    penAt(key.cx(), key.cy());
    Sent s = tapUp(key.cx(), key.cy());
    const uint64_t sent = key.x == left.x ? keyBit(k_touchKeyRightSoft) : 0;
    EXPECT_EQ(s.pressed, sent) << key.x;
    EXPECT_EQ(s.released, sent) << key.x;
  }
}

namespace {
int g_rowMapped = 0;
void mapByRow(cGame&) { ++g_rowMapped; }
const cGameScreen kRowScreen = {k_stateMainMenu, nullptr, nullptr, mapByRow};
const cGameScreen* const kRowScreens[] = {&kRowScreen};
const cGameScreenTable kRowTable = {kRowScreens, 1};
const cGameScreenTable kNoRows = {nullptr, 0};
}  // namespace

// A screen row's touch mapping serves its state only, from either table; a
// state without a row takes a tap as key 4, and the completion notice's
// soft key stays shared.
TEST_F(StylusTest, ScreenRowMapsItsOwnTouches) {
  for (const bool inGameTable : {false, true}) {
    SCOPED_TRACE(inGameTable);
    g_rowMapped = 0;
    game->setScreenTables(inGameTable ? &kNoRows : &kRowTable, inGameTable ? &kRowTable : &kNoRows);
    enter(k_stateMainMenu);
    EXPECT_EQ(run().pressed, 0u);
    EXPECT_EQ(g_rowMapped, 1);
    enter(k_stateTitle);  // no row: a tap sends k_touchKeyFineTurnB
    EXPECT_NE(tapUp(120, 160).pressed, 0u);
    EXPECT_EQ(g_rowMapped, 1);
  }
  game->setScreenTables(nullptr, nullptr);
}

// Every screen of the game's tables is a whole row: its update, its paint
// and its touch mapping, one row a state in each table (the bare match's
// row of the in-game table, state none, has none of them).
TEST(ScreenTables, EveryRowHasItsUpdatePaintAndTouchMapping) {
  for (const cGameScreenTable* table : {&k_frontEndScreens, &k_inGameScreens}) {
    std::set<int32_t> seen;
    for (int32_t i = 0; i < table->count; ++i) {
      const cGameScreen& row = *table->rows[i];
      SCOPED_TRACE(row.state);
      EXPECT_TRUE(seen.insert(row.state).second);
      EXPECT_EQ(table->find(row.state), &row);
      if (row.state == k_stateNone) continue;
      EXPECT_NE(row.update, nullptr);
      EXPECT_NE(row.paint, nullptr);
      EXPECT_NE(row.mapTouch, nullptr);
    }
  }
  EXPECT_EQ(k_frontEndScreens.count, 37);
  EXPECT_EQ(k_inGameScreens.count, 16);
}

// The match's own states are rows of the match table: one a state, none
// also a screen over the match, each with its touch mapping and a step to
// run; all but the new match (which moves on at once) paint the table.
TEST(ScreenTables, EveryMatchStateIsOneRowOfTheMatchTable) {
  std::set<int32_t> seen;
  for (int32_t i = 0; i < k_matchScreens.count; ++i) {
    const cGameScreen& row = *k_matchScreens.rows[i];
    SCOPED_TRACE(row.state);
    EXPECT_TRUE(isMatchState(row.state));
    EXPECT_TRUE(seen.insert(row.state).second);
    EXPECT_EQ(k_matchScreens.find(row.state), &row);
    EXPECT_EQ(k_inGameScreens.find(row.state), nullptr);
    EXPECT_NE(row.mapTouch, nullptr);
    EXPECT_TRUE(row.enter || row.update);
    EXPECT_EQ(row.paint == nullptr, row.state == k_stateMatchInit);
  }
  EXPECT_EQ(k_matchScreens.count, 20);
}
