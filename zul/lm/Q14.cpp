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

Q14 sqrtQ14(Q14 x) {
  if (x == 0) return 1;
  return isqrt(x) << 7;
}
