// Small geometry helpers of the scene code: a plane through three points, a
// bounding sphere and a point-in-triangle test on the ground (x-z) plane.
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

// The points p with normal . p + d = 0. The normal of a plane made from
// three points is (b - a) x (c - a), not normalised: the value is positive on
// the side from which a, b, c turn counter-clockwise.
struct Plane {
  Vector3 normal;
  int32_t d = 0;

  Plane() = default;
  Plane(const Vector3& a, const Vector3& b, const Vector3& c) { set(a, b, c); }
  // d makes the value 0 at a.
  void set(const Vector3& a, const Vector3& b, const Vector3& c);
  Q14 value(const Vector3& p) const;
};

struct BoundingSphere {
  Vector3 centre;
  Q14 radius = 0;
  Q14 radiusSquared = 0;

  void set(const Vector3& c, Q14 r) {
    centre = c;
    radius = r;
    radiusSquared = q14Mul(r, r);
  }
};

// Whether p lies inside the triangle a, b, c or on its edges, seen from
// above (x and z only), for either winding. The three edges are taken from
// p: p is inside when no two of the turns p-a-b, p-b-c, p-c-a have opposite
// signs. A triangle without area holds no point.
bool pointInTriangleXZ(const Vector3& p, const Vector3& a, const Vector3& b, const Vector3& c);
