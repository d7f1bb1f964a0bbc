// The strike and aiming at a ball, through the physics world.
#include "game/Korvane/cGame/cGame.h"

namespace {

constexpr int32_t kGameTypeChallenge = 4, kGameTypeTutorial = 5;
constexpr int32_t kPowerCategory = 1;
constexpr int32_t kMaxPowerByItem[6] = {65, 72, 79, 86, 93, 100};

}  // namespace

int32_t cGame::getMaxPower() const {
  if (currentPlayer < 0 || currentPlayer > 1 || playerProfile[currentPlayer] >= 0) return 100;
  if (!m_world.breakPlayed || m_rules.rulesMode != RuleState::kModePlay) return 100;
  if (gameType == kGameTypeChallenge || gameType == kGameTypeTutorial) return 100;
  const int32_t item = m_equippedLevel[kPowerCategory];
  return item >= 0 && item < 6 ? kMaxPowerByItem[item] : 100;
}

void cGame::strikeCueBall(PhysicalObject* ball, bool preview) {
  if (!ball) return;
  // The cushion-first rule goes by the aim struck, whether a guide was drawn or not.
  const bool cushionFirst = preview ? m_world.shot.cushionFirst != 0 : m_world.isFirstContactCushion();
  m_world.strikeCueBall(*ball, preview, getMaxPower(), cushionFirst);
}

void cGame::aimAtBall(int32_t n, bool force) {
  if (!m_world.aimReachesBall(n) && !force) return;
  if (n < 0 || n >= PhysicsWorld::kBallSlots || !m_world.balls[n] || !m_world.cueBall) return;
  m_world.balls[n]->position.subtract(m_world.shot.aim, m_world.cueBall->position);
  m_world.shot.aimChanged = 1;
}
