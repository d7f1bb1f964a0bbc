// Placing a layout over a table whose balls went down in an earlier frame.
#include "game/Korvane/cGamePlay/ShotRules.h"
#include "physics/TableFixture.h"

namespace pooltest {
namespace {

using PlaceBalls = TableWorld;

TEST_F(PlaceBalls, APottedBallPlacedAgainIsInNoPocketAndCanLeaveTheTable) {
  const TableLayoutGroup& rack = layout.groups[TableLayout::kEightBallRack];
  world().placeBalls(rack);
  PhysicalObject& b = *world().balls[5];
  b.pocketed = 1;
  b.pocket = world().pockets[2];
  world().placeBalls(rack);
  EXPECT_EQ(b.pocketed, 0);
  EXPECT_EQ(b.pocket, nullptr);
  // Knocked off the table afterwards, the ball is found off, not potted.
  b.offTable = b.pocketed = 1;
  RuleState state;
  MatchSetup setup;
  ShotRules rules(state, world(), setup);
  EXPECT_TRUE(rules.checkBallsOffTable());
  EXPECT_NE(state.respotMask & (1u << 5), 0u);
}

}  // namespace
}  // namespace pooltest
