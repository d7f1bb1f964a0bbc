// Challenges through the turn flow: what follows a decided shot (prize once,
// money, state word, the coach's texts by failed attempts, the retry or the
// demonstration question, the achievements), and every challenge's stored
// demonstration played by the game itself, which must solve it.
#include <cmath>

#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGamePlay/ChallengeDemo.h"
#include "tests/game/challenges/ChallengeFlowFixture.h"

namespace {

using flowtest::FlowTest;

constexpr uint32_t kWin = 0x8, kLose = 0x10, kStart = 0x2000;

class ChallengeFlow : public FlowTest {
 protected:
  // The after-shot step of challenge c in play, with this outcome.
  void decide(int32_t c, uint32_t outcome, bool messageDone) {
    game->match.challengeNumber = c;
    game->rules.shotOutcome = outcome;
    game->turn.messageDone = messageDone;
    updateChallengeAfterShot(*game);
  }
  void enterMatch(int32_t c) {
    startChallenge(c);
    ASSERT_TRUE(runToAim());
  }
};

TEST_F(ChallengeFlow, FirstWinQueuesThePrizeOnceThenPaysAndSaves) {
  const int32_t c = 13;  // index 5 of category 1: prize 175
  enterMatch(c);
  challengeState(*game, c) = 1;
  const uint32_t money = game->career.progress.money;
  game->turn.prizeShown = 0;
  decide(c, kWin | kStart, false);
  ASSERT_EQ(game->messages.count, 1);
  EXPECT_EQ(game->messages.kind[0], 2);
  EXPECT_EQ(game->messages.extra[0], 175);
  EXPECT_EQ(std::string(game->messages.text[0]), "Prize: $%n");
  EXPECT_EQ(game->career.progress.money, money);
  // While the prize shows nothing more happens.
  decide(c, kWin | kStart, false);
  EXPECT_EQ(game->messages.count, 1);
  clearMessages(*game);
  decide(c, kWin | kStart, false);
  EXPECT_EQ(game->career.progress.money, money + 175);
  EXPECT_EQ(challengeState(*game, c), 2);
  EXPECT_EQ(game->states.gameState, k_stateMessageBox);
  EXPECT_EQ(game->turn.messageText, k_textChallengeWon0 + c % 11);
  EXPECT_EQ(game->turn.messagePlayer, 1);
  // Saved at once: byte 112 + challenge, the money at 144.
  EXPECT_EQ(savedByte(112 + c), 2);
  EXPECT_EQ(savedByte(147), (money + 175) & 0xFF);
  // The success handling once more pays nothing.
  decide(c, kWin | kStart, false);
  EXPECT_EQ(game->career.progress.money, money + 175);
  // The coach's text read: back to the list through the menus' loading.
  decide(c, kWin | kStart, true);
  EXPECT_EQ(game->states.gameState, k_stateMainMenuLoading);
  EXPECT_EQ(game->loading.pendingReturnState, k_stateChallengeList);
}

TEST_F(ChallengeFlow, LossesByFailedAttempts) {
  enterMatch(5);
  const struct {
    int32_t before, after;  // state words
    int32_t text;
    int32_t next;           // state once the text is read
  } cases[] = {
      {1, 1 | 1 << 2, k_textChallengeFailed0 + 5, k_stateInGameQuestion},
      {1 | 1 << 2, 1 | 2 << 2, k_textChallengeFailed0 + 5, k_stateQuestionMenu},
      {1 | 2 << 2, 1 | 3 << 2, k_textChallengeFailedLater0 + 5, k_stateQuestionMenu},
      {1 | 4 << 2, 1 | 5 << 2, k_textChallengeFailedLater0 + 5, k_stateQuestionMenu},
      {1 | 5 << 2, 1 | 6 << 2, k_textChallengeFailedOften, k_stateQuestionMenu},
      // Won before and lost now: the state stays won.
      {2 | 7 << 2, 2 | 8 << 2, k_textChallengeFailedOften, k_stateQuestionMenu},
      // At 31 failed attempts the count stays: the saved byte keeps its sign.
      {1 | 31 << 2, 1 | 31 << 2, k_textChallengeFailedOften, k_stateQuestionMenu},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.before);
    challengeState(*game, 5) = k.before;
    game->setInGameState(k_stateAfterShot);
    clearMessages(*game);
    decide(5, kLose | kStart, false);
    EXPECT_EQ(challengeState(*game, 5), k.after);
    EXPECT_EQ(savedByte(112 + 5), k.after);
    EXPECT_EQ(game->states.gameState, k_stateMessageBox);
    EXPECT_EQ(game->turn.messageText, k.text);
    game->popState();  // the text read
    decide(5, kLose | kStart, true);
    EXPECT_EQ(game->states.gameState, k.next);
    if (k.next == k_stateQuestionMenu) {
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.title, k_textDemoTitle);
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.body, k_textDemoQuestion);
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.action, 8);
      EXPECT_EQ(game->inGameMenus.questionMenuSave.question.returnState, k_stateMatchInit);
    }
  }
  // The saved word survives a load.
  challengeState(*game, 5) = 1 | 31 << 2;
  saveProgress(*game);
  challengeState(*game, 5) = 0;
  loadProgress(*game);
  EXPECT_EQ(challengeState(*game, 5), 1 | 31 << 2);
}

