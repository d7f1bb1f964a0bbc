#include <gtest/gtest.h>

#include <array>

#include "zul/lm/Matrix34.h"
#include "zul/lm/Quaternion.h"
#include "zul/lm/Vector2.h"
#include "zul/lm/Vector3.h"

namespace {

constexpr Q14 kOne = 16384;
constexpr Q14 k90 = 0x168000;  // 90 degrees

std::array<Q14, 12> entries(const Matrix34& m) {
  std::array<Q14, 12> a;
  for (int i = 0; i < 12; ++i) a[i] = m.m[i];
  return a;
}

TEST(Vector2, Length) {
  const struct {
    Q14 x, y, length;
  } cases[] = {{0, -5, 5}, {0, 0, 0}, {-7, 0, 7}, {3 * kOne, 4 * kOne, 5 * kOne}, {kOne, kOne, 23168}};
  for (const auto& c : cases) EXPECT_EQ(Vector2(c.x, c.y).length(), c.length) << c.x << "," << c.y;
}

TEST(Vector2, NormaliseDividesWhileVector3Multiplies) {
  Vector2 a(3 * kOne, 4 * kOne);
  EXPECT_EQ(a.normalise(), 5 * kOne);
  EXPECT_EQ(a.x, 9830);
  EXPECT_EQ(a.y, 13107);
  Vector3 b(3 * kOne, 4 * kOne, 0);
  EXPECT_EQ(b.normalize(), 5 * kOne);
  EXPECT_EQ(b, Vector3(9828, 13104, 0));

  Vector2 zero(0, 0), unit(0, -kOne);
  EXPECT_EQ(zero.normalise(), 0);
  EXPECT_EQ(unit.normalise(), kOne);
  EXPECT_TRUE(unit.equals(Vector2(0, -kOne)));
}

TEST(Vector2, Arithmetic) {
  Vector2 v(kOne, 2 * kOne), out;
  EXPECT_EQ(v.dot(Vector2(kOne, kOne)), 3 * kOne);
  EXPECT_TRUE(v.scaled(out, kOne / 2).equals(Vector2(kOne / 2, kOne)));
  EXPECT_TRUE(v.divided(out, 2 * kOne).equals(Vector2(kOne / 2, kOne)));
  EXPECT_TRUE(v.divided(out, 0).equals(Vector2(0, 0)));
  EXPECT_TRUE(v.subtract(out, Vector2(1, 2)).equals(Vector2(kOne - 1, 2 * kOne - 2)));
  v.rotate90();
  EXPECT_TRUE(v.equals(Vector2(-2 * kOne, kOne)));
  Vector2 w(INT32_MAX, 0);
  w.addInPlace(Vector2(1, 0));  // wraps
  EXPECT_EQ(w.x, INT32_MIN);
}

TEST(Vector3, LimitMaxComponent) {
  Vector3 a(kOne, -kOne, 0);
  EXPECT_EQ(a.limitMaxComponent(), kOne);
  EXPECT_EQ(a, Vector3(kOne, -kOne, 0));
  Vector3 b(2 * kOne, 0, 0);
  EXPECT_EQ(b.limitMaxComponent(), 2 * kOne);
  EXPECT_EQ(b, Vector3(kOne, 0, 0));
  Vector3 c(0, 0, -3 * kOne);
  EXPECT_EQ(c.maxAbsComponent(), 3 * kOne);
}

TEST(Vector3, CrossAndLength) {
  const Vector3 x(kOne, 0, 0), y(0, kOne, 0);
  EXPECT_EQ(x.cross(y), Vector3(0, 0, kOne));
  EXPECT_EQ(y.cross(x), Vector3(0, 0, -kOne));
  EXPECT_EQ(Vector3().length(), 0);
  EXPECT_EQ((x - y).lengthSquared(), 2 * kOne);
}

TEST(Vector3, ScaleDivideAndWrappingAdd) {
  const struct {
    Vector3 v;
    Q14 k;
    Vector3 times, over;
  } cases[] = {
      {{kOne, -2 * kOne, 3}, kOne / 2, {kOne / 2, -kOne, 1}, {2 * kOne, -4 * kOne, 6}},
      {{-3, 5, 0}, kOne, {-3, 5, 0}, {-3, 5, 0}},
      {{7 * kOne, kOne, -kOne}, 0, {0, 0, 0}, {0, 0, 0}},  // division by 0 gives 0
      {{INT32_MAX, INT32_MIN, 1}, -kOne, {-INT32_MAX, INT32_MIN, -1}, {-INT32_MAX, INT32_MIN, -1}},
      {{300 * kOne, -1, 1}, 4 * kOne, {1200 * kOne, -4, 4}, {75 * kOne, -1, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.v * c.k, c.times) << c.k;
    EXPECT_EQ(c.v / c.k, c.over) << c.k;
    Vector3 w = c.v;
    w *= c.k;
    EXPECT_EQ(w, c.times) << c.k;
  }
  Vector3 a(INT32_MAX, -kOne, INT32_MIN);
  a += Vector3(1, kOne, -1);  // wraps
  EXPECT_EQ(a, Vector3(INT32_MIN, 0, INT32_MAX));
  EXPECT_EQ(a + Vector3(-1, 2, 1), Vector3(INT32_MAX, 2, INT32_MIN));
}

TEST(Matrix34, Rotations) {
  // 90 degrees is 1023 table units: cosine 25, sine 16384.
  Matrix34 z;
  z.setRotationZ(k90);
  EXPECT_EQ(entries(z), (std::array<Q14, 12>{25, kOne, 0, -kOne, 25, 0, 0, 0, kOne, 0, 0, 0}));
  Matrix34 x;
  x.setRotationX(k90);
  EXPECT_EQ(entries(x), (std::array<Q14, 12>{kOne, 0, 0, 0, 25, kOne, 0, -kOne, 25, 0, 0, 0}));
  Matrix34 y;
  y.setRotationY(k90);
  EXPECT_EQ(entries(y), (std::array<Q14, 12>{25, 0, -kOne, 0, kOne, 0, kOne, 0, 25, 0, 0, 0}));

  Matrix34 axis;
  axis.setAxisRotation(k90, 0, 0, kOne);
  EXPECT_EQ(axis, z);
  // The axis is normalised through the reciprocal of its length: (0, 0, 16380).
  axis.setAxisRotation(k90, 0, 0, 5 * kOne);
  EXPECT_EQ(entries(axis), (std::array<Q14, 12>{25, 16380, 0, -16380, 25, 0, 0, 0, 16376, 0, 0, 0}));

  Matrix34 xyz;
  xyz.setRotationXYZ(0, 0, k90);
  EXPECT_EQ(xyz, z);

  Vector3 p(kOne, 0, 0);
  z.transformPoint(p, p);
  EXPECT_EQ(p, Vector3(25, kOne, 0));
}

TEST(Matrix34, RotateMultipliesOnTheRight) {
  Matrix34 m;
  m.setTranslation(100, 200, 300);
  m.rotateZ(k90);
  Matrix34 z;
  z.setRotationZ(k90);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(m.m[i], z.m[i]);
  EXPECT_EQ(m.m[9], 100);
  EXPECT_EQ(m.m[10], 200);
  EXPECT_EQ(m.m[11], 300);

  Matrix34 a;
  a.setScale(2 * kOne, 2 * kOne, 2 * kOne);
  a.m[9] = kOne;
  a = a * a;  // the product may be assigned to an operand
  EXPECT_EQ(a.m[0], 4 * kOne);
  EXPECT_EQ(a.m[9], 3 * kOne);
}

TEST(Matrix34, Inverse) {
  Matrix34 id, out;
  EXPECT_EQ(id.inverse(out), id);

  Matrix34 singular;
  singular.setScale(kOne, 0, kOne);
  singular.m[9] = 1234;
  singular.inverse(out);
  EXPECT_EQ(entries(out), (std::array<Q14, 12>{}));

  Matrix34 t;
  t.setTranslation(100, 200, -300);
  t.inverse(out);
  Matrix34 expected;
  expected.setTranslation(-100, -200, 300);
  EXPECT_EQ(out, expected);

  Matrix34 s;
  s.setScale(2 * kOne, 2 * kOne, 2 * kOne);
  s.inverse(out);
  expected.setScale(kOne / 2, kOne / 2, kOne / 2);
  EXPECT_EQ(out, expected);

  // A rigid transform times its inverse is the identity within a few units.
  Matrix34 r;
  r.setRotationXYZ(30 * kOne, 45 * kOne, 60 * kOne);
  r.m[9] = 5 * kOne;
  r.m[10] = -kOne;
  r.inverse(out);
  out.inverse(out);  // in place
  const Matrix34 back = r * [&] { Matrix34 i; r.inverse(i); return i; }();
  for (int i = 0; i < 12; ++i) {
    EXPECT_NEAR(back.m[i], id.m[i], 40) << i;
    EXPECT_NEAR(out.m[i], r.m[i], 40) << i;
  }
}

TEST(Quaternion, ToMatrix) {
  Matrix34 m;
  m.m[9] = 7;
  Quaternion(0, 0, 0, kOne).toMatrix(m);
  EXPECT_EQ(m, Matrix34());
  Quaternion(0, 0, 11585, 11585).toMatrix(m);
  EXPECT_EQ(entries(m), (std::array<Q14, 12>{0, 16382, 0, -16382, 0, 0, 0, 0, 16382, 0, 0, 0}));
  Matrix34 placed;
  placed.setFromQuaternion(Quaternion(0, 0, 0, kOne), Vector3(1, 2, 3));
  EXPECT_EQ(entries(placed), (std::array<Q14, 12>{kOne, 0, 0, 0, kOne, 0, 0, 0, kOne, 1, 2, 3}));
}

TEST(Quaternion, Nlerp) {
  const Quaternion a(1, 2, 3, 4), b(5, 6, 7, 8);
  Quaternion out;
  EXPECT_EQ(Quaternion::nlerp(out, a, b, 0), a);  // not normalised
  EXPECT_EQ(Quaternion::nlerp(out, a, b, kOne), b);
  // Opposite hemispheres: toward -b, the shorter arc.
  Quaternion::nlerp(out, Quaternion(0, 0, 0, kOne), Quaternion(0, 0, 11585, -11585), 8192);
  EXPECT_EQ(out, Quaternion(0, 0, -6284, 15168));
  Quaternion zero;
  zero.normalise();
  EXPECT_EQ(zero, Quaternion());
}

TEST(Quaternion, NlerpPacked) {
  const PackedQuaternion a{32767, -32768, 1, -1}, b{0, 0, 0, 32767};
  Quaternion out;
  EXPECT_EQ(Quaternion::nlerpPacked(out, a, b, 0), Quaternion(16383, -16384, 0, -1));
  EXPECT_EQ(Quaternion::nlerpPacked(out, a, b, kOne), Quaternion(0, 0, 0, 16383));
  Quaternion::nlerpPacked(out, b, b, 8192);
  EXPECT_EQ(out, Quaternion(0, 0, 0, 16511));
}

}  // namespace
