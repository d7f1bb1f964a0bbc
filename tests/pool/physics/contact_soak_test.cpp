// A soak of the contacts on the data set's table: seeded random shots, shots
// aimed at the jaw points and pocket mouths, frozen lines of touching balls,
// strokes into touching and nearly touching clusters, and jump shots. At
// every contact and at every frame's end no ball on the table may have its
// centre closer than 4.4 to a jaw point or cushion line, nor lie inside a
// pocket's capture circle uncaptured; no contact may raise the kinetic energy
// (the side kick a cushion hands back from side spin aside); at no frame's
// end are two balls closer than 9.0 less a step (a jumped ball aside), nor at
// rest; a replayed shot gives the same bits. The sanitizer build plays fewer
// shots.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "TableFixture.h"
#include "tests/ScaledDown.h"

using pooltest::q;

namespace {

#if defined(KV_SCALED_DOWN)
constexpr int kScale = 20;
#else
constexpr int kScale = 1;
#endif

constexpr int kRandomShots = 30000 / kScale, kJawShots = 20000 / kScale, kLines = 4000 / kScale, kJumps = 4000 / kScale,
              kClusters = 30000 / kScale;
constexpr int kMaxFrames = 3000;
constexpr double kClearance = 4.4;
constexpr double kCapture = 8.0 - 1.0 / 64;
constexpr double kApartAtRest = 9.0 - 1.0 / 64;
constexpr int64_t kApartInMotion = 0x144000 - 2 * 0x24000 / 16384;  // (9.0 less a step)^2, in Q14
constexpr double kEnergyGain = 1.0005;

double units(Q14 v) { return v / 16384.0; }

struct Faults {
  int shots = 0, penetrations = 0, lateCaptures = 0, energyGains = 0, overlaps = 0, unsettled = 0, replays = 0;
  int closeFrames = 0, frameGains = 0;
  double worstGain = 0, deepest = 1e9;  // the most a contact kept, the closest to a cushion
  double closest = 1e9;                 // the closest two balls came at a frame's end
  int total() const {
    return penetrations + lateCaptures + energyGains + overlaps + unsettled + replays + closeFrames + frameGains;
  }
};

class ContactSoak : public pooltest::TableWorld {
 protected:
  void SetUp() override {
    TableWorld::SetUp();
    watch.soak = this;
    world().hooks = &watch;
  }

  struct Watch final : PoolHooks {
    void onContact(PhysicalObject* a, PhysicalObject* b) override { soak->atContact(a, b); }
    ContactSoak* soak = nullptr;
  } watch;

  static double energy(const PhysicalObject& o) { return units(o.speed) * units(o.speed); }

  // The response the world is about to make, played on copies.
  void atContact(PhysicalObject* a, PhysicalObject* b) {
    // A ball met by a pocket, or a jumped ball coming down off the table, is leaving it.
    const bool leaves = b && (b->type == PhysicalObject::kOffTable || b->type == PhysicalObject::kPocket);
    checkBalls(leaves ? a : nullptr, b);
    if (!a || !b || a->type != PhysicalObject::kBall) return;
    const bool ball = b->type == PhysicalObject::kBall;
    const bool cushion = (b->type == PhysicalObject::kLine && a->sideKick == 0) || b->type == PhysicalObject::kJaw;
    if (!ball && !cushion) return;
    PhysicalObject ca(*a), cb(*b);
    const double before = energy(*a) + (ball ? energy(*b) : 0);
    world().respond(world().ballList, ca, cb);
    const double after = energy(ca) + (ball ? energy(cb) : 0);
    if (before > 0) faults.worstGain = std::fmax(faults.worstGain, after / before);
    if (before > 0 && after > before * kEnergyGain) {
      ++faults.energyGains;
    }
  }

