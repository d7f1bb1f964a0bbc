// The computer opponent: profile values, the lag and break shots, chain
// feasibility and scores, the search phases, the geometry against a double
// model, and invariants of whole thinks on random tables.
#include <cmath>
#include <set>

#include "OpponentRig.h"

namespace {

using opptest::Rig;
using opptest::q;

constexpr Q14 kOne = 16384;

double units(Q14 v) { return v / 16384.0; }

TEST(OpponentProfiles, ConversionGold) {
  const struct {
    int32_t value;
    uint32_t raw;
    int32_t expected;
  } rows[] = {
      {1, 50, 8192},       {6, 33, 5406},       {3, 100, 16384},           {11, 150, 24576},
      {0, 7, 1146},        {9, 86, 86 << 14},   {10, 0xFFFFFF36u, -202 * 16384},
      {7, 0, 0},           {12, 1, 1},          {13, 255, 255},            {5, 0xFFFFFFFFu, -163},
  };
  for (const auto& r : rows) EXPECT_EQ(OpponentProfiles::convert(r.value, r.raw), r.expected) << r.value;
}

TEST(OpponentProfiles, ReadFillAndChoose) {
  std::vector<uint8_t> bytes(OpponentProfiles::kFileBytes);
  for (int p = 0; p < 11; ++p) {
    bytes[p * 50 + 4] = static_cast<uint8_t>(10 + p);  // value 1
    bytes[p * 50 + 48] = static_cast<uint8_t>(p & 1);  // value 12
  }
  OpponentProfiles t;
  ASSERT_TRUE(t.read(bytes.data(), static_cast<int32_t>(bytes.size())));
  EXPECT_EQ(t.value(3, 1), (13 << 14) / 100);
  EXPECT_EQ(t.value(3, 12), 1);
  t.useOwnProfiles();
  for (int p = 0; p < 11; ++p) EXPECT_EQ(t.value(p, 1), (20 << 14) / 100) << p;
  t.useLoaderProfiles();
  EXPECT_EQ(t.value(0, 1), (10 << 14) / 100);
  for (const auto& [p, k] : {std::pair{-1, 1}, {11, 1}, {0, -1}, {0, 14}}) EXPECT_EQ(t.value(p, k), 0);
  // A short entry leaves both tables zeroed.
  EXPECT_FALSE(t.read(bytes.data(), OpponentProfiles::kFileBytes - 1));
  t.useOwnProfiles();
  EXPECT_EQ(t.value(10, 1), 0);
  t.useLoaderProfiles();
  EXPECT_EQ(t.value(3, 1), 0);
  EXPECT_FALSE(t.read(nullptr, 600));
}

TEST(OpponentProfiles, SourceErrors) {
  std::string row = "p 0 1 2 3 4 5 6 7 8 9 -10 11 1 0\n";
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += row;
  std::vector<profiles::Profile> rows;
  std::string error;
  ASSERT_TRUE(profiles::parseSource("# comment\n" + eleven, rows, &error)) << error;
  const std::vector<uint8_t> bytes = profiles::writeProfiles(rows);
  ASSERT_EQ(bytes.size(), 550u);
  EXPECT_EQ(bytes[40], 0xF6);  // -10 as a u32
  EXPECT_EQ(bytes[43], 0xFF);
  EXPECT_EQ(bytes[48], 1);
  for (const std::string& bad : {eleven.substr(row.size()), eleven + row, "p 1 2 3\n" + eleven.substr(row.size()),
                                 eleven.substr(row.size()) + "p 0 1 2 3 4 5 6 7 8 9 10 11 1 0 5\n",
                                 eleven.substr(row.size()) + "p 0 1 2 3 4 5 6 7 8 9 10 11 x 0\n"})
    EXPECT_FALSE(profiles::parseSource(bad, rows, &error)) << bad;
  ASSERT_TRUE(profiles::parseSource(eleven, rows, &error));
  rows[4].values[13] = 256;
  EXPECT_TRUE(profiles::writeProfiles(rows, &error).empty());
  EXPECT_TRUE(profiles::writeMiscArchive(rows, &error).empty());
}

TEST(Opponent, LagIsStraightUpWithAGaugeBetweenTheBounds) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    Rig rig(MatchSetup::kEightBall, seed);
    ASSERT_TRUE(rig.ok);
    rig.rules.normalPlay = 0;
    rig.rules.rulesMode = RuleState::kModeLag;
    rig.clearBalls();
    rig.put(0, 60, -240);
    rig.put(8, 110, -240);
    EXPECT_EQ(rig.think(), 1);
    const int32_t lo = rig.ai.profiles.value(0, 3), hi = rig.ai.profiles.value(0, 4);
    const Q14 g = rig.world.shot.powerGauge;
    EXPECT_EQ(rig.world.shot.aim.x, 0);
    EXPECT_EQ(rig.world.shot.aim.y, kOne);
    EXPECT_GE(g, lo);
    EXPECT_LT(g, hi);
    const int64_t hundredths = (int64_t{g} * 100 + 16383) / 16384;
    EXPECT_EQ(g, hundredths * 16384 / 100) << "a whole hundredth";
  }
}

