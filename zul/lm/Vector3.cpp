#include "zul/lm/Vector3.h"

Q14 Vector3::length() const {
  const Q14 s = lengthSquared();
  return s == 0 ? 0 : sqrtQ14(s);
}

Q14 Vector3::normalize() {
  const Q14 l = length();
  if (l == 0 || l == kQ14One) return l;
  const Q14 r = q14Div(kQ14One, l);
  x = q14Mul(x, r);
  y = q14Mul(y, r);
  z = q14Mul(z, r);
  return l;
}

Q14 Vector3::maxAbsComponent() const {
  Q14 m = absQ14(x);
  if (absQ14(y) > m) m = absQ14(y);
  if (absQ14(z) > m) m = absQ14(z);
  return m;
}

Q14 Vector3::limitMaxComponent() {
  const Q14 m = maxAbsComponent();
  if (m < kQ14One + 1) return m;
  const Q14 r = q14Div(kQ14One, m);
  x = q14Mul(x, r);
  y = q14Mul(y, r);
  z = q14Mul(z, r);
  return m;
}
