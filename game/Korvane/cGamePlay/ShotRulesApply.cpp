// Applying a shot's outcome to the match, and the operations it and the
// turn flow share: balls off the table, re-spotting, the lowest ball,
// groups, the change of player and the per-shot reset.
#include "game/Korvane/cGamePlay/ShotRules.h"

using namespace ruleids;

namespace {

constexpr Q14 q(double v) { return static_cast<Q14>(v * 16384.0); }

// Play area of a ball centre, table units (y is negative down the table).
constexpr Q14 kRadius = q(4.5);
constexpr Q14 kLeft = q(-1.0), kRight = q(170.0), kTop = q(-2.0), kBottom = q(-300.0);
// The spot line and its neighbours.
constexpr Q14 kSpotX = q(84.5), kSpotY = q(-100.0), kSpotStep = q(9.0);
constexpr Q14 kSpotTurn = q(-24.5), kSpotBelow = q(-109.0);
constexpr int64_t kTouching = static_cast<int64_t>(q(9.0)) * q(9.0);
// Spot lines used in turn: 84.5, then 9.0 to the right, to the left, ...
constexpr int32_t kSpotLines = 13;
constexpr int32_t kPlacesPerLine = 32;

bool onTable(const PhysicalObject* b) { return b && !b->pocketed && !b->hidden; }

}  // namespace

bool ShotRules::checkBallsOffTable() {
  bool found = false;
  for (int32_t n = 15; n >= 0; --n) {
    PhysicalObject* b = w.balls[n];
    if (!b || (s.respotMask & bit(n))) continue;
    // A ball the frame driver marked off the table counts even though it is
    // flagged pocketed: it never reached a pocket.
    bool off = b->offTable && !b->pocket;
    if (!off && !b->pocketed && !b->pocket) {
      const Q14 x = b->position.x, y = b->position.y;
      off = x - kRadius < kLeft || x + kRadius > kRight || y - kRadius > kTop || y + kRadius < kBottom;
    }
    if (!off) continue;
    if (n == 0) {
      s.ballInHand = 1;
      s.cueBallPlaced = 0;
      if (s.shotOutcome & k_outCueOffTable) {
        found = false;
        continue;
      }
    }
    s.respotMask |= bit(n);
    s.respotPending = 1;
    found = true;
  }
  return found;
}

bool ShotRules::placeOverlaps(const PhysicalObject& ball) const {
  for (int32_t n = 0; n < 16; ++n) {
    const PhysicalObject* o = w.balls[n];
    if (!o || o == &ball || !onTable(o) || (s.respotMask & bit(n))) continue;
    const int64_t dx = static_cast<int64_t>(o->position.x) - ball.position.x;
    const int64_t dy = static_cast<int64_t>(o->position.y) - ball.position.y;
    if (dx * dx + dy * dy < kTouching) return true;
  }
  return false;
}

void ShotRules::respotBalls() {
  for (int32_t n = 15; n >= 1; --n) {
    PhysicalObject* b = w.balls[n];
    if (!(s.respotMask & bit(n))) continue;
    s.respotMask &= ~bit(n);
    if (!b) continue;
    // Up the spot line from the spot, then down from below it; a full line
    // continues on its neighbours, always inside the play area.
    bool placed = false;
    for (int32_t line = 0; line < kSpotLines && !placed; ++line) {
      const int32_t side = (line + 1) / 2 * (line % 2 ? 1 : -1);
      const Q14 x = kSpotX + side * kSpotStep;
      Q14 y = kSpotY, step = kSpotStep;
      bool turned = false;
      for (int32_t k = 0; k < kPlacesPerLine; ++k) {
        b->position.set(x, y);
        if (!placeOverlaps(*b)) {
          placed = true;
          break;
        }
        y += step;
        if (!turned && y >= kSpotTurn) {
          y = kSpotBelow;
          step = -step;
          turned = true;
        }
        if (y + kRadius < kBottom + kSpotStep) break;
      }
    }
    if (!placed) b->position.set(kSpotX, kSpotY);
    b->pocketed = b->offTable = b->hidden = 0;
    b->pocket = nullptr;
    b->state = 3;
    if (b->animPlayer) b->animPlayer->setAnim(PhysicalObject::kRestFrame);
    s.lastRespotted = n;
  }
  s.respotMask &= bit(0);
  s.respotPending = 0;
}

