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

}  // namespace

// Word 0-5 of the current demonstration shot of the current challenge; 0 for
// a word, challenge or shot out of range.
int32_t cGame::getChallengeDemoShotValue(int32_t word) const {
  if (word < 0 || word >= kChallengeDemoWords) return 0;
  if (!isChallenge(challengeNumber)) return 0;
  if (s_challengeDemoCurrentShot < 0 || s_challengeDemoCurrentShot >= kChallengeDemoShots) return 0;
  return ChallengeDemoShot[challengeNumber][s_challengeDemoCurrentShot][word];
}

// Shots the demonstration plays: only stored ones, at least the first.
int32_t cGame::getChallengeDemoShotCount() const { return challengeDemoShotCount(challengeNumber); }

// The demonstration replays the challenge from its start.
void cGame::launchChallengeDemo() {
  challengeDemo = 1;
  s_challengeDemoCurrentShot = 0;
  setInGameState(k_stateMatchInit);
}

int32_t& cGame::challengeState(int32_t challenge) {
  if (!isChallenge(challenge)) {
    m_scratchChallengeState = 0;
    return m_scratchChallengeState;
  }
  return m_career.challengeStates[challenge / kPerCategory][challenge % kPerCategory];
}

int32_t cGame::countWonChallenges() const {
  int32_t n = 0;
  for (const auto& category : m_career.challengeStates)
    for (int32_t s : category)
      if ((s & 3) == kStateWon) ++n;
  return n;
}

bool cGame::isHalfChallengesWon() const { return countWonChallenges() == kChallenges / 2; }
bool cGame::isAllChallengesWon() const { return countWonChallenges() == kChallenges; }

// ---- frame start

void cGame::startScriptedFrame(int32_t mode, bool hasLayout) {
  currentPlayer = 0;
  m_rules.previousPlayer = 1;
  m_rules.rulesMode = mode;
  setBallSprites();
  if (hasLayout)
    placeBalls();
  else
    m_world.placeBalls(TableLayoutGroup{});
  prepareFirstShot();
  m_world.breakPlayed = 1;
  m_rules.tableOpen = 0;
  m_rules.breakBytes[0] = 0;
  m_rules.breakBytes[1] = 1;
  m_rules.thirdTurnByte = 0;
}

void cGame::startChallenge() {
  ruleSet = kChallengeRuleSet;
  // A number out of range takes no layout (its group would be a lesson's).
  startScriptedFrame(RuleState::kModeChallenge, isChallenge(challengeNumber));
  s_challengeDemoCurrentShot = 0;
  startChallengeRules();
  m_rules.shotOutcome = kOutStart;
  prizeShown = 0;
  challengeDemoTimer = 0;
  spinArrowsLocked = 0;
  spinButtonHidden = 0;
}

// ---- the demonstration

void cGame::updateChallengeDemoAim() {
  Vector2& aim = m_world.shot.aim;
  const Q14 tx = getChallengeDemoShotValue(k_demoAimX), ty = getChallengeDemoShotValue(k_demoAimY);
  const Q14 ta = atan2Degrees(tx, ty);
  const Q14 a = atan2Degrees(aim.x, aim.y);
  if (a == ta || (aim.x == tx && aim.y == ty)) {
    // Angles this close read the same: the shot takes the stored aim itself.
    if (aim.x != tx || aim.y != ty) {
      aim.set(tx, ty);
      m_world.shot.aimChanged = 1;
    }
    if (challengeDemoTimer < 1) {
      pushState(k_stateSpinSelector);
      challengeDemoTimer = kStepMs;
    }
    challengeDemoTimer -= m_frameTime;
    return;
  }
  const Q14 b = q14Lerp(a, ta, kAimStep);
  aim.set(cosDegrees(b), sinDegrees(b));
  if (std::abs(angleDifference(ta, a)) < kAimSnap) aim.set(tx, ty);
  m_rules.chosenTargets[currentPlayer & 1] = -1;
  m_world.shot.aimChanged = 1;
  challengeDemoTimer = kStepMs;
}

void cGame::updateChallengeDemoSpin() {
  ShotRecord& shot = m_world.shot;
  if (getChallengeDemoShotValue(k_demoMasse) && !shot.masse) {
    challengeDemoTimer -= m_frameTime;
    if (challengeDemoTimer <= 0) {
      shot.masse = 1;
      shot.aimChanged = 1;
      challengeDemoTimer = kStepMs;
    }
    return;
  }
  Vector2& e = shot.englishPoint;
  const Q14 tx = getChallengeDemoShotValue(k_demoEnglishX), ty = getChallengeDemoShotValue(k_demoEnglishY);
  const Vector2 before = e;
  if (e.x != tx) moveEnglishPoint(easeTowards(e.x, tx, kEnglishRate) - e.x, 0);
  if (e.y != ty) moveEnglishPoint(0, easeTowards(e.y, ty, kEnglishRate) - e.y);
  // A stored point the tip's limit holds back is taken as it is stored.
  if ((e.x != tx || e.y != ty) && e.x == before.x && e.y == before.y) {
    e.set(tx, ty);
    shot.aimChanged = 1;
  }
  if (e.x != tx || e.y != ty) return;
  challengeDemoTimer -= m_frameTime;
  if (challengeDemoTimer >= 1) return;
  spinSelectorShown = 0;
  popState();
  pushState(k_stateShotPower);
}

