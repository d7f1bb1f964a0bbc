// A stroke into a cluster of touching or nearly touching balls, resolved as
// one event. Resolved a pair at a time, a stroke through balls a hair apart
// runs down the lines of the cluster as through an ideal chain and only the
// balls at the far ends move, while the same balls exactly touching share
// it: the outcome would swing on a gap nobody can see. Here every pair of
// the cluster closer than kReach counts as touching, and the stroke goes
// through the whole cluster at once: each such pair is a damped spring that
// only pushes, played out on the velocities alone in small slices until no
// pair presses or closes. The positions stay as they are.
#include "game/Korvane/PhysicalObject/PhysicsWorld.h"

namespace {

constexpr int64_t kReach = 0x1e4000;  // 121.0: centres within 11.0, a gap of 2.0
constexpr int32_t kMembers = PhysicsWorld::kBallSlots;
constexpr int32_t kPairs = kMembers * (kMembers - 1) / 2;
constexpr int32_t kGuard = 8;   // bits kept below the velocities' Q14 steps
constexpr Q14 kSlice = 3217;    // a slice: pi / 16 of a pair's half period
constexpr Q14 kDamping = 1680;  // 0.1025 of critical: a pair keeps about 0.72 of its closing speed
constexpr Q14 kBreakLoss = 15360;  // 0.9375
constexpr int32_t kMaxSlices = 4096;
constexpr int64_t kTouching = 0x144000 + 0x1200;  // (9.0 + a 64th)^2, near enough
constexpr int32_t kStopPasses = 8;

int64_t mul14(int64_t a, int64_t b) { return (a * b) >> 14; }

int64_t distanceSquared(const PhysicalObject& a, const PhysicalObject& b) {
  const int64_t dx = static_cast<int64_t>(b.position.x) - a.position.x;
  const int64_t dy = static_cast<int64_t>(b.position.y) - a.position.y;
  return mul14(dx, dx) + mul14(dy, dy);
}

bool takesPart(const PhysicalObject& o) { return o.type == PhysicalObject::kBall && !o.pocketed && o.airTime == 0; }

// Rounded toward zero, so no velocity comes out longer than it was.
Q14 mulToZero(Q14 a, Q14 b) {
  const int64_t p = static_cast<int64_t>(a) * b;
  return static_cast<Q14>(p < 0 ? -(-p >> 14) : p >> 14);
}

Q14 dropGuard(int64_t v) { return static_cast<Q14>(v < 0 ? -(-v >> kGuard) : v >> kGuard); }

Vector2 velocityOf(const PhysicalObject& o) {
  return Vector2(mulToZero(o.direction.x, o.speed), mulToZero(o.direction.y, o.speed));
}

void setVelocity(PhysicalObject& o, Vector2 v) {
  o.speed = v.preciseLength();
  if (o.speed != 0) {
    v.normalisePrecise();
    o.direction = v;
  }
}

struct Pair {
  int32_t i, j;
  Vector2 n;      // unit, from member i to member j
  int64_t press;  // how far the pair is pressed together (velocity x slices)
  int32_t met;    // the slice it first pressed in; -1 while it has not
};

}  // namespace

