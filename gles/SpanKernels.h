// Span loops, written once per family and instantiated per pixel layout,
// texture size, texel mode and depth mode. All accumulators wrap as 32-bit
// integers; shifts of the walked values are arithmetic.
#pragma once

#include <cstdint>
#include <cstring>
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#endif

#include "gles/PixelHelpers.h"
#include "gles/GlContext.h"
#include "zul/lm/Q14.h"

namespace kvgl {

// Eight-lane values (texel addresses, depths) pass only between always-inlined
// helpers, so the calling convention that the compiler warns about is never used (the
// warning comes at the end of the including file, so it stays off there).
#if defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
#define KV_SPAN_INLINE [[gnu::always_inline]] inline

// Eight 32-bit lanes: texel coordinates and depths of eight neighbours.
using Lane8 = uint32_t __attribute__((vector_size(32)));
inline constexpr Lane8 kLaneSteps = {0, 1, 2, 3, 4, 5, 6, 7};
// start, start + step, ... start + 7 step, wrapping.
KV_SPAN_INLINE Lane8 laneRun(uint32_t start, uint32_t step) { return start + kLaneSteps * step; }

enum TexelMode : int { kTexel565 = 0, kTexel5551 = 1, kTexel4444 = 2 };

constexpr int32_t s32(uint32_t v) { return static_cast<int32_t>(v); }
constexpr uint32_t u32(int32_t v) { return static_cast<uint32_t>(v); }

// Nearest texel of a square texture of 32 << K, repeating at every edge.
template <int K>
struct TexAddr {
  static constexpr int kShift = 5 + K;
  static constexpr int32_t kMask = (32 << K) - 1;
  // Row offset from a coordinate shifted right by Sh: the row bits moved
  // straight into place, ((v >> Sh) & mask) << shift.
  template <int Sh>
  static constexpr uint32_t rowOffset(int32_t v) {
    if constexpr (Sh >= kShift) {
      return static_cast<uint32_t>(v >> (Sh - kShift)) & (static_cast<uint32_t>(kMask) << kShift);
    } else {
      return (static_cast<uint32_t>(v) << (kShift - Sh)) & (static_cast<uint32_t>(kMask) << kShift);
    }
  }
  // Q14 coordinates.
  static inline uint16_t at(const uint16_t* t, int32_t u, int32_t v) {
    return t[rowOffset<9 - K>(v) | static_cast<uint32_t>((u >> (9 - K)) & kMask)];
  }
  // Coordinates held shifted left so that the addressed bits are the top
  // ones: Q14 values << 18, or the extended ones << 6. Shifting left keeps
  // the low bits exactly, so stepping these gives the same texels.
  static inline uint16_t atTop(const uint16_t* t, uint32_t uu, uint32_t vv) {
    return t[((vv >> (22 - 2 * K)) & (static_cast<uint32_t>(kMask) << kShift)) | (uu >> (27 - K))];
  }
  // Coordinates with 12 more fraction bits.
  static inline uint16_t atExt(const uint16_t* t, int32_t ue, int32_t ve) {
    return t[rowOffset<21 - K>(ve) | static_cast<uint32_t>((ue >> (21 - K)) & kMask)];
  }
};

// q14Recip(x): for x > 0, (2^42 / x) >> 14 is the quotient 2^28 / x, one
// 32-bit division; other values take the 64-bit one.
inline int32_t spanRecip(int32_t x) {
  if (x > 0) [[likely]] return static_cast<int32_t>(0x10000000u / static_cast<uint32_t>(x));
  return q14Recip(x);
}

// ---- eight 16-bit pixels at a time ---------------------------------------------

using Px8 = uint16_t __attribute__((vector_size(16)));
inline Px8 load8(const uint16_t* p) {
  Px8 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void store8(uint16_t* p, Px8 v) { std::memcpy(p, &v, sizeof v); }

// TexAddr::atTop for eight neighbours at once, the addresses in vector lanes.
template <int K>
KV_SPAN_INLINE Px8 atTop8(const uint16_t* t, Lane8 uu, Lane8 vv) {
  using A = TexAddr<K>;
  const Lane8 at = ((vv >> (22 - 2 * K)) & (static_cast<uint32_t>(A::kMask) << A::kShift)) | (uu >> (27 - K));
  Px8 c;
  for (int k = 0; k < 8; ++k) c[k] = t[at[k]];
  return c;
}


// blend4444Over565 in 16-bit lanes: each channel floor((s f + d (16 - f)) / 16)
// with f the texel's alpha, the sum of blend565's spread word taken channel by
// channel (no channel's sum reaches the next one there either).
inline Px8 blend4444Over565x8(Px8 d, Px8 t) {
  const Px8 f = t & 15, g = 16 - f;
  const Px8 r = ((((t >> 12) << 1) * f + (d >> 11) * g) >> 4) << 11;
  const Px8 gr = (((((t >> 8) & 15) << 2) * f + ((d >> 5) & 63) * g) >> 4) << 5;
  const Px8 b = ((((t >> 4) & 15) << 1) * f + (d & 31) * g) >> 4;
  return r | gr | b;
}

// addSat565 in 16-bit lanes: a channel that overflows keeps the low bit (two
// for green) of its wrapped sum and has the others set.
// The channels are summed in place without their top bits; each top bit and
// carry out of it come from the majority of the two top bits and the carry
// in. The red carry would leave the lane, so its fill is the sign of the
// carry bit spread down instead.
using Px8s = int16_t __attribute__((vector_size(16)));
inline Px8 addSat565x8(Px8 a, Px8 b) {
  const Px8 low = (a & 0x7BEF) + (b & 0x7BEF);
  const Px8 x = a ^ b;
  const Px8 carry = (a & b) | (x & low);  // carry out of bits 4, 10 and 15
  const Px8 cbg = (carry & 0x0410) << 1;
  const Px8 fillRed = reinterpret_cast<Px8>(reinterpret_cast<Px8s>(carry & 0x8000) >> 3);
  return (low & 0x7BEF) | ((x ^ low) & 0x8410) | (cbg - (cbg >> 4)) | fillRed;
}

// ---- pixel rules --------------------------------------------------------------

// 16-bit pixels by texel mode; put8 does eight neighbours at once.
template <int Mode>
struct TexPut16 {
  static constexpr bool kEight = true;
  static inline void put(uint16_t* p, uint16_t c, uint32_t) {
    if constexpr (Mode == kTexel565) {
      *p = c;
    } else if constexpr (Mode == kTexel5551) {
      *p = c != 0 ? c : *p;
    } else {
      if (c & 15u) *p = blend4444Over565(*p, c);
    }
  }
  // The eight pixels d become.
  KV_SPAN_INLINE static Px8 apply8(Px8 d, Px8 c, Lane8) {
    if constexpr (Mode == kTexel565) {
      return c;
    } else if constexpr (Mode == kTexel5551) {
      const Px8 zero = reinterpret_cast<Px8>(c == 0);
      return (d & zero) | c;
    } else {
      // Alpha 0 gives the pixel itself.
      return blend4444Over565x8(d, c);
    }
  }
  KV_SPAN_INLINE static void put8(uint16_t* p, Px8 c, Lane8 z) {
    if constexpr (Mode == kTexel565) {
      store8(p, c);
    } else {
      store8(p, apply8(load8(p), c, z));
    }
  }
};

// 16-bit additive: a zero texel adds nothing, so the sum covers it.
struct AddPut16 {
  static constexpr bool kEight = true;
  static inline void put(uint16_t* p, uint16_t c, uint32_t) { *p = addSat565(*p, c); }
  KV_SPAN_INLINE static Px8 apply8(Px8 d, Px8 c, Lane8) { return addSat565x8(d, c); }
  KV_SPAN_INLINE static void put8(uint16_t* p, Px8 c, Lane8 z) { store8(p, apply8(load8(p), c, z)); }
};

// Rules without an eight-pixel form.
template <typename Put>
constexpr bool hasPut8() {
  if constexpr (requires { Put::kEight; }) {
    return Put::kEight;
  } else {
    return false;
  }
}

// ---- the first m (1..7) of eight pixels, on processors that mask stores --------

// GCC only: clang refuses the eight-lane values these pass between code built
// for different processors, so its builds keep the plain tails.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define KV_MASKED_SPANS 1
#define KV_MASKED_TARGET "avx2,bmi2,avx512f,avx512bw,avx512vl"
// The lanes past m are neither read nor written (read as 0).
template <typename Put>
[[gnu::target(KV_MASKED_TARGET)]] inline void putPart(uint16_t* p, Px8 c, Lane8 z, uint32_t m) {
  const __mmask8 k = static_cast<__mmask8>((1u << m) - 1u);
  const Px8 d = reinterpret_cast<Px8>(_mm_maskz_loadu_epi16(k, p));
  _mm_mask_storeu_epi16(p, k, reinterpret_cast<__m128i>(Put::apply8(d, c, z)));
}
template <typename Put>
[[gnu::target(KV_MASKED_TARGET)]] inline void putPart(uint32_t* p, Px8 c, Lane8 z, uint32_t m) {
  const __mmask8 k = static_cast<__mmask8>((1u << m) - 1u);
  const Lane8 d = reinterpret_cast<Lane8>(_mm256_maskz_loadu_epi32(k, p));
  _mm256_mask_storeu_epi32(p, k, reinterpret_cast<__m256i>(Put::apply8(d, c, z)));
}

// TexAddr::atTop's texel indices for eight neighbours, in vector lanes.
template <int K>
[[gnu::target(KV_MASKED_TARGET), gnu::always_inline]] inline __m256i texelIndices8(__m256i uu, __m256i vv) {
  using A = TexAddr<K>;
  return _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(vv, 22 - 2 * K), _mm256_set1_epi32(A::kMask << A::kShift)),
                         _mm256_srli_epi32(uu, 27 - K));
}

