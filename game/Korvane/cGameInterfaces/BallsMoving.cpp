// Balls moving (550): the stroke is made, the physics runs a frame at a
// time (or the shot is skipped) until every ball rests; leaving, the crowd
// answers a foul or a second miss.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr uint32_t kOutFoulA = 0x4000, kOutFoulB = 0x40000, kOutFoulCue = 0x40;
constexpr int32_t kSkipQuestionCount = 3;

void startBallsMoving(cGame& game) {
  game.rules.freeBallAfterFoul = 0;
  game.turn.missFlag = 0;
  game.turn.skippedShot = 0;
  game.rules.crowdSoundPlayed = 0;
  game.turn.aimGuideShown = game.turn.cueShown = 0;
  game.turn.leftSoftKeyText = k_textSkip;
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

using namespace touch;

void mapBallsMoving(cGame& g) {
  mapDoubleSoftThen(g);
  if (up(g, {106, 303, 40, 40})) pair(g, k_touchKeyFire);
}

}  // namespace

const cGameScreen k_screenBallsMoving = {k_stateBallsMoving, updateBallsMoving, paintTable, mapBallsMoving,
                                         startBallsMoving, leaveBallsMoving};
