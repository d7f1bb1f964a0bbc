#include <gtest/gtest.h>

#include "GameFixture.h"

TEST_F(GameTest, InitEntersStateZeroWithKeysLocked) {
  EXPECT_EQ(game->s_gameState, k_stateStart);
  EXPECT_EQ(game->m_subState, k_subStateInit);
  EXPECT_EQ(game->m_waitCounter, 1);
  EXPECT_EQ(game->m_keys.lockCount(), 1);
  EXPECT_EQ(game->m_previousState, -1);
  EXPECT_EQ(game->m_frameTime, 25);
  EXPECT_STREQ(game->m_version, "1.0.5");
  EXPECT_EQ(game->m_pendingQuestionAction, -1);
  EXPECT_EQ(game->pointerX, -1);
  EXPECT_EQ(game->releaseY, -1);
  ASSERT_NE(game->m_random, nullptr);
}

TEST_F(GameTest, StartRunsZeroFiveTen) {
  game->update(nullptr);
  EXPECT_EQ(game->s_gameState, k_stateLoadInit);
  // The start-up loading takes one step a frame.
  for (int step = 0; step < 6; ++step) {
    game->update(nullptr);
    EXPECT_EQ(game->s_gameState, k_stateLoadInit) << step;
  }
  game->update(nullptr);
  EXPECT_EQ(game->s_gameState, k_stateLogo);
  EXPECT_EQ(game->m_previousState, k_stateLoadInit);
  // The frame that entered 10 paints nothing; the next one runs its screen.
  EXPECT_TRUE(takeLog().empty());
  game->update(nullptr);
  std::vector<ScreenCall> expected = {{'u', false, 10, 0}, {'p', false, 10, 0}};
  EXPECT_EQ(takeLog(), expected);
}

TEST_F(GameTest, SetStatePreviousSkipsLoadingAndVersus) {
  struct Case {
    int32_t from;
    int32_t before;
    int32_t expectedPrevious;
  } cases[] = {
      {210, 90, 90}, {20, 90, 90}, {370, 90, 90}, {80, 90, 80}, {110, 90, 110},
  };
  for (const Case& c : cases) {
    game->setState(c.before);
    game->setState(c.from);
    game->setState(50);
    EXPECT_EQ(game->m_previousState, c.expectedPrevious) << c.from;
    EXPECT_EQ(game->s_gameState, 50);
    EXPECT_EQ(game->m_inGame, 0);
    EXPECT_EQ(game->m_redrawCounters[0], 5);
    EXPECT_EQ(game->m_redrawCounters[1], 5);
  }
}

TEST_F(GameTest, InGameChangeAlwaysRecordsPrevious) {
  for (int32_t from : {20, 210, 370, 50}) {
    game->setState(from);
    game->setInGameState(520);
    EXPECT_EQ(game->m_previousState, from);
    EXPECT_EQ(game->s_gameState, 520);
    EXPECT_EQ(game->m_inGame, 1);
    EXPECT_EQ(game->m_subState, k_subStateInGameUpdate);
    EXPECT_EQ(game->m_redrawCounters[0], 1);
  }
}

TEST_F(GameTest, InGameChangeRunsLeaveThenEntry) {
  game->setInGameState(520);
  takeLog();
  game->setInGameState(530);
  std::vector<ScreenCall> expected = {{'u', true, 520, 20}, {'u', true, 530, 0}};
  EXPECT_EQ(takeLog(), expected);
  EXPECT_EQ(game->m_subState, 30);
  EXPECT_EQ(game->m_keys.lockCount(), 2);
}

TEST_F(GameTest, FifthPushIsIgnored) {
  game->setInGameState(520);
  for (int32_t s : {620, 630, 70, 60}) game->pushState(s);
  EXPECT_EQ(game->m_stackDepth, 4);
  takeLog();
  game->pushState(710);
  EXPECT_EQ(game->s_gameState, 60);
  EXPECT_EQ(game->m_stackDepth, 4);
  EXPECT_TRUE(takeLog().empty());
  game->popState();
  EXPECT_EQ(game->s_gameState, 70);  // the fourth pushed-over state
  game->popState();
  game->popState();
  game->popState();
  EXPECT_EQ(game->s_gameState, 520);
  EXPECT_EQ(game->m_stackDepth, 0);
  game->popState();  // empty: nothing happens
  EXPECT_EQ(game->s_gameState, 520);
}

