// A game object with the data set's table in its world, and helpers that
// put balls out and press keys.
#pragma once

#include <cmath>

#include "tests/game/data/DataFixture.h"
#include "tools/table/TableWorld.h"
#include "zul/3d/Angles.h"

namespace shottest {

constexpr Q14 q(double v) { return static_cast<Q14>(std::lround(v * 16384.0)); }
inline double degrees(Q14 a) { return a / 16384.0; }
// Angle of the aim in degrees, measured as the guide and the cue draw it.
inline double aimDegrees(const Vector2& v) { return std::atan2(v.y, v.x) * 180.0 / M_PI; }

class ShotTest : public DataTest {
 protected:
  void SetUp() override {
    DataTest::SetUp();
    game->init();
    createGameObjects(*game);
    game->engine.random->setSeed(5);
    ASSERT_TRUE(tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", layout, world()));
    game->world.createScreenObjects();
    game->world.relinkShadows();
    clearBalls();
    game->rules.rulesMode = RuleState::kModePlay;
    game->match.currentPlayer = 0;
    game->match.gameType = k_gameTypeQuickMatch;
    game->table.panelX = 67;
    game->keys.lock(0);
  }
  PhysicsWorld& world() { return game->world; }
  ShotRecord& shot() { return game->world.shot; }
  PhysicalObject* ball(int n) { return world().balls[n]; }
  void clearBalls() {
    for (PhysicalObject* b = world().ballList; b; b = b->next) {
      b->pocketed = b->hidden = 1;
      b->speed = 0;
      b->spin.set(0, 0);
      b->airTime = b->airPhase = 0;
    }
  }
  void put(int n, double x, double y) {
    PhysicalObject* b = ball(n);
    b->position.set(q(x), q(y));
    b->pocketed = b->hidden = 0;
    b->shown = 1;
    b->speed = 0;
  }
  // One frame with the key index held (it is pressed on the first).
  void holdKey(int key) {
    if (!(game->keys.down() & (uint64_t{1} << key))) game->keyPressed(key);
    game->keys.update();
  }
  void releaseKeys() {
    for (int k = 0; k < 32; ++k)
      if (game->keys.down() & (uint64_t{1} << k)) game->keyReleased(k);
    game->keys.update();
    game->keys.update();
  }
  TableLayout layout;
};

// Key indices of the masks the table screens read.
constexpr int kKeyRight = 7, kKeyLeft = 5, kKeyUp = 3, kKeyDown = 9, kKeyFineRight = 4, kKeyFineLeft = 2;

}  // namespace shottest
