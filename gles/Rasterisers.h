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

// True for the rasterisers above (and none): a triangle whose corners share
// one row gives them nothing to draw.
bool skipsOneRowTriangles(TriangleRasteriser r);
void selectLineRasteriser(GlContext& context);

}  // namespace kvgl
