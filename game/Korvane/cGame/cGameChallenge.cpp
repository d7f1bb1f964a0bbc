// Challenges: the frame start, the stored demonstration that aims, sets the
// spin and raises the power by itself, the show-me keys, and what follows a
// challenge's shot (the prize, the saved state word, the coach's texts and
// the achievements).
#include <algorithm>
#include <cstdlib>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameStates.h"
#include "game/Korvane/cGamePlay/ChallengeDemo.h"
#include "zul/3d/Angles.h"

namespace {

constexpr int32_t kChallenges = 32;
constexpr int32_t kPerCategory = 8;
constexpr int32_t kChallengeRuleSet = 3;
constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10, kOutStart = 0x2000;
constexpr int32_t kStepMs = 800;
constexpr Q14 kAimStep = 0xccc;         // a fifth of the way a frame
constexpr Q14 kAimSnap = 0x1e0000;      // closer than this the aim is set outright
constexpr int32_t kEnglishRate = 20;
constexpr int32_t kPowerRate = 8400;
constexpr int32_t kStateWon = 2;
constexpr int32_t kMaxAttempts = 31;    // the save keeps the word in a signed byte
constexpr int32_t kAchievementHalf = 3, kAchievementAll = 29;
constexpr int32_t kRetryAttempts = 1;   // failed attempts that get the retry question, not the demonstration

bool isChallenge(int32_t c) { return c >= 0 && c < kChallenges; }

// No to the demonstration: the retry question.
void declineChallengeDemo(cGame& game) { game.setInGameState(k_stateInGameQuestion); }

constexpr int32_t kActionChallengeDemo = 8;

}  // namespace

const Question k_questionChallengeDemo = {.title = k_textDemoTitle,
                                          .body = k_textDemoQuestion,
                                          .returnState = k_stateMatchInit,
                                          .action = kActionChallengeDemo,
                                          .yes = launchChallengeDemo,
                                          .no = declineChallengeDemo,
                                          .back = openMenuOverQuestion};

// Word 0-5 of the current demonstration shot of the current challenge; 0 for
// a word, challenge or shot out of range.
int32_t getChallengeDemoShotValue(const cGame& game, int32_t word) {
  if (word < 0 || word >= kChallengeDemoWords) return 0;
  if (!isChallenge(game.match.challengeNumber)) return 0;
  if (game.challenges.demoCurrentShot < 0 || game.challenges.demoCurrentShot >= kChallengeDemoShots) return 0;
  return ChallengeDemoShot[game.match.challengeNumber][game.challenges.demoCurrentShot][word];
}

// Shots the demonstration plays: only stored ones, at least the first.
int32_t getChallengeDemoShotCount(const cGame& game) { return challengeDemoShotCount(game.match.challengeNumber); }

// The demonstration replays the challenge from its start.
void launchChallengeDemo(cGame& game) {
  game.challenges.demo = 1;
  game.challenges.demoCurrentShot = 0;
  game.setInGameState(k_stateMatchInit);
}

int32_t& challengeState(cGame& game, int32_t challenge) {
  if (!isChallenge(challenge)) {
    game.challenges.scratchChallengeState = 0;
    return game.challenges.scratchChallengeState;
  }
  return game.career.progress.challengeStates[challenge / kPerCategory][challenge % kPerCategory];
}

int32_t countWonChallenges(const cGame& game) {
  int32_t n = 0;
  for (const auto& category : game.career.progress.challengeStates)
    for (int32_t s : category)
      if ((s & 3) == kStateWon) ++n;
  return n;
}

bool isHalfChallengesWon(const cGame& game) { return countWonChallenges(game) == kChallenges / 2; }
bool isAllChallengesWon(const cGame& game) { return countWonChallenges(game) == kChallenges; }

// ---- frame start

