// Angle maths in Q14 degrees (16384 = 1 degree).
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

extern const uint8_t kAtanTable[513];

// Angle of (x, y) in table units, 1024 = 180 degrees: 0 along +x, 512 along
// +y, negative for y < 0 (a negative x with y >= 0 gives up to 1024).
int32_t atanUnits(int32_t x, int32_t y);

// Angle of the vector (x, y) in Q14 degrees, from -180 up to 180 excluded;
// x is the adjacent component.
Q14 atan2Degrees(int32_t x, int32_t y);

// Sine and cosine of Q14 degrees through the 4096-step table, Q14 result.
Q14 sinDegrees(Q14 degrees);
Q14 cosDegrees(Q14 degrees);


// Angles (about X, Y; Z = 0) that turn the view's +z axis along d: the yaw
// from the x-z components, the pitch from d.y over the horizontal length.
Vector3 anglesFromDirection(const Vector3& d);
// The view's +z axis for angles about X and Y (unit length in Q14).
Vector3 directionFromAngles(const Vector3& a);
