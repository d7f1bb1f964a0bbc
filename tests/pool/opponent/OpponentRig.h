// The data set's table and profiles in a bare world with the shot rules:
// balls set out by hand or at random, a think run to its end, and the shot
// it chose played to rest and judged.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "game/Korvane/cGame/cGameTypes.h"
#include "game/Korvane/cGamePlay/Opponent.h"
#include "physics/TableFixture.h"
#include "tools/misc/ProfileWriter.h"
#include "tools/table/TableWorld.h"

namespace opptest {

using pooltest::q;

inline std::string readText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// The profiles of our source, through the writer and the reader.
inline bool loadProfiles(OpponentProfiles& out) {
  std::vector<profiles::Profile> rows;
  std::string error;
  if (!profiles::parseSource(readText(KV_SOURCE_DIR "/assets/misc/profiles.txt"), rows, &error)) return false;
  const std::vector<uint8_t> bytes = profiles::writeProfiles(rows, &error);
  return out.read(bytes.data(), static_cast<int32_t>(bytes.size()));
}

struct Rig {
  static constexpr int kMaxFrames = 3000;
  static constexpr int kMaxThink = 4000;
  static constexpr int kStrongest = OpponentProfiles::kProfiles - 1;

  struct Hooks final : PoolHooks {
    void onContact(PhysicalObject* a, PhysicalObject* b) override {
      ShotRules(rig->rules, rig->world, rig->setup).onContact(a, b);
    }
    void rackAgain() override { rig->rack(); }
    Rig* rig = nullptr;
  };

  explicit Rig(int32_t ruleSet = MatchSetup::kEightBall, uint32_t seed = 1) {
    setup.ruleSet = ruleSet;
    setup.gameType = k_gameTypeQuickMatch;
    // The strongest profile unless a test chooses another.
    setup.playerProfile[0] = kStrongest;
    setup.playerProfile[1] = kStrongest;
    hooks.rig = this;
    world.createMarkers();
    ok = tablelayout::buildTableWorld(KV_SOURCE_DIR "/assets/table/table.txt", layout, world) && loadProfiles(ai.profiles);
    world.hooks = &hooks;
    random.setSeed(seed);
    world.random = &random;
    rules.normalPlay = 1;
    rules.rulesMode = RuleState::kModePlay;
    rules.shotsLeft = 1;
    world.breakPlayed = 1;
  }
  Rig(const Rig&) = delete;
  ~Rig() { world.hooks = nullptr; }

  void clearBalls() {
    for (PhysicalObject* b = world.ballList; b; b = b->next) {
      b->pocketed = b->hidden = 1;
      b->offTable = 0;
      b->position.set(q(200), q(-20.0 * b->identity - 20));
      b->speed = 0;
      b->spin.set(0, 0);
      b->step.set(0, 0);
      b->direction.set(0, 0);
      b->airTime = b->airPhase = 0;
      b->sideKick = 0;
      b->pocket = nullptr;
      b->advanced = 1;
    }
  }
  void put(int n, double x, double y) {
    PhysicalObject* b = world.balls[n];
    b->position.set(q(x), q(y));
    b->pocketed = b->hidden = b->offTable = 0;
    b->pocket = nullptr;
    b->shown = 1;
  }
  // Ball n at a random free place in the search area; false after many misses.
  bool putRandom(int n, pooltest::Draws& d) {
    for (int tries = 0; tries < 400; ++tries) {
      put(n, d.range(22, 147), d.range(-277, -25));
      if (!world.isBallPlacementBlocked(*world.balls[n])) return true;
    }
    world.balls[n]->pocketed = world.balls[n]->hidden = 1;
    return false;
  }
  // The eight-ball rack with a seeded jitter, the cue ball in the kitchen.
  void rack() {
    clearBalls();
    world.placeBalls(layout.groups[ruleSet() == MatchSetup::kNineBall ? TableLayout::kNineBallRack
                                                                     : TableLayout::kEightBallRack]);
    world.jitterRack();
    world.settleRack();
  }
  int32_t ruleSet() const { return setup.ruleSet; }
  // Groups set: player 0 solids.
  void groups(uint32_t player0 = RuleState::kSolids) {
    rules.tableOpen = 0;
    rules.playerGroup[0] = rules.playerTarget[0] = player0;
    rules.playerGroup[1] = rules.playerTarget[1] =
        player0 == RuleState::kSolids ? RuleState::kStripes : RuleState::kSolids;
  }
  Opponent opponent() { return Opponent(ai, world, rules, setup, turn); }
  // A whole think; the number of updates it took, or -1 when it did not end.
  int think() {
    Opponent o = opponent();
    o.reset();
    for (int f = 1; f <= kMaxThink; ++f) {
      o.updateAI(ai.state, kThinkUpdate, true);
      if (o.done()) return f;
    }
    return -1;
  }
  // Plays the shot in the shot fields to rest; the outcome word of the rules.
  uint32_t shoot() {
    ShotRules r(rules, world, setup);
    r.beginStroke();
    const bool cushionFirst = world.isFirstContactCushion();
    world.strikeCueBall(*world.cueBall, false, 100, cushionFirst);
    for (int f = 0; f < kMaxFrames; ++f) {
      world.movingMask = 0;
      world.physicsStepBalls(50);
      if (!PhysicalObject::anyObjectMoving(world.ballList)) break;
    }
    r.runShotRules();
    return rules.shotOutcome;
  }

