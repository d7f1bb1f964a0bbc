// Shared helpers of the sprite tests: a 240x320 back buffer wired into the
// sprite services, and small bank builders over the bank writer.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "tools/spritebank/SpriteBankWriter.h"
#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/MutableImage.h"
#include "zul/2d/SpriteServices.h"

namespace spritetest {

inline uint16_t rgb565(uint32_t argb) {
  return static_cast<uint16_t>(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb & 0xFF) >> 3));
}

// A back buffer and services that point at it; restores the default on exit.
class Screen {
 public:
  explicit Screen(int w = 240, int h = 320) : image(new MutableImage(w, h, 16)) {
    services.decodeBuffer = decode.data();
    services.sharedRect = rect;
    services.backBufferGraphics = image->getGraphics();
    services.screenGraphics = image->getGraphics();
    setSpriteServices(&services);
  }
  ~Screen() { setSpriteServices(nullptr); }
  Graphics* g() { return image->getGraphics(); }
  uint16_t& at(int x, int y) {
    return reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(image->getPixels()) + y * image->getPitch())[x];
  }
  void fill(uint16_t v) {
    for (int y = 0; y < image->getHeight(); ++y)
      for (int x = 0; x < image->getWidth(); ++x) at(x, y) = v;
  }
  // w x h block of the screen at (x, y), row by row.
  std::vector<uint16_t> block(int x, int y, int w, int h) {
    std::vector<uint16_t> out;
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) out.push_back(at(x + c, y + r));
    return out;
  }

  std::vector<uint32_t> decode = std::vector<uint32_t>(SpriteServices::kDecodeBufferWords);
  int32_t rect[4] = {};
  SpriteServices services;
  std::unique_ptr<MutableImage> image;
};

inline std::unique_ptr<ASprite> loadBank(const spritebank::Bank& bank) {
  std::string error;
  std::vector<uint8_t> bytes = spritebank::writeBank(bank, &error);
  EXPECT_FALSE(bytes.empty()) << error;
  auto s = std::make_unique<ASprite>();
  EXPECT_TRUE(s->load(bytes.data(), 0, static_cast<uint32_t>(bytes.size())));
  return s;
}

// One 3x2 image module with six distinct colours (indices 1..6), palette 0
// opaque and palette 1 a second set; frame 0 shows module 0 at (0, 0).
inline spritebank::Bank bank3x2(int encoding = -1) {
  spritebank::Bank b;
  b.modules.push_back(spritebank::Module::image(3, 2, {1, 2, 3, 4, 5, 6}));
  b.palettes = {{0x00FF00FF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFFFFFF, 0xFF808080},
                {0x00FF00FF, 0xFF100000, 0xFF001000, 0xFF000010, 0xFF101000, 0xFF001010, 0xFF101010, 0xFF000000}};
  b.frames.push_back({{{0, 0, 0, 0, 0}}});
  b.encoding = encoding;
  b.flags = b.minimalFlags();
  return b;
}

}  // namespace spritetest
