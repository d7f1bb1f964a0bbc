// Choice of the triangle rasteriser and span function, and of the line
// drawer, from the GL state; once per draw call.
#include "gles/GlContext.h"
#include "gles/Rasterisers.h"
#include "gles/SpanFunctions.h"

namespace kvgl {
namespace {

constexpr GLenum kOne = GL_ONE;
constexpr GLenum kSrcAlpha = GL_SRC_ALPHA;
constexpr GLenum kOneMinusSrcAlpha = GL_ONE_MINUS_SRC_ALPHA;

struct TextureChoice {
  int size = 0;
  int mode = 0;
};

TextureChoice textureChoice(const GlContext& c) {
  TextureChoice t;
  if (c.m_boundTexture != nullptr) {
    t.size = c.m_boundTexture->sizeIndex;
    t.mode = c.m_boundTexture->mode;
  }
  if (t.size < 0 || t.size > 3) t.size = 0;
  if (t.mode < 0 || t.mode > 2) t.mode = 0;
  return t;
}

void choose(GlContext& c, TriangleRasteriser r, SpanFunction s) {
  c.m_rasteriser = r;
  c.m_spanFunction = s;
}

void selectNoDepth(GlContext& c) {
  const bool textured = c.m_texCoordArrayEnabled && c.m_capTexture2D && c.m_texelCache != nullptr;
  const bool smooth = c.m_shadeModel == GL_SMOOTH && c.m_colorArrayEnabled;
  const bool blend = c.m_capBlend != 0;
  const bool alphaPair = c.m_blendSrc == kSrcAlpha && c.m_blendDst == kOneMinusSrcAlpha;
  const bool addPair = c.m_blendSrc == kOne && c.m_blendDst == kOne;
  const TextureChoice tex = textureChoice(c);
  if (textured) {
    if (blend && !alphaPair) {
      if (addPair) choose(c, rasterTexAffine, c.m_texAdditiveSpans[tex.size]);
      return;  // any other pair keeps the selection
    }
    if (!c.m_perspective) {
      choose(c, rasterTexAffine, c.m_texAffineSpans.fn[tex.size][tex.mode]);
    } else if (!c.m_capFixedDivisor) {
      choose(c, rasterTexPersp, c.m_texPerspectiveSpans.fn[tex.size][tex.mode]);
    } else {
      SpanFunction s = c.m_texFixedDivisorSpans.fn[tex.size][tex.mode];
      // Only RGB565 has a fixed-divisor span; the others draw perspective.
      if (s == nullptr) s = c.m_texPerspectiveSpans.fn[tex.size][tex.mode];
      choose(c, rasterTexPersp, s);
    }
    return;
  }
  if (smooth) {
    c.m_rasteriser = rasterGouraud;
    if (!blend) {
      c.m_spanFunction = spanSmooth;
    } else if (addPair) {
      c.m_spanFunction = spanSmoothAdd;
    } else if (alphaPair) {
      c.m_spanFunction = spanSmoothAlpha;
    }
    return;
  }
  c.m_rasteriser = rasterFlat;
  if (!blend) {
    c.m_spanFunction = spanFlat;
  } else if (addPair) {
    c.m_spanFunction = spanFlatAdd;
  } else if (alphaPair) {
    c.m_spanFunction = spanFlatAlpha;
  }
}

void selectDepth(GlContext& c) {
  const bool depthTest = c.m_capDepthTest != 0;
  const bool write = c.m_depthWrite != 0;
  if (!c.m_colorMask) {
    if (!depthTest && !write) return;  // keep
    c.m_rasteriser = rasterDepthOnly;
    c.m_spanFunction = depthTest ? (write ? spanDepthTestWrite : spanDepthTest) : spanDepthWrite;
    return;
  }
  const bool textured = c.m_capTexture2D && c.m_texelCache != nullptr;
  const bool test = depthTest && c.m_depthFunc != GL_ALWAYS;
  const bool smooth = c.m_shadeModel == GL_SMOOTH && c.m_colorArrayEnabled;
  const bool blend = c.m_capBlend != 0;
  const bool alphaPair = c.m_blendSrc == kSrcAlpha && c.m_blendDst == kOneMinusSrcAlpha;
  const bool addPair = c.m_blendSrc == kOne && c.m_blendDst == kOne;
  const TextureChoice tex = textureChoice(c);
  if (textured) {
    if (blend && tex.mode != kTexelRgba4444) {
      if (addPair) choose(c, rasterTexAffineDepth, c.m_depthTexAdditiveSpans[tex.size]);
      return;  // keep
    }
    const int j = (c.m_perspective ? 4 : 0) + (test ? 1 : 0) + (write ? 2 : 0);
    TriangleRasteriser r;
    if (test || write) {
      r = c.m_perspective ? rasterTexPerspDepth : rasterTexAffineDepth;
    } else {
      r = c.m_perspective ? rasterTexPersp32 : rasterTexAffine32;
    }
    choose(c, r, c.m_depthTexSpans[j].fn[tex.size][tex.mode]);
    return;
  }
  if (test || write) {
    SpanFunction s;
    if (test && write) {
      s = blend ? spanTestedWrittenBlend : spanTestedWritten;
    } else if (write) {
      s = blend ? spanWrittenBlend : spanWritten;
    } else {
      s = blend ? spanTestedBlend : spanTested;
    }
    choose(c, rasterFlatDepth, s);
    return;
  }
  if (smooth) {
    c.m_rasteriser = rasterGouraud32;
    if (!blend) {
      c.m_spanFunction = spanSmoothWord;
    } else if (addPair) {
      c.m_spanFunction = spanSmoothAddWord;
    } else if (alphaPair) {
      c.m_spanFunction = spanSmoothAlphaWord;
    }
    return;
  }
  choose(c, rasterFlat32, blend ? spanFlatBlendWord : spanFlatWord);
}

SpanLayout rasteriserLayout(TriangleRasteriser r) {
  struct Entry {
    TriangleRasteriser r;
    SpanLayout layout;
  };
  static const Entry kEntries[] = {
      {rasterFlat, kLayoutFlat16},          {rasterGouraud, kLayoutGouraud16},
      {rasterTexAffine, kLayoutTexAffine16}, {rasterTexPersp, kLayoutTexPersp16},
      {rasterDepthOnly, kLayoutDepthOnly},   {rasterFlat32, kLayoutFlat32},
      {rasterGouraud32, kLayoutGouraud32},   {rasterTexAffine32, kLayoutTexAffine32},
      {rasterTexPersp32, kLayoutTexPersp32}, {rasterFlatDepth, kLayoutFlatDepth},
      {rasterTexAffineDepth, kLayoutTexAffineDepth}, {rasterTexPerspDepth, kLayoutTexPerspDepth},
  };
  for (const Entry& e : kEntries)
    if (e.r == r) return e.layout;
  return kLayoutNone;
}

// Whether a rasteriser fills every word that spans of the given layout read.
bool feeds(SpanLayout rasteriser, SpanLayout span) {
  if (rasteriser == span) return true;
  switch (rasteriser) {
    case kLayoutFlatDepth:
      return span == kLayoutFlat32 || span == kLayoutDepthOnly;
    case kLayoutTexAffineDepth:
      return span == kLayoutTexAffine32;
    case kLayoutTexPerspDepth:
      return span == kLayoutTexPersp32;
    default:
      return false;
  }
}

}  // namespace

bool selectRasteriser(GlContext& c) {
  if (c.m_depthBuffer) {
    selectDepth(c);
  } else {
    selectNoDepth(c);
  }
  // Nothing selected yet, or a kept span that the rasteriser cannot feed.
  if (c.m_rasteriser == nullptr || c.m_spanFunction == nullptr) return false;
  const SpanOrigin origin = findSpanOrigin(c, c.m_spanFunction);
  if (!feeds(rasteriserLayout(c.m_rasteriser), origin.layout)) return false;
  if (origin.table != nullptr) {
    // A textured span is taken again for the bound texture's size and mode.
    if (c.m_texelCache == nullptr) return false;
    const TextureChoice tex = textureChoice(c);
    SpanFunction s = origin.table[tex.size * origin.columns + (origin.columns == 3 ? tex.mode : 0)];
    if (s == nullptr) s = c.m_texPerspectiveSpans.fn[tex.size][tex.mode];
    c.m_spanFunction = s;
  }
  return true;
}

void selectLineRasteriser(GlContext& c) {
  const bool smooth = c.m_shadeModel == GL_SMOOTH && c.m_colorArrayEnabled;
  const bool blend = c.m_capBlend != 0;
  static const LineDrawer kDrawers[2][2][2] = {
      {{drawLineFlat, drawLineFlatBlend}, {drawLineSmooth, drawLineSmoothBlend}},
      {{drawLineFlat32, drawLineFlatBlend32}, {drawLineSmooth32, drawLineSmoothBlend32}},
  };
  c.m_lineDrawer = kDrawers[c.m_depthBuffer ? 1 : 0][smooth ? 1 : 0][blend ? 1 : 0];
}

}  // namespace kvgl
