// Constants of the sprite bank file format, shared by the reader (ASprite)
// and the bank writer in tools/spritebank.
#pragma once

#include <cstdint>

namespace spritebank {

// Bank flags.
constexpr uint32_t kFlagPos8 = 0x00000002;        // image modules carry i8 x, y
constexpr uint32_t kFlagSize16 = 0x00000010;      // image module w, h are u16
constexpr uint32_t kFlagPos16 = 0x00000020;       // image modules carry 16-bit x, y
constexpr uint32_t kFlagLongFrameModules = 0x00000400;
constexpr uint32_t kFlagFrameModulePalette = 0x00004000;
constexpr uint32_t kFlagPixelData = 0x01000000;   // palettes and module data present
constexpr uint32_t kFlagNoModulePaint = 0x20000000;

// Module kinds and their record markers.
constexpr uint8_t kKindImage = 0;
constexpr uint8_t kKindFilledRect = 1;
constexpr uint8_t kKindShadedRect = 2;
constexpr uint8_t kMarkerFilledRect = 0xFF;
constexpr uint8_t kMarkerShadedRect = 0xFE;

// Frame-module flags.
constexpr int kFmMirrorX = 1;
constexpr int kFmMirrorY = 2;
constexpr int kFmSwapAxes = 4;
constexpr int kFmNestedFrame = 0x10;

// Palette formats.
constexpr uint16_t kPal8888 = 0x8888;
constexpr uint16_t kPal4444 = 0x4444;
constexpr uint16_t kPal565 = 0x6505;
constexpr uint16_t kPal1555 = 0x5515;

// Module pixel encodings.
constexpr uint16_t kEncPackedRuns = 0x64F0;
constexpr uint16_t kEncRunsSingles = 0x27F1;
constexpr uint16_t kEncRunsLiterals = 0x56F2;
constexpr uint16_t kEnc4Bit = 0x1600;
constexpr uint16_t kEnc2Bit = 0x0400;
constexpr uint16_t kEnc1Bit = 0x0200;
constexpr uint16_t kEnc8Bit = 0x5602;

constexpr uint16_t kAllEncodings[] = {kEncPackedRuns, kEncRunsSingles, kEncRunsLiterals, kEnc4Bit,
                                      kEnc2Bit,       kEnc1Bit,        kEnc8Bit};

// Largest image module a bank can decode (the decode buffer's module part).
constexpr int kMaxModulePixels = 8192;

// Index mask and run shift of the packed-run encoding for a colour count.
inline void packedRunParams(int colours, int& mask, int& bits) {
  unsigned n = colours > 0 ? static_cast<unsigned>(colours - 1) : 0u;
  unsigned m = 1;
  bits = 0;
  while (n != 0) {
    n >>= 1;
    m *= 2;
    ++bits;
  }
  mask = static_cast<int>(m - 1);
}

// The 0x6505 transparent key.
constexpr uint16_t kKey565 = 0xF81F;

// Palette entry (in the given format) to ARGB; sets transparent when the
// entry makes the bank's transparency flag.
inline uint32_t paletteEntryToArgb(uint16_t format, uint32_t v, bool& transparent) {
  transparent = false;
  switch (format) {
    case kPal8888:
      transparent = (v >> 24) < 0xFF;
      return v;
    case kPal4444: {
      uint32_t a = ((v >> 12) & 0xF) * 17, r = ((v >> 8) & 0xF) * 17, g = ((v >> 4) & 0xF) * 17,
               b = (v & 0xF) * 17;
      transparent = ((v >> 12) & 0xF) < 0xF;
      return a << 24 | r << 16 | g << 8 | b;
    }
    case kPal565: {
      uint32_t r = ((v >> 11) & 0x1F) << 3, g = ((v >> 5) & 0x3F) << 2, b = (v & 0x1F) << 3;
      if ((v & 0xFFFF) == kKey565) {
        transparent = true;
        return r << 16 | g << 8 | b;
      }
      return 0xFF000000u | r << 16 | g << 8 | b;
    }
    case kPal1555: {
      uint32_t a = (v & 0x8000) ? 0xFFu : 0u;
      uint32_t r = ((v >> 10) & 0x1F) << 3, g = ((v >> 5) & 0x1F) << 3, b = (v & 0x1F) << 3;
      return a << 24 | r << 16 | g << 8 | b;
    }
    default:
      return 0;
  }
}

enum class DecodeResult { Ok, Malformed, UnknownEncoding };

// Decodes count pixel indices of one module block (len bytes) into out
// (count bytes). Malformed: a run passes count or the block ends first.
inline DecodeResult decodeIndices(uint16_t encoding, const uint8_t* data, uint32_t len, int colours,
                                  uint8_t* out, int count) {
  uint32_t pos = 0;
  int n = 0;
  auto run = [&](int value, int length) -> bool {
    if (length > count - n) return false;
    for (int k = 0; k < length; ++k) out[n++] = static_cast<uint8_t>(value);
    return true;
  };
  switch (encoding) {
    case kEncPackedRuns: {
      int mask, bits;
      packedRunParams(colours, mask, bits);
      while (n < count) {
        if (pos >= len) return DecodeResult::Malformed;
        unsigned b = data[pos++];
        if (!run(static_cast<int>(b & static_cast<unsigned>(mask)), static_cast<int>(b >> bits) + 1))
          return DecodeResult::Malformed;
      }
      return DecodeResult::Ok;
    }
    case kEncRunsSingles:
      while (n < count) {
        if (pos >= len) return DecodeResult::Malformed;
        unsigned b = data[pos++];
        if (b < 0x80) {
          out[n++] = static_cast<uint8_t>(b);
        } else {
          if (pos >= len) return DecodeResult::Malformed;
          if (!run(data[pos++], static_cast<int>(b - 0x80))) return DecodeResult::Malformed;
        }
      }
      return DecodeResult::Ok;
    case kEncRunsLiterals:
      while (n < count) {
        if (pos >= len) return DecodeResult::Malformed;
        unsigned b = data[pos++];
        if (b < 0x80) {
          if (pos >= len) return DecodeResult::Malformed;
          if (!run(data[pos++], static_cast<int>(b))) return DecodeResult::Malformed;
        } else {
          uint32_t k = b - 0x80;
          if (k > len - pos || static_cast<int>(k) > count - n) return DecodeResult::Malformed;
          for (uint32_t j = 0; j < k; ++j) out[n++] = data[pos++];
        }
      }
      return DecodeResult::Ok;
    case kEnc4Bit:
    case kEnc2Bit:
    case kEnc1Bit:
    case kEnc8Bit: {
      int bpp = encoding == kEnc4Bit ? 4 : encoding == kEnc2Bit ? 2 : encoding == kEnc1Bit ? 1 : 8;
      uint64_t need = (static_cast<uint64_t>(count) * static_cast<uint64_t>(bpp) + 7) / 8;
      if (need > len) return DecodeResult::Malformed;
      unsigned pmask = (1u << bpp) - 1;
      for (int i = 0; i < count; ++i) {
        uint64_t bit = static_cast<uint64_t>(i) * static_cast<uint64_t>(bpp);
        unsigned b = data[bit >> 3];
        int shift = 8 - bpp - static_cast<int>(bit & 7);
        out[i] = static_cast<uint8_t>((b >> shift) & pmask);
      }
      return DecodeResult::Ok;
    }
    default:
      return DecodeResult::UnknownEncoding;
  }
}

}  // namespace spritebank
