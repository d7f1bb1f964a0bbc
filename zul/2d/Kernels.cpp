#include "zul/2d/Kernels.h"

#include <cstddef>

#include "zul/2d/PixelRows.h"
#include "zul/memory/Debug.h"

namespace {

// Walks the block: height rows of width source pixels (SrcBytes each), the
// destination stepped as the block says. Offsets are only turned into
// addresses for pixels that are touched.
template <int SrcBytes, class Op>
inline void walk(uint8_t* dst, const uint8_t* src, const BlitParams& p, Op op) {
  std::ptrdiff_t dRow = 0;
  std::ptrdiff_t sRow = 0;
  const int w = p.width;
  const std::ptrdiff_t step = p.dstStep;
  for (int r = 0; r < p.height; ++r) {
    const uint8_t* s = src + sRow;
    if (step == 2) {
      // Consecutive 16-bit destinations: a constant stride the compiler can unroll.
      uint8_t* d = dst + dRow;
#pragma GCC unroll 4
      for (int i = 0; i < w; ++i) op(d + 2 * i, s + SrcBytes * i);
    } else {
      std::ptrdiff_t d = dRow;
#pragma GCC unroll 4
      for (int i = 0; i < w; ++i) {
        op(dst + d, s);
        d += step;
        s += SrcBytes;
      }
    }
    dRow += p.dstRowStep;
    sRow += p.srcPitch;
  }
}

// Destination formats: channel widths, unpacking and packing.
struct F565 {
  static constexpr int kR = 5, kG = 6, kB = 5;
  static uint32_t load(const uint8_t* p) { return load16(p); }
  static void store(uint8_t* p, uint32_t v) { store16(p, static_cast<uint16_t>(v)); }
  static void unpack(uint32_t v, int& r, int& g, int& b) {
    r = static_cast<int>(v >> 11) & 31;
    g = static_cast<int>(v >> 5) & 63;
    b = static_cast<int>(v) & 31;
  }
  static uint32_t pack(int r, int g, int b) { return static_cast<uint32_t>(r << 11 | g << 5 | b); }
};
struct F444 {
  static constexpr int kR = 4, kG = 4, kB = 4, kBytes = 2;
  static uint32_t load(const uint8_t* p) { return load16(p); }
  static void store(uint8_t* p, uint32_t v) { store16(p, static_cast<uint16_t>(v)); }
  static void unpack(uint32_t v, int& r, int& g, int& b) {
    r = static_cast<int>(v >> 8) & 15;
    g = static_cast<int>(v >> 4) & 15;
    b = static_cast<int>(v) & 15;
  }
  static uint32_t pack(int r, int g, int b) { return static_cast<uint32_t>(r << 8 | g << 4 | b); }
};
struct F888 {
  static constexpr int kR = 8, kG = 8, kB = 8, kBytes = 4;
  static uint32_t load(const uint8_t* p) { return load32(p); }
  static void store(uint8_t* p, uint32_t v) { store32(p, v); }
  static void unpack(uint32_t v, int& r, int& g, int& b) {
    r = static_cast<int>(v >> 16) & 255;
    g = static_cast<int>(v >> 8) & 255;
    b = static_cast<int>(v) & 255;
  }
  static uint32_t pack(int r, int g, int b) { return static_cast<uint32_t>(r << 16 | g << 8 | b); }
};
struct F666 {
  static constexpr int kR = 6, kG = 6, kB = 6;
  static uint32_t load(const uint8_t* p) { return load32(p); }
  static void store(uint8_t* p, uint32_t v) { store32(p, v); }
  static void unpack(uint32_t v, int& r, int& g, int& b) {
    r = static_cast<int>(v >> 12) & 63;
    g = static_cast<int>(v >> 6) & 63;
    b = static_cast<int>(v) & 63;
  }
  static uint32_t pack(int r, int g, int b) { return static_cast<uint32_t>(r << 12 | g << 6 | b); }
};

// Blends source channels (already at the format's widths) into one pixel.
template <class F>
inline void blendInto(uint8_t* d, int r, int g, int b, int a) {
  int dr, dg, db;
  F::unpack(F::load(d), dr, dg, db);
  F::store(d, F::pack(blendChannel(dr, r, a), blendChannel(dg, g, a), blendChannel(db, b, a)));
}

// Blends a value of the format itself.
template <class F>
inline void blendValue(uint8_t* d, uint32_t value, int a) {
  int r, g, b;
  F::unpack(value, r, g, b);
  blendInto<F>(d, r, g, b, a);
}

// 32-bit ARGB source with its own alpha, scaled by the constant alpha when Scaled.
template <class F, bool Scaled>
inline void blendArgb(uint8_t* d, uint32_t c, int alpha) {
  int a = static_cast<int>(c >> 24);
  if (Scaled) a = (a * alpha) >> 8;
  blendInto<F>(d, static_cast<int>((c >> 16) & 255) >> (8 - F::kR), static_cast<int>((c >> 8) & 255) >> (8 - F::kG),
               static_cast<int>(c & 255) >> (8 - F::kB), a);
}

template <class T>
inline const T* paletteOf(const BlitParams& p) {
  return static_cast<const T*>(p.palette);
}

// 16-bit source pixel decoded for the alpha-keyed kernels: ARGB4444 with its
// own alpha, or RGB565 with the constant alpha.
inline void decode16(uint16_t s, const BlitParams& p, int& r, int& g, int& b, int& a) {
  if (p.srcHasAlpha) {
    a = ((s >> 12) & 15) << 4;
    r = ((s >> 8) & 15) << 1;
    g = ((s >> 4) & 15) << 2;
    b = (s & 15) << 1;
  } else {
    a = p.alpha;
    r = s >> 11;
    g = (s >> 5) & 63;
    b = s & 31;
  }
}

}  // namespace

