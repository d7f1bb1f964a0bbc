// Turn and match flow: the in-game update. Every frame runs the prologue
// (in-game menu, the scratch hold, the HUD slide and the messages), the
// current match state's step and the epilogue; a state's entry and leave
// steps run from the state machine's changes.
#include <algorithm>

#include "game/Korvane/cGame/InterfaceFormat.h"
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "windows_brew/TickCount.h"
#include "zul/2d/SpriteAnimPlayer.h"

namespace F = interfaceformat;

namespace {

constexpr int32_t kHudInterface = 56;
constexpr int32_t kGameSingle = 1, kGameTournament = 2, kGameCareer = 3, kGameChallenge = 4,
                  kGameTutorial = 5;
constexpr int32_t kRuleSetUK = 1, kRuleSetNineBall = 2;
constexpr int32_t kSpecialRival = 10;

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr uint32_t kOutFoulA = 0x4000, kOutFoulB = 0x40000, kOutFoulCue = 0x40;
constexpr uint32_t kKeyFineRight = 0x10, kKeyFineLeft = 0x4;
constexpr uint32_t kKeyInvert = 0x8000, kKeyNumbers = 0x200;
constexpr uint32_t kKeyMasse = 0x10000, kKeyDemo = 0x2;

constexpr int32_t kGaugeFull = 17384;
constexpr Q14 kHandSpeedMax = 3 * kQ14One;
constexpr uint32_t kBallNumbersMs = 1000;
constexpr uint32_t kScratchHoldMs = 1640;
constexpr int32_t kFastFrameMs = 120000;
constexpr int32_t kSkipQuestionCount = 3;
constexpr int32_t kLagNoteMs = 4000;
constexpr int32_t k_textLagWinnerBreaks = 517, k_textLagHowTo = 519;

// The ball-in-hand area: x 21.5-147.5, y -277.5..-24.5; behind the head
// line y <= -202.0; the UK D: within 38.0 of (85.0, -201.0).
constexpr Q14 kAreaLeft = 0x56000, kAreaRight = 0x24E000;
constexpr Q14 kAreaTop = -401408, kAreaBottom = -4546560;
constexpr Q14 kHeadLine = -0x328000;
constexpr Q14 kDCentreX = 0x154000, kDCentreY = -0x324000, kDRadius = 0x98000;
constexpr Q14 kHandStartX = 0x158000, kHandStartY = -0x328000;  // (86.0, -202.0)
constexpr Q14 kPlacementStep = 0xC000;                           // 3.0 a frame
constexpr Q14 kPlacementRow = 0x24000;                           // rows 9.0 apart
constexpr Q14 kLagOffset = 0x48000;                              // 18.0

// Rival class by character (0 or 1).
constexpr uint8_t kRivalClass[10] = {0, 0, 0, 1, 0, 1, 1, 0, 1, 1};

}  // namespace

// ---- helpers

uint32_t cGame::rightSoftMask() const { return altPanelLayout ? k_keyLeftSoft : k_keyRightSoft; }
uint32_t cGame::menuSoftMask() const { return altPanelLayout ? k_keyRightSoft : k_keyLeftSoft; }

bool cGame::isHudAtTarget() const { return panelX == (currentPlayer == 1 ? 6 : 67) && hudOffset == (currentPlayer == 1 ? -61 : 0); }

bool cGame::isMessageWaiting() const { return m_messages.count > 0 && m_messages.kind[0] != 0; }

bool cGame::isBoxOverTable() const { return isMessageWaiting() || m_dialog.life >= 0; }

bool cGame::isMatchOnHold() {
  if (isMessageWaiting() || m_dialog.life >= 0) return true;
  return s_gameState == k_stateAfterShot && isScratchHoldRunning();
}

bool cGame::isScratchHoldRunning() const {
  return m_rules.crowdSoundPlayed && m_gameClock - m_rules.crowdSoundTime < kScratchHoldMs;
}

void cGame::slideHudPanel() {
  if (hudHidden) return;
  const int32_t panelTarget = currentPlayer == 1 ? 6 : 67;
  const int32_t hudTarget = currentPlayer == 1 ? -61 : 0;
  panelX = easeTowards(panelX, panelTarget, 35);
  const int32_t offset = easeTowards(hudOffset, hudTarget, 35);
  if (offset != hudOffset) panelRedraw = 1;
  hudOffset = offset;
}

namespace {
// The highest rival slot (8 down to 0) whose character has the class.
int32_t topRivalOfClass(cGame& g, int32_t cls) {
  for (int32_t slot = 8; slot >= 0; --slot) {
    const int32_t c = getRivalCharacter(g, slot);
    if (c >= 0 && c < 10 && kRivalClass[c] == cls) return slot;
  }
  return -1;
}
}  // namespace

bool cGame::isTopRivalOfClassA() { return topRivalOfClass(*this, 0) == opponentSlot; }
bool cGame::isTopRivalOfClassB() { return topRivalOfClass(*this, 1) == opponentSlot; }

void cGame::chooseNextTurnState() {
  // A box of the last shot goes when the other player takes the table.
  if (m_dialog.life >= 0 && m_dialog.player != currentPlayer) m_dialog.life = -1;
  if (coinTossPending) {
    setInGameState(k_stateCoinToss);
  } else if (m_rules.cueAwaitsPlacing || m_rules.ballInHand) {
    setInGameState(isComputerAtTable() ? k_stateComputerBallInHand : k_stateHumanBallInHandStart);
  } else {
    setInGameState(isComputerAtTable() ? k_stateComputerShot : k_stateAim);
  }
}

void cGame::answerPushOutOffer(bool take) {
  m_rules.pushOutShot = take ? 1 : 0;
  m_rules.pushOutAvailable = 0;
}

