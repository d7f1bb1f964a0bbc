// ASprite painting: modules, frame modules, frames, animation frames, the
// shaded rectangle and the pixel effects.
#include <cstring>

#include "zul/2d/ASprite.h"
#include "zul/2d/Graphics.h"
#include "zul/2d/RgbImage.h"
#include "zul/2d/SpriteServices.h"
#include "zul/2d/cImg.h"

using namespace spritebank;

namespace {

uint32_t clampChannel(int64_t v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

// Reads the area (x, y, w, h) of g's target into buf (scan w), the part
// outside the target left as it is.
void readBack(Graphics* g, uint32_t* buf, int x, int y, int w, int h) {
  Image* t = g ? g->getTarget() : nullptr;
  if (!t) return;
  int ax = x + g->getTranslateX(), ay = y + g->getTranslateY();
  int c0 = ax < 0 ? -ax : 0;
  int c1 = ax + w > t->getWidth() ? t->getWidth() - ax : w;
  if (c1 <= c0) return;
  for (int r = 0; r < h; ++r) {
    if (ay + r < 0 || ay + r >= t->getHeight()) continue;
    g->getRGB(buf + r * w + c0, 0, c1 - c0, x + c0, y + r, c1 - c0, 1);
  }
}

}  // namespace

bool ASprite::touchesClip(Graphics* g, int x, int y, int w, int h) const {
  int cx = g->getClipX(), cy = g->getClipY();
  return x + w > cx && y + h > cy && x < cx + g->getClipWidth() && y < cy + g->getClipHeight();
}

void ASprite::paintModule(Graphics* g, int m, int x, int y, int fl) {
  if (!g) return;
  if (usesRgbImages && currentPalette >= 0 && currentPalette < static_cast<int>(rgbImageCache.size()) &&
      rgbImageCache[currentPalette] && m >= 0 && m < moduleCount) {
    RgbImage& img = rgbImageCache[currentPalette][m];
    if (img.getWidth() != 0 || img.getHeight() != 0) {
      g->drawRegion(&img, 0, 0, img.getWidth(), img.getHeight(), fl & 7, x, y, 0);
      return;
    }
  }
  if (remapSelection >= 0 && remapSelection < static_cast<int>(remapTables.size()) && m >= 0 &&
      m < static_cast<int>(remapTables[remapSelection].size()))
    m = remapTables[remapSelection][m];
  if (m < 0 || m >= moduleCount) return;
  int w = getModuleWidth(m), h = getModuleHeight(m);
  if (w == 0 || h == 0) return;
  if (!touchesClip(g, x, y, w, h) || (flags & kFlagNoModulePaint)) return;
  bool image = moduleKind[m] == kKindImage;
  // Colour modules need no palette or pixel data; image modules do.
  if (image && !(flags & kFlagPixelData)) return;

  cImg* cached = nullptr;
  if (currentPalette >= 0 && currentPalette < static_cast<int>(imageCache.size()) &&
      m < static_cast<int>(imageCache[currentPalette].size()))
    cached = imageCache[currentPalette][m].get();
  if (cached) {
    static const int kTransform[4] = {0, 1, 2, 4};
    cached->draw(g, 0, 0, cached->getWidth(), cached->getHeight(), x, y, kTransform[fl & 3]);
    return;
  }
  if (image) {
    if (uint32_t* px = decodeModule(m)) g->drawRGB(px, 0, w, x, y, w, h, true);
    return;
  }
  uint32_t c = moduleColour[m];
  if (w == 1 && h == 1) {
    if (c != 0x00FF00FF) pendingColour = c;
    return;
  }
  if (moduleKind[m] == kKindShadedRect && pendingColour != kNoPendingColour) {
    paintShadedRect(g, x, y, w, h, c, pendingColour);
    pendingColour = kNoPendingColour;
    return;
  }
  g->setColor(c);
  g->fillRect(x, y, w, h);
  g->setAlpha(255);
}

void ASprite::paintShadedRect(Graphics* g, int x, int y, int w, int h, uint32_t c0, uint32_t c1) {
  if (!g || h < 1) return;
  int32_t ch[4], step[4];
  for (int k = 0; k < 4; ++k) {
    int shift = 24 - 8 * k;
    int32_t a = static_cast<int32_t>((c0 >> shift) & 0xFF) * 256;
    int32_t b = static_cast<int32_t>((c1 >> shift) & 0xFF) * 256;
    ch[k] = a;
    step[k] = (b - a) / h;
  }
  for (int i = 0; i < h; ++i) {
    if ((i & 1) == 0) {
      uint32_t col = static_cast<uint32_t>(ch[0] >> 8) << 24 | static_cast<uint32_t>(ch[1] >> 8) << 16 |
                     static_cast<uint32_t>(ch[2] >> 8) << 8 | static_cast<uint32_t>(ch[3] >> 8);
      g->setColor(col);
      g->fillRect(x, y + i, w, 2);
      g->setAlpha(255);
    }
    for (int k = 0; k < 4; ++k) ch[k] += step[k];
  }
}

void ASprite::paintFrameModule(Graphics* g, int frame, int n, int x, int y, int fl) {
  paintFrameModuleAt(g, frame, n, x, y, fl, 0);
}

void ASprite::paintFrameModuleAt(Graphics* g, int frame, int n, int x, int y, int fl, int depth) {
  const int16_t* r = frameModuleRecord(frame, n);
  if (!r || !g) return;
  int module = r[0] & 0xFFF;
  int ox = r[1], oy = r[2], fm = r[3];
  int mw = getModuleWidth(module), mh = getModuleHeight(module);
  int px = (fl & 1) ? x - ox : x + ox;
  int py = (fl & 2) ? y - oy : y + oy;
  int mirror = fl & 3;
  if (!(fm & kFmSwapAxes) || mirror == 3 || mirror == 0) {
    if (fl & 1) px -= mw;
    if (fl & 2) py -= mh;
  } else if (mirror == 2) {
    fl = (fl | 1) & ~2;
    py -= mw;
  } else {
    fl = (fl | 2) & ~1;
    px -= mh;
  }
  fl ^= fm & 15;
  if (fm & kFmNestedFrame) paintFrameAt(g, module, px, py, fl, depth + 1);
  else if (effectMode != 0) paintModuleEffect(g, module, px, py, fl);
  else paintModule(g, module, px, py, fl);
}

void ASprite::paintFrame(Graphics* g, int frame, int x, int y, int fl) { paintFrameAt(g, frame, x, y, fl, 0); }

void ASprite::paintFrameAt(Graphics* g, int frame, int x, int y, int fl, int depth) {
  // Frames nested deeper than this (or in a cycle) are not painted.
  if (depth > kMaxFrameDepth || frame < 0 || frame >= frameCount) return;
  int count = frameModuleCount[frame];
  for (int n = 0; n < count; ++n) {
    if (!frameModulePalettes.empty()) setCurrentPalette(frameModulePalettes[frameFirstModule[frame] + n]);
    paintFrameModuleAt(g, frame, n, x, y, fl, depth);
  }
}

void ASprite::paintAnimFrame(Graphics* g, int anim, int n, int x, int y, int fl) {
  const uint8_t* r = animFrameRecord(anim, n);
  if (!r) return;
  int dx = static_cast<int8_t>(r[2]), dy = static_cast<int8_t>(r[3]);
  x = (fl & 1) ? x - dx : x + dx;
  y = (fl & 2) ? y - dy : y + dy;
  paintFrame(g, r[0], x, y, fl ^ (r[4] & 15));
}

void ASprite::paintModuleEffect(Graphics* g, int m, int x, int y, int fl) {
  if (!g || m < 0 || m >= moduleCount) return;
  int w = getModuleWidth(m), h = getModuleHeight(m);
  if (w == 0 || h == 0 || !touchesClip(g, x, y, w, h) || encoding != kEnc8Bit) return;
  const int size = SpriteServices::kDecodeBufferWords;
  if (static_cast<int64_t>(w) * h > size) return;
  const int count = w * h;
  const uint32_t* raw = nullptr;
  if (currentPalette >= 0 && currentPalette < static_cast<int>(rawCache.size()) &&
      m < static_cast<int>(rawCache[currentPalette].size()) &&
      static_cast<int>(rawCache[currentPalette][m].size()) == count)
    raw = rawCache[currentPalette][m].data();
  const uint8_t* bytes = nullptr;
  const std::vector<uint32_t>* pal = nullptr;
  if (!raw) {
    if (moduleData.empty() || m >= static_cast<int>(moduleDataOffset.size()) || moduleDataLength[m] < count ||
        moduleDataOffset[m] + static_cast<uint64_t>(count) > moduleData.size())
      return;
    if (currentPalette < 0 || currentPalette >= paletteCount) return;
    bytes = moduleData.data() + moduleDataOffset[m];
    pal = &palettes[currentPalette];
  }
  auto src = [&](int i) -> uint32_t {
    if (raw) return raw[i];
    return bytes[i] < pal->size() ? (*pal)[bytes[i]] : 0;
  };
  bool blend;
  switch (effectMode) {
    case 1: case 2: case 3: case 5: blend = false; break;
    case 4: case 7: case 8: blend = true; break;
    default: return;
  }
  uint32_t* buf = game->decodeBuffer;
  std::memset(buf, 0, static_cast<size_t>(size) * sizeof(uint32_t));
  auto at = [&](int64_t i) -> uint32_t { return i >= 0 && i < size ? buf[i] : 0; };
  bool readsScreen = effectMode == 1 || effectMode == 2 || effectMode == 3 || effectMode == 5;
  if (readsScreen && game->effectReadBack) readBack(game->screenGraphics, buf, x, y, w, h);
  if (effectMode == 7) readBack(g, buf, x, y, w, h);

  const uint32_t p1 = static_cast<uint32_t>(effectParam1);
  switch (effectMode) {
    case 1:
      for (int i = 0; i < count; ++i) {
        int k = static_cast<int>((src(i) & 0xFF) >> 5);
        if (k != 0) buf[i] = at(i + static_cast<int64_t>(k) * w);
      }
      break;
    case 2:
      for (int i = 0; i < count; ++i) {
        uint32_t b = src(i) & 0xFF;
        uint32_t k = b >> 5;
        if (k == 0) continue;
        uint32_t q = at(i + static_cast<int64_t>(b >> 7) * w);
        uint32_t out = q & 0xFF000000u;
        for (int sh = 0; sh <= 16; sh += 8) {
          uint32_t c = (q >> sh) & 0xFF;
          uint32_t v = c + ((c * k) >> 3);
          out |= (v > 255 ? 255 : v) << sh;
        }
        buf[i] = out;
      }
      break;
    case 3:
      for (int i = 0; i < count; ++i) {
        uint32_t s = src(i), d = buf[i], out = d & 0xFF000000u;
        for (int sh = 0; sh <= 16; sh += 8) {
          uint32_t v = ((d >> sh) & 0xFF) + ((s >> sh) & 0xFF);
          out |= (v > 255 ? 255 : v) << sh;
        }
        buf[i] = out;
      }
      break;
    case 4:
      for (int i = 0; i < count; ++i) {
        uint32_t s = src(i);
        int64_t a = (static_cast<int64_t>(s >> 24) * effectParam1) >> 8;
        buf[i] = (s & 0x00FFFFFF) | static_cast<uint32_t>(a) << 24;
      }
      break;
    case 5:
      for (int i = 0; i < count; ++i) {
        uint32_t s = src(i);
        if ((s >> 24) == 0) continue;
        int r = (s >> 16) & 0xFF, gr = (s >> 8) & 0xFF, b = s & 0xFF;
        int grey = (r + gr + b + 16) >> 2;
        auto sat = [&](int c) { return clampChannel(c + ((static_cast<int64_t>(c - grey) * effectParam1) >> 7)); };
        buf[i] = (s & 0xFF000000u) | sat(r) << 16 | sat(gr) << 8 | sat(b);
      }
      break;
    case 7: {
      uint32_t level = effectParam3 ? 0x77 : 0xFF;
      uint32_t a = static_cast<uint32_t>((static_cast<int64_t>(level) * effectParam2) >> 8);
      uint32_t fill = a << 24 | (effectParam3 ? 0x75F8F3u : 0x81FD12u);
      uint32_t edge = ((a & 0xFF) >> 1) << 24 | 0xFFFFFFu;
      for (int i = 0; i < count; ++i) {
        uint32_t s = src(i);
        if ((s & 0xFFFFFF) == p1) {
          buf[i] = fill;
          if (effectParam3 == 0) {
            if ((i + 1) % w != 0 && (src(i + 1) & 0xFFFFFF) != p1) buf[i + 1] = edge;
            if (i % w != 0 && (src(i - 1) & 0xFFFFFF) != p1) buf[i - 1] = edge;
          }
        } else if (s != 0x00FF00FF) {
          buf[i] = s;
        }
      }
      break;
    }
    case 8:
      for (int i = 0; i < count; ++i) {
        int row = i / w, col = i % w;
        uint32_t s = (fl & 1) ? src(row * w + (w - 1 - col)) : src(i);
        buf[i] = (s & 0xFF000000u) | p1;
      }
      break;
  }
  if (!game->effectSuppress) g->drawRGB(buf, 0, w, x, y, w, h, blend);
}
