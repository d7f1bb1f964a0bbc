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

uint32_t rightSoftMask(const cGame& game) { return game.altPanelLayout ? k_keyLeftSoft : k_keyRightSoft; }
uint32_t menuSoftMask(const cGame& game) { return game.altPanelLayout ? k_keyRightSoft : k_keyLeftSoft; }

bool isHudAtTarget(const cGame& game) {
  return game.panelX == (game.currentPlayer == 1 ? 6 : 67) && game.hudOffset == (game.currentPlayer == 1 ? -61 : 0);
}

bool isMessageWaiting(const cGame& game) { return game.m_messages.count > 0 && game.m_messages.kind[0] != 0; }

bool isBoxOverTable(const cGame& game) { return isMessageWaiting(game) || game.m_dialog.life >= 0; }

bool isMatchOnHold(cGame& game) {
  if (isMessageWaiting(game) || game.m_dialog.life >= 0) return true;
  return game.s_gameState == k_stateAfterShot && isScratchHoldRunning(game);
}

bool isScratchHoldRunning(const cGame& game) {
  return game.m_rules.crowdSoundPlayed && game.m_gameClock - game.m_rules.crowdSoundTime < kScratchHoldMs;
}

void slideHudPanel(cGame& game) {
  if (game.hudHidden) return;
  const int32_t panelTarget = game.currentPlayer == 1 ? 6 : 67;
  const int32_t hudTarget = game.currentPlayer == 1 ? -61 : 0;
  game.panelX = easeTowards(game.panelX, panelTarget, 35);
  const int32_t offset = easeTowards(game.hudOffset, hudTarget, 35);
  if (offset != game.hudOffset) game.panelRedraw = 1;
  game.hudOffset = offset;
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

bool isTopRivalOfClassA(cGame& game) { return topRivalOfClass(*(&game), 0) == game.opponentSlot; }
bool isTopRivalOfClassB(cGame& game) { return topRivalOfClass(*(&game), 1) == game.opponentSlot; }

void chooseNextTurnState(cGame& game) {
  // A box of the last shot goes when the other player takes the table.
  if (game.m_dialog.life >= 0 && game.m_dialog.player != game.currentPlayer) game.m_dialog.life = -1;
  if (game.coinTossPending) {
    game.setInGameState(k_stateCoinToss);
  } else if (game.m_rules.cueAwaitsPlacing || game.m_rules.ballInHand) {
    game.setInGameState(game.isComputerAtTable() ? k_stateComputerBallInHand : k_stateHumanBallInHandStart);
  } else {
    game.setInGameState(game.isComputerAtTable() ? k_stateComputerShot : k_stateAim);
  }
}

void answerPushOutOffer(cGame& game, bool take) {
  game.m_rules.pushOutShot = take ? 1 : 0;
  game.m_rules.pushOutAvailable = 0;
}

// Playing on or passing after the opponent's push-out; a pass then switches
// the player, and the after-shot step hands the table over.
void answerPushOutPlay(cGame& game) { game.m_rules.pushOutAnswered = 0; }

// The players' names in message texts ("$a", "$b").
const char* getPlayerName(cGame& game, int32_t player) {
  if (player < 0 || player > 1) return "";
  const int32_t character = player == 1 && game.gameType == kGameCareer ? getRivalCharacter(*(&game), game.opponentSlot)
                                                                        : game.m_playerCharacter[player];
  const char* name = getStringData(game, 391 + std::clamp(character, 0, 10));
  return name ? name : "";
}

bool isMatchDataLoaded(const cGame& game) {
  if (!game.m_tableLayout.isComplete() || !game.m_world.cueBall || !game.m_world.ballList) return false;
  // A computer player needs the profiles; a failed read leaves them all 0.
  if (game.gameType == kGameSingle) return true;
  for (const auto& profile : game.m_ai.profiles.loaded)
    for (int32_t v : profile)
      if (v != 0) return true;
  return false;
}

// ---- ball in hand

bool isInHandArea(const cGame& game, const Vector2& p) {
  if (p.x < kAreaLeft || p.x > kAreaRight || p.y > kAreaTop || p.y < kAreaBottom) return false;
  if (!game.m_rules.ballInHandInD) return true;
  if (p.y > kHeadLine) return false;
  if (game.ruleSet != kRuleSetUK) return true;
  const int64_t dx = static_cast<int64_t>(p.x) - kDCentreX, dy = static_cast<int64_t>(p.y) - kDCentreY;
  return dx * dx + dy * dy <= static_cast<int64_t>(kDRadius) * kDRadius;
}

bool isPlaceFree(const cGame& game, const PhysicalObject& ball) {
  return isInHandArea(game, ball.position) && !game.isBallPlacementBlocked(ball);
}

void returnCueBallToPlay(cGame& game) {
  PhysicalObject* cue = game.m_world.cueBall;
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

bool findFreePlace(cGame& game, PhysicalObject& ball, Q14 x, Q14 y) {
  // Rows 9.0 apart from the start row down the area and then from the top,
  // each scanned left to right in steps of 3.0: the first free place wins.
  const Q14 top = game.m_rules.ballInHandInD ? kHeadLine : kAreaTop;
  const int32_t rows = static_cast<int32_t>((static_cast<int64_t>(top) - kAreaBottom) / kPlacementRow) + 1;
  Q14 rowY = std::clamp(y, kAreaBottom, top);
  for (int32_t r = 0; r <= rows; ++r) {
    for (Q14 px = r == 0 ? std::clamp(x, kAreaLeft, kAreaRight) : kAreaLeft; px <= kAreaRight; px += kPlacementStep) {
      ball.setPosition(px, rowY);
      if (isPlaceFree(game, ball)) return true;
    }
    rowY -= kPlacementRow;
    if (rowY < kAreaBottom) rowY = top;
  }
  ball.setPosition(x, y);
  return false;
}

void startBallInHand(cGame& game) {
  returnCueBallToPlay(game);
  PhysicalObject* cue = game.m_world.cueBall;
  if (!game.m_world.breakPlayed) game.m_rules.ballInHandInD = 1;
  game.ballInHandInD = game.m_rules.ballInHandInD;
  if (cue && !isPlaceFree(game, *cue)) {
    const Q14 x = std::clamp(cue->position.x, kAreaLeft, kAreaRight);
    const Q14 y = std::clamp(cue->position.y, kAreaBottom, game.m_rules.ballInHandInD ? kHeadLine : kAreaTop);
    findFreePlace(game, *cue, x, y);
  }
  if (cue) {
    game.handX = cue->position.x;
    game.handY = cue->position.y;
    game.m_lastHand = cue->position;
  }
}

void updateBallInHand(cGame& game) {
  PhysicalObject* cue = game.m_world.cueBall;
  if (game.isComputerAtTable()) {
    // The computer's ball is placed: its turn goes on once the hand has
    // reached it. The table's paint moves the hand, except while the HUD is
    // hidden; then the turn does not wait for it.
    const PhysicalObject* hand = game.m_world.handCursor;
    if (!hand || hand->frame != 0 || game.hudHidden) game.setInGameState(k_stateComputerShot);
    return;
  }
  if (moveCueBallInHand(game))
    game.m_world.shot.handSpeed = std::min(game.m_world.shot.handSpeed + kQ14One, kHandSpeedMax);
  else
    game.m_world.shot.handSpeed = kQ14One;
  // A touch on the table moves the ball there when the place is free.
  if (cue && (game.handX != game.m_lastHand.x || game.handY != game.m_lastHand.y)) {
    const Vector2 before = cue->position;
    cue->setPosition(game.handX, game.handY);
    if (!isPlaceFree(game, *cue)) cue->position = before;
    game.m_lastHand.set(game.handX, game.handY);
  }
  if (cue && game.m_keys.isReleased(k_keyDismiss) && isPlaceFree(game, *cue)) game.setInGameState(k_stateAim);
}

void updateComputerBallInHand(cGame& game) {
  PhysicalObject* cue = game.m_world.cueBall;
  if (!cue) return;
  if (!game.aiPlacingDone) {
    cue->position = game.aiSpot;
    game.updateAI(game.aiState(), 1, true);
    game.aiSpot = cue->position;
    if (game.aiState() != -1 || !isThinkingOver(game)) return;
    game.aiPlacingDone = 1;
  }
  PhysicalObject* hand = game.m_world.handCursor;
  if (isPlaceFree(game, *cue)) {
    // The ball stays where the opponent (or the walk below) left it.
    game.m_rules.ballInHand = 0;
    game.m_rules.cueAwaitsPlacing = 0;
    if (game.m_rules.cueBallPlaced) {
      if (hand) hand->frame = 0;
      game.setInGameState(k_stateComputerShot);
      return;
    }
    // The player sees the hand glide to the ball; it leaves the ball where it is.
    game.m_world.shot.handObject = cue;
    game.m_world.handPlaced = 1;
    if (hand) hand->frame = 0;
    game.setInGameState(k_stateBallInHand);
    return;
  }
  // Blocked: 3.0 to the right a frame; off the table area, back at the
  // profile's break position. A break row blocked to the edge would bring it
  // back there for ever, so the second time the first free place from the
  // break position is taken.
  cue->offsetPosition(kPlacementStep / 2, 0);
  if (cue->position.x > kAreaRight) {
    const Vector2 spot = game.getAIBreakPosition(game.currentPlayer);
    if (game.m_placementReturns++ == 0)
      cue->setPosition(spot.x, spot.y);
    else
      findFreePlace(game, *cue, spot.x, spot.y);
  }
}

// ---- aiming, power, spin

void updateAiming(cGame& game) {
  if (game.challengeDemo) {
    updateChallengeDemoAim(game);
    return;
  }
  // The lesson's text box holds the aim until it is closed.
  if (game.tutorialTextBoxOpen) {
    updateTutorialTextBox(game);
    return;
  }
  const bool normal = game.m_rules.normalPlay && game.gameType != kGameChallenge && game.gameType != kGameTutorial;
  if (normal && game.hudHint != -1) game.leftSoftKeyText = 29;
  if (game.gameType == kGameChallenge && game.m_keys.isReleased(kKeyDemo)) setChallengeDemoAim(game);
  // Challenges and lessons are aimed by touch too: a frame in play, not the lag.
  if (game.m_rules.normalPlay && game.pointerY < 300) aimAtStylus(game);
  const bool inverted = game.m_keys.isPressed(kKeyInvert) &&
                        !game.m_keys.isPressed(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft) &&
                        !game.m_keys.isHeld(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft);
  const bool turned = turnAimByKeys(game);
  // The lesson's hook looks at the aim after its half turn.
  if (inverted) onTutorialAimInverted(game);
  if (!turned && game.m_keys.isReleased(rightSoftMask(game) | kKeyDemo) && !tutorialSpinLocked(game) &&
      !game.showBallNumbers) {
    game.pushState(k_stateSpinSelector);
    return;
  }
  if (game.gameType == kGameTutorial) {
    checkTutorialAimTarget(game);
    // The coach speaks: the rest of the aim waits for the message.
    if (game.s_gameState != k_stateAim) return;
  }
  if (game.m_keys.isPressed(kKeyNumbers) && isHudAtTarget(game)) {
    game.showBallNumbers = 1;
    game.ballNumbersUntil = game.m_gameClock + kBallNumbersMs;
  }
  if (game.m_keys.isReleased(k_keyDismiss)) game.setInGameState(k_stateShotPower);
}

void updatePower(cGame& game) {
  if (game.challengeDemo) {
    updateChallengeDemoPower(game);
    return;
  }
  ShotRecord& shot = game.m_world.shot;
  if (game.gameType == kGameChallenge && game.m_keys.isReleased(kKeyDemo)) {
    shot.powerGauge = getChallengeDemoPower(game);
    game.setInGameState(k_stateStroke);
    return;
  }
  const int32_t item = std::clamp(game.m_equippedLevel[2], 0, 5);
  const int32_t rate = cGame::k_cuePowerRates[item];
  const int64_t stepSize = (static_cast<int64_t>(rate) * 8400 / 100 * std::max(game.m_frameTime, 0)) >> 10;
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
  if (game.m_keys.isPressed(k_keySelect)) {
    game.setInGameState(k_stateStroke);
  } else if (game.m_keys.isPressed(rightSoftMask(game))) {
    game.backFromPower = 1;
    game.setInGameState(k_stateAim);
  }
}

void updateSpin(cGame& game) {
  if (game.tutorialTextBoxOpen) {
    updateTutorialTextBox(game);
    return;
  }
  if (game.challengeDemo) {
    updateChallengeDemoSpin(game);
    return;
  }
  if (game.gameType == kGameChallenge && game.m_keys.isReleased(kKeyDemo)) setChallengeDemoSpin(game);
  auto key = [&game](uint32_t m) { return game.m_keys.isPressed(m) || game.m_keys.isHeld(m); };
  if (key(k_keyRight)) moveEnglishPoint(game, kQ14One, 0);
  if (key(k_keyLeft)) moveEnglishPoint(game, -kQ14One, 0);
  if (key(k_keyUp)) moveEnglishPoint(game, 0, -kQ14One);
  if (key(k_keyDown)) moveEnglishPoint(game, 0, kQ14One);
  if (game.m_keys.isReleased(kKeyMasse) && !tutorialMasseLocked(game)) {
    game.m_world.shot.masse = game.m_world.shot.masse ? 0 : 1;
    onTutorialMasse(game);
    if (!game.m_world.shot.masse) game.rotateAim(0);
  }
  if (game.m_keys.isReleased(rightSoftMask(game) | k_keyDismiss | kKeyDemo | k_keyBack)) game.popState();
}

// ---- the shot

void updateBallsMoving(cGame& game) {
  if (game.challengeDemo) {
    if (updateBalls(game)) {
      game.runShotRules();
      game.setInGameState(k_stateAfterShot);
    }
    return;
  }
  const bool computer = game.isComputerAtTable();
  const bool alwaysSkip = game.m_option8 && (game.isComputerPlayer(0) || game.isComputerPlayer(1));
  if (game.m_keys.isPressed(rightSoftMask(game)) || (alwaysSkip && computer)) {
    game.m_skippedShot = 1;
    skipShot(game);
    game.runShotRules();
    game.skipHintShown = 0;
    if (computer) {
      game.computerSkipCount += 1;
      if (game.computerSkipCount == kSkipQuestionCount && !game.m_option8) {
        enterQuestionMenu(*(&game), 678, 679, 11, k_stateAfterShot, false);
        return;
      }
    }
    game.setInGameState(k_stateAfterShot);
    return;
  }
  if (updateBalls(game)) {
    game.runShotRules();
    game.setInGameState(k_stateAfterShot);
  }
}

void leaveBallsMoving(cGame& game) {
  game.skipHintShown = 0;
  game.leftSoftKeyText = -1;
  if (game.isComputerAtTable()) return;
  const uint32_t out = game.m_rules.shotOutcome;
  if (out & (kOutFoulA | kOutFoulB | kOutFoulCue)) {
    if (!game.m_rules.crowdSoundPlayed) {
      playSound(game, k_soundCrowdAww, 0, 100, 100);
      game.vibrate(game.m_vibrationTime);
      game.m_rules.crowdSoundPlayed = 1;
      game.m_rules.crowdSoundTime = game.m_gameClock;
    }
    game.missNoticeArmed = 0;
    return;
  }
  if (!game.missFlag || game.gameType == kGameChallenge || game.gameType == kGameTutorial) {
    if (!game.missFlag) game.missNoticeArmed = 0;
    return;
  }
  if (!game.missNoticeArmed) {
    game.missNoticeArmed = 1;
    return;
  }
  game.missNoticeArmed = 0;
  if (!game.m_skippedShot && !game.m_rules.crowdSoundPlayed) {
    playSound(game, k_soundCrowdAww, 0, 80, 80);
    game.m_rules.crowdSoundPlayed = 1;
    game.m_rules.crowdSoundTime = game.m_gameClock;
  }
  game.missNoticeShown = 1;
  showDialogBox(game, 1, getStringData(game, 722), nullptr);
}

void enterAfterShot(cGame& game) {
  game.leftSoftKeyText = -1;
  game.ballViewOpen = 0;  // the balls rest: the view shuts
  if (!game.computerPassed) game.Rules_Apply();
  clearTutorialWait(game);
  if (PhysicalObject* cue = game.m_world.cueBall) {
    cue->frame = PhysicalObject::kRestFrame;
    cue->state = 3;
  }
  if (game.m_rules.respotPending) game.respotBalls();
  if (game.ruleSet == kRuleSetNineBall && (game.m_rules.shotOutcome & (kOutFoulA | kOutFoulB))) {
    cGame::PottedBalls& list = game.m_potted[game.m_rules.previousPlayer & 1];
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

void updateAfterShot(cGame& game) {
  // The last shot's box is shown its time before the other player's turn
  // takes it away, and the coach speaks only once it has gone.
  if (game.m_dialog.life > 0 && game.m_dialog.player != game.currentPlayer) return;
  if (game.m_rules.rulesMode == RuleState::kModeLag) {
    if (!game.m_rules.lagSecondShot) {
      game.m_rules.lagSecondShot = 1;
      placeSecondLagBall(game);
      chooseNextTurnState(game);
      return;
    }
    const bool tie = !game.m_rules.normalPlay;
    initFrame(game, tie);
    // A fresh lag starts again from its first shot.
    if (tie) game.m_rules.lagSecondShot = 0;
    chooseNextTurnState(game);
    return;
  }
  if (game.gameType == kGameTutorial) {
    checkTutorialShotResult(game);
    return;
  }
  if (game.gameType == kGameChallenge) {
    updateChallengeAfterShot(game);
    return;
  }
  const uint32_t out = game.m_rules.shotOutcome;
  if (out & (kOutWin | kOutLose)) {
    game.setInGameState(k_stateFrameWon);
    return;
  }
  const bool human = !game.isComputerAtTable();
  if (game.ruleSet == kRuleSetUK && game.m_rules.tableOpen && game.m_world.breakPlayed && game.m_rules.ukFirstVisit) {
    game.m_rules.ukFirstVisit = 0;
    if (human) {
      game.setInGameState(k_stateBreakChoice);
      return;
    }
    if (game.m_random && game.m_random->nextInt(0, 2) == 1)
      game.assignGroups(1, 0);
    else
      game.assignGroups(0, 1);
  }
  if (game.m_rules.pushOutAvailable) {
    if (human) {
      enterQuestionMenu(*(&game), 674, 675, 9, k_stateAfterShot, true);
      return;
    }
    game.m_rules.pushOutAvailable = 0;
    game.m_rules.pushOutShot = 0;
  }
  if (game.m_rules.pushOutAnswered && human) {
    enterQuestionMenu(*(&game), 674, 676, 10, k_stateAfterShot, true);
    return;
  }
  if (game.computerPassed) {
    game.m_rules.pushOutAvailable = 0;
    game.m_rules.pushOutAnswered = 0;
    game.computerPassed = 0;
    game.switchPlayer();
  }
  chooseNextTurnState(game);
}

void placeSecondLagBall(cGame& game) {
  PhysicalObject* cue = game.m_world.cueBall;
  PhysicalObject* eight = game.m_world.ball8;
  if (!cue || !eight) return;
  const Vector2 start = eight->position;
  eight->hidden = 0;
  eight->pocketed = 0;
  eight->offTable = 0;
  eight->speed = 0;
  // 18.0 to the right of where the cue ball stopped; to the left when that
  // place is off the play area or taken.
  eight->setPosition(cue->position.x + kLagOffset, cue->position.y);
  const auto clear = [&game, eight] {
    return isInHandAreaUnrestricted(game, eight->position) && !game.isBallPlacementBlocked(*eight);
  };
  if (!clear()) eight->setPosition(cue->position.x - kLagOffset, cue->position.y);
  eight->update(game.m_world);
  returnCueBallToPlay(game);
  cue->position = start;
  cue->update(game.m_world);
}

bool isInHandAreaUnrestricted(const cGame& game, const Vector2& p) {
  return p.x >= kAreaLeft && p.x <= kAreaRight && p.y <= kAreaTop && p.y >= kAreaBottom;
}

// ---- the end of a frame

void enterFrameWon(cGame& game) {
  const int32_t winner = game.m_rules.winner;
  const bool humanWon = winner == 0;
  if (game.gameType == kGameSingle) {
    substitutePlayerNames(game, 703);
    replaceTextTagWithText(game, 391 + std::clamp(game.m_playerCharacter[winner == 1 ? 1 : 0], 0, 10));
    showDialogBox(game, 1, game.m_text.work, nullptr);
    playMusic(game, k_musicWin);
  } else {
    showDialogBox(game, 1, getStringData(game, humanWon ? 701 : 702), nullptr);
    playMusic(game, humanWon ? k_musicWin : k_musicLose);
  }
  if (winner < 0 || winner > 1 || game.isComputerPlayer(winner)) return;
  if (game.ruleSet != kRuleSetNineBall && game.m_rules.groupChosenOnBreak[winner] >= 0 &&
      static_cast<uint32_t>(game.m_rules.groupChosenOnBreak[winner]) != game.m_rules.playerGroup[winner])
    unlockAchievement(game, 1);
  if (static_cast<int32_t>(getTickCount() - game.matchStartTime) < kFastFrameMs) unlockAchievement(game, 12);
  if (!game.m_rules.humanFouled) unlockAchievement(game, 24);
  if (game.playerProfile[1 - winner] == 0 && !game.m_rules.rivalPotted) {
    game.m_achievementCounter += 1;
    saveSettings(game);
    unlockAchievement(game, 19);
    if (game.m_achievementCounter == 3) unlockAchievement(game, 22);
  }
  if (game.m_rules.noScratchInFrame) unlockAchievement(game, 27);
  if (!game.m_rules.cueTouchedEight) unlockAchievement(game, 26);
}

void updateFrameWon(cGame& game) {
  if (game.m_dialog.life >= 0) return;
  if (game.gameType == kGameSingle) {
    game.question.menuFlag = 0;
    game.setInGameState(k_stateInGameQuestion);
  } else {
    game.setInGameState(k_stateResultLines);
  }
}

void enterResultLines(cGame& game) {
  game.currentPlayer = 1;
  const bool rivalWon = game.m_rules.winner == 1;
  const int32_t character = std::clamp(
      game.gameType == kGameCareer ? getRivalCharacter(*(&game), game.opponentSlot) : game.m_playerCharacter[1], 0, 10);
  openTextBox(game, (rivalWon ? k_textRivalWon0 : k_textRivalLost0) + k_textRivalLineStride * character);
  if (game.gameType != kGameCareer) return;
  resetInterfaceAnimation(game, true);
  const uint32_t out = game.m_rules.shotOutcome;
  if (!(out & kOutLose) && (out & kOutWin)) {
    if (isTopRivalOfClassA(game))
      unlockAchievement(game, 15);
    else if (isTopRivalOfClassB(game))
      unlockAchievement(game, 14);
  }
  if ((out & kOutLose) && game.opponentSlot != kSpecialRival) {
    const int32_t c = getRivalCharacter(*(&game), game.opponentSlot);
    if (c >= 0 && c < 10) {
      (kRivalClass[c] ? game.m_career.counterE : game.m_career.counterD) += 1;
      saveProgress(game);
    }
  }
  if ((out & kOutWin) && game.opponentSlot == 8 && game.m_career.counterD == 0 && game.m_career.counterE == 0)
    unlockAchievement(game, 13);
}

void updateResultLines(cGame& game) {
  if (!game.m_keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  const bool rivalWon = game.m_rules.winner == 1;
  if (game.gameType == kGameTournament) {
    if (rivalWon) {
      game.m_career.counterC += 1;
      saveProgress(game);
      if (game.m_career.counterC >= 3) {
        game.m_pendingReturnState = k_statePub;
        game.setState(k_stateMainMenuLoading);
      } else {
        game.setInGameState(k_stateInGameQuestion);
      }
    } else {
      game.m_pendingReturnState = k_stateTournamentStage;
      game.setState(k_stateMainMenuLoading);
    }
    return;
  }
  if (game.gameType == kGameCareer) {
    auto visible = [&game](int32_t i) {
      const int16_t* e = getInterfaceElement(game, kHudInterface, i);
      return e && e[F::kWordType] == F::kSprite && e[F::kWordParams + F::kSpriteVisible] != 0;
    };
    const bool shown = visible(129) || visible(130);
    if (!shown) {
      game.prizeTime = game.m_gameClock;
      playSound(game, k_soundCash, 0, 100, 100);
      const int32_t a = std::clamp(game.betPosition, 0, 2);
      const int32_t element = rivalWon ? 129 : 130;
      setInterfaceElementVisible(game, kHudInterface, element, true);
      setInterfaceElementAnim(game, kHudInterface, element, rivalWon ? a + 3 : a);
      return;
    }
    setInterfaceElementVisible(game, kHudInterface, 129, false);
    setInterfaceElementVisible(game, kHudInterface, 130, false);
  }
  game.setInGameState(k_stateGameOver);
}

// ---- text box

void openTextBox(cGame& game, int32_t textId) {
  game.textBoxOn = 1;
  game.textBoxText = textId;
  game.textBoxPage = 0;
  substitutePlayerNames(game, textId);
  const int16_t* box = getInterfaceElement(game, kHudInterface, 127);
  int32_t pages = 1;
  if (box && game.m_fonts[0]) {
    pages = layoutText(game, game.m_fonts, game.m_text.work, 0, game.m_text.workLength, 0,
                       getInterfaceElementWidth(game, kHudInterface, 127),
                       getInterfaceElementHeight(game, kHudInterface, 127));
    game.m_layout.cacheKey = 0;
  }
  game.textBoxPages = std::max(pages, 1);
  game.textBoxMorePages = game.textBoxPages > 1 ? 1 : 0;
}

// ---- the dispatch

void runMatchStep(cGame& game, int32_t state, int32_t step) {
  if (game.m_matchStepHook) game.m_matchStepHook(*(&game), state, step);
  // A screen row of the state runs in place of the match's own step.
  if (const cGameScreen* screen = findMatchScreen(game, state)) {
    if (screen->update) screen->update(*(&game));
    return;
  }
  const bool entry = step == k_subStateInit, leave = step == k_subStateDestroy;
  switch (state) {
    case k_stateMatchInit:
      if (entry) startNewMatch(game);
      break;
    case k_stateMatchNotices:
      if (entry) {
        if (game.tutorialStarted &&
            (game.m_tutorialLeft || (game.ruleSet == kRuleSetNineBall && !game.pushOutExplained))) {
          if (game.m_tutorialLeft) {
            game.setInGameState(k_stateContinue);
          } else {
            addTextMessage(game, 1, k_textPushOutRule, -1);
            game.pushOutExplained = 1;
            game.touchHint = 1;
          }
        } else {
          game.setInGameState(k_stateStartDispatch);
        }
      } else if (!leave) {
        game.touchHint = 0;
        game.setInGameState(k_stateStartDispatch);
      }
      break;
    case k_stateStartDispatch:
      if (entry) {
        startDispatch(game);
      } else if (!leave) {
        updateOpponentIntro(game);
      }
      break;
    case k_stateOpponentIntro:
      if (entry) {
        game.currentPlayer = 1;
        const int32_t character = std::clamp(
            game.gameType == kGameCareer ? getRivalCharacter(*(&game), game.opponentSlot) : game.m_playerCharacter[1],
            0, 10);
        openTextBox(game, k_textRivalGreeting0 + k_textRivalLineStride * character);
      } else if (leave) {
        game.textBoxOn = 0;
      } else {
        updateOpponentIntro(game);
      }
      break;
    case k_stateHumanBallInHandStart:
      if (entry) {
        if (PhysicalObject* cue = game.m_world.cueBall) {
          returnCueBallToPlay(game);
          if (!game.m_world.breakPlayed) game.m_rules.ballInHandInD = 1;
          if (!findFreePlace(game, *cue, kHandStartX, kHandStartY)) cue->setPosition(kHandStartX, kHandStartY);
        }
      } else if (!leave) {
        game.setInGameState(k_stateBallInHand);
      }
      break;
    case k_stateBallInHand:
      if (entry) {
        startBallInHand(game);
        game.handShown = 1;
        game.m_world.shot.handObject = game.m_world.cueBall;
        game.m_world.shot.handSpeed = kQ14One;
      } else if (leave) {
        game.handShown = 0;
        game.m_rules.ballInHand = 0;
        game.m_rules.cueAwaitsPlacing = 0;
        game.m_rules.cueBallPlaced = 1;
      } else {
        updateBallInHand(game);
      }
      break;
    case k_stateComputerBallInHand:
      if (entry) {
        returnCueBallToPlay(game);
        if (!game.m_world.breakPlayed) game.m_rules.ballInHandInD = 1;
        game.ballInHandInD = game.m_rules.ballInHandInD;
        if (PhysicalObject* cue = game.m_world.cueBall) {
          game.aiSpot = cue->position;
          if (game.m_world.breakPlayed)
            cue->setPosition(kHandStartX, kHandStartY);
          else
            cue->position = game.getAIBreakPosition(game.currentPlayer);
          game.aiSpot = cue->position;
        }
        game.m_placementReturns = 0;
        game.aiPlacingDone = 0;
        resetShot(game);
        game.resetAI();
        startThinking(game);
        game.m_world.shot.handObject = game.m_world.cueBall;
      } else if (leave) {
        game.thinkingShown = 0;
        game.m_world.shot.handObject = game.m_world.cueBall;
      } else {
        updateComputerBallInHand(game);
      }
      break;
    case k_stateAim:
      if (entry) {
        game.aimGuideShown = game.m_rules.normalPlay ? 1 : 0;
        game.cueShown = 1;
        game.m_world.shot.jumpShot = 0;
        resetShot(game);
        buildTargetBallList(game);
        if (game.m_world.breakPlayed && !game.backFromPower) aimAtNextTargetBall(game, 1, true);
        game.backFromPower = 0;
        game.m_world.shot.aimTurnSpeed = 4096;  // 0.25 degree
        const int32_t cur = game.currentPlayer & 1;
        if (game.m_rules.normalPlay && game.m_world.breakPlayed && !game.m_rules.tableOpen &&
            !game.m_rules.groupsShown[cur] &&
            ((game.ruleSet == 0 && game.gameType == kGameSingle) ||
             (game.ruleSet == kRuleSetUK && !game.isComputerAtTable())))
          game.showGroupsMessage();
      } else if (leave) {
        game.showBallNumbers = 0;
      } else {
        updateAiming(game);
      }
      break;
    case k_stateShotPower:
      if (entry) {
        game.aimGuideShown = 1;
        game.cueShown = 1;
        game.powerBarShown = 1;
        game.leftSoftKeyText = 24;
        game.m_world.shot.powerGauge = 0;
        game.m_world.shot.powerDirection = kQ14One;
        if (game.m_world.cueStick) game.m_world.cueStick->frame = 5;  // pulled back by the gauge
      } else if (leave) {
        game.powerBarShown = 0;
        game.aimGuideShown = 0;
        game.leftSoftKeyText = -1;
      } else {
        updatePower(game);
      }
      break;
    case k_stateStroke:
      if (entry) {
        game.cueShown = 1;
        if (game.m_world.cueStick) game.m_world.cueStick->frame = 4;  // the stroke
      } else if (leave) {
        game.powerBarShown = 0;
        if (game.m_world.cueStick) game.m_world.cueStick->frame = 0;
      } else {
        updateStroke(game);
      }
      break;
    case k_stateBallsMoving:
      if (entry) {
        startBallsMoving(game);
      } else if (leave) {
        leaveBallsMoving(game);
      } else {
        updateBallsMoving(game);
      }
      break;
    case k_stateAfterShot:
      if (entry)
        enterAfterShot(game);
      else if (!leave)
        updateAfterShot(game);
      break;
    case k_stateFrameWon:
      if (entry)
        enterFrameWon(game);
      else if (!leave)
        updateFrameWon(game);
      break;
    case k_stateResultLines:
      if (entry) {
        enterResultLines(game);
      } else if (leave) {
        game.textBoxOn = 0;
      } else {
        updateResultLines(game);
      }
      break;
    case k_stateComputerShot:
      if (entry) {
        resetShot(game);
        game.resetAI();
        game.cueShown = 1;
        startThinking(game);
      } else if (leave) {
        game.thinkingShown = 0;
      } else {
        updateComputerShot(game);
      }
      break;
    case k_stateSpinSelector:
      if (entry) {
        moveEnglishPoint(game, 0, 0);
        game.spinSelectorShown = 1;
        if (!game.challengeDemo) game.leftSoftKeyText = 13;
        if (game.gameType == kGameTutorial) openTutorialSpinText(game);
      } else if (leave) {
        game.leftSoftKeyText = 29;
        game.spinSelectorShown = 0;
        // A lesson's hint is the selector's text: the "?" it lit goes out
        // with the selector, where that key pauses the match again.
        if (game.gameType == kGameTutorial) game.hudHint = -1;
      } else {
        updateSpin(game);
      }
      break;
    case k_stateMessageBox:
      if (entry) {
        game.currentPlayer = game.messagePlayer;
        openTextBox(game, game.messageText);
        game.touchHint = 1;
        game.m_messageTime = static_cast<int32_t>(game.m_gameClock);
      } else if (leave) {
        // The box is closed: its prompt goes with it.
        game.textBoxOn = 0;
        game.touchHint = 0;
      } else if (game.m_keys.isReleased(k_keyDismiss | rightSoftMask(game))) {
        if (game.textBoxPage + 1 < game.textBoxPages) {
          game.textBoxPage += 1;
          game.textBoxMorePages = game.textBoxPage + 1 < game.textBoxPages ? 1 : 0;
        } else {
          game.currentPlayer = 0;
          game.messageDone = 1;
          game.popState();
        }
      }
      break;
    case k_stateTutorialLessonIntro:
      if (entry) {
        addTextMessage(game, 1, getTutorialLessonText(game, 0), -1);
        game.touchHint = 1;
        game.leftSoftKeyText = -1;
        game.messageDone = 0;
        game.tutorialAwaitsTitle = 1;
      } else if (leave) {
        game.touchHint = 0;
      } else if (game.tutorialAwaitsTitle) {
        game.tutorialAwaitsTitle = 0;
        showMessageBox(game, 1, getTutorialLessonText(game, 1));
      } else if (game.messageDone) {
        chooseNextTurnState(game);
      }
      break;
    case k_stateChallengeIntro:
      if (entry) {
        game.touchHint = 1;
        game.messageDone = 0;
        game.tutorialAwaitsTitle = 0;
        if (game.challengeDemo) {
          chooseNextTurnState(game);
        } else {
          addTextMessage(game, 2, k_textChallengeName0 + std::clamp(game.challengeNumber, 0, 31), -1);
          game.tutorialAwaitsTitle = 1;
        }
      } else if (leave) {
        game.touchHint = 0;
      } else {
        if (game.tutorialAwaitsTitle) {
          game.tutorialAwaitsTitle = 0;
          showMessageBox(game, 1, k_textChallengeIntro0 + std::clamp(game.challengeNumber, 0, 31));
        } else if (game.messageDone) {
          chooseNextTurnState(game);
        }
      }
      break;
    case k_stateTutorialFinished:
      if (entry) {
        addTextMessage(game, 1, k_textTutorialDone, -1);
        game.touchHint = 1;
      } else if (leave) {
        game.touchHint = 0;
      } else {
        returnFromTutorial(game);
      }
      break;
    default:
      break;
  }
}

void showMessageBox(cGame& game, int32_t player, int32_t textId) {
  game.messagePlayer = static_cast<uint8_t>(player);
  game.messageText = textId;
  game.messageDone = 0;
  game.pushState(k_stateMessageBox);
}

void updateOpponentIntro(cGame& game) {
  game.touchHint = 1;
  if (!game.m_keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  game.touchHint = 0;
  game.currentPlayer = game.m_rules.normalPlay ? 0 : 1;
  playMusic(game, k_musicStart);
  announceLag(game);
  chooseNextTurnState(game);
}

void announceLag(cGame& game) {
  // A match that opens with the lag says what it is for and what to do,
  // before the first lag shot.
  if (game.m_rules.rulesMode != RuleState::kModeLag || game.m_rules.lagSecondShot) return;
  addTextMessage(game, 2, k_textLagWinnerBreaks, kLagNoteMs);
  addTextMessage(game, 2, k_textLagHowTo, kLagNoteMs);
}

void startNewMatch(cGame& game) {
  resetMatchState(game);
  initFrame(game, true);
  game.currentPlayer = 0;
  game.panelX = 67;
  game.hudOffset = 0;
  selectInterface(game, kHudInterface);
  clearPottedBallLists(game);
  setInterfaceElementSprite(game, kHudInterface, 12, 13 + std::clamp(game.m_playerCharacter[0], 0, 10));
  const int32_t rival =
      game.gameType == kGameCareer ? getRivalCharacter(*(&game), game.opponentSlot) : game.m_playerCharacter[1];
  setInterfaceElementSprite(game, kHudInterface, 13, 13 + std::clamp(rival, 0, 10));
  setElementPalette(game, 11, std::clamp(game.m_tableIndex, 0, 8));
  game.clearMessages();
  game.m_dialog.life = -1;
  game.messageText = -1;
  game.m_rules.winner = -1;
  game.powerBarShown = game.cueShown = game.aimGuideShown = game.handShown = game.thinkingShown =
      game.spinSelectorShown = game.skipHintShown = 0;
  game.showBallNumbers = game.textBoxOn = game.touchHint = 0;
  game.hudHidden = 0;
  game.leftSoftKeyText = -1;
  game.computerSkipCount = 0;
  game.missNoticeArmed = game.missNoticeShown = game.missFlag = 0;
  game.backFromPower = game.computerPassed = 0;
  setInterfaceElementVisible(game, kHudInterface, 129, false);
  setInterfaceElementVisible(game, kHudInterface, 130, false);
  game.setInGameState(k_stateMatchNotices);
}

void startDispatch(cGame& game) {
  if (game.gameType == kGameCareer && game.m_career.flagB) {
    game.m_career.flagB = 0;
    saveProgress(game);
    // The match the offer interrupts: the tutorial, or the screen after a
    // "no", comes back to it.
    game.m_savedGameType = game.gameType;
    game.m_savedRuleSet = game.ruleSet;
    enterQuestionMenu(*(&game), 54, 649, 6, k_stateContinue, false);
    return;
  }
  switch (game.gameType) {
    case kGameCareer:
      playMusic(game, k_musicStart);
      game.setInGameState(k_stateBet);
      break;
    case kGameTutorial:
      game.setInGameState(k_stateTutorialLessonIntro);
      break;
    case kGameChallenge:
      game.setInGameState(k_stateChallengeIntro);
      break;
    case kGameSingle:
      playMusic(game, k_musicStart);
      announceLag(game);
      chooseNextTurnState(game);
      break;
    default:
      game.setInGameState(k_stateOpponentIntro);
      break;
  }
}

void updateStroke(cGame& game) {
  ShotRecord& shot = game.m_world.shot;
  // The cue moves in; the strike comes when the tip reaches the ball.
  if (game.m_world.cueStick) game.m_world.cueStick->update(game.m_world);
  if (shot.cueDistance > 0x12000 && game.m_world.cueStick) return;
  const int32_t gauge = std::clamp(shot.powerGauge, 0, kGaugeFull);
  if (gauge > 0) {
    const int32_t volume = 50 + gauge * 50 / kGaugeFull;
    playSound(game, game.m_world.breakPlayed ? k_soundStickHard : k_soundBreakHard, 0, volume, volume);
    game.vibrate(game.m_vibrationTime);
  } else {
    playSound(game, k_soundStickMiss, 0, 100, 100);
  }
  game.setInGameState(k_stateBallsMoving);
}

void startBallsMoving(cGame& game) {
  game.m_rules.freeBallAfterFoul = 0;
  game.missFlag = 0;
  game.m_skippedShot = 0;
  game.m_rules.crowdSoundPlayed = 0;
  game.aimGuideShown = game.cueShown = 0;
  game.leftSoftKeyText = 12;
  if (game.m_world.breakPlayed) {
    game.m_world.shot.clearEvents();
    game.m_rules.shotOutcome = 0;
  }
  if (!game.isComputerAtTable() && game.m_rules.rulesMode != RuleState::kModeLag) {
    if (game.m_rules.guideRememberedBall >= 0 || !game.m_world.breakPlayed) game.skipHintShown = 1;
  }
  game.beginStroke();
  // A human's shot is played out first: the view opens before the pot, and
  // on the break whatever it finds.
  if (!game.isComputerAtTable() && game.m_rules.rulesMode != RuleState::kModeLag) {
    if (predictPottedBall(game) != -1 || !game.m_world.breakPlayed) game.ballViewOpen = 1;
  }
  strikeCueBall(game, game.m_world.cueBall, false);
  game.m_rules.badFirstContact = 0;
  game.copyBallsToShadows();
}

void updateComputerShot(cGame& game) {
  game.updateAI(game.aiState(), 1, true);
  if (game.aiState() != -1 || !isThinkingOver(game)) return;
  if (!game.aiPassed()) {
    game.m_rules.pushOutAnswered = 0;
    game.powerBarShown = 1;
    game.setInGameState(k_stateStroke);
  } else {
    game.computerPassed = 1;
    addTextMessage(game, 2, k_textComputerPasses, -1);
    game.setInGameState(k_stateAfterShot);
  }
}

void startThinking(cGame& game) {
  game.thinkingShown = 1;
  if (game.m_matchPlayerH) {
    game.m_matchPlayerH->setPosition(game.currentPlayer == 1 ? 180 : 60, 160);
    game.m_matchPlayerH->resetAnim();
    game.m_matchPlayerH->setAnim(0);
  }
}

bool isThinkingOver(const cGame& game) {
  return !game.m_matchPlayerH || game.m_matchPlayerH->isAnimOver() || game.m_fastThinking;
}

void updateInGame(cGame& game) {
  const int32_t state = game.s_gameState;
  if (game.m_subState != k_subStateInGameUpdate) {
    // Leaving a front-end state for the match needs no step.
    if (game.m_inGame != 1 && game.m_subState == k_subStateDestroy) return;
    runMatchStep(game, state, game.m_subState);
    return;
  }
  // Prologue.
  const bool match = state == k_stateContinue || isMatchState(state);
  if (match) {
    if (game.m_keys.isPressed(k_keyBack)) {
      enterIGM(*(&game));
      return;
    }
    if (state != k_stateMatchInit && game.menuRequest) {
      game.menuRequest = 0;
      game.m_menu.selection = 0;
      enterIGM(*(&game));
      return;
    }
  }
  game.menuRequest = 0;
  if (state == k_stateAfterShot && isScratchHoldRunning(game)) {
    updateMessages(game);
    game.touchHint = 1;
    return;
  }
  // The hold is over: its prompt is not left over the next turn.
  if (state == k_stateAfterShot) game.touchHint = 0;
  slideHudPanel(game);
  // A question covers the table and its messages: a message it hides
  // neither ages nor holds the question's answer back.
  if (state != k_stateQuestionMenu && state != k_stateQuestion && !game.hudHidden) {
    const bool boxUp = isBoxOverTable(game);
    updateMessages(game);
    if (isMessageWaiting(game)) return;
    // A key that went to a box over the table does nothing else: the tap
    // that closes "Scratch!" neither aims nor starts the gauge.
    if (boxUp && game.m_keys.isPressed(k_keyDismiss | k_keyRightSoft)) return;
  }
  runMatchStep(game, state, k_subStateInGameUpdate);
  // Epilogue.
  const int32_t now = game.s_gameState;
  game.showBallNumbers =
      game.showBallNumbers && now == k_stateAim && game.m_gameClock < game.ballNumbersUntil && isHudAtTarget(game);
  if (game.m_inGame != 1) return;
  if ((now == k_stateChallengeUnlocked || now == k_stateCharacterUnlocked || now == k_statePostMatchMenu) &&
      game.m_keys.isPressed(k_keyBack)) {
    saveSettings(game);
    saveProgress(game);
    game.m_pendingReturnState = k_stateMainMenu;
    game.setState(k_stateMainMenuLoading);
    return;
  }
  if (isMatchState(now) && game.m_keys.isPressed(menuSoftMask(game)) && !game.showBallNumbers) enterIGM(*(&game));
}
