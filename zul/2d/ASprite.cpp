#include "zul/2d/ASprite.h"

#include <cstring>

#include "zul/2d/RgbImage.h"
#include "zul/2d/SpriteServices.h"
#include "zul/2d/cImg.h"
#include "zul/memory/Memory.h"

using namespace spritebank;

namespace {

// Bounded little-endian reader over one bank entry.
class Reader {
 public:
  Reader(const uint8_t* p, uint32_t len) : m_p(p), m_len(len) {}
  bool has(uint64_t n) const { return m_ok && n <= m_len - m_pos; }
  uint8_t u8() {
    if (!has(1)) return fail();
    return m_p[m_pos++];
  }
  uint16_t u16() {
    if (!has(2)) return fail();
    uint16_t v = static_cast<uint16_t>(m_p[m_pos] | m_p[m_pos + 1] << 8);
    m_pos += 2;
    return v;
  }
  uint32_t u32() {
    uint32_t lo = u16();
    uint32_t hi = u16();
    return lo | hi << 16;
  }
  int8_t i8() { return static_cast<int8_t>(u8()); }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  uint8_t peek() const { return has(1) ? m_p[m_pos] : 0; }
  const uint8_t* take(uint32_t n) {
    if (!has(n)) {
      fail();
      return nullptr;
    }
    const uint8_t* r = m_p + m_pos;
    m_pos += n;
    return r;
  }
  bool ok() const { return m_ok; }
  uint32_t pos() const { return m_pos; }

 private:
  uint8_t fail() {
    m_ok = false;
    return 0;
  }
  const uint8_t* m_p;
  uint32_t m_len;
  uint32_t m_pos = 0;
  bool m_ok = true;
};

}  // namespace

ASprite::ASprite() {
  game = getSpriteServices();
  sharedRect = game->sharedRect;
}

ASprite::~ASprite() { clear(); }

void ASprite::clear() {
  imageCache.clear();
  rawCache.clear();
  rgbImageCache.clear();
  palettes.clear();
  moduleX.clear();
  moduleY.clear();
  moduleWidth.clear();
  moduleHeight.clear();
  moduleKind.clear();
  moduleColour.clear();
  frameModules.clear();
  frameModulePalettes.clear();
  frameModuleCount.clear();
  frameFirstModule.clear();
  glyphModule.clear();
  glyphX.clear();
  glyphY.clear();
  animLength.clear();
  animFirstFrame.clear();
  animFrames.clear();
  remapTables.clear();
  moduleData.clear();
  moduleDataOffset.clear();
  moduleDataLength.clear();
  altWidth.clear();
  altHeight.clear();
  moduleCount = frameModuleTotal = frameCount = animFrameCount = animCount = 0;
  paletteCount = coloursPerPalette = 0;
  flags = 0;
  encoding = 0;
  runMask = runBits = 0;
  hasTransparentColours = 0;
  usesRgbImages = 0;
}

