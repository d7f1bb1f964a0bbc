#include "windows_brew/ShellBitmap.h"

#include <cstdlib>
#include <cstring>

ShellBitmap::ShellBitmap(int32_t width, int32_t height) {
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  m_width = width;
  m_height = height;
  pitch = width * 2;
  std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  pixels = static_cast<uint16_t*>(std::calloc(n ? n : 1, sizeof(uint16_t)));
}

void ShellBitmap::release() {
  if (m_refCount >= 2) {
    --m_refCount;
    return;
  }
  std::free(pixels);
  delete this;
}

void ShellBitmap::blit(ShellBitmap* d, int32_t x, int32_t y, int32_t w, int32_t h, const ShellBitmap* s, int32_t sx,
                       int32_t sy) {
  if (!s || !d || !s->pixels || !d->pixels) return;
  // Cut the area to both bitmaps.
  if (sx < 0) { w += sx; x -= sx; sx = 0; }
  if (sy < 0) { h += sy; y -= sy; sy = 0; }
  if (x < 0) { w += x; sx -= x; x = 0; }
  if (y < 0) { h += y; sy -= y; y = 0; }
  if (w > s->m_width - sx) w = s->m_width - sx;
  if (h > s->m_height - sy) h = s->m_height - sy;
  if (w > d->m_width - x) w = d->m_width - x;
  if (h > d->m_height - y) h = d->m_height - y;
  if (w <= 0 || h <= 0) return;
  for (int32_t row = 0; row < h; ++row) {
    std::memmove(d->pixels + static_cast<std::size_t>(y + row) * d->m_width + x,
                 s->pixels + static_cast<std::size_t>(sy + row) * s->m_width + sx,
                 static_cast<std::size_t>(w) * sizeof(uint16_t));
  }
}
