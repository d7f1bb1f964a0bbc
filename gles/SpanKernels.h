// Span loops, written once per family and instantiated per pixel layout,
// texture size, texel mode and depth mode. All accumulators wrap as 32-bit
// integers; shifts of the walked values are arithmetic.
#pragma once

#include <cstdint>
#include <cstring>

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

// Words 6/7 u left/right, 8/9 v left/right, 2/3 depth left/right. Rules
// with eight-pixel forms take eight neighbours a step, then single pixels.
template <typename Pixel, int K, typename Put, bool HasZ>
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
    if (n >= 8) {
      // Eight neighbours' coordinates (and depths) side by side.
      Lane8 U = laneRun(u, duu), V = laneRun(v, dvv), Z = laneRun(z, dz);
      const uint32_t du8 = duu * 8u, dv8 = dvv * 8u, dz8 = dz * 8u;
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

// The coordinate rules of the perspective walk: a coordinate made exact from
// U = u*w and the reciprocal of w, held with 12 more fraction bits; the step,
// held << 6, between two exact ones 16 pixels apart; and the step over the
// m (>= 2) pixels of a tail, by tailGain(m).
KV_SPAN_INLINE uint32_t exactExt(uint32_t uw, int32_t r) { return u32(q14Mul(s32(uw), r)) << 12; }
KV_SPAN_INLINE uint32_t blockStep(uint32_t from, uint32_t to) { return u32(s32(to - from) >> 4) << 6; }
KV_SPAN_INLINE uint32_t tailGain(uint32_t m) { return static_cast<uint32_t>(recipFromTable(m) >> 2); }
KV_SPAN_INLINE uint32_t tailStep(int32_t from, int32_t to, uint32_t gain) { return u32(wrapSub(to, from)) * gain; }

// Words 4/5 w and its x-step, 6/7 U = u*w and step, 8/9 V = v*w and step,
// 2/3 depth and step. Exact coordinates every 16 pixels, linear between.
// Fixed uses the left end's w as the divisor for the whole span.
template <typename Pixel, int K, typename Put, bool HasZ, bool Fixed>
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

  int32_t blocks = n >> 4;
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
      Lane8 lu = laneRun(uu, due), lv = laneRun(vv, dve), lz = laneRun(z, dz);
      Put::put8(p, atTop8<K>(tex, lu, lv), lz);
      lu += due * 8u;
      lv += dve * 8u;
      lz += dz * 8u;
      Put::put8(p + 8, atTop8<K>(tex, lu, lv), lz);
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
