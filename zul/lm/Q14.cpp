#include "zul/lm/Q14.h"

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
  uint64_t root = 0;
  for (uint64_t bit = uint64_t{1} << 62; bit != 0; bit >>= 2) {
    if (x >= root + bit) {
      x -= root + bit;
      root = (root >> 1) + bit;
    } else {
      root >>= 1;
    }
  }
  return root;
}

Q14 sqrtQ14(Q14 x) {
  if (x == 0) return 1;
  return isqrt(x) << 7;
}
