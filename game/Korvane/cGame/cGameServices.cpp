// What the host's touch glue needs of the game: how a drag is treated in the
// current state.
#include "game/Korvane/cGame/cGame.h"

GameServices::TouchMode cGame::touchMode() const {
  switch (states.gameState) {
    case k_stateAim:
      return TouchMode::Aim;
    case k_statePub:
      return TouchMode::Pub;
    case k_stateBallInHand:
      // The second player of a two-player match places in the left part.
      return match.currentPlayer == 1 && match.gameType == k_gameTypeSingleMatch ? TouchMode::BallInHandLeft
                                                                                 : TouchMode::BallInHand;
    case k_stateShotPower:
      return TouchMode::ShotPower;
    default:
      return TouchMode::Free;
  }
}
