#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include "../../gles/context/GlContextFixture.h"
#include "memory/TraceCapture.h"
#include "zul/2d/MutableImage.h"
#include "zul/3d/Angles.h"
#include "zul/3d/Camera.h"
#include "zul/3d/GL3DScene.h"
#include "zul/3d/GL3DStaticObject.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/Geometry.h"
#include "zul/3d/GlRenderer.h"

namespace {

constexpr Q14 kOne = 16384;

// A drawable that writes its name into a log when drawn.
class Probe : public GL3DDrawable {
 public:
  Probe(char n, Vector3 c, std::string* l) : name(n), centre(c), log(l) {}
  void draw(GlRenderer*) override { *log += name; }
  void getCentre(Vector3& out) const override { out = centre; }
  bool isStatic() const override { return false; }
  char name;
  Vector3 centre;
  std::string* log;
};

class Scene : public GlContextTest {
 protected:
  void SetUp() override {
    GlContextTest::SetUp();
    renderer.setCamera(&camera);
  }
  std::string drawn() {
    log.clear();
    scene.draw(&renderer);
    return log;
  }
  Camera camera;
  GlRenderer renderer;
  GL3DScene scene;
  std::string log;
};

TEST_F(Scene, ObjectsAreHeldNewestFirstAndDrawnFarFirst) {
  Probe a('A', {0, 0, 5 * kOne}, &log), b('B', {0, 0, 9 * kOne}, &log), c('C', {0, 0, kOne}, &log);
  scene.add(&a);
  scene.add(&b);
  scene.add(&c);
  EXPECT_EQ(scene.getCount(), 3);
  std::string held;
  for (GL3DDrawable* o = scene.getFirst(); o; o = o->getNext()) held += static_cast<Probe*>(o)->name;
  EXPECT_EQ(held, "CBA");
  EXPECT_EQ(drawn(), "BAC");
  // Depth is seen from the camera's position turned about Y: a half turn
  // reverses the order, moving the camera shifts every depth alike.
  camera.setPositionAndAngles({0, 0, -7 * kOne}, {0, 180 * kOne, 0});
  EXPECT_EQ(drawn(), "CAB");
}

TEST_F(Scene, EqualDepthsDrawTheLaterInTheListFirstOnEveryDraw) {
  Probe a('A', {kOne, 0, 2 * kOne}, &log), b('B', {-kOne, 0, 2 * kOne}, &log), c('C', {0, 0, 2 * kOne}, &log);
  Probe far('F', {0, 0, 8 * kOne}, &log);
  scene.add(&a);
  scene.add(&b);
  scene.add(&far);
  scene.add(&c);
  for (int frame = 0; frame < 3; ++frame) EXPECT_EQ(drawn(), "FABC") << frame;
}

TEST_F(Scene, AnObjectAddedAfterTheFirstDrawIsDrawn) {
  Probe a('A', {0, 0, kOne}, &log), b('B', {0, 0, 3 * kOne}, &log), c('C', {0, 0, 2 * kOne}, &log);
  scene.add(&a);
  EXPECT_EQ(drawn(), "A");
  scene.add(&b);
  scene.add(&c);
  EXPECT_EQ(drawn(), "BCA");
  EXPECT_EQ(scene.getSorted(2), &a);
  EXPECT_EQ(scene.getSorted(3), nullptr);
}

TEST_F(Scene, WithoutACameraTheListOrderAndNoBillboards) {
  Probe a('A', {0, 0, 5 * kOne}, &log), b('B', {0, 0, 9 * kOne}, &log);
  scene.add(&b);
  scene.add(&a);
  renderer.setCamera(nullptr);
  EXPECT_EQ(drawn(), "AB");
  scene.setBillboardCount(2);
  Q14 out[12];
  EXPECT_FALSE(scene.getBillboard(0).placeCorners(&renderer, {}, kOne, out));
  scene.drawBillboards(&renderer);  // nothing to draw with
}

TEST_F(Scene, BillboardsTurnWithTheCameraAndKeepTheirCorners) {
  camera.setPositionAndAngles({3 * kOne, 2 * kOne, 10 * kOne}, {-30 * kOne, 45 * kOne, 10 * kOne});
  GL3DBillboard board(kOne);
  const Vector3 at(kOne, -2 * kOne, 5 * kOne);
  Q14 one[12], two[12];
  for (int draw = 0; draw < 2; ++draw) {
    ASSERT_TRUE(board.placeCorners(&renderer, at, kOne, one));
    for (int i = 0; i < 4; ++i) {
      Vector3 expect;
      camera.rotation.transformPoint(board.corners[i], expect);
      expect += at;
      EXPECT_EQ(Vector3(one[3 * i], one[3 * i + 1], one[3 * i + 2]), expect) << i;
    }
    board.draw(&renderer, at, kOne);
  }
  EXPECT_EQ(board.corners[0], Vector3(-kOne, kOne, 0));
  EXPECT_EQ(board.corners[3], Vector3(kOne, -kOne, 0));
  ASSERT_TRUE(board.placeCorners(&renderer, at, 2 * kOne, two));
  const Q14 centre[3] = {at.x, at.y, at.z};
  for (int i = 0; i < 12; ++i) EXPECT_NEAR(two[i] - centre[i % 3], 2 * (one[i] - centre[i % 3]), 3) << i;
}

TEST_F(Scene, DefaultBillboardAndCopies) {
  GL3DBillboard a;
  EXPECT_EQ(a.corners[1], Vector3(kOne, kOne, 0));
  const Q14 st[8] = {0, kOne, kOne, kOne, 0, 0, kOne, 0};
  const uint16_t indices[6] = {2, 1, 0, 2, 3, 1};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(a.texCoords[i], st[i]);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(a.indices[i], indices[i]);
  GL3DBillboard b(100);
  const Q14 other[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  b.setTexCoords(other);
  b.setBlendMode(GL3DBillboard::kBlendAdditive);
  b.setSize(10, 20);
  a = b;
  EXPECT_EQ(a.corners[2], Vector3(-10, -20, 0));
  EXPECT_EQ(a.texCoords[7], 8);
  EXPECT_EQ(a.blendMode, GL3DBillboard::kBlendAdditive);
}

TEST_F(Scene, BillboardCountAndPositions) {
  const struct {
    int32_t n, held;
    bool reported;
  } cases[] = {{0, 0, false}, {3, 3, false}, {29, 29, false}, {30, 30, true}, {31, 30, true}, {-2, 0, false}};
  int32_t records[5 * 30];
  for (int i = 0; i < 5 * 30; ++i) records[i] = 1000 * i;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.n);
    TraceCapture cap;
    scene.setBillboardCount(c.n);
    EXPECT_EQ(scene.getBillboardCount(), c.held);
    scene.setBillboardPositions(records, 7 * kOne);
    scene.drawBillboards(&renderer);
    for (int line : {108, 126, 138}) EXPECT_EQ(cap.reported(line, "GL3DScene"), c.reported) << line;
    for (int32_t i = 0; i < c.held; ++i) {
      EXPECT_EQ(scene.getBillboardPosition(i), Vector3(5000 * i, 7 * kOne + 8192, 5000 * i + 2000));
      EXPECT_EQ(scene.getBillboard(i).corners[1], Vector3(13107, 13107, 0));
      EXPECT_EQ(scene.getBillboard(i).blendMode, GL3DBillboard::kBlendAlpha);
    }
  }
}

