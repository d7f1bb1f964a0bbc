// Metrics of the opponent on seeded random eight-ball tables: how often each
// profile pots an own ball cleanly, how often it falls back to the plain
// shot, how long it thinks; and whole frames between two profiles.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "OpponentRig.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr int kTables = 60;
#else
constexpr int kTables = 2000;
#endif

struct ProfileResult {
  double potShare = 0;
  double fallbackShare = 0;
  int p50 = 0, p95 = 0, max = 0;
};

ProfileResult measure(int profile, int tables) {
  ProfileResult r;
  std::vector<int> frames;
  int pots = 0, fallbacks = 0;
  for (int t = 0; t < tables; ++t) {
    opptest::Rig rig(RuleSetup::kEightBall, 1000 + t);
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
  r.potShare = static_cast<double>(pots) / tables;
  r.fallbackShare = static_cast<double>(fallbacks) / tables;
  r.p50 = frames[frames.size() / 2];
  r.p95 = frames[frames.size() * 95 / 100];
  r.max = frames.back();
  return r;
}

TEST(OpponentMetrics, PotsFallbacksAndThinkFrames) {
  std::printf("profile  pots   fallback  frames p50 p95 max\n");
  ProfileResult results[OpponentProfiles::kProfiles];
  for (int p = 0; p < OpponentProfiles::kProfiles; ++p) {
    results[p] = measure(p, kTables);
    std::printf("%7d  %5.3f  %8.3f  %10d %3d %3d\n", p, results[p].potShare, results[p].fallbackShare, results[p].p50,
                results[p].p95, results[p].max);
  }
}

}  // namespace
