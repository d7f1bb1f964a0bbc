// The opponent's profiles as the game reads them from "misc.bar".
#include <filesystem>

#include "tests/game/data/DataFixture.h"
#include "tools/bar/BarWriter.h"
#include "tools/table/TableWorld.h"

namespace {

constexpr Q14 kOne = 16384;
constexpr Q14 q(double v) { return static_cast<Q14>(v * 16384.0); }

// The game reads "misc.bar" entry 0 with its field reader; a short entry
// leaves a zeroed table and the opponent still shoots.
class OpponentData : public DataTest {};

TEST_F(OpponentData, BuiltProfilesAreWellFormed) {
  const char* data = std::getenv("KV_DATA_DIR");
  if (!data || !std::filesystem::exists(std::string(data) + "/misc.bar")) GTEST_SKIP() << "no data set";
  std::filesystem::copy_file(std::string(data) + "/misc.bar", path("misc.bar"));
  game->init();
  ASSERT_EQ(loadBar(*game, "misc.bar"), 1);
  EXPECT_EQ(getBarEntrySize(*game, 0), OpponentProfiles::kFileBytes);
  initAI(*game);
  unloadBar(*game);
  const OpponentProfiles& t = game->opponent.profiles;
  for (int p = 0; p < OpponentProfiles::kProfiles; ++p) {
    EXPECT_EQ(t.loaded[p][0], (p << 14) / 100) << p;
    EXPECT_GT(t.loaded[p][1], 0) << p;
    EXPECT_GT(t.loaded[p][2], 0) << p;
    EXPECT_GE(q14Mul(t.loaded[p][1], t.loaded[p][2]), kOne) << p;  // every profile breaks at full power
    EXPECT_LT(t.loaded[p][3], t.loaded[p][4]) << p;
    EXPECT_GE(t.loaded[p][5], 0) << p;
    EXPECT_GT(t.loaded[p][6], 0) << p;
    EXPECT_LT(t.loaded[p][6], kOne) << p;
    // The break spot in the kitchen.
    EXPECT_GE(t.loaded[p][9], q(60)) << p;
    EXPECT_LE(t.loaded[p][9], q(110)) << p;
    EXPECT_LE(t.loaded[p][10], q(-201)) << p;
    EXPECT_GE(t.loaded[p][10], q(-238)) << p;
    EXPECT_TRUE(t.loaded[p][12] == 0 || t.loaded[p][12] == 1) << p;
    EXPECT_TRUE(t.loaded[p][13] == 0 || t.loaded[p][13] == 1) << p;
    for (int k = 0; k < 14; ++k) EXPECT_EQ(t.own[p][k], t.loaded[10][k]) << p << " " << k;
  }
  EXPECT_GT(t.loaded[1][11], 0);
  game->match.playerProfile[1] = 0;
  EXPECT_EQ(getAIBreakPosition(*game, 1).x, t.loaded[0][9]);
}

TEST_F(OpponentData, AShortEntryLeavesAZeroedTableAndTheOpponentStillShoots) {
  writeBytes("misc.bar", bar::writeArchive({std::vector<uint8_t>(100, 7)}));
  game->init();
  ASSERT_EQ(loadBar(*game, "misc.bar"), 1);
  initAI(*game);
  unloadBar(*game);
  for (const auto& row : game->opponent.profiles.loaded)
    for (const int32_t v : row) ASSERT_EQ(v, 0);
  // A bare table in the game's world: cue ball and one own ball.
  PhysicsWorld& w = game->world;
  w.createMarkers();
  ASSERT_TRUE(tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", game->tableLayout, w));
  for (PhysicalObject* b = w.ballList; b; b = b->next) b->pocketed = b->hidden = 1;
  w.balls[0]->position.set(q(80), q(-200));
  w.balls[3]->position.set(q(60), q(-80));
  for (int n : {0, 3}) w.balls[n]->pocketed = w.balls[n]->hidden = 0;
  w.breakPlayed = 1;
  game->rules.normalPlay = 1;
  game->rules.rulesMode = RuleState::kModePlay;
  game->rules.tableOpen = 0;
  game->rules.playerGroup[1] = game->rules.playerTarget[1] = RuleState::kSolids;
  game->match.playerProfile[1] = 0;
  game->match.currentPlayer = 1;
  w.copyBallsToShadows();
  updateAI(*game, kThinkStart, kThinkEnter, false);
  int updates = 0;
  while (aiState(*game) != kThinkDone && updates < 500) {
    updateAI(*game, aiState(*game), kThinkUpdate, true);
    ++updates;
  }
  EXPECT_LT(updates, 500);
  EXPECT_FALSE(aiPassed(*game));
  EXPECT_TRUE(w.shot.aim.x != 0 || w.shot.aim.y != 0);
  EXPECT_GE(w.shot.powerGauge, 3276);
}

}  // namespace
