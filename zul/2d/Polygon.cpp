#include "zul/2d/Polygon.h"

#include <algorithm>

#include "zul/2d/Graphics.h"
#include "zul/2d/Image.h"
#include "zul/memory/Debug.h"

namespace {

// Floor division with a remainder in 0 .. d - 1 (d >= 1).
void floorDivMod(int64_t n, int64_t d, int64_t& q, int64_t& r) {
  q = n / d;
  r = n % d;
  if (r < 0) {
    q -= 1;
    r += d;
  }
}

inline int16_t clamp16(int64_t v) { return static_cast<int16_t>(std::clamp<int64_t>(v, -32768, 32767)); }

// a + b * k in 32 bits, wrapping.
inline int32_t wrapMulAdd(int32_t a, int32_t b, int64_t k) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(static_cast<uint64_t>(b) * static_cast<uint64_t>(k)));
}
inline int32_t wrapAdd32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Quotient of the reciprocal-table division, corrected to the exact
// truncated quotient: the table's reciprocals are rounded down, so a step
// such as 3 / 3 would otherwise come out one unit short and a 1:1 texture
// walk would slip a texel every few pixels.
int32_t exactStep(const FMath& fm, int32_t n, int32_t d, bool fixed) {
  const int32_t q = fixed ? fm.divFixed(n, d) : fm.divInt(n, d);
  if (d < 1) return q;
  const int64_t num = fixed ? static_cast<int64_t>(n) * 4096 : n;
  const int64_t a = num < 0 ? -num : num;
  int64_t qa = q < 0 ? -static_cast<int64_t>(q) : q;
  while ((qa + 1) * d <= a) ++qa;
  while (qa > 0 && qa * d > a) --qa;
  return static_cast<int32_t>(num < 0 ? -qa : qa);
}

// Per-edge stepping shared by the plain and textured edges.
struct EdgeWalk {
  const PolyVertex* top;
  const PolyVertex* bottom;
  int64_t y0, n, dy, x, r, qs, rs;

  bool start(const SpanTable& t, const PolyVertex& a, const PolyVertex& b) {
    top = &a;
    bottom = &b;
    if (b.pos.y < a.pos.y) std::swap(top, bottom);
    y0 = std::max<int64_t>(top->pos.y, t.yStart);
    n = std::min<int64_t>(bottom->pos.y, t.yEnd) - y0;
    if (n < 1) return false;
    dy = static_cast<int64_t>(bottom->pos.y) - top->pos.y;
    const int64_t dx = static_cast<int64_t>(bottom->pos.x) - top->pos.x;
    int64_t q;
    // x = top.x + ceil(dx * (y0 - top.y) / dy).
    floorDivMod(dx * (y0 - top->pos.y) - 1, dy, q, r);
    x = top->pos.x + q + 1;
    floorDivMod(dx, dy, qs, rs);
    return true;
  }
  void step() {
    x += qs;
    r += rs;
    if (r >= dy) {
      x += 1;
      r -= dy;
    }
  }
};

}  // namespace

const FMath& sharedFMath() {
  static const FMath fmath;
  return fmath;
}

SpanTable::SpanTable() : fmath(sharedFMath()) {}

bool SpanTable::init(int yMin, int yMax, int top, int bottom) {
  clipTop = top;
  clipBottom = bottom;
  yStart = std::max(yMin, top);
  yEnd = std::min(yMax, bottom);
  const int n = yEnd - yStart;
  KV_CHECK(n < k_rows, 1892, "Graphics");
  if (n < 1 || n >= k_rows) return false;
  for (int i = 0; i < n; ++i) {
    rows[i].minX = 32767;
    rows[i].maxX = -32768;
  }
  return true;
}

void SpanTable::addEdge(const PolyVertex& a, const PolyVertex& b) {
  EdgeWalk e;
  if (!e.start(*this, a, b)) return;
  int64_t entry = e.y0 - yStart;
  for (int64_t i = 0; i < e.n; ++i, ++entry) {
    if (!KV_CHECK(entry >= 0 && entry < k_rows, 2023, "Graphics")) return;
    SpanRow& row = rows[entry];
    const int16_t x = clamp16(e.x);
    row.maxX = std::max(row.maxX, x);
    row.minX = std::min(row.minX, x);
    e.step();
  }
}