bool ASprite::load(const uint8_t* bytes, uint32_t offset, uint32_t length) {
  clear();
  if (!bytes) return false;
  Reader r(bytes + offset, length);
  r.u16();
  uint32_t f = r.u32();
  int m = r.u16();
  if (!r.ok()) return false;
  flags = f;

  moduleX.assign(m, 0);
  moduleY.assign(m, 0);
  moduleWidth.assign(m, 0);
  moduleHeight.assign(m, 0);
  moduleKind.assign(m, kKindImage);
  moduleColour.assign(m, 0);
  for (int i = 0; i < m && r.ok(); ++i) {
    uint8_t first = r.peek();
    if (first == kMarkerFilledRect || first == kMarkerShadedRect) {
      r.u8();
      moduleKind[i] = first == kMarkerFilledRect ? kKindFilledRect : kKindShadedRect;
      moduleColour[i] = r.u32();
      moduleWidth[i] = r.u8();
      moduleHeight[i] = r.u8();
      continue;
    }
    if (f & kFlagPos16) {
      moduleX[i] = r.i16();
      moduleY[i] = r.i16();
    } else if (f & kFlagPos8) {
      moduleX[i] = r.i8();
      moduleY[i] = r.i8();
    }
    if (f & kFlagSize16) {
      moduleWidth[i] = r.u16();
      moduleHeight[i] = r.u16();
    } else {
      moduleWidth[i] = r.u8();
      moduleHeight[i] = r.u8();
    }
  }

  int fmCount = r.u16();
  bool longFm = (f & kFlagLongFrameModules) != 0;
  bool fmPal = (f & kFlagFrameModulePalette) != 0;
  frameModules.assign(static_cast<size_t>(fmCount) * 4, 0);
  if (fmPal) frameModulePalettes.assign(fmCount, 0);
  for (int i = 0; i < fmCount && r.ok(); ++i) {
    int16_t* rec = &frameModules[static_cast<size_t>(i) * 4];
    if (longFm) {
      rec[0] = r.u8();
      rec[1] = r.i16();
      rec[2] = r.i16();
      if (fmPal) frameModulePalettes[i] = r.i8();
      rec[3] = r.i8();
    } else {
      rec[0] = r.i8();
      rec[1] = r.i8();
      rec[2] = r.i8();
      rec[3] = r.i8();
    }
  }

  int n = r.u16();
  frameModuleCount.assign(n, 0);
  frameFirstModule.assign(n, 0);
  for (int i = 0; i < n && r.ok(); ++i) {
    frameModuleCount[i] = r.u16();
    frameFirstModule[i] = r.u16();
    // A frame's frame modules must lie inside the table.
    if (frameFirstModule[i] + frameModuleCount[i] > fmCount) {
      clear();
      return false;
    }
  }
  r.take(static_cast<uint32_t>(n) * 4);  // per-frame records the game does not use

  int a = r.u16();
  const uint8_t* af = r.take(static_cast<uint32_t>(a) * 5);
  if (af) animFrames.assign(af, af + static_cast<size_t>(a) * 5);

  int k = r.u16();
  animLength.assign(k, 0);
  animFirstFrame.assign(k, 0);
  for (int i = 0; i < k && r.ok(); ++i) {
    animLength[i] = r.u8();
    r.u8();
    int16_t firstFrame = r.i16();
    animFirstFrame[i] = static_cast<uint16_t>(firstFrame);
    if (firstFrame < 0 || firstFrame + animLength[i] > a) {
      clear();
      return false;
    }
  }

  if (r.ok() && (f & kFlagPixelData)) {
    uint16_t format = r.u16();
    int p = r.u8();
    int c = r.u8();
    if (c == 0) c = 256;
    bool known = format == kPal8888 || format == kPal4444 || format == kPal565 || format == kPal1555;
    palettes.assign(p, std::vector<uint32_t>(c, 0));
    for (int pi = 0; pi < p && known && r.ok(); ++pi) {
      for (int ci = 0; ci < c && r.ok(); ++ci) {
        uint32_t v = format == kPal8888 ? r.u32() : r.u16();
        bool transparent = false;
        palettes[pi][ci] = paletteEntryToArgb(format, v, transparent);
        if (transparent) hasTransparentColours = 1;
      }
    }
    paletteCount = p;
    coloursPerPalette = c;
    encoding = r.u16();
    packedRunParams(c, runMask, runBits);
    if (m > 0) {
      moduleDataOffset.assign(m, 0);
      moduleDataLength.assign(m, 0);
      uint32_t start = r.pos();
      for (int i = 0; i < m && r.ok(); ++i) {
        uint16_t len = r.u16();
        moduleDataOffset[i] = r.pos() - start;
        moduleDataLength[i] = len;
        r.take(len);
      }
      if (r.ok()) moduleData.assign(bytes + offset + start, bytes + offset + r.pos());
    }
  }
  if (!r.ok()) {
    clear();
    return false;
  }

  moduleCount = m;
  frameModuleTotal = fmCount;
  frameCount = n;
  animFrameCount = a;
  animCount = k;
  if (m > 0) pendingColour = kNoPendingColour;
  // A font's glyph tables follow frame 0's frame modules.
  if (n > 0) {
    int g = frameModuleCount[0];
    glyphModule.assign(g, 0);
    glyphX.assign(g, 0);
    glyphY.assign(g, 0);
    for (int i = 0; i < g; ++i) {
      const int16_t* rec = &frameModules[static_cast<size_t>(frameFirstModule[0] + i) * 4];
      glyphModule[i] = static_cast<uint8_t>(rec[0]);
      glyphX[i] = rec[1];
      glyphY[i] = rec[2];
    }
  }
  return true;
}

