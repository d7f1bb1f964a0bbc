// The opponent with its cue ball touching a ball it may play: with the
// groups set, on the eight, and in nine-ball. Played as chosen, every shot
// meets a ball (a shot at nothing is a foul in every rule set); with the
// profile's aim error fouls stay rare. The figures are printed.
#include <cmath>
#include <cstdio>

#include "OpponentRig.h"
#include "tests/ScaledDown.h"

namespace {

#if defined(KV_SCALED_DOWN)
constexpr int kPositions = 40;
#else
constexpr int kPositions = 500;
#endif

using opptest::q;

// Whether the cue ball met any ball in the shot's events.
bool cueMetABall(const PhysicsWorld& w) {
  for (int32_t e = 0; e < w.shot.eventCount; ++e) {
    const ShotRecord::Event& ev = w.shot.events[e];
    const bool cueThere = ev.first == w.cueBall || ev.second == w.cueBall;
    const PhysicalObject* other = ev.first == w.cueBall ? ev.second : ev.first;
    if (cueThere && other && other->type == PhysicalObject::kBall) return true;
  }
  return false;
}

struct Played {
  bool metBall = false;
  bool foul = false;
};

// Position i of a case, thought over and shot; with exactAim the random turn
// of the aim is left out, so the shot is the one chosen.
Played playTouching(int32_t ruleSet, bool onEight, int i, bool exactAim) {
  opptest::Rig rig(ruleSet, 300 + i);
  EXPECT_TRUE(rig.ok);
  if (exactAim) rig.ai.profiles.loaded[1][11] = 0;
  pooltest::Draws d(i * 13 + 7);
  rig.clearBalls();
  int legal;
  if (ruleSet == MatchSetup::kNineBall) {
    legal = 1 + d.below(3);
    rig.rules.lowestBall = legal;
    rig.rules.playerTarget[0] = rig.rules.playerTarget[1] = ShotRules::bit(legal);
    rig.rules.playerGroup[0] = rig.rules.playerGroup[1] = RuleState::kBothGroups;
    for (int n = legal + 1; n <= 9; ++n)
      if (d.below(2)) rig.putRandom(n, d);
    rig.putRandom(9, d);
  } else if (onEight) {
    legal = 8;
    rig.groups();
    rig.rules.playerGroup[0] = rig.rules.playerTarget[0] = 256;
    for (int n = 9; n < 16; ++n)
      if (d.below(2)) rig.putRandom(n, d);
  } else {
    legal = 1 + d.below(7);
    rig.groups();
    for (int n = 1; n < 16; ++n)
      if (n != legal && n != 8 && d.below(2)) rig.putRandom(n, d);
    rig.putRandom(8, d);
  }
  // The legal ball somewhere free, the cue ball touching it.
  for (int tries = 0; tries < 400; ++tries) {
    rig.putRandom(legal, d);
    const double a = d.range(0, 6.283185307179586);
    const PhysicalObject& b = *rig.world.balls[legal];
    rig.put(0, b.position.x / 16384.0 + 9.0001 * std::cos(a), b.position.y / 16384.0 + 9.0001 * std::sin(a));
    const PhysicalObject& cue = *rig.world.cueBall;
    if (Opponent::inArea(cue.position) && !rig.world.isBallPlacementBlocked(cue)) break;
  }
  rig.world.copyBallsToShadows();
  Played p;
  if (rig.think() < 0) return p;
  const uint32_t out = rig.shoot();
  p.metBall = cueMetABall(rig.world);
  p.foul = (out & (ruleids::k_outFoul | ruleids::k_outUkFoul | ruleids::k_outCueFoul | ruleids::k_outLose)) != 0;
  return p;
}

TEST(OpponentTouching, NeverPlaysAtNothing) {
  const struct {
    const char* name;
    int32_t ruleSet;
    bool onEight;
  } cases[] = {{"groups set", MatchSetup::kEightBall, false},
               {"on the eight", MatchSetup::kEightBall, true},
               {"nine-ball", MatchSetup::kNineBall, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int nothing = 0, fouls = 0, missed = 0, exactFouls = 0;
    for (int i = 0; i < kPositions; ++i) {
      const Played exact = playTouching(c.ruleSet, c.onEight, i, true);
      nothing += !exact.metBall;
      exactFouls += exact.foul;
      const Played played = playTouching(c.ruleSet, c.onEight, i, false);
      missed += !played.metBall;
      fouls += played.foul;
    }
    std::printf(
        "cue ball touching a legal ball, %s, %d positions: as chosen %d shots at nothing, %.1f%% fouls; "
        "with the aim error %d misses, %.1f%% fouls\n",
        c.name, kPositions, nothing, 100.0 * exactFouls / kPositions, missed, 100.0 * fouls / kPositions);
    EXPECT_EQ(nothing, 0);
    EXPECT_LE(fouls, kPositions / 8);
  }
}

}  // namespace