// TexAddr::atTop for eight neighbours, the addresses in vector lanes.
template <int K>
[[gnu::target(KV_MASKED_TARGET), gnu::always_inline]] inline __m128i texelHalves8(const uint16_t* t, __m256i uu,
                                                                                 __m256i vv) {
  const __m256i at = texelIndices8<K>(uu, vv);
  // Two addresses at a time out of the vector register; the two halves
  // filled side by side, each with four inserts.
  const __m128i lo = _mm256_castsi256_si128(at), hi = _mm256_extracti128_si256(at, 1);
  const uint64_t a01 = static_cast<uint64_t>(_mm_cvtsi128_si64(lo)), a23 = static_cast<uint64_t>(_mm_extract_epi64(lo, 1));
  const uint64_t a45 = static_cast<uint64_t>(_mm_cvtsi128_si64(hi)), a67 = static_cast<uint64_t>(_mm_extract_epi64(hi, 1));
  __m128i c = _mm_cvtsi32_si128(t[static_cast<uint32_t>(a01)]);
  __m128i d = _mm_cvtsi32_si128(t[static_cast<uint32_t>(a45)]);
  c = _mm_insert_epi16(c, t[a01 >> 32], 1);
  d = _mm_insert_epi16(d, t[a45 >> 32], 1);
  c = _mm_insert_epi16(c, t[static_cast<uint32_t>(a23)], 2);
  d = _mm_insert_epi16(d, t[static_cast<uint32_t>(a67)], 2);
  c = _mm_insert_epi16(c, t[a23 >> 32], 3);
  d = _mm_insert_epi16(d, t[a67 >> 32], 3);
  c = _mm_unpacklo_epi64(c, d);
  return c;
}
// The first four of them only: the other lanes are 0.
template <int K>
[[gnu::target(KV_MASKED_TARGET), gnu::always_inline]] inline __m128i texelHalves4(const uint16_t* t, __m256i uu,
                                                                                 __m256i vv) {
  const __m128i at = _mm256_castsi256_si128(texelIndices8<K>(uu, vv));
  const uint64_t a01 = static_cast<uint64_t>(_mm_cvtsi128_si64(at)), a23 = static_cast<uint64_t>(_mm_extract_epi64(at, 1));
  __m128i c = _mm_cvtsi32_si128(t[static_cast<uint32_t>(a01)]);
  __m128i d = _mm_cvtsi32_si128(t[static_cast<uint32_t>(a23)]);
  c = _mm_insert_epi16(c, t[a01 >> 32], 1);
  d = _mm_insert_epi16(d, t[a23 >> 32], 1);
  return _mm_unpacklo_epi32(c, d);
}
template <int K>
[[gnu::target(KV_MASKED_TARGET)]] inline Px8 atTop4Masked(const uint16_t* t, Lane8 uu, Lane8 vv) {
  return reinterpret_cast<Px8>(texelHalves4<K>(t, reinterpret_cast<__m256i>(uu), reinterpret_cast<__m256i>(vv)));
}
// Called from the generic walks, so not always inlined: the masked
// entries' flatten takes it in.
template <int K>
[[gnu::target(KV_MASKED_TARGET)]] inline Px8 atTop8Masked(const uint16_t* t, Lane8 uu, Lane8 vv) {
  return reinterpret_cast<Px8>(texelHalves8<K>(t, reinterpret_cast<__m256i>(uu), reinterpret_cast<__m256i>(vv)));
}
#endif

