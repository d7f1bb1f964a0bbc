#include "zul/lm/Trajectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "memory/TraceCapture.h"
#include "zul/lm/BezierTrajectory.h"
#include "zul/lm/CubicSpline.h"

namespace {

constexpr Q14 kOne = 16384;

Vector3 units(int x, int y, int z) { return {x * kOne, y * kOne, z * kOne}; }

void expectNear(const Vector3& a, const Vector3& b, int slack, const char* what) {
  EXPECT_LE(std::abs(a.x - b.x), slack) << what << " x " << a.x << " vs " << b.x;
  EXPECT_LE(std::abs(a.y - b.y), slack) << what << " y " << a.y << " vs " << b.y;
  EXPECT_LE(std::abs(a.z - b.z), slack) << what << " z " << a.z << " vs " << b.z;
}

BezierTrajectory quadratic(int steps) {
  BezierTrajectory b;
  b.initQuadratic(units(0, 0, 0), units(10, 20, 5), units(20, 0, -8), steps);
  return b;
}

BezierTrajectory cubic(int steps) {
  BezierTrajectory b;
  b.initCubic(units(-5, 0, 3), units(0, 30, 0), units(40, 30, 10), units(50, 0, 12), steps);
  return b;
}

TEST(BezierTrajectory, EndsAtTheControlPoints) {
  const BezierTrajectory curves[] = {quadratic(10), cubic(10)};
  for (BezierTrajectory b : curves) {
    b.evaluate(0);
    EXPECT_EQ(b.current, b.points[0]);
    b.evaluate(kOne);
    EXPECT_EQ(b.current, b.order == BezierTrajectory::kCubic ? b.points[3] : b.points[2]);
    // Halfway along a quadratic: (P0 + 2 P1 + P2) / 4.
    if (b.order == BezierTrajectory::kQuadratic) {
      b.evaluate(kOne / 2);
      expectNear(b.current, units(10, 10, 0) + Vector3(0, 0, kOne / 2), 2, "midpoint");
    }
  }
}

TEST(BezierTrajectory, StepsForwardAndBackThroughTheSamePoints) {
  const BezierTrajectory curves[] = {quadratic(10), cubic(10), cubic(7)};
  for (BezierTrajectory b : curves) {
    std::vector<Vector3> forward{b.points[0]};
    for (int i = 0; i < b.stepCount; ++i) {
      ASSERT_EQ(b.stepForward(), 0) << i;
      forward.push_back(b.current);
    }
    EXPECT_EQ(b.stepForward(), 1);
    EXPECT_EQ(b.step, b.stepCount);
    EXPECT_EQ(b.current, b.order == BezierTrajectory::kCubic ? b.points[3] : b.points[2]);
    for (int i = b.stepCount - 1; i >= 0; --i) {
      ASSERT_EQ(b.stepBack(), 0) << i;
      EXPECT_EQ(b.current, forward[i]) << i;
    }
    EXPECT_EQ(b.stepBack(), 1);
    EXPECT_EQ(b.step, 0);
  }
}

TEST(BezierTrajectory, NoStepsEvaluatesNothing) {
  BezierTrajectory b = quadratic(0);
  b.current = units(1, 2, 3);
  EXPECT_EQ(b.stepForward(), 1);
  b.step = 1;
  EXPECT_EQ(b.stepBack(), 0);
  EXPECT_EQ(b.current, units(1, 2, 3));
}

TEST(BezierTrajectory, CopyMirrorAndContinue) {
  BezierTrajectory a = cubic(10);
  a.tag = 77;
  a.stepForward();
  BezierTrajectory copy;
  copy = a;
  EXPECT_EQ(copy.tag, 77);
  a.stepForward();
  copy.stepForward();
  EXPECT_EQ(copy.current, a.current);

  BezierTrajectory m = a;
  m.mirror();
  EXPECT_EQ(m.current, Vector3(-a.current.x, a.current.y, -a.current.z));
  EXPECT_EQ(m.points[1], Vector3(-a.points[1].x, a.points[1].y, -a.points[1].z));
  m.mirror();
  EXPECT_EQ(m.current, a.current);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(m.points[i], a.points[i]);

  // The next curve starts where the first ends and repeats its shape.
  const BezierTrajectory curves[] = {quadratic(10), cubic(10)};
  for (BezierTrajectory first : curves) {
    BezierTrajectory next;
    next.continueFrom(first, 5);
    EXPECT_EQ(next.order, first.order);
    EXPECT_EQ(next.stepCount, 5);
    EXPECT_EQ(next.step, 0);
    first.evaluate(kOne);
    next.evaluate(0);
    EXPECT_EQ(next.current, first.current);
    const Vector3 shift = first.points[3] - first.points[0];
    for (Q14 t : {kOne / 4, kOne / 2, kOne}) {
      first.evaluate(t);
      next.evaluate(t);
      expectNear(next.current, first.current + shift, 2, "continued");
    }
  }
}

TEST(Trajectories, AssertionReports) {
  TraceCapture trace;
  BezierTrajectory b = quadratic(4);
  b.computeWeights(-1);
  EXPECT_TRUE(trace.reported(34, "BezierTrajectory"));
  trace.clear();
  b.computeWeights(kOne + 1);
  EXPECT_TRUE(trace.reported(34, "BezierTrajectory"));
  trace.clear();
  b.evaluate(kOne);
  EXPECT_EQ(trace.text, "");

  BezierTrajectory empty;
  Vector3 out = units(1, 1, 1);
  empty.chord(out);
  EXPECT_TRUE(trace.reported(84, "BezierTrajectory"));
  EXPECT_EQ(out, Vector3());

  trace.clear();
  BezierTrajectory raised;
  raised.initQuadratic(units(0, 0, 0), units(1, 1, 0), units(2, 3, 0), 4);  // ends above the ground
  BezierTrajectory next;
  next.continueFrom(raised, 4);
  EXPECT_TRUE(trace.reported(97, "BezierTrajectory"));

  CubicSpline s;
  s.build(units(0, 0, 0), units(1, 0, 0), units(2, 0, 0));
  trace.clear();
  EXPECT_EQ(&s.point(30), &s.points[30]);
  EXPECT_EQ(trace.text, "");
  const struct { int k, expected; } indices[] = {{31, 30}, {1000, 30}, {-1, 0}};
  for (const auto& c : indices) {
    trace.clear();
    EXPECT_EQ(&s.point(c.k), &s.points[c.expected]) << c.k;
    EXPECT_TRUE(trace.reported(41, "CubicSpline")) << c.k;
  }
}

TEST(CubicSpline, TablesAndCoefficients) {
  const CubicSpline s;
  EXPECT_EQ(s.c0, 8192);
  EXPECT_EQ(s.c1, 4681);
  EXPECT_EQ(s.c2, 9557);
  EXPECT_EQ(s.tableT[0], 1092);
  EXPECT_EQ(s.tableT2[0], 72);
  EXPECT_EQ(s.tableT3[0], 4);
  EXPECT_EQ(s.tableT[14], kOne);
  EXPECT_EQ(s.tableT2[14], kOne);
  EXPECT_EQ(s.tableT3[14], kOne);
}

TEST(CubicSpline, EvenlySpacedCollinearPointsStayOnTheLine) {
  const Vector3 steps[] = {units(10, 5, -20), units(0, 0, 3), units(600, -300, 900)};
  for (const Vector3& d : steps) {
    CubicSpline s;
    const Vector3 p0 = units(-7, 2, 1);
    s.build(p0, p0 + d, p0 + d + d);
    for (int k = 0; k < CubicSpline::kPointCount; ++k) {
      // Point k lies k / 30 of the way along: t k / 15 on each segment.
      const Vector3 expected(p0.x + static_cast<Q14>(int64_t{d.x} * k / 15),
                             p0.y + static_cast<Q14>(int64_t{d.y} * k / 15),
                             p0.z + static_cast<Q14>(int64_t{d.z} * k / 15));
      expectNear(s.point(k), expected, 1 + d.maxAbsComponent() / 8192, "collinear");
    }
    Vector3 slope;
    s.derivative(1, kOne / 3, slope);
    expectNear(slope, d, 4 + d.maxAbsComponent() / 65536, "derivative");
  }
}

TEST(CubicSpline, PassesThroughItsPoints) {
  CubicSpline s;
  const Vector3 p0 = units(0, 0, 0), p1 = units(10, 15, -4), p2 = units(30, 0, 2);
  s.build(p0, p1, p2);
  EXPECT_EQ(s.point(0), p0);
  expectNear(s.point(15), p1, 4, "middle");
  expectNear(s.point(30), p2, 4, "end");
}

TEST(SplineTrajectory, TravelsByArcLength) {
  const struct {
    Vector3 p0, p1, p2;
    int32_t duration;
  } cases[] = {
      {units(0, 0, 0), units(10, 8, 0), units(20, 0, 0), 2 * kOne},
      {units(5, 0, -5), units(-40, 25, 30), units(-90, 0, 75), 3 * kOne},
      {units(0, 0, 0), units(6000, 0, 0), units(12000, 0, 0), 10 * kOne},  // segments of 400
  };
  for (const auto& c : cases) {
    SplineTrajectory s;
    EXPECT_EQ(s.getConstant(), 0x3c000);
    s.init(c.p0, c.p1, c.p2, c.duration);
    EXPECT_EQ(s.startPoint(), c.p0);
    EXPECT_EQ(s.apex, c.p1);
    EXPECT_EQ(s.endPoint(), c.p2);
    const Vector3 chord = c.p2 - c.p0;
    if (chord.y == 0 && c.p1.y == 0) {
      // On a straight line the arc length is the distance.
      const int64_t distance = std::llabs(int64_t{chord.x});
      EXPECT_NEAR(s.totalLength, distance, distance / 500 + 256);
    }
    EXPECT_EQ(s.speed, q14Div(s.totalLength, c.duration));
    EXPECT_EQ(s.inverseSpeed, q14Div(c.duration, s.totalLength));

    Vector3 out;
    s.pointAt(out, 0);
    EXPECT_EQ(out, c.p0);
    s.pointAt(out, kOne);
    expectNear(out, s.spline.point(30), 1, "t = 1");
    s.pointAt(out, 3 * kOne / 2);  // past the end: along the last segment
    const Vector3 past = out - s.spline.point(29);
    EXPECT_GT(int64_t{past.x} * s.segments[29].x + int64_t{past.z} * s.segments[29].z, 0);

    // Equal steps of t cover equal distances.
    Vector3 previous;
    s.pointAt(previous, 0);
    const int64_t stepLength = s.totalLength / 8;
    for (int i = 1; i <= 8; ++i) {
      s.pointAt(out, i * kOne / 8);
      const Vector3 d = out - previous;
      const double l = std::sqrt(double(d.x) * d.x + double(d.y) * d.y + double(d.z) * d.z);
      EXPECT_NEAR(l, stepLength, stepLength / 50.0 + 64) << i;
      previous = out;
    }
  }
}

TEST(SplineTrajectory, EndDirectionAndMirror) {
  SplineTrajectory s;
  s.init(units(0, 0, 0), units(10, 0, 0), units(20, 0, 0), kOne);
  Vector3 dir;
  s.endDirection(dir);
  expectNear(dir, Vector3(kOne, 0, 0), 128, "end direction");  // lengths are rounded to 128

  SplineTrajectory m = s;
  m.mirror();
  EXPECT_EQ(m.endPoint(), Vector3(-s.endPoint().x, 0, 0));
  Vector3 a, b;
  m.pointAt(a, kOne / 3);
  s.pointAt(b, kOne / 3);
  expectNear(a, Vector3(-b.x, b.y, -b.z), 4, "mirrored");  // products round down on both sides
  m.mirror();
  m.pointAt(a, kOne / 3);
  EXPECT_EQ(a, b);
}

TEST(ParabolaTrajectory, LandsAtItsStartHeight) {
  const struct {
    Vector3 start, velocity;
    Q14 scale;
  } cases[] = {
      {units(0, 0, 0), units(3, 10, 4), kOne},
      {units(5, 2, -3), units(-6, 4, 1), kOne / 2},
      {units(0, 10, 0), units(1, 20, 0), 2 * kOne},
  };
  for (const auto& c : cases) {
    ParabolaTrajectory p;
    p.init(c.start, c.velocity, c.scale);
    Vector3 out;
    p.pointAt(out, 0);
    EXPECT_EQ(out, c.start);
    p.pointAt(out, kOne);
    EXPECT_NEAR(out.y, c.start.y, kOne / 10);  // 2 / g and g / 2 are truncated
    EXPECT_EQ(out.x, p.endPoint().x);
    EXPECT_EQ(out.z, p.endPoint().z);
    Vector3 top;
    p.pointAt(top, kOne / 2);
    EXPECT_NEAR(top.x, p.apex.x, 2);
    EXPECT_NEAR(top.z, p.apex.z, 2);
    for (Q14 t : {kOne / 4, 7 * kOne / 16, 9 * kOne / 16, 3 * kOne / 4}) {
      p.pointAt(out, t);
      EXPECT_LT(out.y, top.y) << t;
    }
    Vector3 landing;
    p.endDirection(landing);
    EXPECT_EQ(landing, Vector3(c.velocity.x, -c.velocity.y, c.velocity.z));

    ParabolaTrajectory m = p;
    m.mirror();
    m.pointAt(out, kOne / 4);
    p.pointAt(top, kOne / 4);
    EXPECT_EQ(out, Vector3(-top.x, top.y, -top.z));
    m.mirror();
    m.pointAt(out, kOne / 4);
    EXPECT_EQ(out, top);
  }
}

// A straight path (or a jump halfway) that counts its evaluations.
struct CountingPath : Trajectory {
  bool jump = false;
  mutable int calls = 0;
  CountingPath(Q14 z0, Q14 z1) {
    start = Vector3(0, 0, z0);
    end = Vector3(0, 0, z1);
  }
  void pointAt(Vector3& out, Q14 t) const override {
    ++calls;
    const Q14 f = jump ? (t >= kOne / 2 ? kOne : 0) : t;
    out = Vector3(0, 0, q14Lerp(start.z, end.z, f));
  }
  void endDirection(Vector3& out) const override { out = end - start; }
  Q14 getConstant() const override { return 0; }
};

TEST(Trajectory, FindParameterForZ) {
  const struct {
    Q14 z0, z1, z;
    Q14 result;  // 0: found by bisection
  } cases[] = {
      {0, 20 * kOne, 25 * kOne, Trajectory::kAfterEnd},
      {0, 20 * kOne, -kOne, Trajectory::kBeforeStart},
      {0, -20 * kOne, -25 * kOne, Trajectory::kAfterEnd},
      {0, -20 * kOne, kOne, Trajectory::kBeforeStart},
      {0, 20 * kOne, 7 * kOne, 0},
      {0, 20 * kOne, 20 * kOne, 0},
      {0, -20 * kOne, -13 * kOne, 0},
      {0, -20 * kOne, 0, 0},
      {-30 * kOne, -10 * kOne, -17 * kOne, 0},  // rising below zero
      {30 * kOne, 10 * kOne, 12 * kOne, 0},     // falling above zero
      {-30 * kOne, -10 * kOne, -5 * kOne, Trajectory::kAfterEnd},
  };
  for (const auto& c : cases) {
    CountingPath path(c.z0, c.z1);
    Vector3 out(1, 2, 3);
    const Q14 t = path.findParameterForZ(c.z, out);
    if (c.result != 0) {
      EXPECT_EQ(t, c.result) << c.z;
      EXPECT_EQ(path.calls, 0) << c.z;
      EXPECT_EQ(out, Vector3(1, 2, 3));
    } else {
      EXPECT_GE(t, 0);
      EXPECT_LE(t, kOne);
      EXPECT_LT(std::abs(out.z - c.z), 1638) << c.z;
      Vector3 at;
      path.pointAt(at, t);
      EXPECT_EQ(at, out);
    }
  }

  // Never within 0.1: ends after the halving limit on the last midpoint.
  CountingPath jump(0, 20 * kOne);
  jump.jump = true;
  Vector3 out;
  const Q14 t = jump.findParameterForZ(10 * kOne, out);
  EXPECT_EQ(jump.calls, Trajectory::kMaxHalvings);
  EXPECT_NEAR(t, kOne / 2, 2);
}

TEST(Trajectory, FindsZOnRealCurves) {
  SplineTrajectory s;
  s.init(units(0, 0, 0), units(5, 10, 15), units(0, 0, 30), kOne);
  ParabolaTrajectory p;
  p.init(units(0, 0, 0), units(0, 10, -6), kOne);
  const Trajectory* paths[] = {&s, &p};
  for (const Trajectory* path : paths) {
    for (int i = 1; i < 8; ++i) {
      const Q14 z = static_cast<Q14>(int64_t{path->endPoint().z} * i / 8);
      Vector3 out;
      const Q14 t = path->findParameterForZ(z, out);
      EXPECT_GT(t, 0);
      EXPECT_LT(t, kOne);
      EXPECT_LT(std::abs(out.z - z), 1638) << i;
    }
  }
}

}  // namespace
