#include "zul/3d/Camera.h"

#include <algorithm>

#include "korvane/gl.h"
#include "zul/3d/Angles.h"

namespace {

// Q14 product without truncation to 32 bits.
int64_t mul64(int64_t a, int64_t b) { return (a * b) >> 14; }

struct Vec64 {
  int64_t x, y, z;
};

int64_t magnitude(const Vec64& v) {
  return std::max({v.x < 0 ? -v.x : v.x, v.y < 0 ? -v.y : v.y, v.z < 0 ? -v.z : v.z});
}

Vec64 half(const Vec64& v) { return {v.x >> 1, v.y >> 1, v.z >> 1}; }

Vec64 sub(const Vector3& a, const Vector3& b) { return {int64_t{a.x} - b.x, int64_t{a.y} - b.y, int64_t{a.z} - b.z}; }

// Plane through a, b and c, its unit normal turned towards inside.
void planeThrough(const Vector3& a, const Vector3& b, const Vector3& c, const Vec64& inside, Q14* out) {
  Vec64 u = sub(b, a), v = sub(c, a);
  // Raw products keep the precision of short edges; edges are shortened to
  // below 2^30 so that the products fit 64 bits.
  while (std::max(magnitude(u), magnitude(v)) >= (int64_t{1} << 30)) u = half(u), v = half(v);
  Vec64 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
  while (magnitude(n) >= (int64_t{1} << 30)) n = half(n);
  const int64_t length = static_cast<int64_t>(isqrt64(static_cast<uint64_t>(n.x * n.x + n.y * n.y + n.z * n.z)));
  if (length == 0) {
    for (int i = 0; i < 4; ++i) out[i] = 0;
    return;
  }
  n = {n.x * kQ14One / length, n.y * kQ14One / length, n.z * kQ14One / length};
  const Vec64 toInside{inside.x - a.x, inside.y - a.y, inside.z - a.z};
  if (mul64(n.x, toInside.x) + mul64(n.y, toInside.y) + mul64(n.z, toInside.z) < 0) n = {-n.x, -n.y, -n.z};
  out[0] = static_cast<Q14>(n.x);
  out[1] = static_cast<Q14>(n.y);
  out[2] = static_cast<Q14>(n.z);
  out[3] = static_cast<Q14>(-(mul64(n.x, a.x) + mul64(n.y, a.y) + mul64(n.z, a.z)));
}

}  // namespace

Camera::Camera() { setAspect(240, 320); }

void Camera::setAspect(int32_t width, int32_t height) {
  aspect = q14Div(wrapMul(width, kQ14One), wrapMul(height, kQ14One));
  dirty = true;
}

void Camera::setFov(int32_t degrees) {
  horizontalFov = degrees;
  const Q14 half = static_cast<Q14>(degrees * 16384.0) / 2;
  tanHalfFov = q14Div(sinDegrees(half), cosDegrees(half));
  tanHalfFovOverAspect = q14Div(tanHalfFov, aspect);
  const Q14 a = atan2Degrees(kQ14One, tanHalfFovOverAspect);
  verticalFov = wrapMul(a, 2) >> 14;
  dirty = true;
}

void Camera::setProjection(Q14 fovDegrees, Q14 aspectRatio, Q14 nearPlane, Q14 farPlane) {
  aspect = aspectRatio;
  zNear = nearPlane;
  zFar = farPlane;
  setFov(fovDegrees >> 14);
  dirty = true;
}

void Camera::setPositionAndAngles(const Vector3& newPosition, const Vector3& newAngles) {
  position = newPosition;
  angles = newAngles;
  dirty = true;
  update();
}

void Camera::lookAt(const Vector3& newPosition, const Vector3& newTarget) {
  target = newTarget;
  setPositionAndAngles(newPosition, anglesFromDirection(newPosition - newTarget));
}

void Camera::extentsAt(Q14 depth, Q14& halfWidth, Q14& halfHeight) const {
  halfHeight = q14Mul(tanHalfFovOverAspect, depth);
  halfWidth = q14Mul(halfHeight, aspect);
}

