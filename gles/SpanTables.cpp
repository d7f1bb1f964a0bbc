// Span function entries and the span tables of the context.
#include <cstdint>

#include "gles/GlContext.h"
#include "gles/SpanFunctions.h"
#include "gles/SpanKernels.h"

namespace kvgl {
namespace {

template <int K, typename Put, bool HasZ, typename Pixel>
void affineEntry(GlContext* c, void* row, const SpanParams* sp) {
  affineSpan<Pixel, K, Put, HasZ>(c->m_texelCache, row, sp);
}

template <int K, typename Put, bool HasZ, bool Fixed, typename Pixel>
void perspectiveEntry(GlContext* c, void* row, const SpanParams* sp) {
  perspectiveSpan<Pixel, K, Put, HasZ, Fixed>(c->m_texelCache, row, sp);
}

// The same walks built for 256-bit vectors, put in the tables when the
// processor has them: the eight-lane steps then take one instruction each.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KV_WIDE_SPANS 1
template <int K, typename Put, bool HasZ, typename Pixel>
[[gnu::target("avx2"), gnu::flatten]] void affineEntryWide(GlContext* c, void* row, const SpanParams* sp) {
  affineSpan<Pixel, K, Put, HasZ>(c->m_texelCache, row, sp);
}

template <int K, typename Put, bool HasZ, bool Fixed, typename Pixel>
[[gnu::target("avx2"), gnu::flatten, gnu::noinline]] void perspectiveEntryWide(GlContext* c, void* row, const SpanParams* sp) {
  perspectiveSpan<Pixel, K, Put, HasZ, Fixed>(c->m_texelCache, row, sp);
}
#endif

// And with masked loads and stores: the last pixels of a span (every pixel
// of a short one) in one eight-lane step.
#ifdef KV_MASKED_SPANS
template <int K, typename Put, bool HasZ, typename Pixel>
[[gnu::target(KV_MASKED_TARGET), gnu::flatten]] void affineEntryMasked(GlContext* c, void* row, const SpanParams* sp) {
  if constexpr (MaskedWords<Put>::kHas) {
    affineWords<K, Put, HasZ>(c->m_texelCache, row, sp);
  } else if constexpr (MaskedPixels<Put>::kHas) {
    affinePixels<K, Put>(c->m_texelCache, row, sp);
  } else {
    affineSpan<Pixel, K, Put, HasZ, true>(c->m_texelCache, row, sp);
  }
}

template <int K, typename Put, bool HasZ, bool Fixed, int Blocks>
[[gnu::target(KV_MASKED_TARGET), gnu::flatten, gnu::noinline]] void perspectiveWordsLong(GlContext* c, void* row,
                                                                                        const SpanParams* sp) {
  perspectiveWords<K, Put, HasZ, Fixed, Blocks>(c->m_texelCache, row, sp);
}

// Whether a span covers at least `len` pixels, from the whole-pixel parts of
// its ends (held in 64 bits, so no difference wraps).
[[gnu::always_inline]] inline bool spanAtLeast(const SpanParams* sp, int32_t len) {
  const int64_t x0 = sp->w[0] & ~int32_t{0x3FFF}, x1 = sp->w[1] & ~int32_t{0x3FFF};
  return x1 - x0 >= int64_t{len} << 14;
}

// Spans of 16 to 31 pixels: one block and a masked tail. Longer ones keep
// the wide build's block loop, which this build's register allocation makes
// slower; the length is tested before anything is saved for the block.
template <int K, typename Put, bool HasZ, bool Fixed, typename Pixel>
[[gnu::target(KV_MASKED_TARGET), gnu::flatten, gnu::noinline]] void perspectiveOneBlock(GlContext* c, void* row,
                                                                                       const SpanParams* sp) {
  if (spanAtLeast(sp, 32)) return perspectiveEntryWide<K, Put, HasZ, Fixed, Pixel>(c, row, sp);
  perspectiveSpan<Pixel, K, Put, HasZ, Fixed, true, 1>(c->m_texelCache, row, sp);
}

template <int K, typename Put, bool HasZ, bool Fixed, typename Pixel>
[[gnu::target(KV_MASKED_TARGET), gnu::flatten]] void perspectiveEntryMasked(GlContext* c, void* row,
                                                                             const SpanParams* sp) {
  if constexpr (MaskedWords<Put>::kHas) {
    const int32_t n = (sp->w[1] >> 14) - (sp->w[0] >> 14);
    if (n >= 32) return perspectiveWordsLong<K, Put, HasZ, Fixed, -1>(c, row, sp);
    if (n >= 16) return perspectiveWordsLong<K, Put, HasZ, Fixed, 1>(c, row, sp);
    perspectiveWords<K, Put, HasZ, Fixed, 0>(c->m_texelCache, row, sp);
  } else {
    // The fixed divisor's blocks cost no division, and gain nothing from the
    // one-block form.
    if ((sp->w[1] >> 14) - (sp->w[0] >> 14) >= 16) {
      if constexpr (Fixed) return perspectiveEntryWide<K, Put, HasZ, Fixed, Pixel>(c, row, sp);
      return perspectiveOneBlock<K, Put, HasZ, Fixed, Pixel>(c, row, sp);
    }
    perspectiveSpan<Pixel, K, Put, HasZ, Fixed, true>(c->m_texelCache, row, sp);
  }
}
#endif

// Only the walks with eight-pixel rules gain from the wide builds; the
// others keep the plain one.
template <int Build, int K, typename Put, bool HasZ, typename Pixel>
constexpr SpanFunction affine() {
#ifdef KV_MASKED_SPANS
  if constexpr (Build == kSpansMasked && hasPut8<Put>()) return affineEntryMasked<K, Put, HasZ, Pixel>;
#endif
#ifdef KV_WIDE_SPANS
  if constexpr (Build != kSpansPlain && hasPut8<Put>()) return affineEntryWide<K, Put, HasZ, Pixel>;
#endif
  return affineEntry<K, Put, HasZ, Pixel>;
}

template <int Build, int K, typename Put, bool HasZ, bool Fixed, typename Pixel>
constexpr SpanFunction perspective() {
#ifdef KV_MASKED_SPANS
  if constexpr (Build == kSpansMasked && hasPut8<Put>()) return perspectiveEntryMasked<K, Put, HasZ, Fixed, Pixel>;
#endif
#ifdef KV_WIDE_SPANS
  if constexpr (Build != kSpansPlain && hasPut8<Put>()) return perspectiveEntryWide<K, Put, HasZ, Fixed, Pixel>;
#endif
  return perspectiveEntry<K, Put, HasZ, Fixed, Pixel>;
}

// Texel 0 writes nothing in the affine RGB565/RGBA5551 depth spans of the
// larger textures: size 128 except the tested-only variant, size 256 always.
constexpr bool skipZeroTexel(int k, int variant) { return k == 3 || (k == 2 && variant != 1); }

template <int K, int W>
void fillSize(GlContext& c) {
  c.m_texAffineSpans.fn[K][kTexel565] = affine<W, K, TexPut16<kTexel565>, false, uint16_t>();
  c.m_texAffineSpans.fn[K][kTexel5551] = affine<W, K, TexPut16<kTexel5551>, false, uint16_t>();
  c.m_texAffineSpans.fn[K][kTexel4444] = affine<W, K, TexPut16<kTexel4444>, false, uint16_t>();
  c.m_texPerspectiveSpans.fn[K][kTexel565] = perspective<W, K, TexPut16<kTexel565>, false, false, uint16_t>();
  c.m_texPerspectiveSpans.fn[K][kTexel5551] = perspective<W, K, TexPut16<kTexel5551>, false, false, uint16_t>();
  c.m_texPerspectiveSpans.fn[K][kTexel4444] = perspective<W, K, TexPut16<kTexel4444>, false, false, uint16_t>();
  c.m_texFixedDivisorSpans.fn[K][kTexel565] = perspective<W, K, TexPut16<kTexel565>, false, true, uint16_t>();
  c.m_texFixedDivisorSpans.fn[K][kTexel5551] = nullptr;
  c.m_texFixedDivisorSpans.fn[K][kTexel4444] = nullptr;
  c.m_texAdditiveSpans[K] = affine<W, K, AddPut16, false, uint16_t>();

  auto setDepth = [&](int j, SpanFunction rgb, SpanFunction rgba4) {
    c.m_depthTexSpans[j].fn[K][kTexel565] = rgb;
    c.m_depthTexSpans[j].fn[K][kTexel5551] = rgb;
    c.m_depthTexSpans[j].fn[K][kTexel4444] = rgba4;
  };
  setDepth(0, affine<W, K, TexPut32<kTexel565, false, false, skipZeroTexel(K, 0)>, false, uint32_t>(),
           affine<W, K, TexPut32<kTexel4444, false, false, false>, false, uint32_t>());
  setDepth(1, affine<W, K, TexPut32<kTexel565, true, false, skipZeroTexel(K, 1)>, true, uint32_t>(),
           affine<W, K, TexPut32<kTexel4444, true, false, false>, true, uint32_t>());
  setDepth(2, affine<W, K, TexPut32<kTexel565, false, true, skipZeroTexel(K, 2)>, true, uint32_t>(),
           affine<W, K, TexPut32<kTexel4444, false, true, false>, true, uint32_t>());
  setDepth(3, affine<W, K, TexPut32<kTexel565, true, true, skipZeroTexel(K, 3)>, true, uint32_t>(),
           affine<W, K, TexPut32<kTexel4444, true, true, false>, true, uint32_t>());
  setDepth(4, perspective<W, K, TexPut32<kTexel565, false, false, false>, false, false, uint32_t>(),
           perspective<W, K, TexPut32<kTexel4444, false, false, false>, false, false, uint32_t>());
  setDepth(5, perspective<W, K, TexPut32<kTexel565, true, false, false>, true, false, uint32_t>(),
           perspective<W, K, TexPut32<kTexel4444, true, false, false>, true, false, uint32_t>());
  setDepth(6, perspective<W, K, TexPut32<kTexel565, false, true, false>, true, false, uint32_t>(),
           perspective<W, K, TexPut32<kTexel4444, false, true, false>, true, false, uint32_t>());
  setDepth(7, perspective<W, K, TexPut32<kTexel565, true, true, false>, true, false, uint32_t>(),
           perspective<W, K, TexPut32<kTexel4444, true, true, false>, true, false, uint32_t>());
  c.m_depthTexAdditiveSpans[K] = affine<W, K, AddPut32, true, uint32_t>();
}

}  // namespace

void spanFlat(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint16_t, kColourFlat, kBlendOpaque, false, false>(c, r, p); }
void spanFlatAlpha(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint16_t, kColourFlat, kBlendAlpha, false, false>(c, r, p); }
void spanFlatAdd(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint16_t, kColourFlat, kBlendAdd, false, false>(c, r, p); }
void spanSmooth(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint16_t, kColourSmooth, kBlendOpaque, false, false>(c, r, p); }
void spanSmoothAlpha(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint16_t, kColourSmooth, kBlendAlpha, false, false>(c, r, p); }
void spanSmoothAdd(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint16_t, kColourSmooth, kBlendAdd, false, false>(c, r, p); }

void spanDepthTest(GlContext*, void*, const SpanParams*) {}  // colour masked, depth not written: no change
void spanDepthWrite(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourNone, kBlendOpaque, false, true>(c, r, p); }
void spanDepthTestWrite(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourNone, kBlendOpaque, true, true>(c, r, p); }
void spanFlatWord(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendOpaque, false, false>(c, r, p); }
void spanFlatBlendWord(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendAlpha, false, false>(c, r, p); }
void spanSmoothWord(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourSmooth, kBlendOpaque, false, false>(c, r, p); }
void spanSmoothAlphaWord(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourSmooth, kBlendAlpha, false, false>(c, r, p); }
void spanSmoothAddWord(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourSmooth, kBlendAdd, false, false>(c, r, p); }
void spanTested(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendOpaque, true, false>(c, r, p); }
void spanWritten(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendOpaque, false, true>(c, r, p); }
void spanTestedWritten(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendOpaque, true, true>(c, r, p); }
void spanTestedBlend(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendAlpha, true, false>(c, r, p); }
void spanWrittenBlend(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendAlpha, false, true>(c, r, p); }
void spanTestedWrittenBlend(GlContext* c, void* r, const SpanParams* p) { untexturedSpan<uint32_t, kColourFlat, kBlendAlpha, true, true>(c, r, p); }

SpanOrigin findSpanOrigin(const GlContext& c, SpanFunction span) {
  SpanOrigin o;
  if (span == nullptr) return o;
  struct Named {
    SpanFunction fn;
    SpanLayout layout;
  };
  static const Named kUntextured[] = {
      {spanFlat, kLayoutFlat16},           {spanFlatAlpha, kLayoutFlat16},
      {spanFlatAdd, kLayoutFlat16},        {spanSmooth, kLayoutGouraud16},
      {spanSmoothAlpha, kLayoutGouraud16}, {spanSmoothAdd, kLayoutGouraud16},
      {spanDepthTest, kLayoutDepthOnly},   {spanDepthWrite, kLayoutDepthOnly},
      {spanDepthTestWrite, kLayoutDepthOnly}, {spanFlatWord, kLayoutFlat32},
      {spanFlatBlendWord, kLayoutFlat32},  {spanSmoothWord, kLayoutGouraud32},
      {spanSmoothAlphaWord, kLayoutGouraud32}, {spanSmoothAddWord, kLayoutGouraud32},
      {spanTested, kLayoutFlatDepth},      {spanWritten, kLayoutFlatDepth},
      {spanTestedWritten, kLayoutFlatDepth}, {spanTestedBlend, kLayoutFlatDepth},
      {spanWrittenBlend, kLayoutFlatDepth}, {spanTestedWrittenBlend, kLayoutFlatDepth},
  };
  for (const Named& n : kUntextured) {
    if (n.fn == span) {
      o.layout = n.layout;
      return o;
    }
  }
  auto inTable = [&](const SpanFunction* t, int columns) {
    for (int i = 0; i < 4 * columns; ++i)
      if (t[i] == span) return true;
    return false;
  };
  struct Tab {
    const SpanFunction* t;
    int columns;
    SpanLayout layout;
  };
  const Tab tabs[] = {
      {&c.m_texAffineSpans.fn[0][0], 3, kLayoutTexAffine16},
      {&c.m_texPerspectiveSpans.fn[0][0], 3, kLayoutTexPersp16},
      {&c.m_texFixedDivisorSpans.fn[0][0], 3, kLayoutTexPersp16},
      {c.m_texAdditiveSpans, 1, kLayoutTexAffine16},
      {&c.m_depthTexSpans[0].fn[0][0], 3, kLayoutTexAffine32},
      {&c.m_depthTexSpans[1].fn[0][0], 3, kLayoutTexAffineDepth},
      {&c.m_depthTexSpans[2].fn[0][0], 3, kLayoutTexAffineDepth},
      {&c.m_depthTexSpans[3].fn[0][0], 3, kLayoutTexAffineDepth},
      {&c.m_depthTexSpans[4].fn[0][0], 3, kLayoutTexPersp32},
      {&c.m_depthTexSpans[5].fn[0][0], 3, kLayoutTexPerspDepth},
      {&c.m_depthTexSpans[6].fn[0][0], 3, kLayoutTexPerspDepth},
      {&c.m_depthTexSpans[7].fn[0][0], 3, kLayoutTexPerspDepth},
      {c.m_depthTexAdditiveSpans, 1, kLayoutTexAffineDepth},
  };
  for (const Tab& t : tabs) {
    if (inTable(t.t, t.columns)) {
      o.layout = t.layout;
      o.table = t.t;
      o.columns = t.columns;
      return o;
    }
  }
  return o;
}

}  // namespace kvgl

