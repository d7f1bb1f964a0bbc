// The 2D drawing context: a target image, a clip rectangle, a translation and
// one ARGB colour. Graphics16 is the implementation for RGB565 surfaces.
#pragma once

#include <cstdint>

class Image;
class FMath;
struct PolyVertex;
struct SpanRow;

class Graphics {
 public:
  Graphics();
  virtual ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  // Device format conversions.
  virtual uint16_t argbToPixel(uint32_t argb) const = 0;
  virtual uint32_t pixelToRgb(uint16_t pixel) const = 0;
  // One device pixel, clipped.
  virtual void putPixel(int x, int y, uint16_t pixel) = 0;
  // Draws an already clipped region; (x, y) is the transformed region's
  // top-left corner in target coordinates.
  virtual void blitRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y,
                          int paletteOffset) = 0;
  // Fills in the current colour, alpha-blended below alpha 255.
  virtual void fillRect(int x, int y, int w, int h) = 0;
  // Target coordinates, both ends inside the clip; both ends drawn.
  virtual void drawLineSegment(int x1, int y1, int x2, int y2) = 0;
  virtual void drawCircle(int cx, int cy, int r) = 0;
  // One textured run of count pixels from pixel x of a target row; u, v are
  // texel coordinates in 12-bit fixed point.
  virtual void drawTexturedSpan(int u, int du, int v, int dv, const Image* image, uint8_t* rowAddress, int x,
                                int count, int paletteOffset) = 0;

  void setTarget(Image* image);
  Image* getTarget() const { return m_target; }
  void resetClip();

  void setClip(int x, int y, int w, int h);
  int getClipX() const { return m_clipX0 - m_tx; }
  int getClipY() const { return m_clipY0 - m_ty; }
  int getClipWidth() const { return m_clipX1 - m_clipX0; }
  int getClipHeight() const { return m_clipY1 - m_clipY0; }
  int getTranslateX() const { return m_tx; }
  int getTranslateY() const { return m_ty; }
  int translateX(int x) const { return x + m_tx; }
  int translateY(int y) const { return y + m_ty; }

  // A colour whose top byte is 0 keeps the current alpha.
  void setColor(uint32_t argb);
  void setColorRaw(uint32_t argb) { m_color = argb; }
  void setAlpha(int alpha);
  int getAlpha() const { return static_cast<int>(m_color >> 24); }
  uint32_t getColor() const { return m_color; }

  // Transforms 0-7: bit 1 mirrors horizontally, bit 2 vertically, bit 4 then
  // turns a quarter clockwise. The transformed region's top-left corner lands
  // at (x, y).
  void drawRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y,
                  int paletteOffset = 0);
  void drawLine(int x1, int y1, int x2, int y2);
  void drawLineRel(int x, int y, int dx, int dy) { drawLine(x, y, x + dx, y + dy); }
  // Outline covering columns x..x+w and rows y..y+h.
  void drawRect(int x, int y, int w, int h);
  // Reads target pixels as 0x00RRGGBB into out[offset + row * scanLength + column].
  void getRGB(uint32_t* out, int offset, int scanLength, int x, int y, int w, int h);
  // Draws an ARGB array: without blend 0x0000F81F entries are skipped, with
  // blend each entry is mixed by its alpha byte.
  void drawRGB(const uint32_t* argb, int offset, int scanLength, int x, int y, int w, int h, bool blend);

  // Shapes.
  void fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3);
  void drawRotatedRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y, int dw,
                         int dh, int cx, int cy, int angle, int paletteOffset = 0);
  // Texture-mapped convex polygons: positions in target coordinates, texture
  // coordinates in source pixels.
  void fillTexturedQuad(const PolyVertex* vertices, const Image* image, int paletteOffset = 0);
  void fillTexturedTriangle(const PolyVertex* vertices, const Image* image, int paletteOffset = 0);
  void drawTexturedRow(int y, const SpanRow& row, const Image* image, int paletteOffset, const FMath& fmath);
  void drawThickCircle(int cx, int cy, int r);
  void drawDot(int x, int y) { drawCircle(x, y, 1); }

 protected:
  // Address of target pixel (x, y): x times the surface's bytes per pixel
  // (pitch / width), kept even.
  uint8_t* pixelAddress(int x, int y) const;
  // Bytes between neighbouring pixels of a row: 4 on surfaces whose pitch / width is 4.
  int pixelStep() const;

  int16_t m_clipX0 = 0;
  int16_t m_clipY0 = 0;
  int16_t m_clipX1 = 0;
  int16_t m_clipY1 = 0;
  int16_t m_tx = 0;
  int16_t m_ty = 0;
  uint32_t m_color = 0;
  Image* m_target = nullptr;
  // Set by a context whose pixels are RGB565 and whose pixelToRgb is
  // Graphics16's: the row loops then convert in line.
  bool m_rgb565 = false;
};