// Angle between two directions in degrees.
double degreesBetween(const Vector3& a, double bx, double by, double bz) {
  const double ax = a.x, ay = a.y, az = a.z;
  const double dot = ax * bx + ay * by + az * bz;
  const double la = std::sqrt(ax * ax + ay * ay + az * az), lb = std::sqrt(bx * bx + by * by + bz * bz);
  return std::acos(std::max(-1.0, std::min(1.0, dot / (la * lb)))) * 180.0 / M_PI;
}

TEST(Geometry, DirectionFromAnglesUndoesAnglesFromDirection) {
  std::mt19937 rng(42);
  std::uniform_int_distribution<int32_t> coord(-(200 << 14), 200 << 14);
  for (int i = 0; i < 2000; ++i) {
    const Vector3 d(coord(rng), coord(rng) / (i % 7 + 1), coord(rng));
    const Vector3 back = directionFromAngles(anglesFromDirection(d));
    EXPECT_NEAR(std::sqrt(double(back.x) * back.x + double(back.y) * back.y + double(back.z) * back.z), kOne, 8);
    ASSERT_LT(degreesBetween(back, d.x, d.y, d.z), 1.0) << d.x << " " << d.y << " " << d.z;
  }
  const struct {
    Vector3 d, angles;
  } gold[] = {
      {{0, 0, kOne}, {0, 0, 0}},
      {{kOne, 0, 0}, {0, 90 * kOne, 0}},
      {{0, 0, -kOne}, {0, -180 * kOne, 0}},
      {{0, kOne, kOne}, {-45 * kOne - 2880, 0, 0}},  // the table's tan 1 is 255 units, not 256
  };
  for (const auto& g : gold) EXPECT_EQ(anglesFromDirection(g.d), g.angles) << g.d.x << " " << g.d.y;
}