  double segmentDistance(const Vector2& p, const Vector2& a, const Vector2& b) const {
    const double px = units(p.x), py = units(p.y), ax = units(a.x), ay = units(a.y);
    const double dx = units(b.x) - ax, dy = units(b.y) - ay;
    double u = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
    u = u < 0 ? 0 : u > 1 ? 1 : u;
    return std::hypot(px - ax - u * dx, py - ay - u * dy);
  }

  // Balls on the cloth: clear of jaws and lines, and none uncaptured inside
  // a capture circle (but the pocket being met now).
  void checkBalls(const PhysicalObject* leaving, const PhysicalObject* meeting) {
    for (PhysicalObject* o = world().ballList; o; o = o->next) {
      if (o->pocketed || o->airTime != 0 || o == leaving) continue;
      double nearest = 1e9;
      for (const PhysicalObject* j : world().jaws)
        nearest =
            std::fmin(nearest, std::hypot(units(o->position.x - j->position.x), units(o->position.y - j->position.y)));
      for (const PhysicalObject* l : world().lines)
        nearest = std::fmin(nearest, segmentDistance(o->position, l->pointA, l->pointB));
      faults.deepest = std::fmin(faults.deepest, nearest);
      if (nearest < kClearance) {
        ++faults.penetrations;
      }
      for (const PhysicalObject* p = world().pocketHead; p; p = p->next)
        if (p != meeting &&
            std::hypot(units(o->position.x - p->position.x), units(o->position.y - p->position.y)) < kCapture) {
          ++faults.lateCaptures;
        }
    }
  }

  static void mix(uint64_t& h, int64_t v) {
    for (int i = 0; i < 8; ++i) {
      h ^= static_cast<uint64_t>(v >> (8 * i)) & 0xff;
      h *= 0x100000001b3ull;
    }
  }

  // The energy of the balls in play (Q14 squares).
  int64_t tableEnergy() {
    int64_t e = 0;
    for (const PhysicalObject* o = world().ballList; o; o = o->next)
      if (!o->pocketed) e += (static_cast<int64_t>(o->speed) * o->speed) >> 14;
    return e;
  }

  // The closest two balls on the cloth are, squared (Q14).
  int64_t closestSquared() const {
    int64_t best = INT64_MAX;
    for (const PhysicalObject* a = w.world.ballList; a; a = a->next) {
      if (a->pocketed || a->airTime != 0) continue;
      for (const PhysicalObject* b = a->next; b; b = b->next) {
        if (b->pocketed || b->airTime != 0) continue;
        const int64_t dx = static_cast<int64_t>(a->position.x) - b->position.x;
        const int64_t dy = static_cast<int64_t>(a->position.y) - b->position.y;
        best = std::min(best, ((dx * dx) >> 14) + ((dy * dy) >> 14));
      }
    }
    return best;
  }

  // No two balls on the cloth closer than 9.0 less a step, or than the
  // closest two were set out; a jumped ball may come down on another.
  void checkApart(int64_t limit) {
    if (jumped) return;
    const int64_t c = closestSquared();
    faults.closest = std::fmin(faults.closest, std::sqrt(c / 16384.0));
    faults.closeFrames += c < limit;
  }

  // Plays the balls to rest with the checks; a hash of where they end. With
  // watchEnergy (shots without spin), no frame ends with more energy on the
  // cloth than it began with.
  uint64_t playOut() {
    int frame = 0;
    const int64_t limit = std::min(kApartInMotion, closestSquared() - 18);
    for (; frame < kMaxFrames; ++frame) {
      const int64_t before = tableEnergy();
      world().movingMask = 0;
      world().physicsStepBalls(50);
      checkBalls(nullptr, nullptr);
      checkApart(limit);
      if (watchEnergy && tableEnergy() > before + before / 2000) ++faults.frameGains;
      if (!PhysicalObject::anyObjectMoving(world().ballList) && world().cueBall->airTime == 0) break;
    }
    if (frame == kMaxFrames) ++faults.unsettled;
    uint64_t h = 0xcbf29ce484222325ull;
    for (PhysicalObject* a = world().ballList; a; a = a->next) {
      mix(h, a->position.x);
      mix(h, a->position.y);
      mix(h, a->pocketed);
      if (a->pocketed) continue;
      for (PhysicalObject* b = a->next; b; b = b->next)
        if (!b->pocketed &&
            std::hypot(units(a->position.x - b->position.x), units(a->position.y - b->position.y)) < kApartAtRest)
          ++faults.overlaps;
    }
    return h;
  }

