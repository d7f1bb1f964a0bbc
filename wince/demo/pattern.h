// The demo's test pattern: frame n of 240x320 RGB565 pixels.
#pragma once

#include <cstdint>

inline uint16_t demoPixel(int x, int y, uint32_t frame) {
  uint32_t r = (static_cast<uint32_t>(x) + frame) & 0x1F;
  uint32_t g = (static_cast<uint32_t>(y) + 2 * frame) & 0x3F;
  uint32_t b = (static_cast<uint32_t>(x) ^ static_cast<uint32_t>(y)) & 0x1F;
  if ((x / 40 + y / 40 + static_cast<int>(frame)) % 2 == 0) b = 0x1F - b;
  return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

inline void demoFill(uint16_t* pixels, uint32_t frame) {
  for (int y = 0; y < 320; ++y)
    for (int x = 0; x < 240; ++x) pixels[y * 240 + x] = demoPixel(x, y, frame);
}