TEST_F(GameTest, PushRunsNoLeavePopRunsNoEntry) {
  game->setInGameState(520);
  takeLog();
  game->pushState(620);
  std::vector<ScreenCall> pushed = {{'u', true, 620, 0}};
  EXPECT_EQ(takeLog(), pushed);
  EXPECT_EQ(game->m_stateStack[0], 520);
  game->popState();
  std::vector<ScreenCall> popped = {{'u', true, 620, 20}};
  EXPECT_EQ(takeLog(), popped);
  EXPECT_EQ(game->s_gameState, 520);
  EXPECT_EQ(game->m_previousState, 620);
}

TEST_F(GameTest, PopRunsEntryOnlyFor400And320) {
  for (int32_t t : {400, 320, 520, 70}) {
    game->setInGameState(t);
    game->pushState(630);
    takeLog();
    game->popState();
    std::vector<ScreenCall> log = takeLog();
    bool entered = false;
    for (const ScreenCall& c : log)
      if (c.state == t && c.subState == 0) entered = true;
    EXPECT_EQ(entered, t == 400 || t == 320) << t;
  }
}

TEST_F(GameTest, PopToQuestionWithPendingActionOpensQuestionMenu) {
  game->setInGameState(60);
  game->pushState(630);
  game->m_pendingQuestionAction = 6;
  game->m_questionMenuFlag = 1;
  game->popState();
  EXPECT_EQ(game->s_gameState, 380);
  EXPECT_EQ(game->m_pendingQuestionAction, -1);
  EXPECT_EQ(game->m_questionMenuFlag, 0);
  // Later, with no action pending, a pop to 60 resumes the question.
  game->setInGameState(60);
  game->pushState(630);
  takeLog();
  game->popState();
  EXPECT_EQ(game->s_gameState, 60);
  for (const ScreenCall& c : takeLog()) EXPECT_FALSE(c.state == 60 && c.subState == 0);
}

TEST_F(GameTest, PopRestoresCoinTossAndBreakChoiceLists) {
  game->setInGameState(720);
  game->m_savedMenuSelection = 2;
  game->pushState(630);
  game->m_menu.count = 7;
  game->popState();
  EXPECT_EQ(game->m_menu.count, 3);
  EXPECT_EQ(game->m_menu.rows, 3);
  EXPECT_EQ(game->m_menu.listElement, 9);
  EXPECT_EQ(game->m_menu.selection, 2);
  ASSERT_NE(game->m_menu.table, nullptr);
  EXPECT_EQ(game->m_menu.table[0], 26u);
  EXPECT_EQ(game->m_menu.table[2], 655u);

  game->setInGameState(710);
  game->m_savedMenuSelection = 1;
  game->pushState(630);
  game->popState();
  EXPECT_EQ(game->m_menu.count, 2);
  EXPECT_EQ(game->m_menu.listElement, 8);
  EXPECT_EQ(game->m_menu.selection, 1);
  EXPECT_EQ(game->m_menu.table[1], 28u);
}

TEST_F(GameTest, LeavingAMatchFromAPushedMenuEmptiesTheStack) {
  game->setInGameState(520);
  game->pushState(70);
  game->pushState(60);
  game->setState(20);  // quit to the main menu from the pushed question
  EXPECT_EQ(game->m_stackDepth, 0);
  game->setInGameState(520);
  game->pushState(70);
  game->setInGameState(500);  // restart the match from a pushed menu
  EXPECT_EQ(game->m_stackDepth, 0);
}

