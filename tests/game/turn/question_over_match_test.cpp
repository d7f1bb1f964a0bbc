// A question asked over the table covers the table's messages: a rule
// message still waiting there must not swallow the answer.
#include "tests/game/turn/TurnFixture.h"
#include "windows_brew/TouchGlue.h"

using namespace turntest;

TEST_F(TurnTest, QuestionOverTheTableAnswersWithAMessageWaiting) {
  struct Case {
    const char* name;
    int32_t kind;  // the waiting message: 1 until dismissed, 2 also ages
    int32_t entry;  // yes 0, no 1
    bool pushOutTaken;
  } cases[] = {
      {"yes over a lasting message", 1, 0, true},
      {"no over a lasting message", 1, 1, false},
      {"yes over an ageing message", 2, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    startQuickMatch(k_ruleSetNineBall);
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateAim);
    game->rules.pushOutAvailable = 1;
    game->rules.shotOutcome = 0;
    game->setInGameState(k_stateAfterShot);
    ASSERT_TRUE(runUntil(k_stateQuestion, 30));
    addTextMessage(*game, c.kind, 677, 60000);
    ASSERT_TRUE(isMessageWaiting(*game));
    frames(3);
    game->menu.selection = c.entry;
    tap(kKeyLeftSoft);
    EXPECT_NE(game->states.gameState, k_stateQuestion);
    EXPECT_EQ(game->rules.pushOutShot != 0, c.pushOutTaken);
    // The message comes back into view with the table, still waiting.
    EXPECT_TRUE(isMessageWaiting(*game));
    game->messages.count = 0;
  }
}

// The blinking "TOUCH SCREEN" goes with what asked for the touch: a closed
// message box, the end of the scratch hold.
TEST_F(TurnTest, TouchPromptEndsWithWhatAskedForIt) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateAim);
  showMessageBox(*game, 0, 508);
  frame();
  ASSERT_EQ(game->states.gameState, k_stateMessageBox);
  EXPECT_TRUE(game->turn.touchHint);
  frames(20);
  for (int i = 0; i < 10 && game->states.gameState == k_stateMessageBox; ++i) tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_stateAim);
  EXPECT_FALSE(game->turn.touchHint);

  // A scratch: the prompt shows while the crowd's sound holds the turn back.
  game->rules.shotOutcome = 0;
  game->rules.crowdSoundPlayed = 1;
  game->rules.crowdSoundTime = game->frame.gameClock;
  game->setInGameState(k_stateAfterShot);
  frames(3);
  EXPECT_EQ(game->states.gameState, k_stateAfterShot);
  EXPECT_TRUE(game->turn.touchHint);
  ASSERT_TRUE(runUntil(k_stateAim, 200));
  EXPECT_FALSE(game->turn.touchHint);
}

// The spin selector opened by a touch on the right soft key closes by a
// touch on its "Back": the aim comes back, not the in-game menu.
TEST_F(TurnTest, SpinSelectorOpensAndClosesByTouch) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  ASSERT_EQ(game->states.gameState, k_stateAim);
  auto touch = [this](int32_t x, int32_t y) {
    frames(12);
    touchPressed(*game, x, y, static_cast<uint32_t>(wince::nowMicros() / 1000));
    frame();
    touchReleased(*game, x, y);
    frames(3);
  };
  touch(218, 303);
  ASSERT_EQ(game->states.gameState, k_stateSpinSelector);
  touch(218, 303);  // nothing there while the selector is open
  EXPECT_EQ(game->states.gameState, k_stateSpinSelector);
  touch(20, 303);  // its "Back"
  EXPECT_EQ(game->states.gameState, k_stateAim);
  touch(218, 303);
  EXPECT_EQ(game->states.gameState, k_stateSpinSelector);
}