// The lag bounds of our profiles bring the cue ball back off one to three cushions.
TEST(Opponent, LagBoundsTakeOneToThreeCushions) {
  Rig probe;
  ASSERT_TRUE(probe.ok);
  for (const Q14 g : {probe.ai.profiles.value(0, 3), probe.ai.profiles.value(0, 4) - 164}) {
    Rig rig;
    rig.clearBalls();
    rig.put(0, 60, -240);
    rig.world.copyBallsToShadows();
    rig.world.shot.aim.set(0, kOne);
    rig.world.shot.powerGauge = g;
    rig.shoot();
    int cushions = 0;
    for (int e = 0; e < rig.world.shot.eventCount; ++e) {
      const ShotRecord::Event& ev = rig.world.shot.events[e];
      if (ev.first == rig.world.cueBall && (ev.second->type & (PhysicalObject::kLine | PhysicalObject::kJaw)))
        ++cushions;
    }
    EXPECT_GE(cushions, 1) << g;
    EXPECT_LE(cushions, 3) << g;
    EXPECT_FALSE(rig.world.cueBall->pocketed) << g;
  }
}

TEST(Opponent, BreakFromTheSpotAtTheRack) {
  Rig rig(MatchSetup::kEightBall, 9);
  ASSERT_TRUE(rig.ok);
  rig.world.breakPlayed = 0;
  rig.rack();
  EXPECT_EQ(rig.think(), 1);
  EXPECT_EQ(rig.world.cueBall->position.x, q(86.0));
  EXPECT_EQ(rig.world.cueBall->position.y, q(-202.0));
  EXPECT_EQ(rig.world.shot.aim.x, q(-4.0));
  EXPECT_EQ(rig.world.shot.aim.y, q(102.0));
  // The aim point lies just beside the rack's apex on the foot spot: the
  // stroke meets the apex ball first.
  EXPECT_TRUE(rig.world.aimReachesBall(1));
  EXPECT_EQ(rig.world.shot.powerGauge, kOne);  // 1.3 x 0.85 and the error, at most 1.0
  EXPECT_EQ(rig.world.shot.englishPoint.x, 0);
  EXPECT_EQ(rig.world.shot.masse, 0);
  // A turn that has placed the cue ball itself keeps it there.
  rig.turn.inHandState = true;
  rig.put(0, 70, -230);
  rig.think();
  EXPECT_EQ(rig.world.cueBall->position.x, q(70.0));
  EXPECT_EQ(rig.world.shot.aim.x, q(12.0));
  EXPECT_EQ(rig.world.shot.aim.y, q(130.0));
}

TEST(Opponent, RandomBreakSpotsFillTheKitchenCorner) {
  Rig rig(MatchSetup::kUK, 3);
  std::set<std::pair<int, int>> seen;
  int sides[2] = {};
  for (int i = 0; i < 3000; ++i) {
    Vector2 p;
    const int side = rig.opponent().randomBreakSpot(p);
    ASSERT_TRUE(side == 0 || side == 1);
    ++sides[side];
    ASSERT_EQ(p.x & 16383, 0);
    ASSERT_EQ(p.y & 16383, 0);
    const int dx = (p.x >> 14) - 85, dy = -201 - (p.y >> 14);
    EXPECT_TRUE(side == 0 ? dx <= 0 : dx >= 0);
    EXPECT_GE(dy, 0);
    EXPECT_LE(std::abs(dx) + dy, 37);
    seen.insert({dx, dy});
  }
  EXPECT_GT(sides[0], 1000);
  EXPECT_GT(sides[1], 1000);
  EXPECT_GT(seen.size(), 400u);
  // The UK break goes from such a spot.
  rig.world.breakPlayed = 0;
  rig.rack();
  rig.think();
  const int dx = (rig.world.cueBall->position.x >> 14) - 85, dy = -201 - (rig.world.cueBall->position.y >> 14);
  EXPECT_LE(std::abs(dx) + dy, 37);
}