// Playing on or passing after the opponent's push-out; a pass then switches
// the player, and the after-shot step hands the table over.
void cGame::answerPushOutPlay() { m_rules.pushOutAnswered = 0; }

// The players' names in message texts ("$a", "$b").
const char* cGame::getPlayerName(int32_t player) {
  if (player < 0 || player > 1) return "";
  const int32_t character =
      player == 1 && gameType == kGameCareer ? getRivalCharacter(*this, opponentSlot) : m_playerCharacter[player];
  const char* name = getStringData(391 + std::clamp(character, 0, 10));
  return name ? name : "";
}

bool cGame::isMatchDataLoaded() const {
  if (!m_tableLayout.isComplete() || !m_world.cueBall || !m_world.ballList) return false;
  // A computer player needs the profiles; a failed read leaves them all 0.
  if (gameType == kGameSingle) return true;
  for (const auto& profile : m_ai.profiles.loaded)
    for (int32_t v : profile)
      if (v != 0) return true;
  return false;
}

// ---- ball in hand

bool cGame::isInHandArea(const Vector2& p) const {
  if (p.x < kAreaLeft || p.x > kAreaRight || p.y > kAreaTop || p.y < kAreaBottom) return false;
  if (!m_rules.ballInHandInD) return true;
  if (p.y > kHeadLine) return false;
  if (ruleSet != kRuleSetUK) return true;
  const int64_t dx = static_cast<int64_t>(p.x) - kDCentreX, dy = static_cast<int64_t>(p.y) - kDCentreY;
  return dx * dx + dy * dy <= static_cast<int64_t>(kDRadius) * kDRadius;
}

bool cGame::isPlaceFree(const PhysicalObject& ball) const {
  return isInHandArea(ball.position) && !isBallPlacementBlocked(ball);
}

void cGame::returnCueBallToPlay() {
  PhysicalObject* cue = m_world.cueBall;
  if (!cue) return;
  cue->pocketed = 0;
  cue->hidden = 0;
  cue->offTable = 0;
  cue->dropping = 0;
  cue->pocket = nullptr;
  cue->speed = 0;
  cue->spin.set(0, 0);
  cue->step.set(0, 0);
  cue->airTime = cue->airPhase = 0;
  cue->frame = PhysicalObject::kRestFrame;
  cue->state = 3;
  if (SpriteAnimPlayer* p = lookPlayer(cue->animPlayer)) p->setAnim(k_animBallRest);
}

bool cGame::findFreePlace(PhysicalObject& ball, Q14 x, Q14 y) {
  // Rows 9.0 apart from the start row down the area and then from the top,
  // each scanned left to right in steps of 3.0: the first free place wins.
  const Q14 top = m_rules.ballInHandInD ? kHeadLine : kAreaTop;
  const int32_t rows = static_cast<int32_t>((static_cast<int64_t>(top) - kAreaBottom) / kPlacementRow) + 1;
  Q14 rowY = std::clamp(y, kAreaBottom, top);
  for (int32_t r = 0; r <= rows; ++r) {
    for (Q14 px = r == 0 ? std::clamp(x, kAreaLeft, kAreaRight) : kAreaLeft; px <= kAreaRight; px += kPlacementStep) {
      ball.setPosition(px, rowY);
      if (isPlaceFree(ball)) return true;
    }
    rowY -= kPlacementRow;
    if (rowY < kAreaBottom) rowY = top;
  }
  ball.setPosition(x, y);
  return false;
}

void cGame::startBallInHand() {
  returnCueBallToPlay();
  PhysicalObject* cue = m_world.cueBall;
  if (!m_world.breakPlayed) m_rules.ballInHandInD = 1;
  ballInHandInD = m_rules.ballInHandInD;
  if (cue && !isPlaceFree(*cue)) {
    const Q14 x = std::clamp(cue->position.x, kAreaLeft, kAreaRight);
    const Q14 y = std::clamp(cue->position.y, kAreaBottom, m_rules.ballInHandInD ? kHeadLine : kAreaTop);
    findFreePlace(*cue, x, y);
  }
  if (cue) {
    handX = cue->position.x;
    handY = cue->position.y;
    m_lastHand = cue->position;
  }
}

void cGame::updateBallInHand() {
  PhysicalObject* cue = m_world.cueBall;
  if (isComputerAtTable()) {
    // The computer's ball is placed: its turn goes on once the hand has
    // reached it. The table's paint moves the hand, except while the HUD is
    // hidden; then the turn does not wait for it.
    const PhysicalObject* hand = m_world.handCursor;
    if (!hand || hand->frame != 0 || hudHidden) setInGameState(k_stateComputerShot);
    return;
  }
  if (moveCueBallInHand())
    m_world.shot.handSpeed = std::min(m_world.shot.handSpeed + kQ14One, kHandSpeedMax);
  else
    m_world.shot.handSpeed = kQ14One;
  // A touch on the table moves the ball there when the place is free.
  if (cue && (handX != m_lastHand.x || handY != m_lastHand.y)) {
    const Vector2 before = cue->position;
    cue->setPosition(handX, handY);
    if (!isPlaceFree(*cue)) cue->position = before;
    m_lastHand.set(handX, handY);
  }
  if (cue && m_keys.isReleased(k_keyDismiss) && isPlaceFree(*cue)) setInGameState(k_stateAim);
}

