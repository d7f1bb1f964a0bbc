// The game's random numbers: x = 17x + 1 modulo 2^32.
#pragma once

#include <cstdint>

class Random {
 public:
  void setSeed(uint32_t seed) { x = seed; }
  // Advances and returns the new state read as a signed value.
  int32_t next();
  // A value in 0 .. max - 1 for max > 0 (min is not used; callers pass 0),
  // and in -(|max| - 1) .. 0 for max < 0. max must not be 0.
  int32_t nextInt(int32_t min, int32_t max);

  uint32_t x = 0;
};
