// Seeded random shots and breaks played to rest on the data set's table:
// every frame the balls stay on the table and apart, every pot is recorded,
// shots end, and a replay (and the shadows' play-out) gives the same bits.
#include <cmath>

#include "TableFixture.h"

using pooltest::q;

namespace {

constexpr int kShots = 5000, kBreaks = 200;
constexpr int kMaxFrames = 3000;
constexpr int kShadowEvery = 5;
constexpr double kOverlap = 9.0 - 1.0 / 32;
// Hash of the positions after each of the first 100 shots; changes only
// when the physics is changed on purpose.
constexpr uint64_t kFirstHundred = 0xddcec63e9f576249ull;

class Soak : public pooltest::TableWorld {
 protected:
  static void mix(uint64_t& h, int64_t v) {
    for (int i = 0; i < 8; ++i) {
      h ^= static_cast<uint64_t>(v >> (8 * i)) & 0xff;
      h *= 0x100000001b3ull;
    }
  }
  uint64_t positions(PhysicalObject* list) const {
    uint64_t h = 0xcbf29ce484222325ull;
    for (PhysicalObject* b = list; b; b = b->next) {
      mix(h, b->position.x);
      mix(h, b->position.y);
      mix(h, b->pocketed);
    }
    return h;
  }

  // Checks the balls at a frame's end; false after the first failure.
  bool checkFrame(const char* what, int shotNo, int frame) {
    std::vector<PhysicalObject*> live;
    for (PhysicalObject* b = world().ballList; b; b = b->next) {
      if (b->pocketed || b->airTime != 0) continue;
      const double x = b->position.x / 16384.0, y = b->position.y / 16384.0;
      if (!insideOutline(x, y) && !nearPocket(*b)) {
        ADD_FAILURE() << what << " " << shotNo << " frame " << frame << ": ball " << b->identity << " off at " << x
                      << ", " << y;
        return false;
      }
      live.push_back(b);
    }
    for (size_t i = 0; i < live.size(); ++i)
      for (size_t j = i + 1; j < live.size(); ++j) {
        const double dx = (live[i]->position.x - live[j]->position.x) / 16384.0;
        const double dy = (live[i]->position.y - live[j]->position.y) / 16384.0;
        // A jumped ball may come down on another; it must be leaving it.
        if ((live[i] == jumped || live[j] == jumped) && separating(*live[i], *live[j])) continue;
        if (dx * dx + dy * dy < kOverlap * kOverlap) {
          ADD_FAILURE() << what << " " << shotNo << " frame " << frame << ": balls " << live[i]->identity << " and "
                        << live[j]->identity << " " << std::sqrt(dx * dx + dy * dy) << " apart";
          return false;
        }
      }
    return true;
  }

  static bool separating(const PhysicalObject& a, const PhysicalObject& b) {
    const double vx = (double(a.direction.x) * a.speed - double(b.direction.x) * b.speed);
    const double vy = (double(a.direction.y) * a.speed - double(b.direction.y) * b.speed);
    return vx * (a.position.x - b.position.x) + vy * (a.position.y - b.position.y) > 0;
  }
  PhysicalObject* jumped = nullptr;

  bool atRest(PhysicalObject* list) const {
    for (PhysicalObject* b = list; b; b = b->next)
      if (b->isMoving() || b->airTime != 0) return false;
    return true;
  }

  // Plays the list to rest; the frame count, or -1 on a failure.
  int playOut(PhysicalObject* list, bool check, const char* what, int shotNo) {
    for (int frame = 1; frame <= kMaxFrames; ++frame) {
      world().movingMask = 0;
      world().physicsStep(list, 50);
      if (check && !checkFrame(what, shotNo, frame)) return -1;
      if (atRest(list)) return frame;
    }
    ADD_FAILURE() << what << " " << shotNo << " still moving after " << kMaxFrames << " frames";
    return -1;
  }

  void randomShot(pooltest::Draws& d) {
    clearBalls();
    putRandom(0, d);
    for (int n = 1; n < 16; ++n)
      if (d.below(2)) putRandom(n, d, d.below(4) == 0);
    ShotRecord& s = world().shot;
    const int32_t units = d.below(4096);
    s.aim.set(cosQ14(units), sinQ14(units));
    const int32_t tipUnits = d.below(4096);
    const Q14 tipLength = d.below(q(10.0));
    s.englishPoint.set(q14Mul(cosQ14(tipUnits), tipLength), q14Mul(sinQ14(tipUnits), tipLength));
    if (d.below(6) == 0) s.englishPoint.set(d.below(q(2.0)), d.below(q(2.0)));
    s.masse = d.below(5) == 0;
    s.powerGauge = d.below(17725);
    world().breakPlayed = static_cast<uint8_t>(d.below(2));
  }