// ---- RGB565 destination ----

void blitIndexedOpaque(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  KV_CHECK(p.height > 0, 266, "Graphics");
  const uint16_t* pal = paletteOf<uint16_t>(p);
  walk<1>(dst, src, p, [pal](uint8_t* d, const uint8_t* s) { store16(d, pal[*s]); });
}

void blitIndexedKeyed(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint16_t* pal = paletteOf<uint16_t>(p);
  const uint32_t key = p.key;
  walk<1>(dst, src, p, [pal, key](uint8_t* d, const uint8_t* s) {
    if (*s != key) store16(d, pal[*s]);
  });
}

void blitIndexedAlpha(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint16_t* pal = paletteOf<uint16_t>(p);
  const int a = p.alpha;
  walk<1>(dst, src, p, [pal, a](uint8_t* d, const uint8_t* s) { blendValue<F565>(d, pal[*s], a); });
}

void blitIndexedAlphaKeyed(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint16_t* pal = paletteOf<uint16_t>(p);
  const int a = p.alpha;
  const uint32_t key = p.key;
  walk<1>(dst, src, p, [pal, a, key](uint8_t* d, const uint8_t* s) {
    if (*s != key) blendValue<F565>(d, pal[*s], a);
  });
}


void blitArgbAlpha(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const int a = p.alpha;
  walk<4>(dst, src, p, [a](uint8_t* d, const uint8_t* s) { blendArgb<F565, true>(d, load32(s), a); });
}

namespace {

// Rows whose destinations are consecutive pixels, forward (dstStep 2) or
// backward (dstStep -2), go to a row loop over the leftmost destination
// pixel: row(out, first source pixel that lands there, its walk direction,
// width). False for other steps.
template <class Src = uint16_t, class Row>
inline bool byRows(uint8_t* dst, const uint8_t* src, const BlitParams& p, Row row) {
  if (p.dstStep != 2 && p.dstStep != -2) return false;
  const int w = p.width;
  std::ptrdiff_t dRow = 0;
  std::ptrdiff_t sRow = 0;
  for (int r = 0; r < p.height; ++r) {
    const Src* s = reinterpret_cast<const Src*>(src + sRow);
    if (p.dstStep == 2)
      row(reinterpret_cast<uint16_t*>(dst + dRow), s, 1, w);
    else
      row(reinterpret_cast<uint16_t*>(dst + dRow - 2 * static_cast<std::ptrdiff_t>(w - 1)), s + (w - 1), -1, w);
    dRow += p.dstRowStep;
    sRow += p.srcPitch;
  }
  return true;
}

}  // namespace