  // The cue ball back on the table for a ball in hand: at (86, -202), moved
  // right until it overlaps nothing.
  void placeCueBallInHand() {
    PhysicalObject* cue = world.cueBall;
    if (!cue->pocketed && !cue->hidden) return;
    put(0, 86, -202);
    for (int k = 0; k < 40 && world.isBallPlacementBlocked(*cue); ++k) cue->position.x += q(3.0);
  }
  // A frame between two profiles from the rack; the winner, or -1 when it
  // has not ended after maxShots shots. shots gets the number played.
  int playFrame(int profile0, int profile1, int breaker, int maxShots, int* shots = nullptr) {
    setup.playerProfile[0] = profile0;
    setup.playerProfile[1] = profile1;
    rules = RuleState{};
    rules.rulesMode = RuleState::kModePlay;
    rules.normalPlay = 1;
    rules.shotsLeft = 1;
    setup.currentPlayer = breaker;
    if (ruleSet() == MatchSetup::kNineBall) {
      rules.lowestBall = 1;
      rules.playerTarget[0] = rules.playerTarget[1] = 2;
      rules.playerGroup[0] = rules.playerGroup[1] = RuleState::kBothGroups;
    } else {
      rules.tableOpen = 1;
      for (int p = 0; p < 2; ++p) rules.playerGroup[p] = rules.playerTarget[p] = RuleState::kBothGroups;
    }
    world.breakPlayed = 0;
    rack();
    for (int n = 1; n <= maxShots; ++n) {
      if (shots) *shots = n;
      turn.ballInHand = rules.ballInHand || rules.cueAwaitsPlacing;
      if (turn.ballInHand) placeCueBallInHand();
      world.copyBallsToShadows();
      if (think() < 0) return -2;
      rules.ballInHand = rules.cueAwaitsPlacing = 0;
      rules.cueBallPlaced = 1;
      const uint32_t out = shoot();
      ShotRules r(rules, world, setup);
      r.Rules_Apply();
      if (rules.respotPending) r.respotBalls();
      if (out & (ruleids::k_outWin | ruleids::k_outLose)) return rules.winner;
    }
    return -1;
  }

  bool ok = false;
  Hooks hooks;
  PhysicsWorld world;
  TableLayout layout;
  RuleState rules;
  MatchSetup setup;
  OpponentState ai;
  OpponentTurn turn;
  Random random;
};

// An own ball potted, no foul, the frame not lost.
inline bool cleanPot(uint32_t out) {
  using namespace ruleids;
  return (out & k_outScored) && !(out & (k_outFoul | k_outUkFoul | k_outCueFoul | k_outLose));
}

}  // namespace opptest