TEST_F(GameTest, SetStateFramePaintsNothingInGameChangeDoesNot) {
  game->setState(50);
  settle();
  screenAction() = [](cGame& g) { g.setState(80); };
  game->update(nullptr);
  std::vector<ScreenCall> expected = {{'u', false, 50, 0}};
  EXPECT_EQ(takeLog(), expected);
  screenAction() = nullptr;
  game->update(nullptr);  // the wait counter has run out: 80 runs and paints
  std::vector<ScreenCall> next = {{'u', false, 80, 0}, {'p', false, 80, 0}};
  EXPECT_EQ(takeLog(), next);

  game->setInGameState(520);
  settle();
  screenAction() = [](cGame& g) {
    if (g.s_gameState == 520 && g.m_subState == 30) g.setInGameState(530);
  };
  game->update(nullptr);
  std::vector<ScreenCall> inGame = {
      {'u', true, 520, 30}, {'u', true, 520, 20}, {'u', true, 530, 0}, {'p', true, 530, 30}};
  EXPECT_EQ(takeLog(), inGame);
}

TEST_F(GameTest, WaitCounterSkipsPaints) {
  game->setState(50);
  settle();
  game->m_waitCounter = 3;  // a screen asks to skip frames
  int paints = 0;
  for (int i = 0; i < 4; ++i) {
    game->update(nullptr);
    for (const ScreenCall& c : takeLog()) paints += c.kind == 'p';
  }
  // 3 -> 2, 2 -> 1, 1 -> 0 (paints), 0 (paints)
  EXPECT_EQ(paints, 2);
}

TEST_F(GameTest, StateWithoutScreenDoesNothing) {
  game->setState(130);  // no screen in the recording table
  settle();
  int32_t frames = game->m_frontEndFrameCount;
  int32_t paints = game->m_paintFrameCount;
  game->update(nullptr);
  EXPECT_TRUE(takeLog().empty());
  EXPECT_EQ(game->s_gameState, 130);
  EXPECT_EQ(game->m_frontEndFrameCount, frames + 1);
  EXPECT_EQ(game->m_paintFrameCount, paints + 1);
  // An in-game state number run by the front end has no update either.
  game->setState(520);
  settle();
  game->update(nullptr);
  EXPECT_TRUE(takeLog().empty());
}

TEST_F(GameTest, KeysReachScreensOneFrameLater) {
  game->setState(50);
  settle();
  game->keyPressed(19);
  game->keyReleased(19);
  bool seen = false;
  screenAction() = nullptr;
  game->update(nullptr);
  seen = game->m_keys.isPressed(k_keySelect);
  EXPECT_TRUE(seen);
  game->update(nullptr);
  EXPECT_FALSE(game->m_keys.isPressed(k_keySelect));
}

TEST_F(GameTest, RedrawCounterCountsDownPerPaintedFrame) {
  game->setState(50);
  settle();
  screenAction() = [](cGame& g) {
    if (g.s_gameState == 50) g.setState(80);
  };
  game->update(nullptr);  // enters 80: no paint
  EXPECT_EQ(game->m_redrawCounters[0], 5);
  game->update(nullptr);
  EXPECT_EQ(game->m_redrawCounters[0], 4);
  EXPECT_EQ(game->m_redrawCounters[1], 5);
}

TEST_F(GameTest, SuspendAndResume) {
  struct Case {
    int32_t state;
    int32_t selection;
  } cases[] = {{60, 1}, {380, 1}, {30, 1}, {420, 1}, {50, 0}, {520, 0}};
  for (const Case& c : cases) {
    if (c.state >= 500)
      game->setInGameState(c.state);
    else
      game->setState(c.state);
    game->m_menu.selection = 0;
    game->m_currentSoundId = 4;
    game->m_currentMusicId = 11;
    game->resume(0);  // not suspended: nothing
    EXPECT_EQ(game->m_menu.selection, 0);
    game->suspend(0);
    EXPECT_EQ(game->m_suspended, 1);
    EXPECT_EQ(game->m_currentSoundId, -1);
    EXPECT_EQ(game->m_currentMusicId, -1);
    game->m_redrawCounters[0] = game->m_redrawCounters[1] = 0;
    game->resume(0);
    EXPECT_EQ(game->m_suspended, 0);
    EXPECT_EQ(game->m_menu.selection, c.selection) << c.state;
    EXPECT_EQ(game->m_keys.lockCount(), 5);
    EXPECT_EQ(game->m_redrawCounters[0], 5);
    EXPECT_EQ(game->m_redrawCounters[1], 5);
  }
}