void blitArgbBlend(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  if (byRows<uint32_t>(dst, src, p, [](uint16_t* out, const uint32_t* s, int dir, int n) {
        pixelrows::argbBlendRowAny(out, s, dir, n);
      }))
    return;
  walk<4>(dst, src, p, [](uint8_t* d, const uint8_t* s) { blendArgb<F565, false>(d, load32(s), 255); });
}

void blit16Copy(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  if (p.dstStep == 2) {
    // Rows land on consecutive pixels: whole-row copies.
    std::ptrdiff_t dRow = 0;
    std::ptrdiff_t sRow = 0;
    for (int r = 0; r < p.height; ++r) {
      std::memcpy(dst + dRow, src + sRow, static_cast<std::size_t>(p.width) * 2);
      dRow += p.dstRowStep;
      sRow += p.srcPitch;
    }
    return;
  }
  if (byRows(dst, src, p, [](uint16_t* out, const uint16_t* s, int dir, int n) { pixelrows::copyRowAny(out, s, dir, n); }))
    return;
  walk<2>(dst, src, p, [](uint8_t* d, const uint8_t* s) { std::memcpy(d, s, 2); });
}

void blit16Keyed(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint32_t key = p.key;
  if (key <= 0xFFFF && byRows(dst, src, p, [key](uint16_t* out, const uint16_t* s, int dir, int n) {
        pixelrows::keyedRowAny(out, s, dir, n, static_cast<uint16_t>(key));
      }))
    return;
  walk<2>(dst, src, p, [key](uint8_t* d, const uint8_t* s) {
    uint16_t v = load16(s);
    if (v != key) store16(d, v);
  });
}

void blit16Alpha(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const int a = p.alpha;
  // An alpha above 255 would leave the 16-bit lanes of the row loops.
  if (a <= 255 && byRows(dst, src, p, [a](uint16_t* out, const uint16_t* s, int dir, int n) {
        pixelrows::alphaRowAny(out, s, dir, n, a);
      }))
    return;
  walk<2>(dst, src, p, [a](uint8_t* d, const uint8_t* s) { blendValue<F565>(d, load16(s), a); });
}

void blit16AlphaKeyed(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint32_t key = p.key;
  // A key above 0xFFFF matches no pixel; an alpha above 255 leaves the lanes.
  if (key <= 0xFFFF && p.alpha <= 255) {
    const uint16_t k = static_cast<uint16_t>(key);
    const int a = p.alpha;
    const bool hasAlpha = p.srcHasAlpha != 0;
    const bool done = byRows(dst, src, p, [k, a, hasAlpha](uint16_t* out, const uint16_t* s, int dir, int n) {
      pixelrows::blendKeyedRowAny(out, s, dir, hasAlpha, n, k, a);
    });
    if (done) return;
  }
  walk<2>(dst, src, p, [key, &p](uint8_t* d, const uint8_t* s) {
    uint16_t v = load16(s);
    if (v == key) return;
    int r, g, b, a;
    decode16(v, p, r, g, b, a);
    blendInto<F565>(d, r, g, b, a);
  });
}

void blit16OntoWide(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint32_t key = p.key;
  walk<2>(dst, src, p, [key, &p](uint8_t* d, const uint8_t* s) {
    uint16_t v = load16(s);
    if (v == key) return;
    int r, g, b, a;
    decode16(v, p, r, g, b, a);
    uint32_t word = load32(d);
    uint16_t low = blend565(static_cast<uint16_t>(word), r, g, b, a);
    store32(d, (word & 0xFFFF0000u) | low);
  });
}

