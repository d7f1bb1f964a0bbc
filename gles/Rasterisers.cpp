// Rasteriser and line-drawer entries over the shared walks.
#include "gles/Rasterisers.h"

#include "gles/LineCore.h"
#include "gles/RasterCore.h"

namespace kvgl {
namespace {

inline bool target(GlContext* c, RasterTarget& t) {
  if (c->m_colorBuffer == nullptr || c->m_spanFunction == nullptr) return false;
  t = {c,
       c->m_colorBuffer,
       c->m_width,
       c->m_height,
       c->m_viewportX,
       c->m_viewportY,
       c->m_viewportWidth,
       c->m_viewportHeight,
       c->m_spanFunction};
  return true;
}

template <typename Pixel, int Mode>
void edgeEntry(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) {
  RasterTarget t;
  if (target(c, t)) edgeRasterise<Pixel, Mode>(t, a, b, d);
}

template <typename Pixel, bool Depth>
void planeEntry(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) {
  RasterTarget t;
  if (target(c, t)) planeRasterise<Pixel, Depth>(t, a, b, d);
}

template <typename Pixel, bool Smooth, bool Blend>
void lineEntry(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void*) {
  drawLine<Pixel, Smooth, Blend>(LineTarget{c->m_colorBuffer, c->m_width, c->m_height}, a, b);
}

}  // namespace

void rasterFlat(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint16_t, kEdgeFlat>(c, a, b, d); }
void rasterGouraud(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint16_t, kEdgeGouraud>(c, a, b, d); }
void rasterTexAffine(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint16_t, kEdgeTex>(c, a, b, d); }
void rasterTexPersp(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { planeEntry<uint16_t, false>(c, a, b, d); }
void rasterDepthOnly(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint32_t, kEdgeDepth>(c, a, b, d); }
void rasterFlat32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint32_t, kEdgeFlat>(c, a, b, d); }
void rasterGouraud32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint32_t, kEdgeGouraud>(c, a, b, d); }
void rasterTexAffine32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint32_t, kEdgeTex>(c, a, b, d); }
void rasterTexPersp32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { planeEntry<uint32_t, false>(c, a, b, d); }
void rasterFlatDepth(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint32_t, kEdgeFlatDepth>(c, a, b, d); }
void rasterTexAffineDepth(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { edgeEntry<uint32_t, kEdgeTexDepth>(c, a, b, d); }
void rasterTexPerspDepth(GlContext* c, const VertexSlot* a, const VertexSlot* b, const VertexSlot* d) { planeEntry<uint32_t, true>(c, a, b, d); }

bool skipsOneRowTriangles(TriangleRasteriser r) {
  static constexpr TriangleRasteriser kAll[] = {
      nullptr,          rasterFlat,       rasterGouraud,   rasterTexAffine,    rasterTexPersp,       rasterDepthOnly,
      rasterFlat32,     rasterGouraud32,  rasterTexAffine32, rasterTexPersp32, rasterFlatDepth,   rasterTexAffineDepth,
      rasterTexPerspDepth};
  for (TriangleRasteriser k : kAll)
    if (r == k) return true;
  return false;
}

void drawLineFlat(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint16_t, false, false>(c, a, b, u); }
void drawLineFlatBlend(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint16_t, false, true>(c, a, b, u); }
void drawLineSmooth(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint16_t, true, false>(c, a, b, u); }
void drawLineSmoothBlend(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint16_t, true, true>(c, a, b, u); }
void drawLineFlat32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint32_t, false, false>(c, a, b, u); }
void drawLineFlatBlend32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint32_t, false, true>(c, a, b, u); }
void drawLineSmooth32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint32_t, true, false>(c, a, b, u); }
void drawLineSmoothBlend32(GlContext* c, const VertexSlot* a, const VertexSlot* b, const void* u) { lineEntry<uint32_t, true, true>(c, a, b, u); }

}  // namespace kvgl