int32_t ShotRules::lowestBallOnTable() const {
  int32_t lowest = 15;
  // A pocketed ball still dropping is not hidden yet but is off the table.
  const PhysicalObject* cue = w.cueBall ? w.cueBall : w.ballList;
  for (const PhysicalObject* b = cue ? cue->next : nullptr; b && b->identity <= 15; b = b->next)
    if (onTable(b) && b->identity < lowest) lowest = b->identity;
  return lowest;
}

void ShotRules::setGroupIcon(int32_t element, int32_t frame, int32_t palette) {
  w.hook().setGroupIcon(element, frame, palette);
}

void ShotRules::assignGroups(int32_t solidsPlayer, int32_t stripesPlayer) {
  const int32_t p = solidsPlayer & 1, q = stripesPlayer & 1;
  s.solidsPlayer = p;
  s.stripesPlayer = q;
  s.tableOpen = 0;
  showGroupsMessage();
  s.playerGroup[p] = s.playerTarget[p] = RuleState::kSolids;
  s.playerGroup[q] = s.playerTarget[q] = RuleState::kStripes;
  if (s.rulesMode == RuleState::kModeChallenge || s.rulesMode == RuleState::kModeTutorial ||
      match.gameType == MatchSetup::kGameChallenge || match.gameType == MatchSetup::kGameTutorial)
    return;
  const int32_t icon = match.altPanelLayout ? 26 : 18;
  setGroupIcon(icon + q, uk() ? 2 : 1, uk() ? 0 : 2);
  setGroupIcon(icon + p, 2, 2);
  if (!nine()) {
    const int32_t cur = match.currentPlayer & 1;
    // Balls of the other group go to the other player's display.
    w.hook().handOverPottedBalls(cur, 1 - cur, s.playerGroup[cur]);
  }
}

void ShotRules::showGroupsMessage() {
  const int32_t cur = match.currentPlayer & 1;
  const bool solids = cur == s.solidsPlayer;
  const int32_t name = k_textFirstName + w.hook().playerCharacter(cur);
  const int32_t group = solids ? k_textGroupRed : k_textGroupYellow;
  PoolHooks& hook = w.hook();
  if (nine()) return;
  if (!uk()) {
    if (match.gameType == MatchSetup::kGameSingle) {
      hook.queueMessage(solids ? k_textYouSolids : k_textYouStripes, name, -1);
      s.groupsShown[cur] = 1;
    } else {
      hook.queueMessage(s.solidsPlayer == 1 ? k_textSolidsP2 : k_textSolidsP1, -1, -1);
    }
    return;
  }
  if (!human(cur))
    hook.queueMessage(k_textUkRivalPlays, -1, s.solidsPlayer == 1 ? k_textGroupRed : k_textGroupYellow);
  else if (match.gameType == MatchSetup::kGameSingle)
    hook.queueMessage(k_textUkNamePlays, name, group);
  else
    hook.queueMessage(k_textUkYouPlay, -1, group);
  s.groupsShown[cur] = 1;
}

void ShotRules::switchPlayer() {
  s.previousPlayer = match.currentPlayer;
  match.currentPlayer = 1 - (match.currentPlayer & 1);
}

void ShotRules::resetShotTracking() {
  s.firstBallHit = 0;
  s.bankPot = s.comboPot = 0;
  s.comboBalls = s.bankCarriers = 0;
  s.ballsPottedThisShot = 0;
}

