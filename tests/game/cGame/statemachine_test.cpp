#include <gtest/gtest.h>

#include "GameFixture.h"

TEST_F(GameTest, InitEntersStateZeroWithKeysLocked) {
  EXPECT_EQ(game->states.gameState, k_stateStart);
  EXPECT_EQ(game->states.subState, k_subStateInit);
  EXPECT_EQ(game->frame.waitCounter, 1);
  EXPECT_EQ(game->keys.lockCount(), 1);
  EXPECT_EQ(game->states.previousState, -1);
  EXPECT_EQ(game->frame.frameTime, 25);
  EXPECT_STREQ(game->engine.version, "1.0.5");
  EXPECT_EQ(game->question.pendingAction, -1);
  EXPECT_EQ(game->pointerX, -1);
  EXPECT_EQ(game->releaseY, -1);
  ASSERT_NE(game->engine.random, nullptr);
}

TEST_F(GameTest, StartRunsZeroFiveTen) {
  game->update(nullptr);
  EXPECT_EQ(game->states.gameState, k_stateLoadInit);
  // The start-up loading takes one step a frame.
  for (int step = 0; step < 6; ++step) {
    game->update(nullptr);
    EXPECT_EQ(game->states.gameState, k_stateLoadInit) << step;
  }
  game->update(nullptr);
  EXPECT_EQ(game->states.gameState, k_stateLogo);
  EXPECT_EQ(game->states.previousState, k_stateLoadInit);
  // The frame that entered the logo paints nothing; the next one runs its screen.
  EXPECT_TRUE(takeLog().empty());
  game->update(nullptr);
  std::vector<ScreenCall> expected = {
      {'u', false, k_stateLogo, k_subStateInit},
      {'p', false, k_stateLogo, k_subStateInit}};
  EXPECT_EQ(takeLog(), expected);
}

TEST_F(GameTest, SetStatePreviousSkipsLoadingAndVersus) {
  struct Case {
    int32_t from;
    int32_t before;
    int32_t expectedPrevious;
  } cases[] = {
      {k_stateVersus, k_stateCharacterSelect, k_stateCharacterSelect},
      {k_stateMainMenuLoading, k_stateCharacterSelect, k_stateCharacterSelect},
      {k_stateGameLoading, k_stateCharacterSelect, k_stateCharacterSelect},
      {k_stateRulesChoice, k_stateCharacterSelect, k_stateRulesChoice},
      {k_statePub, k_stateCharacterSelect, k_statePub},
  };
  for (const Case& c : cases) {
    game->setState(c.before);
    game->setState(c.from);
    game->setState(k_stateMainMenu);
    EXPECT_EQ(game->states.previousState, c.expectedPrevious) << c.from;
    EXPECT_EQ(game->states.gameState, k_stateMainMenu);
    EXPECT_EQ(game->states.inGame, 0);
    EXPECT_EQ(game->states.redrawCounters[0], 5);
    EXPECT_EQ(game->states.redrawCounters[1], 5);
  }
}

TEST_F(GameTest, InGameChangeAlwaysRecordsPrevious) {
  for (int32_t from : {k_stateMainMenuLoading, k_stateVersus, k_stateGameLoading, k_stateMainMenu}) {
    game->setState(from);
    game->setInGameState(k_stateAim);
    EXPECT_EQ(game->states.previousState, from);
    EXPECT_EQ(game->states.gameState, k_stateAim);
    EXPECT_EQ(game->states.inGame, 1);
    EXPECT_EQ(game->states.subState, k_subStateInGameUpdate);
    EXPECT_EQ(game->states.redrawCounters[0], 1);
  }
}

TEST_F(GameTest, InGameChangeRunsLeaveThenEntry) {
  game->setInGameState(k_stateAim);
  takeLog();
  game->setInGameState(k_stateShotPower);
  std::vector<ScreenCall> expected = {
      {'u', true, k_stateAim, k_subStateDestroy},
      {'u', true, k_stateShotPower, k_subStateInit}};
  EXPECT_EQ(takeLog(), expected);
  EXPECT_EQ(game->states.subState, k_subStateInGameUpdate);
  EXPECT_EQ(game->keys.lockCount(), 2);
}

TEST_F(GameTest, FifthPushIsIgnored) {
  game->setInGameState(k_stateAim);
  for (int32_t s : {k_stateSpinSelector, k_stateMessageBox, k_stateOptions, k_stateQuestion}) game->pushState(s);
  EXPECT_EQ(game->states.stackDepth, 4);
  takeLog();
  game->pushState(k_stateCoinToss);
  EXPECT_EQ(game->states.gameState, k_stateQuestion);
  EXPECT_EQ(game->states.stackDepth, 4);
  EXPECT_TRUE(takeLog().empty());
  game->popState();
  EXPECT_EQ(game->states.gameState, k_stateOptions);  // the fourth pushed-over state
  game->popState();
  game->popState();
  game->popState();
  EXPECT_EQ(game->states.gameState, k_stateAim);
  EXPECT_EQ(game->states.stackDepth, 0);
  game->popState();  // empty: nothing happens
  EXPECT_EQ(game->states.gameState, k_stateAim);
}