void cGame::updateComputerBallInHand() {
  PhysicalObject* cue = m_world.cueBall;
  if (!cue) return;
  if (!aiPlacingDone) {
    cue->position = aiSpot;
    updateAI(aiState(), kThinkUpdate, true);
    aiSpot = cue->position;
    if (aiState() != kThinkDone || !isThinkingOver()) return;
    aiPlacingDone = 1;
  }
  PhysicalObject* hand = m_world.handCursor;
  if (isPlaceFree(*cue)) {
    // The ball stays where the opponent (or the walk below) left it.
    m_rules.ballInHand = 0;
    m_rules.cueAwaitsPlacing = 0;
    if (m_rules.cueBallPlaced) {
      if (hand) hand->frame = 0;
      setInGameState(k_stateComputerShot);
      return;
    }
    // The player sees the hand glide to the ball; it leaves the ball where it is.
    m_world.shot.handObject = cue;
    m_world.handPlaced = 1;
    if (hand) hand->frame = 0;
    setInGameState(k_stateBallInHand);
    return;
  }
  // Blocked: 3.0 to the right a frame; off the table area, back at the
  // profile's break position. A break row blocked to the edge would bring it
  // back there for ever, so the second time the first free place from the
  // break position is taken.
  cue->offsetPosition(kPlacementStep / 2, 0);
  if (cue->position.x > kAreaRight) {
    const Vector2 spot = getAIBreakPosition(currentPlayer);
    if (m_placementReturns++ == 0)
      cue->setPosition(spot.x, spot.y);
    else
      findFreePlace(*cue, spot.x, spot.y);
  }
}

// ---- aiming, power, spin

void cGame::updateAiming() {
  if (challengeDemo) {
    updateChallengeDemoAim();
    return;
  }
  // The lesson's text box holds the aim until it is closed.
  if (tutorialTextBoxOpen) {
    updateTutorialTextBox();
    return;
  }
  const bool normal = m_rules.normalPlay && gameType != kGameChallenge && gameType != kGameTutorial;
  if (normal && hudHint != -1) leftSoftKeyText = 29;
  if (gameType == kGameChallenge && m_keys.isReleased(kKeyDemo)) setChallengeDemoAim();
  // Challenges and lessons are aimed by touch too: a frame in play, not the lag.
  if (m_rules.normalPlay && pointerY < 300) aimAtStylus();
  const bool inverted =
      m_keys.isPressed(kKeyInvert) && !m_keys.isPressed(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft) &&
      !m_keys.isHeld(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft);
  const bool turned = turnAimByKeys();
  // The lesson's hook looks at the aim after its half turn.
  if (inverted) onTutorialAimInverted();
  if (!turned && m_keys.isReleased(rightSoftMask() | kKeyDemo) && !tutorialSpinLocked() && !showBallNumbers) {
    pushState(k_stateSpinSelector);
    return;
  }
  if (gameType == kGameTutorial) {
    checkTutorialAimTarget();
    // The coach speaks: the rest of the aim waits for the message.
    if (s_gameState != k_stateAim) return;
  }
  if (m_keys.isPressed(kKeyNumbers) && isHudAtTarget()) {
    showBallNumbers = 1;
    ballNumbersUntil = m_gameClock + kBallNumbersMs;
  }
  if (m_keys.isReleased(k_keyDismiss)) setInGameState(k_stateShotPower);
}

void cGame::updatePower() {
  if (challengeDemo) {
    updateChallengeDemoPower();
    return;
  }
  ShotRecord& shot = m_world.shot;
  if (gameType == kGameChallenge && m_keys.isReleased(kKeyDemo)) {
    shot.powerGauge = getChallengeDemoPower();
    setInGameState(k_stateStroke);
    return;
  }
  const int32_t item = std::clamp(m_equippedLevel[2], 0, 5);
  const int32_t rate = k_cuePowerRates[item];
  const int64_t stepSize = (static_cast<int64_t>(rate) * 8400 / 100 * std::max(m_frameTime, 0)) >> 10;
  const int64_t gauge = shot.powerGauge + ((static_cast<int64_t>(shot.powerDirection) * stepSize) >> 14);
  // The bounce keeps the gauge within 0 .. full, whatever the frame's length.
  if (gauge > kGaugeFull) {
    shot.powerGauge = kGaugeFull;
    shot.powerDirection = -kQ14One;
  } else if (gauge < 0) {
    shot.powerGauge = 0;
    shot.powerDirection = kQ14One;
  } else {
    shot.powerGauge = static_cast<Q14>(gauge);
  }
  if (m_keys.isPressed(k_keySelect)) {
    setInGameState(k_stateStroke);
  } else if (m_keys.isPressed(rightSoftMask())) {
    backFromPower = 1;
    setInGameState(k_stateAim);
  }
}

void cGame::updateSpin() {
  if (tutorialTextBoxOpen) {
    updateTutorialTextBox();
    return;
  }
  if (challengeDemo) {
    updateChallengeDemoSpin();
    return;
  }
  if (gameType == kGameChallenge && m_keys.isReleased(kKeyDemo)) setChallengeDemoSpin();
  auto key = [this](uint32_t m) { return m_keys.isPressed(m) || m_keys.isHeld(m); };
  if (key(k_keyRight)) moveEnglishPoint(kQ14One, 0);
  if (key(k_keyLeft)) moveEnglishPoint(-kQ14One, 0);
  if (key(k_keyUp)) moveEnglishPoint(0, -kQ14One);
  if (key(k_keyDown)) moveEnglishPoint(0, kQ14One);
  if (m_keys.isReleased(kKeyMasse) && !tutorialMasseLocked()) {
    m_world.shot.masse = m_world.shot.masse ? 0 : 1;
    onTutorialMasse();
    if (!m_world.shot.masse) rotateAim(0);
  }
  if (m_keys.isReleased(rightSoftMask() | k_keyDismiss | kKeyDemo | k_keyBack)) popState();
}

// ---- the shot

