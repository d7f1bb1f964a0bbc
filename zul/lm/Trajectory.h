// Paths of a point through space in Q14, parameterised by t in [0, 1.0]: the
// base with its start, apex and end points, a spline travelled at constant
// speed by arc length, and a ballistic arc.
#pragma once

#include <cstdint>

#include "zul/lm/CubicSpline.h"
#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class Trajectory {
 public:
  static constexpr Q14 kBeforeStart = -kQ14One;
  static constexpr Q14 kAfterEnd = 2 * kQ14One;
  // Bisection steps of findParameterForZ; after 14 halvings of [0, 1.0] the
  // interval is one raw unit wide.
  static constexpr int kMaxHalvings = 14;

  virtual ~Trajectory() = default;
  virtual void pointAt(Vector3& out, Q14 t) const = 0;
  virtual void endDirection(Vector3& out) const = 0;
  virtual Q14 getConstant() const = 0;
  // Negates x and z of the three points.
  virtual void mirror();

  const Vector3& endPoint() const { return end; }
  const Vector3& startPoint() const { return start; }
  // Parameter at which the path reaches z (within 0.1), found by bisection;
  // out is the point there. A z before the start gives kBeforeStart, one past
  // the end kAfterEnd (out untouched); a z never reached within 0.1 gives the
  // last midpoint after kMaxHalvings.
  Q14 findParameterForZ(Q14 z, Vector3& out) const;

  Vector3 start;
  Vector3 apex;
  Vector3 end;
};

class SplineTrajectory : public Trajectory {
 public:
  static constexpr int kSegmentCount = CubicSpline::kPointCount - 1;

  // Spline through p0, p1, p2, travelled in duration.
  void init(const Vector3& p0, const Vector3& p1, const Vector3& p2, int32_t duration);
  // The point at arc length t x total length.
  void pointAt(Vector3& out, Q14 t) const override;
  // Unit direction of the last segment.
  void endDirection(Vector3& out) const override;
  Q14 getConstant() const override { return 0x3c000; }
  void mirror() override;

  CubicSpline spline;
  Vector3 segments[kSegmentCount];  // point k + 1 - point k
  Q14 lengths[kSegmentCount] = {};
  int32_t duration = 0;
  Q14 totalLength = 0;
  Q14 speed = 0;         // total length / duration
  Q14 inverseSpeed = 0;  // duration / total length
};

class ParabolaTrajectory : public Trajectory {
 public:
  // Thrown from start with velocity, time scaled by s, under a gravity of
  // 9.8; it lands back at the start height.
  void init(const Vector3& startPoint, const Vector3& velocity, Q14 s);
  void pointAt(Vector3& out, Q14 t) const override;
  // horizontal - vertical velocity.
  void landingDirection(Vector3& out) const;
  void endDirection(Vector3& out) const override { landingDirection(out); }
  Q14 getConstant() const override { return 0; }
  void mirror() override;

  Q14 scale = 0;
  Q14 flightTime = 0;
  Q14 inverseFlightTime = 0;
  Vector3 vertical;    // (0, vy, 0)
  Vector3 horizontal;  // (vx, 0, vz)
};
