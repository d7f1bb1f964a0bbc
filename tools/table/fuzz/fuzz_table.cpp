// Fuzzes the layout group reader and the world built from it: each input is
// read as one group and every record is made a pocket, a cushion point and
// a ball, then the balls are placed, shifted and given their looks.
#include <cstddef>
#include <cstdint>

#include "game/Korvane/PhysicalObject/PhysicsWorld.h"
#include "game/Korvane/PhysicalObject/TableLayout.h"
#include "zul/memory/Debug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // No traces: writing them costs far more than what is fuzzed.
  static const bool s_quiet = (setDebugTraceEnabled(false), true);
  (void)s_quiet;
  TableLayoutGroup group;
  group.parse(data, static_cast<int32_t>(size));
  Random random;
  PhysicsWorld world;
  world.random = &random;
  world.createMarkers();
  for (int32_t r = 0; r < group.count(); ++r) {
    world.createTableObject(group, r, PhysicsWorld::kKindPocket);
    world.createTableObject(group, r, PhysicsWorld::kKindCushion);
    world.createTableObject(group, r, group.id(r) % 20);
  }
  world.createScreenObjects();
  world.shot.handObject = world.cueBall;
  world.placeBalls(group);
  world.jitterRack();
  world.settleRack();
  world.setBallRollFrames();
  for (PhysicalObject* b = world.ballList; b; b = b->next) {
    b->prepareStep(world, 50);
    b->integrate(50);
    b->update(world);
  }
  world.handCursor->update(world);
  world.cueStick->update(world);
  world.resetBalls();
  return 0;
}