void cGame::updateBallsMoving() {
  if (challengeDemo) {
    if (updateBalls()) {
      runShotRules();
      setInGameState(k_stateAfterShot);
    }
    return;
  }
  const bool computer = isComputerAtTable();
  const bool alwaysSkip = m_option8 && (isComputerPlayer(0) || isComputerPlayer(1));
  if (m_keys.isPressed(rightSoftMask()) || (alwaysSkip && computer)) {
    m_skippedShot = 1;
    skipShot();
    runShotRules();
    skipHintShown = 0;
    if (computer) {
      computerSkipCount += 1;
      if (computerSkipCount == kSkipQuestionCount && !m_option8) {
        enterQuestionMenu(*this, 678, 679, 11, k_stateAfterShot, false);
        return;
      }
    }
    setInGameState(k_stateAfterShot);
    return;
  }
  if (updateBalls()) {
    runShotRules();
    setInGameState(k_stateAfterShot);
  }
}

void cGame::leaveBallsMoving() {
  skipHintShown = 0;
  leftSoftKeyText = -1;
  if (isComputerAtTable()) return;
  const uint32_t out = m_rules.shotOutcome;
  if (out & (kOutFoulA | kOutFoulB | kOutFoulCue)) {
    if (!m_rules.crowdSoundPlayed) {
      playSound(k_soundCrowdAww, 0, 100, 100);
      vibrate(m_vibrationTime);
      m_rules.crowdSoundPlayed = 1;
      m_rules.crowdSoundTime = m_gameClock;
    }
    missNoticeArmed = 0;
    return;
  }
  if (!missFlag || gameType == kGameChallenge || gameType == kGameTutorial) {
    if (!missFlag) missNoticeArmed = 0;
    return;
  }
  if (!missNoticeArmed) {
    missNoticeArmed = 1;
    return;
  }
  missNoticeArmed = 0;
  if (!m_skippedShot && !m_rules.crowdSoundPlayed) {
    playSound(k_soundCrowdAww, 0, 80, 80);
    m_rules.crowdSoundPlayed = 1;
    m_rules.crowdSoundTime = m_gameClock;
  }
  missNoticeShown = 1;
  showDialogBox(1, getStringData(722), nullptr);
}

void cGame::enterAfterShot() {
  leftSoftKeyText = -1;
  ballViewOpen = 0;  // the balls rest: the view shuts
  if (!computerPassed) Rules_Apply();
  clearTutorialWait();
  if (PhysicalObject* cue = m_world.cueBall) {
    cue->frame = PhysicalObject::kRestFrame;
    cue->state = 3;
  }
  if (m_rules.respotPending) respotBalls();
  if (ruleSet == kRuleSetNineBall && (m_rules.shotOutcome & (kOutFoulA | kOutFoulB))) {
    PottedBalls& list = m_potted[m_rules.previousPlayer & 1];
    for (int32_t k = 0; k < list.count; ++k) {
      if (list.balls[k] != 9) continue;
      delete list.players[k];
      for (int32_t j = k; j + 1 < list.count; ++j) {
        list.balls[j] = list.balls[j + 1];
        list.players[j] = list.players[j + 1];
      }
      list.count -= 1;
      list.balls[list.count] = 0;
      list.players[list.count] = nullptr;
      break;
    }
  }
}

void cGame::updateAfterShot() {
  // The last shot's box is shown its time before the other player's turn
  // takes it away, and the coach speaks only once it has gone.
  if (m_dialog.life > 0 && m_dialog.player != currentPlayer) return;
  if (m_rules.rulesMode == RuleState::kModeLag) {
    if (!m_rules.lagSecondShot) {
      m_rules.lagSecondShot = 1;
      placeSecondLagBall();
      chooseNextTurnState();
      return;
    }
    const bool tie = !m_rules.normalPlay;
    initFrame(tie);
    // A fresh lag starts again from its first shot.
    if (tie) m_rules.lagSecondShot = 0;
    chooseNextTurnState();
    return;
  }
  if (gameType == kGameTutorial) {
    checkTutorialShotResult();
    return;
  }
  if (gameType == kGameChallenge) {
    updateChallengeAfterShot();
    return;
  }
  const uint32_t out = m_rules.shotOutcome;
  if (out & (kOutWin | kOutLose)) {
    setInGameState(k_stateFrameWon);
    return;
  }
  const bool human = !isComputerAtTable();
  if (ruleSet == kRuleSetUK && m_rules.tableOpen && m_world.breakPlayed && m_rules.ukFirstVisit) {
    m_rules.ukFirstVisit = 0;
    if (human) {
      setInGameState(k_stateBreakChoice);
      return;
    }
    if (m_random && m_random->nextInt(0, 2) == 1)
      assignGroups(1, 0);
    else
      assignGroups(0, 1);
  }
  if (m_rules.pushOutAvailable) {
    if (human) {
      enterQuestionMenu(*this, 674, 675, 9, k_stateAfterShot, true);
      return;
    }
    m_rules.pushOutAvailable = 0;
    m_rules.pushOutShot = 0;
  }
  if (m_rules.pushOutAnswered && human) {
    enterQuestionMenu(*this, 674, 676, 10, k_stateAfterShot, true);
    return;
  }
  if (computerPassed) {
    m_rules.pushOutAvailable = 0;
    m_rules.pushOutAnswered = 0;
    computerPassed = 0;
    switchPlayer();
  }
  chooseNextTurnState();
}

void cGame::placeSecondLagBall() {
  PhysicalObject* cue = m_world.cueBall;
  PhysicalObject* eight = m_world.ball8;
  if (!cue || !eight) return;
  const Vector2 start = eight->position;
  eight->hidden = 0;
  eight->pocketed = 0;
  eight->offTable = 0;
  eight->speed = 0;
  // 18.0 to the right of where the cue ball stopped; to the left when that
  // place is off the play area or taken.
  eight->setPosition(cue->position.x + kLagOffset, cue->position.y);
  const auto clear = [this, eight] { return isInHandAreaUnrestricted(eight->position) && !isBallPlacementBlocked(*eight); };
  if (!clear()) eight->setPosition(cue->position.x - kLagOffset, cue->position.y);
  eight->update(m_world);
  returnCueBallToPlay();
  cue->position = start;
  cue->update(m_world);
}

