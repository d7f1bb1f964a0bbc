// Pixel kernels of the 16-bit drawing context: region blits by draw mode and
// source kind, rectangle fills and the Bresenham line, plus a few for other
// destination formats (32-bit 0x00RRGGBB, RGB444, RGB666 in a 32-bit word).
// Kernels trust their arguments: every pixel they are told to touch must lie
// inside its image.
#pragma once

#include <cstdint>
#include <cstring>

// One clipped region blit, filled by Graphics16::blitRegion.
struct BlitParams {
  uint16_t width = 0;   // source pixels per row
  uint16_t height = 0;  // rows
  uint16_t alpha = 255;  // constant alpha of the alpha modes, 0-255
  int32_t srcPitch = 0;  // bytes from one source row to the next
  int32_t dstStep = 0;   // bytes between the destinations of neighbouring source pixels
  int32_t dstRowStep = 0;  // bytes between the destinations of neighbouring rows' first pixels
  const void* palette = nullptr;  // first palette entry used (indexed sources)
  uint32_t key = 0;               // transparent index or pixel value (keyed modes)
  uint8_t srcHasAlpha = 0;        // 16-bit source read as ARGB4444
};

using BlitKernel = void (*)(uint8_t* dst, const uint8_t* src, const BlitParams& p);

inline uint16_t load16(const uint8_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void store16(uint8_t* p, uint16_t v) { std::memcpy(p, &v, 2); }
inline uint32_t load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}
inline void store32(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }

// d + floor((s - d) * a / 256).
inline int blendChannel(int d, int s, int a) { return d + (((s - d) * a) >> 8); }

// Blend into an RGB565 pixel; source channels already at 5, 6 and 5 bits.
inline uint16_t blend565(uint16_t dst, int r, int g, int b, int a) {
  int dr = dst >> 11, dg = (dst >> 5) & 63, db = dst & 31;
  return static_cast<uint16_t>(blendChannel(dr, r, a) << 11 | blendChannel(dg, g, a) << 5 |
                               blendChannel(db, b, a));
}

// RGB565 destination, the kernels of the drawing context's table.
void blitIndexedOpaque(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitIndexedKeyed(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitIndexedAlpha(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitIndexedAlphaKeyed(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitArgbBlend(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitArgbAlpha(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blit16Copy(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blit16Keyed(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blit16Alpha(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blit16AlphaKeyed(uint8_t* dst, const uint8_t* src, const BlitParams& p);
// 16-bit source onto RGB565 held in the low half of 32-bit words; the high half stays.
void blit16OntoWide(uint8_t* dst, const uint8_t* src, const BlitParams& p);

// Fills and line, RGB565.
void fill16(uint8_t* dst, int w, int h, int pitch, uint16_t pixel);
void fillAlpha16(uint8_t* dst, int w, int h, int pitch, uint32_t argb);
void fillAlphaWide(uint8_t* dst, int w, int h, int pitch, uint32_t argb);
// Opaque fill of the low halves of 32-bit words.
void fill16Wide(uint8_t* dst, int w, int h, int pitch, uint16_t pixel);
void line16(uint8_t* dst, int dx, int dy, int pitch, uint16_t pixel);

// Other destination formats: ARGB by its own alpha onto 32-bit 0x00RRGGBB,
// RGB444 and RGB666; 16-bit alpha-keyed onto RGB666.
void blitArgbBlend32(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitArgbBlend444(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blitArgbBlend666(uint8_t* dst, const uint8_t* src, const BlitParams& p);
void blit16AlphaKeyed666(uint8_t* dst, const uint8_t* src, const BlitParams& p);

void fill32(uint8_t* dst, int w, int h, int pitch, uint32_t pixel);
void fillAlpha444(uint8_t* dst, int w, int h, int pitch, uint32_t argb);
void fillAlpha32(uint8_t* dst, int w, int h, int pitch, uint32_t argb);
void line32(uint8_t* dst, int dx, int dy, int pitch, uint32_t pixel);

// Textured spans: count destination pixels from row + 2x (4x for 32-bit
// destinations); the texel is at column u >> 12 and row v >> 12 (12-bit fixed
// point), u and v stepping by du and dv. Texel coordinates are held inside
// the image.
struct SpanSource {
  const uint8_t* pixels = nullptr;
  int pitch = 0;
  int width = 0;
  int height = 0;
  const void* palette = nullptr;  // already offset
  int32_t key = -1;               // indexed: the index not drawn
  int alpha = 255;
};
void spanIndexedKeyed(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s);
void spanIndexedAlpha(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s);
void spanArgbBlend(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s);
void spanArgbAlpha(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s);
void spanIndexedKeyed32(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s);
void spanIndexedAlpha444(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s);
