// The table scene on the built data set: the HUD, the balls with their
// shadows, the cue, the guide, the gauge and the spin selector, against
// reference pictures; what the data set must hold for the table view.
#include "tests/game/shot/SceneFixture.h"
#include "zul/2d/ASprite.h"

namespace {

using namespace shottest;

TEST_F(SceneTest, PowerSceneMatchesItsReference) {
  game->s_gameState = k_stateShotPower;
  ShotRecord& shot = game->m_world.shot;
  shot.aim.set(4 * 16384, 140 * 16384);
  shot.aimChanged = 1;
  shot.powerGauge = 10400;
  game->m_world.cueStick->frame = 5;
  paintScene(true, true, true, false, false);
  EXPECT_EQ(game->m_guide.objectBall, 1);
  EXPECT_EQ(game->m_guide.hasContact, 1);
  compareWithReference("table_scene_power.png");
}

TEST_F(SceneTest, SpinAndBallInHandSceneMatchesItsReference) {
  game->ruleSet = 1;
  game->ballInHandInD = 1;
  game->s_gameState = k_stateSpinSelector;
  ShotRecord& shot = game->m_world.shot;
  shot.aim.set(-30 * 16384, 140 * 16384);
  shot.aimChanged = 1;
  shot.masse = 0;
  shot.englishPoint.set(5 * 16384, 6 * 16384);
  game->m_upArrowHighlight = 1;
  paintScene(false, true, true, true, true);
  compareWithReference("table_scene_spin.png");
}

}  // namespace