namespace {

// Failed: nothing to decode here (no pixel data, a colour module, no
// palette). Malformed: an image module whose block does not decode.
enum class ModuleDecode { Failed, Ok, Unknown, Malformed };

// Module m's w*h palette indices, whatever the palette; count is set
// unless it fails.
ModuleDecode decodeModuleBlock(const ASprite& s, int m, uint8_t* indices, int& count) {
  if (s.moduleData.empty() || s.moduleDataOffset.empty() || m < 0 || m >= s.moduleCount ||
      s.moduleKind[m] != kKindImage)
    return ModuleDecode::Failed;
  int w = s.moduleWidth[m], h = s.moduleHeight[m];
  if (s.hasAltSizes && m < static_cast<int>(s.altWidth.size()) && m < static_cast<int>(s.altHeight.size()) &&
      (s.altWidth[m] != w || s.altHeight[m] != h))
    return ModuleDecode::Failed;
  if (static_cast<int64_t>(w) * h > kMaxModulePixels) return ModuleDecode::Malformed;
  count = w * h;
  uint32_t off = s.moduleDataOffset[m], len = s.moduleDataLength[m];
  if (off > s.moduleData.size() || len > s.moduleData.size() - off) return ModuleDecode::Malformed;
  DecodeResult res = decodeIndices(s.encoding, s.moduleData.data() + off, len, s.coloursPerPalette, indices, count);
  if (res == DecodeResult::UnknownEncoding) return ModuleDecode::Unknown;
  return res == DecodeResult::Ok ? ModuleDecode::Ok : ModuleDecode::Malformed;
}

// The same for the current palette, with every check decodeModule makes.
ModuleDecode decodeModuleIndices(const ASprite& s, int m, uint8_t* indices, int& count) {
  const int palette = s.getCurrentPalette();
  if (palette < 0 || palette >= s.paletteCount) return ModuleDecode::Failed;
  return decodeModuleBlock(s, m, indices, count);
}

// The RGB565 pixel of an ARGB colour, as cImg::fromArgb makes it.
uint16_t rgb565Of(uint32_t c) {
  return static_cast<uint16_t>(((c & 0xFF0000) >> 19) << 11 | (((c & 0xFF00) >> 5) & ~31u) | ((c & 0xFF) >> 3));
}

}  // namespace

uint32_t* ASprite::decodeModule(int m) {
  bool malformed = false;
  return decodeModule(m, malformed);
}

uint32_t* ASprite::decodeModule(int m, bool& malformed) {
  // Only the module's w*h words are handed back, and the scratch holds them
  // only until the next decode, so the words past them are left as they are.
  uint32_t* buf = game->decodeBuffer;
  uint8_t indices[kMaxModulePixels];
  int count = 0;
  switch (decodeModuleIndices(*this, m, indices, count)) {
    case ModuleDecode::Malformed:
      malformed = true;
      return nullptr;
    case ModuleDecode::Failed: return nullptr;
    case ModuleDecode::Unknown:
      if (count > 0) std::memset(buf, 0, static_cast<size_t>(count) * sizeof(uint32_t));
      return buf;
    case ModuleDecode::Ok: break;
  }
  const std::vector<uint32_t>& pal = palettes[currentPalette];
  for (int i = 0; i < count; ++i) buf[i] = indices[i] < pal.size() ? pal[indices[i]] : 0;
  return buf;
}

void ASprite::setCurrentPalette(int palette) {
  if (palette >= 0 && palette < paletteCount) currentPalette = palette;
}

bool ASprite::imageModulesDecode() const {
  if (!(flags & kFlagPixelData) || paletteCount <= 0) return true;
  uint8_t indices[kMaxModulePixels];
  for (int i = 0; i < moduleCount; ++i) {
    int count = 0;
    if (decodeModuleBlock(*this, i, indices, count) == ModuleDecode::Malformed) return false;
  }
  return true;
}

bool ASprite::buildCacheImages(int palette, int first, int last, int allocOnly) {
  return buildCacheImagesWithAlpha(palette, first, last, allocOnly, nullptr);
}

