// Metrics of the opponent on seeded random eight-ball tables: how often each
// profile pots an own ball cleanly, how often it falls back to the plain
// shot, how many updates a think takes; and whole frames between the
// strongest and the weakest profile. The thresholds come from our profiles
// and table; the sanitizer build plays fewer tables and checks only what
// holds for any count.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "OpponentRig.h"
#include "tests/ScaledDown.h"

namespace {

#if defined(KV_SCALED_DOWN)
constexpr bool kFull = false;
constexpr int kTables = 60;
constexpr int kFrames = 10;
#else
constexpr bool kFull = true;
constexpr int kTables = 2000;
constexpr int kFrames = 200;
#endif

struct ProfileResult {
  double potShare = 0;
  double fallbackShare = 0;
  int p50 = 0, p95 = 0, max = 0;
};

ProfileResult measure(int profile) {
  ProfileResult r;
  std::vector<int> frames;
  int pots = 0, fallbacks = 0;
  for (int t = 0; t < kTables; ++t) {
    opptest::Rig rig(MatchSetup::kEightBall, 1000 + t);
    if (!rig.ok) {
      ADD_FAILURE() << "no table or profiles";
      return r;
    }
    rig.setup.playerProfile[0] = profile;
    rig.groups();
    pooltest::Draws d(t * 7 + 3);
    rig.clearBalls();
    rig.putRandom(0, d);
    const int own = 3 + d.below(5), theirs = 3 + d.below(5);
    for (int k = 0; k < own; ++k) rig.putRandom(1 + k, d);
    for (int k = 0; k < theirs; ++k) rig.putRandom(9 + k, d);
    rig.putRandom(8, d);
    rig.world.copyBallsToShadows();
    const int f = rig.think();
    frames.push_back(f < 0 ? 1000000 : f);
    if (rig.ai.bestEvaluation < 0) ++fallbacks;
    if (opptest::cleanPot(rig.shoot())) ++pots;
  }
  std::sort(frames.begin(), frames.end());
  r.potShare = static_cast<double>(pots) / kTables;
  r.fallbackShare = static_cast<double>(fallbacks) / kTables;
  r.p50 = frames[frames.size() / 2];
  r.p95 = frames[frames.size() * 95 / 100];
  r.max = frames.back();
  return r;
}

// The ladder: from the weakest profile (0) to the strongest (10) the share
// of clean pots rises, from at most 35% to at least 60%, and the strongest
// wins three whole eight-ball frames in four against the weakest.
TEST(OpponentMetrics, LadderOfProfiles) {
  std::printf("%d tables a profile\nprofile  pots   fallback  updates p50 p95 max\n", kTables);
  ProfileResult r[OpponentProfiles::kProfiles];
  for (int p = 0; p < OpponentProfiles::kProfiles; ++p) {
    r[p] = measure(p);
    std::printf("%7d  %5.3f  %8.3f  %11d %3d %3d\n", p, r[p].potShare, r[p].fallbackShare, r[p].p50, r[p].p95,
                r[p].max);
    EXPECT_LE(r[p].max, 120) << p;  // a think ends well within its bound
    EXPECT_LE(r[p].fallbackShare, kFull ? 0.015 : 0.05) << p;
  }
  if (!kFull) return;
  EXPECT_LE(r[0].potShare, 0.35);
  EXPECT_GE(r[10].potShare, 0.60);
  EXPECT_LE(r[10].p95, 30);
  // The same tables for every profile: each step up pots more.
  for (int p = 1; p < OpponentProfiles::kProfiles; ++p) EXPECT_GT(r[p].potShare, r[p - 1].potShare) << p;
}

TEST(OpponentMetrics, StrongestBeatsWeakestInWholeFrames) {
  int wins[2] = {}, unfinished = 0, shotsTotal = 0;
  for (int f = 0; f < kFrames; ++f) {
    opptest::Rig rig(MatchSetup::kEightBall, 5000 + f);
    ASSERT_TRUE(rig.ok);
    int shots = 0;
    // Profile 10 is player 0; the players break in turn.
    const int winner = rig.playFrame(10, 0, f & 1, 300, &shots);
    shotsTotal += shots;
    if (winner < 0)
      ++unfinished;
    else
      ++wins[winner];
  }
  std::printf("%d eight-ball frames: profile 10 won %d, profile 0 won %d, unfinished %d, %.1f shots a frame\n", kFrames,
              wins[0], wins[1], unfinished, static_cast<double>(shotsTotal) / kFrames);
  EXPECT_EQ(unfinished, 0);
  if (kFull) {
    EXPECT_GE(wins[0] * 4, kFrames * 3);
  }
}

// Frames of the other rule sets end too, the lag aside.
TEST(OpponentMetrics, FramesOfEveryRuleSetEnd) {
  for (const int32_t ruleSet : {MatchSetup::kUK, MatchSetup::kNineBall}) {
    const int frames = kFull ? 40 : 4;
    int shotsTotal = 0;
    for (int f = 0; f < frames; ++f) {
      opptest::Rig rig(ruleSet, 7000 + f);
      ASSERT_TRUE(rig.ok);
      int shots = 0;
      EXPECT_GE(rig.playFrame(0, 0, f & 1, 400, &shots), 0) << ruleSet << " frame " << f;
      shotsTotal += shots;
    }
    std::printf("rule set %d: %d frames, %.1f shots a frame\n", ruleSet, frames,
                static_cast<double>(shotsTotal) / frames);
  }
}

}  // namespace
