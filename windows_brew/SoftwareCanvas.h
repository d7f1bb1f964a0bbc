// Software 2D canvas over a block of RGB565 pixels (the frame buffer).
// Colours are 0xAARRGGBB; alpha is used by blendRect only.
#pragma once

#include <cstdint>

class ShellBitmap;

class SoftwareCanvas {
 public:
  SoftwareCanvas();

  void bind(uint16_t* pixels, int32_t width, int32_t height);
  // The bitmap's pixels become the canvas pixels; the bitmap bound before
  // gets its own pixels back.
  void bindScreenBitmap(ShellBitmap* bitmap);

  // cos and sin of whole degrees, times 256.
  int32_t cosDeg(int32_t degrees) const;
  int32_t sinDeg(int32_t degrees) const { return cosDeg(90 - degrees); }

  void setColour(uint32_t argb);
  void setFillColour(uint32_t rgb);
  uint32_t setColourRGB(uint32_t r, uint32_t g, uint32_t b);
  uint32_t setFillColourRGB(uint32_t r, uint32_t g, uint32_t b);
  void setFillFlag(uint32_t flag) { m_fillFlag = static_cast<uint8_t>(flag); }

  void setClip(int32_t x, int32_t y, int32_t w, int32_t h);
  int32_t getClipLeft() const { return m_clipLeft; }
  int32_t getClipTop() const { return m_clipTop; }
  int32_t getClipRight() const { return m_clipRight; }
  int32_t getClipBottom() const { return m_clipBottom; }
  int32_t getClipWidth() const { return m_clipWidth; }
  int32_t getClipHeight() const { return m_clipHeight; }

  // Single pixels ignore the clip (they stay inside the canvas).
  void plot(int32_t x, int32_t y);
  void plotPixel(int32_t x, int32_t y, uint16_t pixel);
  // Clipped line, end point excluded; 0 when wholly outside the clip.
  int drawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
  void drawRect(int32_t x, int32_t y, int32_t w, int32_t h, bool fillInside);
  void fillRect(int32_t x, int32_t y, int32_t w, int32_t h);
  void blendRect(int32_t x, int32_t y, int32_t w, int32_t h);
  void drawRoundRect(int32_t x, int32_t y, int32_t w, int32_t h, int32_t rx, int32_t ry);
  // From a buffer made by ShellHost::convertBmp; 0xF81F is transparent.
  void drawBmpKeyed(int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t x, int32_t y, const uint8_t* bmp);
  // ARGB1555 source; only pixels with bit 15 set are drawn.
  void drawBitmap1555(int32_t sx, int32_t sy, int32_t w, int32_t h, int32_t x, int32_t y, const uint16_t* source,
                      int32_t sourcePitch, int32_t sourceHeight);
  static uint16_t convert1555(uint16_t p) {
    return static_cast<uint16_t>((p & 0x7C00) << 1 | (p & 0x3E0) << 1 | (p & 0x1F));
  }
  static uint16_t pack565(uint32_t rgb) {
    return static_cast<uint16_t>((rgb & 0xF80000) >> 8 | (rgb & 0xFC00) >> 5 | (rgb & 0xF8) >> 3);
  }

  uint16_t* pixels() const { return m_pixels; }
  int32_t width() const { return m_width; }
  int32_t height() const { return m_height; }
  uint32_t colour() const { return m_colour; }
  uint16_t colourPixel() const { return m_colourPixel; }
  uint16_t fillColourPixel() const { return m_fillColourPixel; }
  // Gives the bound bitmap its own pixels back and binds none; only when
  // bitmap is the bound one.
  void unbindScreenBitmap(ShellBitmap* bitmap);
  ShellBitmap* boundBitmap() const { return m_boundBitmap; }

 private:
  // Clips a rectangle; false when nothing is left.
  bool clipRect(int32_t& x, int32_t& y, int32_t& w, int32_t& h) const;
  void fillRectWith(int32_t x, int32_t y, int32_t w, int32_t h, uint16_t pixel);
  // Pixels from..to of a row (none when from > to), unclipped but inside the canvas.
  void fillSpan(int32_t row, int32_t from, int32_t to, uint16_t pixel);
  // Clips a source area and its destination; false when nothing is left.
  bool clipBlit(int32_t& sx, int32_t& sy, int32_t& w, int32_t& h, int32_t& x, int32_t& y, int32_t sourceWidth,
                int32_t sourceHeight) const;

  uint16_t* m_pixels = nullptr;
  int32_t m_width = 0;
  int32_t m_height = 0;
  int32_t m_clipLeft = 0;
  int32_t m_clipTop = 0;
  int32_t m_clipRight = 0;
  int32_t m_clipBottom = 0;
  int32_t m_clipWidth = 0;
  int32_t m_clipHeight = 0;
  uint32_t m_colour = 0;
  uint16_t m_colourPixel = 0;
  uint32_t m_fillColour = 0;
  uint16_t m_fillColourPixel = 0;
  int16_t m_cos[181];
  uint8_t m_fillFlag = 0;
  uint16_t* m_heldPixels = nullptr;
  ShellBitmap* m_boundBitmap = nullptr;
};
