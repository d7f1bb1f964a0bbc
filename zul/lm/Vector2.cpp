#include "zul/lm/Vector2.h"

Q14 Vector2::length() const {
  if (x == 0) return absQ14(y);
  if (y == 0) return absQ14(x);
  return sqrtQ14(lengthSquared());
}

Q14 Vector2::normalise() {
  const Q14 l = length();
  if (l == 0 || l == kQ14One) return l;
  x = q14Div(x, l);
  y = q14Div(y, l);
  return l;
}