constexpr bool depthPasses(uint32_t word, uint32_t z) { return word >= (z << 3); }
constexpr uint32_t depthHalf(uint32_t z) { return (z << 3) & 0xFFFF0000u; }

// Eight colour-and-depth words.
inline Lane8 load8(const uint32_t* p) {
  Lane8 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void store8(uint32_t* p, Lane8 v) { std::memcpy(p, &v, sizeof v); }
KV_SPAN_INLINE Lane8 widen8(Px8 c) { return __builtin_convertvector(c, Lane8); }
KV_SPAN_INLINE Px8 narrow8(Lane8 w) { return __builtin_convertvector(w & 0xFFFFu, Px8); }
// Lanes of `a` where the mask is set, of `b` elsewhere.
KV_SPAN_INLINE Lane8 select8(Lane8 mask, Lane8 a, Lane8 b) { return (a & mask) | (b & ~mask); }
KV_SPAN_INLINE Lane8 mask8(Lane8 cond) { return reinterpret_cast<Lane8>(cond); }

// blend4444Over565 of eight texels over the colour halves of eight words,
// lane for lane the arithmetic of the single pixel.
KV_SPAN_INLINE Lane8 blend4444Over565w8(Lane8 d, Lane8 t) {
  const Lane8 sd = (d & 0xF81Fu) | ((d & 0x07E0u) << 16);
  const Lane8 ss = (t & 0xF000u) | ((t & 0x00F0u) >> 3) | ((t & 0x0F00u) << 15);
  const Lane8 sum = (ss - sd) * (t & 15u) + (sd << 4);
  return ((sum >> 4) & 0xF81Fu) | ((sum >> 20) & 0x07E0u);
}

// Colour-and-depth words. Skip0 makes texel 0 write nothing (RGB565/5551 rule).
template <int Mode, bool Test, bool Write, bool Skip0>
struct TexPut32 {
  static constexpr bool kEight = true;
  KV_SPAN_INLINE static Lane8 apply8(Lane8 w, Px8 c, Lane8 z) {
    Lane8 colour = widen8(c);
    Lane8 keep = {};  // lanes left as they are
    if constexpr (Mode == kTexel4444) {
      keep = mask8((colour & 15u) == 0);
      colour = blend4444Over565w8(w, colour);
    } else if constexpr (Skip0) {
      keep = mask8(colour == 0);
    }
    if constexpr (Test) keep |= mask8(w < (z << 3));
    const Lane8 out = Write ? colour | ((z << 3) & 0xFFFF0000u) : (w & 0xFFFF0000u) | colour;
    return select8(keep, w, out);
  }
  KV_SPAN_INLINE static void put8(uint32_t* p, Px8 c, Lane8 z) { store8(p, apply8(load8(p), c, z)); }
  static inline void put(uint32_t* p, uint16_t c, uint32_t z) {
    const uint32_t w = *p;
    uint32_t colour = c;
    if constexpr (Mode == kTexel4444) {
      if ((c & 15u) == 0) return;
      colour = blend4444Over565(w & 0xFFFFu, c);
    } else if constexpr (Skip0) {
      if (c == 0) return;
    }
    if constexpr (Test) {
      if (!depthPasses(w, z)) return;
    }
    if constexpr (Write) {
      *p = colour | depthHalf(z);
    } else {
      *p = (w & 0xFFFF0000u) | colour;
    }
  }
};

// Depth-tested additive words; depth is never written.
struct AddPut32 {
  static constexpr bool kEight = true;
  // A zero texel adds nothing, so only the depth test picks the lanes.
  KV_SPAN_INLINE static Lane8 apply8(Lane8 w, Px8 c, Lane8 z) {
    const Lane8 sum = (w & 0xFFFF0000u) | widen8(addSat565x8(narrow8(w), c));
    return select8(mask8(w < (z << 3)), w, sum);
  }
  KV_SPAN_INLINE static void put8(uint32_t* p, Px8 c, Lane8 z) { store8(p, apply8(load8(p), c, z)); }
  static inline void put(uint32_t* p, uint16_t c, uint32_t z) {
    const uint32_t w = *p;
    if (c != 0 && depthPasses(w, z)) *p = (w & 0xFFFF0000u) | addSat565(w & 0xFFFFu, c);
  }
};

// ---- textured walks -----------------------------------------------------------

// Words 6/7 u left/right, 8/9 v left/right, 2/3 depth left/right. Masked
// puts the last pixels (all of them in a span shorter than eight) through
// one masked step; only the masked build, for rules with eight-pixel forms.
template <typename Pixel, int K, typename Put, bool HasZ, bool Masked = false>
inline void affineSpan(const uint16_t* tex, void* row, const SpanParams* sp) {
  const int32_t* w = sp->w;
  const int32_t x0 = w[0] >> 14;
  const int32_t n = (w[1] >> 14) - x0;
  if (n < 1) return;
  const int32_t f = recipFromTable(static_cast<uint32_t>(n));
  const uint32_t du = u32(q14Mul(wrapSub(w[7], w[6]), f));
  const uint32_t dv = u32(q14Mul(wrapSub(w[9], w[8]), f));
  uint32_t u = u32(w[6]);
  uint32_t v = u32(w[8]);
  uint32_t z = 0, dz = 0;
  if constexpr (HasZ) {
    z = u32(w[2]);
    dz = u32(q14Mul(wrapSub(w[3], w[2]), f));
  }
  u <<= 18;
  v <<= 18;
  const uint32_t duu = du << 18, dvv = dv << 18;
  Pixel* p = static_cast<Pixel*>(row) + x0;
  int32_t i = 0;
  if constexpr (hasPut8<Put>()) {
    if (Masked || n >= 8) {
      // Eight neighbours' coordinates (and depths) side by side.
      Lane8 U = laneRun(u, duu), V = laneRun(v, dvv), Z = laneRun(z, dz);
      const uint32_t du8 = duu * 8u, dv8 = dvv * 8u, dz8 = dz * 8u;
#ifdef KV_MASKED_SPANS
      if constexpr (Masked) {
        for (; i + 8 <= n; i += 8) {
          Put::put8(p + i, atTop8Masked<K>(tex, U, V), Z);
          U += du8;
          V += dv8;
          Z += dz8;
        }
        // Every lane's texel address lies in the texture; four are read for
        // a tail of four or fewer.
        if (i < n) {
          const uint32_t left = static_cast<uint32_t>(n - i);
          putPart<Put>(p + i, left > 4 ? atTop8Masked<K>(tex, U, V) : atTop4Masked<K>(tex, U, V), Z, left);
        }
        return;
      }
#endif
      for (; i + 8 <= n; i += 8) {
        Put::put8(p + i, atTop8<K>(tex, U, V), Z);
        U += du8;
        V += dv8;
        Z += dz8;
      }
      u = U[0];
      v = V[0];
      z = Z[0];
    }
  }
#pragma GCC unroll 4
  for (; i < n; ++i) {
    Put::put(p + i, TexAddr<K>::atTop(tex, u, v), z);
    u += duu;
    v += dvv;
    if constexpr (HasZ) z += dz;
  }
}

// The coordinate rules of the perspective walks, one for every build: a
// coordinate made exact from U = u*w and the reciprocal of w, held with 12
// more fraction bits; the step, held << 6, between two exact ones 16 pixels
// apart; and the step over the m (>= 2) pixels of a tail, by tailGain(m).
KV_SPAN_INLINE uint32_t exactExt(uint32_t uw, int32_t r) { return u32(q14Mul(s32(uw), r)) << 12; }
KV_SPAN_INLINE uint32_t blockStep(uint32_t from, uint32_t to) { return u32(s32(to - from) >> 4) << 6; }
KV_SPAN_INLINE uint32_t tailGain(uint32_t m) { return static_cast<uint32_t>(recipFromTable(m) >> 2); }
KV_SPAN_INLINE uint32_t tailStep(int32_t from, int32_t to, uint32_t gain) { return u32(wrapSub(to, from)) * gain; }

// Words 4/5 w and its x-step, 6/7 U = u*w and step, 8/9 V = v*w and step,
// 2/3 depth and step. Exact coordinates every 16 pixels, linear between.
// Fixed uses the left end's w as the divisor for the whole span. Blocks, when
// not -1, is the number of whole blocks the caller knows the span has.
template <typename Pixel, int K, typename Put, bool HasZ, bool Fixed, bool Masked = false, int Blocks = -1>
inline void perspectiveSpan(const uint16_t* tex, void* row, const SpanParams* sp) {
  const int32_t* w = sp->w;
  const int32_t x0 = w[0] >> 14;
  const int32_t n = (w[1] >> 14) - x0;
  if (n < 1) return;
  uint32_t ww = u32(w[4]);
  const uint32_t dw = u32(w[5]);
  uint32_t U = u32(w[6]);
  const uint32_t dU = u32(w[7]);
  uint32_t V = u32(w[8]);
  const uint32_t dV = u32(w[9]);
  uint32_t z = 0, dz = 0;
  if constexpr (HasZ) {
    z = u32(w[2]);
    dz = u32(w[3]);
  }
  Pixel* p = static_cast<Pixel*>(row) + x0;
  // A w constant along the row keeps its reciprocal.
  const bool flatW = Fixed || dw == 0;

  int32_t blocks = Blocks >= 0 ? Blocks : n >> 4;
  const int32_t m = n & 15;
  int32_t r = spanRecip(s32(ww));
  uint32_t ue = exactExt(U, r);
  uint32_t ve = exactExt(V, r);
  for (; blocks > 0; --blocks) {
    U += dU * 16u;
    V += dV * 16u;
    if constexpr (!Fixed) ww += dw * 16u;
    if (!flatW) r = spanRecip(s32(ww));
    const uint32_t ue1 = exactExt(U, r);
    const uint32_t ve1 = exactExt(V, r);
    const uint32_t due = blockStep(ue, ue1);
    const uint32_t dve = blockStep(ve, ve1);
    uint32_t uu = ue << 6, vv = ve << 6;
    if constexpr (hasPut8<Put>()) {
      Lane8 U = laneRun(uu, due), V = laneRun(vv, dve), Z = laneRun(z, dz);
      Put::put8(p, atTop8<K>(tex, U, V), Z);
      U += due * 8u;
      V += dve * 8u;
      Z += dz * 8u;
      Put::put8(p + 8, atTop8<K>(tex, U, V), Z);
      if constexpr (HasZ) z += dz * 16u;
    } else {
#pragma GCC unroll 4
      for (int i = 0; i < 16; ++i) {
        Put::put(p + i, TexAddr<K>::atTop(tex, uu, vv), z);
        uu += due;
        vv += dve;
        if constexpr (HasZ) z += dz;
      }
    }
    p += 16;
    ue = ue1;
    ve = ve1;
  }
  if (m == 0) return;
  if (m == 1) {
    Put::put(p, TexAddr<K>::at(tex, q14Mul(s32(U), r), q14Mul(s32(V), r)), z);
    return;
  }
  const int32_t uA = q14Mul(s32(U), r);
  const int32_t vA = q14Mul(s32(V), r);
  const uint32_t mm = static_cast<uint32_t>(m);
  const int32_t rB = flatW ? r : spanRecip(s32(ww + mm * dw));
  const int32_t uB = q14Mul(s32(U + mm * dU), rB);
  const int32_t vB = q14Mul(s32(V + mm * dV), rB);
  const uint32_t g = tailGain(mm);
  const uint32_t due = tailStep(uA, uB, g);
  const uint32_t dve = tailStep(vA, vB, g);
  // Held shifted left by 6 as in the blocks: the addressed bits on top.
  uint32_t uu = u32(uA) << 18, vv = u32(vA) << 18;
  const uint32_t duu = due << 6, dvv = dve << 6;
  int32_t i = 0;
#ifdef KV_MASKED_SPANS
  if constexpr (Masked && hasPut8<Put>()) {
    Lane8 U8 = laneRun(uu, duu), V8 = laneRun(vv, dvv), Z8 = laneRun(z, dz);
    if (m >= 8) {
      Put::put8(p, atTop8<K>(tex, U8, V8), Z8);
      U8 += duu * 8u;
      V8 += dvv * 8u;
      Z8 += dz * 8u;
      i = 8;
    }
    if (i < m) {
      const uint32_t left = static_cast<uint32_t>(m - i);
      putPart<Put>(p + i, left > 4 ? atTop8<K>(tex, U8, V8) : atTop4Masked<K>(tex, U8, V8), Z8, left);
    }
    return;
  }
#endif
  if constexpr (hasPut8<Put>()) {
    if (m >= 8) {
      Put::put8(p, atTop8<K>(tex, laneRun(uu, duu), laneRun(vv, dvv)), laneRun(z, dz));
      uu += duu * 8u;
      vv += dvv * 8u;
      if constexpr (HasZ) z += dz * 8u;
      i = 8;
    }
  }
  for (; i < m; ++i) {
    Put::put(p + i, TexAddr<K>::atTop(tex, uu, vv), z);
    uu += duu;
    vv += dvv;
    if constexpr (HasZ) z += dz;
  }
}

// ---- colour-and-depth words in mask registers (masked build only) ---------------
//
// The word rules again, with the lanes that change kept in a mask register:
// the depth test an unsigned compare into it, a texel that writes nothing a
// lane cleared from it, and one masked store of the lanes left. The texels
// go straight into 32-bit lanes and depths are walked already shifted by 3.

#ifdef KV_MASKED_SPANS
#define KV_MASKED_INLINE [[gnu::target(KV_MASKED_TARGET), gnu::always_inline]] inline

// Constants as broadcast loads: built from immediates they cost two
// instructions each on every call.
alignas(64) inline constexpr uint32_t kWordConsts[] = {0xFFFF0000u, 0xF81Fu, 0x07E0u, 0xF000u, 0x00F0u, 0x0F00u,
                                                       15u, 0x7BEFu, 0x8410u, 0x07E0F81Fu, 0x0780001Eu, 0x00010003u};
enum : int { kcHigh, kcF81F, kc07E0, kcF000, kc00F0, kc0F00, kc15, kc7BEF, kc8410, kcSpread, kcGB, kcShifts };
KV_MASKED_INLINE const uint32_t* wordConsts() {
  const uint32_t* k = kWordConsts;
  __asm__("" : "+r"(k));  // not folded back into immediates
  return k;
}
KV_MASKED_INLINE __m256i kWord(const uint32_t* k, int i) { return _mm256_set1_epi32(static_cast<int>(k[i])); }

// TexAddr::atTop for eight neighbours, the texels zero-extended into 32-bit lanes.
// Dup puts each texel in both halves of its lane.
// Only the first four are read when at most four lanes are wanted.
template <int K, bool Dup = false>
KV_MASKED_INLINE __m256i texelWords8(const uint16_t* t, __m256i uu, __m256i vv, uint32_t wanted = 8) {
  const __m128i c = wanted > 4 ? texelHalves8<K>(t, uu, vv) : texelHalves4<K>(t, uu, vv);
  if constexpr (Dup) {
    return _mm256_permutexvar_epi16(_mm256_setr_epi16(0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7),
                                    _mm256_castsi128_si256(c));
  }
  return _mm256_cvtepu16_epi32(c);
}

// start, start + step, ... start + 7 step as a vector.
KV_MASKED_INLINE __m256i laneRunV(uint32_t start, uint32_t step) {
  return reinterpret_cast<__m256i>(laneRun(start, step));
}
KV_MASKED_INLINE __m256i addStep(__m256i a, uint32_t step) {
  return _mm256_add_epi32(a, _mm256_set1_epi32(static_cast<int>(step)));
}

// The word rule of Put for the lanes set in `lanes`: c the texels, z3 the depths << 3.
template <typename Put>
struct MaskedWords {
  static constexpr bool kHas = false;
  static constexpr bool kDup = false;
};

// The colour half of blend4444Over565w8 from texels in both halves of their
// lanes (tt) over words d: the spread forms by one shuffle and one variable
// shift; bits 16-31 of the result are left over.
KV_MASKED_INLINE __m256i blend4444Dup(const uint32_t* k, __m256i d, __m256i tt) {
  const __m256i dd = _mm256_shuffle_epi8(d, _mm256_setr_epi8(0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13, 0, 1, 0,
                                                             1, 4, 5, 4, 5, 8, 9, 8, 9, 12, 13, 12, 13));
  const __m256i sd = _mm256_and_si256(dd, kWord(k, kcSpread));
  // Blue down by 3 in the low half, green down by 1 in the high one; red in place.
  const __m256i ts = _mm256_srlv_epi16(tt, kWord(k, kcShifts));
  const __m256i ss = _mm256_ternarylogic_epi32(ts, kWord(k, kcGB), _mm256_and_si256(tt, kWord(k, kcF000)), 0xEA);
  const __m256i sum = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_sub_epi32(ss, sd), _mm256_and_si256(tt, kWord(k, kc15))),
                                       _mm256_slli_epi32(sd, 4));
  // Red and blue of sum >> 4, green of sum >> 20.
  return _mm256_ternarylogic_epi32(_mm256_srli_epi32(sum, 4), _mm256_srli_epi32(sum, 20), kWord(k, kcF81F), 0xE4);
}

