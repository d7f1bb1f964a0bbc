// The maximum power of a shot by the equipped cue item.
#include "tests/game/data/DataFixture.h"

namespace {

class MaxPower : public DataTest {};

TEST_F(MaxPower, ByEquippedItemForAHumanAfterTheBreak) {
  game->match.currentPlayer = 0;
  game->match.playerProfile[0] = -1;
  game->match.gameType = k_gameTypeQuickMatch;
  game->rules.rulesMode = RuleState::kModePlay;
  game->world.breakPlayed = 1;
  const int32_t want[6] = {65, 72, 79, 86, 93, 100};
  for (int item = 0; item < 6; ++item) {
    game->career.equippedLevel[1] = item;
    EXPECT_EQ(getMaxPower(*game), want[item]) << item;
  }
  game->career.equippedLevel[1] = 0;
  struct Case {
    const char* name;
    int32_t profile, gameType, mode;
    uint8_t broken;
  } full[] = {
      {"computer", 2, k_gameTypeQuickMatch, RuleState::kModePlay, 1},
      {"break", -1, k_gameTypeQuickMatch, RuleState::kModePlay, 0},
      {"lag", -1, k_gameTypeQuickMatch, RuleState::kModeLag, 1},
      {"challenge", -1, k_gameTypeChallenge, RuleState::kModePlay, 1},
      {"tutorial", -1, k_gameTypeTutorial, RuleState::kModePlay, 1},
  };
  for (const Case& c : full) {
    game->match.playerProfile[0] = c.profile;
    game->match.gameType = c.gameType;
    game->rules.rulesMode = c.mode;
    game->world.breakPlayed = c.broken;
    EXPECT_EQ(getMaxPower(*game), 100) << c.name;
  }
}

}  // namespace
