#include "zul/lm/Trajectory.h"

#include <cstdlib>

namespace {

constexpr Q14 kTenth = 1638;
constexpr Q14 kTwoOverG = 3343;  // 2 / 9.8
constexpr Q14 kHalfG = 80281;    // 9.8 / 2

void mirrorXZ(Vector3& v) {
  v.x = wrapNeg(v.x);
  v.z = wrapNeg(v.z);
}

// Vector3::length without its 32-bit sum of squares: the same value while
// that sum fits, the root of the 64-bit sum beyond.
Q14 segmentLength(const Vector3& v) {
  const int64_t s = ((int64_t{v.x} * v.x) >> 14) + ((int64_t{v.y} * v.y) >> 14) + ((int64_t{v.z} * v.z) >> 14);
  if (s <= INT32_MAX) return v.length();
  const uint64_t root = isqrt64(static_cast<uint64_t>(s)) << 7;
  return root > INT32_MAX ? INT32_MAX : static_cast<Q14>(root);
}

}  // namespace

void Trajectory::mirror() {
  mirrorXZ(start);
  mirrorXZ(apex);
  mirrorXZ(end);
}

Q14 Trajectory::findParameterForZ(Q14 z, Vector3& out) const {
  // The direction comes from the end against the start, so that paths that
  // do not start at z = 0 are searched the right way.
  const bool falling = end.z <= start.z;
  if (falling) {
    if (z >= end.z && z > start.z) return kBeforeStart;
    if (z < end.z) return kAfterEnd;
  } else {
    if (z <= end.z && z < start.z) return kBeforeStart;
    if (z > end.z) return kAfterEnd;
  }
  Q14 lo = 0, hi = kQ14One, mid = 0;
  for (int i = 0; i < kMaxHalvings; ++i) {
    mid = (lo + hi) >> 1;
    pointAt(out, mid);
    if (std::llabs(int64_t{out.z} - z) < kTenth) return mid;
    if (falling) {
      (out.z > z ? lo : hi) = mid;
    } else {
      (out.z >= z ? hi : lo) = mid;
    }
  }
  return mid;
}

void SplineTrajectory::init(const Vector3& p0, const Vector3& p1, const Vector3& p2, int32_t time) {
  spline.build(p0, p1, p2);
  totalLength = 0;
  for (int k = 0; k < kSegmentCount; ++k) {
    segments[k] = spline.points[k + 1] - spline.points[k];
    lengths[k] = segmentLength(segments[k]);
    totalLength = wrapAdd(totalLength, lengths[k]);
  }
  duration = time;
  start = p0;
  apex = p1;
  end = p2;
  speed = q14Div(totalLength, duration);
  inverseSpeed = q14Div(duration, totalLength);
}

void SplineTrajectory::pointAt(Vector3& out, Q14 t) const {
  const int64_t d = q14Mul(t, totalLength);
  int64_t sum = 0;
  int k = 0;
  // The last segment carries anything past its start (t above 1.0).
  while (k < kSegmentCount - 1 && sum + lengths[k] < d) sum += lengths[k++];
  // (segment * (d - sum)) / length as the Q14 multiply and divide compute
  // it, in wider integers: the product passes 32 bits once segments are
  // longer than about 360 units.
  const Q14 f = static_cast<Q14>(d - sum), length = lengths[k];
  Vector3 offset;
  if (length != 0) {
    auto along = [&](Q14 component) {
      const int64_t product = (int64_t{component} * f) >> 14;
      const __int128 quotient = static_cast<__int128>(product) * (__int128{1} << 28) / length;
      return static_cast<Q14>(static_cast<int64_t>(quotient >> 14));
    };
    offset = Vector3(along(segments[k].x), along(segments[k].y), along(segments[k].z));
  }
  out = spline.points[k] + offset;
}

void SplineTrajectory::endDirection(Vector3& out) const {
  out = spline.points[kSegmentCount] - spline.points[kSegmentCount - 1];
  out.normalize();
}

void SplineTrajectory::mirror() {
  Trajectory::mirror();
  spline.mirror();
  for (Vector3& s : segments) mirrorXZ(s);
}

void ParabolaTrajectory::init(const Vector3& startPoint, const Vector3& velocity, Q14 s) {
  scale = s;
  flightTime = q14Mul(q14Mul(s, velocity.y), kTwoOverG);
  inverseFlightTime = q14Div(kQ14One, flightTime);
  horizontal = Vector3(velocity.x, 0, velocity.z);
  vertical = Vector3(0, velocity.y, 0);
  start = startPoint;
  end = start + horizontal * q14Mul(flightTime, s);
  apex = start + horizontal * q14Mul(flightTime / 2, s);
}

void ParabolaTrajectory::pointAt(Vector3& out, Q14 t) const {
  const Q14 tau = q14Mul(t, flightTime);
  out = start + horizontal * q14Mul(scale, tau);
  out.y = wrapSub(wrapAdd(start.y, q14Mul(q14Mul(vertical.y, scale), tau)), q14Mul(q14Mul(tau, tau), kHalfG));
}

void ParabolaTrajectory::landingDirection(Vector3& out) const { out = horizontal - vertical; }

void ParabolaTrajectory::mirror() {
  Trajectory::mirror();
  mirrorXZ(vertical);
  mirrorXZ(horizontal);
}