void fill16(uint8_t* dst, int w, int h, int pitch, uint16_t pixel) {
  if (!KV_CHECK(h >= 1, 780, "Graphics")) return;
  if (w <= 0) return;
  const bool aligned = (reinterpret_cast<std::uintptr_t>(dst) & 3) == 0 && (w & 1) == 0;
  std::ptrdiff_t row = 0;
  if (aligned) {
    const uint32_t pair = static_cast<uint32_t>(pixel) * 0x10001u;
    for (int r = 0; r < h; ++r) {
      uint8_t* d = dst + row;
      int n = w;
      // Eight pixels per step, then pairs.
      const int blocks = n / 8;
      for (int b = 0; b < blocks; ++b) {
        uint8_t* q = d + 16 * b;
        store32(q, pair);
        store32(q + 4, pair);
        store32(q + 8, pair);
        store32(q + 12, pair);
      }
      d += 16 * blocks;
      n -= 8 * blocks;
      for (int k = 0; k < n / 2; ++k) store32(d + 4 * k, pair);
      row += pitch;
    }
    return;
  }
  for (int r = 0; r < h; ++r) {
    uint8_t* d = dst + row;
    for (int i = 0; i < w; ++i) store16(d + 2 * i, pixel);
    row += pitch;
  }
}

namespace {

struct AlphaFill565 {
  uint32_t pre;
  int ia;
  explicit AlphaFill565(uint32_t argb) {
    int a = static_cast<int>(argb >> 24);
    ia = 256 - a;
    int R = static_cast<int>((argb >> 16) & 255), G = static_cast<int>((argb >> 8) & 255),
        B = static_cast<int>(argb & 255);
    pre = static_cast<uint32_t>((((R * a) >> 8) >> 3) << 11 | (((G * a) >> 8) >> 2) << 5 | (((B * a) >> 8) >> 3));
  }
  uint16_t apply(uint16_t d) const {
    int r = d >> 11, g = (d >> 5) & 63, b = d & 31;
    uint32_t v = static_cast<uint32_t>(((r * ia) >> 8) << 11 | ((g * ia) >> 8) << 5 | ((b * ia) >> 8));
    return static_cast<uint16_t>(v + pre);
  }
};

template <int PixelBytes, class Op>
inline void fillRows(uint8_t* dst, int w, int h, int pitch, Op op) {
  std::ptrdiff_t row = 0;
  for (int r = 0; r < h; ++r) {
    uint8_t* d = dst + row;
    for (int i = 0; i < w; ++i) op(d + PixelBytes * i);
    row += pitch;
  }
}

}  // namespace

void fillAlpha16(uint8_t* dst, int w, int h, int pitch, uint32_t argb) {
  const AlphaFill565 f(argb);
  std::ptrdiff_t row = 0;
  for (int r = 0; r < h; ++r) {
    pixelrows::fillAlphaRowAny(reinterpret_cast<uint16_t*>(dst + row), w, f.ia, static_cast<uint16_t>(f.pre));
    row += pitch;
  }
}

void fillAlphaWide(uint8_t* dst, int w, int h, int pitch, uint32_t argb) {
  const AlphaFill565 f(argb);
  fillRows<4>(dst, w, h, pitch, [&f](uint8_t* d) {
    uint32_t word = load32(d);
    store32(d, (word & 0xFFFF0000u) | f.apply(static_cast<uint16_t>(word)));
  });
}

void fill16Wide(uint8_t* dst, int w, int h, int pitch, uint16_t pixel) {
  fillRows<4>(dst, w, h, pitch, [pixel](uint8_t* d) { store32(d, (load32(d) & 0xFFFF0000u) | pixel); });
}

