// The end of a match: the after-match count-up and its payments, the unlock
// check's destinations, the announcements with their pages and returns, the
// menus that close a match, and the save bytes they leave.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "tests/game/data/BlockFont.h"
#include "tests/game/turn/TurnFixture.h"

namespace turntest {
namespace {

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr int32_t kQuick = k_gameTypeQuickMatch, kSingle = k_gameTypeSingleMatch, kCareer = k_gameTypeCareer,
                  kChallenge = k_gameTypeChallenge, kTutorial = k_gameTypeTutorial;

class ResultTest : public TurnTest {
 protected:
  // The block font lays the paged texts out.
  void SetUp() override {
    TurnTest::SetUp();
    if (IsSkipped()) return;
    font = makeBlockFont(*game);
    game->text.fonts[0] = font.get();
  }
  void TearDown() override {
    if (game) game->text.fonts[0] = nullptr;
    TurnTest::TearDown();
  }
  std::unique_ptr<ASprite> font;
  // A match at the aim, then its result as given.
  void finish(int32_t gameType, int32_t slot, int32_t winner) {
    startQuickMatch(k_ruleSetEightBall);
    tap(kKeyFire);
    game->match.gameType = gameType;
    game->setup.opponentSlot = slot;
    game->rules.winner = winner;
    game->rules.shotOutcome = winner == 0 ? kOutWin : kOutLose;
    clearMessages(*game);
  }
  // A fresh career: character 0, the first three characters available.
  void career(uint32_t money) {
    resetSettings(*game);
    resetProgress(*game);
    game->career.progress.started = 1;
    game->career.progress.money = money;
  }
  uint32_t savedWord(int at) {
    const std::vector<uint8_t> f = readBytes("save.sav");
    return static_cast<uint32_t>(f.at(at)) << 24 | f.at(at + 1) << 16 | f.at(at + 2) << 8 | f.at(at + 3);
  }
  int savedByte(int at) { return readBytes("save.sav").at(static_cast<size_t>(at)); }
};

TEST_F(ResultTest, LinesCountUpOneAfterTheOtherAndSelectShowsTheTotals) {
  career(500);
  finish(kCareer, 2, 0);
  game->setup.currentBet = 100;
  game->rules.bankShotCount = 2;
  game->rules.comboShotCount = 1;
  game->rules.streakPoints = 3;
  game->rules.multiPotPoints = 1;
  frame(100);
  game->setInGameState(k_stateGameOver);
  EXPECT_EQ(game->matchResult.bankPoints, 200);
  EXPECT_EQ(game->matchResult.comboPoints, 200);
  EXPECT_EQ(game->matchResult.streakPointsWon, 300);
  EXPECT_EQ(game->matchResult.multiPotPointsWon, 500);
  EXPECT_EQ(game->matchResult.total, 1200);
  EXPECT_EQ(game->matchResult.moneyBefore, 500);
  EXPECT_EQ(game->matchResult.betResult, 100);
  EXPECT_EQ(game->career.progress.money, 1800u);
  EXPECT_EQ(game->matchResult.line, -1);
  // 700 ms into the first line: half of each value; 1400 ms on, all of it.
  frames(7, 100);
  EXPECT_EQ(game->matchResult.line, 0);
  EXPECT_EQ(game->matchResult.lineTime, 700);
  EXPECT_EQ(resultLineValue(*game, 0, game->matchResult.bankPoints), 100);
  EXPECT_EQ(resultLineValue(*game, 0, 2), 1);
  frames(8, 100);
  EXPECT_EQ(resultLineValue(*game, 0, game->matchResult.bankPoints), 200);
  // 1900 ms a line: the second starts on the frame after; the first keeps
  // its full value.
  frames(4, 100);
  EXPECT_EQ(game->matchResult.line, 0);
  EXPECT_EQ(game->matchResult.lineTime, 1900);
  frame(100);
  EXPECT_EQ(game->matchResult.line, 1);
  EXPECT_EQ(resultLineValue(*game, 0, game->matchResult.bankPoints), 200);
  EXPECT_EQ(resultLineValue(*game, 1, game->matchResult.comboPoints), 14);  // 200 x 100 / 1400
  // Select: every line at once; a second select runs the check.
  tap(kKeyFire);
  EXPECT_EQ(game->matchResult.line, 4);
  EXPECT_EQ(game->states.gameState, k_stateGameOver);
  EXPECT_EQ(resultLineValue(*game, 3, game->matchResult.multiPotPointsWon), 500);
  tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_stateChallengeUnlocked);
}

TEST_F(ResultTest, PrizeAndBetByResult) {
  struct Case {
    int32_t gameType, winner;
    uint32_t money;
    int32_t bet, betResult;
    uint32_t after;
  } cases[] = {
      {kCareer, 0, 500, 100, 100, 600 + 300},
      {kCareer, 1, 500, 100, -100, 400 + 300},
      {kCareer, 1, 50, 400, -400, 0},  // the bet lost takes the money to 0, not below
      // A win past the top keeps the top; a record above it (a file from
      // elsewhere) counts from the top, as shown.
      {kCareer, 0, 0x7FFFFF00, 400, 400, 0x7FFFFFFF},
      {kCareer, 1, 0xFFFFFF00, 400, -400, 0x7FFFFFFF - 400 + 300},
      {kQuick, 0, 500, 100, 0, 800},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.money);
    career(c.money);
    finish(c.gameType, 2, c.winner);
    game->setup.currentBet = c.bet;
    game->rules.streakPoints = c.money == 50 ? 0 : 3;
    game->setInGameState(k_stateGameOver);
    EXPECT_EQ(game->matchResult.betResult, c.betResult);
    EXPECT_EQ(game->matchResult.moneyBefore, static_cast<int32_t>(std::min(c.money, 0x7FFFFFFFu)));
    EXPECT_EQ(game->career.progress.money, c.after);
    EXPECT_EQ(savedWord(144), c.after);
  }
}