  void rackBreak(pooltest::Draws& d, Random& rnd, int i) {
    clearBalls();
    rnd.setSeed(static_cast<uint32_t>(i) * 7919u + 1u);
    world().random = &rnd;
    world().placeBalls(layout.groups[TableLayout::kEightBallRack]);
    world().jitterRack();
    world().settleRack();
    world().random = nullptr;
    PhysicalObject* cue = world().cueBall;
    cue->position.x = wrapAdd(cue->position.x, d.below(q(30.0)) - q(15.0));
    ShotRecord& s = world().shot;
    world().balls[1]->position.subtract(s.aim, cue->position);
    s.aim.x = wrapAdd(s.aim.x, d.below(q(2.0)) - q(1.0));
    s.englishPoint.set(d.below(q(4.0)) - q(2.0), d.below(q(8.0)) - q(4.0));
    s.masse = 0;
    s.powerGauge = 17384;
    world().breakPlayed = 0;
  }

  // One shot played out; the position hash, 0 on a failure.
  uint64_t play(int shotNo, bool withShadows, const char* what) {
    PhysicsWorld& w = world();
    w.shot.clearEvents();
    const bool cushion = w.isFirstContactCushion();
    if (withShadows) {
      w.copyBallsToShadows();
      const ShotRecord kept = w.shot;
      w.strikeCueBall(*w.cueBall->shadow, false, 100, cushion);
      w.shot = kept;
    }
    bool inPlay[16];
    for (int n = 0; n < 16; ++n) inPlay[n] = !w.balls[n]->pocketed;
    w.strikeCueBall(*w.cueBall, false, 100, cushion);
    jumped = w.cueBall->airTime != 0 ? w.cueBall : nullptr;
    if (playOut(w.ballList, true, what, shotNo) < 0) return 0;
    EXPECT_EQ(w.contactCapHits, 0);
    // Every ball that left play has its pot in the shot's events.
    for (int n = 0; n < 16; ++n) {
      if (!inPlay[n] || !w.balls[n]->pocketed) continue;
      bool found = false;
      for (int e = 0; e < w.shot.eventCount; ++e) {
        const ShotRecord::Event& ev = w.shot.events[e];
        found |= ev.first == w.balls[n] && (ev.second->type == PhysicalObject::kPocket ||
                                            ev.second->type == PhysicalObject::kOffTable);
      }
      EXPECT_TRUE(found) << what << " " << shotNo << ": pot of ball " << n << " not recorded";
    }
    const uint64_t h = positions(w.ballList);
    if (withShadows) {
      recorder.world = nullptr;
      const int frames = playOut(w.shadowHead, false, what, shotNo);
      recorder.world = &w;
      EXPECT_GT(frames, 0);
      EXPECT_EQ(positions(w.shadowHead), h) << what << " " << shotNo << ": the shadows played out differently";
    }
    return h;
  }
};

TEST_F(Soak, RandomShotsAndBreaks) {
  std::vector<uint64_t> first;
  uint64_t hundred = 0xcbf29ce484222325ull;
  for (int run = 0; run < 2; ++run) {
    pooltest::Draws d(777);
    for (int i = 0; i < kShots; ++i) {
      randomShot(d);
      const uint64_t h = play(i, run == 0 && i % kShadowEvery == 0, "shot");
      ASSERT_NE(h, 0u);
      if (run == 0) {
        first.push_back(h);
        if (i < 100) mix(hundred, static_cast<int64_t>(h));
      } else {
        ASSERT_EQ(h, first[i]) << "shot " << i << " replays differently";
      }
    }
  }
  EXPECT_EQ(hundred, kFirstHundred) << std::hex << "first hundred now 0x" << hundred;

  pooltest::Draws d(99);
  Random rnd;
  int spread = 0;
  for (int i = 0; i < kBreaks; ++i) {
    rackBreak(d, rnd, i);
    ASSERT_NE(play(i, i % kShadowEvery == 0, "break"), 0u);
    for (PhysicalObject* b = world().ballList; b; b = b->next)
      spread += b->pocketed || b->position.y > q(-60.0) ? 1 : 0;
  }
  EXPECT_GT(spread, kBreaks);  // breaks do spread the rack
}

}  // namespace
