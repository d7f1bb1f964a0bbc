// Contact times, the collision list, responses and the placement test on
// single objects, and contact times against a double-precision model.
#include <cmath>

#include "TableFixture.h"

using pooltest::q;

namespace {

constexpr int32_t kNone = PhysicsWorld::kNoContact;

PhysicalObject* line(pooltest::World& w, double ax, double ay, double bx, double by) {
  auto* l = new PhysicalObject(&w.world, PhysicalObject::kLine);
  l->pointA.set(q(ax), q(ay));
  l->pointB.set(q(bx), q(by));
  l->pointB.subtract(l->direction, l->pointA);
  l->direction.normalise();
  l->normal = l->direction;
  l->normal.rotate90();
  for (PhysicalObject*& slot : w.world.lines)
    if (!slot) {
      slot = l;
      break;
    }
  return l;
}

void move(PhysicalObject* b, double dx, double dy, Q14 speed) {
  b->direction.set(q(dx), q(dy));
  b->direction.normalise();
  b->speed = speed;
  b->advanced = 1;
}

TEST(ContactEdges, TouchingBallsAtRestMeetNothing) {
  pooltest::World w;
  w.ball(0, 50, -100);
  w.ball(1, 59, -100);
  EXPECT_EQ(w.world.findEarliestContact(w.world.ballList, 50, true, true, false), kNone);
  w.world.physicsStepBalls(50);
  EXPECT_TRUE(w.hooks.contacts.empty());
}

TEST(ContactEdges, LineTimes) {
  pooltest::World w;
  // A vertical line at x = 17 whose normal points to -x (off the table).
  PhysicalObject* l = line(w, 17, -143, 17, -33);
  ASSERT_EQ(l->normal.x, -16384);
  struct Case {
    const char* name;
    double x, y, dx, dy;
    int32_t want;
  } cases[] = {
      {"rolling along within 2.0 into it", 18.5, -100, -0.05, 1, 1},
      {"within 2.0 but moving away", 18.5, -100, 0.05, 1, kNone},
      {"within 2.0 beyond the segment", 18.5, -150, -0.05, 1, kNone},
      {"inside the radius, moving in", 20.0, -100, -1, 0, 1},
      {"inside the radius, leaving", 20.0, -100, 1, 0, kNone},
      {"head on from 10.0: half way", 31.5, -100, -1, 0, 25},
      {"misses past the end", 31.5, -20, -1, 0, kNone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PhysicalObject b(nullptr, PhysicalObject::kBall);
    b.position.set(q(c.x), q(c.y));
    move(&b, c.dx, c.dy, q(20.0 * 1024 / 50));  // 20.0 in a step of 50
    b.prepareStep(w.world, 50);
    EXPECT_EQ(PhysicsWorld::ballLineTime(50, b, l->pointA, l->pointB, l->normal), c.want);
  }
}

TEST(ContactEdges, FullListDropsTheLatestAndCountsSubSteps) {
  CollisionList cl;
  cl.reset();
  PhysicalObject a(nullptr, PhysicalObject::kBall), b(nullptr, PhysicalObject::kBall);
  a.identity = 3;
  for (int i = 0; i < 7; ++i) EXPECT_TRUE(cl.insert(10 * (i + 1), &a, &b));
  EXPECT_EQ(cl.subSteps, -1);
  EXPECT_FALSE(cl.insert(80, &a, &b));
  EXPECT_EQ(cl.count, 7);
  EXPECT_EQ(cl.subSteps, 7);
  EXPECT_EQ(cl.times[6], 70);
  EXPECT_EQ(cl.droppedMask, 1u << 3);
  // An earlier one goes in at its place; equal times keep their order.
  PhysicalObject c(nullptr, PhysicalObject::kBall);
  EXPECT_TRUE(cl.insert(30, &c, &b));
  const int32_t want[7] = {10, 20, 30, 30, 40, 50, 60};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(cl.times[i], want[i]) << i;
  EXPECT_EQ(cl.pairs[3][0], &c);
  EXPECT_EQ(cl.subSteps, 7);
}

TEST(ContactEdges, BallBallLosesASixteenthAfterTheBreakOnly) {
  for (int broken = 0; broken < 2; ++broken) {
    pooltest::World w;
    w.world.breakPlayed = static_cast<uint8_t>(broken);
    PhysicalObject* a = w.ball(0, 50, -100);
    PhysicalObject* b = w.ball(1, 59, -100);
    move(a, 1, 0, q(100.0));
    w.world.ballBallResponse(w.world.ballList, *a, *b);
    EXPECT_LE(a->speed, 2) << broken;
    EXPECT_NEAR(b->speed, broken ? q(93.75) : q(100.0), 2) << broken;
    EXPECT_EQ(b->direction.x, 16384);
  }
}

// A ball the contact stops is set apart from a resting ball it overlaps, by
// its place alone, to touching (not a step short) whichever way they lie;
// touching or far, it stays, and wedged between two overlapping ones too;
// either way it gains no speed.
TEST(ContactEdges, SeparationByPlaceOnly) {
  const struct {
    double x, y;   // ball 2's place; the stopped ball ends at (50, -100)
    bool wedged;   // a third ball as far on the other side
    double apart;  // centre distance after the contact
  } cases[] = {{50, -250, false, 150}, {50, -91, false, 9.0},  {50, -91.5, false, 9.0},
               {50, -93, false, 9.0},  {55, -93, false, 9.0},  {50, -91.5, true, 8.5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.x << ", " << c.y << (c.wedged ? " wedged" : ""));
    pooltest::World w;
    // Ball 2 at rest comes first in the list.
    PhysicalObject* other = w.ball(2, c.x, c.y);
    if (c.wedged) w.ball(3, 100 - c.x, -200 - c.y);
    PhysicalObject* a = w.ball(0, 50, -100);
    PhysicalObject* b = w.ball(1, 59, -100);
    move(a, 1, 0, q(100.0));
    w.world.ballBallResponse(w.world.ballList, *a, *b);
    EXPECT_LE(a->speed, 2);
    EXPECT_EQ(a->position.x == q(50), c.x == 50);
    const double apart =
        std::hypot((other->position.x - a->position.x) / 16384.0, (other->position.y - a->position.y) / 16384.0);
    EXPECT_GE(apart, c.apart - 1.0 / 16384);
    EXPECT_LE(apart, c.apart + 5.0 / 16384);  // set apart a hair beyond touching
  }
}

TEST(ContactEdges, CushionAndJawResponses) {
  pooltest::World w;
  PhysicalObject* l = line(w, 30, -20, 139, -20);  // top rail, normal (0, 1)
  ASSERT_EQ(l->normal.y, 16384);
  struct Case {
    const char* name;
    double dx, dy;
    double minKept, maxKept;
  } cases[] = {
      {"head on keeps half", 0, 1, 0.499, 0.501},
      {"grazing keeps nearly all", 1, 0.02, 0.985, 1.0},
      {"leaving is untouched", 0, -1, 1.0, 1.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PhysicalObject b(nullptr, PhysicalObject::kBall);
    b.position.set(q(80), q(-24.5));
    move(&b, c.dx, c.dy, q(200.0));
    const Vector2 before = b.direction;
    PhysicsWorld::lineResponse(b, *l);
    EXPECT_GE(b.speed, q(200.0 * c.minKept) - 2);
    EXPECT_LE(b.speed, q(200.0 * c.maxKept) + 2);
    if (c.dy > 0) {
      EXPECT_LT(b.direction.y, 0);
    }
    if (c.dy < 0) {
      EXPECT_TRUE(b.direction.equals(before));
    }
  }
  // Side kick turns the rebound and is used up.
  PhysicalObject b(nullptr, PhysicalObject::kBall);
  move(&b, 0, 1, q(200.0));
  b.sideKick = 8192;
  PhysicsWorld::lineResponse(b, *l);
  EXPECT_EQ(b.sideKick, 0);
  EXPECT_GT(b.direction.x, 0);
  // A grazing rebound with a full side kick away from the rail leaves at
  // about 477.0: longer than 32-bit squares can measure. The same kick the
  // other way would turn it back into the rail: it runs along it instead.
  for (const Q14 kick : {-17724, 17724}) {
    SCOPED_TRACE(kick);
    PhysicalObject g(nullptr, PhysicalObject::kBall);
    move(&g, 1, 0.001, q(324.0));
    g.sideKick = kick;
    PhysicsWorld::lineResponse(g, *l);
    const double gx = 324.0, gy = kick < 0 ? 324.0 * 17724 / 16384 : 0;
    EXPECT_NEAR(g.speed / 16384.0, std::hypot(gx, gy), 0.5);
    EXPECT_GT(g.direction.x, 0);
    EXPECT_LE(g.direction.y, 0);
  }
  // A jaw hit head on keeps half and comes straight back; a receding ball is untouched.
  PhysicalObject jaw(nullptr, PhysicalObject::kJaw);
  jaw.position.set(q(84.5), q(-100));
  PhysicalObject c(nullptr, PhysicalObject::kBall);
  c.position.set(q(80), q(-100));
  move(&c, 1, 0, q(100.0));
  PhysicsWorld::jawResponse(c, jaw);
  EXPECT_NEAR(c.speed, q(50.0), 4);
  EXPECT_EQ(c.direction.x, -16384);
  PhysicsWorld::jawResponse(c, jaw);
  EXPECT_NEAR(c.speed, q(50.0), 4);
}

TEST(ContactEdges, PlacementBlocked) {
  pooltest::World w;
  w.pocket(14, -17);
  PhysicalObject* cue = w.ball(0, 50, -100);
  PhysicalObject* other = w.ball(1, 50, -150);
  struct Case {
    const char* name;
    double x, y;
    bool otherPocketed;
    bool want;
  } cases[] = {
      {"free", 60, -200, false, false},
      {"7.9 from a pocket centre", 14 + 7.9, -17, false, true},
      {"8.1 from a pocket centre", 14, -17 - 8.1, false, false},
      {"8.9 from a ball", 50, -150 + 8.9, false, true},
      {"9.1 from a ball", 50 + 9.1, -150, false, false},
      {"on a pocketed ball", 50, -150, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cue->position.set(q(c.x), q(c.y));
    other->pocketed = c.otherPocketed;
    EXPECT_EQ(w.world.isBallPlacementBlocked(*cue), c.want);
  }
}

// The capture circle decides alike whether the ball stands or moves: a
// moving ball inside it by a hair is captured whichever way it goes, and
// the step takes it.
TEST(ContactEdges, PocketCircleDecidesAtItsEdge) {
  const struct {
    const char* name;
    double from, dx;  // distance from the pocket's centre (along x), direction of motion
    int32_t want;
  } cases[] = {
      {"7.9988 out, moving away", 7.9988, 1, 1},
      {"7.9988 out, moving across", 7.9988, 0, 1},
      {"7.9988 out, at rest", 7.9988, 2, kNone},
      {"8.0012 out, moving away", 8.0012, 1, kNone},
      {"8.0012 out, moving in", 8.0012, -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    pooltest::World w;
    PhysicalObject* p = w.pocket(14, -17);
    PhysicalObject* b = w.ball(0, 14 + c.from, -17);
    if (c.dx != 2) move(b, c.dx, c.dx == 0 ? 1 : 0, q(20.0));
    b->prepareStep(w.world, 50);
    EXPECT_EQ(PhysicsWorld::ballPocketTime(50, *b, *p), c.want);
    EXPECT_EQ(PhysicsWorld::ballPocketTime(0, *b, *p) == 0, c.from < 8.0);
    w.world.physicsStepBalls(50);
    EXPECT_EQ(b->pocketed != 0, c.want != kNone);
  }
}

// A ball struck into a row of three, touching or up to a gap of 2.0 apart:
// as one event, the same at every such gap, the stroke spreads down the row
// instead of passing on whole to the far ball; momentum is kept, and energy
// does not grow. Beyond that gap the balls meet one pair at a time, and the
// first takes the whole stroke.
TEST(ContactEdges, ClusterTakesTheStrokeAsOneEvent) {
  Q14 touching[4] = {};
  for (const double gap : {0.0, 0.5, 1.9, 2.1}) {
    SCOPED_TRACE(gap);
    pooltest::World w;
    PhysicalObject* row[4];
    for (int n = 0; n < 4; ++n) row[n] = w.ball(n, 40 + n * 9.0 + (n > 1 ? (n - 1) * gap : 0) + n * 2.0 / 16384, -100);
    move(row[0], 1, 0, q(100.0));
    w.world.resolveContact(w.world.ballList, *row[0], *row[1]);
    double energy = 0, momentum = 0;
    for (PhysicalObject* o : row) {
      energy += (o->speed / 16384.0) * (o->speed / 16384.0);
      momentum += o->speed / 16384.0 * o->direction.x / 16384.0;
      EXPECT_EQ(o->direction.y, 0);
    }
    EXPECT_LE(energy, 100.0 * 100.0);
    EXPECT_NEAR(momentum, 100.0, 0.01);

    if (gap < 2.0) {
      EXPECT_GT(row[2]->speed, q(20.0));
      EXPECT_LT(row[3]->speed, q(80.0));
      EXPECT_EQ(w.hooks.contacts.size(), 3u);
      for (int n = 0; n < 4; ++n) {
        if (gap == 0) touching[n] = row[n]->speed;
        EXPECT_EQ(row[n]->speed, touching[n]) << n;
      }
    } else {
      EXPECT_LE(row[0]->speed, 2);
      EXPECT_NEAR(row[1]->speed, q(100.0), 2);
      EXPECT_EQ(row[2]->speed, 0);
      EXPECT_EQ(w.hooks.contacts.size(), 1u);
    }
  }
}

TEST(ContactEdges, FrictionRoot) {
  struct Case {
    Q14 v, d, want;
  } cases[] = {
      {0, 0, 0},
      // w = sqrt(252.0) = 259968; r1 = 5280; 196608 + q14Mul(20, 12.0)
      {196608, 147456, 196848},
      // No real root: both negative.
      {196608, -327680, 0},
      // w = sqrt(48.0) = 113408: r1 = q14Div(113408, 12.0) = 9450, + q14Mul(36, 12.0)
      {0, 65536, 432},
  };
  for (const Case& c : cases) EXPECT_EQ(PhysicsWorld::frictionRoot(c.v, c.d), c.want) << c.v << " " << c.d;
}

// ---- against doubles

// First tau in [0, 1] with |p + v tau - c| = radius, or -1.
double firstTouch(double px, double py, double vx, double vy, double cx, double cy, double radius) {
  const double dx = px - cx, dy = py - cy;
  const double a = vx * vx + vy * vy, b = 2 * (dx * vx + dy * vy), c = dx * dx + dy * dy - radius * radius;
  if (a == 0 || b >= 0) return -1;
  const double disc = b * b - 4 * a * c;
  if (disc < 0) return -1;
  const double tau = (-b - std::sqrt(disc)) / (2 * a);
  return tau >= 0 && tau <= 1 ? tau : -1;
}

TEST(ContactTimes, MatchADoubleModelWithinOneUnit) {
  pooltest::Draws d(11);
  pooltest::World w;
  PhysicalObject* l = line(w, 17, -143, 17, -33);
  int checked[4] = {};
  for (int i = 0; i < 40000; ++i) {
    const int kind = i % 4;  // ball, pocket, jaw, line
    PhysicalObject a(nullptr, PhysicalObject::kBall), b(nullptr, PhysicalObject::kBall);
    const double ax = d.range(20, 80), ay = d.range(-120, -60);
    a.position.set(q(ax), q(ay));
    const double ang = d.range(0, 2 * M_PI), len = d.range(1, 40);
    a.step.set(q(std::cos(ang) * len), q(std::sin(ang) * len));
    const double sx = a.step.x / 16384.0, sy = a.step.y / 16384.0;
    const double px = a.position.x / 16384.0, py = a.position.y / 16384.0;
    const int32_t T = 50;
    double tau = -1;
    int32_t got = kNone;
    if (kind == 0 || kind == 1 || kind == 2) {
      const double radius = kind == 0 ? 9.0 : kind == 1 ? 8.0 : 4.5;
      b.position.set(q(ax + d.range(-40, 40)), q(ay + d.range(-40, 40)));
      const double bx = b.position.x / 16384.0, by = b.position.y / 16384.0;
      if (std::hypot(px - bx, py - by) < radius + 0.05) continue;
      tau = firstTouch(px, py, sx, sy, bx, by, radius);
      got = kind == 0 ? PhysicsWorld::ballBallTime(T, a, b)
            : kind == 1 ? PhysicsWorld::ballPocketTime(T, a, b)
                        : PhysicsWorld::ballPointTime(T, a, b.position);
      // Near-grazing paths may go either way.
      const double along = ((bx - px) * sx + (by - py) * sy) / std::hypot(sx, sy);
      const double miss = std::sqrt(std::fmax(0, (bx - px) * (bx - px) + (by - py) * (by - py) - along * along));
      if (std::fabs(miss - radius) < 0.001) continue;
    } else {
      a.position.x = q(d.range(21.6, 60));
      const double qx = a.position.x / 16384.0;
      if (sx >= 0) continue;
      const double reach = (qx - 4.5 - 17) / -sx;
      const double yAt = py + sy * reach;
      tau = reach <= 1 && yAt > -143 + 0.05 && yAt < -33 - 0.05 ? reach : -1;
      if (std::fabs(yAt + 143) < 0.05 || std::fabs(yAt + 33) < 0.05) continue;
      got = PhysicsWorld::ballLineTime(T, a, l->pointA, l->pointB, l->normal);
    }
    SCOPED_TRACE(::testing::Message() << "kind " << kind << " case " << i);
    if (tau < 0) {
      if (got != kNone) {
        EXPECT_GE(got, T - 1);  // touches only at the very end
      }
      continue;
    }
    ASSERT_NE(got, kNone);
    // Times are truncated: never late, at most one unit early.
    EXPECT_GE(got, tau * T - 1.05);
    EXPECT_LE(got, tau * T + 0.001);
    ++checked[kind];
  }
  for (int k = 0; k < 4; ++k) EXPECT_GT(checked[k], 200) << k;
}

}  // namespace
