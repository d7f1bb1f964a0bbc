#include "zul/3d/Camera.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "gles/GlContext.h"
#include "zul/3d/Angles.h"

namespace {

constexpr Q14 kOne = 16384;
constexpr Q14 kDeg = 16384;

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gl = new GlContext();
    setCurrentGlContext(gl);
  }
  void TearDown() override {
    setCurrentGlContext(nullptr);
    delete gl;
  }
  GlContext* gl = nullptr;
};

struct Pose {
  Vector3 position, angles;
};

const Pose kPoses[] = {
    {{0, 0, 0}, {0, 0, 0}},
    {{10 * kOne, 30 * kOne, -20 * kOne}, {-60 * kDeg, 45 * kDeg, 0}},
    {{-3 * kOne, 2 * kOne, 7 * kOne}, {30 * kDeg, -120 * kDeg, 15 * kDeg}},
    {{100 * kOne, -50 * kOne, 250 * kOne}, {-89 * kDeg, 179 * kDeg, -30 * kDeg}},
};

// Angles reach the sine table in whole steps (truncated), so a rotation and
// the rotation by the negated angle differ by up to a step per axis; the
// translation error grows with the distance from the origin.
void expectNear(const Matrix34& a, const Matrix34& b, int rotationSlack, const Vector3& position, const char* what) {
  const int translationSlack = 64 + (position.maxAbsComponent() >> 14) * 2 * rotationSlack;
  for (int i = 0; i < 12; ++i)
    EXPECT_LE(std::abs(a.m[i] - b.m[i]), i < 9 ? rotationSlack : translationSlack) << what << " entry " << i;
}

TEST_F(CameraTest, ConstructorValues) {
  Camera c;
  for (const auto& plane : c.planes)
    for (Q14 v : plane) EXPECT_EQ(v, 0);
  EXPECT_TRUE(c.dirty);
  EXPECT_EQ(c.position, Vector3(0, 0, 0));
  EXPECT_EQ(c.angles, Vector3(0, 0, 0));
  EXPECT_EQ(c.target, Vector3(0, 0, 1));
  EXPECT_EQ(c.horizontalFov, 60);
  EXPECT_EQ(c.verticalFov, 60);
  EXPECT_EQ(c.tanHalfFov, 1);
  EXPECT_EQ(c.tanHalfFovOverAspect, 1);
  EXPECT_EQ(c.aspect, 12288);
  EXPECT_EQ(c.zNear, 16384);
  EXPECT_EQ(c.zFar, 1638400);
  const Matrix34 identity;
  EXPECT_EQ(c.view, identity);
  EXPECT_EQ(c.inverseView, identity);
  EXPECT_EQ(c.rotation, identity);
}

TEST_F(CameraTest, FieldOfView) {
  Camera c;
  c.dirty = false;
  c.setFov(60);
  EXPECT_TRUE(c.dirty);
  EXPECT_EQ(c.horizontalFov, 60);
  EXPECT_NEAR(c.tanHalfFov, 9459, 40);  // tan 30 degrees
  EXPECT_EQ(c.tanHalfFovOverAspect, q14Div(c.tanHalfFov, 12288));
  EXPECT_EQ(c.verticalFov, 74);  // 2 atan(tan 30 / 0.75) = 75.2, through the floored table

  // The ball view: 60 degrees over a 56 x 104 picture, near 163, far 400.
  c.setProjection(60 * kDeg, q14Div(56 * kOne, 104 * kOne), 163, 400 * kOne);
  EXPECT_EQ(c.zNear, 163);
  EXPECT_EQ(c.zFar, 400 * kOne);
  EXPECT_EQ(c.horizontalFov, 60);
  EXPECT_NEAR(c.verticalFov, 94, 1);
}

