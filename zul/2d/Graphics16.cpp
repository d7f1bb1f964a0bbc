#include "zul/2d/Graphics16.h"

#include <cstddef>

#include "zul/2d/Image.h"
#include "zul/memory/Debug.h"

Graphics16::Graphics16() {
  m_rgb565 = true;
  for (auto& row : m_kernels) {
    for (auto& k : row) k = nullptr;
  }
  m_kernels[k_modeOpaque][k_sourceIndexed] = blitIndexedOpaque;
  m_kernels[k_modeOpaque][k_sourceArgb] = blitArgbBlend;
  m_kernels[k_modeOpaque][k_source16] = blit16Copy;
  m_kernels[k_modeKeyed][k_sourceIndexed] = blitIndexedKeyed;
  m_kernels[k_modeKeyed][k_sourceArgb] = blitArgbBlend;
  m_kernels[k_modeKeyed][k_source16] = blit16Keyed;
  m_kernels[k_modeAlpha][k_sourceIndexed] = blitIndexedAlpha;
  m_kernels[k_modeAlpha][k_sourceArgb] = blitArgbAlpha;
  m_kernels[k_modeAlpha][k_source16] = blit16Alpha;
  m_kernels[k_modeAlphaKeyed][k_sourceIndexed] = blitIndexedAlphaKeyed;
  m_kernels[k_modeAlphaKeyed][k_sourceArgb] = blitArgbAlpha;
  m_kernels[k_modeAlphaKeyed][k_source16] = blit16AlphaKeyed;
}

Graphics16::~Graphics16() = default;

uint16_t Graphics16::argbToPixel(uint32_t c) const {
  return static_cast<uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c & 0xFF) >> 3));
}

uint32_t Graphics16::pixelToRgb(uint16_t p) const {
  return (static_cast<uint32_t>(p & 0xF800) << 8) | (static_cast<uint32_t>(p & 0x07E0) << 5) |
         (static_cast<uint32_t>(p & 0x001F) << 3);
}

bool Graphics16::isWide() const {
  const int width = m_target->getWidth();
  return width > 0 && m_target->getPitch() / width == 4;
}

void Graphics16::setPixelClipped(int x, int y, uint16_t pixel) {
  if (x >= m_clipX0 && x < m_clipX1 && y >= m_clipY0 && y < m_clipY1) store16(pixelAddress(x, y), pixel);
}

void Graphics16::putPixel(int x, int y, uint16_t pixel) {
  if (!m_target) return;
  setPixelClipped(x + m_tx, y + m_ty, pixel);
}

void Graphics16::blitRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y,
                            int paletteOffset) {
  if (!KV_CHECK(transform >= 0 && transform < 8, 996, "graphics")) return;
  if (!image || !m_target || w < 1 || h < 1) return;
  const int pitch = m_target->getPitch();
  const bool wide = isWide();
  // Pixels of a wide surface are 4 bytes apart; the steps follow them so
  // that every transform walks the surface consistently.
  const int px = wide ? 4 : 2;
  int startX, startY, step, rowStep;
  switch (transform) {
    case 0: startX = x; startY = y; step = px; rowStep = pitch; break;
    case 1: startX = x + w - 1; startY = y; step = -px; rowStep = pitch; break;
    case 2: startX = x; startY = y + h - 1; step = px; rowStep = -pitch; break;
    case 3: startX = x + w - 1; startY = y + h - 1; step = -px; rowStep = -pitch; break;
    case 4: startX = x + h - 1; startY = y; step = pitch; rowStep = -px; break;
    case 5: startX = x + h - 1; startY = y + w - 1; step = -pitch; rowStep = -px; break;
    case 6: startX = x; startY = y; step = pitch; rowStep = px; break;
    default: startX = x; startY = y + w - 1; step = -pitch; rowStep = px; break;
  }
  BlitParams p;
  p.width = static_cast<uint16_t>(w);
  p.height = static_cast<uint16_t>(h);
  p.srcPitch = image->getPitch();
  p.dstStep = step;
  p.dstRowStep = rowStep;
  const int bits = image->getBitsPerPixel();
  p.srcHasAlpha = image->hasTransparency() && bits == 16;
  const int alpha = getAlpha();
  int mode = (alpha == 255 && !p.srcHasAlpha) ? k_modeOpaque : k_modeAlpha;
  p.alpha = static_cast<uint16_t>(mode == k_modeAlpha ? alpha : 255);
  const bool keyed = image->hasKey();
  if (keyed) {
    mode += 1;
    p.key = static_cast<uint32_t>(image->getKey());
  }
  const uint8_t* pixels = static_cast<const uint8_t*>(image->getPixels());
  if (!pixels) return;
  const std::ptrdiff_t row = static_cast<std::ptrdiff_t>(sy) * p.srcPitch;
  const uint8_t* src;
  BlitKernel kernel;
  const uint32_t kind = image->getKind();
  if (kind == Image::k_kindIndexed) {
    if (!KV_CHECK(paletteOffset >= 0 && paletteOffset < image->getColourCount(), 1032, "graphics")) return;
    const uint16_t* palette = image->getPalette();
    if (!palette) return;
    p.palette = palette + paletteOffset;
    kernel = m_kernels[mode][k_sourceIndexed];
    if (!KV_CHECK(kernel != nullptr, 1035, "graphics")) return;
    src = pixels + row + sx;
  } else if (kind == Image::k_kindRgb || kind == Image::k_kindMutable) {
    if (bits == 32) {
      kernel = m_kernels[mode][k_sourceArgb];
      if (!KV_CHECK(kernel != nullptr, 1047, "graphics")) return;
      src = pixels + row + 4 * sx;
    } else if (bits == 16) {
      if (wide) {
        kernel = blit16OntoWide;
        // Outside the keyed modes no source value is transparent, and the
        // opaque modes blend at the colour's full alpha.
        if (!keyed) p.key = 0xFFFFFFFFu;
        p.alpha = static_cast<uint16_t>(alpha);
      } else {
        kernel = m_kernels[mode][k_source16];
        if (!KV_CHECK(kernel != nullptr, 1054, "graphics")) return;
      }
      src = pixels + row + 2 * sx;
    } else {
      KV_CHECK(false, 1096, "graphics");
      return;
    }
  } else {
    KV_CHECK(false, 1099, "graphics");
    return;
  }
  kernel(pixelAddress(startX, startY), src, p);
}