bool ASprite::buildCacheImagesWithAlpha(int p, int first, int last, int allocOnly, ASprite* alphaBank) {
  int m = moduleCount;
  if (m == 0) return true;
  if (last == -1) last = m - 1;
  bool raw = game->rawCacheOption != 0 || effectMode != 0;
  if (raw) {
    if (rawCache.empty()) rawCache.resize(paletteCount);
  } else if (imageCache.empty()) {
    imageCache.resize(paletteCount);
  }
  if (!(flags & kFlagPixelData) || p < 0 || p >= paletteCount) return true;
  if (raw) {
    if (rawCache[p].empty()) rawCache[p].resize(m);
  } else if (imageCache[p].empty()) {
    imageCache[p].resize(m);
  }
  if (allocOnly >= 0) return true;
  bool whole = true;
  if (first < 0) first = 0;
  if (last >= m) last = m - 1;

  int saved = currentPalette;
  currentPalette = p;
  if (!raw && !usesRgbImages && !alphaBank) {
    // Plain 16-bit images: straight from the indices through the palette's
    // 565 colours, without the ARGB pass in between (the same pixels).
    uint16_t pal565[256];
    const std::vector<uint32_t>& pal = palettes[p];
    const size_t colours = pal.size() < 256 ? pal.size() : 256;
    for (size_t c = 0; c < 256; ++c) pal565[c] = c < colours ? rgb565Of(pal[c]) : 0;
    uint8_t indices[kMaxModulePixels];
    for (int i = first; i <= last; ++i) {
      int count = 0;
      const ModuleDecode res = decodeModuleIndices(*this, i, indices, count);
      whole = whole && res != ModuleDecode::Malformed;
      if (res == ModuleDecode::Failed || res == ModuleDecode::Malformed) continue;
      std::unique_ptr<cImg> img(new cImg());
      if (img->fromArgb(nullptr, getModuleWidth(i), getModuleHeight(i))) {
        auto* out = static_cast<uint16_t*>(img->data);
        if (res == ModuleDecode::Ok)
          for (int k = 0; k < count; ++k) out[k] = pal565[indices[k]];
        else
          std::memset(out, 0, static_cast<size_t>(count) * sizeof(uint16_t));
      }
      imageCache[p][i] = std::move(img);
    }
    currentPalette = saved;
    return whole;
  }
  for (int i = first; i <= last; ++i) {
    bool malformed = false;
    uint32_t* px = decodeModule(i, malformed);
    whole = whole && !malformed;
    if (!px) continue;
    int w = getModuleWidth(i), h = getModuleHeight(i);
    int count = w * h;  // decoded, so at most kMaxModulePixels
    if (alphaBank && i < alphaBank->moduleCount && alphaBank->encoding == kEnc8Bit &&
        static_cast<int64_t>(alphaBank->getModuleWidth(i)) * alphaBank->getModuleHeight(i) == count && !alphaBank->palettes.empty() &&
        i < static_cast<int>(alphaBank->moduleDataOffset.size()) && alphaBank->moduleDataLength[i] >= count &&
        alphaBank->moduleDataOffset[i] + static_cast<uint64_t>(count) <= alphaBank->moduleData.size()) {
      const uint8_t* alpha = alphaBank->moduleData.data() + alphaBank->moduleDataOffset[i];
      const std::vector<uint32_t>& pal0 = alphaBank->palettes[0];
      for (int k = 0; k < count; ++k) {
        // An index past the alpha palette gives a transparent pixel.
        uint32_t entry = alpha[k] < pal0.size() ? pal0[alpha[k]] : 0;
        px[k] = (entry & 0xFF) << 24 | (px[k] & 0x00FFFFFF);
      }
      usesRgbImages = 1;
    }
    if (raw) {
      rawCache[p][i].assign(px, px + count);
    } else if (!usesRgbImages) {
      std::unique_ptr<cImg> img(new cImg());
      img->fromArgb(px, w, h);
      imageCache[p][i] = std::move(img);
    } else {
      if (rgbImageCache.empty()) rgbImageCache.resize(paletteCount);
      if (!rgbImageCache[p]) rgbImageCache[p].reset(new RgbImage[m]);
      uint32_t* copy = static_cast<uint32_t*>(memNewArray(static_cast<size_t>(count) * 4, "ASprite", 0));
      if (!copy) continue;
      std::memcpy(copy, px, static_cast<size_t>(count) * 4);
      rgbImageCache[p][i].freePixels();
      rgbImageCache[p][i].setFromArgb(copy, w, h);
    }
  }
  currentPalette = saved;
  return whole;
}

