#include "zul/lm/Matrix34.h"

#include "zul/lm/Quaternion.h"

namespace {

Q14 sum3(Q14 a, Q14 b, Q14 c) { return wrapAdd(wrapAdd(a, b), c); }

void clear(Matrix34& t) {
  for (Q14& e : t.m) e = 0;
}

}  // namespace

void Matrix34::setIdentity() { setScale(kQ14One, kQ14One, kQ14One); }

void Matrix34::setScale(Q14 sx, Q14 sy, Q14 sz) {
  clear(*this);
  m[0] = sx;
  m[4] = sy;
  m[8] = sz;
}

void Matrix34::setTranslation(Q14 x, Q14 y, Q14 z) {
  setIdentity();
  m[9] = x;
  m[10] = y;
  m[11] = z;
}

void Matrix34::setRotationX(Q14 deg) {
  const int32_t u = q14DegreesToUnits(deg);
  const Q14 s = sinQ14(u), c = cosQ14(u);
  clear(*this);
  m[0] = kQ14One;
  m[4] = c;
  m[8] = c;
  m[5] = s;
  m[7] = -s;
}

void Matrix34::setRotationY(Q14 deg) {
  const int32_t u = q14DegreesToUnits(deg);
  const Q14 s = sinQ14(u), c = cosQ14(u);
  clear(*this);
  m[4] = kQ14One;
  m[0] = c;
  m[8] = c;
  m[6] = s;
  m[2] = -s;
}

void Matrix34::setRotationZ(Q14 deg) {
  const int32_t u = q14DegreesToUnits(deg);
  const Q14 s = sinQ14(u), c = cosQ14(u);
  clear(*this);
  m[8] = kQ14One;
  m[0] = c;
  m[4] = c;
  m[1] = s;
  m[3] = -s;
}

void Matrix34::rotateX(Q14 deg) {
  Matrix34 r;
  r.setRotationX(deg);
  *this = *this * r;
}

void Matrix34::rotateY(Q14 deg) {
  Matrix34 r;
  r.setRotationY(deg);
  *this = *this * r;
}

void Matrix34::rotateZ(Q14 deg) {
  Matrix34 r;
  r.setRotationZ(deg);
  *this = *this * r;
}

void Matrix34::setRotationXYZ(Q14 a, Q14 b, Q14 c) {
  Matrix34 rx, ry, rz;
  rx.setRotationX(a);
  ry.setRotationY(b);
  rz.setRotationZ(c);
  *this = (rx * ry) * rz;
}

void Matrix34::setAxisRotation(Q14 deg, Q14 ax, Q14 ay, Q14 az) {
  Vector3 axis(ax, ay, az);
  axis.normalize();
  const Q14 x = axis.x, y = axis.y, z = axis.z;
  const int32_t u = q14DegreesToUnits(deg);
  const Q14 s = sinQ14(u), c = cosQ14(u);
  const Q14 t = wrapSub(kQ14One, c);
  auto M = q14Mul;
  m[0] = wrapAdd(c, M(t, M(x, x)));
  m[1] = wrapAdd(M(M(t, x), y), M(z, s));
  m[2] = wrapSub(M(M(t, x), z), M(y, s));
  m[3] = wrapSub(M(t, M(x, y)), M(z, s));
  m[4] = wrapAdd(c, M(M(t, y), y));
  m[5] = wrapAdd(M(M(t, y), z), M(x, s));
  m[6] = wrapAdd(M(M(t, x), z), M(y, s));
  m[7] = wrapSub(M(M(t, y), z), M(x, s));
  m[8] = wrapAdd(c, M(M(t, z), z));
  m[9] = m[10] = m[11] = 0;
}

Matrix34 Matrix34::operator*(const Matrix34& o) const {
  Matrix34 r;
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      r.m[row + 3 * col] = sum3(q14Mul(m[row], o.m[3 * col]), q14Mul(m[row + 3], o.m[1 + 3 * col]),
                                q14Mul(m[row + 6], o.m[2 + 3 * col]));
    }
    r.m[9 + row] = wrapAdd(
        sum3(q14Mul(m[row], o.m[9]), q14Mul(m[row + 3], o.m[10]), q14Mul(m[row + 6], o.m[11])), m[9 + row]);
  }
  return r;
}

Matrix34& Matrix34::inverse(Matrix34& out) const {
  auto M = q14Mul;
  const Q14 e0 = m[0], e1 = m[1], e2 = m[2], e3 = m[3], e4 = m[4], e5 = m[5], e6 = m[6], e7 = m[7],
            e8 = m[8], e9 = m[9], e10 = m[10], e11 = m[11];
  const Q14 c0 = wrapSub(M(e4, e8), M(e7, e5));
  const Q14 c1 = wrapSub(M(e7, e2), M(e1, e8));
  const Q14 c2 = wrapSub(M(e1, e5), M(e4, e2));
  const Q14 det = sum3(M(e0, c0), M(e3, c1), M(e6, c2));
  const Q14 r = q14Recip(det);
  Matrix34 t;
  t.m[0] = M(c0, r);
  t.m[3] = M(wrapSub(M(e6, e5), M(e3, e8)), r);
  t.m[6] = M(wrapSub(M(e3, e7), M(e6, e4)), r);
  t.m[1] = M(c1, r);
  t.m[4] = M(wrapSub(M(e0, e8), M(e6, e2)), r);
  t.m[7] = M(wrapSub(M(e6, e1), M(e0, e7)), r);
  t.m[2] = M(c2, r);
  t.m[5] = M(wrapSub(M(e3, e2), M(e0, e5)), r);
  t.m[8] = M(wrapSub(M(e0, e4), M(e3, e1)), r);
  t.m[9] = wrapNeg(sum3(M(e9, t.m[0]), M(e10, t.m[3]), M(e11, t.m[6])));
  t.m[10] = wrapNeg(sum3(M(e9, t.m[1]), M(e10, t.m[4]), M(e11, t.m[7])));
  t.m[11] = wrapNeg(sum3(M(e9, t.m[2]), M(e10, t.m[5]), M(e11, t.m[8])));
  out = t;
  return out;
}

void Matrix34::setFromQuaternion(const Quaternion& q, const Vector3& t) {
  q.toMatrix(*this);
  m[9] = t.x;
  m[10] = t.y;
  m[11] = t.z;
}
