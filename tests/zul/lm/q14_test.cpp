#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "zul/lm/Q14.h"

namespace {

struct Binary {
  Q14 a, b, expected;
};

TEST(Q14, Mul) {
  const Binary cases[] = {
      {16384, 12345, 12345},     {16384, -77, -77},       {-1, 1, -1},  {1, 1, 0},
      {-16384, 3, -3},           {100000, -300000, -1831055},
      {INT_MAX, INT_MAX, -262144},  // low 32 bits of the shifted 64-bit product
      {INT_MIN, INT_MIN, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(q14Mul(c.a, c.b), c.expected) << c.a << " * " << c.b;
}

TEST(Q14, Div) {
  const Binary cases[] = {
      {12345, 0, 0},          {16384, 32768, 8192},   {-1, 16384, -1},  {16384, -32768, -8192},
      {-16384, 3, -89478486}, {16384, 3, 89478485},   {5, -7, -11703},  {INT_MAX, 1, -16384},
      {INT_MIN, 16384, INT_MIN},
  };
  for (const auto& c : cases) EXPECT_EQ(q14Div(c.a, c.b), c.expected) << c.a << " / " << c.b;
  EXPECT_EQ(q14Recip(0), 0);
  EXPECT_EQ(q14Recip(32768), 8192);
}

TEST(Q14, Lerp) {
  EXPECT_EQ(q14Lerp(0, 16384, 8192), 8192);
  EXPECT_EQ(q14Lerp(100, -100, 16384), -100);
  EXPECT_EQ(q14Lerp(0, 3, 8192), 1);
  EXPECT_EQ(q14Lerp(0, -3, 8192), -2);
}

TEST(Q14, DegreesToUnits) {
  const struct {
    Q14 deg;
    int32_t units;
  } cases[] = {
      {0, 0}, {0x168000, 1023}, {0x5A0000, 4095}, {-0x168000, -1024}, {0xB4000, 511}, {16384, 11},
  };
  for (const auto& c : cases) EXPECT_EQ(q14DegreesToUnits(c.deg), c.units) << c.deg;
}

TEST(Q14, SineTableEntries) {
  EXPECT_EQ(kSineTable[0], 0);
  EXPECT_EQ(kSineTable[512], 46341);
  EXPECT_EQ(kSineTable[1024], 65536);
  EXPECT_EQ(kSineTable[474], 43563);
  for (int i = 0; i <= 1024; ++i) {
    if (i == 474) continue;
    const double v = 65536.0 * std::sin(i * M_PI / 2048.0);
    EXPECT_EQ(kSineTable[i], static_cast<int32_t>(std::lround(v))) << i;
  }
}

TEST(Q14, SinCos) {
  const struct {
    int32_t units;
    Q14 sine;
  } cases[] = {
      {0, 0},          {512, 11585},          {1024, 16384},  {2048, 0},       {3072, -16384},
      {4096 + 1024, 16384}, {-1024, -16384},  {474, 10890},   {2048 - 474, 10890},
      {2048 + 474, -10890}, {4096 - 474, -10890}, {1023, 16384},
  };
  for (const auto& c : cases) EXPECT_EQ(sinQ14(c.units), c.sine) << c.units;
  for (int u = -5000; u < 5000; u += 37) EXPECT_EQ(cosQ14(u), sinQ14(u + 1024)) << u;
  EXPECT_EQ(cosQ14(0), 16384);
  EXPECT_EQ(cosQ14(1023), 25);  // 90 degrees in units is 1023, so its cosine is not 0
}

TEST(Q14, SmallSquareRoots) {
  // isqrt below 32: 1 for 1-2, 2 for 3-6, 3 for 7-12, 4 for 13-20, 5 for 21-30, 6 for 31.
  const int expected[32] = {0, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 4, 4, 4,
                            4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6};
  for (int x = 0; x < 32; ++x) EXPECT_EQ(isqrt(x), expected[x]) << x;
  EXPECT_EQ(isqrt(-1), 0);
  EXPECT_EQ(isqrt(INT_MIN), 0);
}

TEST(Q14, WideSquareRootFloors) {
  const struct {
    uint64_t x, root;
  } cases[] = {{0, 0}, {1, 1}, {3, 1}, {4, 2}, {(1ull << 62) - 1, (1ull << 31) - 1}, {1ull << 62, 1ull << 31},
               {UINT64_MAX, 0xFFFFFFFFull}, {0xFFFFFFFEull * 0xFFFFFFFEull, 0xFFFFFFFEull}};
  for (const auto& c : cases) EXPECT_EQ(isqrt64(c.x), c.root) << c.x;
}

// The floor root by its definition, r^2 <= x < (r + 1)^2, in 128 bits.
bool isFloorRoot(uint64_t x, uint64_t r) {
  using U = unsigned __int128;
  return U{r} * r <= x && (U{r} + 1) * (U{r} + 1) > x;
}

// Unit vector by its definition: the larger magnitude brought into
// [2^29, 2^30) one bit at a time, the length of the scaled vector rounded up to
// a whole number, each component's quotient by it rounded toward zero.
std::pair<Q14, Q14> referenceUnit(Q14 x, Q14 y) {
  using U = unsigned __int128;
  int64_t ax = x < 0 ? -int64_t{x} : x, ay = y < 0 ? -int64_t{y} : y;
  if ((ax | ay) == 0) return {0, 0};
  while (std::max(ax, ay) < (int64_t{1} << 29)) ax <<= 1, ay <<= 1;
  while (std::max(ax, ay) >= (int64_t{1} << 30)) ax >>= 1, ay >>= 1;
  const U s = U(ax) * ax + U(ay) * ay;
  uint64_t len = static_cast<uint64_t>(std::sqrt(static_cast<double>(s)));
  while (U{len} * len < s) ++len;
  while (len > 0 && U{len - 1} * (len - 1) >= s) --len;
  const Q14 ux = static_cast<Q14>((ax << 14) / static_cast<int64_t>(len));
  const Q14 uy = static_cast<Q14>((ay << 14) / static_cast<int64_t>(len));
  return {x < 0 ? -ux : ux, y < 0 ? -uy : uy};
}

TEST(Q14, WideRootsAgainstTheirDefinition) {
  std::vector<uint64_t> edges = {0, 1, 2, 3, 4, 5, 8, 9, 15, 16, 17, (1ull << 52) - 1, 1ull << 52, (1ull << 53) - 1,
                                 1ull << 53, (1ull << 53) + 1, (1ull << 62) - 1, 1ull << 62, (1ull << 63) - 1,
                                 1ull << 63, UINT64_MAX - 1, UINT64_MAX};
  // Squares and their neighbours where doubles lose the low bits, and the
  // largest roots, whose next square does not fit.
  for (uint64_t r : {94906265ull, 94906266ull, 134217727ull, 134217728ull, 3037000499ull, 3037000500ull,
                     0xFFFFFFFEull, 0xFFFFFFFFull})
    for (uint64_t d : {0ull, 1ull, 2ull}) edges.insert(edges.end(), {r * r - d, r * r + d});
  for (uint64_t x : edges) EXPECT_TRUE(isFloorRoot(x, isqrt64(x))) << x << " -> " << isqrt64(x);
  std::mt19937_64 rng(0x5eed);
  for (int i = 0; i < 200000; ++i) {
    const uint64_t x = rng() >> (rng() % 64);
    ASSERT_TRUE(isFloorRoot(x, isqrt64(x))) << x;
    const uint64_t r = rng() >> 32, sq = r * r;
    for (uint64_t v : {sq - 1, sq, sq + 1}) ASSERT_TRUE(isFloorRoot(v, isqrt64(v))) << v;
  }
}

TEST(Q14, UnitVectorsAgainstTheirDefinition) {
  std::vector<std::pair<Q14, Q14>> edges = {{1, 0},          {0, -1},       {1, 1},        {-1, 1},
                                            {INT32_MIN, 0},  {0, INT32_MIN}, {INT32_MIN, INT32_MIN},
                                            {INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MIN}, {16384, 0},
                                            {3, 4},          {-3, -4},      {1 << 29, 1},  {(1 << 30) - 1, 1},
                                            {1 << 30, -(1 << 30)}, {(1 << 29) - 1, (1 << 29) - 1}, {5, 3}};
  std::mt19937 rng(0x5eed);
  for (int i = 0; i < 100000; ++i) {
    // Every magnitude from one bit to 32, either sign, one side often small.
    const Q14 x = static_cast<Q14>(rng()) >> (rng() % 32), y = static_cast<Q14>(rng()) >> (rng() % 32);
    edges.push_back({x, y});
  }
  for (const auto& [x0, y0] : edges) {
    Q14 x = x0, y = y0;
    unitQ14(x, y);
    const auto want = referenceUnit(x0, y0);
    ASSERT_EQ(x, want.first) << x0 << " " << y0;
    ASSERT_EQ(y, want.second) << x0 << " " << y0;
  }
}

TEST(Q14, SquareRoot) {
  const Binary cases[] = {{0, 0, 1}, {16384, 0, 16384}, {31, 0, 768}, {32, 0, 640}, {-5, 0, 0},
                          {409600, 0, 81920}, {INT_MAX, 0, 46340 << 7}};
  for (const auto& c : cases) EXPECT_EQ(sqrtQ14(c.a), c.expected) << c.a;
  for (int64_t x = 32; x <= INT_MAX; x = x * 3 + 1) {
    const int32_t r = isqrt(static_cast<int32_t>(x));
    EXPECT_LE(int64_t{r} * r, x);
    EXPECT_GT(int64_t{r + 1} * (r + 1), x);
  }
}

TEST(Q14, Abs) {
  EXPECT_EQ(absQ14(-5), 5);
  EXPECT_EQ(absQ14(5), 5);
  EXPECT_EQ(absQ14(INT_MIN), INT_MIN);  // -INT_MIN wraps
}


TEST(Q14, PreciseRootsAndUnitVectors) {
  const struct {
    int64_t x;
    Q14 root;
  } roots[] = {{0, 0},   {-7, 0},   {1, 128}, {16384, 16384}, {31, 713},
               {32, 724}, {0x144000, 147456}, {INT32_MAX, 5931642}};
  for (const auto& c : roots) EXPECT_EQ(preciseSqrtQ14(c.x), c.root) << c.x;
  const struct {
    Q14 x, y, length;
  } lengths[] = {{0, 0, 0}, {3, 4, 5}, {-3, 4, 5}, {5, 3, 6}, {INT32_MIN, 0, INT32_MAX}, {16384, 16384, 23170}};
  for (const auto& c : lengths) EXPECT_EQ(hypotQ14(c.x, c.y), c.length) << c.x << " " << c.y;
  // The engine's root keeps 7 fraction bits and floors; a unit vector made
  // with it may be long. unitQ14 never is, and is short by less than two steps.
  for (int64_t i = 1; i < 200000; i = i * 5 / 4 + 1) {
    for (const auto& v : {std::pair<Q14, Q14>{static_cast<Q14>(i), static_cast<Q14>(i * 7 / 3 - 5)},
                          std::pair<Q14, Q14>{static_cast<Q14>(-i * 40), static_cast<Q14>(i % 97)},
                          std::pair<Q14, Q14>{5, 3}}) {
      Q14 x = v.first, y = v.second;
      unitQ14(x, y);
      const double len = std::hypot(x, y);
      EXPECT_LE(int64_t{x} * x + int64_t{y} * y, int64_t{1} << 28) << v.first << " " << v.second;
      EXPECT_GT(len, 16384 - 2) << v.first << " " << v.second;
      EXPECT_EQ(x < 0, v.first < 0);
      EXPECT_EQ(y < 0, v.second < 0);
    }
  }
  Q14 zx = 0, zy = 0;
  unitQ14(zx, zy);
  EXPECT_EQ(zx, 0);
  EXPECT_EQ(zy, 0);
}

}  // namespace