// Feasibility of cue ball -> ball 1 -> pocket 0 by the angle the cue ball's
// leg turns from the object ball's.
TEST(Opponent, ChainsTurningNinetyDegreesOrMoreAreInfeasible) {
  Rig rig;
  ASSERT_TRUE(rig.ok);
  Opponent o = rig.opponent();
  for (const double degrees : {0.0, 30.0, 60.0, 80.0, 85.0, 90.0, 91.0, 120.0, 180.0}) {
    o.makePocketRoots();
    // A slow arrival, so that only the angle decides.
    rig.ai.nodes[0].leg.speed = 160;
    const int ball = o.addNode(rig.world.balls[1], Vector2(0, 0), Vector2(q(-40), q(0)), nullptr, 0);
    const double r = degrees * M_PI / 180;
    const int cue = o.addNode(rig.world.cueBall, Vector2(0, 0), Vector2(q(-30 * std::cos(r)), q(30 * std::sin(r))),
                              nullptr, ball);
    const Q14 f = o.chainFeasibility(cue);
    if (degrees < 90) {
      EXPECT_NEAR(units(f), std::cos(r), 2e-3) << degrees;
      EXPECT_GT(rig.ai.nodes[cue].leg.speed, rig.ai.nodes[ball].leg.speed) << degrees;
    } else {
      EXPECT_EQ(f, 0) << degrees;
    }
  }
}

// The same chain with its middle node a cushion, and with it a plain rail
// line that the score does not count as a cushion.
TEST(Opponent, AChainThroughACushionScoresHalf) {
  Rig rig;
  ASSERT_TRUE(rig.ok);
  rig.groups();
  rig.clearBalls();
  rig.put(0, 80, -200);
  rig.put(1, 60, -80);
  Q14 score[2] = {};
  for (int c = 0; c < 2; ++c) {
    Opponent o = rig.opponent();
    o.makePocketRoots();
    PhysicalObject* middle = c == 0 ? rig.world.lineHead : rig.world.lines[20];
    const int rail = o.addNode(middle, Vector2(q(21.5), q(-50)), Vector2(q(-4), q(25)), nullptr, 0);
    const int ball = o.addNode(rig.world.balls[1], Vector2(0, 0), Vector2(q(-38), q(30)), nullptr, rail);
    const int cue = o.addNode(rig.world.cueBall, Vector2(0, 0), Vector2(q(-20), q(115)), nullptr, ball);
    const int e = o.addEvaluation(cue);
    score[c] = o.chainScore(e);
  }
  ASSERT_GT(score[1], 0);
  EXPECT_NEAR(score[0], score[1] / 2, 1);
}

TEST(Opponent, AShotThatLetsTheOtherPlayerWinScoresNothing) {
  for (const bool onEight : {false, true}) {
    Rig rig;
    ASSERT_TRUE(rig.ok);
    rig.groups(onEight ? 256 : RuleState::kSolids);
    rig.clearBalls();
    rig.put(0, 80, -200);
    rig.put(8, 60, -80);
    if (!onEight) rig.put(2, 120, -150);
    Opponent o = rig.opponent();
    o.makePocketRoots();
    const int ball = o.addNode(rig.world.balls[8], Vector2(0, 0), Vector2(q(-40), q(55)), nullptr, 0);
    const int cue = o.addNode(rig.world.cueBall, Vector2(0, 0), Vector2(q(-20), q(110)), nullptr, ball);
    const Q14 s = o.chainScore(o.addEvaluation(cue));
    if (onEight) {
      EXPECT_GT(s, 0);
      EXPECT_EQ(rig.ai.evaluations[0].weight, 4 * kOne);
    } else {
      EXPECT_EQ(s, 0);
      EXPECT_EQ(rig.ai.evaluations[0].weight, 0);
    }
  }
}