bool cGame::isInHandAreaUnrestricted(const Vector2& p) const {
  return p.x >= kAreaLeft && p.x <= kAreaRight && p.y <= kAreaTop && p.y >= kAreaBottom;
}

// ---- the end of a frame

void cGame::enterFrameWon() {
  const int32_t winner = m_rules.winner;
  const bool humanWon = winner == 0;
  if (gameType == kGameSingle) {
    substitutePlayerNames(703);
    replaceTextTagWithText(391 + std::clamp(m_playerCharacter[winner == 1 ? 1 : 0], 0, 10));
    showDialogBox(1, m_text.work, nullptr);
    playMusic(k_musicWin);
  } else {
    showDialogBox(1, getStringData(humanWon ? 701 : 702), nullptr);
    playMusic(humanWon ? k_musicWin : k_musicLose);
  }
  if (winner < 0 || winner > 1 || isComputerPlayer(winner)) return;
  if (ruleSet != kRuleSetNineBall && m_rules.groupChosenOnBreak[winner] >= 0 &&
      static_cast<uint32_t>(m_rules.groupChosenOnBreak[winner]) != m_rules.playerGroup[winner])
    unlockAchievement(1);
  if (static_cast<int32_t>(getTickCount() - matchStartTime) < kFastFrameMs) unlockAchievement(12);
  if (!m_rules.humanFouled) unlockAchievement(24);
  if (playerProfile[1 - winner] == 0 && !m_rules.rivalPotted) {
    m_achievementCounter += 1;
    saveSettings();
    unlockAchievement(19);
    if (m_achievementCounter == 3) unlockAchievement(22);
  }
  if (m_rules.noScratchInFrame) unlockAchievement(27);
  if (!m_rules.cueTouchedEight) unlockAchievement(26);
}

void cGame::updateFrameWon() {
  if (m_dialog.life >= 0) return;
  if (gameType == kGameSingle) {
    question.menuFlag = 0;
    setInGameState(k_stateInGameQuestion);
  } else {
    setInGameState(k_stateResultLines);
  }
}

void cGame::enterResultLines() {
  currentPlayer = 1;
  const bool rivalWon = m_rules.winner == 1;
  const int32_t character =
      std::clamp(gameType == kGameCareer ? getRivalCharacter(*this, opponentSlot) : m_playerCharacter[1], 0, 10);
  openTextBox((rivalWon ? k_textRivalWon0 : k_textRivalLost0) + k_textRivalLineStride * character);
  if (gameType != kGameCareer) return;
  resetInterfaceAnimation(true);
  const uint32_t out = m_rules.shotOutcome;
  if (!(out & kOutLose) && (out & kOutWin)) {
    if (isTopRivalOfClassA())
      unlockAchievement(15);
    else if (isTopRivalOfClassB())
      unlockAchievement(14);
  }
  if ((out & kOutLose) && opponentSlot != kSpecialRival) {
    const int32_t c = getRivalCharacter(*this, opponentSlot);
    if (c >= 0 && c < 10) {
      (kRivalClass[c] ? m_career.counterE : m_career.counterD) += 1;
      saveProgress();
    }
  }
  if ((out & kOutWin) && opponentSlot == 8 && m_career.counterD == 0 && m_career.counterE == 0) unlockAchievement(13);
}

void cGame::updateResultLines() {
  if (!m_keys.isReleased(k_keyDismiss | rightSoftMask())) return;
  const bool rivalWon = m_rules.winner == 1;
  if (gameType == kGameTournament) {
    if (rivalWon) {
      m_career.counterC += 1;
      saveProgress();
      if (m_career.counterC >= 3) {
        m_pendingReturnState = k_statePub;
        setState(k_stateMainMenuLoading);
      } else {
        setInGameState(k_stateInGameQuestion);
      }
    } else {
      m_pendingReturnState = k_stateTournamentStage;
      setState(k_stateMainMenuLoading);
    }
    return;
  }
  if (gameType == kGameCareer) {
    auto visible = [this](int32_t i) {
      const int16_t* e = getInterfaceElement(kHudInterface, i);
      return e && e[F::kWordType] == F::kSprite && e[F::kWordParams + F::kSpriteVisible] != 0;
    };
    const bool shown = visible(129) || visible(130);
    if (!shown) {
      prizeTime = m_gameClock;
      playSound(k_soundCash, 0, 100, 100);
      const int32_t a = std::clamp(betPosition, 0, 2);
      const int32_t element = rivalWon ? 129 : 130;
      setInterfaceElementVisible(kHudInterface, element, true);
      setInterfaceElementAnim(kHudInterface, element, rivalWon ? a + 3 : a);
      return;
    }
    setInterfaceElementVisible(kHudInterface, 129, false);
    setInterfaceElementVisible(kHudInterface, 130, false);
  }
  setInGameState(k_stateGameOver);
}

// ---- text box

void cGame::openTextBox(int32_t textId) {
  textBoxOn = 1;
  textBoxText = textId;
  textBoxPage = 0;
  substitutePlayerNames(textId);
  const int16_t* box = getInterfaceElement(kHudInterface, 127);
  int32_t pages = 1;
  if (box && m_fonts[0]) {
    pages = layoutText(m_fonts, m_text.work, 0, m_text.workLength, 0, getInterfaceElementWidth(kHudInterface, 127),
                       getInterfaceElementHeight(kHudInterface, 127));
    m_layout.cacheKey = 0;
  }
  textBoxPages = std::max(pages, 1);
  textBoxMorePages = textBoxPages > 1 ? 1 : 0;
}

