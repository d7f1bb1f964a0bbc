// The untextured span functions and the textured span families; the textured
// ones are reached through the span tables that initSpanTables fills.
#pragma once

#include "gles/GlContext.h"

namespace kvgl {

// 16-bit pixels.
void spanFlat(GlContext*, void*, const SpanParams*);
void spanFlatAlpha(GlContext*, void*, const SpanParams*);
void spanFlatAdd(GlContext*, void*, const SpanParams*);
void spanSmooth(GlContext*, void*, const SpanParams*);
void spanSmoothAlpha(GlContext*, void*, const SpanParams*);
void spanSmoothAdd(GlContext*, void*, const SpanParams*);

// Colour-and-depth words, colour masked.
void spanDepthTest(GlContext*, void*, const SpanParams*);
void spanDepthWrite(GlContext*, void*, const SpanParams*);
void spanDepthTestWrite(GlContext*, void*, const SpanParams*);
// Colour-and-depth words, no depth words read.
void spanFlatWord(GlContext*, void*, const SpanParams*);
void spanFlatBlendWord(GlContext*, void*, const SpanParams*);
void spanSmoothWord(GlContext*, void*, const SpanParams*);
void spanSmoothAlphaWord(GlContext*, void*, const SpanParams*);
void spanSmoothAddWord(GlContext*, void*, const SpanParams*);
// Colour-and-depth words with the flat colour and depth.
void spanTested(GlContext*, void*, const SpanParams*);
void spanWritten(GlContext*, void*, const SpanParams*);
void spanTestedWritten(GlContext*, void*, const SpanParams*);
void spanTestedBlend(GlContext*, void*, const SpanParams*);
void spanWrittenBlend(GlContext*, void*, const SpanParams*);
void spanTestedWrittenBlend(GlContext*, void*, const SpanParams*);

// Which words a span reads and whether it draws from the texel cache; the
// selection uses this to refuse a kept span that its rasteriser cannot feed.
enum SpanLayout : int {
  kLayoutNone = 0,
  kLayoutFlat16,
  kLayoutGouraud16,
  kLayoutTexAffine16,
  kLayoutTexPersp16,
  kLayoutDepthOnly,
  kLayoutFlat32,
  kLayoutGouraud32,
  kLayoutTexAffine32,     // no depth words
  kLayoutFlatDepth,
  kLayoutTexAffineDepth,
  kLayoutTexPersp32,      // no depth words
  kLayoutTexPerspDepth,
};

// Where a span function comes from: its layout and, for a textured one, the
// table it was taken from (so that it can be taken again for another size or mode).
struct SpanOrigin {
  SpanLayout layout = kLayoutNone;
  const SpanFunction* table = nullptr;  // 4 x 3 (or 4 x 1 when columns == 1)
  int columns = 0;
};

SpanOrigin findSpanOrigin(const GlContext& context, SpanFunction span);

}  // namespace kvgl
