// A world copied as a value: a shot played to rest on the copy leaves the
// original as it was, and ends bit for bit where the same shot played on the
// original itself ends. The same for the rule state the shot is judged on.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "opponent/OpponentRig.h"

namespace {

using opptest::Rig;

// Everything of a world a shot can change or the rules read: each ball and
// shadow, the order of every list, the shot record and its events, the
// flags. Objects are named by type and number, so a copy and its original
// print alike; a pointer that is not one of the world's own prints as '?'.
std::string fingerprint(const PhysicsWorld& w) {
  std::ostringstream out;
  auto name = [&](const PhysicalObject* o) {
    if (!o) return std::string("-");
    if (w.counterpartIn(w, o) != o) return std::string("?");
    return std::to_string(o->type) + ":" + std::to_string(o->identity);
  };
  auto object = [&](const PhysicalObject& o) {
    out << name(&o) << " p" << o.position.x << ',' << o.position.y << " d" << o.direction.x << ',' << o.direction.y
        << " v" << o.speed << " s" << o.step.x << ',' << o.step.y << " w" << o.spin.x << ',' << o.spin.y << " k"
        << o.sideKick << " a" << o.airTime << ',' << o.airPhase << " in" << name(o.pocket) << " e" << o.entrySpeed
        << " f" << o.frame << " st" << o.state << " flags" << int{o.shown} << int{o.pocketed} << int{o.advanced}
        << int{o.dropping} << int{o.airborneLook} << int{o.hidden} << int{o.offTable} << '\n';
  };
  auto list = [&](const char* title, const PhysicalObject* head) {
    out << title;
    for (int guard = 0; head && guard < 200; head = head->next, ++guard) out << ' ' << name(head);
    out << '\n';
  };
  for (const PhysicalObject* b : w.balls) {
    if (!b) continue;
    object(*b);
    if (b->shadow) object(*b->shadow);
  }
  list("balls", w.ballList);
  list("shadows", w.shadowHead);
  list("pockets", w.pocketHead);
  list("lines", w.lineHead);
  list("jaws", w.jawHead);
  list("detectors", w.detectorHead);
  const ShotRecord& s = w.shot;
  out << "shot " << s.aim.x << ',' << s.aim.y << ' ' << s.powerGauge << ' ' << int{s.jumpShot} << ' '
      << name(s.handObject) << " events";
  for (int32_t k = 0; k < s.eventCount; ++k) out << ' ' << name(s.events[k].first) << '/' << name(s.events[k].second);
  out << "\nscreen " << name(w.cueStick) << ' ' << name(w.handCursor);
  out << "\nmoving " << w.movingMask << " caps " << w.contactCapHits << " pair " << name(w.currentPair[0]) << '/'
      << name(w.currentPair[1]) << '\n';
  return out.str();
}

// A world, its rules and its own generator: a shot struck, played on with
// the rules hooked on its contacts, and judged at rest.
struct Table final : PoolHooks {
  Table(PhysicsWorld& tableWorld, RuleState& tableRules, MatchSetup& tableMatch, Random generator)
      : world(tableWorld), rules(tableRules), match(tableMatch), random(generator) {
    world.hooks = this;
    world.random = &this->random;
  }
  ~Table() override {
    world.hooks = nullptr;
    world.random = nullptr;
  }
  void onContact(PhysicalObject* a, PhysicalObject* b) override { ShotRules(rules, world, match).onContact(a, b); }
  void strike() {
    ShotRules(rules, world, match).beginStroke();
    world.strikeCueBall(*world.cueBall, false, 100, world.isFirstContactCushion());
  }
  void run(int frames) {
    for (int f = 0; f < frames; ++f) {
      world.movingMask = 0;
      world.physicsStepBalls(50);
      if (!PhysicalObject::anyObjectMoving(world.ballList)) break;
    }
  }
  uint32_t judge() {
    run(Rig::kMaxFrames);
    ShotRules(rules, world, match).runShotRules();
    return rules.shotOutcome;
  }
  PhysicsWorld& world;
  RuleState& rules;
  MatchSetup& match;
  Random random;
};

// Where the copy is made: constructed, assigned over a world holding only
// its markers, or assigned over a world of the same table that played
// another shot to rest and has the cue stick and hand cursor besides.
enum Into { kConstructed, kOverEmpty, kOverPlayed };

TEST(WorldCopy, AShotOnACopyLeavesTheOriginalAndEndsAsOnTheOriginal) {
  const struct {
    const char* name;
    int32_t ruleSet;
    uint32_t seed;
    bool rack;  // the break from the rack, else balls scattered at random
    Into into;
    int frames;  // played on the original before the copy is taken
  } cases[] = {
      {"eight-ball break", MatchSetup::kEightBall, 3, true, kConstructed, 0},
      {"nine-ball break, assigned", MatchSetup::kNineBall, 5, true, kOverEmpty, 0},
      {"eight-ball break, copied while the balls run", MatchSetup::kEightBall, 7, true, kConstructed, 40},
      {"scattered, chosen shot", MatchSetup::kEightBall, 11, false, kConstructed, 0},
      {"UK scattered, assigned while the balls run", MatchSetup::kUK, 17, false, kOverEmpty, 25},
      {"eight-ball break, assigned over a played world", MatchSetup::kEightBall, 19, true, kOverPlayed, 0},
      {"nine-ball scattered, assigned over a played world while the balls run", MatchSetup::kNineBall, 23, false,
       kOverPlayed, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig(c.ruleSet, c.seed);
    ASSERT_TRUE(rig.ok);
    if (c.rack) {
      rig.world.breakPlayed = 0;
      rig.rules.normalPlay = 1;
      rig.rack();
    } else {
      rig.groups();
      pooltest::Draws d(c.seed);
      rig.clearBalls();
      for (int n : {0, 1, 2, 3, 4, 8, 9, 10, 11, 12}) rig.putRandom(n, d);
    }
    rig.world.copyBallsToShadows();
    ASSERT_GT(rig.think(), 0);
    // The struck shot must move balls for the comparison to mean anything.
    ASSERT_TRUE(rig.world.shot.powerGauge > 0);

    Table onOriginal(rig.world, rig.rules, rig.setup, rig.random);
    onOriginal.strike();
    onOriginal.run(c.frames);
    if (c.frames > 0) {
      ASSERT_GT(rig.world.shot.eventCount, 0);
    }

    const std::string before = fingerprint(rig.world);
    const RuleState rulesBefore = rig.rules;
    PhysicsWorld assigned;
    assigned.createMarkers();
    std::unique_ptr<Rig> played;
    if (c.into == kOverEmpty) assigned = rig.world;
    if (c.into == kOverPlayed) {
      played = std::make_unique<Rig>(MatchSetup::kEightBall, c.seed + 1);
      ASSERT_TRUE(played->ok);
      played->world.breakPlayed = 0;
      played->rack();
      played->world.copyBallsToShadows();
      ASSERT_GT(played->think(), 0);
      Table onPlayed(played->world, played->rules, played->setup, played->random);
      onPlayed.strike();
      onPlayed.judge();
      played->world.createScreenObjects();
      ASSERT_NE(fingerprint(played->world), before);
      const PhysicalObject* cue = played->world.cueBall;
      played->world = rig.world;
      // The same table: every object is the played world's own, reused.
      EXPECT_EQ(played->world.cueBall, cue);
    }
    PhysicsWorld constructed(rig.world);
    PhysicsWorld& copy = c.into == kConstructed ? constructed : c.into == kOverEmpty ? assigned : played->world;
    EXPECT_EQ(fingerprint(copy), before);

    RuleState copyRules = rig.rules;
    MatchSetup copyMatch = rig.setup;
    uint32_t copyOut;
    {
      Table onCopy(copy, copyRules, copyMatch, onOriginal.random);
      copyOut = onCopy.judge();
    }
    EXPECT_EQ(fingerprint(rig.world), before);
    EXPECT_TRUE(rig.rules == rulesBefore);
    EXPECT_NE(fingerprint(copy), before);

    EXPECT_EQ(onOriginal.judge(), copyOut);
    EXPECT_EQ(fingerprint(copy), fingerprint(rig.world));
    EXPECT_TRUE(copyRules == rig.rules);
    EXPECT_EQ(copyMatch.currentPlayer, rig.setup.currentPlayer);
  }
}

}  // namespace