void ShotRules::trickShotBonus() {
  const uint32_t out = s.shotOutcome;
  if (!(nine() || (out & k_outScored)) || (out & k_outTurnPasses) || s.ballsPottedThisShot < 1 || !w.breakPlayed ||
      (out & k_outLose))
    return;
  debugLine("\n Condition to Evaluate the the balls");
  PoolHooks& hook = w.hook();
  int32_t bonus = 0, detail = -1, number = -1;
  if (w.shot.jumpShot) hook.unlockAchievement(k_achJump);
  if (w.shot.drawFlag) hook.unlockAchievement(k_achDrawPot);
  if (w.shot.sideSpinFlag) hook.unlockAchievement(k_achSidePot);
  const int32_t k = s.ballsPottedThisShot;
  if (k > 1) {
    s.multiPotPoints += k - 1;
    bonus += k - 1;
    detail = k_textMultiPot;
    number = k;
    if (k == 2) hook.unlockAchievement(k_achDoublePot);
    if (k == 3) hook.unlockAchievement(k_achTriplePot);
  }
  const int32_t streak = s.streak;
  if (streak > 1) {
    s.streakPoints += streak == 2 ? 2 : 1;
    bonus += streak - 1;
    detail = k_textStreak;
    number = streak;
    const int32_t fullSet = nine() ? 9 : 8;
    if (streak == fullSet && !s.streakFlags[0] && !s.streakFlags[1]) {
      hook.unlockAchievement(k_achievement_fullSet);
      debugLine("\n Unlocked k_achievement_fullSet");
    } else if (streak >= 3 && !s.streakFlags[0] && !hook.isAchievementUnlocked(k_achStreak3)) {
      hook.unlockAchievement(k_achStreak3);
      s.streakFlags[1] = 1;
    } else if (streak == 2 && !hook.isAchievementUnlocked(k_achStreak2)) {
      hook.unlockAchievement(k_achStreak2);
      s.streakFlags[0] = 1;
    }
  }
  if (s.bankPot) {
    s.bankShotCount += 1;
    bonus += 1;
    detail = k_textBankPot;
    number = -1;
  }
  if (s.comboPot) {
    s.comboShotCount += 1;
    bonus += 2;
    detail = k_textComboPot;
    number = -1;
    hook.unlockAchievement(k_achCombo);
  }
  if (bonus <= 0) return;
  const int32_t level = bonus >= 4 ? 3 : bonus - 1;
  hook.showDialog(detail != -1 ? 2 : 1, k_textBonus1 + level, detail, number);
  hook.playSound(k_soundClap, 70 + 10 * level);
  hook.vibrate();
}

