// A quadratic or cubic Bezier curve in Q14, stepped over a fixed number of
// steps.
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class BezierTrajectory {
 public:
  static constexpr int32_t kQuadratic = 3;
  static constexpr int32_t kCubic = 4;

  // P3 = P2.
  void initQuadratic(const Vector3& p0, const Vector3& p1, const Vector3& p2, int32_t steps);
  void initCubic(const Vector3& p0, const Vector3& p1, const Vector3& p2, const Vector3& p3, int32_t steps);

  // Bernstein weights for t in [0, 1.0]; another order leaves them as they are.
  void computeWeights(Q14 t);
  // current = the curve at t.
  void evaluate(Q14 t);
  // Moves one step towards the end (stepForward) or the start (stepBack) and
  // evaluates the curve there; 1 when already at that end, else 0.
  int stepForward();
  int stepBack();
  // End point minus start point.
  void chord(Vector3& out) const;
  // The other curve's shape again, starting where it ends: its points moved
  // by (its P3 - (its P0.x, 0, its P0.z)).
  void continueFrom(const BezierTrajectory& other, int32_t steps);
  // Negates x and z of the current point and of the control points.
  void mirror();

  int32_t tag = 0;  // free for the owner; copied with the curve
  int32_t step = 0;
  int32_t stepCount = 0;
  Vector3 current;
  Q14 weights[4] = {};
  Vector3 points[4];  // P0 to P3
  int32_t order = 0;

 private:
  void evaluateStep();
};