TEST_F(CameraTest, UpdateLoadsTheFrustum) {
  const struct {
    int fov;
    Q14 aspect, zNear, zFar;
  } cases[] = {{60, 12288, kOne, 100 * kOne}, {60, 8822, 163, 400 * kOne}, {90, kOne, kOne / 2, 50 * kOne}};
  for (const auto& p : cases) {
    Camera c;
    c.setProjection(p.fov * kDeg, p.aspect, p.zNear, p.zFar);
    c.update();
    EXPECT_FALSE(c.dirty);
    const Q14 y = q14Mul(c.tanHalfFovOverAspect, p.zNear), x = q14Mul(y, p.aspect);
    GlContext reference;
    reference.glFrustumx(-x, x, -y, y, p.zNear, p.zFar);
    EXPECT_EQ(gl->m_near, p.zNear);
    EXPECT_EQ(gl->m_far, p.zFar);
    EXPECT_EQ(gl->m_projectionScale, reference.m_projectionScale) << p.fov;
    EXPECT_EQ(gl->m_planeRight, reference.m_planeRight) << p.fov;
    EXPECT_EQ(gl->m_planeTop, reference.m_planeTop) << p.fov;
  }
}

TEST_F(CameraTest, UpdateWhenCleanChangesNothing) {
  Camera c;
  c.setPositionAndAngles(kPoses[1].position, kPoses[1].angles);
  EXPECT_FALSE(c.dirty);
  const Matrix34 view = c.view, inverse = c.inverseView, rotation = c.rotation;

  gl->glFrustumx(-kOne, kOne, -kOne, kOne, 3 * kOne, 9 * kOne);
  const int32_t scale = gl->m_projectionScale;
  c.position = Vector3(1, 2, 3);
  c.angles = Vector3(10 * kDeg, 0, 0);
  c.zNear = 2 * kOne;
  c.update();
  EXPECT_EQ(c.view, view);
  EXPECT_EQ(c.inverseView, inverse);
  EXPECT_EQ(c.rotation, rotation);
  EXPECT_EQ(gl->m_near, 3 * kOne);
  EXPECT_EQ(gl->m_far, 9 * kOne);
  EXPECT_EQ(gl->m_projectionScale, scale);
}

TEST_F(CameraTest, ViewTimesInverseIsIdentity) {
  for (const Pose& p : kPoses) {
    Camera c;
    c.setPositionAndAngles(p.position, p.angles);
    const Matrix34 identity;
    expectNear(c.view * c.inverseView, identity, 96, p.position, "view x inverse");
    expectNear(c.inverseView * c.view, identity, 96, p.position, "inverse x view");
    Matrix34 rotationOnly = c.inverseView;
    rotationOnly.m[9] = rotationOnly.m[10] = rotationOnly.m[11] = 0;
    EXPECT_EQ(rotationOnly, c.rotation);
    // The eye sits at the origin of the view.
    Vector3 eye;
    c.view.transformPoint(p.position, eye);
    EXPECT_LE(eye.maxAbsComponent(), 64 + (p.position.maxAbsComponent() >> 14) * 192);
  }
}

TEST_F(CameraTest, ApplyViewMatchesTheViewMatrix) {
  for (const Pose& p : kPoses) {
    Camera c;
    c.setPositionAndAngles(p.position, p.angles);
    gl->glMatrixMode(GL_MODELVIEW);
    gl->glLoadIdentity();
    c.applyView();
    expectNear(*gl->m_modelviewTop, c.view, 8, p.position, "model-view");
  }
}

