// Scan conversion of the filled and textured shapes: a table of up to 319
// rows holding, per row, the leftmost and rightmost x reached by the edges
// (and the texture coordinates there).
#pragma once

#include <cstdint>

#include "zul/lm/FMath.h"

// Position and texture coordinate of a polygon corner.
struct PolyVertex {
  FPoint pos;
  FPoint tex;
  PolyVertex() : pos(0, 0), tex(0, 0) {}
  PolyVertex(int32_t x, int32_t y, int32_t u, int32_t v) : pos(x, y), tex(u, v) {}
};

struct SpanRow {
  int16_t minX = 32767;
  int16_t maxX = -32768;
  int32_t leftU = 0;   // texture coordinates at minX and maxX, 12-bit fixed point
  int32_t rightU = 0;
  int32_t leftV = 0;
  int32_t rightV = 0;
};

struct SpanTable {
  static constexpr int k_rows = 320;

  int32_t yStart = 0;  // rows yStart .. yEnd - 1 are covered
  int32_t yEnd = 0;
  int32_t clipTop = 0;
  int32_t clipBottom = 0;
  SpanRow rows[k_rows];
  const FMath& fmath;

  SpanTable();
  // False when no row is to be drawn (or the shape needs 320 rows or more).
  bool init(int yMin, int yMax, int clipTop, int clipBottom);
  void addEdge(const PolyVertex& a, const PolyVertex& b);
  void addTexturedEdge(const PolyVertex& a, const PolyVertex& b);
  int rowCount() const { return yEnd - yStart; }
};

// The reciprocal tables shared by every shape.
const FMath& sharedFMath();