TEST_F(ResultTest, CareerWinLeavesItsPendingUnlocksInTheSave) {
  struct Case {
    int32_t slot;
    uint8_t pending;
  } cases[] = {{2, 1}, {8, 0}, {10, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.slot);
    career(500);
    finish(kCareer, c.slot, 0);
    game->setInGameState(k_stateGameOver);
    EXPECT_EQ(savedByte(183), c.pending);
    EXPECT_EQ(savedByte(184), c.pending);
    if (c.pending) {
      EXPECT_EQ(savedWord(175), 3u);
      EXPECT_EQ(savedWord(179), 2u);
    }
    EXPECT_EQ(savedByte(174), c.slot == 10 ? 1 : 0);
    if (c.slot == 10) continue;
    checkUnlocks(*game);
    const int32_t rival = getRivalCharacter(*game, c.slot);
    EXPECT_EQ(savedByte(102 + rival), 1) << "the beaten rival is won";
  }
}

TEST_F(ResultTest, UnlockCheckGoesWhereTheResultLeads) {
  struct Case {
    const char* name;
    int32_t gameType, slot, winner;
    uint32_t money;
    int32_t challenge0;  // state of challenge `slot` of the first category
    bool nextFlag;       // availability flag slot + 1
    int32_t state, pending;
  } cases[] = {
      {"special rival won", kCareer, 10, 0, 500, 0, false, k_stateMainMenuLoading, k_statePub},
      {"special rival lost", kChallenge, 10, 1, 500, 0, false, k_stateMainMenuLoading, k_statePub},
      {"random match won", kQuick, 10, 0, 500, 0, false, k_stateMainMenuLoading, k_stateMainMenu},
      {"random match lost", kQuick, 2, 1, 500, 0, false, k_stateInGameQuestion, -1},
      {"single match won", kSingle, 2, 0, 500, 0, false, k_stateInGameQuestion, -1},
      {"career lost, below the stake", kCareer, 3, 1, 99, 0, false, k_stateMainMenuLoading, k_stateStakeChoice},
      {"career lost", kCareer, 3, 1, 100, 0, false, k_stateInGameQuestion, -1},
      {"challenge locked", kCareer, 2, 0, 500, 0, false, k_stateChallengeUnlocked, -1},
      {"challenge tried, still locked", kCareer, 2, 0, 500, 4, false, k_stateChallengeUnlocked, -1},
      {"next character locked", kCareer, 2, 0, 500, 1, false, k_stateCharacterUnlocked, -1},
      {"all open", kCareer, 2, 0, 500, 2, true, k_statePostMatchMenu, -1},
      {"last rival", kCareer, 8, 0, 500, 0, false, k_statePostMatchMenu, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    career(c.money);
    finish(c.gameType, c.slot, c.winner);
    if (c.slot < 8) game->career.progress.challengeStates[0][c.slot] = c.challenge0;
    if (c.slot < 9) game->career.characterAvailable[c.slot + 1] = c.nextFlag;
    game->question.menuFlag = 1;
    game->loading.pendingReturnState = -1;
    checkUnlocks(*game);
    EXPECT_EQ(game->states.gameState, c.state);
    EXPECT_EQ(game->loading.pendingReturnState, c.pending);
    if (c.state == k_stateInGameQuestion && c.gameType != kCareer) {
      EXPECT_FALSE(game->question.menuFlag);
    }
    EXPECT_EQ(game->career.progress.specialRivalBeaten, c.slot == 10 && c.winner == 0 && c.gameType != kQuick ? 1 : 0);
  }
  // The last rival with every character out: the career's end, once.
  career(500);
  for (uint8_t& a : game->career.characterAvailable) a = 1;
  for (int32_t round = 0; round < 2; ++round) {
    finish(kCareer, 8, 0);
    checkUnlocks(*game);
    EXPECT_EQ(game->states.gameState, round == 0 ? k_stateMainMenuLoading : k_statePostMatchMenu);
    EXPECT_EQ(savedByte(21), 1);
  }
  EXPECT_EQ(game->loading.pendingReturnState, k_stateCareerComplete);
}

TEST_F(ResultTest, AnnouncementsPageThenGoBackToTheCheckAndOnToTheMenu) {
  career(500);
  finish(kCareer, 2, 0);
  game->setInGameState(k_stateGameOver);
  checkUnlocks(*game);
  ASSERT_EQ(game->states.gameState, k_stateChallengeUnlocked);
  // The challenge of the beaten slot opens in every category.
  for (int category = 0; category < 4; ++category) EXPECT_EQ(savedByte(112 + 8 * category + 2), 1) << category;
  EXPECT_EQ(savedByte(184), 0);
  EXPECT_EQ(game->matchResult.unlockPageCount, 2);
  frame();
  EXPECT_TRUE(isElementVisible(*game, k_unlockMorePages));
  tap(kKeyFire);
  EXPECT_EQ(game->matchResult.unlockPage, 1);
  EXPECT_EQ(game->states.gameState, k_stateChallengeUnlocked);
  frame();
  EXPECT_FALSE(isElementVisible(*game, k_unlockMorePages));
  tap(kKeyFire);
  // Back to the check: the next character, the roster's for slot 3.
  ASSERT_EQ(game->states.gameState, k_stateCharacterUnlocked);
  const int32_t character = getRivalCharacter(*game, 3);
  EXPECT_EQ(game->matchResult.unlockCharacter, character);
  EXPECT_EQ(game->matchResult.unlockText, k_textCharacterUnlockedPage0 + character);
  EXPECT_EQ(getInterfaceElement(*game, k_interfaceCharacterUnlocked, k_unlockPortrait)[3], 13 + character);
  EXPECT_EQ(savedByte(183), 0);
  for (int c = 0; c < 10; ++c) EXPECT_EQ(savedByte(3 + c), c <= 3 || c == 9 ? 1 : 0) << c;
  tap(kKeyFire);
  tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_statePostMatchMenu);
}