void startScriptedFrame(cGame& game, int32_t mode, bool hasLayout) {
  game.match.currentPlayer = 0;
  game.rules.previousPlayer = 1;
  game.rules.rulesMode = mode;
  setBallSprites(game);
  if (hasLayout)
    placeBalls(game);
  else
    game.world.placeBalls(TableLayoutGroup{});
  prepareFirstShot(game);
  game.world.breakPlayed = 1;
  game.rules.tableOpen = 0;
  game.rules.breakBytes[0] = 0;
  game.rules.breakBytes[1] = 1;
  game.rules.thirdTurnByte = 0;
}

void startChallenge(cGame& game) {
  game.match.ruleSet = kChallengeRuleSet;
  // A number out of range takes no layout (its group would be a lesson's).
  startScriptedFrame(game, RuleState::kModeChallenge, isChallenge(game.match.challengeNumber));
  game.challenges.demoCurrentShot = 0;
  startChallengeRules(game);
  game.rules.shotOutcome = kOutStart;
  game.turn.prizeShown = 0;
  game.challenges.demoTimer = 0;
  game.stylus.spinArrowsLocked = 0;
  game.stylus.spinButtonHidden = 0;
}

// ---- the demonstration

void updateChallengeDemoAim(cGame& game) {
  Vector2& aim = game.world.shot.aim;
  const Q14 tx = getChallengeDemoShotValue(game, k_demoAimX), ty = getChallengeDemoShotValue(game, k_demoAimY);
  const Q14 ta = atan2Degrees(tx, ty);
  const Q14 a = atan2Degrees(aim.x, aim.y);
  if (a == ta || (aim.x == tx && aim.y == ty)) {
    // Angles this close read the same: the shot takes the stored aim itself.
    if (aim.x != tx || aim.y != ty) {
      aim.set(tx, ty);
      game.world.shot.aimChanged = 1;
    }
    if (game.challenges.demoTimer < 1) {
      game.pushState(k_stateSpinSelector);
      game.challenges.demoTimer = kStepMs;
    }
    game.challenges.demoTimer -= game.frame.frameTime;
    return;
  }
  const Q14 b = q14Lerp(a, ta, kAimStep);
  aim.set(cosDegrees(b), sinDegrees(b));
  if (std::abs(angleDifference(ta, a)) < kAimSnap) aim.set(tx, ty);
  game.rules.chosenTargets[game.match.currentPlayer & 1] = -1;
  game.world.shot.aimChanged = 1;
  game.challenges.demoTimer = kStepMs;
}

void updateChallengeDemoSpin(cGame& game) {
  ShotRecord& shot = game.world.shot;
  if (getChallengeDemoShotValue(game, k_demoMasse) && !shot.masse) {
    game.challenges.demoTimer -= game.frame.frameTime;
    if (game.challenges.demoTimer <= 0) {
      shot.masse = 1;
      shot.aimChanged = 1;
      game.challenges.demoTimer = kStepMs;
    }
    return;
  }
  Vector2& e = shot.englishPoint;
  const Q14 tx = getChallengeDemoShotValue(game, k_demoEnglishX), ty = getChallengeDemoShotValue(game, k_demoEnglishY);
  const Vector2 before = e;
  if (e.x != tx) moveEnglishPoint(game, easeTowards(e.x, tx, kEnglishRate) - e.x, 0);
  if (e.y != ty) moveEnglishPoint(game, 0, easeTowards(e.y, ty, kEnglishRate) - e.y);
  // A stored point the tip's limit holds back is taken as it is stored.
  if ((e.x != tx || e.y != ty) && e.x == before.x && e.y == before.y) {
    e.set(tx, ty);
    shot.aimChanged = 1;
  }
  if (e.x != tx || e.y != ty) return;
  game.challenges.demoTimer -= game.frame.frameTime;
  if (game.challenges.demoTimer >= 1) return;
  game.turn.spinSelectorShown = 0;
  game.popState();
  game.pushState(k_stateShotPower);
}

