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

// Texel 0 writes nothing in the affine RGB565/RGBA5551 depth spans of the
// larger textures: size 128 except the tested-only variant, size 256 always.
constexpr bool skipZeroTexel(int k, int variant) { return k == 3 || (k == 2 && variant != 1); }

template <int K>
void fillSize(GlContext& c) {
  c.m_texAffineSpans.fn[K][kTexel565] = affineEntry<K, TexPut16<kTexel565>, false, uint16_t>;
  c.m_texAffineSpans.fn[K][kTexel5551] = affineEntry<K, TexPut16<kTexel5551>, false, uint16_t>;
  c.m_texAffineSpans.fn[K][kTexel4444] = affineEntry<K, TexPut16<kTexel4444>, false, uint16_t>;
  c.m_texPerspectiveSpans.fn[K][kTexel565] = perspectiveEntry<K, TexPut16<kTexel565>, false, false, uint16_t>;
  c.m_texPerspectiveSpans.fn[K][kTexel5551] = perspectiveEntry<K, TexPut16<kTexel5551>, false, false, uint16_t>;
  c.m_texPerspectiveSpans.fn[K][kTexel4444] = perspectiveEntry<K, TexPut16<kTexel4444>, false, false, uint16_t>;
  c.m_texFixedDivisorSpans.fn[K][kTexel565] = perspectiveEntry<K, TexPut16<kTexel565>, false, true, uint16_t>;
  c.m_texFixedDivisorSpans.fn[K][kTexel5551] = nullptr;
  c.m_texFixedDivisorSpans.fn[K][kTexel4444] = nullptr;
  c.m_texAdditiveSpans[K] = affineEntry<K, AddPut16, false, uint16_t>;

  auto setDepth = [&](int j, SpanFunction rgb, SpanFunction rgba4) {
    c.m_depthTexSpans[j].fn[K][kTexel565] = rgb;
    c.m_depthTexSpans[j].fn[K][kTexel5551] = rgb;
    c.m_depthTexSpans[j].fn[K][kTexel4444] = rgba4;
  };
  setDepth(0, affineEntry<K, TexPut32<kTexel565, false, false, skipZeroTexel(K, 0)>, false, uint32_t>,
           affineEntry<K, TexPut32<kTexel4444, false, false, false>, false, uint32_t>);
  setDepth(1, affineEntry<K, TexPut32<kTexel565, true, false, skipZeroTexel(K, 1)>, true, uint32_t>,
           affineEntry<K, TexPut32<kTexel4444, true, false, false>, true, uint32_t>);
  setDepth(2, affineEntry<K, TexPut32<kTexel565, false, true, skipZeroTexel(K, 2)>, true, uint32_t>,
           affineEntry<K, TexPut32<kTexel4444, false, true, false>, true, uint32_t>);
  setDepth(3, affineEntry<K, TexPut32<kTexel565, true, true, skipZeroTexel(K, 3)>, true, uint32_t>,
           affineEntry<K, TexPut32<kTexel4444, true, true, false>, true, uint32_t>);
  setDepth(4, perspectiveEntry<K, TexPut32<kTexel565, false, false, false>, false, false, uint32_t>,
           perspectiveEntry<K, TexPut32<kTexel4444, false, false, false>, false, false, uint32_t>);
  setDepth(5, perspectiveEntry<K, TexPut32<kTexel565, true, false, false>, true, false, uint32_t>,
           perspectiveEntry<K, TexPut32<kTexel4444, true, false, false>, true, false, uint32_t>);
  setDepth(6, perspectiveEntry<K, TexPut32<kTexel565, false, true, false>, true, false, uint32_t>,
           perspectiveEntry<K, TexPut32<kTexel4444, false, true, false>, true, false, uint32_t>);
  setDepth(7, perspectiveEntry<K, TexPut32<kTexel565, true, true, false>, true, false, uint32_t>,
           perspectiveEntry<K, TexPut32<kTexel4444, true, true, false>, true, false, uint32_t>);
  c.m_depthTexAdditiveSpans[K] = affineEntry<K, AddPut32, true, uint32_t>;
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

void GlContext::initSpanTables() {
  kvgl::fillSize<0>(*this);
  kvgl::fillSize<1>(*this);
  kvgl::fillSize<2>(*this);
  kvgl::fillSize<3>(*this);
}
