#include "zul/lm/Q14.h"

#include <bit>
#include <cmath>

int32_t isqrt(int32_t x) {
  if (x < 32) {
    int32_t h = (x + 1) >> 1;
    int32_t n = 0;
    while (h > n) {
      h -= n;
      n += 1;
    }
    return n;
  }
  // Bit by bit; every trial value stays below 2^31.
  int64_t rest = x;
  int32_t root = 0;
  int32_t bit = 32768;
  for (int i = 15; i >= 0; --i) {
    const int64_t trial = static_cast<int64_t>(2 * root + bit) << i;
    if (rest >= trial) {
      root += bit;
      rest -= trial;
    }
    bit >>= 1;
  }
  return root;
}

uint64_t isqrt64(uint64_t x) {
  // The rounded double root is within one of the floor (x itself rounds to
  // 53 bits, which moves its root by far less than 1); the products below
  // settle the last step exactly.
  uint64_t r = static_cast<uint64_t>(std::sqrt(static_cast<double>(x)));
  if (r > 0xFFFFFFFFu) r = 0xFFFFFFFFu;
  if (r * r > x) return r - 1;
  if (r < 0xFFFFFFFFu && (r + 1) * (r + 1) <= x) return r + 1;
  return r;
}

Q14 sqrtQ14(Q14 x) {
  if (x == 0) return 1;
  return isqrt(x) << 7;
}

namespace {

// Root of v rounded to the nearest whole number: (r + 1/2)^2 = r^2 + r + 1/4.
uint64_t roundedRoot(uint64_t v) {
  const uint64_t r = isqrt64(v);
  return v - r * r > r ? r + 1 : r;
}

uint64_t magnitude(Q14 v) { return static_cast<uint64_t>(v < 0 ? -static_cast<int64_t>(v) : v); }

constexpr uint64_t kQ14Max = 0x7fffffff;

}  // namespace

Q14 preciseSqrtQ14(int64_t x) {
  if (x <= 0) return 0;
  // sqrt(x / 2^14) * 2^14 = sqrt(x * 2^14); above 2^49 the shift would not fit.
  const uint64_t v = static_cast<uint64_t>(x);
  const uint64_t r = v < (uint64_t{1} << 49) ? roundedRoot(v << 14) : roundedRoot(v) << 7;
  return static_cast<Q14>(r > kQ14Max ? kQ14Max : r);
}

Q14 hypotQ14(Q14 x, Q14 y) {
  const uint64_t ax = magnitude(x), ay = magnitude(y);
  // Each square is at most 2^62, so the sum fits.
  const uint64_t r = roundedRoot(ax * ax + ay * ay);
  return static_cast<Q14>(r > kQ14Max ? kQ14Max : r);
}

void unitQ14(Q14& x, Q14& y) {
  uint64_t ax = magnitude(x), ay = magnitude(y);
  if ((ax | ay) == 0) return;
  // Bring the larger magnitude into [2^29, 2^30): small vectors are scaled up
  // exactly, so rounding the length up to a whole number costs under 2^-29 of
  // it; large ones drop low bits, which turns the direction by as little.
  const int shift = 30 - static_cast<int>(std::bit_width(ax > ay ? ax : ay));
  ax = shift >= 0 ? ax << shift : ax >> -shift;
  ay = shift >= 0 ? ay << shift : ay >> -shift;
  const uint64_t s = ax * ax + ay * ay;  // below 2^61
  uint64_t len = isqrt64(s);
  if (len * len < s) ++len;
  // A component's magnitude is at most len, so each quotient is at most 2^14.
  const Q14 ux = static_cast<Q14>((ax << 14) / len), uy = static_cast<Q14>((ay << 14) / len);
  x = x < 0 ? -ux : ux;
  y = y < 0 ? -uy : uy;
}
