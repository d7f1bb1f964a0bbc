// Full-power breaks over seeded rack shifts, from the player's break spot
// (the cue ball where the hand starts, aimed straight up the table) and the
// computer's (the same spot, aimed at (82, -100)): how many are legal (a
// ball potted, or four balls at a cushion), how many object balls stay
// within a ball's width of their rack place, how many go down, and how often
// the cue ball does. The racks are the data set's, and racks on the same
// foot spot whose neighbours all lie the same gap apart, from touching to 1.0:
// every gap makes the same kind of break.
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

// Ball numbers of the rows, apex first.
const std::vector<std::vector<int>> kTriangle = {{1}, {9, 2}, {10, 8, 3}, {11, 4, 12, 5}, {6, 13, 7, 14, 15}};
const std::vector<std::vector<int>> kDiamond = {{1}, {2, 3}, {4, 9, 5}, {6, 7}, {8}};

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

  // The rack of the data set (gap < 0), or its rows with every neighbour the
  // gap apart, the apex where the data set has it.
  void rack(int32_t group, double gap) {
    clearBalls();
    world().placeBalls(layout.groups[group]);
    if (gap < 0) return;
    const double spacing = 9.0 + gap + 2.0 / 16384, rowStep = spacing * std::sqrt(3.0) / 2;
    const double ax = layout.groups[group].x(1), ay = layout.groups[group].y(1);
    const auto& rows = group == TableLayout::kNineBallRack ? kDiamond : kTriangle;
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t k = 0; k < rows[r].size(); ++k)
        put(rows[r][k], ax + (k - (rows[r].size() - 1) / 2.0) * spacing, -(ay - r * rowStep));
  }

  BreakFigures measure(int32_t group, double gap, bool computer) {
    BreakFigures f;
    Random rnd;
    for (int i = 0; i < kBreaks; ++i) {
      rnd.setSeed(static_cast<uint32_t>(i) * 2654435761u + 17u);
      world().random = &rnd;
      rack(group, gap);
      world().jitterRack();
      world().settleRack();
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

// Every rack, at every gap, from both spots: nearly always legal, most of
// the rack spread, the cue ball seldom down, and in eight-ball a ball potted
// in four breaks of five. The nine-ball diamond spreads alike; its nine balls
// leave the foot spot along the rack's edges, short of the pockets, and go
// down far less often, so its pots are only shown.
TEST_F(BreakStats, EveryGapBreaksTheRackOpen) {
  std::printf("%d breaks each:\nrack   gap       spot      legal   near  potted  scratches\n", kBreaks);
  for (const int32_t group : {TableLayout::kEightBallRack, TableLayout::kNineBallRack}) {
    const bool eight = group == TableLayout::kEightBallRack;
    const int objectBalls = eight ? 15 : 9;
    for (const double gap : {-1.0, 0.0, 0.05, 0.25, 0.5, 1.0}) {
      for (const bool computer : {false, true}) {
        SCOPED_TRACE(::testing::Message() << (eight ? "eight-ball " : "nine-ball ") << "gap " << gap
                                          << (computer ? " computer" : " player"));
        const BreakFigures f = measure(group, gap, computer);
        char gapText[16];
        std::snprintf(gapText, sizeof gapText, gap < 0 ? "laid out" : "%.2f", gap);
        std::printf("%-5s  %-8s  %-8s  %5.1f%%  %5.2f  %5.2f   %5.1f%%\n", eight ? "eight" : "nine", gapText,
                    computer ? "computer" : "player", 100 * f.legal, f.nearPlace, f.potted, 100 * f.scratches);
        if (kBreaks < 500) continue;
        EXPECT_GE(f.legal, 0.95);
        EXPECT_LE(f.nearPlace, 6.0 * objectBalls / 15);
        EXPECT_LE(f.scratches, 0.08);
        if (eight) {
          EXPECT_GE(f.potted, 0.8);
        }
      }
    }
  }
}

}  // namespace