template <int Mode, bool Test, bool Write, bool Skip0>
struct MaskedWords<TexPut32<Mode, Test, Write, Skip0>> {
  // 4444 texels come in both halves of their lanes.
  static constexpr bool kDup = Mode == kTexel4444;
  static constexpr bool kHas = true;
  KV_MASKED_INLINE static void put(const uint32_t* k, uint32_t* p, __m256i c, __m256i z3, __mmask8 lanes) {
    constexpr bool kRead = Mode == kTexel4444 || Test || !Write;
    const __m256i w = kRead ? _mm256_maskz_loadu_epi32(lanes, p) : _mm256_setzero_si256();
    __m256i colour = c;
    if constexpr (Test) lanes = _mm256_mask_cmp_epu32_mask(lanes, w, z3, _MM_CMPINT_NLT);
    if constexpr (Mode == kTexel4444) {
      lanes = _mm256_mask_test_epi32_mask(lanes, c, kWord(k, kc15));
      // The depth half from z3 or w.
      _mm256_mask_storeu_epi32(p, lanes, _mm256_mask_blend_epi16(0xAAAA, blend4444Dup(k, w, c), Write ? z3 : w));
      return;
    } else if constexpr (Skip0) {
      lanes = _mm256_mask_test_epi32_mask(lanes, c, c);
    }
    // colour | (z3 or w) & FFFF0000
    const __m256i out = _mm256_ternarylogic_epi32(colour, Write ? z3 : w, kWord(k, kcHigh), 0xF8);
    _mm256_mask_storeu_epi32(p, lanes, out);
  }
};

