// Small RGB565 surfaces and a game object for the effect and drawing tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "game/Korvane/cGame/cGame.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"

struct Surface {
  int w, h;
  std::vector<uint16_t> px;
  MutableImage image;
  Surface(int width, int height, uint16_t fill = 0)
      : w(width),
        h(height),
        px(static_cast<size_t>(width) * height, fill),
        image(width, height, width * 2, 16, px.data()) {}
  Graphics* g() const { return image.getGraphics(); }
  uint16_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
  void set(int x, int y, uint16_t p) { px[static_cast<size_t>(y) * w + x] = p; }
  int countNonZero() const {
    int n = 0;
    for (uint16_t p : px) n += p != 0;
    return n;
  }
  // A repeatable mixed pattern.
  void fillPattern(uint32_t seed = 1) {
    for (auto& p : px) {
      seed = seed * 1103515245u + 12345u;
      p = static_cast<uint16_t>(seed >> 16);
    }
  }
};

// The 0x00RRGGBB value the drawing context reads back for a pixel.
inline uint32_t rgbOf(uint16_t p) {
  return (static_cast<uint32_t>(p & 0xF800) << 8) | (static_cast<uint32_t>(p & 0x07E0) << 5) |
         (static_cast<uint32_t>(p & 0x001F) << 3);
}
inline uint16_t pixelOf(uint32_t c) {
  return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c & 0xFF) >> 3));
}

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game = std::make_unique<cGame>(nullptr);
    resetEffects(*game);
  }
  std::unique_ptr<cGame> game;
};
