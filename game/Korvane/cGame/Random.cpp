#include "game/Korvane/cGame/Random.h"

int32_t Random::next() {
  x = (x << 4) + x + 1;
  return static_cast<int32_t>(x);
}

int32_t Random::nextInt(int32_t /*min*/, int32_t max) {
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
