// Event-driven motion: the earliest contact of any moving ball within the
// remaining time, every object advanced exactly to it, the contact reported
// and resolved, then the rest of the time. Pending contacts wait in a short
// sorted list so that after a contact only the balls it changed are searched.
#include "game/Korvane/PhysicalObject/PhysicsWorld.h"

#include "zul/memory/Debug.h"

namespace {

constexpr Q14 kRadius = 0x12000;            // 4.5
constexpr int64_t kBallContact = 0x144000;  // 81.0: (2 * radius)^2
constexpr int64_t kOverlapping = kBallContact - 18;  // (9.0 less a step)^2
constexpr int64_t kJawContact = 0x51000;    // 20.25: radius^2
constexpr int64_t kPocketContact = 0x100000;  // 64.0
constexpr Q14 kPocketRadius = 0x20000;      // 8.0: the capture circle
constexpr Q14 kPocketBox = 0x20000;         // 8.0
constexpr Q14 kAxisNear = 32768;            // 2.0
constexpr Q14 kBreakLoss = 15360;           // 0.9375
constexpr Q14 kApartMargin = 4;             // a hair beyond touching
constexpr Q14 kApart = 0x24000 + kApartMargin;  // centres 9.0 apart
constexpr Q14 kFriction = 0x30000;          // 12.0
constexpr int32_t kNone = CollisionList::kNone;
// Interior of the table where no pocket or cushion can be reached.
constexpr Q14 kInnerLeft = 43 << 14, kInnerRight = 126 << 14, kInnerTop = 46 << 14, kInnerBottom = 256 << 14;

int64_t mul64(int64_t a, int64_t b) { return (a * b) >> 14; }
int64_t dot64(const Vector2& a, const Vector2& b) { return mul64(a.x, b.x) + mul64(a.y, b.y); }
int64_t square64(const Vector2& v) { return mul64(v.x, v.x) + mul64(v.y, v.y); }

// Q14 square root of a Q14 square, rounded to the nearest step.
Q14 root64(int64_t s) { return preciseSqrtQ14(s); }

// The engine's coarse root (7 fraction bits) with 64-bit squares, as the
// opponent's friction law takes it.
Q14 coarseRoot64(int64_t s) {
  if (s <= 0x7fffffff) return sqrtQ14(static_cast<Q14>(s));
  return static_cast<Q14>(isqrt64(static_cast<uint64_t>(s)) << 7);
}

// Length from the exact squares: unit vectors formed with it are unit to the
// last bit, so a contact's normal never comes out long and adds no energy.
Q14 length64(const Vector2& v) { return v.preciseLength(); }

// Unit to the last bit and never long, so a contact's normal or a ball's
// direction carries no more than it should.
Vector2 unit(Vector2 v) {
  v.normalisePrecise();
  return v;
}

Vector2 minus(const Vector2& a, const Vector2& b) { return Vector2(wrapSub(a.x, b.x), wrapSub(a.y, b.y)); }

// Speed and direction of a ball from a velocity.
void setVelocity(PhysicalObject& o, const Vector2& v) {
  o.speed = length64(v);
  if (o.speed != 0) o.direction = unit(v);
}

// A product rounded toward zero, so a velocity is never longer than its speed.
Q14 mulToZero(Q14 a, Q14 b) {
  const int64_t p = static_cast<int64_t>(a) * b;
  return static_cast<Q14>(p < 0 ? -(-p >> 14) : p >> 14);
}

Vector2 velocity(const PhysicalObject& o) {
  return Vector2(mulToZero(o.direction.x, o.speed), mulToZero(o.direction.y, o.speed));
}

// The time T * f (f a Q14 part of the slice) in whole units, truncated; the
// part of a unit beyond it (in 1/16384) orders contacts of the same unit.
int32_t wholeTime(int32_t T, Q14 f, int32_t overlapTime, int32_t* fraction) {
  const int64_t tf = static_cast<int64_t>(T) * f;
  if (tf < 0) return overlapTime;
  if (fraction) *fraction = static_cast<int32_t>(tf & 0x3fff);
  return static_cast<int32_t>(tf >> 14);
}

// t = T * s / |r| for s <= |r|; an overlap (s < 0) is due at overlapTime.
int32_t sweptTime(int32_t T, int64_t s, Q14 rootRR, int32_t overlapTime, int32_t* fraction) {
  if (s > rootRR) return kNone;
  if (s < 0) return overlapTime;
  return wholeTime(T, q14Div(static_cast<Q14>(s), rootRR), overlapTime, fraction);
}

// Time of a disc of squared radius reach moving by r against a still point
// at d. The run along the path to the point's foot and the point's distance
// off the path come from the exact dot and cross products, each rounded
// toward an earlier time, so that no disc passes into the point unmet, not
// even by a graze or in a short move.
int32_t discTime(int32_t T, const Vector2& r, const Vector2& d, int64_t reach, bool inclusive, int32_t overlapTime,
                 int32_t* fraction) {
  const __int128 rd = static_cast<__int128>(r.x) * d.x + static_cast<__int128>(r.y) * d.y;
  if (inclusive ? rd < 0 : rd <= 0) return kNone;
  const __int128 cross = static_cast<__int128>(r.x) * d.y - static_cast<__int128>(r.y) * d.x;
  const __int128 rr = static_cast<__int128>(r.x) * r.x + static_cast<__int128>(r.y) * r.y;
  // The distance off the path, squared in Q14, is cross^2 / (rr 2^14); a
  // miss is told without the division.
  if (rr == 0 || cross * cross >= (reach + 1) * rr * 16384) return kNone;
  const __int128 off = cross * cross / (rr * 16384);
  const Q14 sr = length64(r);
  const __int128 along = rd * rd / rr;  // the run, squared, in Q28
  const int64_t run = static_cast<int64_t>(isqrt64(along > INT64_MAX ? INT64_MAX : static_cast<uint64_t>(along)));
  return sweptTime(T, run - root64(reach - static_cast<int64_t>(off)), sr, overlapTime, fraction);
}

// A point at squared distance dd is out of reach of a disc of the radius
// moving by r when it lies farther than the radius plus the whole move.
bool outOfReach(int64_t dd, Q14 radius, const Vector2& r) {
  const int64_t reach = static_cast<int64_t>(radius) + length64(r);
  return dd > mul64(reach, reach);
}

struct Box {
  Q14 x0, x1, y0, y1;
};

Box sweptBox(const PhysicalObject& o, Q14 widen) {
  const int64_t x = o.position.x, y = o.position.y;
  const int64_t ex = x + o.step.x, ey = y + o.step.y;
  auto clamp = [](int64_t v) {
    return static_cast<Q14>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  return {clamp((x < ex ? x : ex) - widen), clamp((x > ex ? x : ex) + widen), clamp((y < ey ? y : ey) - widen),
          clamp((y > ey ? y : ey) + widen)};
}

bool overlaps(const Box& a, const Box& b) { return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1; }

bool isBall(const PhysicalObject* o) { return o && o->type == PhysicalObject::kBall; }

uint32_t identityBit(const PhysicalObject* o) {
  return o && o->identity >= 0 && o->identity < 32 ? 1u << o->identity : 0u;
}

// Zone bit of line slot i (three first-run lines to a bit) and of jaw j.
uint32_t lineZoneBit(int32_t i) { return 1u << (i < 18 ? i / 3 : 6 + (i - 18)); }
uint32_t jawZoneBit(int32_t j) { return 1u << (12 + j); }

bool strictlyBetween(Q14 v, Q14 a, Q14 b) { return a < b ? (a < v && v < b) : (b < v && v < a); }

}  // namespace

// ---- the list

void CollisionList::reset() {
  groupMask = 0xffffffffu;
  count = 0;
  subSteps = -1;
  droppedMask = 0;
  for (int32_t& t : times) t = kNone;
  for (int32_t& f : fractions) f = 0;
}

bool CollisionList::insert(int32_t time, PhysicalObject* first, PhysicalObject* second, int32_t fraction) {
  auto later = [&](int32_t at) { return times[at] > time || (times[at] == time && fractions[at] > fraction); };
  if (count == kSize) {
    if (subSteps == -1) subSteps = kSize;
    if (!later(kSize - 1)) {
      droppedMask |= identityBit(first);
      return false;
    }
    droppedMask |= identityBit(pairs[kSize - 1][0]);
    count = kSize - 1;
  }
  int32_t at = count;
  while (at > 0 && later(at - 1)) {
    times[at] = times[at - 1];
    fractions[at] = fractions[at - 1];
    pairs[at][0] = pairs[at - 1][0];
    pairs[at][1] = pairs[at - 1][1];
    --at;
  }
  times[at] = time;
  fractions[at] = fraction;
  pairs[at][0] = first;
  pairs[at][1] = second;
  ++count;
  return true;
}

// ---- contact times

int32_t PhysicsWorld::ballBallTime(int32_t T, const PhysicalObject& a, const PhysicalObject& b, int32_t* fraction) {
  if (fraction) *fraction = 0;
  const Vector2 d = minus(b.position, a.position);
  const int64_t dd = square64(d);
  if (T == 0) return dd < kBallContact ? 0 : kNone;
  const Vector2 r = minus(a.step, b.step);
  if (dot64(r, d) <= 0) return kNone;
  // Balls already overlapping (as frozen balls may by a rounding) and closing
  // meet now: a unit of time would carry them further into each other.
  return discTime(T, r, d, kBallContact, false, 0, fraction);
}

int32_t PhysicsWorld::ballPocketTime(int32_t T, const PhysicalObject& ball, const PhysicalObject& pocket,
                                     int32_t* fraction) {
  if (fraction) *fraction = 0;
  const Vector2 d = minus(pocket.position, ball.position);
  const int64_t dd = square64(d);
  if (T == 0) return dd < kPocketContact ? 0 : kNone;
  const Vector2& r = ball.step;
  if (outOfReach(dd, kPocketRadius, r)) return kNone;
  // A moving ball already within the capture circle is in the pocket, as the
  // test at T = 0 finds, whichever way it goes.
  if (dot64(r, d) <= 0) return dd < kPocketContact && (r.x != 0 || r.y != 0) ? 1 : kNone;
  return discTime(T, r, d, kPocketContact, false, 1, fraction);
}

int32_t PhysicsWorld::ballPointTime(int32_t T, const PhysicalObject& ball, const Vector2& point, int32_t* fraction) {
  if (fraction) *fraction = 0;
  const Vector2 d = minus(point, ball.position);
  const int64_t dd = square64(d);
  if (outOfReach(dd, kRadius, ball.step)) return kNone;
  // Already within the radius: only a ball moving into the point meets it.
  return discTime(T, ball.step, d, kJawContact, dd >= kJawContact, 1, fraction);
}

int32_t PhysicsWorld::ballLineTime(int32_t T, const PhysicalObject& ball, const Vector2& a, const Vector2& b,
                                   const Vector2& normal, int32_t* fraction) {
  if (fraction) *fraction = 0;
  const int64_t s = dot64(normal, ball.step);
  if (s <= 0) return kNone;  // only a ball moving into the line meets it
  const Vector2& p = ball.position;
  // A ball running along an axis-parallel line, close to it and within its extent.
  if ((a.x >> 14) == (b.x >> 14) && absQ14(wrapSub(p.x, a.x)) < kAxisNear && strictlyBetween(p.y, a.y, b.y))
    return 1;
  if ((a.y >> 14) == (b.y >> 14) && absQ14(wrapSub(p.y, a.y)) < kAxisNear && strictlyBetween(p.x, a.x, b.x))
    return 1;
  const int64_t dist = dot64(normal, minus(a, p));
  const int64_t g = dist - kRadius;
  if (g < 0) {
    // Inside the radius already: time 1 while the ball still overlaps the segment.
    if (dist <= -kRadius) return kNone;
    const Vector2 foot(wrapAdd(p.x, static_cast<Q14>(mul64(normal.x, dist))),
                       wrapAdd(p.y, static_cast<Q14>(mul64(normal.y, dist))));
    return strictlyBetween(foot.x, a.x, b.x) || strictlyBetween(foot.y, a.y, b.y) ? 1 : kNone;
  }
  if (s < g) return kNone;
  const Q14 f = q14Div(static_cast<Q14>(g), static_cast<Q14>(s));
  const Vector2 c(wrapAdd(wrapAdd(p.x, q14Mul(ball.step.x, f)), q14Mul(normal.x, kRadius)),
                  wrapAdd(wrapAdd(p.y, q14Mul(ball.step.y, f)), q14Mul(normal.y, kRadius)));
  if (!strictlyBetween(c.x, a.x, b.x) && !strictlyBetween(c.y, a.y, b.y)) return kNone;
  return wholeTime(T, f, 1, fraction);
}

int32_t PhysicsWorld::ballCushionTime(int32_t T, const PhysicalObject& ball, const PhysicalObject& other,
                                      int32_t* fraction) {
  if (other.type == PhysicalObject::kLine)
    return ballLineTime(T, ball, other.pointA, other.pointB, other.normal, fraction);
  return ballPointTime(T, ball, other.position, fraction);
}

// ---- zones

uint32_t PhysicsWorld::zoneMask(const Vector2& p, const Vector2& dir) const {
  for (int32_t j = 0; j < 6; ++j)
    if (!jaws[j]) return 0xffffff;
  const int64_t x = p.x, y = p.y;
  uint32_t m = 0xffffff;
  if (dir.x < 0)
    m &= x + kRadius < jaws[1]->position.x ? 0xf81e78u : 0xfffe7fu;
  else
    m &= x - kRadius > jaws[0]->position.x ? 0x07e3c7u : 0xfff3ffu;
  if (dir.y < 0) {
    const int64_t t = y + kRadius;
    if (t < jaws[4]->position.y)
      m &= 0x1e070c;
    else if (t < jaws[3]->position.y)
      m &= 0x3f071e;
    else
      m &= t < jaws[2]->position.y ? 0x7f8f9eu : 0xffffbfu;
  } else {
    const int64_t b = y - kRadius;
    if (b > jaws[3]->position.y)
      m &= 0x8078e1;
    else if (b > jaws[4]->position.y)
      m &= 0xc0f8f3;
    else
      m &= b > jaws[5]->position.y ? 0xe1fdf3u : 0xfffdffu;
  }
  return m;
}

// ---- the search

int32_t PhysicsWorld::findEarliestContact(PhysicalObject* list, int32_t T, bool prepare, bool testCushions,
                                          bool collect) {
  int32_t best = kNone, bestFraction = 0;
  PhysicalObject* bestA = nullptr;
  PhysicalObject* bestB = nullptr;
  const uint32_t group = collisions.groupMask;
  const bool groupSearch = collect && group != 0xffffffffu;
  auto inGroup = [group](const PhysicalObject* o) { return group == 0xffffffffu || (identityBit(o) & group); };
  int32_t fraction = 0;
  auto offer = [&](int32_t t, PhysicalObject* a, PhysicalObject* b) {
    if (t < best || (t == best && t != kNone && fraction < bestFraction)) {
      best = t;
      bestFraction = fraction;
      bestA = a;
      bestB = b;
    }
  };
  auto finish = [&]() {
    if (!collect) {
      currentPair[0] = bestA;
      currentPair[1] = bestB;
    }
    return best;
  };

  int32_t index = 0;
  for (PhysicalObject* a = list; a; a = a->next, ++index) {
    const uint32_t bit = index < 31 ? 1u << (index + 1) : 0u;
    if (prepare && a->advanced) {
      a->prepareStep(*this, T);
      a->advanced = 0;
    }
    if (collect) {
      if (best != kNone) collisions.insert(best, bestA, bestB, bestFraction);
      best = kNone;
      if (!inGroup(a)) continue;
    }
    if (a->pocketed) {
      if (!a->hidden) movingMask |= bit;
      continue;
    }
    if (a->airTime != 0) {
      movingMask |= bit;
      continue;
    }
    const bool aMoves = a->isMoving();
    if (aMoves) movingMask |= bit;
    const Box box = sweptBox(*a, kRadius);

    for (PhysicalObject* b = groupSearch ? list : a->next; b; b = b->next) {
      if (prepare && b->advanced) {
        b->prepareStep(*this, T);
        b->advanced = 0;
      }
      if (b == a || b->pocketed || b->airTime != 0) continue;
      if (groupSearch && inGroup(b) && b->identity >= a->identity) continue;
      if (!aMoves && !b->isMoving()) continue;
      if (!overlaps(box, sweptBox(*b, kRadius))) continue;
      offer(ballBallTime(T, *a, *b, &fraction), a, b);
      if (!collect && best == 0) return finish();
    }

    if (best == kNone) testCushions = true;
    if (!aMoves || !testCushions) continue;
    if (interiorCut && box.x0 > kInnerLeft && box.x1 < kInnerRight && -static_cast<int64_t>(box.y1) > kInnerTop &&
        -static_cast<int64_t>(box.y0) < kInnerBottom)
      continue;

    for (PhysicalObject* p = pocketHead; p; p = p->next) {
      const Box pb{wrapSub(p->position.x, kPocketBox), wrapAdd(p->position.x, kPocketBox),
                   wrapSub(p->position.y, kPocketBox), wrapAdd(p->position.y, kPocketBox)};
      if (!overlaps(box, pb)) continue;
      offer(ballPocketTime(T, *a, *p, &fraction), a, p);
      if (!collect && best == 0) return finish();
    }

    const uint32_t zones = zoneMaskOn ? zoneMask(a->position, a->direction) : 0xffffffu;
    zoneMaskValue = zones;
    for (int32_t i = 0; i < kLineSlots; ++i) {
      PhysicalObject* l = lines[i];
      if (!l || !(zones & lineZoneBit(i))) continue;
      const Box lb{l->pointA.x < l->pointB.x ? l->pointA.x : l->pointB.x,
                   l->pointA.x > l->pointB.x ? l->pointA.x : l->pointB.x,
                   l->pointA.y < l->pointB.y ? l->pointA.y : l->pointB.y,
                   l->pointA.y > l->pointB.y ? l->pointA.y : l->pointB.y};
      if (!overlaps(box, lb)) continue;
      offer(ballCushionTime(T, *a, *l, &fraction), a, l);
      if (!collect && best == 0) return finish();
    }
    for (int32_t j = 0; j < kJawSlots; ++j) {
      PhysicalObject* w = jaws[j];
      if (!w || !(zones & jawZoneBit(j))) continue;
      const Vector2& q = w->position;
      if (q.x < box.x0 || q.x > box.x1 || q.y < box.y0 || q.y > box.y1) continue;
      offer(ballCushionTime(T, *a, *w, &fraction), a, w);
      if (!collect && best == 0) return finish();
    }
  }
  if (collect && best != kNone) collisions.insert(best, bestA, bestB, bestFraction);
  return finish();
}

// ---- responses

void PhysicsWorld::respond(PhysicalObject* list, PhysicalObject& first, PhysicalObject& second) {
  switch (second.type) {
    case PhysicalObject::kBall: ballBallResponse(list, first, second); break;
    case PhysicalObject::kPocket: capturePocket(first, second); break;
    case PhysicalObject::kLine:
    case PhysicalObject::kLineB:
    case PhysicalObject::kLineC: lineResponse(first, second); break;
    case PhysicalObject::kJaw: jawResponse(first, second); break;
    default: break;
  }
}

uint32_t PhysicsWorld::resolveContact(PhysicalObject* list, PhysicalObject& first, PhysicalObject& second) {
  uint32_t changed = 0;
  if (second.type == PhysicalObject::kBall && clusterContact(list, first, second, changed)) return changed;
  hook().onContact(&first, &second);
  respond(list, first, second);
  return 0;
}

void PhysicsWorld::ballBallResponse(PhysicalObject* list, PhysicalObject& a, PhysicalObject& b) const {
  Vector2 va = velocity(a), vb = velocity(b);
  const Vector2 d = minus(b.position, a.position);
  const Vector2 n = unit(d);
  const Q14 k = static_cast<Q14>(dot64(n, va) - dot64(n, vb));
  const Vector2 nk(q14Mul(n.x, k), q14Mul(n.y, k));
  va.subtractInPlace(nk);
  vb.addInPlace(nk);
  if (breakPlayed) {
    va.scale(kBreakLoss);
    vb.scale(kBreakLoss);
  }
  setVelocity(a, va);
  setVelocity(b, vb);
  separate(list, a);
  separate(list, b);
}

void PhysicsWorld::separate(PhysicalObject* list, PhysicalObject& ball) {
  ball.airborneLook = 0;
  if (ball.isMoving()) return;
  for (PhysicalObject* o = list; o; o = o->next) {
    if (o == &ball || o->type != PhysicalObject::kBall || o->pocketed) continue;
    if (o->isMoving()) return;
    // A resting ball left overlapping another (by more than a step) is set
    // apart to touching by its place alone: a push would add energy the
    // contact never had.
    const Vector2 d = minus(ball.position, o->position);
    if (square64(d) >= kOverlapping) continue;
    const Q14 len = length64(d);
    if (len == 0) continue;
    // Along d scaled exactly: a unit vector a step short would leave it short too.
    const Vector2 apart(wrapAdd(o->position.x, static_cast<Q14>(static_cast<int64_t>(d.x) * kApart / len)),
                        wrapAdd(o->position.y, static_cast<Q14>(static_cast<int64_t>(d.y) * kApart / len)));
    // Not into a third ball: a ball wedged between two stays where it is.
    bool wedged = false;
    for (const PhysicalObject* p = list; p && !wedged; p = p->next)
      wedged = p != &ball && p != o && p->type == PhysicalObject::kBall && !p->pocketed &&
               square64(minus(apart, p->position)) < kOverlapping;
    if (!wedged) ball.position = apart;
  }
}

PhysicalObject* PhysicsWorld::listOf(const PhysicalObject& ball) const {
  for (PhysicalObject* o = shadowHead; o; o = o->next)
    if (o == &ball) return shadowHead;
  return ballList;
}

void PhysicsWorld::landOnBalls(PhysicalObject& ball) {
  PhysicalObject* list = listOf(ball);
  const Vector2 u = ball.direction;
  const bool along = ball.speed != 0 && (u.x != 0 || u.y != 0);
  PhysicalObject* met = nullptr;
  // Back along the flight to where it first touches a ball it would land
  // in; going back may reach another ball it flew over, so again.
  for (int32_t round = 0; round < 16; ++round) {
    PhysicalObject* deepest = nullptr;
    int64_t back = 0;
    for (PhysicalObject* o = list; o; o = o->next) {
      if (o == &ball || o->type != PhysicalObject::kBall || o->pocketed || o->airTime != 0) continue;
      const Vector2 w = minus(ball.position, o->position);
      const int64_t ww = square64(w);
      if (ww >= kBallContact) continue;
      int64_t lambda;
      if (along) {
        // |w - lambda u| = 9.0 on the side the ball came from.
        const int64_t wu = dot64(w, u);
        lambda = wu + root64(mul64(wu, wu) - ww + kBallContact);
      } else {
        lambda = -1;  // no flight to go back along: apart along the centres
      }
      if (!deepest || lambda > back) {
        deepest = o;
        back = lambda;
      }
    }
    if (!deepest) break;
    met = deepest;
    if (back < 0) {
      const Vector2 w = minus(ball.position, deepest->position);
      const Q14 len = length64(w);
      const Vector2 n = len != 0 ? unit(w) : Vector2(kQ14One, 0);
      ball.position.set(wrapAdd(deepest->position.x, q14Mul(n.x, kApart)),
                        wrapAdd(deepest->position.y, q14Mul(n.y, kApart)));
    } else {
      const Q14 b = static_cast<Q14>(back + kApartMargin);
      ball.position.set(wrapSub(ball.position.x, q14Mul(u.x, b)), wrapSub(ball.position.y, q14Mul(u.y, b)));
    }
  }
  if (!met) return;
  hook().onContact(&ball, met);
  ballBallResponse(list, ball, *met);
  met->advanced = 1;
}

void PhysicsWorld::lineResponse(PhysicalObject& ball, const PhysicalObject& line) {
  if (ball.speed == 0) return;
  Vector2 v = velocity(ball);
  const Vector2& n = line.normal;
  const int64_t vn = dot64(v, n);
  if (vn <= 0) return;  // moving away from the cushion
  const Q14 c = q14Div(static_cast<Q14>(vn), ball.speed);
  const Q14 f = 16384 - q14Mul(c, 8192);
  v.x = static_cast<Q14>(v.x - mul64(n.x, 2 * vn));
  v.y = static_cast<Q14>(v.y - mul64(n.y, 2 * vn));
  Vector2 side = v;
  side.rotate90();
  v.x = static_cast<Q14>(v.x + mul64(side.x, ball.sideKick));
  v.y = static_cast<Q14>(v.y + mul64(side.y, ball.sideKick));
  ball.sideKick = 0;
  // A kick that would turn the ball back into the cushion sends it along it.
  const int64_t into = dot64(v, n);
  if (into > 0) {
    v.x = static_cast<Q14>(v.x - mul64(n.x, into));
    v.y = static_cast<Q14>(v.y - mul64(n.y, into));
  }
  v.scale(f);
  setVelocity(ball, v);
}

void PhysicsWorld::jawResponse(PhysicalObject& ball, const PhysicalObject& jaw) {
  if (ball.speed == 0) return;
  const Vector2 d = minus(jaw.position, ball.position);
  const Vector2 n = unit(d);
  Vector2 v = velocity(ball);
  const int64_t k = dot64(n, v);
  if (k <= 0) return;  // moving away from the point
  v.x = static_cast<Q14>(v.x - mul64(n.x, 2 * k));
  v.y = static_cast<Q14>(v.y - mul64(n.y, 2 * k));
  v.scale(16384 - q14Div(static_cast<Q14>(k), ball.speed) / 2);
  setVelocity(ball, v);
}

// ---- steps

namespace {

// The search saw the ball in the air over the whole advance to a contact: it
// comes down at the next search, where its rolling is searched too, rather
// than within the advance, where nothing would stop it at a cushion.
void holdLanding(PhysicalObject& o, int32_t t) {
  if (o.airTime > 0 && o.airTime <= t) o.airTime = t + 1;
}

}  // namespace

void PhysicsWorld::physicsStep(PhysicalObject* list, int32_t T) {
  CollisionList& cl = collisions;
  cl.reset();
  for (PhysicalObject* o = list; o; o = o->next) o->advanced = 1;
  int32_t resolved = 0;
  constexpr int32_t kInstantPairs = 64;
  // Touching balls hand a stroke on in one instant, and a pair may meet again
  // in it after a neighbour changed its motion; a pair met this often in one
  // instant takes one unit, so time advances.
  constexpr int32_t kInstantRepeats = 4;
  PhysicalObject* instant[kInstantPairs][2];
  int32_t instantCount = 0;
  while (T >= 1) {
    findEarliestContact(list, T, true, true, true);
    int32_t t = cl.times[0];
    int32_t pick = 0;
    bool due = cl.count > 0 && t <= T;
    if (due && resolved >= kMaxContactsPerStep) {
      ++contactCapHits;
      debugTrace("physics: %d contacts in one step, the rest of %d integrated\n", resolved, T);
      due = false;
    }
    // Of the contacts due now, the first whose pair has not met too often in
    // this instant; when every one has, time moves on by one unit.
    if (due && t == 0) {
      auto met = [&](int32_t e) {
        int32_t n = 0;
        for (int32_t i = 0; i < instantCount; ++i)
          n += (instant[i][0] == cl.pairs[e][0] && instant[i][1] == cl.pairs[e][1]) ||
               (instant[i][0] == cl.pairs[e][1] && instant[i][1] == cl.pairs[e][0]);
        return n;
      };
      pick = -1;
      for (int32_t e = 0; e < cl.count && cl.times[e] == 0 && pick < 0 && instantCount < kInstantPairs; ++e)
        if (met(e) < kInstantRepeats) pick = e;
      if (pick < 0) {
        // Balls pressed together keep meeting: what still closes between
        // touching balls is taken out, and time moves on by a unit with no
        // contact resolved, so that the unit carries no ball into another.
        stopClosing(list);
        for (PhysicalObject* o = list; o; o = o->next) {
          holdLanding(*o, 1);
          o->prepareStep(*this, 1);
          o->integrate(1);
          o->advanced = 1;
        }
        cl.reset();
        instantCount = 0;
        T -= 1;
        continue;
      }
    }
    PhysicalObject* first = cl.pairs[pick][0];
    PhysicalObject* second = cl.pairs[pick][1];
    if (due && t > 0) instantCount = 0;
    for (PhysicalObject* o = list; o; o = o->next) {
      if (due) {
        holdLanding(*o, t);
        o->prepareStep(*this, t);
        o->integrate(t);
      } else {
        o->integrate(T);
        o->update(*this);
      }
      o->advanced = 1;
    }
    if (!due) return;
    ++resolved;
    if (instantCount < kInstantPairs) {
      instant[instantCount][0] = first;
      instant[instantCount][1] = second;
      ++instantCount;
    }
    currentPair[0] = first;
    currentPair[1] = second;
    const uint32_t clustered = resolveContact(list, *first, *second);

    if (cl.subSteps != -1 && --cl.subSteps == 0) {
      cl.reset();
      T -= t;
      continue;
    }
    // Searched again: the pair, balls a full list dropped, and every moving ball
    // (its step is prepared anew for the rest of the time).
    uint32_t group = identityBit(first) | (isBall(second) ? identityBit(second) : 0u) | cl.droppedMask | clustered;
    for (PhysicalObject* o = list; o; o = o->next)
      if (o->isMoving() || o->airTime != 0) group |= identityBit(o);
    cl.groupMask = group;
    cl.droppedMask = 0;
    // Entries of searched balls are stale; the rest move up, their times reduced by t.
    int32_t kept = 0;
    for (int32_t i = 0; i < cl.count; ++i) {
      PhysicalObject* a = cl.pairs[i][0];
      PhysicalObject* b = cl.pairs[i][1];
      if (i == pick || b == first || (identityBit(a) & group) || (isBall(b) && (identityBit(b) & group))) continue;
      cl.times[kept] = cl.times[i] - t;
      cl.fractions[kept] = cl.fractions[i];
      cl.pairs[kept][0] = a;
      cl.pairs[kept][1] = b;
      ++kept;
    }
    for (int32_t i = kept; i < CollisionList::kSize; ++i) cl.times[i] = kNone;
    cl.count = kept;
    T -= t;
  }
}

int32_t PhysicsWorld::previewStep(PhysicalObject* list, int32_t T, bool testCushions) {
  const int32_t t = findEarliestContact(list, T, true, testCushions, false);
  const int64_t left = static_cast<int64_t>(T) - t;
  if (left >= 0 && currentPair[0] && currentPair[1]) {
    for (PhysicalObject* o = list; o; o = o->next) {
      holdLanding(*o, t);
      o->prepareStep(*this, t);
      o->integrate(t);
      o->advanced = 1;
    }
    PhysicalObject* first = currentPair[0];
    PhysicalObject* second = currentPair[1];
    resolveContact(list, *first, *second);
  } else {
    for (PhysicalObject* o = list; o; o = o->next) {
      o->integrate(T);
      o->advanced = 1;
    }
  }
  return static_cast<int32_t>(left < INT32_MIN ? INT32_MIN : left);
}

bool PhysicsWorld::isBallPlacementBlocked(const PhysicalObject& ball) const {
  for (const PhysicalObject* b = ballList; b; b = b->next)
    if (b != &ball && !b->pocketed && ballBallTime(0, ball, *b) == 0) return true;
  for (const PhysicalObject* p = pocketHead; p; p = p->next)
    if (ballPocketTime(0, ball, *p) == 0) return true;
  return false;
}

Q14 PhysicsWorld::frictionRoot(Q14 v, Q14 d) {
  const Q14 w = coarseRoot64(mul64(v, v) + mul64(kFriction, d));
  const Q14 r1 = q14Div(wrapSub(w, v), kFriction);
  const Q14 r2 = q14Div(wrapSub(wrapNeg(w), v), kFriction);
  if (r1 < 0 && r2 < 0) return 0;
  const Q14 r = r1 >= 0 ? r1 : r2;
  return wrapAdd(v, q14Mul(r >> 8, kFriction));
}
