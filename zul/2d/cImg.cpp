#include "zul/2d/cImg.h"

#include <cstring>

#include "zul/2d/Graphics.h"
#include "zul/2d/Image.h"
#include "zul/2d/PixelRows.h"
#include "zul/2d/SpriteServices.h"
#include "zul/2d/cPal.h"
#include "zul/io/Stream.h"
#include "zul/memory/Memory.h"

namespace {
void cacheTarget(cImg& img, Graphics* g) {
  Image* target = g ? g->getTarget() : nullptr;
  img.destPixels = target ? static_cast<uint8_t*>(target->getPixels()) : nullptr;
  img.destPitch = target ? target->getPitch() : 0;
}
}  // namespace

cImg::cImg() {
  game = getSpriteServices();
  cacheTarget(*this, game->backBufferGraphics);
}

cImg::~cImg() { release(); }

void cImg::free() { release(); }

void cImg::release() {
  if (data && !sharedData && ownsData) memDeleteArray(data);
  data = nullptr;
  if (palette) {
    palette->release();
    delete palette;
    palette = nullptr;
  }
  indexed = 0;
  hasKey = 0;
  spare = 0;
  width = height = 0;
}

bool cImg::fromArgb(const uint32_t* argb, int w, int h) {
  release();
  if (w <= 0 || h <= 0) return false;
  size_t n = static_cast<size_t>(w) * static_cast<size_t>(h);
  uint16_t* px = static_cast<uint16_t*>(memNewArray(n * 2, "cImg", 77));
  if (!px) return false;
  width = w;
  height = h;
  data = px;
  ownsData = 1;
  sharedData = 0;
  if (argb) {
    for (size_t i = 0; i < n; ++i) {
      uint32_t c = argb[i];
      px[i] = static_cast<uint16_t>(((c & 0xFF0000) >> 19) << 11 | (((c & 0xFF00) >> 5) & ~31u) | ((c & 0xFF) >> 3));
    }
  }
  return true;
}

void cImg::drawAlternate(Graphics*, int, int, int, int, int, int, int) {}

void cImg::draw(Graphics* g, int sx, int sy, int w, int h, int x, int y, int fl) {
  if (!g || !data) return;
  Image* target = g->getTarget();
  if (!target || target->getBitsPerPixel() != 16 || !target->getPixels()) return;
  cacheTarget(*this, g);
  int tx = g->getTranslateX(), ty = g->getTranslateY();
  int dx = x + tx, dy = y + ty;
  // Clip in target coordinates, kept inside the target.
  int left = g->getClipX() + tx, top = g->getClipY() + ty;
  int right = left + g->getClipWidth(), bottom = top + g->getClipHeight();
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > target->getWidth()) right = target->getWidth();
  if (bottom > target->getHeight()) bottom = target->getHeight();
  if (sx < 0 || sy < 0 || sx >= width || sy >= height) return;
  if (sx + w > width) w = width - sx;
  if (sy + h > height) h = height - sy;
  if (w < 1 || h < 1) return;
  if (dx >= right || dx <= left - w || dy >= bottom || dy <= top - h) return;
  int c0 = left > dx ? left - dx : 0, c1 = dx + w > right ? right - dx : w;
  int r0 = top > dy ? top - dy : 0, r1 = dy + h > bottom ? bottom - dy : h;
  if (c1 - c0 < 1 || r1 - r0 < 1) return;
  bool mx = (fl & 1) || (!(fl & 2) && (fl & 4));
  bool my = !(fl & 1) && ((fl & 2) || (fl & 4));
  const uint16_t* colours = nullptr;
  int colourCount = 0;
  if (indexed) {
    if (!palette || !palette->colours) return;
    colours = palette->colours;
    colourCount = palette->coloursPerPalette;
  }
  const int n = c1 - c0;
  for (int r = r0; r < r1; ++r) {
    int srow = sy + (my ? h - 1 - r : r);
    uint16_t* out = reinterpret_cast<uint16_t*>(destPixels + static_cast<ptrdiff_t>(dy + r) * destPitch) + dx + c0;
    const size_t rowAt = static_cast<size_t>(srow) * static_cast<size_t>(width);
    if (!indexed) {
      const uint16_t* row = static_cast<const uint16_t*>(data) + rowAt;
      pixelrows::keyedRowAny(out, mx ? row + (sx + w - 1 - c0) : row + (sx + c0), mx ? -1 : 1, n, kKey);
      continue;
    }
    const uint8_t* idx = static_cast<const uint8_t*>(data) + rowAt;
    for (int c = c0; c < c1; ++c) {
      const uint8_t i = idx[sx + (mx ? w - 1 - c : c)];
      if (i >= colourCount) continue;
      const uint16_t p = colours[i];
      if (p != kKey) out[c - c0] = p;
    }
  }
}

int cImg::findKeyIndex(const uint16_t* list) {
  if (!palette) {
    hasKey = 0;
    return -1;
  }
  int n = palette->coloursPerPalette;
  if (!list) list = palette->colours;
  else if (n == 0) n = 255;
  if (!list) n = 0;
  for (int i = 0; i < n; ++i) {
    if (list[i] == kKey) {
      hasKey = 1;
      return i;
    }
  }
  hasKey = 0;
  return -1;
}

bool cImg::load(Stream* s) {
  release();
  if (!s) return false;
  uint8_t head[8];
  if (s->read(head, 8) != 8) return false;
  int n = head[2] | head[3] << 8;
  int w = head[4] | head[5] << 8;
  int h = head[6] | head[7] << 8;
  cPal* pal = new ("cImg", 340, nullptr) cPal();
  if (!pal) return false;
  uint16_t* block = n > 0 ? static_cast<uint16_t*>(memNewArray(static_cast<size_t>(n) * 2, "cImg", 342)) : nullptr;
  if (n > 0 && !block) {
    delete pal;
    return false;
  }
  uint8_t* raw = reinterpret_cast<uint8_t*>(block);
  if (n > 0 && s->read(raw, n * 2) != n * 2) {
    memDeleteArray(block);
    delete pal;
    return false;
  }
  for (int i = 0; i < n; ++i) block[i] = static_cast<uint16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
  pal->setData(1, n, block);
  palette = pal;
  size_t count = static_cast<size_t>(w) * static_cast<size_t>(h);
  uint8_t* idx = count ? static_cast<uint8_t*>(memNewArray(count, "cImg", 360)) : nullptr;
  if (count && (!idx || s->read(idx, static_cast<int>(count)) != static_cast<int>(count))) {
    if (idx) memDeleteArray(idx);
    release();
    return false;
  }
  data = idx;
  ownsData = 1;
  sharedData = 0;
  indexed = 1;
  width = w;
  height = h;
  setHasKey(1);
  return true;
}
