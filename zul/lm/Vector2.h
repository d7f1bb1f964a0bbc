// Two Q14 components; plain value type.
#pragma once

#include "zul/lm/Q14.h"

struct Vector2 {
  Q14 x;
  Q14 y;

  // Leaves both components as they are.
  Vector2() = default;
  constexpr Vector2(Q14 x_, Q14 y_) : x(x_), y(y_) {}

  void set(Q14 x_, Q14 y_) {
    x = x_;
    y = y_;
  }
  Vector2& assign(const Vector2& o) {
    x = o.x;
    y = o.y;
    return *this;
  }
  Vector2& operatorAssign(const Vector2& o) { return assign(o); }
  void copyFrom(const Vector2& o) { assign(o); }
  bool equals(const Vector2& o) const { return x == o.x && y == o.y; }

  Q14 dot(const Vector2& o) const { return wrapAdd(q14Mul(x, o.x), q14Mul(y, o.y)); }
  Q14 lengthSquared() const { return wrapAdd(q14Mul(x, x), q14Mul(y, y)); }
  Q14 length() const;
  // Divides both components by the length (unless it is 0 or 1.0); returns the length.
  Q14 normalise();
  // The length from the exact squares, rounded to the nearest Q14 step.
  Q14 preciseLength() const { return hypotQ14(x, y); }
  // A unit vector to the last bit, never longer than 1.0 (unitQ14); returns
  // the precise length it had.
  Q14 normalisePrecise() {
    const Q14 l = preciseLength();
    unitQ14(x, y);
    return l;
  }

  Vector2& scaled(Vector2& out, Q14 k) const {
    out.x = q14Mul(x, k);
    out.y = q14Mul(y, k);
    return out;
  }
  Vector2& divided(Vector2& out, Q14 k) const {
    out.x = q14Div(x, k);
    out.y = q14Div(y, k);
    return out;
  }
  Vector2& scale(Q14 k) {
    x = q14Mul(x, k);
    y = q14Mul(y, k);
    return *this;
  }
  Vector2& subtract(Vector2& out, const Vector2& o) const {
    out.x = wrapSub(x, o.x);
    out.y = wrapSub(y, o.y);
    return out;
  }
  Vector2& subtractInPlace(const Vector2& o) {
    x = wrapSub(x, o.x);
    y = wrapSub(y, o.y);
    return *this;
  }
  Vector2& addInPlace(const Vector2& o) {
    x = wrapAdd(x, o.x);
    y = wrapAdd(y, o.y);
    return *this;
  }
  // (x, y) becomes (-y, x).
  void rotate90() {
    const Q14 t = x;
    x = wrapNeg(y);
    y = t;
  }
};
