#include "zul/3d/Angles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

namespace {

constexpr Q14 kOne = 16384;
constexpr int32_t kUnit = 2880;  // one table unit in Q14 degrees

TEST(Angles, TableIsFlooredArctangent) {
  EXPECT_EQ(kAtanTable[0], 0);
  EXPECT_EQ(kAtanTable[511], 255);
  EXPECT_EQ(kAtanTable[512], 255);
  for (int i = 0; i < 512; ++i) {
    const int expected = static_cast<int>(std::floor(std::atan(i / 512.0) * 1024.0 / M_PI));
    ASSERT_EQ(kAtanTable[i], expected) << i;
  }
}

TEST(Angles, Atan2DegreesGoldValues) {
  const struct {
    int32_t x, y;
    Q14 degrees;
  } cases[] = {
      {kOne, 0, 0},
      {0, kOne, 1474560},
      {-kOne, 0, -2949120},
      {0, -5, -1474560},
      {1, 1, 740160},
      {0, 0, 1474560},
      {-1, 1, (1024 - 257) * kUnit},
      {-1, -1, -(1024 - 257) * kUnit},
      {INT32_MIN, 0, -2949120},
      {0, INT32_MIN, -1474560},
      {INT32_MIN, INT32_MIN, -(1024 - 257) * kUnit},
      {INT32_MAX, INT32_MIN, -257 * kUnit},
  };
  for (const auto& c : cases) EXPECT_EQ(atan2Degrees(c.x, c.y), c.degrees) << c.x << "," << c.y;
}

TEST(Angles, LargeInputsMatchTheirScaledDownForm) {
  // Shifted into 32 bits these would overflow; the angle must not change.
  const struct {
    int32_t x, y;
  } cases[] = {
      {1 << 30, (1 << 30) - (1 << 20)}, {-(1 << 30), 1 << 29},     {(1 << 30) - 1, -(1 << 30)}, {INT32_MAX, 12345678},
      {-1000000000, 999999999},         {300 * kOne, -200 * kOne}, {INT32_MIN, 1 << 30},        {1 << 29, INT32_MAX},
  };
  for (const auto& c : cases) {
    const Q14 big = atan2Degrees(c.x, c.y);
    const Q14 small = atan2Degrees(c.x >> 16, c.y >> 16);
    EXPECT_NEAR(big, small, kUnit) << c.x << "," << c.y;
  }
}

TEST(Angles, SineAndCosine) {
  const struct {
    Q14 degrees, sin, cos;
  } cases[] = {
      {0, 0, kOne},          {0x168000, kOne, 0},  // 90
      {0x5A0000, 0, kOne},                         // 360
      {-0x168000, -kOne, 0},                       // -90
      {0x2D0000, 0, -kOne},                        // 180
      {0x438000, -kOne, 0},                        // 270
      {1439, 0, kOne},                             // below one table step: truncated to 0
      {-1439, 0, kOne},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sinDegrees(c.degrees), c.sin) << c.degrees;
    EXPECT_EQ(cosDegrees(c.degrees), c.cos) << c.degrees;
  }
}

TEST(Angles, DirectionRoundTrip) {
  std::mt19937 rng(24);
  std::uniform_int_distribution<int32_t> coord(-(1 << 24), 1 << 24);
  for (int i = 0; i < 1000; ++i) {
    int32_t x = coord(rng), y = coord(rng);
    if (x == 0 && y == 0) x = 1;
    const Q14 a = atan2Degrees(x, y);
    ASSERT_GE(a, -0x2D0000);
    ASSERT_LT(a, 0x2D0000);
    const double cx = cosDegrees(a), cy = sinDegrees(a);
    const double error = std::atan2(cx * y - cy * x, cx * x + cy * y) * 180.0 / M_PI;
    ASSERT_LT(std::fabs(error), 0.5) << x << "," << y;
  }
}

}  // namespace