void updateChallengeDemoPower(cGame& game) {
  ShotRecord& shot = game.world.shot;
  const int32_t target = getChallengeDemoShotValue(game, k_demoPower);
  const int64_t step = (static_cast<int64_t>(std::max(game.frame.frameTime, 0)) * kPowerRate) >> 10;
  const int64_t gauge = shot.powerGauge + ((static_cast<int64_t>(shot.powerDirection) * step) >> 14);
  // The stored power may lie above the gauge's top (challenge 8): the gauge
  // is set to it as it is.
  if (gauge < target) {
    shot.powerGauge = static_cast<Q14>(gauge);
    return;
  }
  shot.powerGauge = target;
  game.popState();
  game.setInGameState(k_stateStroke);
}

// ---- show-me keys

void setChallengeDemoAim(cGame& game) {
  game.world.shot.aim.set(getChallengeDemoShotValue(game, k_demoAimX), getChallengeDemoShotValue(game, k_demoAimY));
  game.world.shot.aimChanged = 1;
}

void setChallengeDemoSpin(cGame& game) {
  const Vector2& e = game.world.shot.englishPoint;
  moveEnglishPoint(game, getChallengeDemoShotValue(game, k_demoEnglishX) - e.x,
                   getChallengeDemoShotValue(game, k_demoEnglishY) - e.y);
}

Q14 getChallengeDemoPower(cGame& game) { return getChallengeDemoShotValue(game, k_demoPower); }

// ---- after the shot

void updateChallengeAfterShot(cGame& game) {
  const uint32_t out = game.rules.shotOutcome;
  const bool won = (out & kOutWin) != 0;
  const bool lost = !won && (out & kOutLose) != 0;
  const int32_t c = game.match.challengeNumber;
  int32_t& state = challengeState(game, c);
  const int32_t prize = k_challengePrizes[std::clamp(c, 0, kChallenges - 1) % kPerCategory];
  if (!won && !lost) {
    if (game.challenges.demoCurrentShot + 1 < getChallengeDemoShotCount(game)) game.challenges.demoCurrentShot += 1;
    chooseNextTurnState(game);
    return;
  }
  // A demonstration never records a result.
  if (game.challenges.demo) {
    game.challenges.demo = 0;
    game.question.menuFlag = 0;
    game.setInGameState(k_stateInGameQuestion);
    return;
  }
  const int32_t attempts = std::max(state >> 2, 0);
  if (!game.turn.messageDone) {
    game.challenges.ended = 1;
    // The coach waits for a box of the shot to be closed, won or lost.
    if (isMatchOnHold(game)) return;
    if (won) {
      if (!game.turn.prizeShown) {
        textBufferSetString(game, k_textPrize);
        replaceTextTagWithText(game, k_textMoney);
        addMessageEx(game, 2, game.text.strings.work, -1, prize);
        game.turn.prizeShown = 1;
      } else {
        // Paid once, whatever runs again.
        if (game.turn.prizeShown == 1) {
          game.turn.prizeShown = 2;
          addCareerMoney(game, prize);
          state = attempts << 2 | kStateWon;
          saveProgress(game);
          if (isAllChallengesWon(game))
            unlockAchievement(game, kAchievementAll);
          else if (isHalfChallengesWon(game))
            unlockAchievement(game, kAchievementHalf);
        }
        showTutorialMessage(game, k_textChallengeWon0 + std::max(c, 0) % 11, true);
      }
    } else {
      const int32_t failures = std::min(attempts + 1, kMaxAttempts);
      state = failures << 2 | (state & 3);
      const int32_t text = failures < 3   ? k_textChallengeFailed0 + std::max(c, 0) % 11
                           : failures < 6 ? k_textChallengeFailedLater0 + std::clamp(c, 0, kChallenges - 1)
                                          : k_textChallengeFailedOften;
      showTutorialMessage(game, text, true);
    }
    saveProgress(game);
    return;
  }
  if (won) {
    game.loading.pendingReturnState = k_stateChallengeList;
    game.setState(k_stateMainMenuLoading);
  } else if (attempts <= kRetryAttempts) {
    game.question.menuFlag = 0;
    game.setInGameState(k_stateInGameQuestion);
  } else {
    enterQuestionMenu(game, k_questionChallengeDemo, false);
  }
}
