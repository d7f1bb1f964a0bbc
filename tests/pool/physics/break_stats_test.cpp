// Full-power breaks of the eight-ball rack over seeded rack shifts, from the
// player's break spot (the cue ball where the hand starts, aimed straight up
// the table) and the computer's (the same spot, aimed at (82, -100)): how
// many are legal (a ball potted, or four balls at a cushion), how many
// object balls stay within a ball's width of their rack place, how many go
// down, and how often the cue ball does.
#include <cmath>
#include <cstdio>

#include "TableFixture.h"
#include "tests/ScaledDown.h"

using pooltest::q;

namespace {

#if defined(KV_SCALED_DOWN)
constexpr int kBreaks = 50;
#else
constexpr int kBreaks = 500;
#endif

struct BreakFigures {
  double legal = 0, nearPlace = 0, potted = 0, scratches = 0;
};

class BreakStats : public pooltest::TableWorld {
 protected:
  void SetUp() override {
    TableWorld::SetUp();
    hooks.stats = this;
    world().hooks = &hooks;
  }

  struct Hooks final : PoolHooks {
    void onContact(PhysicalObject* a, PhysicalObject* b) override {
      const uint32_t t = b ? b->type : 0;
      if (a && (t == PhysicalObject::kLine || t == PhysicalObject::kJaw)) stats->railed |= 1u << a->identity;
    }
    BreakStats* stats = nullptr;
  } hooks;

  BreakFigures measure(int32_t rackGroup, bool computer) {
    BreakFigures f;
    Random rnd;
    for (int i = 0; i < kBreaks; ++i) {
      clearBalls();
      rnd.setSeed(static_cast<uint32_t>(i) * 2654435761u + 17u);
      world().random = &rnd;
      world().placeBalls(layout.groups[rackGroup]);
      world().jitterRack();
      Vector2 place[16];
      bool racked[16];
      for (int n = 0; n < 16; ++n) {
        place[n] = world().balls[n]->position;
        racked[n] = !world().balls[n]->pocketed;
      }
      PhysicalObject& cue = *world().cueBall;
      cue.position.set(q(86), q(-202));
      ShotRecord& s = world().shot;
      if (computer)
        s.aim.set(q(82) - cue.position.x, q(-100) - cue.position.y);
      else
        s.aim.set(0, 16384);
      s.englishPoint.set(0, 0);
      s.masse = 0;
      s.powerGauge = computer ? 16384 : 17384;
      world().breakPlayed = 0;
      railed = 0;
      world().strikeCueBall(cue, false, 100, false);
      for (int frame = 0; frame < 3000 && PhysicalObject::anyObjectMoving(world().ballList); ++frame) {
        world().movingMask = 0;
        world().physicsStepBalls(50);
      }
      int near = 0, potted = 0, railedBalls = 0;
      for (int n = 1; n < 16; ++n) {
        const PhysicalObject& b = *world().balls[n];
        if (!racked[n]) continue;
        if (b.pocketed) {
          ++potted;
          continue;
        }
        near += std::hypot((b.position.x - place[n].x) / 16384.0, (b.position.y - place[n].y) / 16384.0) < 9.0;
      }
      for (int n = 0; n < 16; ++n) railedBalls += (railed >> n) & 1u;
      f.legal += potted > 0 || railedBalls >= 4;
      f.nearPlace += near;
      f.potted += potted;
      f.scratches += cue.pocketed;
    }
    world().random = nullptr;
    f.legal /= kBreaks;
    f.nearPlace /= kBreaks;
    f.potted /= kBreaks;
    f.scratches /= kBreaks;
    return f;
  }

  uint32_t railed = 0;
};

// The figures a break must reach: nearly always legal, most of the rack
// spread, a ball down in better than two breaks of five. The nine-ball
// diamond, spaced alike, is measured the same way.
TEST_F(BreakStats, FullPowerBreaksOpenTheRack) {
  for (const int32_t group : {TableLayout::kEightBallRack, TableLayout::kNineBallRack}) {
    const bool eight = group == TableLayout::kEightBallRack;
    for (const bool computer : {false, true}) {
      SCOPED_TRACE(::testing::Message() << (eight ? "eight-ball " : "nine-ball ")
                                        << (computer ? "computer" : "player"));
      const BreakFigures f = measure(group, computer);
      std::printf(
          "%s, %d %s breaks: %.1f%% legal, %.2f of %d balls within 9.0 of their place, %.2f potted, "
          "%.1f%% scratches\n",
          eight ? "eight-ball" : "nine-ball", kBreaks, computer ? "computer" : "player", 100 * f.legal, f.nearPlace,
          eight ? 15 : 9, f.potted, 100 * f.scratches);
      if (kBreaks < 500 || !eight) continue;
      EXPECT_GE(f.legal, 0.9);
      EXPECT_LE(f.nearPlace, 6.0);
      EXPECT_GE(f.potted, 0.4);
    }
  }
}

}  // namespace
