#include "tools/spritebank/SpriteBankWriter.h"

#include <cstdio>
#include <limits>

namespace spritebank {

Module Module::image(int w, int h, std::vector<uint8_t> indices, int x, int y) {
  Module m;
  m.kind = kKindImage;
  m.width = w;
  m.height = h;
  m.x = x;
  m.y = y;
  m.pixels = std::move(indices);
  return m;
}

Module Module::filledRect(uint32_t argb, int w, int h) {
  Module m;
  m.kind = kKindFilledRect;
  m.colour = argb;
  m.width = w;
  m.height = h;
  return m;
}

Module Module::shadedRect(uint32_t argb, int w, int h) {
  Module m = filledRect(argb, w, h);
  m.kind = kKindShadedRect;
  return m;
}

namespace {

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

int paletteSize(const Bank& bank) { return bank.palettes.empty() ? 0 : static_cast<int>(bank.palettes[0].size()); }

// Colours per palette as the encodings see them (the reader's C).
int colourCount(const Bank& bank) {
  int c = paletteSize(bank);
  return c > 0 ? c : 256;
}

uint8_t firstRecordByte(const Module& m, uint32_t flags) {
  if (flags & kFlagPos16) return static_cast<uint8_t>(m.x & 0xFF);
  if (flags & kFlagPos8) return static_cast<uint8_t>(m.x & 0xFF);
  return static_cast<uint8_t>(m.width & 0xFF);
}

bool markerByte(uint8_t b) { return b == kMarkerFilledRect || b == kMarkerShadedRect; }

class Out {
 public:
  void u8(int v) { bytes.push_back(static_cast<uint8_t>(v & 0xFF)); }
  void u16(int v) {
    u8(v);
    u8(v >> 8);
  }
  void u32(uint32_t v) {
    u16(static_cast<int>(v & 0xFFFF));
    u16(static_cast<int>(v >> 16));
  }
  std::vector<uint8_t> bytes;
};

void encodeRunsSingles(const uint8_t* px, int count, std::vector<uint8_t>& out) {
  int i = 0;
  while (i < count) {
    int v = px[i], len = 1;
    while (i + len < count && px[i + len] == v) ++len;
    i += len;
    while (len > 0) {
      if (v < 0x80 && len <= 2) {
        for (int k = 0; k < len; ++k) out.push_back(static_cast<uint8_t>(v));
        len = 0;
      } else {
        int chunk = len < 127 ? len : 127;
        out.push_back(static_cast<uint8_t>(0x80 + chunk));
        out.push_back(static_cast<uint8_t>(v));
        len -= chunk;
      }
    }
  }
}

void encodeRunsLiterals(const uint8_t* px, int count, std::vector<uint8_t>& out) {
  std::vector<uint8_t> literal;
  auto flush = [&] {
    size_t k = 0;
    while (k < literal.size()) {
      size_t chunk = literal.size() - k < 127 ? literal.size() - k : 127;
      out.push_back(static_cast<uint8_t>(0x80 + chunk));
      out.insert(out.end(), literal.begin() + static_cast<long>(k), literal.begin() + static_cast<long>(k + chunk));
      k += chunk;
    }
    literal.clear();
  };
  int i = 0;
  while (i < count) {
    int v = px[i], len = 1;
    while (i + len < count && px[i + len] == v) ++len;
    if (len >= 3 || (len == 2 && literal.empty())) {
      flush();
      int left = len;
      while (left > 0) {
        int chunk = left < 127 ? left : 127;
        out.push_back(static_cast<uint8_t>(chunk));
        out.push_back(static_cast<uint8_t>(v));
        left -= chunk;
      }
    } else {
      for (int k = 0; k < len; ++k) literal.push_back(static_cast<uint8_t>(v));
    }
    i += len;
  }
  flush();
}

}  // namespace

uint32_t argbToPaletteEntry(uint16_t format, uint32_t c) {
  uint32_t a = c >> 24, r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
  switch (format) {
    case kPal8888:
      return c;
    case kPal4444:
      return (a >> 4) << 12 | (r >> 4) << 8 | (g >> 4) << 4 | (b >> 4);
    case kPal565:
      if (a < 0x80) return kKey565;
      return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
    case kPal1555:
      return (a >= 0x80 ? 0x8000u : 0u) | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
    default:
      return 0;
  }
}

std::vector<uint8_t> encodeIndices(uint16_t encoding, const uint8_t* px, int count, int colours, bool* ok) {
  std::vector<uint8_t> out;
  bool good = true;
  switch (encoding) {
    case kEncPackedRuns: {
      int mask, bits;
      packedRunParams(colours, mask, bits);
      int maxRun = (255 >> bits) + 1;
      int i = 0;
      while (i < count && good) {
        int v = px[i], len = 1;
        if (v > mask) {
          good = false;
          break;
        }
        while (i + len < count && px[i + len] == v && len < maxRun) ++len;
        out.push_back(static_cast<uint8_t>(((len - 1) << bits) | v));
        i += len;
      }
      break;
    }
    case kEncRunsSingles:
      encodeRunsSingles(px, count, out);
      break;
    case kEncRunsLiterals:
      encodeRunsLiterals(px, count, out);
      break;
    case kEnc4Bit:
    case kEnc2Bit:
    case kEnc1Bit:
    case kEnc8Bit: {
      int bpp = encoding == kEnc4Bit ? 4 : encoding == kEnc2Bit ? 2 : encoding == kEnc1Bit ? 1 : 8;
      out.assign((static_cast<size_t>(count) * static_cast<size_t>(bpp) + 7) / 8, 0);
      for (int i = 0; i < count; ++i) {
        if (px[i] >> bpp) {
          good = false;
          break;
        }
        size_t bit = static_cast<size_t>(i) * static_cast<size_t>(bpp);
        out[bit >> 3] = static_cast<uint8_t>(out[bit >> 3] | (px[i] << (8 - bpp - static_cast<int>(bit & 7))));
      }
      break;
    }
    default:
      good = false;
  }
  if (!good) out.clear();
  if (ok) *ok = good;
  return out;
}

uint32_t Bank::minimalFlags() const {
  uint32_t f = flags;
  bool needPos = false, pos16 = false, size16 = false;
  for (const Module& m : modules) {
    if (m.kind != kKindImage) continue;
    if (m.x != 0 || m.y != 0) needPos = true;
    if (!inRange(m.x, -128, 127) || !inRange(m.y, -128, 127)) pos16 = true;
    if (m.width > 255 || m.height > 255) size16 = true;
  }
  if (size16) f |= kFlagSize16;
  if (pos16) f |= kFlagPos16;
  else if (needPos && !(f & kFlagPos16)) f |= kFlagPos8;
  // A record must not start with a colour-module marker.
  for (const Module& m : modules) {
    if (m.kind != kKindImage || !markerByte(firstRecordByte(m, f))) continue;
    if (!(f & (kFlagPos8 | kFlagPos16))) f |= pos16 ? kFlagPos16 : kFlagPos8;
    break;
  }
  for (const Frame& fr : frames) {
    for (const FrameModule& fm : fr.modules) {
      if (!inRange(fm.module, 0, 127) || !inRange(fm.x, -128, 127) || !inRange(fm.y, -128, 127))
        f |= kFlagLongFrameModules;
      if (fm.palette != 0) f |= kFlagLongFrameModules | kFlagFrameModulePalette;
    }
  }
  if (!palettes.empty()) f |= kFlagPixelData;
  return f;
}

int chooseEncoding(const Bank& bank) {
  int colours = colourCount(bank);
  int best = -1;
  size_t bestSize = std::numeric_limits<size_t>::max();
  bool anyImage = false;
  for (uint16_t enc : kAllEncodings) {
    size_t total = 0;
    bool fits = true;
    for (const Module& m : bank.modules) {
      if (m.kind != kKindImage) continue;
      anyImage = true;
      bool ok = false;
      std::vector<uint8_t> data = encodeIndices(enc, m.pixels.data(), static_cast<int>(m.pixels.size()), colours, &ok);
      if (!ok || data.size() > 0xFFFF) {
        fits = false;
        break;
      }
      total += data.size();
    }
    if (fits && total < bestSize) {
      bestSize = total;
      best = enc;
    }
  }
  return anyImage ? best : kEnc8Bit;
}

std::vector<uint8_t> writeBank(const Bank& bank, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return std::vector<uint8_t>();
  };
  uint32_t flags = bank.flags;
  if (!bank.palettes.empty()) flags |= kFlagPixelData;
  bool pixelData = (flags & kFlagPixelData) != 0;
  bool longFm = (flags & kFlagLongFrameModules) != 0;
  bool fmPalette = longFm && (flags & kFlagFrameModulePalette);
  int colours = colourCount(bank);