TEST_F(ChallengeFlow, DecidedDemonstrationRecordsNothing) {
  for (const uint32_t outcome : {kWin, kLose}) {
    enterMatch(3);
    challengeState(*game, 3) = 1 | 2 << 2;
    const uint32_t money = game->career.progress.money;
    game->challenges.demo = 1;
    game->question.menuFlag = 1;
    decide(3, outcome | kStart, false);
    EXPECT_EQ(game->states.gameState, k_stateInGameQuestion);
    EXPECT_EQ(game->challenges.demo, 0);
    EXPECT_EQ(game->question.menuFlag, 0);
    EXPECT_EQ(challengeState(*game, 3), 1 | 2 << 2);
    EXPECT_EQ(game->career.progress.money, money);
    EXPECT_EQ(game->messages.count, 0);
  }
}

TEST_F(ChallengeFlow, UndecidedShotsStepTheDemonstrationOverStoredShotsOnly) {
  for (const auto& [c, last] : {std::pair{14, 8}, std::pair{6, 3}, std::pair{31, 0}}) {
    enterMatch(c);
    game->challenges.demoCurrentShot = 0;
    for (int i = 0; i < 12; ++i) decide(c, kStart, false);
    EXPECT_EQ(game->challenges.demoCurrentShot, last) << c;
    EXPECT_NE(getChallengeDemoShotValue(*game, k_demoPower), 0) << c;
  }
}

TEST_F(ChallengeFlow, WinningTheSixteenthAndTheLastChallenge) {
  const struct {
    int others;
    uint32_t achievements;
  } cases[] = {{14, 0}, {15, 1u << 3}, {31, 1u << 29}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.others);
    enterMatch(0);
    for (int n = 1; n < 32; ++n) challengeState(*game, n) = n <= k.others ? 2 : 1;
    challengeState(*game, 0) = 1;
    game->career.achievementMask = 0;
    game->turn.prizeShown = 1;
    decide(0, kWin | kStart, false);
    EXPECT_EQ(game->career.achievementMask & (1u << 3 | 1u << 29), k.achievements);
  }
}

TEST_F(ChallengeFlow, ShowMeKeysTakeTheStoredShot) {
  enterMatch(3);
  setChallengeDemoAim(*game);
  EXPECT_EQ(game->world.shot.aim.x, 16384);
  EXPECT_EQ(game->world.shot.aim.y, 496);
  setChallengeDemoSpin(*game);
  EXPECT_EQ(game->world.shot.englishPoint.x, -163840);
  EXPECT_EQ(getChallengeDemoPower(*game), 14828);
}

// The demonstration's aim from behind eases a fifth of the way, then snaps.
TEST_F(ChallengeFlow, DemonstrationAimEasesThenSnaps) {
  enterMatch(0);
  game->world.shot.aim.set(-16384, 64);  // just short of the half turn
  game->frame.frameTime = 33;
  updateChallengeDemoAim(*game);
  const Vector2& aim = game->world.shot.aim;
  const double deg = std::atan2(double(aim.y), double(aim.x)) * 180 / 3.14159265358979;
  EXPECT_NEAR(deg, 180 + (43.03 - 180) * 0.2, 0.5);
  updateChallengeDemoAim(*game);
  EXPECT_EQ(aim.x, 11979);
  EXPECT_EQ(aim.y, 11180);
  // Then it holds 800 ms before the spin selector opens.
  int frames = 0;
  while (game->states.gameState == k_stateAim && frames < 100) {
    updateChallengeDemoAim(*game);
    ++frames;
  }
  EXPECT_EQ(game->states.gameState, k_stateSpinSelector);
  EXPECT_EQ(frames, (800 + 32) / 33 + 1);
}

// Every challenge's stored shots, played by the demonstration through the
// turn flow on the data set's layouts: each shot reaches the stroke with
// the stored aim, spin and power, and the last one solves the challenge.
TEST_F(ChallengeFlow, EveryDemonstrationSolvesItsChallenge) {
  for (int32_t c = 0; c < 32; ++c) {
    SCOPED_TRACE(c);
    int strokes = 0, wrong = 0;
    uint32_t decided = 0;
    flowtest::stepHook() = [&](cGame& g, int32_t state, int32_t step) {
      if (step != k_subStateInit) return;
      const ShotRecord& shot = g.world.shot;
      const int32_t* stored = ChallengeDemoShot[c][g.challenges.demoCurrentShot];
      if (state == k_stateStroke) {
        ++strokes;
        if (shot.aim.x != stored[k_demoAimX] || shot.aim.y != stored[k_demoAimY] ||
            shot.masse != stored[k_demoMasse] || shot.englishPoint.x != stored[k_demoEnglishX] ||
            shot.englishPoint.y != stored[k_demoEnglishY] || shot.powerGauge != stored[k_demoPower])
          ++wrong;
      }
      if (state == k_stateInGameQuestion && !decided) decided = g.rules.shotOutcome | 0x80000000u;
    };
    startChallenge(c);
    const int32_t before = challengeState(*game, c);
    launchChallengeDemo(*game);
    ASSERT_TRUE(runUntil(k_stateInGameQuestion, 60000));
    EXPECT_EQ(decided & (kWin | kLose), kWin);
    EXPECT_EQ(strokes, challengeDemoShotCount(c));
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(challengeState(*game, c), before);
    EXPECT_EQ(game->challenges.demo, 0);
  }
}

}  // namespace