TEST_F(CameraTest, SphereVisibility) {
  Camera c;
  c.setProjection(60 * kDeg, kOne, kOne, 100 * kOne);  // square: 30 degrees to each side
  c.setPositionAndAngles(Vector3(0, 0, 0), Vector3(0, 0, 0));
  const struct {
    Vector3 centre;
    Q14 radius;
    bool visible;
  } cases[] = {
      {{0, 0, -10 * kOne}, kOne, true},
      {{0, 0, 10 * kOne}, kOne, false},            // behind
      {{0, 0, -102 * kOne}, kOne, false},          // past far
      {{0, 0, -101 * kOne}, 2 * kOne, true},       // reaches into far
      {{0, 0, kOne / 2}, kOne, true},              // spans the near plane
      {{10 * kOne, 0, -10 * kOne}, kOne, false},   // 45 degrees right
      {{0, -10 * kOne, -10 * kOne}, kOne, false},  // 45 degrees down
      // The right edge at depth 10 is at 5.77; a unit sphere touches it up
      // to 5.77 + 1 / cos 30 = 6.93.
      {{6 * kOne, 0, -10 * kOne}, kOne, true},
      {{6 * kOne + 13926, 0, -10 * kOne}, kOne, true},  // 6.85
      {{7 * kOne, 0, -10 * kOne}, kOne, false},
      {{-6 * kOne - 13926, 0, -10 * kOne}, kOne, true},
      {{-7 * kOne, 0, -10 * kOne}, kOne, false},
      {{0, 6 * kOne + 13926, -10 * kOne}, kOne, true},
      {{0, 7 * kOne, -10 * kOne}, kOne, false},
      {{0, -7 * kOne, -10 * kOne}, kOne, false},
  };
  for (const auto& t : cases)
    EXPECT_EQ(c.isSphereVisible(t.centre, t.radius), t.visible)
        << t.centre.x << "," << t.centre.y << "," << t.centre.z << " r " << t.radius;

  // Turned 90 degrees about Y, the camera looks along -x.
  c.setPositionAndAngles(Vector3(5 * kOne, 0, 0), Vector3(0, 90 * kDeg, 0));
  EXPECT_TRUE(c.isSphereVisible(Vector3(-5 * kOne, 0, 0), kOne));
  EXPECT_FALSE(c.isSphereVisible(Vector3(15 * kOne, 0, 0), kOne));
  EXPECT_FALSE(c.isSphereVisible(Vector3(5 * kOne, 0, -10 * kOne), kOne));
}

TEST_F(CameraTest, FrustumPlanesBoundTheViewVolume) {
  for (const Pose& p : kPoses) {
    Camera c;
    c.setProjection(60 * kDeg, 12288, kOne, 100 * kOne);
    c.setPositionAndAngles(p.position, p.angles);
    c.buildFrustumPlanes();
    auto distance = [&](int plane, const Vector3& v) {
      const Q14* e = c.planes[plane];
      return q14Mul(e[0], v.x) + q14Mul(e[1], v.y) + q14Mul(e[2], v.z) + e[3];
    };
    for (int i = 0; i < Camera::kPlaneCount; ++i) {
      const Q14* e = c.planes[i];
      const Q14 length = Vector3(e[0], e[1], e[2]).length();
      EXPECT_NEAR(length, kOne, 130) << "plane " << i;
    }
    // Points straight ahead between near and far are inside every plane;
    // behind the eye and past the far plane they are not.
    auto ahead = [&](Q14 depth) {
      Vector3 world;
      c.inverseView.transformPoint(Vector3(0, 0, -depth), world);
      return world;
    };
    for (Q14 depth : {2 * kOne, 50 * kOne, 99 * kOne})
      for (int i = 0; i < Camera::kPlaneCount; ++i) EXPECT_GT(distance(i, ahead(depth)), 0) << i << " " << depth;
    EXPECT_LT(distance(Camera::kNear, ahead(-kOne)), 0);
    EXPECT_LT(distance(Camera::kFar, ahead(101 * kOne)), 0);
    // A point just outside each side.
    const Q14 y = q14Mul(c.tanHalfFovOverAspect, 50 * kOne), x = q14Mul(y, c.aspect);
    const struct {
      int plane;
      Vector3 eye;
    } sides[] = {{Camera::kLeft, {-x - kOne, 0, -50 * kOne}},
                 {Camera::kRight, {x + kOne, 0, -50 * kOne}},
                 {Camera::kBottom, {0, -y - kOne, -50 * kOne}},
                 {Camera::kTop, {0, y + kOne, -50 * kOne}}};
    for (const auto& s : sides) {
      Vector3 world;
      c.inverseView.transformPoint(s.eye, world);
      EXPECT_LT(distance(s.plane, world), 0) << s.plane;
    }
  }
}

}  // namespace
