// Signed 32-bit fixed point with 14 fraction bits (1.0 = 16384), table sine
// and cosine, square root. Sums and products wrap; nothing saturates.
#pragma once

#include <cstdint>

using Q14 = int32_t;

constexpr Q14 kQ14One = 16384;

// Quarter-wave sine, 16.16: entry i = sin(i * 90 / 1024 degrees).
extern const int32_t kSineTable[1025];

// 32-bit arithmetic that wraps instead of overflowing.
constexpr int32_t wrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t wrapSub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
constexpr int32_t wrapNeg(int32_t a) { return static_cast<int32_t>(0u - static_cast<uint32_t>(a)); }
constexpr int32_t wrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// Full 64-bit product, arithmetic shift right by 14, low 32 bits.
constexpr Q14 q14Mul(Q14 a, Q14 b) {
  return static_cast<Q14>((static_cast<int64_t>(a) * b) >> 14);
}

// (a << 28) / b in 64 bits (truncated), then arithmetic shift right by 14; 0 for b = 0.
constexpr Q14 q14Div(Q14 a, Q14 b) {
  if (b == 0) return 0;
  const int64_t num = static_cast<int64_t>(a) * (int64_t{1} << 28);
  return static_cast<Q14>((num / b) >> 14);
}

constexpr Q14 q14Recip(Q14 x) { return q14Div(kQ14One, x); }

constexpr Q14 q14Lerp(Q14 a, Q14 b, Q14 t) { return wrapAdd(a, q14Mul(wrapSub(b, a), t)); }

// Q14 degrees to table units (4096 per turn); the factor 4096/360 is truncated,
// so 90 degrees gives 1023.
constexpr int32_t q14DegreesToUnits(Q14 deg) { return q14Mul(deg, 186413) >> 14; }

// Sine of a table angle (only the low 12 bits count), Q14 result.
inline Q14 sinQ14(int32_t units) {
  const int32_t a = units & 0xFFF;
  if (a <= 1024) return kSineTable[a] >> 2;
  if (a <= 2048) return kSineTable[2048 - a] >> 2;
  if (a <= 3072) return -(kSineTable[a - 2048] >> 2);
  return -(kSineTable[4096 - a] >> 2);
}

inline Q14 cosQ14(int32_t units) { return sinQ14(wrapAdd(units, 1024)); }

constexpr Q14 absQ14(Q14 x) {
  const Q14 n = wrapNeg(x);
  return x > n ? x : n;
}

// Integer square root (floor for 32 and above; a short series below 32, 0 for
// negative values).
int32_t isqrt(int32_t x);
// Floor of the square root of a 64-bit value.
uint64_t isqrt64(uint64_t x);

// isqrt(x) << 7; 0 gives 1.
Q14 sqrtQ14(Q14 x);

// Square root of a non-negative Q14 value held in 64 bits, rounded to the
// nearest Q14 step (sqrtQ14 keeps only 7 fraction bits and rounds down);
// 0 for 0 and below.
Q14 preciseSqrtQ14(int64_t x);
// Length of (x, y) from the exact sum of the squares, rounded to the nearest
// Q14 step; saturates at the largest Q14.
Q14 hypotQ14(Q14 x, Q14 y);
// (x, y) divided by its length (to 30 significant bits, rounded up), each
// component rounded toward zero: a unit vector never longer than 1.0 and short of it by less
// than two steps. (0, 0) stays (0, 0).
void unitQ14(Q14& x, Q14& y);