// ---- the dispatch

void cGame::runMatchStep(int32_t state, int32_t step) {
  if (m_matchStepHook) m_matchStepHook(*this, state, step);
  // A screen row of the state runs in place of the match's own step.
  if (const cGameScreen* screen = findMatchScreen(state)) {
    if (screen->update) screen->update(*this);
    return;
  }
  const bool entry = step == k_subStateInit, leave = step == k_subStateDestroy;
  switch (state) {
    case k_stateMatchInit:
      if (entry) startNewMatch();
      break;
    case k_stateMatchNotices:
      if (entry) {
        if (tutorialStarted && (m_tutorialLeft || (ruleSet == kRuleSetNineBall && !pushOutExplained))) {
          if (m_tutorialLeft) {
            setInGameState(k_stateContinue);
          } else {
            addTextMessage(1, k_textPushOutRule, -1);
            pushOutExplained = 1;
            touchHint = 1;
          }
        } else {
          setInGameState(k_stateStartDispatch);
        }
      } else if (!leave) {
        touchHint = 0;
        setInGameState(k_stateStartDispatch);
      }
      break;
    case k_stateStartDispatch:
      if (entry) {
        startDispatch();
      } else if (!leave) {
        updateOpponentIntro();
      }
      break;
    case k_stateOpponentIntro:
      if (entry) {
        currentPlayer = 1;
        const int32_t character =
            std::clamp(gameType == kGameCareer ? getRivalCharacter(*this, opponentSlot) : m_playerCharacter[1], 0, 10);
        openTextBox(k_textRivalGreeting0 + k_textRivalLineStride * character);
      } else if (leave) {
        textBoxOn = 0;
      } else {
        updateOpponentIntro();
      }
      break;
    case k_stateHumanBallInHandStart:
      if (entry) {
        if (PhysicalObject* cue = m_world.cueBall) {
          returnCueBallToPlay();
          if (!m_world.breakPlayed) m_rules.ballInHandInD = 1;
          if (!findFreePlace(*cue, kHandStartX, kHandStartY)) cue->setPosition(kHandStartX, kHandStartY);
        }
      } else if (!leave) {
        setInGameState(k_stateBallInHand);
      }
      break;
    case k_stateBallInHand:
      if (entry) {
        startBallInHand();
        handShown = 1;
        m_world.shot.handObject = m_world.cueBall;
        m_world.shot.handSpeed = kQ14One;
      } else if (leave) {
        handShown = 0;
        m_rules.ballInHand = 0;
        m_rules.cueAwaitsPlacing = 0;
        m_rules.cueBallPlaced = 1;
      } else {
        updateBallInHand();
      }
      break;
    case k_stateComputerBallInHand:
      if (entry) {
        returnCueBallToPlay();
        if (!m_world.breakPlayed) m_rules.ballInHandInD = 1;
        ballInHandInD = m_rules.ballInHandInD;
        if (PhysicalObject* cue = m_world.cueBall) {
          aiSpot = cue->position;
          if (m_world.breakPlayed)
            cue->setPosition(kHandStartX, kHandStartY);
          else
            cue->position = getAIBreakPosition(currentPlayer);
          aiSpot = cue->position;
        }
        m_placementReturns = 0;
        aiPlacingDone = 0;
        resetShot();
        resetAI();
        startThinking();
        m_world.shot.handObject = m_world.cueBall;
      } else if (leave) {
        thinkingShown = 0;
        m_world.shot.handObject = m_world.cueBall;
      } else {
        updateComputerBallInHand();
      }
      break;
    case k_stateAim:
      if (entry) {
        aimGuideShown = m_rules.normalPlay ? 1 : 0;
        cueShown = 1;
        m_world.shot.jumpShot = 0;
        resetShot();
        buildTargetBallList();
        if (m_world.breakPlayed && !backFromPower) aimAtNextTargetBall(1, true);
        backFromPower = 0;
        m_world.shot.aimTurnSpeed = 4096;  // 0.25 degree
        const int32_t cur = currentPlayer & 1;
        if (m_rules.normalPlay && m_world.breakPlayed && !m_rules.tableOpen && !m_rules.groupsShown[cur] &&
            ((ruleSet == 0 && gameType == kGameSingle) || (ruleSet == kRuleSetUK && !isComputerAtTable())))
          showGroupsMessage();
      } else if (leave) {
        showBallNumbers = 0;
      } else {
        updateAiming();
      }
      break;
    case k_stateShotPower:
      if (entry) {
        aimGuideShown = 1;
        cueShown = 1;
        powerBarShown = 1;
        leftSoftKeyText = 24;
        m_world.shot.powerGauge = 0;
        m_world.shot.powerDirection = kQ14One;
        if (m_world.cueStick) m_world.cueStick->frame = 5;  // pulled back by the gauge
      } else if (leave) {
        powerBarShown = 0;
        aimGuideShown = 0;
        leftSoftKeyText = -1;
      } else {
        updatePower();
      }
      break;
    case k_stateStroke:
      if (entry) {
        cueShown = 1;
        if (m_world.cueStick) m_world.cueStick->frame = 4;  // the stroke
      } else if (leave) {
        powerBarShown = 0;
        if (m_world.cueStick) m_world.cueStick->frame = 0;
      } else {
        updateStroke();
      }
      break;
    case k_stateBallsMoving:
      if (entry) {
        startBallsMoving();
      } else if (leave) {
        leaveBallsMoving();
      } else {
        updateBallsMoving();
      }
      break;
    case k_stateAfterShot:
      if (entry)
        enterAfterShot();
      else if (!leave)
        updateAfterShot();
      break;
    case k_stateFrameWon:
      if (entry)
        enterFrameWon();
      else if (!leave)
        updateFrameWon();
      break;
    case k_stateResultLines:
      if (entry) {
        enterResultLines();
      } else if (leave) {
        textBoxOn = 0;
      } else {
        updateResultLines();
      }
      break;
    case k_stateComputerShot:
      if (entry) {
        resetShot();
        resetAI();
        cueShown = 1;
        startThinking();
      } else if (leave) {
        thinkingShown = 0;
      } else {
        updateComputerShot();
      }
      break;
    case k_stateSpinSelector:
      if (entry) {
        moveEnglishPoint(0, 0);
        spinSelectorShown = 1;
        if (!challengeDemo) leftSoftKeyText = 13;
        if (gameType == kGameTutorial) openTutorialSpinText();
      } else if (leave) {
        leftSoftKeyText = 29;
        spinSelectorShown = 0;
        // A lesson's hint is the selector's text: the "?" it lit goes out
        // with the selector, where that key pauses the match again.
        if (gameType == kGameTutorial) hudHint = -1;
      } else {
        updateSpin();
      }
      break;
    case k_stateMessageBox:
      if (entry) {
        currentPlayer = messagePlayer;
        openTextBox(messageText);
        touchHint = 1;
        m_messageTime = static_cast<int32_t>(m_gameClock);
      } else if (leave) {
        // The box is closed: its prompt goes with it.
        textBoxOn = 0;
        touchHint = 0;
      } else if (m_keys.isReleased(k_keyDismiss | rightSoftMask())) {
        if (textBoxPage + 1 < textBoxPages) {
          textBoxPage += 1;
          textBoxMorePages = textBoxPage + 1 < textBoxPages ? 1 : 0;
        } else {
          currentPlayer = 0;
          messageDone = 1;
          popState();
        }
      }
      break;
    case k_stateTutorialLessonIntro:
      if (entry) {
        addTextMessage(1, getTutorialLessonText(0), -1);
        touchHint = 1;
        leftSoftKeyText = -1;
        messageDone = 0;
        tutorialAwaitsTitle = 1;
      } else if (leave) {
        touchHint = 0;
      } else if (tutorialAwaitsTitle) {
        tutorialAwaitsTitle = 0;
        showMessageBox(1, getTutorialLessonText(1));
      } else if (messageDone) {
        chooseNextTurnState();
      }
      break;
    case k_stateChallengeIntro:
      if (entry) {
        touchHint = 1;
        messageDone = 0;
        tutorialAwaitsTitle = 0;
        if (challengeDemo) {
          chooseNextTurnState();
        } else {
          addTextMessage(2, k_textChallengeName0 + std::clamp(challengeNumber, 0, 31), -1);
          tutorialAwaitsTitle = 1;
        }
      } else if (leave) {
        touchHint = 0;
      } else {
        if (tutorialAwaitsTitle) {
          tutorialAwaitsTitle = 0;
          showMessageBox(1, k_textChallengeIntro0 + std::clamp(challengeNumber, 0, 31));
        } else if (messageDone) {
          chooseNextTurnState();
        }
      }
      break;
    case k_stateTutorialFinished:
      if (entry) {
        addTextMessage(1, k_textTutorialDone, -1);
        touchHint = 1;
      } else if (leave) {
        touchHint = 0;
      } else {
        returnFromTutorial();
      }
      break;
    default:
      break;
  }
}