void ASprite::freeModuleData() {
  moduleData.clear();
  moduleData.shrink_to_fit();
}

void ASprite::freeModuleDataAndOffsets() {
  freeModuleData();
  moduleDataOffset.clear();
  moduleDataOffset.shrink_to_fit();
  moduleDataLength.clear();
  moduleDataLength.shrink_to_fit();
}

void ASprite::setRemapTable(int t, const uint8_t* pairs, int byteCount) {
  if (t < 0 || t >= kMaxRemapTables || moduleCount <= 0) return;
  if (remapTables.empty()) remapTables.resize(kMaxRemapTables);
  std::vector<int16_t>& table = remapTables[t];
  if (table.empty()) {
    table.resize(moduleCount);
    for (int i = 0; i < moduleCount; ++i) table[i] = static_cast<int16_t>(i);
  }
  if (!pairs || byteCount < 4) return;
  for (int k = 0; k + 4 <= byteCount; k += 4) {
    int src = pairs[k] | pairs[k + 1] << 8;
    int dst = pairs[k + 2] | pairs[k + 3] << 8;
    if (src < moduleCount && dst < moduleCount) table[src] = static_cast<int16_t>(dst);
  }
}

int ASprite::getModuleWidth(int m) const {
  if (m < 0 || m >= moduleCount) return 0;
  if (hasAltSizes && m < static_cast<int>(altWidth.size())) return altWidth[m];
  return moduleWidth[m];
}

int ASprite::getModuleHeight(int m) const {
  if (m < 0 || m >= moduleCount) return 0;
  if (hasAltSizes && m < static_cast<int>(altHeight.size())) return altHeight[m];
  return moduleHeight[m];
}

const int16_t* ASprite::frameModuleRecord(int frame, int n) const {
  if (frame < 0 || frame >= frameCount || n < 0 || n >= frameModuleCount[frame]) return nullptr;
  return &frameModules[static_cast<size_t>(frameFirstModule[frame] + n) * 4];
}

const uint8_t* ASprite::animFrameRecord(int anim, int n) const {
  if (anim < 0 || anim >= animCount || n < 0 || n >= animLength[anim]) return nullptr;
  return &animFrames[static_cast<size_t>(animFirstFrame[anim] + n) * 5];
}

int ASprite::getFrameModuleCount(int frame) const {
  return frame >= 0 && frame < frameCount ? frameModuleCount[frame] & 0xFF : 0;
}

int ASprite::getFrameModuleIndex(int frame, int n) const {
  const int16_t* r = frameModuleRecord(frame, n);
  return r ? static_cast<uint16_t>(r[0]) : 0;
}

int ASprite::getFrameModuleX(int frame, int n) const {
  const int16_t* r = frameModuleRecord(frame, n);
  return r ? r[1] : 0;
}

int ASprite::getFrameModuleY(int frame, int n) const {
  const int16_t* r = frameModuleRecord(frame, n);
  return r ? r[2] : 0;
}

int ASprite::getFrameModuleWidth(int frame, int n) const {
  const int16_t* r = frameModuleRecord(frame, n);
  return r ? getModuleWidth(r[0] & 0xFF) : 0;
}

int ASprite::getFrameModuleHeight(int frame, int n) const {
  const int16_t* r = frameModuleRecord(frame, n);
  return r ? getModuleHeight(r[0] & 0xFF) : 0;
}

int ASprite::getAnimFrameCount(int anim) const { return anim >= 0 && anim < animCount ? animLength[anim] : 0; }

int ASprite::getAnimFrameIndex(int anim, int n) const {
  const uint8_t* r = animFrameRecord(anim, n);
  return r ? r[0] : 0;
}

