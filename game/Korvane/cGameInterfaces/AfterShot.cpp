// After the shot (560): the rules are applied, then the lag's second ball
// or its result, the lesson's or challenge's result, the end of the frame,
// the UK break choice, the push-out questions, and the next turn.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

constexpr uint32_t kOutWin = 0x8, kOutLose = 0x10;
constexpr uint32_t kOutFoulA = 0x4000, kOutFoulB = 0x40000;
constexpr Q14 kLagOffset = 0x48000;  // 18.0

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

}  // namespace

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

const cGameScreen k_screenAfterShot = {k_stateAfterShot, updateAfterShot, paintTable, touch::mapTapAsFire,
                                       enterAfterShot, nullptr};