  // Plays the set-up shot; every seventh one a second time from the same
  // state, which must end in the same bits.
  void play(int i, bool strike) {
    PhysicsWorld& w = world();
    struct Motion {
      Vector2 position, direction, spin;
      Q14 speed, sideKick;
      uint8_t pocketed, hidden;
    } saved[16];
    for (int n = 0; n < 16; ++n) {
      const PhysicalObject& b = *w.balls[n];
      saved[n] = {b.position, b.direction, b.spin, b.speed, b.sideKick, b.pocketed, b.hidden};
    }
    const ShotRecord shot = w.shot;
    const int before = faults.total();
    auto go = [&]() {
      if (strike) w.strikeCueBall(*w.cueBall, false, 100, w.isFirstContactCushion());
      jumped = w.cueBall->airTime != 0;
      return playOut();
    };
    const uint64_t h = go();
    if (i % 7 != 0) {
      faults.shots += faults.total() != before;
      return;
    }
    for (int n = 0; n < 16; ++n) {
      PhysicalObject& b = *w.balls[n];
      const Motion& m = saved[n];
      b.position = m.position;
      b.direction = m.direction;
      b.spin = m.spin;
      b.speed = m.speed;
      b.sideKick = m.sideKick;
      b.pocketed = m.pocketed;
      b.hidden = m.hidden;
      b.step.set(0, 0);
      b.airTime = b.airPhase = 0;
      b.pocket = nullptr;
      b.frame = 0;
      b.advanced = 1;
    }
    w.shot = shot;
    if (go() != h) ++faults.replays;
    faults.shots += faults.total() != before;
  }

  void report(const char* what, int shots) {
    char closest[16] = "-";
    if (faults.closest < 1e8) std::snprintf(closest, sizeof closest, "%.5f", faults.closest);
    std::printf(
        "%-11s %6d shots, %d at fault: penetrations %d (closest %.3f), late captures %d, energy gains %d (most kept "
        "x%.5f), frames gaining %d, frames with balls closer than 9.0 %d (closest at a frame's end %s), "
        "overlaps at rest %d, unsettled %d, replays differing %d\n",
        what, shots, faults.shots, faults.penetrations, faults.deepest, faults.lateCaptures, faults.energyGains,
        faults.worstGain, faults.frameGains, faults.closeFrames, closest, faults.overlaps, faults.unsettled,
        faults.replays);
    EXPECT_EQ(faults.total(), 0) << what;
    faults = Faults{};
  }

  void aim(PhysicalObject& b, double dx, double dy, double speed) {
    const double len = std::hypot(dx, dy);
    b.direction.set(q(dx / len), q(dy / len));
    b.speed = q(speed);
    b.advanced = 1;
  }

