#include "zul/3d/Geometry.h"

namespace {

// Sign of twice the signed area of o, u, v on the x-z plane. The edges need
// 33 bits, so their products are taken in 128.
int turn(const Vector3& o, const Vector3& u, const Vector3& v) {
  const __int128 ux = int64_t{u.x} - o.x, uz = int64_t{u.z} - o.z;
  const __int128 vx = int64_t{v.x} - o.x, vz = int64_t{v.z} - o.z;
  const __int128 area = ux * vz - uz * vx;
  return (area > 0) - (area < 0);
}

}  // namespace

void Plane::set(const Vector3& a, const Vector3& b, const Vector3& c) {
  auto M = q14Mul;
  normal.x = wrapAdd(wrapAdd(M(a.y, wrapSub(b.z, c.z)), M(b.y, wrapSub(c.z, a.z))), M(c.y, wrapSub(a.z, b.z)));
  normal.y = wrapAdd(wrapAdd(M(a.z, wrapSub(b.x, c.x)), M(b.z, wrapSub(c.x, a.x))), M(c.z, wrapSub(a.x, b.x)));
  normal.z = wrapAdd(wrapAdd(M(a.x, wrapSub(b.y, c.y)), M(b.x, wrapSub(c.y, a.y))), M(c.x, wrapSub(a.y, b.y)));
  d = 0;
  d = wrapNeg(value(a));
}

Q14 Plane::value(const Vector3& p) const {
  return wrapAdd(wrapAdd(wrapAdd(q14Mul(p.x, normal.x), q14Mul(p.y, normal.y)), q14Mul(p.z, normal.z)), d);
}

bool pointInTriangleXZ(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c) {
  if (turn(a, b, c) == 0) return false;
  const int s1 = turn(p, a, b), s2 = turn(p, b, c), s3 = turn(p, c, a);
  const bool negative = s1 < 0 || s2 < 0 || s3 < 0, positive = s1 > 0 || s2 > 0 || s3 > 0;
  return !(negative && positive);
}
