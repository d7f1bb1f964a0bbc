// One placed, animated instance of a sprite bank: an animation, a single
// module or a single frame, relative to an optional parent player.
#pragma once

#include <cstdint>

class ASprite;
class Graphics;

class SpriteAnimPlayer {
 public:
  static constexpr uint32_t kLoop = 0x10000;
  static constexpr uint32_t kHidden = 0x40000;
  static constexpr uint32_t kFrozen = 0x80000;
  static constexpr uint32_t kHold = 0x100000;

  SpriteAnimPlayer(ASprite* sprite, int x, int y, SpriteAnimPlayer* parent);
  ~SpriteAnimPlayer();

  void setAnim(int anim);
  void resetAnim();
  int getAnim() const { return anim; }
  void setPosition(int px, int py) { x = px, y = py; }
  void setPalette(int p) { palette = p; }
  // The game's name for setting the palette word that paint selects on the bank.
  void setFlags(int value) { palette = value; }
  void setPause(int n) { pauseFrames = static_cast<int8_t>(n & 0xFF); }
  bool isAnimOver() const;
  void update();
  void tick() { update(); }
  void paint(Graphics* g);
  void paintOn(Graphics* g) { paint(g); }
  int32_t* computeRect();
  int32_t* paintBounds();
  int32_t* computeScreenRect();
  bool testScreenBits(uint32_t mask) const { return (screenBits & mask) != 0; }
  static bool rectsOverlap(const int32_t* a, const int32_t* b);
  static bool pointInRect(int px, int py, const int32_t* r);

  int32_t x, y;
  int32_t previousX = 0, previousY = 0;
  int32_t offsetX = 0, offsetY = 0;
  int32_t extraX = 0, extraY = 0;
  int32_t palette = 0;
  uint32_t flags = 0;
  ASprite* sprite;
  int32_t anim = -1;
  int32_t frame = 0;
  int32_t time = 0;
  int32_t rect[4] = {};
  uint8_t active = 1;
  int8_t pauseFrames = 0;
  SpriteAnimPlayer* parent;
  uint32_t screenBits = 0;

 private:
  bool hasAnim() const;
  void rectAt(int32_t* out) const;
};
