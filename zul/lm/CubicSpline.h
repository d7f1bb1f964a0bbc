// Interpolating cubic spline through three points (two segments), sampled
// into 31 points: 15 steps per segment.
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class CubicSpline {
 public:
  static constexpr int kPointCount = 31;
  static constexpr int kStepsPerSegment = 15;

  // Solver coefficients and the t, t^2, t^3 tables.
  CubicSpline();

  // Tangents with free ends, the coefficients of both segments per axis, then
  // the 31 points: P0, 15 samples of segment 0, 15 of segment 1.
  void build(const Vector3& p0, const Vector3& p1, const Vector3& p2);
  // Point k; an index outside 0..30 is reported and gives the nearest end.
  const Vector3& point(int k) const;
  // Derivative of a segment (0 or 1; others clamp) at t in [0, 1.0].
  void derivative(int segment, Q14 t, Vector3& out) const;
  // Negates x and z of the points.
  void mirror();

  Q14 c0, c1, c2;
  Q14 tangents[6] = {};            // g0, g1, g2, m0, m1, m2 of the last axis built
  Q14 coefficients[3][2][4] = {};  // axis, segment, a b c d
  Vector3 points[kPointCount];
  Q14 tableT[kStepsPerSegment], tableT2[kStepsPerSegment], tableT3[kStepsPerSegment];
};