void cGame::updateChallengeDemoPower() {
  ShotRecord& shot = m_world.shot;
  const int32_t target = getChallengeDemoShotValue(k_demoPower);
  const int64_t step = (static_cast<int64_t>(std::max(m_frameTime, 0)) * kPowerRate) >> 10;
  const int64_t gauge = shot.powerGauge + ((static_cast<int64_t>(shot.powerDirection) * step) >> 14);
  // The stored power may lie above the gauge's top (challenge 8): the gauge
  // is set to it as it is.
  if (gauge < target) {
    shot.powerGauge = static_cast<Q14>(gauge);
    return;
  }
  shot.powerGauge = target;
  popState();
  setInGameState(k_stateStroke);
}

// ---- show-me keys

void cGame::setChallengeDemoAim() {
  m_world.shot.aim.set(getChallengeDemoShotValue(k_demoAimX), getChallengeDemoShotValue(k_demoAimY));
  m_world.shot.aimChanged = 1;
}

void cGame::setChallengeDemoSpin() {
  const Vector2& e = m_world.shot.englishPoint;
  moveEnglishPoint(getChallengeDemoShotValue(k_demoEnglishX) - e.x, getChallengeDemoShotValue(k_demoEnglishY) - e.y);
}

Q14 cGame::getChallengeDemoPower() { return getChallengeDemoShotValue(k_demoPower); }

// ---- after the shot

void cGame::updateChallengeAfterShot() {
  const uint32_t out = m_rules.shotOutcome;
  const bool won = (out & kOutWin) != 0;
  const bool lost = !won && (out & kOutLose) != 0;
  const int32_t c = challengeNumber;
  int32_t& state = challengeState(c);
  const int32_t prize = k_challengePrizes[std::clamp(c, 0, kChallenges - 1) % kPerCategory];
  if (!won && !lost) {
    if (s_challengeDemoCurrentShot + 1 < getChallengeDemoShotCount()) s_challengeDemoCurrentShot += 1;
    chooseNextTurnState();
    return;
  }
  // A demonstration never records a result.
  if (challengeDemo) {
    challengeDemo = 0;
    question.menuFlag = 0;
    setInGameState(k_stateInGameQuestion);
    return;
  }
  const int32_t attempts = std::max(state >> 2, 0);
  if (!messageDone) {
    m_challengeEnded = 1;
    // The coach waits for a box of the shot to be closed, won or lost.
    if (isMatchOnHold()) return;
    if (won) {
      if (!prizeShown) {
        textBufferSetString(k_textPrize);
        replaceTextTagWithText(k_textMoney);
        addMessageEx(2, m_text.work, -1, prize);
        prizeShown = 1;
      } else {
        // Paid once, whatever runs again.
        if (prizeShown == 1) {
          prizeShown = 2;
          m_career.money += static_cast<uint32_t>(prize);
          state = attempts << 2 | kStateWon;
          saveProgress();
          if (isAllChallengesWon())
            unlockAchievement(kAchievementAll);
          else if (isHalfChallengesWon())
            unlockAchievement(kAchievementHalf);
        }
        showTutorialMessage(k_textChallengeWon0 + std::max(c, 0) % 11, true);
      }
    } else {
      const int32_t failures = std::min(attempts + 1, kMaxAttempts);
      state = failures << 2 | (state & 3);
      const int32_t text = failures < 3   ? k_textChallengeFailed0 + std::max(c, 0) % 11
                           : failures < 6 ? k_textChallengeFailedLater0 + std::clamp(c, 0, kChallenges - 1)
                                          : k_textChallengeFailedOften;
      showTutorialMessage(text, true);
    }
    saveProgress();
    return;
  }
  if (won) {
    m_pendingReturnState = k_stateChallengeList;
    setState(k_stateMainMenuLoading);
  } else if (attempts <= kRetryAttempts) {
    question.menuFlag = 0;
    setInGameState(k_stateInGameQuestion);
  } else {
    enterQuestionMenu(*this, k_textDemoTitle, k_textDemoQuestion, 8, k_stateMatchInit, false);
  }
}