namespace {

template <int PixelBytes, class Store>
inline void bresenham(uint8_t* dst, int dx, int dy, int pitch, Store store) {
  const int ax = dx < 0 ? -dx : dx;
  std::ptrdiff_t vstep;
  int ay;
  if (dy < 0) {
    vstep = -static_cast<std::ptrdiff_t>(pitch);
    ay = -dy;
  } else {
    vstep = pitch;
    ay = dy;
  }
  const std::ptrdiff_t hstep = dx < 0 ? -PixelBytes : PixelBytes;
  std::ptrdiff_t majorStep, minorStep;
  int major, minor;
  if (ax < ay) {
    major = ay;
    minor = ax;
    majorStep = vstep;
    minorStep = hstep;
  } else {
    major = ax;
    minor = ay;
    majorStep = hstep;
    minorStep = vstep;
  }
  int e = 2 * minor - major;
  std::ptrdiff_t o = 0;
  for (int i = 0; i <= major; ++i) {
    store(dst + o);
    if (i == major) break;
    if (e >= 0) {
      e -= 2 * major;
      o += minorStep;
    }
    o += majorStep;
    e += 2 * minor;
  }
}

}  // namespace

void line16(uint8_t* dst, int dx, int dy, int pitch, uint16_t pixel) {
  bresenham<2>(dst, dx, dy, pitch, [pixel](uint8_t* d) { store16(d, pixel); });
}

// ---- Other destination formats ----

void blitArgbBlend32(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  walk<4>(dst, src, p, [](uint8_t* d, const uint8_t* s) { blendArgb<F888, false>(d, load32(s), 255); });
}

void blitArgbBlend444(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  walk<4>(dst, src, p, [](uint8_t* d, const uint8_t* s) { blendArgb<F444, false>(d, load32(s), 255); });
}

void blitArgbBlend666(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  walk<4>(dst, src, p, [](uint8_t* d, const uint8_t* s) { blendArgb<F666, false>(d, load32(s), 255); });
}

void blit16AlphaKeyed666(uint8_t* dst, const uint8_t* src, const BlitParams& p) {
  const uint32_t key = p.key;
  walk<2>(dst, src, p, [key, &p](uint8_t* d, const uint8_t* s) {
    uint16_t v = load16(s);
    if (v == key) return;
    int r, g, b, a;
    decode16(v, p, r, g, b, a);
    r <<= 1;
    b <<= 1;
    int dr, dg, db;
    F666::unpack(load32(d), dr, dg, db);
    // This blend truncates toward zero.
    dr += (r - dr) * a / 256;
    dg += (g - dg) * a / 256;
    db += (b - db) * a / 256;
    store32(d, F666::pack(dr, dg, db));
  });
}

void fill32(uint8_t* dst, int w, int h, int pitch, uint32_t pixel) {
  if (!KV_CHECK(h >= 1, 827, "Graphics")) return;
  std::ptrdiff_t row = 0;
  for (int r = 0; r < h; ++r) {
    uint8_t* d = dst + row;
    int n = w;
    for (; n >= 4; n -= 4, d += 16) {
      store32(d, pixel);
      store32(d + 4, pixel);
      store32(d + 8, pixel);
      store32(d + 12, pixel);
    }
    for (; n > 0; --n, d += 4) store32(d, pixel);
    row += pitch;
  }
}

namespace {

// Alpha fill of a format: the colour pre-scaled by a, the destination by 256 - a.
template <class F>
inline void fillAlphaFormat(uint8_t* dst, int w, int h, int pitch, uint32_t argb, uint32_t pre) {
  const int ia = 256 - static_cast<int>(argb >> 24);
  fillRows<F::kBytes>(dst, w, h, pitch, [ia, pre](uint8_t* d) {
    int r, g, b;
    F::unpack(F::load(d), r, g, b);
    F::store(d, F::pack((r * ia) >> 8, (g * ia) >> 8, (b * ia) >> 8) + pre);
  });
}

inline void scaledChannels(uint32_t argb, int& r, int& g, int& b) {
  const int a = static_cast<int>(argb >> 24);
  r = (static_cast<int>((argb >> 16) & 255) * a) >> 8;
  g = (static_cast<int>((argb >> 8) & 255) * a) >> 8;
  b = (static_cast<int>(argb & 255) * a) >> 8;
}

}  // namespace

