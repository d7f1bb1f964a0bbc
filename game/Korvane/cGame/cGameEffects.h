#pragma once

#include <cstdint>

class cGame;
class Graphics;

// Screen effects and small drawing routines. Filter pixels are
// 0x00RRGGBB; strengths are in 1/128.
struct ScreenFade {
  int32_t direction = 0;  // 0 fades in from black, else out to black
  int32_t length = 0;     // ms; 0 or -1 = off
  int32_t elapsed = 0;    // ms
};
constexpr int32_t kBandBufferPixels = 32768;
constexpr int32_t kGlowBufferPixels = 10240;

void resetEffects(cGame& game);
void startFade(cGame& game, int32_t length, int32_t direction);
void stopFade(cGame& game);
bool updateFade(cGame& game);
void paintFade(cGame& game, Graphics* g);
void paintFadeRect(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h);
// An alpha byte of 0 paints nothing.
void fillRectAlpha(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb);
void glowArea(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t strengthH,
              int32_t strengthV, int32_t gain);
void glowPixels(cGame& game, int32_t w, int32_t h, uint32_t* pixels, int32_t strengthH, int32_t strengthV,
                int32_t gain);
void greyArea(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t strength);
void blurArea(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, bool rightward, int32_t strength);
// Row filters over n pixels.
void filterGrey(uint32_t* pixels, int32_t n, int32_t s);
void filterSmoothLeft(uint32_t* pixels, int32_t n, int32_t s);
void filterSmoothRight(uint32_t* pixels, int32_t n, int32_t s);
void filterSmoothGrey(uint32_t* pixels, int32_t n, int32_t s1, int32_t s2);
void filterWarmBrighten(uint32_t* pixels, int32_t n, int32_t s);
void filterYellowBrighten(uint32_t* pixels, int32_t n, int32_t s);
void filterBrighten(uint32_t* pixels, int32_t n, int32_t s);
void filterBrightenSmooth(uint32_t* pixels, int32_t n, int32_t s);
// Swings between two 0x00RRGGBB values with |sin| of the paint count.
uint32_t pulse(const cGame& game, int32_t period, uint32_t from, uint32_t to);
uint32_t pulseColour(const cGame& game, int32_t period, uint32_t rgbA, uint32_t rgbB);
void drawAlphaPixel(cGame& game, Graphics* g, int32_t x, int32_t y, uint32_t rgb, int32_t alpha);
void drawSmoothLine(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb);
void drawSmoothLineAlpha(cGame& game, Graphics* g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t rgb,
                         int32_t alpha1, int32_t alpha2);
void drawSmoothCircle(cGame& game, Graphics* g, int32_t cx, int32_t cy, int32_t r, uint32_t rgb);
void drawGradientColumn(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgbTop,
                        uint32_t rgbBottom, int32_t step);
void drawGradientBar(cGame& game, Graphics* g, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t rgb1,
                     uint32_t rgb2);
int32_t easeTowards(int32_t current, int32_t target, int32_t rate);
Vector2 rotateVector(const Vector2& v, int32_t angle);  // Q14 degrees
int32_t angleDifference(int32_t a, int32_t b);
int32_t wrapAngle(int32_t a);

struct Effects {
  ScreenFade fade;
  uint32_t bandBuffer[kBandBufferPixels] = {};
  uint32_t glowBuffer[kGlowBufferPixels] = {};
  uint32_t pixelPair[2] = {};
  uint8_t drawSuppressed = 0;       // the small drawing routines draw nothing
  uint8_t alphaBars = 0;            // gradient rows as blended pixel rows
  uint8_t glowNoWriteBack = 0;      // glow computes but does not write
  uint8_t paintingOffscreen32 = 0;  // glow works on the band as it stands
};