void SpanTable::addTexturedEdge(const PolyVertex& a, const PolyVertex& b) {
  EdgeWalk e;
  if (!e.start(*this, a, b)) return;
  const int64_t skip = e.y0 - e.top->pos.y;
  const int32_t dy = static_cast<int32_t>(std::min<int64_t>(e.dy, INT32_MAX));
  int32_t u = FMath::toFixed(e.top->tex.x);
  int32_t du = exactStep(fmath, e.bottom->tex.x - e.top->tex.x, dy, true);
  if (du < 0) u -= 1;
  int32_t v = FMath::toFixed(e.top->tex.y);
  int32_t dv = exactStep(fmath, e.bottom->tex.y - e.top->tex.y, dy, true);
  if (dv < 0) v -= 1;
  if (skip > 0) {
    u = wrapMulAdd(u, du, skip);
    v = wrapMulAdd(v, dv, skip);
  }
  int64_t entry = e.y0 - yStart;
  for (int64_t i = 0; i < e.n; ++i, ++entry) {
    if (!KV_CHECK(entry >= 0 && entry < k_rows, 1960, "Graphics")) return;
    SpanRow& row = rows[entry];
    const int16_t x = clamp16(e.x);
    if (x > row.maxX) {
      row.maxX = x;
      row.rightU = u;
      row.rightV = v;
    }
    if (x < row.minX) {
      row.minX = x;
      row.leftU = u;
      row.leftV = v;
    }
    e.step();
    u = wrapAdd32(u, du);
    v = wrapAdd32(v, dv);
  }
}

// ---- Shapes of the drawing context ----

void Graphics::fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
  if (!m_target) return;
  const PolyVertex v[3] = {PolyVertex(x1 + m_tx, y1 + m_ty, 0, 0), PolyVertex(x2 + m_tx, y2 + m_ty, 0, 0),
                           PolyVertex(x3 + m_tx, y3 + m_ty, 0, 0)};
  const int yMin = std::min({v[0].pos.y, v[1].pos.y, v[2].pos.y});
  const int yMax = std::max({v[0].pos.y, v[1].pos.y, v[2].pos.y});
  SpanTable t;
  if (!t.init(yMin, yMax, m_clipY0, m_clipY1)) return;
  t.addEdge(v[0], v[1]);
  t.addEdge(v[1], v[2]);
  t.addEdge(v[2], v[0]);
  for (int i = 0; i < t.rowCount(); ++i) {
    const SpanRow& row = t.rows[i];
    // fillRect takes caller coordinates.
    fillRect(row.minX - m_tx, t.yStart + i - m_ty, row.maxX - row.minX, 1);
  }
  drawLine(x1, y1, x2, y2);
  drawLine(x2, y2, x3, y3);
  drawLine(x1, y1, x3, y3);
}

void Graphics::drawRotatedRegion(const Image* image, int sx, int sy, int w, int h, int transform, int x, int y,
                                 int dw, int dh, int cx, int cy, int angle, int paletteOffset) {
  if (!KV_CHECK(transform >= 0 && transform < 8, 996, "graphics")) return;
  if (!image || !m_target) return;
  PolyVertex v[4] = {PolyVertex(0, 0, sx, sy), PolyVertex(0, 0, sx + w, sy), PolyVertex(0, 0, sx + w, sy + h),
                     PolyVertex(0, 0, sx, sy + h)};
  const int left = x + m_tx, right = x + dw + m_tx;
  const int top = y + m_ty, bottom = y + dh + m_ty;
  const bool mirrorX = transform & 1, mirrorY = transform & 2;
  v[0].pos.x = v[3].pos.x = mirrorX ? right : left;
  v[1].pos.x = v[2].pos.x = mirrorX ? left : right;
  v[0].pos.y = v[1].pos.y = mirrorY ? bottom : top;
  v[2].pos.y = v[3].pos.y = mirrorY ? top : bottom;
  if (transform & 4) {
    // A quarter turn clockwise about the rectangle's centre.
    const int mx = (v[0].pos.x + v[1].pos.x) / 2;
    const int my = (v[0].pos.y + v[3].pos.y) / 2;
    for (PolyVertex& p : v) {
      const int px = p.pos.x, py = p.pos.y;
      p.pos.x = mx + my - py;
      p.pos.y = my + px - mx;
    }
  }
  const FPoint centre(cx + m_tx, cy + m_ty);
  for (PolyVertex& p : v) {
    const FPoint in = p.pos;
    FMath::rotatePoint(p.pos, in, centre, angle);
  }
  fillTexturedQuad(v, image, paletteOffset);
}

