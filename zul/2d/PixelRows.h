// Row loops over consecutive RGB565 pixels, eight (some, on processors with
// 256-bit integer vectors, sixteen) at a time in vector registers with a
// pixel-at-a-time tail: plain and keyed copies, forward or with the source
// walked right to left, the blend of a keyed 16-bit source (ARGB4444 with
// its own alpha, or RGB565 with a constant alpha), the alpha fill and the
// ARGB blends. Each gives exactly the pixels of its one-pixel loop,
// whatever the vector width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace pixelrows {

#define KV_ROW_INLINE [[gnu::always_inline]] inline

// The 256-bit vectors are only ever passed between always-inlined helpers,
// so the calling convention that the compiler warns about is never used (the warning
// comes at the end of the including file, so it stays off there).
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

using U16x8 = uint16_t __attribute__((vector_size(16)));
using I16x8 = int16_t __attribute__((vector_size(16)));
using U16x16 = uint16_t __attribute__((vector_size(32)));
using I16x16 = int16_t __attribute__((vector_size(32)));

template <int Lanes>
struct Vec;
template <>
struct Vec<8> {
  using U = U16x8;
  using I = I16x8;
};
template <>
struct Vec<16> {
  using U = U16x16;
  using I = I16x16;
};
// Lanes 32-bit pixels.
using U32x8 = uint32_t __attribute__((vector_size(32)));
using U32x16 = uint32_t __attribute__((vector_size(64)));
template <int Lanes>
struct Vec32;
template <>
struct Vec32<8> {
  using W = U32x8;
};
template <>
struct Vec32<16> {
  using W = U32x16;
};

