#include "zul/lm/BezierTrajectory.h"

#include "zul/memory/Debug.h"

namespace {

constexpr const char* kSource = "BezierTrajectory";

Vector3 mirrored(const Vector3& v) { return {wrapNeg(v.x), v.y, wrapNeg(v.z)}; }

}  // namespace

void BezierTrajectory::initQuadratic(const Vector3& p0, const Vector3& p1, const Vector3& p2, int32_t steps) {
  initCubic(p0, p1, p2, p2, steps);
  order = kQuadratic;
}

void BezierTrajectory::initCubic(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3,
                                 int32_t steps) {
  points[0] = p0;
  points[1] = p1;
  points[2] = p2;
  points[3] = p3;
  stepCount = steps;
  step = 0;
  order = kCubic;
}

void BezierTrajectory::computeWeights(Q14 t) {
  KV_CHECK(t >= 0 && t <= kQ14One, 34, kSource);
  const Q14 u = wrapSub(kQ14One, t);
  if (order == kCubic) {
    const Q14 uu = q14Mul(u, u);
    weights[0] = q14Mul(uu, u);
    weights[1] = q14Mul(wrapMul(3, t), uu);
    weights[2] = q14Mul(q14Mul(wrapMul(3, t), t), u);
    weights[3] = q14Mul(q14Mul(t, t), t);
  } else if (order == kQuadratic) {
    weights[0] = q14Mul(u, u);
    weights[1] = q14Mul(wrapMul(2, t), u);
    weights[2] = q14Mul(t, t);
  }
}

void BezierTrajectory::evaluate(Q14 t) {
  computeWeights(t);
  Vector3 p = points[0] * weights[0];
  p += points[1] * weights[1];
  p += points[2] * weights[2];
  if (order == kCubic) p += points[3] * weights[3];
  current = p;
}

void BezierTrajectory::evaluateStep() {
  if (stepCount == 0) return;  // no parameter for a curve without steps
  evaluate(static_cast<Q14>(int64_t{step} * kQ14One / stepCount));
}

int BezierTrajectory::stepForward() {
  if (step >= stepCount) return 1;
  ++step;
  evaluateStep();
  return 0;
}

int BezierTrajectory::stepBack() {
  if (step < 1) return 1;
  --step;
  evaluateStep();
  return 0;
}

void BezierTrajectory::chord(Vector3& out) const {
  KV_CHECK(order == kQuadratic || order == kCubic, 84, kSource);
  if (order == kQuadratic) {
    out = points[2] - points[0];
  } else if (order == kCubic) {
    out = points[3] - points[0];
  } else {
    out = Vector3();
  }
}

void BezierTrajectory::continueFrom(const BezierTrajectory& other, int32_t steps) {
  const Vector3 base(other.points[0].x, 0, other.points[0].z);
  const Vector3 d = other.points[3] - base;
  KV_CHECK(d.y == 0, 97, kSource);
  const Vector3 p0 = base + d, p1 = other.points[1] + d, p2 = other.points[2] + d, p3 = other.points[3] + d;
  if (other.order == kQuadratic) {
    initQuadratic(p0, p1, p2, steps);
  } else {
    initCubic(p0, p1, p2, p3, steps);
    order = other.order;
  }
}

void BezierTrajectory::mirror() {
  current = mirrored(current);
  for (Vector3& p : points) p = mirrored(p);
}
