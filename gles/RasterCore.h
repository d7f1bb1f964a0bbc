// Triangle walks shared by every rasteriser: the edge-walking family steps
// each value down both edges; the plane family steps w, u*w, v*w (and depth)
// down the left edge by plane gradients.
#pragma once

#include <cstdint>

#include "gles/GlContext.h"
#include "gles/PixelHelpers.h"
#include "zul/lm/Q14.h"

namespace kvgl {

// Where a rasteriser draws: the surface, the viewport and the span to call.
struct RasterTarget {
  GlContext* context;
  void* buffer;
  int32_t width;   // surface, in pixels
  int32_t height;
  int32_t viewX, viewY, viewWidth, viewHeight;
  SpanFunction span;
};

// Every vertex inside the viewport (borders included) and inside the surface.
inline bool triangleInView(const RasterTarget& t, const VertexSlot* a, const VertexSlot* b, const VertexSlot* c) {
  const int64_t x0 = t.viewX > 0 ? t.viewX : 0;
  const int64_t y0 = t.viewY > 0 ? t.viewY : 0;
  int64_t x1 = static_cast<int64_t>(t.viewX) + t.viewWidth;
  int64_t y1 = static_cast<int64_t>(t.viewY) + t.viewHeight;
  if (x1 > t.width) x1 = t.width;
  if (y1 > t.height) y1 = t.height;
  auto in = [&](const VertexSlot* v) {
    return v->screenX >= x0 && v->screenX <= x1 && v->screenY >= y0 && v->screenY <= y1;
  };
  return in(a) && in(b) && in(c);
}

constexpr int32_t toQ14(int32_t whole) { return whole * 16384; }

// What an edge-walking rasteriser interpolates and where it puts it.
enum EdgeValues : int {
  kEdgeFlat = 0,       // word 10 = top colour word
  kEdgeGouraud = 1,    // words 4-11: alpha, red, green, blue (8-bit << 16)
  kEdgeTex = 2,        // words 6-9: u, v
  kEdgeDepth = 3,      // words 2-3: depth
  kEdgeFlatDepth = 4,  // words 2-3 and 10
  kEdgeTexDepth = 5,   // words 2-3 and 6-9
};

template <int Mode>
struct EdgeLayout {
  static constexpr bool kDepth = Mode == kEdgeDepth || Mode == kEdgeFlatDepth || Mode == kEdgeTexDepth;
  static constexpr bool kTex = Mode == kEdgeTex || Mode == kEdgeTexDepth;
  static constexpr bool kColour = Mode == kEdgeGouraud;
  static constexpr bool kFlat = Mode == kEdgeFlat || Mode == kEdgeFlatDepth;
  static constexpr int kCount = (kDepth ? 1 : 0) + (kTex ? 2 : 0) + (kColour ? 4 : 0);
  static constexpr int kSlots = kCount > 0 ? kCount : 1;

  static void store(SpanParams& sp, const int32_t* l, const int32_t* r) {
    int i = 0;
    if constexpr (kDepth) {
      sp.w[2] = l[i];
      sp.w[3] = r[i];
      ++i;
    }
    if constexpr (kTex) {
      sp.w[6] = l[i];
      sp.w[7] = r[i];
      sp.w[8] = l[i + 1];
      sp.w[9] = r[i + 1];
      i += 2;
    }
    if constexpr (kColour) {
      for (int c = 0; c < 4; ++c) {
        sp.w[4 + 2 * c] = l[i + c];
        sp.w[5 + 2 * c] = r[i + c];
      }
    }
    (void)i;
    (void)l;
    (void)r;
  }
};

template <int N>
struct Edge {
  int32_t x, dx;
  int32_t v[N], dv[N];

