// The game's random numbers: x = 17x + 1 modulo 2^32.
#pragma once

#include <cstdint>

class Random {
 public:
  void setSeed(uint32_t seed) { x = seed; }
  // Advances and returns the new state read as a signed value.
  int32_t next() {
    x = (x << 4) + x + 1;
    return static_cast<int32_t>(x);
  }
  // A value in 0 .. max - 1 for max > 0 (min is not used; callers pass 0),
  // and in -(|max| - 1) .. 0 for max < 0. max must not be 0.
  int32_t nextInt(int32_t min, int32_t max);

  uint32_t x = 0;
};

inline int32_t Random::nextInt(int32_t /*min*/, int32_t max) {
  int32_t v = next();
  // Absolute value in unsigned arithmetic, so -2^31 gives 2^31.
  uint32_t r = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  if (max > 0) return static_cast<int32_t>(r % static_cast<uint32_t>(max));
  if (max < 0) {
    uint32_t m = 0u - static_cast<uint32_t>(max);
    return -static_cast<int32_t>(r % m);
  }
  return 0;
}