template <>
struct MaskedWords<AddPut32> {
  static constexpr bool kHas = true;
  static constexpr bool kDup = false;
  // addSat565x8 on the low halves of the words: nothing carries into the
  // depth half, and the red fill comes out of the same subtraction as the others.
  KV_MASKED_INLINE static void put(const uint32_t* k, uint32_t* p, __m256i c, __m256i z3, __mmask8 lanes) {
    const __m256i w = _mm256_maskz_loadu_epi32(lanes, p);
    lanes = _mm256_mask_cmp_epu32_mask(lanes, w, z3, _MM_CMPINT_NLT);
    const __m256i m7 = kWord(k, kc7BEF);
    const __m256i lowc = _mm256_add_epi32(_mm256_and_si256(w, m7), _mm256_and_si256(c, m7));
    const __m256i x = _mm256_xor_si256(w, c);
    const __m256i carry = _mm256_ternarylogic_epi32(w, c, lowc, 0xE8);  // (w & c) | ((w ^ c) & low): majority
    const __m256i cbg = _mm256_slli_epi32(_mm256_and_si256(carry, kWord(k, kc8410)), 1);
    const __m256i fill = _mm256_sub_epi32(cbg, _mm256_srli_epi32(cbg, 4));
    // (x ^ low) & 8410 | w & FFFF0000
    const __m256i tops = _mm256_or_si256(_mm256_and_si256(_mm256_xor_si256(x, lowc), kWord(k, kc8410)),
                                         _mm256_and_si256(w, kWord(k, kcHigh)));
    const __m256i out = _mm256_ternarylogic_epi32(_mm256_and_si256(lowc, m7), tops, fill, 0xFE);
    _mm256_mask_storeu_epi32(p, lanes, out);
  }
};