  if (bank.modules.size() > 0xFFFF) return fail("too many modules");
  if (bank.palettes.size() > 255) return fail("too many palettes");
  for (const auto& p : bank.palettes)
    if (p.size() != bank.palettes[0].size() || p.empty() || p.size() > 256)
      return fail("palettes must all hold the same number (1-256) of colours");

  Out o;
  o.u16(bank.header);
  o.u32(flags);
  o.u16(static_cast<int>(bank.modules.size()));
  for (size_t i = 0; i < bank.modules.size(); ++i) {
    const Module& m = bank.modules[i];
    std::string at = "module " + std::to_string(i) + ": ";
    if (m.kind == kKindFilledRect || m.kind == kKindShadedRect) {
      if (!inRange(m.width, 0, 255) || !inRange(m.height, 0, 255)) return fail(at + "colour module size above 255");
      o.u8(m.kind == kKindFilledRect ? kMarkerFilledRect : kMarkerShadedRect);
      o.u32(m.colour);
      o.u8(m.width);
      o.u8(m.height);
      continue;
    }
    if (m.kind != kKindImage) return fail(at + "unknown kind");
    if (markerByte(firstRecordByte(m, flags))) return fail(at + "record would start with a colour-module marker");
    if (flags & kFlagPos16) {
      if (!inRange(m.x, -32768, 32767) || !inRange(m.y, -32768, 32767)) return fail(at + "position out of range");
      o.u16(m.x);
      o.u16(m.y);
    } else if (flags & kFlagPos8) {
      if (!inRange(m.x, -128, 127) || !inRange(m.y, -128, 127)) return fail(at + "position needs 16 bits");
      o.u8(m.x);
      o.u8(m.y);
    }
    if (flags & kFlagSize16) {
      if (!inRange(m.width, 0, 0xFFFF) || !inRange(m.height, 0, 0xFFFF)) return fail(at + "size out of range");
      o.u16(m.width);
      o.u16(m.height);
    } else {
      if (!inRange(m.width, 0, 255) || !inRange(m.height, 0, 255)) return fail(at + "size needs 16 bits");
      o.u8(m.width);
      o.u8(m.height);
    }
    if (pixelData) {
      if (m.pixels.size() != static_cast<size_t>(m.width) * static_cast<size_t>(m.height))
        return fail(at + "pixel count differs from width x height");
      for (uint8_t v : m.pixels)
        if (v >= colours) return fail(at + "index past the palette");
    }
  }