TEST(Geometry, LookAtPutsTheTargetOnTheViewAxis) {
  GlContext gl;
  setCurrentGlContext(&gl);
  const struct {
    Vector3 eye, target;
  } cases[] = {
      {{0, 30 * kOne, 40 * kOne}, {0, 0, 0}},
      {{10 * kOne, 30 * kOne, -20 * kOne}, {-5 * kOne, 2 * kOne, 8 * kOne}},
      {{-60 * kOne, -10 * kOne, 3 * kOne}, {20 * kOne, 25 * kOne, -30 * kOne}},
      {{1 * kOne, 50 * kOne, 1 * kOne}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    Camera camera;
    camera.lookAt(c.eye, c.target);
    EXPECT_EQ(camera.target, c.target);
    EXPECT_EQ(camera.position, c.eye);
    Vector3 seen;
    camera.view.transformPoint(c.target, seen);
    const double distance = std::sqrt(std::pow(double(c.eye.x) - c.target.x, 2) +
                                      std::pow(double(c.eye.y) - c.target.y, 2) +
                                      std::pow(double(c.eye.z) - c.target.z, 2));
    EXPECT_NEAR(-seen.z, distance, distance * 0.01);
    EXPECT_LT(std::hypot(double(seen.x), double(seen.y)), distance * 0.02) << seen.x << " " << seen.y;
  }
  setCurrentGlContext(nullptr);
}

TEST(Geometry, PlaneIsZeroAtItsPointsAndPositiveAlongItsNormal) {
  const struct {
    Vector3 a, b, c, above;
  } cases[] = {
      {{0, 0, 0}, {kOne, 0, 0}, {0, kOne, 0}, {0, 0, kOne}},
      {{3 * kOne, kOne, -2 * kOne}, {-kOne, 4 * kOne, kOne}, {2 * kOne, -3 * kOne, 5 * kOne}, {}},
      {{100 * kOne, 5 * kOne, 7 * kOne}, {90 * kOne, 5 * kOne, 30 * kOne}, {120 * kOne, 5 * kOne, 40 * kOne}, {}},
  };
  for (const auto& c : cases) {
    const Plane p(c.a, c.b, c.c);
    EXPECT_EQ(p.value(c.a), 0);
    EXPECT_NEAR(p.value(c.b), 0, 4);
    EXPECT_NEAR(p.value(c.c), 0, 4);
    const Vector3 off = c.a + p.normal;
    EXPECT_GT(p.value(off), 0);
  }
  EXPECT_GT(Plane(cases[0].a, cases[0].b, cases[0].c).value(cases[0].above), 0);
  EXPECT_LT(Plane(cases[0].a, cases[0].c, cases[0].b).value(cases[0].above), 0);
  BoundingSphere s;
  s.set({1, 2, 3}, 3 * kOne);
  EXPECT_EQ(s.radiusSquared, 9 * kOne);
  EXPECT_EQ(s.centre, Vector3(1, 2, 3));
}

TEST(Geometry, PointInTriangleOnTheGround) {
  const Vector3 a(0, 0, 0), b(10 * kOne, 5 * kOne, 0), c(0, -3 * kOne, 10 * kOne);
  const struct {
    Vector3 p;
    bool inside;
  } cases[] = {
      {{2 * kOne, 99 * kOne, 2 * kOne}, true},  // height does not count
      {{5 * kOne, 0, 5 * kOne}, true},          // on the edge b-c
      {{0, 0, 0}, true},                        // a corner
      {{5 * kOne, 0, 5 * kOne + 1}, false},
      {{-1, 0, 3 * kOne}, false},
      {{12 * kOne, 0, -kOne}, false},
      {{INT32_MAX, 0, INT32_MIN}, false},
  };
  for (const auto& t : cases) {
    EXPECT_EQ(pointInTriangleXZ(t.p, a, b, c), t.inside) << t.p.x << " " << t.p.z;
    EXPECT_EQ(pointInTriangleXZ(t.p, a, c, b), t.inside) << "clockwise " << t.p.x;
  }
  EXPECT_FALSE(pointInTriangleXZ({kOne, 0, 0}, a, b, {20 * kOne, 0, 0}));  // no area
}

}  // namespace