int ASprite::getAnimFrameTime(int anim, int n) const {
  const uint8_t* r = animFrameRecord(anim, n);
  return r ? r[1] : 0;
}

void ASprite::getModuleRect(int32_t* rect, int m, int x, int y) const {
  rect[0] = x;
  rect[1] = y;
  rect[2] = x + getModuleWidth(m);
  rect[3] = y + getModuleHeight(m);
}

void ASprite::getFrameModuleRect(int32_t* rect, int frame, int n) const {
  int ox = getFrameModuleX(frame, n), oy = getFrameModuleY(frame, n);
  rect[0] = ox;
  rect[1] = oy;
  rect[2] = ox + getFrameModuleWidth(frame, n);
  rect[3] = oy + getFrameModuleHeight(frame, n);
}

void ASprite::getFrameModulesBounds(int32_t* rect, int frame) const {
  int32_t r[4];
  rect[0] = rect[1] = 999999;
  rect[2] = rect[3] = -999999;
  int count = frame >= 0 && frame < frameCount ? frameModuleCount[frame] : 0;
  for (int n = 0; n < count; ++n) {
    getFrameModuleRect(r, frame, n);
    if (r[0] < rect[0]) rect[0] = r[0];
    if (r[1] < rect[1]) rect[1] = r[1];
    if (r[2] > rect[2]) rect[2] = r[2];
    if (r[3] > rect[3]) rect[3] = r[3];
  }
}

void ASprite::computeFrameRect(int32_t* rect, int frame, int x, int y, int fl, int hx, int hy) const {
  int32_t b[4];
  getFrameModulesBounds(b, frame);
  int hxp = hx + ((fl & 1) ? b[2] : -b[0]);
  int hyp = hy + ((fl & 2) ? b[3] : -b[1]);
  rect[0] = x - hxp;
  rect[1] = y - hyp;
  rect[2] = rect[0] + (b[2] - b[0]);
  rect[3] = rect[1] + (b[3] - b[1]);
}

void ASprite::getFrameRect(int32_t* rect, int frame, int x, int y, int fl) const {
  computeFrameRect(rect, frame, x, y, fl, 0, 0);
}

void ASprite::getAnimFrameRect(int32_t* rect, int anim, int n, int x, int y, int fl, int hx, int hy) const {
  const uint8_t* r = animFrameRecord(anim, n);
  if (!r) {
    computeFrameRect(rect, -1, x, y, fl, hx, hy);
    return;
  }
  int dx = static_cast<int8_t>(r[2]), dy = static_cast<int8_t>(r[3]);
  if (fl & 0x20) {
    x += (fl & 1) ? dx : -dx;
    y += (fl & 2) ? dy : -dy;
  }
  computeFrameRect(rect, r[0], x, y, fl ^ (r[4] & 15), hx, hy);
}

int ASprite::getFrameWidth(int frame) {
  getFrameRect(sharedRect, frame, 0, 0, 0);
  int d = sharedRect[2] - sharedRect[0];
  return d < 0 ? -d : d;
}

int ASprite::getFrameHeight(int frame) {
  getFrameRect(sharedRect, frame, 0, 0, 0);
  int d = sharedRect[3] - sharedRect[1];
  return d < 0 ? -d : d;
}

// Extent of an animation's frames (after the first) along one axis: index 0
// measures x (rectangle words 0 and 2), index 1 measures y (words 1 and 3).
int ASprite::getAnimExtent(int anim, int axis) {
  int len = getAnimFrameCount(anim);
  if (len == 0) return 0;
  int lo = 0, hi = 0;
  for (int n = 1; n < len; ++n) {
    int frame = getAnimFrameIndex(anim, n);
    int count = frame < frameCount ? frameModuleCount[frame] : 0;
    for (int k = 0; k < count; ++k) {
      getFrameModuleRect(sharedRect, frame, k);
      if (sharedRect[axis] < lo) lo = sharedRect[axis];
      if (sharedRect[axis + 2] > hi) hi = sharedRect[axis + 2];
    }
  }
  int d = hi - lo;
  return d < 0 ? -d : d;
}

int ASprite::getAnimWidth(int anim) { return getAnimExtent(anim, 0); }

int ASprite::getAnimHeight(int anim) { return getAnimExtent(anim, 1); }
