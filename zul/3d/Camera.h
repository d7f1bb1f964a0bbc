// Perspective camera: a projection (field of view, aspect, near and far
// planes) loaded into GL with glFrustumx, and a view from a position and
// three angles in Q14 degrees, kept as matrices for software transforms.
#pragma once

#include <cstdint>

#include "zul/lm/Matrix34.h"
#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class Camera {
 public:
  // Plane order in planes.
  enum Plane { kNear, kFar, kLeft, kRight, kBottom, kTop, kPlaneCount };

  Camera();
  virtual ~Camera() = default;

  // When dirty: the projection (multiplied into the current GL matrix; the
  // caller selects and clears it), then the matrices; clears dirty.
  virtual void update();

  // Aspect = width / height (whole pixels); the tangents stay as they are.
  void setAspect(int32_t width, int32_t height);
  // Horizontal field of view in whole degrees; derives the tangents and the
  // vertical field of view from the current aspect.
  void setFov(int32_t degrees);
  void setProjection(Q14 fovDegrees, Q14 aspectRatio, Q14 nearPlane, Q14 farPlane);
  void setPositionAndAngles(const Vector3& newPosition, const Vector3& newAngles);
  // Places the camera at position looking at target (kept in target).
  void lookAt(const Vector3& newPosition, const Vector3& newTarget);
  // Multiplies the view into the current GL matrix.
  void applyView() const;

  // World-space planes of the view volume, each (a, b, c, d) with a unit
  // normal pointing inwards: a point is inside when a x + b y + c z + d >= 0.
  void buildFrustumPlanes();
  // Whether a sphere may be seen; tested in eye space against the depth range
  // and the four side planes of the projection.
  bool isSphereVisible(const Vector3& centre, Q14 radius) const;

  Q14 planes[kPlaneCount][4] = {};
  bool dirty = true;
  Vector3 position;
  Vector3 angles;  // about X, Y, Z
  Vector3 target{0, 0, 1};
  int32_t horizontalFov = 60;  // whole degrees
  int32_t verticalFov = 60;
  Q14 tanHalfFov = 1;
  Q14 tanHalfFovOverAspect = 1;
  Q14 aspect = kQ14One;
  Q14 zNear = kQ14One;
  Q14 zFar = 100 * kQ14One;
  Matrix34 view;
  Matrix34 inverseView;
  Matrix34 rotation;

 private:
  // Half width and half height of the projection at a depth.
  void extentsAt(Q14 depth, Q14& halfWidth, Q14& halfHeight) const;
};