void ShotRules::Rules_Apply() {
  debugLine("\n Rules_Apply");
  uint32_t& out = s.shotOutcome;
  PoolHooks& hook = w.hook();
  // 1
  const int32_t shooter = match.currentPlayer & 1;
  s.shotsLeft -= 1;
  // 2
  if (!(out & k_outReRack) && s.normalPlay && checkBallsOffTable()) {
    out |= 0x4200;
    if (s.rulesMode != RuleState::kModeChallenge) {
      out |= k_outTurnPasses;
      s.messageText = k_textFoul;
    } else {
      s.messageText = k_textCueLeftTable;
    }
  }
  // 3
  if (nine() && (out & k_outFoul)) {
    s.ballInHand = 1;
    s.cueBallPlaced = 0;
    s.playerFouls[shooter] += 1;
    if (s.playerFouls[shooter] >= 3) {
      texts(k_textThreeFouls, k_textThreeFoulsLoses);
      out |= 0x610;
    } else if (!(out & k_outCueFoul)) {
      s.messageText = k_textFoul;
      out |= k_outShowMessage;
    }
  } else {
    s.playerFouls[shooter] = 0;
  }
  // 4
  if (out & k_outClearJump) w.shot.jumpShot = 0;
  // 5
  if (out & k_outWin)
    s.winner = match.currentPlayer;
  else if (out & k_outLose)
    s.winner = 1 - match.currentPlayer;
  else if (out & k_outNoWinner)
    s.winner = -1;
  // 6
  if ((out & k_outReRack) || ((out & k_outClearJump) && !w.breakPlayed)) {
    w.breakPlayed = 0;
    if (uk()) s.ballInHandInD = 1;
    s.ballInHand = 1;
    s.cueBallPlaced = 0;
    s.cueAwaitsPlacing = 1;
    PhysicalObject* cue = w.cueBall;
    const Vector2 cuePosition = cue ? cue->position : Vector2(0, 0);
    const uint8_t cueHidden = cue ? cue->hidden : 0;
    // Nothing waits to be re-spotted on a new rack.
    s.respotMask = 0;
    s.respotPending = 0;
    hook.rackAgain();
    cue = w.cueBall;
    if (cue) {
      cue->position = cuePosition;
      cue->hidden = cueHidden;
      if (cueHidden || !(out & k_outReRack)) {
        cue->pocketed = 0;
        cue->hidden = 0;
      }
      cue->state = 3;
    }
  }
  // 7
  if (out & (k_outCueFoul | k_outFoul)) {
    if (uk()) s.ballInHandInD = 1;
    s.ballInHand = 1;
    s.cueBallPlaced = 0;
    if (out & (k_outCueOffTable | k_outCueFoul)) s.freeBallAfterFoul = 1;
    if (out & k_outCueFoul) hook.showDialog(1, k_textScratchTitle, -1, -1);
  }
  // 8
  if (out & k_outGroups) {
    const int32_t p = (out & k_outGroupsStripes) ? 1 - match.currentPlayer : match.currentPlayer;
    assignGroups(p, 1 - p);
  }
  // 9
  if (!nine() && s.normalPlay && w.breakPlayed && !(out & (k_outWin | k_outLose))) {
    for (int32_t i = 0; i < 2; ++i) {
      const int32_t player = i == 0 ? match.currentPlayer & 1 : 1 - (match.currentPlayer & 1);
      bool left = false;
      for (int32_t n = 1; n < 16; ++n)
        if (onTable(w.balls[n]) && (s.playerGroup[player] & bit(n))) left = true;
      if (left) continue;
      s.playerGroup[player] = s.playerTarget[player] = 256;
      setGroupIcon((match.altPanelLayout ? 26 : 18) + player, 3, -1);
    }
  }
  // 10
  const bool fouled = (out & (k_outUkFoul | k_outFoul)) != 0;
  if (out & k_outTurnPasses) {
    if (!human(match.currentPlayer)) s.streak = 0;
    if (s.shotsLeft < 1) {
      if (human(match.currentPlayer) && fouled) s.humanFouled = 1;
      switchPlayer();
      // The streak ends with the turn, whoever held it.
      s.streak = 0;
      s.shotsLeft = uk() && w.breakPlayed && s.normalPlay && (out & k_outUkFoul) ? 2 : 1;
    }
  } else {
    s.streak += 1;
    debugLine("\n s_streakShotCounter: %d", s.streak);
    if (human(match.currentPlayer) && (out & k_outUkFoul) && (out & k_outFoul)) s.humanFouled = 1;
    s.previousPlayer = match.currentPlayer;
    if (s.shotsLeft < 1) s.shotsLeft = 1;
  }
  // 11
  s.normalPlay = !(out & k_outLagGoesOn);
  // 12
  if (nine() && (out & k_outNewLowest)) {
    const int32_t lowest = lowestBallOnTable();
    const bool changed = lowest != s.lowestBall;
    s.lowestBall = lowest;
    if (changed || lowest == 1) s.playerTarget[0] = s.playerTarget[1] = bit(lowest);
  }
  // 13
  if (human(shooter)) trickShotBonus();
  // 14
  resetShotTracking();
  // 15
  const bool wasPlayed = w.breakPlayed;
  if (out & (k_outBreakAgain | k_outReRack)) {
    w.breakPlayed = 0;
    if (uk()) s.ballInHandInD = 1;
    s.ballInHand = 1;
    s.cueBallPlaced = 0;
  } else if (w.breakPlayed || !(out & k_outUkFoul)) {
    if (!w.breakPlayed && s.normalPlay) {
      if (nine()) s.pushOutAvailable = 1;
      if (uk()) s.ukFirstVisit = 1;
    }
    w.breakPlayed = 1;
    if (!uk()) s.ballInHandInD = 0;
    if (nine() && s.pushOutShot) {
      s.pushOutShot = s.pushOutAvailable = 0;
      s.pushOutAnswered = !(out & k_outCueFoul);
    }
  } else {
    w.breakPlayed = 0;
    s.ballInHandInD = 1;
    s.ballInHand = 1;
    s.cueBallPlaced = 0;
  }
  // 16
  if (!wasPlayed && w.breakPlayed) {
    s.breaker = (out & k_outTurnPasses) ? 1 - match.currentPlayer : match.currentPlayer;
    if (uk()) match.currentPlayer = s.breaker;
  }
  // 17
  if (match.gameType != MatchSetup::kGameTutorial) {
    if (out & k_outShowMessage) hook.queueMessage(static_cast<int32_t>(s.messageText), -1, -1);
    if (out & k_outShowSecond) hook.queueMessage(static_cast<int32_t>(s.secondMessageText), -1, -1);
  }
}
