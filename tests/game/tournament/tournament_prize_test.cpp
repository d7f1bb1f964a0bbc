// The tournament prize from the game's stake prices and bet maximums.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "game/Korvane/cGamePlay/Tournament.h"

namespace {

TEST(TournamentDraw, PrizeIsTheSumOfTheOpponentsValues) {
  struct Case {
    int level;
    std::vector<int> field;  // the player (character 4) at position 0
    int prize;
  };
  // (price + bet maximum) / 2 of stake level c - 1; 85 for 0, 9 and 10.
  const Case cases[] = {
      {2, {4, 0}, 85},     {2, {4, 9}, 85},    {2, {4, 1}, 85},   {2, {4, 2}, 125},  {2, {4, 3}, 200},
      {2, {4, 8}, 4000},   {2, {4, 10}, 85},   {2, {4, 5 | 0x100}, 600},
      {1, {4, 1, 2, 3}, 85 + 125 + 200},
      {0, {4, 0, 1, 2, 3, 5, 6, 7}, 85 + 85 + 125 + 200 + 600 + 1400 + 2700},
  };
  for (const Case& c : cases) {
    Tournament t;
    t.level = c.level;
    t.playerPosition = 0;
    std::copy(c.field.begin(), c.field.end(), t.entries[c.level]);
    EXPECT_EQ(tournamentPrize(t, k_stakePrices, k_betMaximums), c.prize) << c.level << " " << c.field[1];
  }
}

}  // namespace
