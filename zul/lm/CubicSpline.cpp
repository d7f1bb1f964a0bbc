#include "zul/lm/CubicSpline.h"

#include "zul/memory/Debug.h"

namespace {

constexpr const char* kSource = "CubicSpline";

Q14 toQ14(double v) { return static_cast<Q14>(v * kQ14One); }

Q14& axis(Vector3& v, int a) { return a == 0 ? v.x : a == 1 ? v.y : v.z; }
Q14 axis(const Vector3& v, int a) { return a == 0 ? v.x : a == 1 ? v.y : v.z; }

}  // namespace

CubicSpline::CubicSpline() {
  const double f0 = 0.5, f1 = 1.0 / (4.0 - f0), f2 = 1.0 / (2.0 - f1);
  c0 = toQ14(f0);
  c1 = toQ14(f1);
  c2 = toQ14(f2);
  for (int i = 0; i < kStepsPerSegment; ++i) {
    const double t = (i + 1) / 15.0;
    tableT[i] = toQ14(t);
    tableT2[i] = toQ14(t * t);
    tableT3[i] = toQ14(t * t * t);
  }
}

void CubicSpline::build(const Vector3& p0, const Vector3& p1, const Vector3& p2) {
  for (int a = 0; a < 3; ++a) {
    const Q14 v0 = axis(p0, a), v1 = axis(p1, a), v2 = axis(p2, a);
    const Q14 d10 = wrapSub(v1, v0), d21 = wrapSub(v2, v1);
    Q14* t = tangents;
    t[0] = q14Mul(wrapMul(3, d10), c0);
    t[1] = q14Mul(wrapSub(wrapMul(3, wrapSub(v2, v0)), t[0]), c1);
    t[2] = q14Mul(wrapSub(wrapMul(3, d21), t[1]), c2);
    t[5] = t[2];
    t[4] = wrapSub(t[1], q14Mul(c1, t[5]));
    t[3] = wrapSub(t[0], q14Mul(c0, t[4]));
    const Q14 m0 = t[3], m1 = t[4], m2 = t[5];
    Q14* s0 = coefficients[a][0];
    s0[0] = wrapAdd(wrapAdd(wrapMul(-2, d10), m0), m1);
    s0[1] = wrapSub(wrapSub(wrapMul(3, d10), wrapMul(2, m0)), m1);
    s0[2] = m0;
    s0[3] = v0;
    Q14* s1 = coefficients[a][1];
    s1[0] = wrapAdd(wrapAdd(wrapMul(-2, d21), m1), m2);
    s1[1] = wrapSub(wrapSub(wrapMul(3, d21), wrapMul(2, m1)), m2);
    s1[2] = m1;
    s1[3] = v1;
  }
  points[0] = p0;
  for (int s = 0; s < 2; ++s) {
    for (int i = 0; i < kStepsPerSegment; ++i) {
      Vector3& p = points[1 + s * kStepsPerSegment + i];
      for (int a = 0; a < 3; ++a) {
        const Q14* c = coefficients[a][s];
        axis(p, a) = wrapAdd(
            wrapAdd(wrapAdd(q14Mul(c[0], tableT3[i]), q14Mul(c[1], tableT2[i])), q14Mul(c[2], tableT[i])), c[3]);
      }
    }
  }
}

const Vector3& CubicSpline::point(int k) const {
  if (!KV_CHECK(k >= 0 && k < kPointCount, 41, kSource)) return points[k < 0 ? 0 : kPointCount - 1];
  return points[k];
}

void CubicSpline::derivative(int segment, Q14 t, Vector3& out) const {
  const int s = segment <= 0 ? 0 : 1;
  const Q14 tt = q14Mul(t, t);
  for (int a = 0; a < 3; ++a) {
    const Q14* c = coefficients[a][s];
    axis(out, a) = wrapAdd(wrapAdd(q14Mul(c[0], wrapMul(3, tt)), q14Mul(c[1], wrapMul(2, t))), c[2]);
  }
}

void CubicSpline::mirror() {
  for (Vector3& p : points) {
    p.x = wrapNeg(p.x);
    p.z = wrapNeg(p.z);
  }
}