namespace {

std::vector<uint16_t>* g_boardWindow = nullptr;
void* boardWindow() { return g_boardWindow->data(); }

// A billboard in front of a turned camera shows as a centred square, the
// same on every frame.
TEST_F(Scene, BillboardFacesTheCameraFrameAfterFrame) {
  constexpr int kW = 56, kH = 104;
  std::vector<uint16_t> window(kW * kH, 0);
  g_boardWindow = &window;
  GL3DServices services;
  services.backBufferData = boardWindow;
  setGL3DServices(&services);
  MutableImage target(kW, kH, 16);
  ASSERT_TRUE(renderer.init(&target));
  camera.setPositionAndAngles({2 * kOne, kOne, 3 * kOne}, {-20 * kOne, 35 * kOne, 0});
  glLoadIdentity();  // a projection of square pixels instead of the camera's
  glFrustumx(-kOne / 2, kOne / 2, -kOne * kH / kW / 2, kOne * kH / kW / 2, kOne, 100 * kOne);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  camera.applyView();
  const Vector3 ahead = directionFromAngles(camera.angles);
  const Vector3 at = camera.position - ahead * (5 * kOne);
  GL3DBillboard board(kOne);
  glColor4x(kOne, kOne, kOne, kOne);  // untextured: the current colour
  std::vector<uint16_t> first;
  for (int frame = 0; frame < 3; ++frame) {
    glClearColorx(0, 0, 0, kOne);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    board.draw(&renderer, at, kOne);
    glFlush();
    renderer.swapBuffers();
    if (frame == 0) first = window;
    EXPECT_EQ(window, first) << frame;
  }
  int left = kW, right = -1, top = kH, bottom = -1;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (window[y * kW + x]) left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
  // Half size 1.0 at distance 5 with a half width of 0.5 at 1.0: 0.4 of the width.
  EXPECT_NEAR(right - left + 1, 0.4 * kW, 2);
  EXPECT_NEAR(bottom - top + 1, 0.4 * kW, 2);
  EXPECT_NEAR(left + right, kW - 1, 2);
  EXPECT_NEAR(top + bottom, kH - 1, 2);
  setGL3DServices(nullptr);
  g_boardWindow = nullptr;
}

}  // namespace