  size_t fmTotal = 0;
  for (const Frame& f : bank.frames) fmTotal += f.modules.size();
  if (fmTotal > 0xFFFF) return fail("too many frame modules");
  o.u16(static_cast<int>(fmTotal));
  for (size_t fi = 0; fi < bank.frames.size(); ++fi) {
    for (const FrameModule& fm : bank.frames[fi].modules) {
      std::string at = "frame " + std::to_string(fi) + ": ";
      if (longFm) {
        if (!inRange(fm.module, 0, 255)) return fail(at + "module index above 255");
        if (!inRange(fm.x, -32768, 65535) || !inRange(fm.y, -32768, 65535)) return fail(at + "offset out of range");
        o.u8(fm.module);
        o.u16(fm.x);
        o.u16(fm.y);
        if (fmPalette) {
          if (!inRange(fm.palette, -128, 127)) return fail(at + "palette out of range");
          o.u8(fm.palette);
        } else if (fm.palette != 0) {
          return fail(at + "palette bytes need the palette flag");
        }
        if (!inRange(fm.flags, -128, 255)) return fail(at + "flags out of range");
        o.u8(fm.flags);
      } else {
        if (!inRange(fm.module, -128, 127) || !inRange(fm.x, -128, 127) || !inRange(fm.y, -128, 127) ||
            !inRange(fm.flags, -128, 255))
          return fail(at + "frame module needs the long record");
        if (fm.palette != 0) return fail(at + "palette bytes need the long record");
        o.u8(fm.module);
        o.u8(fm.x);
        o.u8(fm.y);
        o.u8(fm.flags);
      }
    }
  }