TEST_F(GameTest, PushRunsNoLeavePopRunsNoEntry) {
  game->setInGameState(k_stateAim);
  takeLog();
  game->pushState(k_stateSpinSelector);
  std::vector<ScreenCall> pushed = {{'u', true, k_stateSpinSelector, k_subStateInit}};
  EXPECT_EQ(takeLog(), pushed);
  EXPECT_EQ(game->states.stateStack[0], k_stateAim);
  game->popState();
  std::vector<ScreenCall> popped = {{'u', true, k_stateSpinSelector, k_subStateDestroy}};
  EXPECT_EQ(takeLog(), popped);
  EXPECT_EQ(game->states.gameState, k_stateAim);
  EXPECT_EQ(game->states.previousState, k_stateSpinSelector);
}

TEST_F(GameTest, PopRunsEntryOnlyForContinueAndRetryQuestion) {
  for (int32_t t : {k_stateContinue, k_stateInGameQuestion, k_stateAim, k_stateOptions}) {
    game->setInGameState(t);
    game->pushState(k_stateMessageBox);
    takeLog();
    game->popState();
    std::vector<ScreenCall> log = takeLog();
    bool entered = false;
    for (const ScreenCall& c : log)
      if (c.state == t && c.subState == 0) entered = true;
    EXPECT_EQ(entered, t == k_stateContinue || t == k_stateInGameQuestion) << t;
  }
}

TEST_F(GameTest, PopToQuestionWithPendingActionOpensQuestionMenu) {
  game->setInGameState(k_stateQuestion);
  game->pushState(k_stateMessageBox);
  game->question.pendingAction = 6;
  game->question.menuFlag = 1;
  game->popState();
  EXPECT_EQ(game->states.gameState, k_stateQuestionMenu);
  EXPECT_EQ(game->question.pendingAction, -1);
  EXPECT_EQ(game->question.menuFlag, 0);
  // Later, with no action pending, a pop to the question resumes it.
  game->setInGameState(k_stateQuestion);
  game->pushState(k_stateMessageBox);
  takeLog();
  game->popState();
  EXPECT_EQ(game->states.gameState, k_stateQuestion);
  for (const ScreenCall& c : takeLog()) EXPECT_FALSE(c.state == k_stateQuestion && c.subState == k_subStateInit);
}

TEST_F(GameTest, PopRestoresCoinTossAndBreakChoiceLists) {
  game->setInGameState(k_stateBreakChoice);
  game->menu.savedSelection = 2;
  game->pushState(k_stateMessageBox);
  game->menu.count = 7;
  game->popState();
  EXPECT_EQ(game->menu.count, 3);
  EXPECT_EQ(game->menu.rows, 3);
  EXPECT_EQ(game->menu.listElement, 9);
  EXPECT_EQ(game->menu.selection, 2);
  ASSERT_NE(game->menu.table, nullptr);
  EXPECT_EQ(game->menu.table[0], 26u);
  EXPECT_EQ(game->menu.table[2], 655u);

  game->setInGameState(k_stateCoinToss);
  game->menu.savedSelection = 1;
  game->pushState(k_stateMessageBox);
  game->popState();
  EXPECT_EQ(game->menu.count, 2);
  EXPECT_EQ(game->menu.listElement, 8);
  EXPECT_EQ(game->menu.selection, 1);
  EXPECT_EQ(game->menu.table[1], 28u);
}

TEST_F(GameTest, LeavingAMatchFromAPushedMenuEmptiesTheStack) {
  game->setInGameState(k_stateAim);
  game->pushState(k_stateOptions);
  game->pushState(k_stateQuestion);
  game->setState(k_stateMainMenuLoading);  // quit to the main menu from the pushed question
  EXPECT_EQ(game->states.stackDepth, 0);
  game->setInGameState(k_stateAim);
  game->pushState(k_stateOptions);
  game->setInGameState(k_stateMatchInit);  // restart the match from a pushed menu
  EXPECT_EQ(game->states.stackDepth, 0);
}

