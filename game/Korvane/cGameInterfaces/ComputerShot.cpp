// The computer's shot (610): the opponent thinks while its animation plays,
// then strikes, or passes after a push-out.
#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGame/cGameDataIds.h"
#include "game/Korvane/cGame/cGameScreens.h"
#include "game/Korvane/cGame/cGameStylus.h"

namespace {

void enterComputerShot(cGame& game) {
  resetShot(game);
  resetAI(game);
  game.turn.cueShown = 1;
  startThinking(game);
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

void leaveComputerShot(cGame& game) { game.turn.thinkingShown = 0; }

void mapComputerShot(cGame& g) { touch::rightSoft(g, touch::Send::Pair); }

}  // namespace

const cGameScreen k_screenComputerShot = {k_stateComputerShot, updateComputerShot, paintTable, mapComputerShot,
                                          enterComputerShot, leaveComputerShot};
