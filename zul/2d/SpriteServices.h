// Game-owned state shared by every sprite bank: the decode buffer, the
// measuring rectangle, the option bytes and the graphics contexts. The game
// fills one of these in; until then a built-in default is used.
#pragma once

#include <cstdint>

class Graphics;

struct SpriteServices {
  static constexpr int kDecodeBufferWords = 32768;  // 128 KB
  static constexpr int kDecodeModuleWords = 8192;   // the part a module decode uses

  uint32_t* decodeBuffer = nullptr;  // kDecodeBufferWords words
  int32_t* sharedRect = nullptr;     // x0, y0, x1, y1
  uint8_t rawCacheOption = 0;        // keep raw ARGB copies instead of images
  uint8_t effectReadBack = 0;        // effect modes 1, 2, 3, 5 read the screen first
  uint8_t effectSuppress = 0;        // effects compute but do not draw
  Graphics* screenGraphics = nullptr;    // read back by the effect modes
  Graphics* backBufferGraphics = nullptr;  // the game's drawing context
};

// The services in use. Never null: before setSpriteServices is called (or
// after it is called with null) a built-in instance with its own buffers is
// returned.
SpriteServices* getSpriteServices();
void setSpriteServices(SpriteServices* services);