  if (bank.frames.size() > 0xFFFF) return fail("too many frames");
  o.u16(static_cast<int>(bank.frames.size()));
  size_t first = 0;
  for (const Frame& f : bank.frames) {
    o.u16(static_cast<int>(f.modules.size()));
    o.u16(static_cast<int>(first));
    first += f.modules.size();
  }
  for (size_t i = 0; i < bank.frames.size(); ++i) o.u32(0);  // spare per-frame records

  size_t afTotal = 0;
  for (const Anim& a : bank.anims) afTotal += a.frames.size();
  if (afTotal > 0xFFFF) return fail("too many animation frames");
  o.u16(static_cast<int>(afTotal));
  for (const Anim& a : bank.anims) {
    for (const AnimFrame& af : a.frames) {
      if (!inRange(af.frame, 0, 255) || !inRange(af.time, 0, 255) || !inRange(af.x, -128, 127) ||
          !inRange(af.y, -128, 127) || !inRange(af.flags, 0, 255))
        return fail("animation frame field out of range");
      o.u8(af.frame);
      o.u8(af.time);
      o.u8(af.x);
      o.u8(af.y);
      o.u8(af.flags);
    }
  }
  if (bank.anims.size() > 0xFFFF) return fail("too many animations");
  o.u16(static_cast<int>(bank.anims.size()));
  first = 0;
  for (const Anim& a : bank.anims) {
    if (a.frames.size() > 255) return fail("animation longer than 255 frames");
    o.u8(static_cast<int>(a.frames.size()));
    o.u8(0);
    o.u16(static_cast<int>(first));
    first += a.frames.size();
  }

  if (!pixelData) return o.bytes;

  o.u16(bank.paletteFormat);
  o.u8(static_cast<int>(bank.palettes.size()));
  int c = paletteSize(bank);
  o.u8(c == 256 ? 0 : (c == 0 ? 1 : c));
  bool knownFormat = bank.paletteFormat == kPal8888 || bank.paletteFormat == kPal4444 ||
                     bank.paletteFormat == kPal565 || bank.paletteFormat == kPal1555;
  if (!knownFormat) return fail("unknown palette format");
  for (const auto& p : bank.palettes) {
    for (uint32_t argb : p) {
      uint32_t e = argbToPaletteEntry(bank.paletteFormat, argb);
      if (bank.paletteFormat == kPal8888) o.u32(e);
      else o.u16(static_cast<int>(e));
    }
  }
  int enc = bank.encoding;
  if (enc < 0) {
    enc = chooseEncoding(bank);
    if (enc < 0) return fail("no encoding can hold the module data");
  }
  o.u16(enc);
  for (size_t i = 0; i < bank.modules.size(); ++i) {
    const Module& m = bank.modules[i];
    if (m.kind != kKindImage) {
      o.u16(0);
      continue;
    }
    bool ok = false;
    std::vector<uint8_t> data =
        encodeIndices(static_cast<uint16_t>(enc), m.pixels.data(), static_cast<int>(m.pixels.size()), colours, &ok);
    if (!ok) return fail("module " + std::to_string(i) + ": the encoding cannot hold its indices");
    if (data.size() > 0xFFFF) return fail("module " + std::to_string(i) + ": data block above 65535 bytes");
    o.u16(static_cast<int>(data.size()));
    o.bytes.insert(o.bytes.end(), data.begin(), data.end());
  }
  return o.bytes;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

}  // namespace spritebank