KV_MASKED_INLINE __mmask8 firstLanes(int32_t count) {
  return static_cast<__mmask8>(_bzhi_u32(0xFFu, static_cast<uint32_t>(count)));
}

// affineSpan for word rules with masked forms.
template <int K, typename Put, bool HasZ>
KV_MASKED_INLINE void affineWords(const uint16_t* tex, void* row, const SpanParams* sp) {
  const int32_t* w = sp->w;
  const int32_t x0 = w[0] >> 14;
  const int32_t n = (w[1] >> 14) - x0;
  if (n < 1) return;
  const int32_t f = recipFromTable(static_cast<uint32_t>(n));
  const uint32_t duu = u32(q14Mul(wrapSub(w[7], w[6]), f)) << 18;
  const uint32_t dvv = u32(q14Mul(wrapSub(w[9], w[8]), f)) << 18;
  uint32_t z3 = 0, dz3 = 0;
  if constexpr (HasZ) {
    z3 = u32(w[2]) << 3;
    dz3 = u32(q14Mul(wrapSub(w[3], w[2]), f)) << 3;
  }
  const uint32_t* k = wordConsts();
  uint32_t* p = static_cast<uint32_t*>(row) + x0;
  __m256i U = laneRunV(u32(w[6]) << 18, duu), V = laneRunV(u32(w[8]) << 18, dvv), Z = laneRunV(z3, dz3);
  int32_t i = 0;
  for (; i + 8 < n; i += 8) {
    MaskedWords<Put>::put(k, p + i, texelWords8<K, MaskedWords<Put>::kDup>(tex, U, V), Z, 0xFF);
    U = addStep(U, duu * 8u);
    V = addStep(V, dvv * 8u);
    if constexpr (HasZ) Z = addStep(Z, dz3 * 8u);
  }
  // The last 1 to 8.
  const uint32_t left = static_cast<uint32_t>(n - i);
  MaskedWords<Put>::put(k, p + i, texelWords8<K, MaskedWords<Put>::kDup>(tex, U, V, left), Z, firstLanes(n - i));
}