TEST_F(ResultTest, GappedFlagsStillEndAtTheMenu) {
  // Flags 0, 1, 9 and, from a cheat or a file, 5 and 6: the count's flag is
  // 4, while the check asks for 3.
  career(500);
  game->career.characterAvailable[5] = game->career.characterAvailable[6] = 1;
  finish(kCareer, 2, 0);
  game->career.progress.challengeStates[0][2] = 1;
  game->setInGameState(k_stateGameOver);
  checkUnlocks(*game);
  ASSERT_EQ(game->states.gameState, k_stateCharacterUnlocked);
  EXPECT_TRUE(game->career.characterAvailable[4]);
  EXPECT_TRUE(game->career.characterAvailable[3]);
  for (int i = 0; i < 4 && game->states.gameState == k_stateCharacterUnlocked; ++i) tap(kKeyFire);
  EXPECT_EQ(game->states.gameState, k_statePostMatchMenu);
}

TEST_F(ResultTest, AnnouncementsFromThePubGoBackToIt) {
  struct Case {
    int32_t state;
  } cases[] = {{k_stateChallengeUnlocked}, {k_stateCharacterUnlocked}};
  for (const Case& c : cases) {
    career(500);
    game->career.progress.pendingUnlockSlot = 4;
    game->career.progress.pendingChallengeIndex = 3;
    game->setState(c.state);
    frame();
    ASSERT_EQ(game->states.gameState, c.state);
    EXPECT_FALSE(game->matchResult.unlockInMatch);
    for (int i = 0; i < 4 && game->states.gameState == c.state; ++i) tap(kKeyFire);
    EXPECT_EQ(game->states.gameState, k_statePub);
    // Back outside a match: the main menu.
    game->setState(c.state);
    frame();
    tap(kKeyBack);
    EXPECT_EQ(game->states.gameState, k_stateMainMenu);
  }
}