TEST_F(GameTest, SetStateFramePaintsNothingInGameChangeDoesNot) {
  game->setState(k_stateMainMenu);
  settle();
  screenAction() = [](cGame& g) { g.setState(k_stateRulesChoice); };
  game->update(nullptr);
  std::vector<ScreenCall> expected = {{'u', false, k_stateMainMenu, k_subStateInit}};
  EXPECT_EQ(takeLog(), expected);
  screenAction() = nullptr;
  game->update(nullptr);  // the wait counter has run out: the rule-set choice runs and paints
  std::vector<ScreenCall> next = {
      {'u', false, k_stateRulesChoice, k_subStateInit},
      {'p', false, k_stateRulesChoice, k_subStateInit}};
  EXPECT_EQ(takeLog(), next);

  game->setInGameState(k_stateAim);
  settle();
  screenAction() = [](cGame& g) {
    if (g.states.gameState == k_stateAim && g.states.subState == k_subStateInGameUpdate)
      g.setInGameState(k_stateShotPower);
  };
  game->update(nullptr);
  std::vector<ScreenCall> inGame = {
      {'u', true, k_stateAim, k_subStateInGameUpdate},
      {'u', true, k_stateAim, k_subStateDestroy},
      {'u', true, k_stateShotPower, k_subStateInit},
      {'p', true, k_stateShotPower, k_subStateInGameUpdate}};
  EXPECT_EQ(takeLog(), inGame);
}

TEST_F(GameTest, WaitCounterSkipsPaints) {
  game->setState(k_stateMainMenu);
  settle();
  game->frame.waitCounter = 3;  // a screen asks to skip frames
  int paints = 0;
  for (int i = 0; i < 4; ++i) {
    game->update(nullptr);
    for (const ScreenCall& c : takeLog()) paints += c.kind == 'p';
  }
  // 3 -> 2, 2 -> 1, 1 -> 0 (paints), 0 (paints)
  EXPECT_EQ(paints, 2);
}

TEST_F(GameTest, StateWithoutScreenDoesNothing) {
  game->setState(k_stateTutorialChoice);  // no screen in the recording table
  settle();
  int32_t frames = game->frame.frontEndFrameCount;
  int32_t paints = game->frame.paintFrameCount;
  game->update(nullptr);
  EXPECT_TRUE(takeLog().empty());
  EXPECT_EQ(game->states.gameState, k_stateTutorialChoice);
  EXPECT_EQ(game->frame.frontEndFrameCount, frames + 1);
  EXPECT_EQ(game->frame.paintFrameCount, paints + 1);
  // An in-game state number run by the front end has no update either.
  game->setState(k_stateAim);
  settle();
  game->update(nullptr);
  EXPECT_TRUE(takeLog().empty());
}

TEST_F(GameTest, KeysReachScreensOneFrameLater) {
  game->setState(k_stateMainMenu);
  settle();
  game->keyPressed(19);
  game->keyReleased(19);
  bool seen = false;
  screenAction() = nullptr;
  game->update(nullptr);
  seen = game->keys.isPressed(k_keySelect);
  EXPECT_TRUE(seen);
  game->update(nullptr);
  EXPECT_FALSE(game->keys.isPressed(k_keySelect));
}

TEST_F(GameTest, RedrawCounterCountsDownPerPaintedFrame) {
  game->setState(k_stateMainMenu);
  settle();
  screenAction() = [](cGame& g) {
    if (g.states.gameState == k_stateMainMenu) g.setState(k_stateRulesChoice);
  };
  game->update(nullptr);  // enters the rule-set choice: no paint
  EXPECT_EQ(game->states.redrawCounters[0], 5);
  game->update(nullptr);
  EXPECT_EQ(game->states.redrawCounters[0], 4);
  EXPECT_EQ(game->states.redrawCounters[1], 5);
}

TEST_F(GameTest, SuspendAndResume) {
  struct Case {
    int32_t state;
    int32_t selection;
  } cases[] = {{k_stateQuestion, 1},       {k_stateQuestionMenu, 1},           {k_stateFirstRunQuestion, 1},
               {k_stateTournamentFieldConfirm, 1}, {k_stateMainMenu, 0}, {k_stateAim, 0}};
  for (const Case& c : cases) {
    if (isMatchState(c.state))
      game->setInGameState(c.state);
    else
      game->setState(c.state);
    game->menu.selection = 0;
    game->sound.currentId = 4;
    game->sound.currentMusicId = 11;
    game->resume(0);  // not suspended: nothing
    EXPECT_EQ(game->menu.selection, 0);
    game->suspend(0);
    EXPECT_EQ(game->frame.suspended, 1);
    EXPECT_EQ(game->sound.currentId, -1);
    EXPECT_EQ(game->sound.currentMusicId, -1);
    game->states.redrawCounters[0] = game->states.redrawCounters[1] = 0;
    game->resume(0);
    EXPECT_EQ(game->frame.suspended, 0);
    EXPECT_EQ(game->menu.selection, c.selection) << c.state;
    EXPECT_EQ(game->keys.lockCount(), 5);
    EXPECT_EQ(game->states.redrawCounters[0], 5);
    EXPECT_EQ(game->states.redrawCounters[1], 5);
  }
}
