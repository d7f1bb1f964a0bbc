// The strike and aiming at a ball, through the physics world.
#include "game/Korvane/cGame/cGame.h"

namespace {

constexpr int32_t kPowerCategory = 1;
constexpr int32_t kMaxPowerByItem[6] = {65, 72, 79, 86, 93, 100};

}  // namespace

int32_t getMaxPower(const cGame& game) {
  if (game.match.currentPlayer < 0 || game.match.currentPlayer > 1 ||
      game.match.playerProfile[game.match.currentPlayer] >= 0)
    return 100;
  if (!game.world.breakPlayed || game.rules.rulesMode != RuleState::kModePlay) return 100;
  if (game.match.gameType == k_gameTypeChallenge || game.match.gameType == k_gameTypeTutorial) return 100;
  const int32_t item = game.career.equippedLevel[kPowerCategory];
  return item >= 0 && item < 6 ? kMaxPowerByItem[item] : 100;
}

void strikeCueBall(cGame& game, PhysicalObject* ball, bool preview) {
  if (!ball) return;
  // The cushion-first rule goes by the aim struck, whether a guide was drawn or not.
  const bool cushionFirst = preview ? game.world.shot.cushionFirst != 0 : game.world.isFirstContactCushion();
  game.world.strikeCueBall(*ball, preview, getMaxPower(game), cushionFirst);
}

void aimAtBall(cGame& game, int32_t n, bool force) {
  if (!game.world.aimReachesBall(n) && !force) return;
  if (n < 0 || n >= PhysicsWorld::kBallSlots || !game.world.balls[n] || !game.world.cueBall) return;
  game.world.balls[n]->position.subtract(game.world.shot.aim, game.world.cueBall->position);
  game.world.shot.aimChanged = 1;
}
