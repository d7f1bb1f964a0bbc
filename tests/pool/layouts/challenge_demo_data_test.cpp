// The stored demonstrations: lengths, the shots a demonstration may play,
// zero words past the stored shots, the ranges of aims, tips and powers.
#include <gtest/gtest.h>

#include <cmath>

#include "game/Korvane/cGamePlay/ChallengeDemo.h"

namespace {

constexpr int32_t kQ = 16384;

TEST(ChallengeDemoData, LengthsStoredShotsAndRanges) {
  // Demonstrations of several shots; the others have one, challenge 31 none.
  const struct {
    int32_t challenge, lengthWords, shots;
  } several[] = {{4, 42, 7}, {6, 36, 4}, {7, 48, 8}, {13, 36, 5}, {14, 60, 9}, {31, 0, 1}};
  for (int32_t c = 0; c < 32; ++c) {
    SCOPED_TRACE(c);
    int32_t words = 6, shots = 1;
    for (const auto& s : several)
      if (s.challenge == c) words = s.lengthWords, shots = s.shots;
    EXPECT_EQ(ChallengeDemoLength[c], words);
    EXPECT_EQ(challengeDemoShotCount(c), shots);
    for (int32_t s = 0; s < kChallengeDemoShots; ++s) {
      const int32_t* w = ChallengeDemoShot[c][s];
      if (s >= shots) {
        for (int32_t k = 0; k < kChallengeDemoWords; ++k) EXPECT_EQ(w[k], 0) << s;
        continue;
      }
      EXPECT_NEAR(std::hypot(w[0], w[1]), kQ, kQ / 100) << s;  // near-unit aims
      EXPECT_TRUE(w[2] == 0 || w[2] == 1);
      EXPECT_LE(std::hypot(w[3], w[4]), 10.01 * kQ) << s;
      EXPECT_GT(w[5], 0);
      EXPECT_LE(w[5], 17724);
    }
  }
  EXPECT_EQ(challengeDemoShotCount(-1), 0);
  EXPECT_EQ(challengeDemoShotCount(32), 0);
  // Gold shots: straight down with full draw above the gauge's top; a jump.
  const int32_t down[6] = {0, -16384, 0, 0, 163840, 17724};
  const int32_t jump[6] = {11811, 11424, 1, 0, 0, 15792};
  for (int32_t k = 0; k < 6; ++k) {
    EXPECT_EQ(ChallengeDemoShot[8][0][k], down[k]);
    EXPECT_EQ(ChallengeDemoShot[9][0][k], jump[k]);
  }
  EXPECT_EQ(ChallengeDemoShot[14][8][5], 14000);
}

}  // namespace
