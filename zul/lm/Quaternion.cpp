#include "zul/lm/Quaternion.h"

#include "zul/lm/Matrix34.h"

void Quaternion::toMatrix(Matrix34& mat) const {
  auto M = q14Mul;
  const Q14 xx = M(x, x), xy = M(x, y), xz = M(x, z), xw = M(x, w), yy = M(y, y), yz = M(y, z), yw = M(y, w),
            zz = M(z, z), zw = M(z, w), ww = M(w, w);
  Q14* e = mat.m;
  e[0] = wrapSub(wrapSub(wrapAdd(ww, xx), yy), zz);
  e[4] = wrapSub(wrapAdd(wrapSub(ww, xx), yy), zz);
  e[8] = wrapAdd(wrapSub(wrapSub(ww, xx), yy), zz);
  e[3] = wrapMul(2, wrapSub(xy, zw));
  e[6] = wrapMul(2, wrapAdd(xz, yw));
  e[1] = wrapMul(2, wrapAdd(xy, zw));
  e[7] = wrapMul(2, wrapSub(yz, xw));
  e[2] = wrapMul(2, wrapSub(xz, yw));
  e[5] = wrapMul(2, wrapAdd(yz, xw));
  e[9] = e[10] = e[11] = 0;
}

Q14 Quaternion::length() const {
  const Q14 s = wrapAdd(wrapAdd(q14Mul(x, x), q14Mul(y, y)), wrapAdd(q14Mul(z, z), q14Mul(w, w)));
  return s == 0 ? 0 : sqrtQ14(s);
}

void Quaternion::normalise() {
  const Q14 l = length();
  if (l == 0 || l == kQ14One) return;
  const Q14 r = q14Recip(l);
  x = q14Mul(x, r);
  y = q14Mul(y, r);
  z = q14Mul(z, r);
  w = q14Mul(w, r);
}

Quaternion& Quaternion::nlerp(Quaternion& out, const Quaternion& a, const Quaternion& b, Q14 t) {
  if (t == 0) return out = a;
  if (t == kQ14One) return out = b;
  const Q14 d = wrapAdd(wrapAdd(q14Mul(a.x, b.x), q14Mul(a.y, b.y)), wrapAdd(q14Mul(a.z, b.z), q14Mul(a.w, b.w)));
  const Q14 tb = d < 0 ? wrapNeg(t) : t;
  const Q14 ta = wrapSub(kQ14One, t);
  Quaternion r;
  r.x = wrapAdd(q14Mul(ta, a.x), q14Mul(tb, b.x));
  r.y = wrapAdd(q14Mul(ta, a.y), q14Mul(tb, b.y));
  r.z = wrapAdd(q14Mul(ta, a.z), q14Mul(tb, b.z));
  r.w = wrapAdd(q14Mul(ta, a.w), q14Mul(tb, b.w));
  r.normalise();
  return out = r;
}

Quaternion& Quaternion::nlerpPacked(Quaternion& out, const PackedQuaternion& a, const PackedQuaternion& b, Q14 t) {
  if (t == 0 || t == kQ14One) {
    const PackedQuaternion& s = t == 0 ? a : b;
    out = Quaternion(s.x >> 1, s.y >> 1, s.z >> 1, s.w >> 1);
    return out;
  }
  const int32_t d = wrapAdd(wrapAdd(a.x * b.x, a.y * b.y), wrapAdd(a.z * b.z, a.w * b.w));
  const int32_t tb = d < 0 ? wrapNeg(t) : t;
  const int32_t ta = wrapSub(kQ14One, t);
  auto mix = [&](int32_t ca, int32_t cb) { return wrapAdd(wrapMul(ta, ca), wrapMul(tb, cb)) >> 15; };
  Quaternion r(mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w));
  r.normalise();
  return out = r;
}