// Phases seen after each single search step.
std::set<int> phasesRun(int banks, int combos, uint32_t seed) {
  Rig rig(MatchSetup::kEightBall, seed);
  rig.groups();
  pooltest::Draws d(seed);
  rig.clearBalls();
  rig.putRandom(0, d);
  for (int n = 1; n <= 7; ++n) rig.putRandom(n, d);
  for (int n = 9; n <= 13; ++n) rig.putRandom(n, d);
  rig.world.copyBallsToShadows();
  for (int p = 0; p < 11; ++p) {
    rig.ai.profiles.loaded[p][12] = banks;
    rig.ai.profiles.loaded[p][13] = combos;
    rig.ai.profiles.loaded[p][6] = 0;
  }
  Opponent o = rig.opponent();
  o.reset();
  o.setState(kThinkSearch);
  std::set<int> seen;
  for (int i = 0; i < 1000 && rig.ai.phase < 10; ++i) {
    seen.insert(rig.ai.phase);
    o.searchAIShot(1);
  }
  if (banks == 0 && combos == 0) {
    for (int l = 2; l < 5; ++l) EXPECT_TRUE(rig.ai.levels[l].empty()) << l;
  }
  return seen;
}

TEST(Opponent, WithoutBanksAndCombinationsOnlyTheFirstTwoPhasesRun) {
  for (uint32_t seed = 1; seed <= 5; ++seed) {
    const std::set<int> off = phasesRun(0, 0, seed);
    EXPECT_EQ(off.count(0) + off.count(1), 2u) << seed;
    for (int p = 3; p <= 9; ++p) EXPECT_EQ(off.count(p), 0u) << seed << " phase " << p;
    const std::set<int> on = phasesRun(1, 1, seed);
    for (int p = 0; p <= 8; ++p) EXPECT_EQ(on.count(p), 1u) << seed << " phase " << p;
  }
}

// A leg ends at its goal: a contact with the ball it aims at (touching a
// ball's side or centre meets it before the leg's end) or the pocket it
// aims into; any other contact stops it.
TEST(Opponent, PathTestsEndAtTheirGoal) {
  Rig rig;
  ASSERT_TRUE(rig.ok);
  rig.clearBalls();
  rig.put(0, 120, -200);
  rig.put(1, 60, -80);
  rig.put(2, 40, -250);
  rig.world.copyBallsToShadows();
  Opponent o = rig.opponent();
  PhysicalObject* pocket = rig.world.pockets[0];
  PhysicalObject* ball = rig.world.balls[1];
  const Vector2 step(wrapSub(pocket->pointA.x, ball->position.x), wrapSub(pocket->pointA.y, ball->position.y));
  EXPECT_TRUE(o.pathClear(ball, ball->position, step, pocket));
  // Ball 3 straight into the side pocket, and with ball 2 in the way.
  PhysicalObject* side = rig.world.pockets[2];
  PhysicalObject* three = rig.world.balls[3];
  rig.put(3, 70, -151);
  rig.put(2, 40, -152);
  rig.world.copyBallsToShadows();
  const Vector2 across(wrapSub(side->pointA.x, three->position.x), wrapSub(side->pointA.y, three->position.y));
  EXPECT_FALSE(o.pathClear(three, three->position, across, side));
  rig.put(2, 40, -250);
  rig.world.copyBallsToShadows();
  EXPECT_TRUE(o.pathClear(three, three->position, across, side));
  // The cue ball to ball 2 and past it: blocked, unless ball 2 is the goal.
  PhysicalObject* cue = rig.world.cueBall;
  const Vector2 through(q(-90), q(-60));
  EXPECT_FALSE(o.pathClear(cue, cue->position, through, nullptr));
  EXPECT_TRUE(o.pathClear(cue, cue->position, through, rig.world.balls[2]));
  // A clear leg across the table, long enough to be tested in halves.
  EXPECT_TRUE(o.pathClear(cue, cue->position, Vector2(q(-20), q(150)), nullptr));
  EXPECT_FALSE(o.pathClear(cue, cue->position, Vector2(q(-60), q(120)), nullptr));
}

TEST(Opponent, FrictionRootAgainstADoubleModel) {
  for (const double v : {0.0, 0.4, 0.8, 1.3, 1.9})
    for (const double d : {9.0, 60.0, 150.0, 290.0}) {
      const double w = std::sqrt(v * v + 12 * d);
      const double expected = v + (w - v) / 12 / 256 * 12;
      EXPECT_NEAR(units(PhysicsWorld::frictionRoot(q(v), q(d))), expected, 2e-3) << v << " " << d;
    }
}

