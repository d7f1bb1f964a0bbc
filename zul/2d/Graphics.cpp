#include "zul/2d/Graphics.h"

#include <algorithm>
#include <cstddef>

#include "zul/2d/Image.h"
#include "zul/2d/Kernels.h"
#include "zul/2d/PixelRows.h"
#include "zul/memory/Debug.h"

namespace {

constexpr int k_mirrorX = 1;
constexpr int k_mirrorY = 2;
constexpr int k_rotate = 4;

// Transform code to transform bits (the identity).
constexpr uint8_t k_transformBits[8] = {0, 1, 2, 3, 4, 5, 6, 7};

// RGB565 from the channels of a 32-bit colour.
// Graphics16::pixelToRgb.
inline uint32_t rgbOf565(uint16_t p) {
  return (static_cast<uint32_t>(p & 0xF800) << 8) | (static_cast<uint32_t>(p & 0x07E0) << 5) |
         (static_cast<uint32_t>(p & 0x001F) << 3);
}

inline uint16_t packRgb(uint32_t c) {
  return static_cast<uint16_t>(((c & 0xFF0000) >> 19) << 11 | ((c & 0xFF00) >> 10) << 5 | (c & 0xFF) >> 3);
}

}  // namespace

Graphics::Graphics() {
  setColor(0);
  setAlpha(255);
}

Graphics::~Graphics() = default;

void Graphics::setTarget(Image* image) {
  m_target = image;
  resetClip();
  m_tx = 0;
  m_ty = 0;
}

void Graphics::resetClip() {
  m_clipX0 = 0;
  m_clipY0 = 0;
  m_clipX1 = static_cast<int16_t>(m_target ? m_target->getWidth() : 0);
  m_clipY1 = static_cast<int16_t>(m_target ? m_target->getHeight() : 0);
}

void Graphics::setClip(int x, int y, int w, int h) {
  int x0 = x + m_tx;
  int y0 = y + m_ty;
  int x1 = x0 + w;
  int y1 = y0 + h;
  const int tw = m_target ? m_target->getWidth() : 0;
  const int th = m_target ? m_target->getHeight() : 0;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > tw) x1 = tw;
  if (y1 > th) y1 = th;
  // Keep the stored values inside 16 bits; an off-surface rectangle stays empty.
  m_clipX0 = static_cast<int16_t>(std::min(x0, 32767));
  m_clipY0 = static_cast<int16_t>(std::min(y0, 32767));
  m_clipX1 = static_cast<int16_t>(std::max(x1, -32768));
  m_clipY1 = static_cast<int16_t>(std::max(y1, -32768));
}

void Graphics::setColor(uint32_t argb) {
  if (argb & 0xFF000000u) {
    m_color = argb;
  } else {
    m_color = (m_color & 0xFF000000u) | (argb & 0x00FFFFFFu);
  }
}

void Graphics::setAlpha(int alpha) {
  KV_CHECK(alpha < 256, 477, "Graphics");
  m_color = (m_color & 0x00FFFFFFu) | (static_cast<uint32_t>(alpha & 0xFF) << 24);
}

uint8_t* Graphics::pixelAddress(int x, int y) const {
  const int width = m_target->getWidth();
  const int pitch = m_target->getPitch();
  const int bytesPerPixel = width > 0 ? pitch / width : 2;
  uint8_t* pixels = static_cast<uint8_t*>(m_target->getPixels());
  return pixels + static_cast<std::ptrdiff_t>(y) * pitch + 2 * ((x * bytesPerPixel) / 2);
}

int Graphics::pixelStep() const {
  const int width = m_target->getWidth();
  return width > 0 && m_target->getPitch() / width == 4 ? 4 : 2;
}

void Graphics::drawRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y,
                          int paletteOffset) {
  if (!KV_CHECK(transform >= 0 && transform < 8, 996, "graphics")) return;
  if (!image || !m_target) return;
  // Only regions inside the source image are drawn.
  if (sx < 0 || sy < 0 || w < 1 || h < 1 || sx + w > image->getWidth() || sy + h > image->getHeight()) return;
  const int b = k_transformBits[transform];
  int dx = x + m_tx;
  int dy = y + m_ty;
  int d;
  if (!(b & k_rotate)) {
    if ((d = m_clipX0 - dx) > 0) {
      if (!(b & k_mirrorX)) sx += d;
      w -= d;
      dx = m_clipX0;
    }
    if ((d = dx + w - m_clipX1) > 0) {
      if (b & k_mirrorX) sx += d;
      w -= d;
    }
    if ((d = m_clipY0 - dy) > 0) {
      if (!(b & k_mirrorY)) sy += d;
      h -= d;
      dy = m_clipY0;
    }
    if ((d = dy + h - m_clipY1) > 0) {
      if (b & k_mirrorY) sy += d;
      h -= d;
    }
  } else {
    if ((d = m_clipX0 - dx) > 0) {
      if (b & k_mirrorY) sy += d;
      h -= d;
      dx = m_clipX0;
    }
    if ((d = dx + h - m_clipX1) > 0) {
      if (!(b & k_mirrorY)) sy += d;
      h -= d;
    }
    if ((d = m_clipY0 - dy) > 0) {
      if (!(b & k_mirrorX)) sx += d;
      w -= d;
      dy = m_clipY0;
    }
    if ((d = dy + w - m_clipY1) > 0) {
      if (b & k_mirrorX) sx += d;
      w -= d;
    }
  }
  if (w < 1 || h < 1) return;
  blitRegion(image, sx, sy, w, h, transform, dx, dy, paletteOffset);
}