bool PhysicsWorld::clusterContact(PhysicalObject* list, PhysicalObject& a, PhysicalObject& b, uint32_t& changed) {
  changed = 0;
  if (!takesPart(a) || !takesPart(b)) return false;
  auto nearThird = [&](const PhysicalObject& m) {
    for (const PhysicalObject* o = list; o; o = o->next)
      if (o != &a && o != &b && takesPart(*o) && distanceSquared(m, *o) < kReach) return true;
    return false;
  };
  if (!nearThird(a) && !nearThird(b)) return false;

  // The members, in list order: every ball the pair reaches through pairs
  // closer than kReach.
  PhysicalObject* ball[kMembers];
  bool in[kMembers] = {};
  int32_t balls = 0;
  for (PhysicalObject* o = list; o && balls < kMembers; o = o->next)
    if (takesPart(*o)) {
      in[balls] = o == &a || o == &b;
      ball[balls++] = o;
    }
  for (bool grew = true; grew;) {
    grew = false;
    for (int32_t i = 0; i < balls; ++i)
      for (int32_t j = 0; j < balls && !in[i]; ++j)
        if (in[j] && distanceSquared(*ball[i], *ball[j]) < kReach) in[i] = grew = true;
  }
  PhysicalObject* m[kMembers];
  int32_t n = 0;
  for (int32_t i = 0; i < balls; ++i)
    if (in[i]) m[n++] = ball[i];

  Pair pairs[kPairs];
  int32_t count = 0;
  for (int32_t i = 0; i < n; ++i)
    for (int32_t j = i + 1; j < n; ++j) {
      if (distanceSquared(*m[i], *m[j]) >= kReach) continue;
      Vector2 d(wrapSub(m[j]->position.x, m[i]->position.x), wrapSub(m[j]->position.y, m[i]->position.y));
      if (d.normalisePrecise() != 0) pairs[count++] = {i, j, d, 0, -1};
    }

  int64_t vx[kMembers], vy[kMembers];
  for (int32_t i = 0; i < n; ++i) {
    const Vector2 v = velocityOf(*m[i]);
    vx[i] = static_cast<int64_t>(v.x) * (1 << kGuard);
    vy[i] = static_cast<int64_t>(v.y) * (1 << kGuard);
  }
  auto closing = [&](const Pair& p) { return mul14(vx[p.i] - vx[p.j], p.n.x) + mul14(vy[p.i] - vy[p.j], p.n.y); };
  int64_t push[kPairs];
  for (int32_t slice = 0; slice < kMaxSlices; ++slice) {
    bool busy = false;
    for (int32_t k = 0; k < count; ++k) {
      Pair& p = pairs[k];
      const int64_t rel = closing(p);
      p.press += mul14(kSlice, rel);
      push[k] = 0;
      if (p.press > 0) {
        if (p.met < 0) p.met = slice;
        const int64_t f = mul14(kSlice, p.press / 2 + mul14(kDamping, rel));
        push[k] = f > 0 ? f : 0;
      }
      busy |= p.press > 0 || rel > 0;
    }
    if (!busy) break;
    for (int32_t k = 0; k < count; ++k) {
      const Pair& p = pairs[k];
      const int64_t px = mul14(p.n.x, push[k]), py = mul14(p.n.y, push[k]);
      vx[p.i] -= px;
      vy[p.i] -= py;
      vx[p.j] += px;
      vy[p.j] += py;
    }
  }

  // The game's handler hears the pair that met first, then every other pair
  // that pressed, in the order they did; the motion is still as it came.
  int32_t order[kPairs];
  int32_t pressed = 0;
  bool took[kMembers] = {};
  for (int32_t k = 0; k < count; ++k) {
    const Pair& p = pairs[k];
    if (p.met < 0) continue;
    took[p.i] = took[p.j] = true;
    if ((m[p.i] == &a && m[p.j] == &b) || (m[p.i] == &b && m[p.j] == &a)) continue;
    int32_t at = pressed++;
    for (; at > 0 && pairs[order[at - 1]].met > p.met; --at) order[at] = order[at - 1];
    order[at] = k;
  }
  hook().onContact(&a, &b);
  for (int32_t k = 0; k < pressed; ++k) hook().onContact(m[pairs[order[k]].i], m[pairs[order[k]].j]);

  // The new motion, rounded toward zero, with never more energy than before.
  Vector2 v[kMembers];
  int64_t before = 0, after = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (!took[i]) continue;
    const Vector2 old = velocityOf(*m[i]);
    before += mul14(old.x, old.x) + mul14(old.y, old.y);
    v[i].set(dropGuard(vx[i]), dropGuard(vy[i]));
    after += mul14(v[i].x, v[i].x) + mul14(v[i].y, v[i].y);
  }
  Q14 keep = breakPlayed ? kBreakLoss : kQ14One;
  while (keep > 0 && mul14(mul14(after, keep), keep) > before) keep -= keep / 64 + 1;
  for (int32_t i = 0; i < n; ++i) {
    if (!took[i]) continue;
    if (keep != kQ14One) v[i].set(mulToZero(v[i].x, keep), mulToZero(v[i].y, keep));
    setVelocity(*m[i], v[i]);
    if (m[i]->identity >= 0 && m[i]->identity < 32) changed |= 1u << m[i]->identity;
  }
  for (int32_t i = 0; i < n; ++i) separate(list, *m[i]);
  return true;
}

void PhysicsWorld::stopClosing(PhysicalObject* list) {
  for (int32_t pass = 0; pass < kStopPasses; ++pass) {
    bool stopped = false;
    for (PhysicalObject* a = list; a; a = a->next) {
      if (!takesPart(*a)) continue;
      for (PhysicalObject* b = a->next; b; b = b->next) {
        if (!takesPart(*b) || distanceSquared(*a, *b) >= kTouching) continue;
        Vector2 n(wrapSub(b->position.x, a->position.x), wrapSub(b->position.y, a->position.y));
        if (n.normalisePrecise() == 0) continue;
        Vector2 va = velocityOf(*a), vb = velocityOf(*b);
        const int64_t k = mul14(va.x - vb.x, n.x) + mul14(va.y - vb.y, n.y);
        if (k <= 0) continue;
        // Each keeps the motion of the pair along n, rounded toward zero.
        const Q14 half = static_cast<Q14>(k / 2);
        va.set(wrapSub(va.x, mulToZero(n.x, half)), wrapSub(va.y, mulToZero(n.y, half)));
        vb.set(wrapAdd(vb.x, mulToZero(n.x, half)), wrapAdd(vb.y, mulToZero(n.y, half)));
        setVelocity(*a, va);
        setVelocity(*b, vb);
        stopped = true;
      }
    }
    if (!stopped) return;
  }
}