// 4444 texels over 16-bit pixels with the word blend: the pixels widened to
// 32-bit lanes, the colour halves narrowed back. Alpha 0 gives the pixel.
template <typename Put>
struct MaskedPixels {
  static constexpr bool kHas = false;
};
template <>
struct MaskedPixels<TexPut16<kTexel4444>> {
  static constexpr bool kHas = true;
  KV_MASKED_INLINE static void put(const uint32_t* k, uint16_t* p, __m256i tt, __mmask8 lanes) {
    const __m256i d = _mm256_cvtepu16_epi32(_mm_maskz_loadu_epi16(lanes, p));
    _mm_mask_storeu_epi16(p, lanes, _mm256_cvtepi32_epi16(blend4444Dup(k, d, tt)));
  }
};

template <int K, typename Put>
KV_MASKED_INLINE void affinePixels(const uint16_t* tex, void* row, const SpanParams* sp) {
  const int32_t* w = sp->w;
  const int32_t x0 = w[0] >> 14;
  const int32_t n = (w[1] >> 14) - x0;
  if (n < 1) return;
  const int32_t f = recipFromTable(static_cast<uint32_t>(n));
  const uint32_t duu = u32(q14Mul(wrapSub(w[7], w[6]), f)) << 18;
  const uint32_t dvv = u32(q14Mul(wrapSub(w[9], w[8]), f)) << 18;
  const uint32_t* k = wordConsts();
  uint16_t* p = static_cast<uint16_t*>(row) + x0;
  __m256i U = laneRunV(u32(w[6]) << 18, duu), V = laneRunV(u32(w[8]) << 18, dvv);
  int32_t i = 0;
  for (; i + 8 < n; i += 8) {
    MaskedPixels<Put>::put(k, p + i, texelWords8<K, true>(tex, U, V), 0xFF);
    U = addStep(U, duu * 8u);
    V = addStep(V, dvv * 8u);
  }
  const uint32_t left = static_cast<uint32_t>(n - i);
  MaskedPixels<Put>::put(k, p + i, texelWords8<K, true>(tex, U, V, left), firstLanes(n - i));
}