void Graphics::drawLine(int x1, int y1, int x2, int y2) {
  const int W = m_clipX1 - m_clipX0;
  const int H = m_clipY1 - m_clipY0;
  if (W <= 0 || H <= 0) return;
  // Box coordinates.
  int64_t ax = static_cast<int64_t>(x1) + m_tx - m_clipX0;
  int64_t ay = static_cast<int64_t>(y1) + m_ty - m_clipY0;
  int64_t bx = static_cast<int64_t>(x2) + m_tx - m_clipX0;
  int64_t by = static_cast<int64_t>(y2) + m_ty - m_clipY0;
  auto outcode = [W, H](int64_t x, int64_t y) {
    int c = 0;
    if (y < 0) {
      c = 1;
    } else if (y >= H) {
      c = 2;
    }
    if (x >= W) {
      c |= 4;
    } else if (x < 0) {
      c |= 8;
    }
    return c;
  };
  int ca = outcode(ax, ay);
  int cb = outcode(bx, by);
  // Each move puts one end on a box edge; a few rounds always settle it.
  for (int round = 0;; ++round) {
    if ((ca | cb) == 0) break;
    if ((ca & cb) != 0 || round >= 8) return;
    const bool first = ca != 0;
    const int code = first ? ca : cb;
    int64_t x, y;
    if (code & 1) {
      x = ax - (bx - ax) * ay / (by - ay);
      y = 0;
    } else if (code & 2) {
      x = ax + (bx - ax) * (H - ay) / (by - ay);
      y = H - 1;
    } else if (code & 4) {
      y = ay + (by - ay) * (W - ax) / (bx - ax);
      x = W - 1;
    } else {
      y = ay - (by - ay) * ax / (bx - ax);
      x = 0;
    }
    if (first) {
      ax = x;
      ay = y;
      ca = outcode(ax, ay);
    } else {
      bx = x;
      by = y;
      cb = outcode(bx, by);
    }
  }
  drawLineSegment(static_cast<int>(ax) + m_clipX0, static_cast<int>(ay) + m_clipY0, static_cast<int>(bx) + m_clipX0,
                  static_cast<int>(by) + m_clipY0);
}

void Graphics::drawRect(int x, int y, int w, int h) {
  drawLineRel(x, y, w, 0);
  drawLineRel(x, y, 0, h);
  drawLineRel(x + w, y, 0, h);
  drawLineRel(x, y + h, w, 0);
}

void Graphics::getRGB(uint32_t* out, int offset, int scanLength, int x, int y, int w, int h) {
  if (!out || !m_target || offset < 0 || w < 1 || h < 1 || scanLength < w) return;
  x += m_tx;
  y += m_ty;
  const int c0 = std::max(x, 0);
  const int c1 = std::min(x + w, static_cast<int>(m_target->getWidth()));
  const int r0 = std::max(y, 0);
  const int r1 = std::min(y + h, static_cast<int>(m_target->getHeight()));
  if (c0 >= c1 || r0 >= r1) return;
  const int step = pixelStep();
  for (int r = r0; r < r1; ++r) {
    const uint8_t* src = pixelAddress(c0, r);
    uint32_t* o = out + offset + static_cast<std::ptrdiff_t>(r - y) * scanLength + (c0 - x);
    if (m_rgb565) {
      for (int i = c1 - c0 - 1; i >= 0; --i) o[i] = rgbOf565(load16(src + step * i));
      continue;
    }
    for (int i = c1 - c0 - 1; i >= 0; --i) o[i] = pixelToRgb(load16(src + step * i));
  }
}

void Graphics::drawRGB(const uint32_t* argb, int offset, int scanLength, int x, int y, int w, int h, bool blend) {
  if (!argb || !m_target || offset < 0) return;
  const int left = getClipX();
  const int top = getClipY();
  const int right = left + getClipWidth();
  const int bottom = top + getClipHeight();
  if (scanLength <= 0) return;
  int srcX = offset % scanLength;
  int srcY = offset / scanLength;
  if (srcX + w > scanLength) w = scanLength - srcX;
  if (!(x < right && x > left - w && y < bottom && y > top - h)) return;
  if (x + w > right) w = right - x;
  if (x < left) {
    const int d = left - x;
    w -= d;
    x = left;
    srcX += d;
  }
  if (!(w > 0 && srcX < m_target->getWidth())) return;
  if (y + h > bottom) h = bottom - y;
  if (y < top) {
    const int d = top - y;
    h -= d;
    y = top;
    srcY += d;
  }
  if (!(h > 0 && srcY < m_target->getHeight())) return;
  const int dx = x + m_tx;
  const int dy = y + m_ty;
  const int step = pixelStep();
  for (int r = 0; r < h; ++r) {
    uint8_t* dst = pixelAddress(dx, dy + r);
    const uint32_t* src = argb + static_cast<std::ptrdiff_t>(srcY + r) * scanLength + srcX;
    if (!blend) {
      for (int i = w - 1; i >= 0; --i) {
        const uint32_t c = src[i];
        if (c == 0x0000F81Fu) continue;
        store16(dst + step * i, packRgb(c));
      }
    } else if (m_rgb565 && step == 2) {
      pixelrows::argbOverRowAny(reinterpret_cast<uint16_t*>(dst), src, w);
    } else {
      for (int i = w - 1; i >= 0; --i) {
        const uint32_t c = src[i];
        const uint32_t a = c >> 24;
        const uint32_t ia = 256 - a;
        const uint32_t d = pixelToRgb(load16(dst + step * i));
        const uint32_t r8 = (((c >> 16) & 255) * a + ((d >> 16) & 255) * ia) >> 8;
        const uint32_t g8 = (((c >> 8) & 255) * a + ((d >> 8) & 255) * ia) >> 8;
        const uint32_t b8 = ((c & 255) * a + (d & 255) * ia) >> 8;
        store16(dst + step * i, packRgb(r8 << 16 | g8 << 8 | b8));
      }
    }
  }
}