namespace {

void fillTextured(Graphics& g, int clipTop, int clipBottom, const PolyVertex* v, int count, const Image* image,
                  int paletteOffset) {
  int yMin = v[0].pos.y, yMax = v[0].pos.y;
  for (int i = 1; i < count; ++i) {
    yMin = std::min(yMin, v[i].pos.y);
    yMax = std::max(yMax, v[i].pos.y);
  }
  SpanTable t;
  if (!t.init(yMin, yMax, clipTop, clipBottom)) return;
  for (int i = 0; i < count; ++i) t.addTexturedEdge(v[i], v[(i + 1) % count]);
  for (int i = 0; i < t.rowCount(); ++i) g.drawTexturedRow(t.yStart + i, t.rows[i], image, paletteOffset, t.fmath);
}

}  // namespace

void Graphics::fillTexturedQuad(const PolyVertex* vertices, const Image* image, int paletteOffset) {
  if (!vertices || !image || !m_target) return;
  fillTextured(*this, m_clipY0, m_clipY1, vertices, 4, image, paletteOffset);
}

void Graphics::fillTexturedTriangle(const PolyVertex* vertices, const Image* image, int paletteOffset) {
  if (!vertices || !image || !m_target) return;
  fillTextured(*this, m_clipY0, m_clipY1, vertices, 3, image, paletteOffset);
}

void Graphics::drawTexturedRow(int y, const SpanRow& row, const Image* image, int paletteOffset, const FMath& fmath) {
  if (!m_target) return;
  const int n = row.maxX - row.minX;
  if (n <= 0) return;
  int32_t u = row.leftU;
  int32_t du = exactStep(fmath, static_cast<int32_t>(static_cast<uint32_t>(row.rightU) - static_cast<uint32_t>(row.leftU)), n, false);
  if (du < 0) u -= 1;
  int32_t v = row.leftV;
  int32_t dv = exactStep(fmath, static_cast<int32_t>(static_cast<uint32_t>(row.rightV) - static_cast<uint32_t>(row.leftV)), n, false);
  if (dv < 0) v -= 1;
  int x = row.minX;
  if (x < m_clipX0) {
    const int skip = m_clipX0 - x;
    x = m_clipX0;
    u = wrapMulAdd(u, du, skip);
    v = wrapMulAdd(v, dv, skip);
  }
  const int end = std::min<int>(row.maxX, m_clipX1);
  if (end - x <= 0 || y < m_clipY0 || y >= m_clipY1) return;
  uint8_t* rowAddress = static_cast<uint8_t*>(m_target->getPixels()) + static_cast<std::ptrdiff_t>(y) * m_target->getPitch();
  drawTexturedSpan(u, du, v, dv, image, rowAddress, x, end - x, paletteOffset);
}

void Graphics::drawThickCircle(int cx, int cy, int r) {
  if (r <= 0) return;
  for (int k = 0; k < 2; ++k) {
    drawDot(cx, cy + r);
    drawDot(cx, cy - r);
    drawDot(cx + r, cy);
    drawDot(cx - r, cy);
  }
  drawDot(cx, cy);
  int i = 0, j = r, d = 1 - r;
  while (i < j) {
    i += 1;
    if (d >= 0) {
      j -= 1;
      d += 2 * (i - j) + 1;
    } else {
      d += 2 * i + 1;
    }
    drawDot(cx + i, cy + j);
    drawDot(cx - i, cy + j);
    drawDot(cx + i, cy - j);
    drawDot(cx - i, cy - j);
    drawDot(cx + j, cy + i);
    drawDot(cx - j, cy + i);
    drawDot(cx + j, cy - i);
    drawDot(cx - j, cy - i);
  }
}