// perspectiveSpan for word rules with masked forms: the same exact
// coordinates every 16 pixels and the same steps between them. Blocks >= 0
// is for spans known to have that many whole 16-pixel blocks (built apart,
// so that the block loop's registers do not cost them spills).
template <int K, typename Put, bool HasZ, bool Fixed, int Blocks = -1>
KV_MASKED_INLINE void perspectiveWords(const uint16_t* tex, void* row, const SpanParams* sp) {
  const int32_t* w = sp->w;
  const int32_t x0 = w[0] >> 14;
  const int32_t n = (w[1] >> 14) - x0;
  if (n < 1) return;
  uint32_t ww = u32(w[4]);
  const uint32_t dw = u32(w[5]);
  uint32_t U = u32(w[6]);
  const uint32_t dU = u32(w[7]);
  uint32_t V = u32(w[8]);
  const uint32_t dV = u32(w[9]);
  uint32_t dz3 = 0;
  __m256i Z = _mm256_setzero_si256();
  if constexpr (HasZ) {
    dz3 = u32(w[3]) << 3;
    Z = laneRunV(u32(w[2]) << 3, dz3);
  }
  const uint32_t* k = wordConsts();
  uint32_t* p = static_cast<uint32_t*>(row) + x0;
  const bool flatW = Fixed || dw == 0;
  // Eight pixels from coordinates held << 6 (the addressed bits on top).
#define KV_PUT8(q, UU, VV, lanes, wanted)                                                  \
  MaskedWords<Put>::put(k, q, texelWords8<K, MaskedWords<Put>::kDup>(tex, UU, VV, wanted), Z, lanes); \
  if constexpr (HasZ) Z = addStep(Z, dz3 * 8u)

  int32_t blocks = Blocks >= 0 ? Blocks : n >> 4;
  const int32_t m = n & 15;
  int32_t r = spanRecip(s32(ww));
  uint32_t ue = exactExt(U, r);
  uint32_t ve = exactExt(V, r);
  for (; blocks > 0; --blocks) {
    U += dU * 16u;
    V += dV * 16u;
    if constexpr (!Fixed) ww += dw * 16u;
    if (!flatW) r = spanRecip(s32(ww));
    const uint32_t ue1 = exactExt(U, r);
    const uint32_t ve1 = exactExt(V, r);
    const uint32_t due = blockStep(ue, ue1);
    const uint32_t dve = blockStep(ve, ve1);
    const __m256i UU = laneRunV(ue << 6, due), VV = laneRunV(ve << 6, dve);
    KV_PUT8(p, UU, VV, 0xFF, 8);
    KV_PUT8(p + 8, addStep(UU, due * 8u), addStep(VV, dve * 8u), 0xFF, 8);
    p += 16;
    ue = ue1;
    ve = ve1;
  }
  if (m == 0) return;
  const int32_t uA = q14Mul(s32(U), r);
  const int32_t vA = q14Mul(s32(V), r);
  uint32_t duu = 0, dvv = 0;
  if (m > 1) {
    const uint32_t mm = static_cast<uint32_t>(m);
    const int32_t rB = flatW ? r : spanRecip(s32(ww + mm * dw));
    const int32_t uB = q14Mul(s32(U + mm * dU), rB);
    const int32_t vB = q14Mul(s32(V + mm * dV), rB);
    const uint32_t g = tailGain(mm);
    duu = tailStep(uA, uB, g) << 6;
    dvv = tailStep(vA, vB, g) << 6;
  }
  const __m256i UU = laneRunV(u32(uA) << 18, duu), VV = laneRunV(u32(vA) << 18, dvv);
  KV_PUT8(p, UU, VV, firstLanes(m), static_cast<uint32_t>(m));
  if (m > 8) {
    KV_PUT8(p + 8, addStep(UU, duu * 8u), addStep(VV, dvv * 8u), firstLanes(m - 8), static_cast<uint32_t>(m - 8));
  }
#undef KV_PUT8
}
#endif

// ---- untextured walks ---------------------------------------------------------

enum UntexColour : int { kColourNone = 0, kColourFlat = 1, kColourSmooth = 2 };
enum UntexBlend : int { kBlendOpaque = 0, kBlendAlpha = 1, kBlendAdd = 2 };

// Words 2/3 depth, 4..11 alpha, red, green, blue left/right (value << 16),
// word 10 the flat colour word for flat spans.
template <typename Pixel, int Colour, int Blend, bool Test, bool Write>
inline void untexturedSpan(GlContext*, void* row, const SpanParams* sp) {
  constexpr bool kDepth = sizeof(Pixel) == 4;
  constexpr bool kNeedZ = kDepth && (Test || Write);
  const int32_t* w = sp->w;
  const int32_t x0 = w[0] >> 14;
  const int32_t n = (w[1] >> 14) - x0;
  if (n < 1) return;
  const int32_t f = recipFromTable(static_cast<uint32_t>(n));
  uint32_t z = 0, dz = 0;
  if constexpr (kNeedZ) {
    z = u32(w[2]);
    dz = u32(q14Mul(wrapSub(w[3], w[2]), f));
  }
  uint32_t a = 0, r = 0, g = 0, b = 0, da = 0, dr = 0, dg = 0, db = 0;
  if constexpr (Colour == kColourSmooth) {
    if constexpr (Blend == kBlendAlpha) {
      a = u32(w[4]);
      da = u32(q14Mul(wrapSub(w[5], w[4]), f));
    }
    r = u32(w[6]);
    dr = u32(q14Mul(wrapSub(w[7], w[6]), f));
    g = u32(w[8]);
    dg = u32(q14Mul(wrapSub(w[9], w[8]), f));
    b = u32(w[10]);
    db = u32(q14Mul(wrapSub(w[11], w[10]), f));
  }
  const uint32_t flat = u32(w[10]);
  Pixel* p = static_cast<Pixel*>(row) + x0;
  Pixel* const end = p + n;
  for (; p != end; ++p) {
    const uint32_t old = *p;
    bool pass = true;
    if constexpr (kDepth && Test) pass = depthPasses(old, z);
    if (pass) {
      uint32_t colour = old & 0xFFFFu;
      if constexpr (Colour != kColourNone) {
        uint32_t src;   // RGB565, with the blend factor in bits 16-19
        if constexpr (Colour == kColourFlat) {
          src = flat;
        } else {
          src = packInterpolated(s32(r), s32(g), s32(b)) & 0xFFFFu;
          if constexpr (Blend == kBlendAlpha) src |= (a & 0xF00000u) >> 4;
        }
        if constexpr (Blend == kBlendOpaque) {
          colour = src & 0xFFFFu;
        } else if constexpr (Blend == kBlendAlpha) {
          colour = blend565(colour, src);
        } else {
          colour = addSat565(colour, src & 0xFFFFu);
        }
      }
      if constexpr (!kDepth) {
        *p = static_cast<Pixel>(colour);
      } else if constexpr (Write) {
        *p = colour | depthHalf(z);
      } else if constexpr (Colour != kColourNone) {
        *p = (old & 0xFFFF0000u) | colour;
      }
    }
    if constexpr (kNeedZ) z += dz;
    if constexpr (Colour == kColourSmooth) {
      if constexpr (Blend == kBlendAlpha) a += da;
      r += dr;
      g += dg;
      b += db;
    }
  }
}

#undef KV_SPAN_INLINE

}  // namespace kvgl