TEST_F(ResultTest, SpecialRivalOpenedSavesAndReturnsToTheCheck) {
  career(500);
  finish(kQuick, 2, 0);
  game->setInGameState(k_stateGameOver);
  game->states.subState = k_subStateInit;
  updateSpecialRivalOpened(*game);
  EXPECT_TRUE(game->career.specialRivalOpen);
  EXPECT_EQ(savedByte(23), 1);
  EXPECT_EQ(game->matchResult.unlockText, k_textSpecialRivalPages);
  EXPECT_EQ(game->matchResult.unlockPageCount, 2);
  for (int i = 0; i < 2; ++i) {
    game->keys.lock(0);
    game->keyPressed(kKeyFire);
    game->keyReleased(kKeyFire);
    game->keys.update();
    updateSpecialRivalOpened(*game);
    game->keys.update();
  }
  EXPECT_EQ(game->states.gameState, k_stateMainMenuLoading) << "a random match won ends at the main menu";
}

TEST_F(ResultTest, AllAchievementsOpenTheSpecialRivalAtTheResult) {
  career(500);
  game->career.achievementMask = 0x3FFFFFFF;
  finish(kQuick, 2, 1);
  game->setInGameState(k_stateGameOver);
  EXPECT_TRUE(game->career.specialRivalOpen);
  EXPECT_EQ(savedByte(23), 1) << "a settings byte: the settings are saved too";
}

TEST_F(ResultTest, MenusThatCloseAMatch) {
  struct Case {
    int32_t state, gameType;
    uint32_t item;
    uint8_t tutorialStarted, shopPending;
    int32_t next, pending;
  } cases[] = {
      {k_stateInGameQuestion, kQuick, k_textYes, 0, 0, k_stateMatchInit, -1},
      {k_stateInGameQuestion, kQuick, k_textNo, 0, 0, k_stateMainMenuLoading, -1},
      {k_stateInGameQuestion, kChallenge, k_textNo, 0, 0, k_stateMainMenuLoading, k_stateChallengeList},
      {k_stateInGameQuestion, kTutorial, k_textNo, 1, 0, k_stateContinue, -1},
      {k_statePostMatchMenu, kCareer, k_textAnotherMatch, 0, 0, k_stateMainMenuLoading, k_stateStakeChoice},
      {k_statePostMatchMenu, kCareer, k_textVisitShop, 0, 1, k_stateMainMenuLoading, k_stateShopExplanation},
      {k_statePostMatchMenu, kCareer, k_textVisitShop, 0, 0, k_stateMainMenuLoading, k_stateShop},
      {k_statePostMatchMenu, kCareer, k_textPlayChallenges, 0, 0, k_stateMainMenuLoading, k_stateChallengeMenu},
      {k_statePostMatchMenu, kCareer, k_textQuitMatch, 0, 0, k_stateMainMenuLoading, k_stateMainMenu},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    career(500);
    finish(c.gameType, 2, 0);
    game->tutorial.started = c.tutorialStarted;
    game->career.progress.shopExplanationPending = c.shopPending;
    game->loading.pendingReturnState = -1;
    game->setInGameState(c.state);
    frame();
    selectMenuEntryById(*game, c.item);
    tap(kKeyFire);
    if (c.next == k_stateMatchInit)
      EXPECT_GE(game->states.gameState, k_stateMatchInit);
    else
      EXPECT_EQ(game->states.gameState, c.next);
    EXPECT_EQ(game->loading.pendingReturnState, c.pending);
    if (c.item == k_textAnotherMatch) {
      EXPECT_TRUE(game->inGameMenus.anotherMatch);
    }
    if (c.item == k_textVisitShop) {
      EXPECT_EQ(game->career.pubSpot, 4);
    }
    if (c.item == k_textPlayChallenges) {
      EXPECT_EQ(game->career.pubSpot, 3);
    }
  }
  // The retry question's back key: the in-game menu over it.
  finish(kQuick, 2, 1);
  game->setInGameState(k_stateInGameQuestion);
  tap(kKeyBack);
  EXPECT_EQ(game->states.gameState, k_stateIGM);
  // After the tutorial: with the exit flag the match goes on at its start.
  finish(kTutorial, 2, 1);
  game->tutorial.left = 1;
  game->setInGameState(k_stateContinue);
  takeLog();
  tap(kKeyFire);
  EXPECT_FALSE(game->tutorial.left);
  EXPECT_EQ(savedByte(22), 0);
  EXPECT_EQ(takeLog().at(1), (Step{k_stateStartDispatch, 'e'}));
}

TEST_F(ResultTest, NothingDescribedWithoutASelectedRow) {
  career(500);
  finish(kCareer, 2, 0);
  game->setInGameState(k_statePostMatchMenu);
  frame();
  EXPECT_EQ(game->menu.selection, -1);
  paintPostMatchMenu(*game, nullptr);  // no row: no description to read
}

}  // namespace
}  // namespace turntest