// Lanes pixels at any address, read and written as one unit.
template <class V>
KV_ROW_INLINE V loadV(const uint16_t* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class V>
KV_ROW_INLINE void storeV(uint16_t* p, V v) {
  std::memcpy(p, &v, sizeof v);
}
inline U16x8 load8(const uint16_t* p) { return loadV<U16x8>(p); }
inline void store8(uint16_t* p, U16x8 v) { storeV(p, v); }

// The eight pixels that end at p (p[-7] .. p[0]), last first.
KV_ROW_INLINE U16x8 load8Reversed(const uint16_t* p) {
  // Swap the pixels of each 32-bit pair, then reverse the four pairs.
  using U32x4 = uint32_t __attribute__((vector_size(16)));
  U32x4 v = reinterpret_cast<U32x4>(loadV<U16x8>(p - 7));
  v = (v << 16) | (v >> 16);
  return reinterpret_cast<U16x8>(__builtin_shufflevector(v, v, 3, 2, 1, 0));
}
// The Lanes pixels that end at p, last first.
template <class V>
KV_ROW_INLINE V loadReversed(const uint16_t* p) {
  if constexpr (sizeof(V) == 16) {
    return load8Reversed(p);
  } else {
    const V v = loadV<V>(p - 15);
    return __builtin_shufflevector(v, v, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  }
}
KV_ROW_INLINE uint16_t loadPixel(const uint16_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
KV_ROW_INLINE void storePixel(uint16_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

template <int Dir, class V>
KV_ROW_INLINE V loadDir(const uint16_t* src, int i) {
  return Dir > 0 ? loadV<V>(src + i) : loadReversed<V>(src - i);
}

// out[i] = src[Dir * i] for i < n (Dir is 1 or -1).
template <int Dir, int Lanes = 8>
KV_ROW_INLINE void copyRow(uint16_t* out, const uint16_t* src, int n) {
  using V = typename Vec<Lanes>::U;
  int i = 0;
  for (; i + Lanes <= n; i += Lanes) storeV(out + i, loadDir<Dir, V>(src, i));
  for (; i < n; ++i) storePixel(out + i, loadPixel(src + Dir * i));
}

// As copyRow, pixels equal to key left as they are.
template <int Dir, int Lanes = 8>
KV_ROW_INLINE void keyedRow(uint16_t* out, const uint16_t* src, int n, uint16_t key) {
  using V = typename Vec<Lanes>::U;
  const V keys = V{} + key;
  int i = 0;
  for (; i + Lanes <= n; i += Lanes) {
    const V v = loadDir<Dir, V>(src, i);
    const V isKey = reinterpret_cast<V>(v == keys);
    storeV(out + i, (loadV<V>(out + i) & isKey) | (v & ~isKey));
  }
  for (; i < n; ++i) {
    const uint16_t v = loadPixel(src + Dir * i);
    if (v != key) storePixel(out + i, v);
  }
}

// One channel: d + floor((s - d) * a / 256), in 16-bit lanes (|s - d| <= 63,
// a <= 255, so the product fits).
template <class I>
KV_ROW_INLINE I blendLanes(I d, I s, I a) {
  return d + (((s - d) * a) >> 8);
}

// Blend of a keyed 16-bit source row into RGB565: pixels equal to key are
// skipped (unless Keyed is false: then every pixel is blended); with
// HasAlpha the source is ARGB4444 (a = A << 4, channels R << 1, G << 2,
// B << 1), otherwise RGB565 with the constant alpha.
//
// With a = 16 A the channel d + floor((s - d) * 16 A / 256) is
// (s A + d (16 - A)) >> 4: a sum of at most 63 * 16 that 16-bit lanes hold
// even at the field's own position for red (31 * 16 << 7).
template <int Dir, bool HasAlpha, int Lanes = 8, bool Keyed = true>
KV_ROW_INLINE void blendKeyedRow(uint16_t* out, const uint16_t* src, int n, uint16_t key, int alpha) {
  using U = typename Vec<Lanes>::U;
  using I = typename Vec<Lanes>::I;
  const U keys = U{} + key;
  const I constantAlpha = I{} + static_cast<int16_t>(alpha);
  int i = 0;
  for (; i + Lanes <= n; i += Lanes) {
    const U v = loadDir<Dir, U>(src, i);
    const U d = loadV<U>(out + i);
    U mixed;
    if constexpr (HasAlpha) {
      // Each channel's sum s A + d (16 - A) made where its field's shift
      // wants it: red times 128, green times 2, blue as it is.
      const U a = v >> 12, ia = 16 - a;
      const U r = (v & 0x0F00) * a + ((d >> 4) & 0x0F80) * ia;
      const U g = ((v >> 1) & 0x78) * a + ((d >> 4) & 0x7E) * ia;
      const U b = ((v << 1) & 0x1E) * a + (d & 31) * ia;
      mixed = (r & 0xF800) | (g & 0x07E0) | (b >> 4);
    } else {
      const I r = blendLanes(reinterpret_cast<I>(d >> 11), reinterpret_cast<I>(v >> 11), constantAlpha);
      const I g = blendLanes(reinterpret_cast<I>((d >> 5) & 63), reinterpret_cast<I>((v >> 5) & 63), constantAlpha);
      const I b = blendLanes(reinterpret_cast<I>(d & 31), reinterpret_cast<I>(v & 31), constantAlpha);
      mixed = (reinterpret_cast<U>(r) << 11) | (reinterpret_cast<U>(g) << 5) | reinterpret_cast<U>(b);
    }
    if constexpr (Keyed)
      storeV(out + i, v == keys ? d : mixed);
    else
      storeV(out + i, mixed);
  }
  for (; i < n; ++i) {
    const uint16_t v = loadPixel(src + Dir * i);
    if (Keyed && v == key) continue;
    int a, sr, sg, sb;
    if (HasAlpha) {
      a = ((v >> 12) & 15) << 4;
      sr = ((v >> 8) & 15) << 1;
      sg = ((v >> 4) & 15) << 2;
      sb = (v & 15) << 1;
    } else {
      a = alpha;
      sr = v >> 11;
      sg = (v >> 5) & 63;
      sb = v & 31;
    }
    const uint16_t d = loadPixel(out + i);
    const int dr = d >> 11, dg = (d >> 5) & 63, db = d & 31;
    storePixel(out + i, static_cast<uint16_t>((dr + (((sr - dr) * a) >> 8)) << 11 | (dg + (((sg - dg) * a) >> 8)) << 5 |
                                              (db + (((sb - db) * a) >> 8))));
  }
}

// The alpha fill of a row of n RGB565 pixels: each field times ia, shifted
// down by 8, packed and added to pre, kept to 16 bits (ia = 256 - a is at
// most 256 and a field at most 63, so the products fit 16-bit lanes).
template <int Lanes = 8>
KV_ROW_INLINE void fillAlphaRow(uint16_t* out, int n, int ia, uint16_t pre) {
  using U = typename Vec<Lanes>::U;
  const U m = U{} + static_cast<uint16_t>(ia);
  int i = 0;
  for (; i + Lanes <= n; i += Lanes) {
    const U d = loadV<U>(out + i);
    const U r = ((d >> 11) * m) >> 8, g = (((d >> 5) & 63) * m) >> 8, b = ((d & 31) * m) >> 8;
    storeV(out + i, ((r << 11) | (g << 5) | b) + pre);
  }
  for (; i < n; ++i) {
    const uint32_t d = loadPixel(out + i), u = static_cast<uint32_t>(ia);
    const uint32_t v = (((d >> 11) * u) >> 8) << 11 | ((((d >> 5) & 63) * u) >> 8) << 5 | (((d & 31) * u) >> 8);
    storePixel(out + i, static_cast<uint16_t>(v + pre));
  }
}

// Lanes 32-bit pixels from src + i onward (Dir 1), or the Lanes that end at
// src - i (Dir -1), last first.
template <int Dir, int Lanes>
KV_ROW_INLINE typename Vec32<Lanes>::W loadWordsDir(const uint32_t* src, int i) {
  using W = typename Vec32<Lanes>::W;
  W v;
  std::memcpy(&v, Dir > 0 ? src + i : src - i - (Lanes - 1), sizeof v);
  if constexpr (Dir > 0) {
    return v;
  } else if constexpr (Lanes == 8) {
    return __builtin_shufflevector(v, v, 7, 6, 5, 4, 3, 2, 1, 0);
  } else {
    return __builtin_shufflevector(v, v, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
  }
}

// 32-bit ARGB source pixels blended by their own alpha into RGB565: each
// channel d + floor((s - d) * a / 256) with a the pixel's alpha and the
// source channels R >> 3, G >> 2, B >> 3. out[i] takes src[Dir * i].
template <int Dir, int Lanes = 8>
KV_ROW_INLINE void argbBlendRow(uint16_t* out, const uint32_t* src, int n) {
  using U = typename Vec<Lanes>::U;
  using I = typename Vec<Lanes>::I;
  using W = typename Vec32<Lanes>::W;
  int i = 0;
  for (; i + Lanes <= n; i += Lanes) {
    const W c = loadWordsDir<Dir, Lanes>(src, i);
    const U d = loadV<U>(out + i);
    const I a = __builtin_convertvector(c >> 24, I);
    const I r = blendLanes(reinterpret_cast<I>(d >> 11), __builtin_convertvector((c >> 19) & 31, I), a);
    const I g = blendLanes(reinterpret_cast<I>((d >> 5) & 63), __builtin_convertvector((c >> 10) & 63, I), a);
    const I b = blendLanes(reinterpret_cast<I>(d & 31), __builtin_convertvector((c >> 3) & 31, I), a);
    storeV(out + i, (reinterpret_cast<U>(r) << 11) | (reinterpret_cast<U>(g) << 5) | reinterpret_cast<U>(b));
  }
  for (; i < n; ++i) {
    uint32_t c;
    std::memcpy(&c, src + Dir * i, 4);
    const int a = static_cast<int>(c >> 24);
    const uint16_t d = loadPixel(out + i);
    const int dr = d >> 11, dg = (d >> 5) & 63, db = d & 31;
    const int sr = static_cast<int>(c >> 19) & 31, sg = static_cast<int>(c >> 10) & 63, sb = static_cast<int>(c >> 3) & 31;
    storePixel(out + i, static_cast<uint16_t>((dr + (((sr - dr) * a) >> 8)) << 11 | (dg + (((sg - dg) * a) >> 8)) << 5 |
                                              (db + (((sb - db) * a) >> 8))));
  }
}

// ARGB source pixels over RGB565 in 8-bit channels, as Graphics::drawRGB
// blends them: the pixel read back as 8-bit channels (r5 << 3, g6 << 2,
// b5 << 3), (s a + d (256 - a)) >> 8 per channel (at most 255 * 256, so
// 16-bit lanes hold it), packed back by the channels' top bits.
template <int Lanes = 8>
KV_ROW_INLINE void argbOverRow(uint16_t* out, const uint32_t* src, int n) {
  using U = typename Vec<Lanes>::U;
  using W = typename Vec32<Lanes>::W;
  int i = 0;
  for (; i + Lanes <= n; i += Lanes) {
    const W c = loadWordsDir<1, Lanes>(src, i);
    const U d = loadV<U>(out + i);
    const U a = __builtin_convertvector(c >> 24, U), ia = 256 - a;
    const U r = (__builtin_convertvector((c >> 16) & 255, U) * a + ((d >> 8) & 0xF8) * ia) >> 8;
    const U g = (__builtin_convertvector((c >> 8) & 255, U) * a + ((d >> 3) & 0xFC) * ia) >> 8;
    const U b = (__builtin_convertvector(c & 255, U) * a + ((d << 3) & 0xF8) * ia) >> 8;
    storeV(out + i, ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
  }
  for (; i < n; ++i) {
    const uint32_t c = src[i], a = c >> 24, ia = 256 - a;
    const uint32_t d = loadPixel(out + i);
    const uint32_t r = (((c >> 16) & 255) * a + ((d >> 8) & 0xF8) * ia) >> 8;
    const uint32_t g = (((c >> 8) & 255) * a + ((d >> 3) & 0xFC) * ia) >> 8;
    const uint32_t b = ((c & 255) * a + ((d << 3) & 0xF8) * ia) >> 8;
    storePixel(out + i, static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3)));
  }
}

// The loops that the game's frames spend their rows in (the keyed copy,
// the alpha fill and the two ARGB blends) sixteen pixels at a time, compiled
// for 256-bit vectors (PixelRowsWide.cpp). Call them only when wideRows()
// says the processor has them; the row functions below choose by themselves.
bool wideRows();
void fillAlphaRowWide(uint16_t* out, int n, int ia, uint16_t pre);
void keyedRowWide(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key);
void argbBlendRowWide(uint16_t* out, const uint32_t* src, int dir, int n);
void argbOverRowWide(uint16_t* out, const uint32_t* src, int n);

// Rows of dir 1 or -1, at sixteen pixels a step where there is a loop for it
// and the processor has it; rows shorter than sixteen pixels stay on the
// eight-lane loops.
inline void copyRowAny(uint16_t* out, const uint16_t* src, int dir, int n) {
  if (dir > 0)
    copyRow<1>(out, src, n);
  else
    copyRow<-1>(out, src, n);
}
inline void keyedRowAny(uint16_t* out, const uint16_t* src, int dir, int n, uint16_t key) {
  if (n >= 16 && wideRows()) return keyedRowWide(out, src, dir, n, key);
  if (dir > 0)
    keyedRow<1>(out, src, n, key);
  else
    keyedRow<-1>(out, src, n, key);
}
inline void blendKeyedRowAny(uint16_t* out, const uint16_t* src, int dir, bool hasAlpha, int n, uint16_t key,
                             int alpha) {
  if (hasAlpha) {
    if (dir > 0)
      blendKeyedRow<1, true>(out, src, n, key, alpha);
    else
      blendKeyedRow<-1, true>(out, src, n, key, alpha);
  } else {
    if (dir > 0)
      blendKeyedRow<1, false>(out, src, n, key, alpha);
    else
      blendKeyedRow<-1, false>(out, src, n, key, alpha);
  }
}

// Every pixel of an RGB565 row blended with the constant alpha (no key).
inline void alphaRowAny(uint16_t* out, const uint16_t* src, int dir, int n, int alpha) {
  if (dir > 0)
    blendKeyedRow<1, false, 8, false>(out, src, n, 0, alpha);
  else
    blendKeyedRow<-1, false, 8, false>(out, src, n, 0, alpha);
}

inline void fillAlphaRowAny(uint16_t* out, int n, int ia, uint16_t pre) {
  if (n >= 16 && wideRows()) return fillAlphaRowWide(out, n, ia, pre);
  fillAlphaRow(out, n, ia, pre);
}

inline void argbBlendRowAny(uint16_t* out, const uint32_t* src, int dir, int n) {
  if (n >= 16 && wideRows()) return argbBlendRowWide(out, src, dir, n);
  if (dir > 0)
    argbBlendRow<1>(out, src, n);
  else
    argbBlendRow<-1>(out, src, n);
}
inline void argbOverRowAny(uint16_t* out, const uint32_t* src, int n) {
  if (n >= 16 && wideRows()) return argbOverRowWide(out, src, n);
  argbOverRow(out, src, n);
}

#undef KV_ROW_INLINE

}  // namespace pixelrows