void Camera::update() {
  if (!dirty) return;
  Q14 x, y;
  extentsAt(zNear, x, y);
  glFrustumx(wrapNeg(x), x, wrapNeg(y), y, zNear, zFar);

  Matrix34 t;
  view.setIdentity();
  view.rotateZ(wrapNeg(angles.z));
  view.rotateX(wrapNeg(angles.x));
  view.rotateY(wrapNeg(angles.y));
  t.setTranslation(wrapNeg(position.x), wrapNeg(position.y), wrapNeg(position.z));
  view = view * t;

  rotation.setRotationY(angles.y);
  rotation.rotateX(angles.x);
  rotation.rotateZ(angles.z);
  t.setTranslation(position.x, position.y, position.z);
  inverseView = t * rotation;
  dirty = false;
}

void Camera::applyView() const {
  glRotatex(wrapNeg(angles.z), 0, 0, kQ14One);
  glRotatex(wrapNeg(angles.x), kQ14One, 0, 0);
  glRotatex(wrapNeg(angles.y), 0, kQ14One, 0);
  glTranslatex(wrapNeg(position.x), wrapNeg(position.y), wrapNeg(position.z));
}

void Camera::buildFrustumPlanes() {
  // Eye-space corners (the view looks along -z), taken into the world by
  // the inverse view of the current position and angles.
  Matrix34 toWorld, r;
  toWorld.setTranslation(position.x, position.y, position.z);
  r.setRotationY(angles.y);
  r.rotateX(angles.x);
  r.rotateZ(angles.z);
  toWorld = toWorld * r;

  Vector3 corner[8];  // near: 0-3, far: 4-7; each (-x,-y), (x,-y), (x,y), (-x,y)
  for (int f = 0; f < 2; ++f) {
    const Q14 depth = f ? zFar : zNear;
    Q14 x, y;
    extentsAt(depth, x, y);
    const Vector3 eye[4] = {{wrapNeg(x), wrapNeg(y), wrapNeg(depth)},
                            {x, wrapNeg(y), wrapNeg(depth)},
                            {x, y, wrapNeg(depth)},
                            {wrapNeg(x), y, wrapNeg(depth)}};
    for (int i = 0; i < 4; ++i) toWorld.transformPoint(eye[i], corner[4 * f + i]);
  }
  Vec64 inside{0, 0, 0};
  for (const Vector3& c : corner) inside = {inside.x + c.x, inside.y + c.y, inside.z + c.z};
  inside = {inside.x / 8, inside.y / 8, inside.z / 8};

  static const int kTriples[kPlaneCount][3] = {
      {0, 1, 2},  // near
      {4, 5, 6},  // far
      {0, 3, 7},  // left
      {1, 2, 6},  // right
      {0, 1, 5},  // bottom
      {3, 2, 6},  // top
  };
  for (int p = 0; p < kPlaneCount; ++p)
    planeThrough(corner[kTriples[p][0]], corner[kTriples[p][1]], corner[kTriples[p][2]], inside, planes[p]);
}

bool Camera::isSphereVisible(const Vector3& centre, Q14 radius) const {
  Vector3 p;
  view.transformPoint(centre, p);
  const int64_t z = p.z, r = radius;
  if (!(z + r >= -int64_t{zFar} && z - 2 * r <= -int64_t{zNear})) return false;
  // Side planes through the eye: |x| <= tx * -z, |y| <= ty * -z, each widened
  // by the radius over the cosine of the plane's angle.
  const int64_t ty = tanHalfFovOverAspect, tx = mul64(ty, aspect);
  const int64_t secX = sqrtQ14(static_cast<Q14>(mul64(tx, tx) + kQ14One));
  const int64_t secY = sqrtQ14(static_cast<Q14>(mul64(ty, ty) + kQ14One));
  const int64_t reachX = mul64(tx, -z) + mul64(r, secX), reachY = mul64(ty, -z) + mul64(r, secY);
  const int64_t ax = p.x < 0 ? -int64_t{p.x} : p.x, ay = p.y < 0 ? -int64_t{p.y} : p.y;
  return ax <= reachX && ay <= reachY;
}
