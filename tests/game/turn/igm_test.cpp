// The menus over a running match: the in-game menu's returns and questions,
// the cheats and the question menu.
#include <gtest/gtest.h>

#include <algorithm>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/turn/TurnFixture.h"

namespace turntest {
namespace {

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;

class IgmTest : public TurnTest {
 protected:
  // A quick match at the aim with the menu open over it.
  void openMenu(int32_t gameType = k_gameTypeQuickMatch) {
    startQuickMatch(k_ruleSetEightBall);
    game->match.gameType = gameType;
    tap(kKeyFire);
    ASSERT_EQ(game->states.gameState, k_stateAim);
    tap(kKeyBack);
    ASSERT_EQ(game->states.gameState, k_stateIGM);
  }
  void choose(uint32_t textId) {
    selectMenuEntryById(*game, textId);
    tap(kKeyFire);
  }
};

TEST_F(IgmTest, BackLeavesTheMatchRightSoftResumes) {
  struct Case {
    int32_t gameType;
    int key;
    int32_t state;
    uint8_t tutorialLeft;
  } cases[] = {
      {k_gameTypeQuickMatch, kKeyRightSoft, k_stateAim, 0},
      {k_gameTypeQuickMatch, kKeyBack, k_stateMainMenuLoading, 0},
      {k_gameTypeTutorial, kKeyBack, k_stateMainMenuLoading, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    game->tutorial.left = 0;
    openMenu(c.gameType);
    EXPECT_TRUE(game->frontEnd.menusOverMatch);
    EXPECT_TRUE(game->turn.hudHidden);
    tap(c.key);
    EXPECT_EQ(game->states.gameState, c.state);
    EXPECT_EQ(game->tutorial.left, c.tutorialLeft);
    EXPECT_FALSE(game->frontEnd.menusOverMatch);
    EXPECT_FALSE(game->turn.hudHidden);
  }
}

TEST_F(IgmTest, OneMenuAtATimeAndTheBallViewComesBack) {
  startQuickMatch(k_ruleSetEightBall);
  tap(kKeyFire);
  game->ballView.open = 1;
  game->turn.skipHintShown = 1;
  enterIGM(*game);
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_FALSE(game->ballView.open);
  EXPECT_FALSE(game->turn.skipHintShown);
  // Neither the menu itself nor a question it asked takes a second one.
  enterIGM(*game);
  EXPECT_EQ(game->states.stackDepth, 1);
  choose(k_textQuitMatch);
  ASSERT_EQ(game->states.gameState, k_stateQuestion);
  game->question.pendingAction = -1;
  game->states.stateStack[game->states.stackDepth++] = k_stateIGM;
  enterIGM(*game);
  EXPECT_EQ(game->states.gameState, k_stateQuestion);
  game->states.stackDepth -= 1;
  // No: back to the menu; resume: the aim, the ball view and the hint.
  choose(k_textNo);
  ASSERT_EQ(game->states.gameState, k_stateIGM);
  choose(k_textResume);
  EXPECT_EQ(game->states.gameState, k_stateAim);
  EXPECT_EQ(game->states.stackDepth, 0);
  EXPECT_TRUE(game->ballView.open);
  EXPECT_TRUE(game->turn.skipHintShown);
}

TEST_F(IgmTest, QuestionsOpenWithNoRowOnTheMenusPanel) {
  struct Case {
    uint32_t item;
    int32_t title, action;
  } cases[] = {{k_textQuitMatch, k_textQuitMatchTitle, 2},
               {k_textIGMRestart, k_textRestartMatch, 3},
               {k_textExit, k_textExit, 0}};
  for (const Case& c : cases) {
    openMenu();
    choose(c.item);
    ASSERT_EQ(game->states.gameState, k_stateQuestion);
    EXPECT_EQ(game->question.title, c.title);
    EXPECT_EQ(game->question.body, k_textQuestionBody);
    EXPECT_EQ(game->question.action, c.action);
    EXPECT_EQ(game->question.returnState, k_stateIGM);
    EXPECT_EQ(game->question.panel, k_interfaceIGM);
    EXPECT_EQ(game->menu.selection, -1);
  }
}

TEST_F(IgmTest, RestartIsHiddenOverTheFrameEnd) {
  for (int32_t under : {k_stateAim, k_stateFrameWon, k_stateResultLines}) {
    startQuickMatch(k_ruleSetEightBall);
    tap(kKeyFire);
    game->rules.winner = 0;
    game->rules.shotOutcome = kOutWin;
    game->setInGameState(under);
    enterIGM(*game);
    ASSERT_EQ(game->states.gameState, k_stateIGM);
    const bool hidden = under != k_stateAim;
    EXPECT_EQ(getMenuEntryFlags(*game, k_textIGMRestart) & 1, hidden ? 1u : 0u) << under;
    EXPECT_EQ(game->inGameMenus.invisibleOptions, hidden ? 1 : 0) << under;
  }
}

TEST_F(IgmTest, FrameCheatsEndTheFrameThroughItsEnd) {
  struct Case {
    int32_t gameType;
    uint32_t cheat;
    int32_t state, winner;
    uint32_t outcome;
  } cases[] = {
      {k_gameTypeQuickMatch, k_textCheatWin, k_stateFrameWon, 0, kOutWin},
      {k_gameTypeQuickMatch, k_textCheatLose, k_stateFrameWon, 1, kOutLose},
      {k_gameTypeChallenge, k_textCheatWin, k_stateAfterShot, 0, kOutWin},
      {4, k_textCheatLose, k_stateCheatMenu, -1, 0},  // no losing a challenge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cheat);
    openMenu(c.gameType);
    game->rules.shotOutcome = c.cheat == k_textCheatWin ? kOutLose : kOutWin;
    game->rules.winner = -1;
    game->setInGameState(k_stateCheatMenu);
    takeLog();
    applyCheat(*game, static_cast<int32_t>(c.cheat));
    EXPECT_EQ(game->states.gameState, c.state);
    EXPECT_EQ(game->rules.winner, c.winner);
    if (c.state == k_stateCheatMenu) continue;
    EXPECT_EQ(game->rules.shotOutcome & (kOutWin | kOutLose), c.outcome);
    EXPECT_EQ(game->match.currentPlayer, c.winner);
    EXPECT_EQ(game->states.stackDepth, 0);
    // The menu closed first: the aim left, as when a shot decides the frame.
    EXPECT_EQ(takeLog(), (std::vector<Step>{{k_stateCheatMenu, 'l'}, {k_stateAim, 'l'}, {c.state, 'e'}}));
    EXPECT_EQ(game->inGameMenus.cheatNotice, c.winner);
    EXPECT_EQ(game->inGameMenus.cheatNoticeLife, k_cheatNoticeLife);
  }
}

TEST_F(IgmTest, ProgressCheatsOpenOnlyWhatIsLockedAndSave) {
  openMenu();
  game->career.progress.character = 2;
  // Challenge states: locked, open, won, locked with tries.
  game->career.progress.challengeStates[0][0] = 0;
  game->career.progress.challengeStates[0][1] = 1;
  game->career.progress.challengeStates[0][2] = 2;
  game->career.progress.challengeStates[0][3] = 4;
  game->career.achievementMask = 0x3FF;  // the first category complete
  game->setInGameState(k_stateCheatMenu);
  applyCheat(*game, k_textCheatEverything);
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_EQ(game->career.achievementMask, 0x3FFFFFFFu);
  EXPECT_EQ(game->career.progress.challengeStates[0][0], 1);
  EXPECT_EQ(game->career.progress.challengeStates[0][1], 1);
  EXPECT_EQ(game->career.progress.challengeStates[0][2], 2) << "a won challenge stays won";
  EXPECT_EQ(game->career.progress.challengeStates[0][3], 5);
  EXPECT_EQ(game->notices.completionQueue[0], 1) << "only the two categories completed now";
  EXPECT_EQ(game->notices.completionQueue[1], 2);
  EXPECT_EQ(game->notices.completionQueue[2], -1);
  EXPECT_TRUE(game->career.specialRivalOpen);
  EXPECT_EQ(game->inGameMenus.cheatNotice, 3);
  std::vector<uint8_t> file = readBytes("save.sav");
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ(file[16], 0xFF);
  EXPECT_EQ(file[23], 1);
  EXPECT_EQ(file[112], 1);
  EXPECT_EQ(file[114], 2);
  // Every character: available, and won but for the career's own.
  game->setInGameState(k_stateCheatMenu);
  applyCheat(*game, k_textCheatCharacters);
  file = readBytes("save.sav");
  for (int c = 0; c < 10; ++c) {
    EXPECT_EQ(file[3 + c], 1) << c;
    EXPECT_EQ(file[102 + c], c == 2 ? 0 : 1) << c;
  }
  EXPECT_EQ(game->inGameMenus.cheatNotice, 2);
  EXPECT_EQ(game->states.gameState, k_stateIGM);
}

TEST_F(IgmTest, QuestionMenuHandsOverAndComesBackToTheQuestion) {
  startQuickMatch(k_ruleSetNineBall);
  tap(kKeyFire);
  game->rules.pushOutAvailable = 1;
  game->rules.shotOutcome = 0;
  game->setInGameState(k_stateAfterShot);
  frame();
  ASSERT_EQ(game->states.gameState, k_stateQuestionMenu);
  EXPECT_EQ(game->states.stackDepth, 1);
  frame();
  ASSERT_EQ(game->states.gameState, k_stateQuestion);
  EXPECT_TRUE(game->question.menuFlag);
  EXPECT_EQ(game->question.panel, k_interfaceIGM);
  // Back: the in-game menu over the question; resume asks again.
  tap(kKeyBack);
  ASSERT_EQ(game->states.gameState, k_stateIGM);
  EXPECT_EQ(game->question.pendingAction, 9);
  tap(kKeyRightSoft);
  EXPECT_EQ(game->states.gameState, k_stateQuestionMenu);
  frame();
  EXPECT_EQ(game->states.gameState, k_stateQuestion);
  EXPECT_EQ(game->question.action, 9);
  EXPECT_EQ(game->states.stackDepth, 1);
  // Yes: the push-out is taken and the shot goes on.
  selectMenuEntryById(*game, k_textYes);
  tap(kKeyFire);
  EXPECT_TRUE(game->rules.pushOutShot);
  EXPECT_EQ(game->states.stackDepth, 0);
}

}  // namespace
}  // namespace turntest

namespace turntest {
namespace {

// The screens painted over a match draw from banks a match keeps: the menu
// banks that stay, the portraits (set when shown) and the in-game banks.
TEST_F(TurnTest, ScreensOverAMatchUseOnlyKeptBanks) {
  const std::vector<int> kept = {0, 1, 2, 3, 6, 10, 12, 24, 28};
  for (int id : {k_interfaceIGM, k_interfaceCheatMenu, k_interfaceMatchResult, k_interfaceRetry,
                 k_interfaceChallengeUnlocked, k_interfaceCharacterUnlocked, k_interfacePostMatch, k_interfaceContinue}) {
    ASSERT_GT(getInterfaceElementCount(*game, id), 0) << id;
    for (int i = 0; i < getInterfaceElementCount(*game, id); ++i) {
      const int16_t* e = getInterfaceElement(*game, id, i);
      if (e[0] != 0) continue;  // sprites only
      if (id == k_interfaceCharacterUnlocked && i == k_unlockPortrait) continue;
      const int bank = e[3];
      const bool ok = std::find(kept.begin(), kept.end(), bank) != kept.end() || (bank >= 100 && bank <= 110);
      EXPECT_TRUE(ok) << "interface " << id << " element " << i << " bank " << bank;
    }
  }
}

}  // namespace
}  // namespace turntest