void Graphics16::fillRect(int x, int y, int w, int h) {
  if (!m_target) return;
  x += m_tx;
  y += m_ty;
  if (x < m_clipX0) {
    w -= m_clipX0 - x;
    x = m_clipX0;
  }
  if (x + w > m_clipX1) w = m_clipX1 - x;
  if (w <= 0) return;
  if (y < m_clipY0) {
    h -= m_clipY0 - y;
    y = m_clipY0;
  }
  if (y + h > m_clipY1) h = m_clipY1 - y;
  if (h <= 0) return;
  const int pitch = m_target->getPitch();
  uint8_t* dst = pixelAddress(x, y);
  if (getAlpha() < 255) {
    if (isWide()) {
      fillAlphaWide(dst, w, h, pitch, m_color);
    } else {
      fillAlpha16(dst, w, h, pitch, m_color);
    }
  } else if (isWide()) {
    fill16Wide(dst, w, h, pitch, argbToPixel(m_color));
  } else {
    fill16(dst, w, h, pitch, argbToPixel(m_color));
  }
}

void Graphics16::drawLineSegment(int x1, int y1, int x2, int y2) {
  if (!m_target) return;
  KV_CHECK(x1 >= m_clipX0 && x1 < m_clipX1, 800, "graphics");
  KV_CHECK(x2 >= m_clipX0 && x2 < m_clipX1, 801, "graphics");
  KV_CHECK(y1 >= m_clipY0 && y1 < m_clipY1, 802, "graphics");
  KV_CHECK(y2 >= m_clipY0 && y2 < m_clipY1, 803, "graphics");
  line16(pixelAddress(x1, y1), x2 - x1, y2 - y1, m_target->getPitch(), argbToPixel(m_color));
}

void Graphics16::drawCircle(int cx, int cy, int r) {
  if (!m_target) return;
  KV_CHECK(r >= 0, 832, "graphics");
  KV_CHECK(getAlpha() >= 255, 833, "graphics");
  cx += m_tx;
  cy += m_ty;
  const uint16_t p = argbToPixel(m_color);
  int i = 0, j = r, d = 1 - r;
  while (i <= j) {
    setPixelClipped(cx + i, cy + j, p);
    setPixelClipped(cx - i, cy + j, p);
    setPixelClipped(cx + i, cy - j, p);
    setPixelClipped(cx - i, cy - j, p);
    setPixelClipped(cx + j, cy + i, p);
    setPixelClipped(cx - j, cy + i, p);
    setPixelClipped(cx + j, cy - i, p);
    setPixelClipped(cx - j, cy - i, p);
    i += 1;
    if (d >= 0) {
      j -= 1;
      d += 2 * (i - j) + 1;
    } else {
      d += 2 * i + 1;
    }
  }
}

void Graphics16::drawTexturedSpan(int u, int du, int v, int dv, const Image* image, uint8_t* rowAddress, int x,
                                  int count, int paletteOffset) {
  if (!image || !rowAddress || count <= 0) return;
  SpanSource s;
  s.pixels = static_cast<const uint8_t*>(image->getPixels());
  s.pitch = image->getPitch();
  s.width = image->getWidth();
  s.height = image->getHeight();
  s.key = image->getKey();
  s.alpha = getAlpha();
  if (!s.pixels) return;
  const uint32_t kind = image->getKind();
  if (kind == Image::k_kindIndexed) {
    KV_CHECK(image->getBitsPerPixel() == 8, 877, "graphics");
    const uint16_t* palette = image->getPalette();
    if (!palette || paletteOffset < 0 || paletteOffset >= image->getColourCount()) return;
    s.palette = palette + paletteOffset;
    if (s.alpha == 255) {
      spanIndexedKeyed(rowAddress, x, count, u, du, v, dv, s);
    } else {
      spanIndexedAlpha(rowAddress, x, count, u, du, v, dv, s);
    }
  } else if (kind == Image::k_kindRgb) {
    // Texels are read as 32-bit ARGB.
    if (image->getBitsPerPixel() != 32) return;
    if (s.alpha < 255) {
      spanArgbAlpha(rowAddress, x, count, u, du, v, dv, s);
    } else {
      spanArgbBlend(rowAddress, x, count, u, du, v, dv, s);
    }
  } else {
    KV_CHECK(false, 917, "graphics");
  }
}