void cGame::showMessageBox(int32_t player, int32_t textId) {
  messagePlayer = static_cast<uint8_t>(player);
  messageText = textId;
  messageDone = 0;
  pushState(k_stateMessageBox);
}

void cGame::updateOpponentIntro() {
  touchHint = 1;
  if (!m_keys.isReleased(k_keyDismiss | rightSoftMask())) return;
  touchHint = 0;
  currentPlayer = m_rules.normalPlay ? 0 : 1;
  playMusic(k_musicStart);
  announceLag();
  chooseNextTurnState();
}

void cGame::announceLag() {
  // A match that opens with the lag says what it is for and what to do,
  // before the first lag shot.
  if (m_rules.rulesMode != RuleState::kModeLag || m_rules.lagSecondShot) return;
  addTextMessage(2, k_textLagWinnerBreaks, kLagNoteMs);
  addTextMessage(2, k_textLagHowTo, kLagNoteMs);
}

void cGame::startNewMatch() {
  resetMatchState();
  initFrame(true);
  currentPlayer = 0;
  panelX = 67;
  hudOffset = 0;
  selectInterface(kHudInterface);
  clearPottedBallLists();
  setInterfaceElementSprite(kHudInterface, 12, 13 + std::clamp(m_playerCharacter[0], 0, 10));
  const int32_t rival = gameType == kGameCareer ? getRivalCharacter(*this, opponentSlot) : m_playerCharacter[1];
  setInterfaceElementSprite(kHudInterface, 13, 13 + std::clamp(rival, 0, 10));
  setElementPalette(11, std::clamp(m_tableIndex, 0, 8));
  clearMessages();
  m_dialog.life = -1;
  messageText = -1;
  m_rules.winner = -1;
  powerBarShown = cueShown = aimGuideShown = handShown = thinkingShown = spinSelectorShown = skipHintShown = 0;
  showBallNumbers = textBoxOn = touchHint = 0;
  hudHidden = 0;
  leftSoftKeyText = -1;
  computerSkipCount = 0;
  missNoticeArmed = missNoticeShown = missFlag = 0;
  backFromPower = computerPassed = 0;
  setInterfaceElementVisible(kHudInterface, 129, false);
  setInterfaceElementVisible(kHudInterface, 130, false);
  setInGameState(k_stateMatchNotices);
}