  // Value i runs from va to vb over the edge.
  void set(int i, int32_t va, int32_t vb, int32_t r) {
    v[i] = va;
    dv[i] = q14Mul(wrapSub(vb, va), r);
  }
  // The values are read straight from the vertices: no staging arrays.
  template <typename Layout>
  void start(const VertexSlot* a, const VertexSlot* b, int32_t r) {
    x = toQ14(a->screenX);
    dx = q14Mul(toQ14(b->screenX - a->screenX), r);
    int i = 0;
    if constexpr (Layout::kDepth) set(i++, a->depth, b->depth, r);
    if constexpr (Layout::kTex) {
      set(i++, a->attr0, b->attr0, r);
      set(i++, a->attr1, b->attr1, r);
    }
    if constexpr (Layout::kColour) {
      const uint32_t ca = static_cast<uint32_t>(a->attr0), cb = static_cast<uint32_t>(b->attr0);
      for (int shift : {24, 0, 8, 16})
        set(i++, static_cast<int32_t>(((ca >> shift) & 0xFFu) << 16), static_cast<int32_t>(((cb >> shift) & 0xFFu) << 16),
            r);
    }
    (void)i;
  }
  // The values at vertex a alone, as start takes them.
  template <typename Layout>
  static void valuesAt(const VertexSlot* a, int32_t* out) {
    int i = 0;
    if constexpr (Layout::kDepth) out[i++] = a->depth;
    if constexpr (Layout::kTex) {
      out[i++] = a->attr0;
      out[i++] = a->attr1;
    }
    if constexpr (Layout::kColour) {
      const uint32_t ca = static_cast<uint32_t>(a->attr0);
      for (int shift : {24, 0, 8, 16}) out[i++] = static_cast<int32_t>(((ca >> shift) & 0xFFu) << 16);
    }
    (void)i;
    (void)a;
    (void)out;
  }
  template <typename Layout>
  void step() {
    x = wrapAdd(x, dx);
    for (int i = 0; i < Layout::kCount; ++i) v[i] = wrapAdd(v[i], dv[i]);
  }
};

inline int32_t edgeRecip(int32_t dy) { return recipFromTable(static_cast<uint32_t>(dy)); }

// Keeps a row's ends on the surface; they only leave it through the rounding
// of the table reciprocals.
inline void clampRow(SpanParams& sp, int32_t width) {
  const int32_t maxX = toQ14(width);
  if (sp.w[0] < 0) sp.w[0] = 0;
  if (sp.w[1] > maxX) sp.w[1] = maxX;
}

// Triangles of at most this many rows are looked at before their walk.
constexpr int32_t kSmallRows = 3;

// Whether any row of a triangle of 1..kSmallRows rows gets a pixel: the
// rows' ends as the walks step them (x plus the steps taken, wrapping; the
// short edge again from the middle vertex when that starts a row of its
// own), clamped to the surface as the walks do.
inline bool smallTriangleHasPixel(const VertexSlot* top, const VertexSlot* mid, const VertexSlot* bot,
                                  int32_t width) {
  const int32_t rows = bot->screenY - top->screenY;
  const int32_t maxX = toQ14(width);
  auto hasPixel = [&](int32_t l, int32_t r) {
    if (l < 0) l = 0;
    if (r > maxX) r = maxX;
    return (r >> 14) - (l >> 14) >= 1;
  };
  auto step = [](const VertexSlot* a, const VertexSlot* b, int32_t r) {
    return q14Mul(toQ14(b->screenX - a->screenX), r);
  };
  if (top->screenY == mid->screenY) {
    const int32_t r = edgeRecip(rows);
    const bool topLeft = mid->screenX >= top->screenX;
    const VertexSlot* lt = topLeft ? top : mid;
    const VertexSlot* rt = topLeft ? mid : top;
    const int32_t lx = toQ14(lt->screenX), ldx = step(lt, bot, r), rx = toQ14(rt->screenX), rdx = step(rt, bot, r);
    for (int32_t j = 0; j < rows; ++j)
      if (hasPixel(wrapAdd(lx, wrapMul(j, ldx)), wrapAdd(rx, wrapMul(j, rdx)))) return true;
    return false;
  }
  const int32_t split = mid->screenY - top->screenY;
  const int32_t rtm = edgeRecip(split), rtb = edgeRecip(rows);
  const int32_t stm = step(top, mid, rtm), stb = step(top, bot, rtb);
  const bool midRight = stm >= stb;
  const int32_t x = toQ14(top->screenX);
  for (int32_t j = 0; j < split; ++j) {
    const int32_t longX = wrapAdd(x, wrapMul(j, stb)), shortX = wrapAdd(x, wrapMul(j, stm));
    if (midRight ? hasPixel(longX, shortX) : hasPixel(shortX, longX)) return true;
  }
  if (split == rows) return false;
  const int32_t smb = step(mid, bot, edgeRecip(rows - split)), mx = toQ14(mid->screenX);
  for (int32_t j = split; j < rows; ++j) {
    const int32_t longX = wrapAdd(x, wrapMul(j, stb)), shortX = wrapAdd(mx, wrapMul(j - split, smb));
    if (midRight ? hasPixel(longX, shortX) : hasPixel(shortX, longX)) return true;
  }
  return false;
}

// Small lets a triangle of at most kSmallRows rows without a pixel on any
// of them return before its edges are set up, and a one-row triangle hand
// its row over without edges.
template <typename Pixel, int Mode, bool Small = true>
void edgeRasterise(const RasterTarget& t, const VertexSlot* top, const VertexSlot* mid, const VertexSlot* bot) {
  using L = EdgeLayout<Mode>;
  // Rows run from the top vertex's up to, not including, the bottom's.
  if (top->screenY == bot->screenY) return;
  if (!triangleInView(t, top, mid, bot)) return;
  if constexpr (Small) {
    const int32_t rows = bot->screenY - top->screenY;
    if (rows == 1) {
      // One row: it has pixels only when the top and middle vertices share
      // it, and its ends and values are theirs, with no step taken.
      if (mid->screenY != top->screenY) return;
      const bool topLeft = mid->screenX >= top->screenX;
      const VertexSlot* lt = topLeft ? top : mid;
      const VertexSlot* rt = topLeft ? mid : top;
      SpanParams one{};
      if constexpr (L::kFlat) one.w[10] = top->attr0;
      one.w[0] = toQ14(lt->screenX);
      one.w[1] = toQ14(rt->screenX);
      clampRow(one, t.width);
      if ((one.w[1] >> 14) - (one.w[0] >> 14) < 1) return;
      int32_t lv[L::kSlots], rv[L::kSlots];
      Edge<L::kSlots>::template valuesAt<L>(lt, lv);
      Edge<L::kSlots>::template valuesAt<L>(rt, rv);
      L::store(one, lv, rv);
      t.span(t.context, static_cast<Pixel*>(t.buffer) + static_cast<int64_t>(top->screenY) * t.width, &one);
      return;
    }
    if (rows <= kSmallRows && !smallTriangleHasPixel(top, mid, bot, t.width)) return;
  }
  SpanParams sp{};
  if constexpr (L::kFlat) sp.w[10] = top->attr0;
  int32_t row = top->screenY;
  Pixel* rowPtr = static_cast<Pixel*>(t.buffer) + static_cast<int64_t>(row) * t.width;
  Edge<L::kSlots> left, right;
  auto walk = [&](int32_t endRow) {
    for (; row < endRow; ++row) {
      sp.w[0] = left.x;
      sp.w[1] = right.x;
      L::store(sp, left.v, right.v);
      clampRow(sp, t.width);
      t.span(t.context, rowPtr, &sp);
      rowPtr += t.width;
      left.template step<L>();
      right.template step<L>();
    }
  };
  if (top->screenY == mid->screenY) {
    const int32_t r = edgeRecip(bot->screenY - top->screenY);
    const VertexSlot* lt = mid->screenX >= top->screenX ? top : mid;
    const VertexSlot* rt = lt == top ? mid : top;
    left.template start<L>(lt, bot, r);
    right.template start<L>(rt, bot, r);
    walk(bot->screenY);
    return;
  }
  const int32_t rtm = edgeRecip(mid->screenY - top->screenY);
  const int32_t rtb = edgeRecip(bot->screenY - top->screenY);
  const int32_t stm = q14Mul(toQ14(mid->screenX - top->screenX), rtm);
  const int32_t stb = q14Mul(toQ14(bot->screenX - top->screenX), rtb);
  // The long edge runs top to bottom, the short one top to middle and then
  // middle to bottom. Each edge is named, never reached through a reference
  // picked at run time, so that it can stay in registers.
  const bool midRight = stm >= stb;
  if (midRight) {
    left.template start<L>(top, bot, rtb);
    right.template start<L>(top, mid, rtm);
  } else {
    right.template start<L>(top, bot, rtb);
    left.template start<L>(top, mid, rtm);
  }
  walk(mid->screenY);
  if (bot->screenY == mid->screenY) return;
  const int32_t rmb = edgeRecip(bot->screenY - mid->screenY);
  if (midRight)
    right.template start<L>(mid, bot, rmb);
  else
    left.template start<L>(mid, bot, rmb);
  walk(bot->screenY);
}

// Plane gradients of one quantity over the triangle (top 1, middle 2, bottom 3).
struct PlaneSetup {
  int32_t dx13, dy13, dx32, dy32;
  int32_t inv;  // 1/A with 28 fraction bits

