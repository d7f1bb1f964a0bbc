// The challenge's demonstration words and shot counts through the game
// object, and the prizes by place within a category.
#include <gtest/gtest.h>

#include <memory>

#include "game/Korvane/cGame/cGame.h"

namespace {

TEST(ChallengeDemoShot, WordsOfTheCurrentShot) {
  auto g = std::make_unique<cGame>(nullptr);
  const struct {
    int32_t challenge, shot, word, value;
  } cases[] = {
      {0, 0, 0, 11979},   {0, 0, 5, 12760},  {3, 0, 3, -163840}, {4, 6, 5, 15555},
      {8, 0, 5, 17724},   {9, 0, 2, 1},      {14, 8, 0, 13487},  {14, 9, 0, 0},
      {31, 0, 4, 69384},  {0, 0, 6, 0},      {0, 0, -1, 0},      {0, 10, 0, 0},
      {32, 0, 0, 0},      {-1, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.challenge << '/' << c.shot << '/' << c.word);
    g->match.challengeNumber = c.challenge;
    g->challenges.demoCurrentShot = c.shot;
    EXPECT_EQ(getChallengeDemoShotValue(*g, c.word), c.value);
  }
}

TEST(ChallengeDemoShot, CountsOnlyStoredShots) {
  auto g = std::make_unique<cGame>(nullptr);
  const struct {
    int32_t challenge, shots;
  } cases[] = {{0, 1}, {4, 7}, {6, 4}, {7, 8}, {13, 5}, {14, 9}, {31, 1}, {32, 0}};
  for (const auto& c : cases) {
    g->match.challengeNumber = c.challenge;
    EXPECT_EQ(getChallengeDemoShotCount(*g), c.shots) << c.challenge;
  }
}

TEST(ChallengeDemoShot, PrizesByPlace) {
  const int32_t expected[8] = {50, 75, 100, 125, 150, 175, 200, 250};
  for (int32_t i = 0; i < 8; ++i) EXPECT_EQ(k_challengePrizes[i], expected[i]) << i;
}

}  // namespace