// The hit point on each cushion sends the ball to the target by equal angles.
TEST(Opponent, BankMirrorPointsAgainstADoubleModel) {
  pooltest::Draws d(21);
  for (int i = 0; i < 400; ++i) {
    const double sx = d.range(25, 144), sy = d.range(-274, -28), px = d.range(25, 144), py = d.range(-274, -28);
    for (int c = 0; c < 4; ++c) {
      const Vector2 h = Opponent::mirrorPoint(c, Vector2(q(sx), q(sy)), Vector2(q(px), q(py)));
      const bool vertical = c == 0 || c == 2;
      const double wall = c == 0 ? 21.5 : c == 1 ? -24.5 : c == 2 ? 147.5 : -277.5;
      const double a = vertical ? wall - sx : wall - sy, b = vertical ? wall - px : wall - py;
      const double along = vertical ? sy + (py - sy) * a / (a + b) : sx + (px - sx) * a / (a + b);
      EXPECT_NEAR(units(vertical ? h.x : h.y), wall, 1e-9);
      EXPECT_NEAR(units(vertical ? h.y : h.x), along, 2e-3) << i << " cushion " << c;
    }
  }
}

// A random position with the groups set; own balls 1-7, the other group's 9-15.
void randomTable(Rig& rig, uint32_t seed) {
  pooltest::Draws d(seed);
  rig.clearBalls();
  rig.putRandom(0, d);
  const int own = 1 + d.below(7), theirs = d.below(8);
  for (int k = 0; k < own; ++k) rig.putRandom(1 + k, d);
  for (int k = 0; k < theirs; ++k) rig.putRandom(9 + k, d);
  if (d.below(3) != 0) rig.putRandom(8, d);
  rig.world.copyBallsToShadows();
}

TEST(Opponent, TheSameSeedGivesTheSameShot) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    Vector2 aim[2];
    Q14 gauge[2];
    for (int k = 0; k < 2; ++k) {
      Rig rig(MatchSetup::kEightBall, seed);
      rig.groups();
      randomTable(rig, seed);
      rig.think();
      aim[k] = rig.world.shot.aim;
      gauge[k] = rig.world.shot.powerGauge;
    }
    EXPECT_TRUE(aim[0].equals(aim[1])) << seed;
    EXPECT_EQ(gauge[0], gauge[1]) << seed;
  }
}

struct ShadowSnapshot {
  explicit ShadowSnapshot(const PhysicsWorld& w) {
    for (const PhysicalObject* s = w.shadowHead; s; s = s->next)
      rows.push_back({s->position.x, s->position.y, s->step.x, s->step.y, s->direction.x, s->direction.y, s->speed,
                      s->pocketed, s->hidden, s->airTime, s->advanced});
  }
  bool operator==(const ShadowSnapshot&) const = default;
  std::vector<std::vector<int64_t>> rows;
};

// Everything but the shot fields stays as it was: rule state, shadows, the
// event list, the balls and the world's search words.
TEST(Opponent, AThinkLeavesRulesShadowsAndEventsAsTheyWere) {
  for (const int32_t ruleSet : {MatchSetup::kEightBall, MatchSetup::kUK, MatchSetup::kNineBall})
    for (uint32_t seed = 1; seed <= 30; ++seed) {
      Rig rig(ruleSet, seed);
      if (ruleSet == MatchSetup::kNineBall) {
        rig.rules.lowestBall = 1;
        rig.rules.playerTarget[0] = 2;
        rig.rules.playerGroup[0] = RuleState::kBothGroups;
      } else {
        rig.groups();
      }
      randomTable(rig, seed);
      rig.put(1, 30 + seed, -150);
      rig.world.copyBallsToShadows();
      rig.rules.shotsLeft = 2;
      rig.rules.respotMask = 0x30;
      rig.rules.firstContactSeen = 1;
      rig.world.shot.recordEvent(rig.world.balls[0], rig.world.balls[1]);
      rig.world.shot.recordEvent(rig.world.balls[1], rig.world.pockets[2]);
      rig.world.movingMask = 0x1234;
      const RuleState rules = rig.rules;
      const ShadowSnapshot shadows(rig.world);
      const ShotRecord shot = rig.world.shot;
      const ShadowSnapshot balls = [&] {
        rig.world.copyBallsToShadows();
        return ShadowSnapshot(rig.world);
      }();
      ASSERT_GT(rig.think(), 0);
      EXPECT_TRUE(rig.rules == rules) << ruleSet << " " << seed;
      EXPECT_TRUE(ShadowSnapshot(rig.world) == shadows) << ruleSet << " " << seed;
      EXPECT_EQ(rig.world.shot.eventCount, shot.eventCount);
      for (int e = 0; e < shot.eventCount; ++e) {
        EXPECT_EQ(rig.world.shot.events[e].first, shot.events[e].first);
        EXPECT_EQ(rig.world.shot.events[e].second, shot.events[e].second);
      }
      EXPECT_EQ(rig.world.movingMask, 0x1234u);
      rig.world.copyBallsToShadows();
      EXPECT_TRUE(ShadowSnapshot(rig.world) == balls) << "no ball moved";
    }
}

