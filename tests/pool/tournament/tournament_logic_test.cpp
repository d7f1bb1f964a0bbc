// The tournament draw on its own: the first stage and the rounds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <set>

#include "game/Korvane/cGamePlay/Tournament.h"

namespace {

using Won = std::array<uint8_t, 10>;

Won wonOf(std::initializer_list<int> characters) {
  Won w{};
  for (int c : characters) w[static_cast<size_t>(c)] = 1;
  return w;
}

TEST(TournamentDraw, RandomFieldPutsThePlayerAtTheDrawnPositionAndOnlyWonRivals) {
  struct Case {
    int level, career;
    Won won;
  };
  const Case cases[] = {{2, 0, wonOf({9})},
                        {1, 0, wonOf({9, 1, 2, 3})},
                        {1, 4, wonOf({0, 1, 2, 3, 5, 8})},
                        {0, 0, wonOf({1, 2, 3, 4, 5, 6, 7, 8, 9})},
                        {0, 9, wonOf({0, 1, 2, 3, 4, 5, 6})}};
  for (const Case& c : cases)
    for (uint32_t seed = 1; seed <= 50; ++seed) {
      SCOPED_TRACE(::testing::Message() << "level " << c.level << " seed " << seed);
      Tournament t;
      t.level = c.level;
      Random r, expected;
      r.setSeed(seed);
      expected.setSeed(seed);
      makeTournamentBracket(t, r, c.career, c.won.data(), false);
      const int n = tournamentFieldSize(c.level);
      EXPECT_EQ(t.playerPosition, expected.nextInt(0, n)) << "the first draw places the player";
      EXPECT_EQ(t.entries[c.level][t.playerPosition], c.career);
      std::set<int> seen;
      for (int i = 0; i < n; ++i) {
        const int e = t.entries[c.level][i];
        EXPECT_TRUE(seen.insert(e).second) << "repeat " << e;
        if (i != t.playerPosition) {
          EXPECT_TRUE(c.won[static_cast<size_t>(e)]) << e << " not won";
        }
      }
    }
}

TEST(TournamentDraw, PickedFieldFillsTheOtherPlacesInPickOrder) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Tournament t;
    t.level = 1;
    t.pickedCount = 3;
    t.picked[0] = 7, t.picked[1] = 2, t.picked[2] = 5;
    Random r;
    r.setSeed(seed);
    const Won none{};
    makeTournamentBracket(t, r, 4, none.data(), true);
    std::vector<int> others;
    for (int i = 0; i < 4; ++i)
      if (i != t.playerPosition) others.push_back(t.entries[1][i]);
    EXPECT_EQ(others, (std::vector<int>{7, 2, 5})) << seed;
    EXPECT_EQ(t.entries[1][t.playerPosition], 4);
  }
}

TEST(TournamentDraw, TooFewWonCharactersStillEndWithDistinctRivals) {
  // No rival won, or the career character's own flag set among too few: the
  // walk is bounded and takes characters not yet in, never the player twice.
  struct Case {
    int level, career;
    Won won;
  };
  const Case cases[] = {{0, 3, Won{}}, {0, 3, wonOf({3, 1})}, {1, 0, wonOf({0})}, {2, 5, wonOf({5})}};
  for (const Case& c : cases)
    for (uint32_t seed = 1; seed <= 30; ++seed) {
      Tournament t;
      t.level = c.level;
      Random r;
      r.setSeed(seed);
      makeTournamentBracket(t, r, c.career, c.won.data(), false);
      const int n = tournamentFieldSize(c.level);
      std::set<int> seen;
      for (int i = 0; i < n; ++i) {
        const int e = t.entries[c.level][i];
        EXPECT_GE(e, 0);
        EXPECT_LE(e, 9);
        EXPECT_TRUE(seen.insert(e).second) << "level " << c.level << " seed " << seed << " repeat " << e;
      }
      EXPECT_EQ(std::count(t.entries[c.level], t.entries[c.level] + n, c.career), 1);
    }
}

TEST(TournamentRound, PairsWithoutThePlayerGoByClassStrength) {
  // Character 7 (class 3) against character 0 (class 0): the first wins
  // below 30 + 50 - 0 = 80 of 100; the other way round below 20.
  struct Case {
    int first, second, expectedPercent;
  };
  for (const Case& c : {Case{7, 0, 80}, Case{0, 7, 20}, Case{3, 4, 50}, Case{5, 1, 70}}) {
    int firstWins = 0;
    Random r;
    r.setSeed(12345);
    for (int k = 0; k < 1000; ++k) {
      Tournament t;
      t.level = 1;
      t.round = 0;
      t.playerPosition = 0;
      const int field[4] = {9, 2, c.first, c.second};
      std::copy(field, field + 4, t.entries[1]);
      playTournamentRound(t, r, 9);
      EXPECT_EQ(t.entries[1][1], 2 | Tournament::kOut) << "the player's opponent is out";
      EXPECT_EQ(t.entries[2][0], 9);
      const bool won = (t.entries[1][2] & Tournament::kOut) == 0;
      EXPECT_NE(won, (t.entries[1][3] & Tournament::kOut) == 0) << "one of the pair goes out";
      EXPECT_EQ(t.entries[2][1], won ? c.first : c.second);
      firstWins += won;
    }
    EXPECT_NEAR(firstWins, 10 * c.expectedPercent, 45) << c.first << " v " << c.second;
  }
}

TEST(TournamentRound, WinnersMoveOnInOrderWithThePlayersNewPlace) {
  Random r;
  r.setSeed(7);
  Tournament t;
  t.level = 0;
  t.round = 0;
  const int field[8] = {1, 2, 3, 4, 5, 0, 7, 8};
  std::copy(field, field + 8, t.entries[0]);
  t.playerPosition = 5;  // character 0
  playTournamentRound(t, r, 0);
  EXPECT_EQ(t.round, 1);
  EXPECT_EQ(t.entries[0][4], 5 | Tournament::kOut);
  for (int j = 0; j < 4; ++j) {
    const int a = t.entries[0][2 * j], b = t.entries[0][2 * j + 1];
    EXPECT_EQ(t.entries[1][j], (a & Tournament::kOut) ? b : a) << j;
  }
  EXPECT_EQ(t.entries[1][t.playerPosition], 0);
  EXPECT_EQ(t.playerPosition, 2);
  playTournamentRound(t, r, 0);
  playTournamentRound(t, r, 0);
  EXPECT_TRUE(t.isFinished());
  EXPECT_EQ(t.entries[3][0], 0);
  EXPECT_EQ(t.playerPosition, 0);
  // Nothing is left to play once the winner stands.
  const Tournament done = t;
  playTournamentRound(t, r, 0);
  EXPECT_EQ(t.round, done.round);
  EXPECT_EQ(t.entries[3][0], 0);
}

}  // namespace
