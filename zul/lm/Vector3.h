// Three Q14 components; plain value type.
#pragma once

#include "zul/lm/Q14.h"

struct Vector3 {
  Q14 x = 0;
  Q14 y = 0;
  Q14 z = 0;

  constexpr Vector3() = default;
  constexpr Vector3(Q14 x_, Q14 y_, Q14 z_) : x(x_), y(y_), z(z_) {}

  Vector3 operator-(const Vector3& o) const { return {wrapSub(x, o.x), wrapSub(y, o.y), wrapSub(z, o.z)}; }
  Vector3 operator+(const Vector3& o) const { return {wrapAdd(x, o.x), wrapAdd(y, o.y), wrapAdd(z, o.z)}; }
  Vector3& operator+=(const Vector3& o) {
    x = wrapAdd(x, o.x);
    y = wrapAdd(y, o.y);
    z = wrapAdd(z, o.z);
    return *this;
  }
  Vector3& operator*=(Q14 k) {
    x = q14Mul(x, k);
    y = q14Mul(y, k);
    z = q14Mul(z, k);
    return *this;
  }
  Vector3 operator*(Q14 k) const { return {q14Mul(x, k), q14Mul(y, k), q14Mul(z, k)}; }
  Vector3 operator/(Q14 k) const { return {q14Div(x, k), q14Div(y, k), q14Div(z, k)}; }
  bool operator==(const Vector3&) const = default;

  Q14 dot(const Vector3& o) const { return wrapAdd(wrapAdd(q14Mul(x, o.x), q14Mul(y, o.y)), q14Mul(z, o.z)); }
  Vector3 cross(const Vector3& o) const {
    return {wrapSub(q14Mul(y, o.z), q14Mul(z, o.y)), wrapSub(q14Mul(z, o.x), q14Mul(x, o.z)),
            wrapSub(q14Mul(x, o.y), q14Mul(y, o.x))};
  }
  Q14 lengthSquared() const { return dot(*this); }
  Q14 length() const;
  // Multiplies by the reciprocal of the length (unless it is 0 or 1.0); returns the length.
  Q14 normalize();
  Q14 maxAbsComponent() const;
  // Scales so that no component exceeds 1.0 in size; returns the largest component before.
  Q14 limitMaxComponent();
};