  Faults faults;
  bool jumped = false;
  bool watchEnergy = false;
};

TEST_F(ContactSoak, RandomShots) {
  pooltest::Draws d(4242);
  for (int i = 0; i < kRandomShots; ++i) {
    clearBalls();
    putRandom(0, d);
    for (int n = 1; n < 16; ++n)
      if (d.below(2)) putRandom(n, d, d.below(3) == 0);
    ShotRecord& s = world().shot;
    const int32_t a = d.below(4096), tip = d.below(4096);
    const Q14 tipLength = d.below(q(10.0));
    s.aim.set(cosQ14(a), sinQ14(a));
    s.englishPoint.set(q14Mul(cosQ14(tip), tipLength), q14Mul(sinQ14(tip), tipLength));
    s.masse = d.below(5) == 0;
    s.powerGauge = d.below(17725);
    world().breakPlayed = static_cast<uint8_t>(d.below(2));
    play(i, true);
  }
  report("random", kRandomShots);
}

// The cue ball sent at a jaw point or a pocket's centre, a little off either
// way, at every speed up to a full stroke's.
TEST_F(ContactSoak, ShotsAtJawsAndPockets) {
  pooltest::Draws d(977);
  for (int i = 0; i < kJawShots; ++i) {
    clearBalls();
    putRandom(0, d, true);
    for (int n = 1, k = d.below(6); n <= k; ++n) putRandom(n, d, true);
    const int t = d.below(18);
    const Vector2 target = t < 12 ? world().jaws[t]->position : world().pockets[t - 12]->position;
    const PhysicalObject& c = *world().cueBall;
    const double dx = units(target.x - c.position.x), dy = units(target.y - c.position.y);
    const double len = std::hypot(dx, dy), off = d.range(-7.0, 7.0);
    aim(*world().cueBall, dx - off * dy / len, dy + off * dx / len, d.range(5.0, 320.0));
    world().breakPlayed = static_cast<uint8_t>(d.below(2));
    play(i, false);
  }
  report("jaw/pocket", kJawShots);
}

// Two to six balls touching in a line and the cue ball sent along it, from
// a touch too slow to survive the friction to a full stroke.
TEST_F(ContactSoak, FrozenLines) {
  pooltest::Draws d(31337);
  for (int i = 0; i < kLines; ++i) {
    clearBalls();
    const int balls = 2 + d.below(5);
    const double angle = d.below(2) ? d.below(4) * 1.5707963267948966 : d.range(0, 6.283185307179586);
    const double ux = std::cos(angle), uy = std::sin(angle), gap = d.below(3) ? d.range(0.0, 20.0) : 0.0;
    const double span = 9.0 * balls + gap;
    const double x0 = 85 - ux * span / 2, y0 = -151 - uy * span / 2;
    put(0, x0, y0);
    for (int n = 1; n <= balls; ++n) put(n, x0 + ux * (gap + 9.0 * n), y0 + uy * (gap + 9.0 * n));
    const double slow = d.below(4) == 0;
    aim(*world().cueBall, ux + d.range(-0.02, 0.02), uy, slow ? d.range(0.5, 4.0) : d.range(4.0, 320.0));
    world().breakPlayed = static_cast<uint8_t>(d.below(2));
    play(i, false);
  }
  report("lines", kLines);
}

// Strokes into clusters of touching and nearly touching balls: lines,
// triangles and the eight-ball rack, every pair the same gap of 0 to 1.0,
// the rack also shifted as the frame start shifts it; the cue ball from any
// side at any speed up to a full stroke's. No shot has spin, so no frame may
// end with more energy on the cloth than it began with.
TEST_F(ContactSoak, TouchingClusters) {
  pooltest::Draws d(6502);
  Random rnd;
  watchEnergy = true;
  for (int i = 0; i < kClusters; ++i) {
    const int kind = d.below(3);
    // Two steps over, so that rounding the places leaves touching balls touching.
    const double gap = d.below(3) == 0 ? 0.0 : d.range(0.0, 1.0), spacing = 9.0 + gap + 2.0 / 16384;
    const double rowStep = spacing * std::sqrt(3.0) / 2;
    const int rows = kind == 0 ? 1 : kind == 1 ? 2 + d.below(4) : 5;
    const int inLine = kind == 0 ? 2 + d.below(5) : 0;
    const double angle = kind == 2 ? 1.5707963267948966 : d.range(0, 6.283185307179586);
    const double ux = std::cos(angle), uy = std::sin(angle);
    const double cx = kind == 2 ? 85 : d.range(60, 110), cy = kind == 2 ? -100 : d.range(-200, -100);
    bool placed = false;
    for (int tries = 0; tries < 50 && !placed; ++tries) {
      clearBalls();
      int n = 1;
      bool fits = true;
      // Along u from the apex: a line of inLine balls, or rows of 1 to rows balls.
      auto place = [&](double along, double aside) {
        const double x = cx + ux * along - uy * aside, y = cy + uy * along + ux * aside;
        fits &= insideOutline(x, y) && outlineDistance(x, y) > 4.6;
        put(n, x, y);
        fits &= !nearPocket(*world().balls[n++]);
      };
      if (kind == 0)
        for (int k = 0; k < inLine; ++k) place(k * spacing, 0);
      else
        for (int r = 0; r < rows; ++r)
          for (int k = 0; k <= r; ++k) place(r * rowStep, (k - r / 2.0) * spacing);
      if (kind == 2) {
        rnd.setSeed(static_cast<uint32_t>(i) * 2654435761u + 1u);
        world().random = &rnd;
        world().jitterRack();
        world().settleRack();
        world().random = nullptr;
      }
      // The cue ball from any side, aimed at a ball of the cluster a little off its centre.
      const int target = 1 + d.below(n - 1);
      const PhysicalObject& t = *world().balls[target];
      const double back = d.range(0, 6.283185307179586), far = d.range(12, 80);
      const double tx = units(t.position.x), ty = units(t.position.y);
      put(0, tx + far * std::cos(back), ty + far * std::sin(back));
      const PhysicalObject& c = *world().cueBall;
      fits &= insideOutline(units(c.position.x), units(c.position.y)) &&
              outlineDistance(units(c.position.x), units(c.position.y)) > 4.6 && !nearPocket(c) &&
              !world().isBallPlacementBlocked(c);
      if (!fits) continue;
      const double off = d.range(-6.0, 6.0);
      const double dx = tx - units(c.position.x), dy = ty - units(c.position.y), len = std::hypot(dx, dy);
      aim(*world().cueBall, dx - off * dy / len, dy + off * dx / len,
          d.below(5) == 0 ? d.range(0.5, 20.0) : d.range(20.0, 320.0));
      placed = true;
    }
    if (!placed) continue;
    world().breakPlayed = static_cast<uint8_t>(d.below(2));
    play(i, false);
  }
  report("clusters", kClusters);
}

// Jumped cue balls with balls scattered on and around the flight.
TEST_F(ContactSoak, Jumps) {
  pooltest::Draws d(2718);
  for (int i = 0; i < kJumps; ++i) {
    clearBalls();
    putRandom(0, d);
    const int32_t a = d.below(4096);
    const double ux = units(cosQ14(a)), uy = units(sinQ14(a));
    const PhysicalObject& c = *world().cueBall;
    for (int n = 1; n < 12; ++n) {
      const double along = d.range(10, 140), aside = d.range(-9, 9);
      put(n, units(c.position.x) + ux * along - uy * aside, units(c.position.y) + uy * along + ux * aside);
      if (!insideOutline(units(world().balls[n]->position.x), units(world().balls[n]->position.y)) ||
          outlineDistance(units(world().balls[n]->position.x), units(world().balls[n]->position.y)) < 4.6 ||
          nearPocket(*world().balls[n]) || world().isBallPlacementBlocked(*world().balls[n]))
        world().balls[n]->pocketed = world().balls[n]->hidden = 1;
    }
    ShotRecord& s = world().shot;
    s.aim.set(cosQ14(a), sinQ14(a));
    s.englishPoint.set(d.below(q(2.8)) - q(1.4), d.below(q(2.8)) - q(1.4));
    s.masse = 1;
    s.powerGauge = 1500 + d.below(15885);
    world().breakPlayed = 1;
    play(i, true);
  }
  report("jumps", kJumps);
}

}  // namespace
