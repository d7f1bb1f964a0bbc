// Light-weight module image: RGB565 pixels (0xF81F transparent) drawn straight
// into a 16-bit target with mirror flags, or 8-bit indices with a palette.
#pragma once

#include <cstdint>

class Graphics;
class Stream;
class cPal;
struct SpriteServices;

class cImg {
 public:
  static constexpr uint16_t kKey = 0xF81F;

  cImg();
  ~cImg();
  cImg(const cImg&) = delete;
  cImg& operator=(const cImg&) = delete;

  // Frees owned data and an owned palette; the image becomes empty.
  void free();
  void release();
  // width x height RGB565 pixels from ARGB (uninitialised when argb is null).
  bool fromArgb(const uint32_t* argb, int width, int height);
  // Draws (sx, sy, w, h) at (x, y); flags: 1 mirror left-right, 2 top-bottom, 4 both.
  void draw(Graphics* g, int sx, int sy, int w, int h, int x, int y, int flags);
  void drawAlternate(Graphics* g, int sx, int sy, int w, int h, int x, int y, int flags);
  int getWidth() const { return width; }
  int getHeight() const { return height; }
  int findKeyIndex(const uint16_t* colours);
  void setHasKey(int flag) { hasKey = static_cast<uint8_t>(flag); }
  // Reads a palette image; false (and an empty image) on short or bad data.
  bool load(Stream* stream);

  bool isIndexed() const { return indexed != 0; }
  const uint16_t* getPixels16() const { return indexed ? nullptr : static_cast<const uint16_t*>(data); }
  const uint8_t* getIndices() const { return indexed ? static_cast<const uint8_t*>(data) : nullptr; }
  cPal* getPalette() const { return palette; }

  SpriteServices* game = nullptr;
  uint8_t* destPixels = nullptr;
  uint8_t ownsData = 1;
  int32_t destPitch = 0;
  uint8_t spare = 0;
  int32_t hasKey = 0;
  int32_t width = 0, height = 0;
  void* data = nullptr;
  int32_t sharedData = 0;
  cPal* palette = nullptr;
  uint8_t indexed = 0;  // data holds 8-bit indices into the palette
};
