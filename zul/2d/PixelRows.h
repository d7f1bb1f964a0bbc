// Row loops over consecutive RGB565 pixels, eight at a time in vector
// registers with a pixel-at-a-time tail: plain and keyed copies, forward or
// with the source walked right to left, and the blend of a keyed 16-bit
// source (ARGB4444 with its own alpha, or RGB565 with a constant alpha).
// Each gives exactly the pixels of its one-pixel loop.
#pragma once

#include <cstdint>
#include <cstring>

namespace pixelrows {

using U16x8 = uint16_t __attribute__((vector_size(16)));
using I16x8 = int16_t __attribute__((vector_size(16)));

// Eight pixels at any address, read and written as one unit.
inline U16x8 load8(const uint16_t* p) {
  U16x8 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void store8(uint16_t* p, U16x8 v) { std::memcpy(p, &v, sizeof v); }
// The eight pixels that end at p (p[-7] .. p[0]), last first.
inline U16x8 load8Reversed(const uint16_t* p) {
  // Swap the pixels of each 32-bit pair, then reverse the four pairs.
  using U32x4 = uint32_t __attribute__((vector_size(16)));
  U32x4 v = reinterpret_cast<U32x4>(load8(p - 7));
  v = (v << 16) | (v >> 16);
  return reinterpret_cast<U16x8>(__builtin_shufflevector(v, v, 3, 2, 1, 0));
}
inline uint16_t loadPixel(const uint16_t* p) {
  uint16_t v;
  std::memcpy(&v, p, 2);
  return v;
}
inline void storePixel(uint16_t* p, uint16_t v) { std::memcpy(p, &v, 2); }

// out[i] = src[Dir * i] for i < n (Dir is 1 or -1).
template <int Dir>
inline void copyRow(uint16_t* out, const uint16_t* src, int n) {
  int i = 0;
  for (; i + 8 <= n; i += 8) store8(out + i, Dir > 0 ? load8(src + i) : load8Reversed(src - i));
  for (; i < n; ++i) storePixel(out + i, loadPixel(src + Dir * i));
}

// As copyRow, pixels equal to key left as they are.
template <int Dir>
inline void keyedRow(uint16_t* out, const uint16_t* src, int n, uint16_t key) {
  const U16x8 keys = U16x8{} + key;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const U16x8 v = Dir > 0 ? load8(src + i) : load8Reversed(src - i);
    const U16x8 isKey = reinterpret_cast<U16x8>(v == keys);
    store8(out + i, (load8(out + i) & isKey) | (v & ~isKey));
  }
  for (; i < n; ++i) {
    const uint16_t v = loadPixel(src + Dir * i);
    if (v != key) storePixel(out + i, v);
  }
}

// One channel: d + floor((s - d) * a / 256), in 16-bit lanes (|s - d| <= 63,
// a <= 255, so the product fits).
inline I16x8 blendLanes(I16x8 d, I16x8 s, I16x8 a) { return d + (((s - d) * a) >> 8); }

// Blend of a keyed 16-bit source row into RGB565: pixels equal to key are
// skipped; with HasAlpha the source is ARGB4444 (a = A << 4, channels R << 1,
// G << 2, B << 1), otherwise RGB565 with the constant alpha.
template <int Dir, bool HasAlpha>
inline void blendKeyedRow(uint16_t* out, const uint16_t* src, int n, uint16_t key, int alpha) {
  const U16x8 keys = U16x8{} + key;
  const I16x8 constantAlpha = I16x8{} + static_cast<int16_t>(alpha);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const U16x8 v = Dir > 0 ? load8(src + i) : load8Reversed(src - i);
    const U16x8 d = load8(out + i);
    I16x8 a, sr, sg, sb;
    if (HasAlpha) {
      a = reinterpret_cast<I16x8>((v >> 12) << 4);
      sr = reinterpret_cast<I16x8>(((v >> 8) & 15) << 1);
      sg = reinterpret_cast<I16x8>(((v >> 4) & 15) << 2);
      sb = reinterpret_cast<I16x8>((v & 15) << 1);
    } else {
      a = constantAlpha;
      sr = reinterpret_cast<I16x8>(v >> 11);
      sg = reinterpret_cast<I16x8>((v >> 5) & 63);
      sb = reinterpret_cast<I16x8>(v & 31);
    }
    const I16x8 r = blendLanes(reinterpret_cast<I16x8>(d >> 11), sr, a);
    const I16x8 g = blendLanes(reinterpret_cast<I16x8>((d >> 5) & 63), sg, a);
    const I16x8 b = blendLanes(reinterpret_cast<I16x8>(d & 31), sb, a);
    const U16x8 mixed =
        (reinterpret_cast<U16x8>(r) << 11) | (reinterpret_cast<U16x8>(g) << 5) | reinterpret_cast<U16x8>(b);
    const U16x8 isKey = reinterpret_cast<U16x8>(v == keys);
    store8(out + i, (d & isKey) | (mixed & ~isKey));
  }
  for (; i < n; ++i) {
    const uint16_t v = loadPixel(src + Dir * i);
    if (v == key) continue;
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

}  // namespace pixelrows
