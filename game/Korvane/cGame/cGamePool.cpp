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

uint32_t rightSoftMask(const cGame& game) { return game.match.altPanelLayout ? k_keyLeftSoft : k_keyRightSoft; }
uint32_t menuSoftMask(const cGame& game) { return game.match.altPanelLayout ? k_keyRightSoft : k_keyLeftSoft; }

bool isHudAtTarget(const cGame& game) {
  return game.table.panelX == (game.match.currentPlayer == 1 ? 6 : 67) &&
         game.table.hudOffset == (game.match.currentPlayer == 1 ? -61 : 0);
}

bool isMessageWaiting(const cGame& game) { return game.messages.count > 0 && game.messages.kind[0] != 0; }

bool isBoxOverTable(const cGame& game) { return isMessageWaiting(game) || game.dialog.life >= 0; }

bool isMatchOnHold(cGame& game) {
  if (isMessageWaiting(game) || game.dialog.life >= 0) return true;
  return game.states.gameState == k_stateAfterShot && isScratchHoldRunning(game);
}

bool isScratchHoldRunning(const cGame& game) {
  return game.rules.crowdSoundPlayed && game.frame.gameClock - game.rules.crowdSoundTime < kScratchHoldMs;
}

void slideHudPanel(cGame& game) {
  if (game.turn.hudHidden) return;
  const int32_t panelTarget = game.match.currentPlayer == 1 ? 6 : 67;
  const int32_t hudTarget = game.match.currentPlayer == 1 ? -61 : 0;
  game.table.panelX = easeTowards(game.table.panelX, panelTarget, 35);
  const int32_t offset = easeTowards(game.table.hudOffset, hudTarget, 35);
  if (offset != game.table.hudOffset) game.table.panelRedraw = 1;
  game.table.hudOffset = offset;
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

bool isTopRivalOfClassA(cGame& game) { return topRivalOfClass(*(&game), 0) == game.setup.opponentSlot; }
bool isTopRivalOfClassB(cGame& game) { return topRivalOfClass(*(&game), 1) == game.setup.opponentSlot; }

void chooseNextTurnState(cGame& game) {
  // A box of the last shot goes when the other player takes the table.
  if (game.dialog.life >= 0 && game.dialog.player != game.match.currentPlayer) game.dialog.life = -1;
  if (game.turn.coinTossPending) {
    game.setInGameState(k_stateCoinToss);
  } else if (game.rules.cueAwaitsPlacing || game.rules.ballInHand) {
    game.setInGameState(isComputerAtTable(game) ? k_stateComputerBallInHand : k_stateHumanBallInHandStart);
  } else {
    game.setInGameState(isComputerAtTable(game) ? k_stateComputerShot : k_stateAim);
  }
}

void answerPushOutOffer(cGame& game, bool take) {
  game.rules.pushOutShot = take ? 1 : 0;
  game.rules.pushOutAvailable = 0;
}

// Playing on or passing after the opponent's push-out; a pass then switches
// the player, and the after-shot step hands the table over.
void answerPushOutPlay(cGame& game) { game.rules.pushOutAnswered = 0; }

// The players' names in message texts ("$a", "$b").
const char* getPlayerName(cGame& game, int32_t player) {
  if (player < 0 || player > 1) return "";
  const int32_t character = player == 1 && game.match.gameType == k_gameTypeCareer
                                ? getRivalCharacter(*(&game), game.setup.opponentSlot)
                                : game.setup.playerCharacter[player];
  const char* name = getStringData(game, 391 + std::clamp(character, 0, 10));
  return name ? name : "";
}

bool isMatchDataLoaded(const cGame& game) {
  if (!game.tableLayout.isComplete() || !game.world.cueBall || !game.world.ballList) return false;
  // A computer player needs the profiles; a failed read leaves them all 0.
  if (game.match.gameType == k_gameTypeSingleMatch) return true;
  for (const auto& profile : game.opponent.profiles.loaded)
    for (int32_t v : profile)
      if (v != 0) return true;
  return false;
}

// ---- ball in hand

bool isInHandArea(const cGame& game, const Vector2& p) {
  if (p.x < kAreaLeft || p.x > kAreaRight || p.y > kAreaTop || p.y < kAreaBottom) return false;
  if (!game.rules.ballInHandInD) return true;
  if (p.y > kHeadLine) return false;
  if (game.match.ruleSet != k_ruleSetUK) return true;
  const int64_t dx = static_cast<int64_t>(p.x) - kDCentreX, dy = static_cast<int64_t>(p.y) - kDCentreY;
  return dx * dx + dy * dy <= static_cast<int64_t>(kDRadius) * kDRadius;
}

bool isPlaceFree(const cGame& game, const PhysicalObject& ball) {
  return isInHandArea(game, ball.position) && !isBallPlacementBlocked(game, ball);
}

void returnCueBallToPlay(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
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
  const Q14 top = game.rules.ballInHandInD ? kHeadLine : kAreaTop;
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
  PhysicalObject* cue = game.world.cueBall;
  if (!game.world.breakPlayed) game.rules.ballInHandInD = 1;
  game.turn.ballInHandInD = game.rules.ballInHandInD;
  if (cue && !isPlaceFree(game, *cue)) {
    const Q14 x = std::clamp(cue->position.x, kAreaLeft, kAreaRight);
    const Q14 y = std::clamp(cue->position.y, kAreaBottom, game.rules.ballInHandInD ? kHeadLine : kAreaTop);
    findFreePlace(game, *cue, x, y);
  }
  if (cue) {
    game.turn.handX = cue->position.x;
    game.turn.handY = cue->position.y;
    game.turn.lastHand = cue->position;
  }
}

void updateBallInHand(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (isComputerAtTable(game)) {
    // The computer's ball is placed: its turn goes on once the hand has
    // reached it. The table's paint moves the hand, except while the HUD is
    // hidden; then the turn does not wait for it.
    const PhysicalObject* hand = game.world.handCursor;
    if (!hand || hand->frame != 0 || game.turn.hudHidden) game.setInGameState(k_stateComputerShot);
    return;
  }
  if (moveCueBallInHand(game))
    game.world.shot.handSpeed = std::min(game.world.shot.handSpeed + kQ14One, kHandSpeedMax);
  else
    game.world.shot.handSpeed = kQ14One;
  // A touch on the table moves the ball there when the place is free.
  if (cue && (game.turn.handX != game.turn.lastHand.x || game.turn.handY != game.turn.lastHand.y)) {
    const Vector2 before = cue->position;
    cue->setPosition(game.turn.handX, game.turn.handY);
    if (!isPlaceFree(game, *cue)) cue->position = before;
    game.turn.lastHand.set(game.turn.handX, game.turn.handY);
  }
  if (cue && game.keys.isReleased(k_keyDismiss) && isPlaceFree(game, *cue)) game.setInGameState(k_stateAim);
}

void updateComputerBallInHand(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  if (!cue) return;
  if (!game.turn.aiPlacingDone) {
    cue->position = game.turn.aiSpot;
    updateAI(game, aiState(game), kThinkUpdate, true);
    game.turn.aiSpot = cue->position;
    if (aiState(game) != kThinkDone || !isThinkingOver(game)) return;
    game.turn.aiPlacingDone = 1;
  }
  PhysicalObject* hand = game.world.handCursor;
  if (isPlaceFree(game, *cue)) {
    // The ball stays where the opponent (or the walk below) left it.
    game.rules.ballInHand = 0;
    game.rules.cueAwaitsPlacing = 0;
    if (game.rules.cueBallPlaced) {
      if (hand) hand->frame = 0;
      game.setInGameState(k_stateComputerShot);
      return;
    }
    // The player sees the hand glide to the ball; it leaves the ball where it is.
    game.world.shot.handObject = cue;
    game.world.handPlaced = 1;
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
    const Vector2 spot = getAIBreakPosition(game, game.match.currentPlayer);
    if (game.turn.placementReturns++ == 0)
      cue->setPosition(spot.x, spot.y);
    else
      findFreePlace(game, *cue, spot.x, spot.y);
  }
}

// ---- aiming, power, spin

void updateAiming(cGame& game) {
  if (game.challenges.demo) {
    updateChallengeDemoAim(game);
    return;
  }
  // The lesson's text box holds the aim until it is closed.
  if (game.tutorial.textBoxOpen) {
    updateTutorialTextBox(game);
    return;
  }
  const bool normal =
      game.rules.normalPlay && game.match.gameType != k_gameTypeChallenge && game.match.gameType != k_gameTypeTutorial;
  if (normal && game.table.hudHint != -1) game.turn.leftSoftKeyText = 29;
  if (game.match.gameType == k_gameTypeChallenge && game.keys.isReleased(kKeyDemo)) setChallengeDemoAim(game);
  // Challenges and lessons are aimed by touch too: a frame in play, not the lag.
  if (game.rules.normalPlay && game.pointerY < 300) aimAtStylus(game);
  const bool inverted = game.keys.isPressed(kKeyInvert) &&
                        !game.keys.isPressed(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft) &&
                        !game.keys.isHeld(k_keyRight | k_keyLeft | kKeyFineRight | kKeyFineLeft);
  const bool turned = turnAimByKeys(game);
  // The lesson's hook looks at the aim after its half turn.
  if (inverted) onTutorialAimInverted(game);
  if (!turned && game.keys.isReleased(rightSoftMask(game) | kKeyDemo) && !tutorialSpinLocked(game) &&
      !game.turn.showBallNumbers) {
    game.pushState(k_stateSpinSelector);
    return;
  }
  if (game.match.gameType == k_gameTypeTutorial) {
    checkTutorialAimTarget(game);
    // The coach speaks: the rest of the aim waits for the message.
    if (game.states.gameState != k_stateAim) return;
  }
  if (game.keys.isPressed(kKeyNumbers) && isHudAtTarget(game)) {
    game.turn.showBallNumbers = 1;
    game.turn.ballNumbersUntil = game.frame.gameClock + kBallNumbersMs;
  }
  if (game.keys.isReleased(k_keyDismiss)) game.setInGameState(k_stateShotPower);
}

void updatePower(cGame& game) {
  if (game.challenges.demo) {
    updateChallengeDemoPower(game);
    return;
  }
  ShotRecord& shot = game.world.shot;
  if (game.match.gameType == k_gameTypeChallenge && game.keys.isReleased(kKeyDemo)) {
    shot.powerGauge = getChallengeDemoPower(game);
    game.setInGameState(k_stateStroke);
    return;
  }
  const int32_t item = std::clamp(game.career.equippedLevel[2], 0, 5);
  const int32_t rate = k_cuePowerRates[item];
  const int64_t stepSize = (static_cast<int64_t>(rate) * 8400 / 100 * std::max(game.frame.frameTime, 0)) >> 10;
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
  if (game.keys.isPressed(k_keySelect)) {
    game.setInGameState(k_stateStroke);
  } else if (game.keys.isPressed(rightSoftMask(game))) {
    game.turn.backFromPower = 1;
    game.setInGameState(k_stateAim);
  }
}

void updateSpin(cGame& game) {
  if (game.tutorial.textBoxOpen) {
    // The selector's own pad and masse button act at once and close the
    // coach's box; other keys page it.
    constexpr uint32_t kPad = k_keyRight | k_keyLeft | k_keyUp | k_keyDown;
    if (!game.keys.isPressed(kPad) && !game.keys.isHeld(kPad) && !game.keys.isReleased(kKeyMasse)) {
      updateTutorialTextBox(game);
      return;
    }
    closeTutorialTextBox(game);
  }
  if (game.challenges.demo) {
    updateChallengeDemoSpin(game);
    return;
  }
  if (game.match.gameType == k_gameTypeChallenge && game.keys.isReleased(kKeyDemo)) setChallengeDemoSpin(game);
  auto key = [&game](uint32_t m) { return game.keys.isPressed(m) || game.keys.isHeld(m); };
  if (key(k_keyRight)) moveEnglishPoint(game, kQ14One, 0);
  if (key(k_keyLeft)) moveEnglishPoint(game, -kQ14One, 0);
  if (key(k_keyUp)) moveEnglishPoint(game, 0, -kQ14One);
  if (key(k_keyDown)) moveEnglishPoint(game, 0, kQ14One);
  if (game.keys.isReleased(kKeyMasse) && !tutorialMasseLocked(game)) {
    game.world.shot.masse = game.world.shot.masse ? 0 : 1;
    onTutorialMasse(game);
    if (!game.world.shot.masse) rotateAim(game, 0);
  }
  if (game.keys.isReleased(rightSoftMask(game) | k_keyDismiss | kKeyDemo | k_keyBack)) game.popState();
}

// ---- the shot

void updateBallsMoving(cGame& game) {
  if (game.challenges.demo) {
    if (updateBalls(game)) {
      runShotRules(game);
      game.setInGameState(k_stateAfterShot);
    }
    return;
  }
  const bool computer = isComputerAtTable(game);
  const bool alwaysSkip = game.career.option8 && (isComputerPlayer(game, 0) || isComputerPlayer(game, 1));
  if (game.keys.isPressed(rightSoftMask(game)) || (alwaysSkip && computer)) {
    game.turn.skippedShot = 1;
    skipShot(game);
    runShotRules(game);
    game.turn.skipHintShown = 0;
    if (computer) {
      game.turn.computerSkipCount += 1;
      if (game.turn.computerSkipCount == kSkipQuestionCount && !game.career.option8) {
        enterQuestionMenu(game, k_questionSkipShots, false);
        return;
      }
    }
    game.setInGameState(k_stateAfterShot);
    return;
  }
  if (updateBalls(game)) {
    runShotRules(game);
    game.setInGameState(k_stateAfterShot);
  }
}

void leaveBallsMoving(cGame& game) {
  game.turn.skipHintShown = 0;
  game.turn.leftSoftKeyText = -1;
  if (isComputerAtTable(game)) return;
  const uint32_t out = game.rules.shotOutcome;
  if (out & (kOutFoulA | kOutFoulB | kOutFoulCue)) {
    if (!game.rules.crowdSoundPlayed) {
      playSound(game, k_soundCrowdAww, 0, 100, 100);
      vibrate(game, game.sound.vibrationTime);
      game.rules.crowdSoundPlayed = 1;
      game.rules.crowdSoundTime = game.frame.gameClock;
    }
    game.turn.missNoticeArmed = 0;
    return;
  }
  if (!game.turn.missFlag || game.match.gameType == k_gameTypeChallenge || game.match.gameType == k_gameTypeTutorial) {
    if (!game.turn.missFlag) game.turn.missNoticeArmed = 0;
    return;
  }
  if (!game.turn.missNoticeArmed) {
    game.turn.missNoticeArmed = 1;
    return;
  }
  game.turn.missNoticeArmed = 0;
  if (!game.turn.skippedShot && !game.rules.crowdSoundPlayed) {
    playSound(game, k_soundCrowdAww, 0, 80, 80);
    game.rules.crowdSoundPlayed = 1;
    game.rules.crowdSoundTime = game.frame.gameClock;
  }
  game.turn.missNoticeShown = 1;
  showDialogBox(game, 1, getStringData(game, 722), nullptr);
}

void enterAfterShot(cGame& game) {
  game.turn.leftSoftKeyText = -1;
  game.ballView.open = 0;  // the balls rest: the view shuts
  if (!game.turn.computerPassed) Rules_Apply(game);
  clearTutorialWait(game);
  if (PhysicalObject* cue = game.world.cueBall) {
    cue->frame = PhysicalObject::kRestFrame;
    cue->state = 3;
  }
  if (game.rules.respotPending) respotBalls(game);
  if (game.match.ruleSet == k_ruleSetNineBall && (game.rules.shotOutcome & (kOutFoulA | kOutFoulB))) {
    PottedBalls& list = game.turn.potted[game.rules.previousPlayer & 1];
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
  if (game.dialog.life > 0 && game.dialog.player != game.match.currentPlayer) return;
  if (game.rules.rulesMode == RuleState::kModeLag) {
    if (!game.rules.lagSecondShot) {
      game.rules.lagSecondShot = 1;
      placeSecondLagBall(game);
      chooseNextTurnState(game);
      return;
    }
    const bool tie = !game.rules.normalPlay;
    initFrame(game, tie);
    // A fresh lag starts again from its first shot.
    if (tie) game.rules.lagSecondShot = 0;
    chooseNextTurnState(game);
    return;
  }
  if (game.match.gameType == k_gameTypeTutorial) {
    checkTutorialShotResult(game);
    return;
  }
  if (game.match.gameType == k_gameTypeChallenge) {
    updateChallengeAfterShot(game);
    return;
  }
  const uint32_t out = game.rules.shotOutcome;
  if (out & (kOutWin | kOutLose)) {
    game.setInGameState(k_stateFrameWon);
    return;
  }
  const bool human = !isComputerAtTable(game);
  if (game.match.ruleSet == k_ruleSetUK && game.rules.tableOpen && game.world.breakPlayed && game.rules.ukFirstVisit) {
    game.rules.ukFirstVisit = 0;
    if (human) {
      game.setInGameState(k_stateBreakChoice);
      return;
    }
    if (game.engine.random && game.engine.random->nextInt(0, 2) == 1)
      assignGroups(game, 1, 0);
    else
      assignGroups(game, 0, 1);
  }
  if (game.rules.pushOutAvailable) {
    if (human) {
      enterQuestionMenu(game, k_questionPushOutOffer, true);
      return;
    }
    game.rules.pushOutAvailable = 0;
    game.rules.pushOutShot = 0;
  }
  if (game.rules.pushOutAnswered && human) {
    enterQuestionMenu(game, k_questionPushOutPlay, true);
    return;
  }
  if (game.turn.computerPassed) {
    game.rules.pushOutAvailable = 0;
    game.rules.pushOutAnswered = 0;
    game.turn.computerPassed = 0;
    switchPlayer(game);
  }
  chooseNextTurnState(game);
}

void placeSecondLagBall(cGame& game) {
  PhysicalObject* cue = game.world.cueBall;
  PhysicalObject* eight = game.world.ball8;
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
    return isInHandAreaUnrestricted(game, eight->position) && !isBallPlacementBlocked(game, *eight);
  };
  if (!clear()) eight->setPosition(cue->position.x - kLagOffset, cue->position.y);
  eight->update(game.world);
  returnCueBallToPlay(game);
  cue->position = start;
  cue->update(game.world);
}

bool isInHandAreaUnrestricted(const cGame& /*game*/, const Vector2& p) {
  return p.x >= kAreaLeft && p.x <= kAreaRight && p.y <= kAreaTop && p.y >= kAreaBottom;
}

// ---- the end of a frame

void enterFrameWon(cGame& game) {
  const int32_t winner = game.rules.winner;
  const bool humanWon = winner == 0;
  if (game.match.gameType == k_gameTypeSingleMatch) {
    substitutePlayerNames(game, 703);
    replaceTextTagWithText(game, 391 + std::clamp(game.setup.playerCharacter[winner == 1 ? 1 : 0], 0, 10));
    showDialogBox(game, 1, game.text.strings.work, nullptr);
    playMusic(game, k_musicWin);
  } else {
    showDialogBox(game, 1, getStringData(game, humanWon ? 701 : 702), nullptr);
    playMusic(game, humanWon ? k_musicWin : k_musicLose);
  }
  if (winner < 0 || winner > 1 || isComputerPlayer(game, winner)) return;
  if (game.match.ruleSet != k_ruleSetNineBall && game.rules.groupChosenOnBreak[winner] >= 0 &&
      static_cast<uint32_t>(game.rules.groupChosenOnBreak[winner]) != game.rules.playerGroup[winner])
    unlockAchievement(game, 1);
  if (static_cast<int32_t>(getTickCount() - game.table.matchStartTime) < kFastFrameMs) unlockAchievement(game, 12);
  if (!game.rules.humanFouled) unlockAchievement(game, 24);
  if (game.match.playerProfile[1 - winner] == 0 && !game.rules.rivalPotted) {
    game.career.achievementCounter += 1;
    saveSettings(game);
    unlockAchievement(game, 19);
    if (game.career.achievementCounter == 3) unlockAchievement(game, 22);
  }
  if (game.rules.noScratchInFrame) unlockAchievement(game, 27);
  if (!game.rules.cueTouchedEight) unlockAchievement(game, 26);
}

void updateFrameWon(cGame& game) {
  if (game.dialog.life >= 0) return;
  if (game.match.gameType == k_gameTypeSingleMatch) {
    game.question.menuFlag = 0;
    game.setInGameState(k_stateInGameQuestion);
  } else {
    game.setInGameState(k_stateResultLines);
  }
}

void enterResultLines(cGame& game) {
  game.match.currentPlayer = 1;
  const bool rivalWon = game.rules.winner == 1;
  const int32_t character =
      std::clamp(game.match.gameType == k_gameTypeCareer ? getRivalCharacter(*(&game), game.setup.opponentSlot)
                                                         : game.setup.playerCharacter[1],
                 0, 10);
  openTextBox(game, (rivalWon ? k_textRivalWon0 : k_textRivalLost0) + k_textRivalLineStride * character);
  if (game.match.gameType != k_gameTypeCareer) return;
  resetInterfaceAnimation(game, true);
  const uint32_t out = game.rules.shotOutcome;
  if (!(out & kOutLose) && (out & kOutWin)) {
    if (isTopRivalOfClassA(game))
      unlockAchievement(game, 15);
    else if (isTopRivalOfClassB(game))
      unlockAchievement(game, 14);
  }
  if ((out & kOutLose) && game.setup.opponentSlot != kSpecialRival) {
    const int32_t c = getRivalCharacter(*(&game), game.setup.opponentSlot);
    if (c >= 0 && c < 10) {
      (kRivalClass[c] ? game.career.progress.counterE : game.career.progress.counterD) += 1;
      saveProgress(game);
    }
  }
  if ((out & kOutWin) && game.setup.opponentSlot == 8 && game.career.progress.counterD == 0 &&
      game.career.progress.counterE == 0)
    unlockAchievement(game, 13);
}

void updateResultLines(cGame& game) {
  if (!game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  const bool rivalWon = game.rules.winner == 1;
  if (game.match.gameType == k_gameTypeTournament) {
    if (rivalWon) {
      game.career.progress.counterC += 1;
      saveProgress(game);
      if (game.career.progress.counterC >= 3) {
        game.loading.pendingReturnState = k_statePub;
        game.setState(k_stateMainMenuLoading);
      } else {
        game.setInGameState(k_stateInGameQuestion);
      }
    } else {
      game.loading.pendingReturnState = k_stateTournamentStage;
      game.setState(k_stateMainMenuLoading);
    }
    return;
  }
  if (game.match.gameType == k_gameTypeCareer) {
    auto visible = [&game](int32_t i) {
      const int16_t* e = getInterfaceElement(game, kHudInterface, i);
      return e && e[F::kWordType] == F::kSprite && e[F::kWordParams + F::kSpriteVisible] != 0;
    };
    const bool shown = visible(129) || visible(130);
    if (!shown) {
      game.turn.prizeTime = game.frame.gameClock;
      playSound(game, k_soundCash, 0, 100, 100);
      const int32_t a = std::clamp(game.setup.betPosition, 0, 2);
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
  game.turn.textBoxOn = 1;
  game.turn.textBoxText = textId;
  game.turn.textBoxPage = 0;
  substitutePlayerNames(game, textId);
  const int16_t* box = getInterfaceElement(game, kHudInterface, 127);
  int32_t pages = 1;
  if (box && game.text.fonts[0]) {
    pages = layoutText(game, game.text.fonts, game.text.strings.work, 0, game.text.strings.workLength, 0,
                       getInterfaceElementWidth(game, kHudInterface, 127),
                       getInterfaceElementHeight(game, kHudInterface, 127));
    game.text.layout.cacheKey = 0;
  }
  game.turn.textBoxPages = std::max(pages, 1);
  game.turn.textBoxMorePages = game.turn.textBoxPages > 1 ? 1 : 0;
}

// ---- the dispatch

void runMatchStep(cGame& game, int32_t state, int32_t step) {
  if (game.turn.matchStepHook) game.turn.matchStepHook(*(&game), state, step);
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
        if (game.tutorial.started &&
            (game.tutorial.left || (game.match.ruleSet == k_ruleSetNineBall && !game.turn.pushOutExplained))) {
          if (game.tutorial.left) {
            game.setInGameState(k_stateContinue);
          } else {
            addTextMessage(game, 1, k_textPushOutRule, -1);
            game.turn.pushOutExplained = 1;
            game.turn.touchHint = 1;
          }
        } else {
          game.setInGameState(k_stateStartDispatch);
        }
      } else if (!leave) {
        game.turn.touchHint = 0;
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
        game.match.currentPlayer = 1;
        const int32_t character =
            std::clamp(game.match.gameType == k_gameTypeCareer ? getRivalCharacter(*(&game), game.setup.opponentSlot)
                                                               : game.setup.playerCharacter[1],
                       0, 10);
        openTextBox(game, k_textRivalGreeting0 + k_textRivalLineStride * character);
      } else if (leave) {
        game.turn.textBoxOn = 0;
      } else {
        updateOpponentIntro(game);
      }
      break;
    case k_stateHumanBallInHandStart:
      if (entry) {
        if (PhysicalObject* cue = game.world.cueBall) {
          returnCueBallToPlay(game);
          if (!game.world.breakPlayed) game.rules.ballInHandInD = 1;
          if (!findFreePlace(game, *cue, kHandStartX, kHandStartY)) cue->setPosition(kHandStartX, kHandStartY);
        }
      } else if (!leave) {
        game.setInGameState(k_stateBallInHand);
      }
      break;
    case k_stateBallInHand:
      if (entry) {
        startBallInHand(game);
        game.turn.handShown = 1;
        game.world.shot.handObject = game.world.cueBall;
        game.world.shot.handSpeed = kQ14One;
      } else if (leave) {
        game.turn.handShown = 0;
        game.rules.ballInHand = 0;
        game.rules.cueAwaitsPlacing = 0;
        game.rules.cueBallPlaced = 1;
      } else {
        updateBallInHand(game);
      }
      break;
    case k_stateComputerBallInHand:
      if (entry) {
        returnCueBallToPlay(game);
        if (!game.world.breakPlayed) game.rules.ballInHandInD = 1;
        game.turn.ballInHandInD = game.rules.ballInHandInD;
        if (PhysicalObject* cue = game.world.cueBall) {
          game.turn.aiSpot = cue->position;
          if (game.world.breakPlayed)
            cue->setPosition(kHandStartX, kHandStartY);
          else
            cue->position = getAIBreakPosition(game, game.match.currentPlayer);
          game.turn.aiSpot = cue->position;
        }
        game.turn.placementReturns = 0;
        game.turn.aiPlacingDone = 0;
        resetShot(game);
        resetAI(game);
        startThinking(game);
        game.world.shot.handObject = game.world.cueBall;
      } else if (leave) {
        game.turn.thinkingShown = 0;
        game.world.shot.handObject = game.world.cueBall;
      } else {
        updateComputerBallInHand(game);
      }
      break;
    case k_stateAim:
      if (entry) {
        game.turn.aimGuideShown = game.rules.normalPlay ? 1 : 0;
        game.turn.cueShown = 1;
        game.world.shot.jumpShot = 0;
        resetShot(game);
        buildTargetBallList(game);
        if (game.world.breakPlayed && !game.turn.backFromPower) aimAtNextTargetBall(game, 1, true);
        game.turn.backFromPower = 0;
        game.world.shot.aimTurnSpeed = 4096;  // 0.25 degree
        const int32_t cur = game.match.currentPlayer & 1;
        if (game.rules.normalPlay && game.world.breakPlayed && !game.rules.tableOpen && !game.rules.groupsShown[cur] &&
            ((game.match.ruleSet == k_ruleSetEightBall && game.match.gameType == k_gameTypeSingleMatch) ||
             (game.match.ruleSet == k_ruleSetUK && !isComputerAtTable(game))))
          showGroupsMessage(game);
      } else if (leave) {
        game.turn.showBallNumbers = 0;
      } else {
        updateAiming(game);
      }
      break;
    case k_stateShotPower:
      if (entry) {
        game.turn.aimGuideShown = 1;
        game.turn.cueShown = 1;
        game.turn.powerBarShown = 1;
        game.turn.leftSoftKeyText = 24;
        game.world.shot.powerGauge = 0;
        game.world.shot.powerDirection = kQ14One;
        if (game.world.cueStick) game.world.cueStick->frame = 5;  // pulled back by the gauge
      } else if (leave) {
        game.turn.powerBarShown = 0;
        game.turn.aimGuideShown = 0;
        game.turn.leftSoftKeyText = -1;
      } else {
        updatePower(game);
      }
      break;
    case k_stateStroke:
      if (entry) {
        game.turn.cueShown = 1;
        if (game.world.cueStick) game.world.cueStick->frame = 4;  // the stroke
      } else if (leave) {
        game.turn.powerBarShown = 0;
        if (game.world.cueStick) game.world.cueStick->frame = 0;
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
        game.turn.textBoxOn = 0;
      } else {
        updateResultLines(game);
      }
      break;
    case k_stateComputerShot:
      if (entry) {
        resetShot(game);
        resetAI(game);
        game.turn.cueShown = 1;
        startThinking(game);
      } else if (leave) {
        game.turn.thinkingShown = 0;
      } else {
        updateComputerShot(game);
      }
      break;
    case k_stateSpinSelector:
      if (entry) {
        moveEnglishPoint(game, 0, 0);
        game.turn.spinSelectorShown = 1;
        if (!game.challenges.demo) game.turn.leftSoftKeyText = 13;
        if (game.match.gameType == k_gameTypeTutorial) openTutorialSpinText(game);
      } else if (leave) {
        game.turn.leftSoftKeyText = 29;
        game.turn.spinSelectorShown = 0;
        // A lesson's hint is the selector's text: the "?" it lit goes out
        // with the selector, where that key pauses the match again.
        if (game.match.gameType == k_gameTypeTutorial) game.table.hudHint = -1;
      } else {
        updateSpin(game);
      }
      break;
    case k_stateMessageBox:
      if (entry) {
        game.match.currentPlayer = game.turn.messagePlayer;
        openTextBox(game, game.turn.messageText);
        game.turn.touchHint = 1;
        game.stylus.messageTime = static_cast<int32_t>(game.frame.gameClock);
      } else if (leave) {
        // The box is closed: its prompt goes with it.
        game.turn.textBoxOn = 0;
        game.turn.touchHint = 0;
      } else if (game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) {
        if (game.turn.textBoxPage + 1 < game.turn.textBoxPages) {
          game.turn.textBoxPage += 1;
          game.turn.textBoxMorePages = game.turn.textBoxPage + 1 < game.turn.textBoxPages ? 1 : 0;
        } else {
          game.match.currentPlayer = 0;
          game.turn.messageDone = 1;
          game.popState();
        }
      }
      break;
    case k_stateTutorialLessonIntro:
      if (entry) {
        addTextMessage(game, 1, getTutorialLessonText(game, 0), -1);
        game.turn.touchHint = 1;
        game.turn.leftSoftKeyText = -1;
        game.turn.messageDone = 0;
        game.tutorial.awaitsTitle = 1;
      } else if (leave) {
        game.turn.touchHint = 0;
      } else if (game.tutorial.awaitsTitle) {
        game.tutorial.awaitsTitle = 0;
        showMessageBox(game, 1, getTutorialLessonText(game, 1));
      } else if (game.turn.messageDone) {
        chooseNextTurnState(game);
      }
      break;
    case k_stateChallengeIntro:
      if (entry) {
        game.turn.touchHint = 1;
        game.turn.messageDone = 0;
        game.tutorial.awaitsTitle = 0;
        if (game.challenges.demo) {
          chooseNextTurnState(game);
        } else {
          addTextMessage(game, 2, k_textChallengeName0 + std::clamp(game.match.challengeNumber, 0, 31), -1);
          game.tutorial.awaitsTitle = 1;
        }
      } else if (leave) {
        game.turn.touchHint = 0;
      } else {
        if (game.tutorial.awaitsTitle) {
          game.tutorial.awaitsTitle = 0;
          showMessageBox(game, 1, k_textChallengeIntro0 + std::clamp(game.match.challengeNumber, 0, 31));
        } else if (game.turn.messageDone) {
          chooseNextTurnState(game);
        }
      }
      break;
    case k_stateTutorialFinished:
      if (entry) {
        addTextMessage(game, 1, k_textTutorialDone, -1);
        game.turn.touchHint = 1;
      } else if (leave) {
        game.turn.touchHint = 0;
      } else {
        returnFromTutorial(game);
      }
      break;
    default:
      break;
  }
}

void showMessageBox(cGame& game, int32_t player, int32_t textId) {
  game.turn.messagePlayer = static_cast<uint8_t>(player);
  game.turn.messageText = textId;
  game.turn.messageDone = 0;
  game.pushState(k_stateMessageBox);
}

void updateOpponentIntro(cGame& game) {
  game.turn.touchHint = 1;
  if (!game.keys.isReleased(k_keyDismiss | rightSoftMask(game))) return;
  game.turn.touchHint = 0;
  game.match.currentPlayer = game.rules.normalPlay ? 0 : 1;
  playMusic(game, k_musicStart);
  announceLag(game);
  chooseNextTurnState(game);
}

void announceLag(cGame& game) {
  // A match that opens with the lag says what it is for and what to do,
  // before the first lag shot.
  if (game.rules.rulesMode != RuleState::kModeLag || game.rules.lagSecondShot) return;
  addTextMessage(game, 2, k_textLagWinnerBreaks, kLagNoteMs);
  addTextMessage(game, 2, k_textLagHowTo, kLagNoteMs);
}

void startNewMatch(cGame& game) {
  resetMatchState(game);
  initFrame(game, true);
  game.match.currentPlayer = 0;
  game.table.panelX = 67;
  game.table.hudOffset = 0;
  selectInterface(game, kHudInterface);
  clearPottedBallLists(game);
  setInterfaceElementSprite(game, kHudInterface, 12, 13 + std::clamp(game.setup.playerCharacter[0], 0, 10));
  const int32_t rival = game.match.gameType == k_gameTypeCareer ? getRivalCharacter(*(&game), game.setup.opponentSlot)
                                                                : game.setup.playerCharacter[1];
  setInterfaceElementSprite(game, kHudInterface, 13, 13 + std::clamp(rival, 0, 10));
  setElementPalette(game, 11, std::clamp(game.setup.tableIndex, 0, 8));
  clearMessages(game);
  game.dialog.life = -1;
  game.turn.messageText = -1;
  game.rules.winner = -1;
  game.turn.powerBarShown = game.turn.cueShown = game.turn.aimGuideShown = game.turn.handShown =
      game.turn.thinkingShown = game.turn.spinSelectorShown = game.turn.skipHintShown = 0;
  game.turn.showBallNumbers = game.turn.textBoxOn = game.turn.touchHint = 0;
  game.turn.hudHidden = 0;
  game.turn.leftSoftKeyText = -1;
  game.turn.computerSkipCount = 0;
  game.turn.missNoticeArmed = game.turn.missNoticeShown = game.turn.missFlag = 0;
  game.turn.backFromPower = game.turn.computerPassed = 0;
  setInterfaceElementVisible(game, kHudInterface, 129, false);
  setInterfaceElementVisible(game, kHudInterface, 130, false);
  game.setInGameState(k_stateMatchNotices);
}

void startDispatch(cGame& game) {
  if (game.match.gameType == k_gameTypeCareer && game.career.progress.flagB) {
    game.career.progress.flagB = 0;
    saveProgress(game);
    // The match the offer interrupts: the tutorial, or the screen after a
    // "no", comes back to it.
    game.tutorial.savedGameType = game.match.gameType;
    game.tutorial.savedRuleSet = game.match.ruleSet;
    enterQuestionMenu(game, k_questionTutorialOffer, false);
    return;
  }
  switch (game.match.gameType) {
    case k_gameTypeCareer:
      playMusic(game, k_musicStart);
      game.setInGameState(k_stateBet);
      break;
    case k_gameTypeTutorial:
      game.setInGameState(k_stateTutorialLessonIntro);
      break;
    case k_gameTypeChallenge:
      game.setInGameState(k_stateChallengeIntro);
      break;
    case k_gameTypeSingleMatch:
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
  ShotRecord& shot = game.world.shot;
  // The cue moves in; the strike comes when the tip reaches the ball.
  if (game.world.cueStick) game.world.cueStick->update(game.world);
  if (shot.cueDistance > 0x12000 && game.world.cueStick) return;
  const int32_t gauge = std::clamp(shot.powerGauge, 0, kGaugeFull);
  if (gauge > 0) {
    const int32_t volume = 50 + gauge * 50 / kGaugeFull;
    playSound(game, game.world.breakPlayed ? k_soundStickHard : k_soundBreakHard, 0, volume, volume);
    vibrate(game, game.sound.vibrationTime);
  } else {
    playSound(game, k_soundStickMiss, 0, 100, 100);
  }
  game.setInGameState(k_stateBallsMoving);
}

void startBallsMoving(cGame& game) {
  game.rules.freeBallAfterFoul = 0;
  game.turn.missFlag = 0;
  game.turn.skippedShot = 0;
  game.rules.crowdSoundPlayed = 0;
  game.turn.aimGuideShown = game.turn.cueShown = 0;
  game.turn.leftSoftKeyText = 12;
  if (game.world.breakPlayed) {
    game.world.shot.clearEvents();
    game.rules.shotOutcome = 0;
  }
  if (!isComputerAtTable(game) && game.rules.rulesMode != RuleState::kModeLag) {
    if (game.rules.guideRememberedBall >= 0 || !game.world.breakPlayed) game.turn.skipHintShown = 1;
  }
  beginStroke(game);
  // A human's shot is played out first: the view opens before the pot, and
  // on the break whatever it finds.
  if (!isComputerAtTable(game) && game.rules.rulesMode != RuleState::kModeLag) {
    if (predictPottedBall(game) != -1 || !game.world.breakPlayed) game.ballView.open = 1;
  }
  strikeCueBall(game, game.world.cueBall, false);
  game.rules.badFirstContact = 0;
  copyBallsToShadows(game);
}

void updateComputerShot(cGame& game) {
  updateAI(game, aiState(game), kThinkUpdate, true);
  if (aiState(game) != kThinkDone || !isThinkingOver(game)) return;
  if (!aiPassed(game)) {
    game.rules.pushOutAnswered = 0;
    game.turn.powerBarShown = 1;
    game.setInGameState(k_stateStroke);
  } else {
    game.turn.computerPassed = 1;
    addTextMessage(game, 2, k_textComputerPasses, -1);
    game.setInGameState(k_stateAfterShot);
  }
}

void startThinking(cGame& game) {
  game.turn.thinkingShown = 1;
  if (game.loading.matchPlayerH) {
    game.loading.matchPlayerH->setPosition(game.match.currentPlayer == 1 ? 180 : 60, 160);
    game.loading.matchPlayerH->resetAnim();
    game.loading.matchPlayerH->setAnim(0);
  }
}

bool isThinkingOver(const cGame& game) {
  return !game.loading.matchPlayerH || game.loading.matchPlayerH->isAnimOver() || game.turn.fastThinking;
}

void updateInGame(cGame& game) {
  const int32_t state = game.states.gameState;
  if (game.states.subState != k_subStateInGameUpdate) {
    // Leaving a front-end state for the match needs no step.
    if (game.states.inGame != 1 && game.states.subState == k_subStateDestroy) return;
    runMatchStep(game, state, game.states.subState);
    return;
  }
  // Prologue.
  const bool match = state == k_stateContinue || isMatchState(state);
  if (match) {
    if (game.keys.isPressed(k_keyBack)) {
      enterIGM(*(&game));
      return;
    }
    if (state != k_stateMatchInit && game.turn.menuRequest) {
      game.turn.menuRequest = 0;
      game.menu.selection = 0;
      enterIGM(*(&game));
      return;
    }
  }
  game.turn.menuRequest = 0;
  if (state == k_stateAfterShot && isScratchHoldRunning(game)) {
    updateMessages(game);
    game.turn.touchHint = 1;
    return;
  }
  // The hold is over: its prompt is not left over the next turn.
  if (state == k_stateAfterShot) game.turn.touchHint = 0;
  slideHudPanel(game);
  // A question covers the table and its messages: a message it hides
  // neither ages nor holds the question's answer back.
  if (state != k_stateQuestionMenu && state != k_stateQuestion && !game.turn.hudHidden) {
    const bool boxUp = isBoxOverTable(game);
    updateMessages(game);
    if (isMessageWaiting(game)) return;
    // A key that went to a box over the table does nothing else: the tap
    // that closes "Scratch!" neither aims nor starts the gauge.
    if (boxUp && game.keys.isPressed(k_keyDismiss | k_keyRightSoft)) return;
  }
  runMatchStep(game, state, k_subStateInGameUpdate);
  // Epilogue.
  const int32_t now = game.states.gameState;
  game.turn.showBallNumbers = game.turn.showBallNumbers && now == k_stateAim &&
                              game.frame.gameClock < game.turn.ballNumbersUntil && isHudAtTarget(game);
  if (game.states.inGame != 1) return;
  if ((now == k_stateChallengeUnlocked || now == k_stateCharacterUnlocked || now == k_statePostMatchMenu) &&
      game.keys.isPressed(k_keyBack)) {
    saveSettings(game);
    saveProgress(game);
    game.loading.pendingReturnState = k_stateMainMenu;
    game.setState(k_stateMainMenuLoading);
    return;
  }
  if (isMatchState(now) && game.keys.isPressed(menuSoftMask(game)) && !game.turn.showBallNumbers) enterIGM(*(&game));
}

bool isComputerPlayer(const cGame& game, int32_t player) {
  return player >= 0 && player < 2 && game.match.playerProfile[player] != -1;
}
bool isComputerAtTable(const cGame& game) { return isComputerPlayer(game, game.match.currentPlayer); }
void drawGuideLineSolid(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb) {
  drawGuideLine(*(&game), g, x1, y1, x2, y2, rgb, true);
}
