#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

#include "memory/TraceCapture.h"
#include "zul/lm/FMath.h"

namespace {

TEST(FMath, SineTable) {
  EXPECT_EQ(kFMathSineTable[0], 0);
  EXPECT_EQ(kFMathSineTable[512], 2896);
  EXPECT_EQ(kFMathSineTable[1024], 4096);
  for (int i = 0; i <= 1024; ++i)
    EXPECT_EQ(kFMathSineTable[i], static_cast<int>(std::floor(4096.0 * std::sin(i * M_PI / 2048.0)))) << i;
}

TEST(FMath, SinCos) {
  const struct {
    int32_t angle, sine;
  } cases[] = {{1024, 4096}, {2048, 0}, {3072, -4096}, {512, 2896}, {4097, FMath::sin(1)},
               {-1024, -4096}, {2048 + 512, -2896}, {4096 - 512, -2896}, {1536, 2896}};
  for (const auto& c : cases) EXPECT_EQ(FMath::sin(c.angle), c.sine) << c.angle;
  EXPECT_EQ(FMath::cos(0), 4096);
  EXPECT_EQ(FMath::cos(2048), -4096);
}

TEST(FMath, FixedConversions) {
  EXPECT_EQ(FMath::toFixed(3), 3 << 12);
  EXPECT_EQ(FMath::toFixed(-1), -4096);
  EXPECT_EQ(FMath::toInt(-1), -1);
  EXPECT_EQ(FMath::toInt(8191), 1);
  EXPECT_EQ(FMath::mulShift(-3, 4096, 12), -3);
  EXPECT_EQ(FMath::mulShift(-1, 1, 12), -1);
  EXPECT_EQ(FMath::mulShift(INT_MAX, INT_MAX, 32), 0x3FFFFFFF);
}

TEST(FMath, DivMod) {
  const struct {
    int32_t dividend, divisor, quotient, remainder;
  } cases[] = {{-7, 3, -3, 2}, {-6, 3, -2, 0}, {7, 3, 2, 1}, {0, 5, 0, 0}, {-1, 320, -1, 319},
               {INT_MIN, 1, INT_MIN, 0}, {INT_MIN, 3, -715827883, 1}};
  for (const auto& c : cases) {
    int32_t q = 99, r = 99;
    FMath::divMod(c.dividend, c.divisor, q, r);
    EXPECT_EQ(q, c.quotient) << c.dividend << "/" << c.divisor;
    EXPECT_EQ(r, c.remainder) << c.dividend << "/" << c.divisor;
  }
  TraceCapture cap;
  int32_t q = 99, r = 99;
  FMath::divMod(5, 0, q, r);
  EXPECT_TRUE(cap.reported(128, "FMath"));
  EXPECT_EQ(q, 0);
  EXPECT_EQ(r, 0);
}

TEST(FMath, TableDivisions) {
  auto f = std::make_unique<FMath>();
  EXPECT_EQ(f->reciprocal(0), 0x7FFFFFFFu);
  EXPECT_EQ(f->reciprocal(1), 0x80000000u);
  EXPECT_EQ(f->reciprocal(4096), 0x80000u);
  const struct {
    int32_t dividend, divisor, fixed, integer;
  } cases[] = {
      {1, 3, 1365, 0},   {10, 3, 13653, 3},  {-10, 3, -13653, -3},  {7, 1, 7 << 12, 7},
      {-7, 1, -(7 << 12), -7}, {4096, 4096, 4096, 1}, {9, 3, 12287, 2},  // the truncated reciprocal
  };
  TraceCapture cap;
  for (const auto& c : cases) {
    EXPECT_EQ(f->divFixed(c.dividend, c.divisor), c.fixed) << c.dividend << "/" << c.divisor;
    EXPECT_EQ(f->divInt(c.dividend, c.divisor), c.integer) << c.dividend << "/" << c.divisor;
  }
  EXPECT_EQ(cap.text, "");
}

TEST(FMath, DivisorsOutsideTheTable) {
  auto f = std::make_unique<FMath>();
  const struct {
    int32_t dividend, divisor, fixed, integer, lineFixed, lineInt;
  } cases[] = {
      {10, 5000, 8, 0, 59, 69},
      {-100000, 4097, -99975, -24, 59, 69},
      {10, -3, -13653, -3, 58, 68},
      {1, 0, 4095, 0, 58, 68},  // divisor 0 reads entry 0
  };
  for (const auto& c : cases) {
    TraceCapture cap;
    EXPECT_EQ(f->divFixed(c.dividend, c.divisor), c.fixed) << c.divisor;
    EXPECT_TRUE(cap.reported(c.lineFixed, "FMath")) << cap.text;
    cap.clear();
    EXPECT_EQ(f->divInt(c.dividend, c.divisor), c.integer) << c.divisor;
    EXPECT_TRUE(cap.reported(c.lineInt, "FMath")) << cap.text;
  }
}

TEST(FMath, RotatePoint) {
  const struct {
    FPoint p, c;
    int32_t angle;
    FPoint out;
  } cases[] = {
      {{10, 0}, {0, 0}, 1024, {0, 10}},
      {{10, 0}, {0, 0}, 2048, {-10, 0}},
      {{15, 5}, {5, 5}, 3072, {5, -5}},
      {{10, 0}, {0, 0}, 512, {7, 7}},
  };
  for (const auto& c : cases) {
    FPoint out;
    FMath::rotatePoint(out, c.p, c.c, c.angle);
    EXPECT_EQ(out.x, c.out.x) << c.angle;
    EXPECT_EQ(out.y, c.out.y) << c.angle;
  }
}

}  // namespace