// Whole thinks of every rule set, with and without the ball in hand: each
// ends in few updates, keeps its tables within their bounds, never picks a
// chain that turns 90 degrees or more at a ball, and leaves a placed cue
// ball clear of the others.
TEST(Opponent, EveryThinkEndsWithinItsBounds) {
  int bests = 0, placed = 0;
  for (const int32_t ruleSet : {MatchSetup::kEightBall, MatchSetup::kUK, MatchSetup::kNineBall})
    for (uint32_t seed = 1; seed <= 150; ++seed) {
      Rig rig(ruleSet, seed);
      if (ruleSet == MatchSetup::kNineBall) {
        rig.rules.lowestBall = 1;
        rig.rules.playerTarget[0] = 2;
        rig.rules.playerGroup[0] = RuleState::kBothGroups;
      } else {
        rig.groups();
      }
      randomTable(rig, seed);
      pooltest::Draws extra(seed + 99);
      if (ruleSet == MatchSetup::kNineBall && rig.world.balls[1]->pocketed) rig.putRandom(1, extra);
      rig.world.copyBallsToShadows();
      rig.turn.ballInHand = seed % 3 == 0;
      const int updates = rig.think();
      ASSERT_GT(updates, 0) << ruleSet << " " << seed;
      EXPECT_LE(updates, 400) << ruleSet << " " << seed;
      EXPECT_LE(rig.ai.nodeCount, OpponentState::kNodeLimit + 1);
      EXPECT_LE(rig.ai.evaluationCount, OpponentState::kEvaluations);
      EXPECT_GT(rig.world.shot.powerGauge, 0);
      EXPECT_LE(rig.world.shot.powerGauge, kOne);
      if (rig.turn.ballInHand) {
        EXPECT_FALSE(rig.world.isBallPlacementBlocked(*rig.world.cueBall)) << ruleSet << " " << seed;
        ++placed;
      }
      if (rig.ai.bestEvaluation < 0) continue;
      ++bests;
      // No turn of 90 degrees or more at a ball along the chosen chain.
      for (int n = rig.ai.evaluations[rig.ai.bestEvaluation].node; n >= 0; n = rig.ai.nodes[n].parent) {
        const AiNode& node = rig.ai.nodes[n];
        if (node.parent < 0) break;
        const AiNode& p = rig.ai.nodes[node.parent];
        if (!p.target || p.target->type != PhysicalObject::kBall || (p.legVector.x == 0 && p.legVector.y == 0))
          continue;
        Vector2 a = node.legVector, b = p.legVector;
        a.normalise();
        b.normalise();
        EXPECT_GT(a.dot(b), 0) << ruleSet << " " << seed;
      }
    }
  EXPECT_GT(bests, 300);
  EXPECT_GT(placed, 100);
}

// Nothing to play at: three attempts, then the plain shot, or a pass when allowed.
TEST(Opponent, NoChainGivesTheFallbackOrAPass) {
  for (const bool allowed : {false, true}) {
    Rig rig;
    rig.groups();
    rig.clearBalls();
    rig.put(0, 80, -200);
    rig.put(10, 60, -80);
    rig.world.copyBallsToShadows();
    rig.ai.giveUpAllowed = allowed;
    rig.world.shot.powerGauge = 77;
    const int updates = rig.think();
    ASSERT_GT(updates, 0);
    EXPECT_EQ(rig.ai.attempts, 3);
    EXPECT_EQ(rig.ai.giveUp, allowed ? 1 : 0);
    EXPECT_EQ(rig.world.shot.powerGauge, allowed ? 77 : 12288);
  }
}

}  // namespace