  // x- and y-gradient; products beyond 64 bits are formed exactly, the low
  // 32 bits of the shifted result are kept. The screen differences are
  // whole pixels of 16-bit positions, so the cross products fit 64 bits
  // (below 2^50) and only the product with 1/A needs 128.
  void gradients(int32_t q1, int32_t q2, int32_t q3, int32_t& gx, int32_t& gy) const {
    const int64_t d13 = wrapSub(q1, q3);
    const int64_t d32 = wrapSub(q3, q2);
    const int64_t nx = d13 * dy32 - d32 * dy13;
    const int64_t ny = d32 * dx13 - d13 * dx32;
    gx = static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned __int128>((__int128{nx} * inv) >> 28)));
    gy = static_cast<int32_t>(static_cast<uint32_t>(static_cast<unsigned __int128>((__int128{ny} * inv) >> 28)));
  }
};

// Perspective-correct walk: words 4-9 hold w, U = u*w, V = v*w at the row's
// left end and their x-gradients; with Depth words 2-3 the depth and its gradient.
// Small lets a triangle of at most kSmallRows rows without a pixel on any
// of them return before its gradients are formed.
template <typename Pixel, bool Depth, bool Small = true>
void planeRasterise(const RasterTarget& t, const VertexSlot* top, const VertexSlot* mid, const VertexSlot* bot) {
  if (top->screenY == bot->screenY) return;
  if (!triangleInView(t, top, mid, bot)) return;
  if constexpr (Small) {
    if (bot->screenY - top->screenY <= kSmallRows && !smallTriangleHasPixel(top, mid, bot, t.width)) return;
  }
  PlaneSetup ps;
  ps.dx13 = top->screenX - bot->screenX;
  ps.dy13 = top->screenY - bot->screenY;
  ps.dx32 = bot->screenX - mid->screenX;
  ps.dy32 = bot->screenY - mid->screenY;
  const int32_t area = ps.dx13 * ps.dy32 - ps.dx32 * ps.dy13;
  if (area == 0) return;
  ps.inv = q14Recip(area);

  constexpr int kQ = Depth ? 4 : 3;
  const VertexSlot* v[3] = {top, mid, bot};
  int32_t q[3][kQ];
  for (int i = 0; i < 3; ++i) {
    q[i][0] = v[i]->invDepth;
    q[i][1] = q14Mul(v[i]->attr0, v[i]->invDepth);
    q[i][2] = q14Mul(v[i]->attr1, v[i]->invDepth);
    if constexpr (Depth) q[i][3] = v[i]->depth;
  }
  int32_t gx[kQ], gy[kQ];
  for (int k = 0; k < kQ; ++k) ps.gradients(q[0][k], q[1][k], q[2][k], gx[k], gy[k]);

  int32_t row = top->screenY;
  Pixel* rowPtr = static_cast<Pixel*>(t.buffer) + static_cast<int64_t>(row) * t.width;
  int32_t lx, ldx, rx, rdx;
  auto edge = [](const VertexSlot* a, const VertexSlot* b, int32_t r, int32_t& x, int32_t& dx) {
    x = toQ14(a->screenX);
    dx = q14Mul(toQ14(b->screenX - a->screenX), r);
  };
  int32_t Q[kQ];
  auto startQ = [&](int idx) {
    for (int k = 0; k < kQ; ++k) Q[k] = wrapAdd(q[idx][k], gx[k]);
  };
  SpanParams sp{};
  auto walk = [&](int32_t endRow) {
    for (; row < endRow; ++row) {
      sp.w[0] = lx;
      sp.w[1] = rx;
      sp.w[4] = Q[0];
      sp.w[5] = gx[0];
      sp.w[6] = Q[1];
      sp.w[7] = gx[1];
      sp.w[8] = Q[2];
      sp.w[9] = gx[2];
      if constexpr (Depth) {
        sp.w[2] = Q[3];
        sp.w[3] = gx[3];
      }
      clampRow(sp, t.width);
      t.span(t.context, rowPtr, &sp);
      rowPtr += t.width;
      const int32_t c = lx >> 14;
      lx = wrapAdd(lx, ldx);
      rx = wrapAdd(rx, rdx);
      const int32_t k = (lx >> 14) - c;
      for (int i = 0; i < kQ; ++i) {
        if (k != 0) Q[i] = wrapAdd(Q[i], wrapMul(k, gx[i]));
        Q[i] = wrapAdd(Q[i], gy[i]);
      }
    }
  };
  if (top->screenY == mid->screenY) {
    const int32_t r = edgeRecip(bot->screenY - top->screenY);
    const bool topLeft = mid->screenX >= top->screenX;
    edge(topLeft ? top : mid, bot, r, lx, ldx);
    edge(topLeft ? mid : top, bot, r, rx, rdx);
    startQ(topLeft ? 0 : 1);
    walk(bot->screenY);
    return;
  }
  const int32_t rtm = edgeRecip(mid->screenY - top->screenY);
  const int32_t rtb = edgeRecip(bot->screenY - top->screenY);
  const int32_t stm = q14Mul(toQ14(mid->screenX - top->screenX), rtm);
  const int32_t stb = q14Mul(toQ14(bot->screenX - top->screenX), rtb);
  const bool midRight = stm >= stb;
  if (midRight) {
    edge(top, bot, rtb, lx, ldx);
    edge(top, mid, rtm, rx, rdx);
  } else {
    edge(top, mid, rtm, lx, ldx);
    edge(top, bot, rtb, rx, rdx);
  }
  startQ(0);
  walk(mid->screenY);
  if (bot->screenY == mid->screenY) return;
  const int32_t rmb = edgeRecip(bot->screenY - mid->screenY);
  if (midRight) {
    edge(mid, bot, rmb, rx, rdx);
  } else {
    edge(mid, bot, rmb, lx, ldx);
  }
  walk(bot->screenY);
}

}  // namespace kvgl