void cGame::startDispatch() {
  if (gameType == kGameCareer && m_career.flagB) {
    m_career.flagB = 0;
    saveProgress();
    // The match the offer interrupts: the tutorial, or the screen after a
    // "no", comes back to it.
    m_savedGameType = gameType;
    m_savedRuleSet = ruleSet;
    enterQuestionMenu(*this, 54, 649, 6, k_stateContinue, false);
    return;
  }
  switch (gameType) {
    case kGameCareer:
      playMusic(k_musicStart);
      setInGameState(k_stateBet);
      break;
    case kGameTutorial: setInGameState(k_stateTutorialLessonIntro); break;
    case kGameChallenge: setInGameState(k_stateChallengeIntro); break;
    case kGameSingle:
      playMusic(k_musicStart);
      announceLag();
      chooseNextTurnState();
      break;
    default: setInGameState(k_stateOpponentIntro); break;
  }
}

void cGame::updateStroke() {
  ShotRecord& shot = m_world.shot;
  // The cue moves in; the strike comes when the tip reaches the ball.
  if (m_world.cueStick) m_world.cueStick->update(m_world);
  if (shot.cueDistance > 0x12000 && m_world.cueStick) return;
  const int32_t gauge = std::clamp(shot.powerGauge, 0, kGaugeFull);
  if (gauge > 0) {
    const int32_t volume = 50 + gauge * 50 / kGaugeFull;
    playSound(m_world.breakPlayed ? k_soundStickHard : k_soundBreakHard, 0, volume, volume);
    vibrate(m_vibrationTime);
  } else {
    playSound(k_soundStickMiss, 0, 100, 100);
  }
  setInGameState(k_stateBallsMoving);
}

void cGame::startBallsMoving() {
  m_rules.freeBallAfterFoul = 0;
  missFlag = 0;
  m_skippedShot = 0;
  m_rules.crowdSoundPlayed = 0;
  aimGuideShown = cueShown = 0;
  leftSoftKeyText = 12;
  if (m_world.breakPlayed) {
    m_world.shot.clearEvents();
    m_rules.shotOutcome = 0;
  }
  if (!isComputerAtTable() && m_rules.rulesMode != RuleState::kModeLag) {
    if (m_rules.guideRememberedBall >= 0 || !m_world.breakPlayed) skipHintShown = 1;
  }
  beginStroke();
  // A human's shot is played out first: the view opens before the pot, and
  // on the break whatever it finds.
  if (!isComputerAtTable() && m_rules.rulesMode != RuleState::kModeLag) {
    if (predictPottedBall() != -1 || !m_world.breakPlayed) ballViewOpen = 1;
  }
  strikeCueBall(m_world.cueBall, false);
  m_rules.badFirstContact = 0;
  copyBallsToShadows();
}

void cGame::updateComputerShot() {
  updateAI(aiState(), kThinkUpdate, true);
  if (aiState() != kThinkDone || !isThinkingOver()) return;
  if (!aiPassed()) {
    m_rules.pushOutAnswered = 0;
    powerBarShown = 1;
    setInGameState(k_stateStroke);
  } else {
    computerPassed = 1;
    addTextMessage(2, k_textComputerPasses, -1);
    setInGameState(k_stateAfterShot);
  }
}

void cGame::startThinking() {
  thinkingShown = 1;
  if (m_matchPlayerH) {
    m_matchPlayerH->setPosition(currentPlayer == 1 ? 180 : 60, 160);
    m_matchPlayerH->resetAnim();
    m_matchPlayerH->setAnim(0);
  }
}

bool cGame::isThinkingOver() const { return !m_matchPlayerH || m_matchPlayerH->isAnimOver() || m_fastThinking; }

void cGame::updateInGame() {
  const int32_t state = s_gameState;
  if (m_subState != k_subStateInGameUpdate) {
    // Leaving a front-end state for the match needs no step.
    if (m_inGame != 1 && m_subState == k_subStateDestroy) return;
    runMatchStep(state, m_subState);
    return;
  }
  // Prologue.
  const bool match = state == k_stateContinue || isMatchState(state);
  if (match) {
    if (m_keys.isPressed(k_keyBack)) {
      enterIGM(*this);
      return;
    }
    if (state != k_stateMatchInit && menuRequest) {
      menuRequest = 0;
      m_menu.selection = 0;
      enterIGM(*this);
      return;
    }
  }
  menuRequest = 0;
  if (state == k_stateAfterShot && isScratchHoldRunning()) {
    updateMessages();
    touchHint = 1;
    return;
  }
  // The hold is over: its prompt is not left over the next turn.
  if (state == k_stateAfterShot) touchHint = 0;
  slideHudPanel();
  // A question covers the table and its messages: a message it hides
  // neither ages nor holds the question's answer back.
  if (state != k_stateQuestionMenu && state != k_stateQuestion && !hudHidden) {
    const bool boxUp = isBoxOverTable();
    updateMessages();
    if (isMessageWaiting()) return;
    // A key that went to a box over the table does nothing else: the tap
    // that closes "Scratch!" neither aims nor starts the gauge.
    if (boxUp && m_keys.isPressed(k_keyDismiss | k_keyRightSoft)) return;
  }
  runMatchStep(state, k_subStateInGameUpdate);
  // Epilogue.
  const int32_t now = s_gameState;
  showBallNumbers = showBallNumbers && now == k_stateAim && m_gameClock < ballNumbersUntil && isHudAtTarget();
  if (m_inGame != 1) return;
  if ((now == k_stateChallengeUnlocked || now == k_stateCharacterUnlocked || now == k_statePostMatchMenu) &&
      m_keys.isPressed(k_keyBack)) {
    saveSettings();
    saveProgress();
    m_pendingReturnState = k_stateMainMenu;
    setState(k_stateMainMenuLoading);
    return;
  }
  if (isMatchState(now) && m_keys.isPressed(menuSoftMask()) && !showBallNumbers) enterIGM(*this);
}