namespace kvgl {

bool spanBuildAvailable(SpanBuild build) {
  switch (build) {
    case kSpansPlain:
      return true;
    case kSpansWide: {
#ifdef KV_WIDE_SPANS
      static const bool wide = __builtin_cpu_supports("avx2");
      return wide;
#else
      return false;
#endif
    }
    case kSpansMasked: {
#ifdef KV_MASKED_SPANS
      static const bool masked = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
                                 __builtin_cpu_supports("avx512f") &&
                                 __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
      return masked;
#else
      return false;
#endif
    }
  }
  return false;
}

bool wideSpansAvailable() { return spanBuildAvailable(kSpansWide); }

template <int W>
static void fillAll(GlContext& c) {
  fillSize<0, W>(c);
  fillSize<1, W>(c);
  fillSize<2, W>(c);
  fillSize<3, W>(c);
}

void fillSpanTables(GlContext& c, SpanBuild build) {
  // The best build the processor runs, no better than the one asked for.
  if (build == kSpansMasked && !spanBuildAvailable(kSpansMasked)) build = kSpansWide;
  if (build == kSpansWide && !spanBuildAvailable(kSpansWide)) build = kSpansPlain;
  switch (build) {
    case kSpansMasked: fillAll<kSpansMasked>(c); break;
    case kSpansWide: fillAll<kSpansWide>(c); break;
    case kSpansPlain: fillAll<kSpansPlain>(c); break;
  }
}

}  // namespace kvgl

void GlContext::initSpanTables() { kvgl::fillSpanTables(*this, kvgl::kSpansMasked); }
