// The twelve triangle rasterisers, the eight line drawers and the selection
// of both from the GL state.
#pragma once

#include "gles/GlContext.h"

namespace kvgl {

void rasterFlat(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterGouraud(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterTexAffine(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterTexPersp(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterDepthOnly(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterFlat32(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterGouraud32(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterTexAffine32(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterTexPersp32(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterFlatDepth(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterTexAffineDepth(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);
void rasterTexPerspDepth(GlContext*, const VertexSlot*, const VertexSlot*, const VertexSlot*);

void drawLineFlat(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineFlatBlend(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineSmooth(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineSmoothBlend(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineFlat32(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineFlatBlend32(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineSmooth32(GlContext*, const VertexSlot*, const VertexSlot*, const void*);
void drawLineSmoothBlend32(GlContext*, const VertexSlot*, const VertexSlot*, const void*);

// Picks the triangle rasteriser and span function for the current state.
// Returns false when the draw call has nothing usable to draw with (a kept
// selection that does not exist or does not fit the state).
bool selectRasteriser(GlContext& context);

// True for the rasterisers above (and none): a triangle for which
// walksNoPixel holds gives them nothing to draw.
bool skipsOneRowTriangles(TriangleRasteriser r);

// Corners on one row or in one column, or on two neighbouring rows with one
// corner on the upper row or two there in one column: the walks give every
// row a right end no further right than its left one.
inline bool walksNoPixel(const VertexSlot* a, const VertexSlot* b, const VertexSlot* c) {
  const int32_t ya = a->screenY, yb = b->screenY, yc = c->screenY;
  const int32_t xa = a->screenX, xb = b->screenX, xc = c->screenX;
  if (xa == xb && xb == xc) return true;
  int32_t top = ya < yb ? ya : yb;
  if (yc < top) top = yc;
  // Rows below the top one: 0 (one row) or 1 (two rows) for each corner.
  const int32_t da = ya - top, db = yb - top, dc = yc - top;
  if ((da | db | dc) > 1) return false;
  if (da + db + dc != 1) return true;  // one row, or one corner on the upper row
  // Two corners on the upper row: nothing when they share a column.
  if (da == 1) return xb == xc;
  if (db == 1) return xa == xc;
  return xa == xb;
}
void selectLineRasteriser(GlContext& context);

}  // namespace kvgl