void fillAlpha444(uint8_t* dst, int w, int h, int pitch, uint32_t argb) {
  int r, g, b;
  scaledChannels(argb, r, g, b);
  const uint32_t pre = static_cast<uint32_t>((r >> 4) << 8 | (g & 0xF0) | (b >> 4));
  fillAlphaFormat<F444>(dst, w, h, pitch, argb, pre);
}

void fillAlpha32(uint8_t* dst, int w, int h, int pitch, uint32_t argb) {
  int r, g, b;
  scaledChannels(argb, r, g, b);
  const uint32_t pre = static_cast<uint32_t>(r << 16 | g << 8 | b);
  fillAlphaFormat<F888>(dst, w, h, pitch, argb, pre);
}

void line32(uint8_t* dst, int dx, int dy, int pitch, uint32_t pixel) {
  bresenham<4>(dst, dx, dy, pitch, [pixel](uint8_t* d) { store32(d, pixel); });
}

// ---- Textured spans ----

namespace {

inline const uint8_t* texel(const SpanSource& s, int u, int v, int bytes) {
  int c = u >> 12;
  int r = v >> 12;
  if (c < 0) c = 0;
  if (c >= s.width) c = s.width - 1;
  if (r < 0) r = 0;
  if (r >= s.height) r = s.height - 1;
  return s.pixels + static_cast<std::ptrdiff_t>(r) * s.pitch + static_cast<std::ptrdiff_t>(c) * bytes;
}

template <int DstBytes, int TexBytes, class Op>
inline void span(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s, Op op) {
  if (s.width <= 0 || s.height <= 0) return;
  uint8_t* d = row + static_cast<std::ptrdiff_t>(x) * DstBytes;
  for (int i = 0; i < count; ++i) {
    op(d + static_cast<std::ptrdiff_t>(i) * DstBytes, texel(s, u, v, TexBytes));
    u += du;
    v += dv;
  }
}

}  // namespace

void spanIndexedKeyed(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s) {
  const uint16_t* pal = static_cast<const uint16_t*>(s.palette);
  const int32_t key = s.key;
  span<2, 1>(row, x, count, u, du, v, dv, s, [pal, key](uint8_t* d, const uint8_t* t) {
    if (*t != key) store16(d, pal[*t]);
  });
}

void spanIndexedAlpha(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s) {
  const uint16_t* pal = static_cast<const uint16_t*>(s.palette);
  const int32_t key = s.key;
  const int a = s.alpha;
  span<2, 1>(row, x, count, u, du, v, dv, s, [pal, key, a](uint8_t* d, const uint8_t* t) {
    if (*t != key) blendValue<F565>(d, pal[*t], a);
  });
}

void spanArgbBlend(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s) {
  span<2, 4>(row, x, count, u, du, v, dv, s,
             [](uint8_t* d, const uint8_t* t) { blendArgb<F565, false>(d, load32(t), 255); });
}

void spanArgbAlpha(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s) {
  const int a = s.alpha;
  span<2, 4>(row, x, count, u, du, v, dv, s,
             [a](uint8_t* d, const uint8_t* t) { blendArgb<F565, true>(d, load32(t), a); });
}

void spanIndexedKeyed32(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s) {
  const uint32_t* pal = static_cast<const uint32_t*>(s.palette);
  const int32_t key = s.key;
  span<4, 1>(row, x, count, u, du, v, dv, s, [pal, key](uint8_t* d, const uint8_t* t) {
    if (*t != key) store32(d, pal[*t] & 0x00FFFFFFu);
  });
}

void spanIndexedAlpha444(uint8_t* row, int x, int count, int u, int du, int v, int dv, const SpanSource& s) {
  const uint16_t* pal = static_cast<const uint16_t*>(s.palette);
  const int32_t key = s.key;
  const int a = s.alpha;
  span<2, 1>(row, x, count, u, du, v, dv, s, [pal, key, a](uint8_t* d, const uint8_t* t) {
    if (*t != key) blendValue<F444>(d, pal[*t], a);
  });
}

