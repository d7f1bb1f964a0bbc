// Rotation quaternion of Q14 components (w last).
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"

struct Matrix34;

// Packed form: four signed 16-bit components, 1.0 = 32768.
struct PackedQuaternion {
  int16_t x, y, z, w;
};

struct Quaternion {
  Q14 x = 0;
  Q14 y = 0;
  Q14 z = 0;
  Q14 w = 0;

  constexpr Quaternion() = default;
  constexpr Quaternion(Q14 x_, Q14 y_, Q14 z_, Q14 w_) : x(x_), y(y_), z(z_), w(w_) {}
  bool operator==(const Quaternion&) const = default;

  // Rotation into the 3x3 part of m; translation 0.
  void toMatrix(Matrix34& m) const;
  Q14 length() const;
  void normalise();

  // Normalised linear interpolation along the shorter arc; t in Q14 from 0 to 1.0.
  static Quaternion& nlerp(Quaternion& out, const Quaternion& a, const Quaternion& b, Q14 t);
  static Quaternion& nlerpPacked(Quaternion& out, const PackedQuaternion& a, const PackedQuaternion& b, Q14 t);
};
