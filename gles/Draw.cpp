// Drawing side of the context: frustum, draw calls (vertex fetch, transform,
// outcodes, culling, projection), the depth buckets, the flush and the
// flush-time clipping.
#include <cstring>

#include "gles/GlContext.h"
#include "gles/PixelHelpers.h"
#include "gles/Rasterisers.h"

namespace {

inline int32_t readWord(const uint8_t* p) {
  int32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

inline uint32_t readColour(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Each byte: c0 + ((c1 - c0) * t >> 14).
uint32_t lerpColour(uint32_t c0, uint32_t c1, Q14 t) {
  uint32_t out = 0;
  for (int s = 0; s < 32; s += 8) {
    const int32_t b0 = static_cast<int32_t>((c0 >> s) & 0xFFu);
    const int32_t b1 = static_cast<int32_t>((c1 >> s) & 0xFFu);
    const int32_t b = b0 + (((b1 - b0) * t) >> 14);
    out |= (static_cast<uint32_t>(b) & 0xFFu) << s;
  }
  return out;
}

// Side-plane distance of an eye position; inside when <= 0.
inline Q14 planeDistance(const Vector3& n, const VertexSlot* v) {
  return wrapAdd(wrapAdd(q14Mul(n.x, v->eyeX), q14Mul(n.y, v->eyeY)), q14Mul(n.z, v->eyeZ));
}

bool rasteriserTakesFlatColour(TriangleRasteriser r) {
  return r == kvgl::rasterFlat || r == kvgl::rasterFlat32 || r == kvgl::rasterFlatDepth ||
         r == kvgl::rasterDepthOnly;
}

bool lineDrawerSmooth(LineDrawer d) {
  return d == kvgl::drawLineSmooth || d == kvgl::drawLineSmoothBlend || d == kvgl::drawLineSmooth32 ||
         d == kvgl::drawLineSmoothBlend32;
}

enum AttrMode { kAttrFlat, kAttrFlatArray, kAttrVertexColourMode, kAttrTexturedMode };

// Fills the pool slots of one draw call.
class VertexFetch {
 public:
  VertexFetch(GlContext& c, AttrMode mode) : m_c(c), m_mode(mode) {
    m_stamp = static_cast<uint16_t>(c.m_drawStamp & 0xFFFFu);
    m_vertex = static_cast<const uint8_t*>(c.m_vertexPointer);
    m_vertexStride = c.m_vertexStride != 0 ? c.m_vertexStride : 12;
    m_tex = static_cast<const uint8_t*>(c.m_texCoordPointer);
    m_texStride = c.m_texCoordStride != 0 ? c.m_texCoordStride : 8;
    m_colour = static_cast<const uint8_t*>(c.m_colorPointer);
    m_colourStride = c.m_colorStride != 0 ? c.m_colorStride : 4;
    m_flat = kvgl::packFlatColour(static_cast<uint32_t>(c.m_colorRed), static_cast<uint32_t>(c.m_colorGreen),
                                  static_cast<uint32_t>(c.m_colorBlue), static_cast<uint32_t>(c.m_colorAlpha));
  }

  // The texture coordinates or colour of vertex vi into its slot.
  template <AttrMode Mode>
  void fetchAttributes(VertexSlot& s, int64_t vi) const {
    if constexpr (Mode == kAttrTexturedMode) {
      const uint8_t* t = m_tex + vi * m_texStride;
      s.attr0 = readWord(t);
      s.attr1 = readWord(t + 4);
    } else if constexpr (Mode == kAttrVertexColourMode) {
      s.attr0 = static_cast<int32_t>(readColour(m_colour + vi * m_colourStride));
    } else if constexpr (Mode == kAttrFlatArray) {
      s.attr0 = static_cast<int32_t>(kvgl::packFlatFromArray(readColour(m_colour + vi * m_colourStride)));
    } else {
      s.attr0 = static_cast<int32_t>(m_flat);
    }
  }

  // The slot of index i, filled once per call; null beyond the pool.
  VertexSlot* get(uint32_t i) {
    const int64_t slotIndex = static_cast<int64_t>(m_c.m_vertexCount) + i;
    if (slotIndex >= kVertexPoolSize) return nullptr;
    if (static_cast<int32_t>(i) > m_maxIndex) m_maxIndex = static_cast<int32_t>(i);
    VertexSlot& s = m_c.m_vertexPool[slotIndex];
    if (s.stamp == m_stamp) return &s;
    s.stamp = m_stamp;
    const int64_t vi = static_cast<int64_t>(i);
    switch (m_mode) {
      case kAttrTexturedMode: fetchAttributes<kAttrTexturedMode>(s, vi); break;
      case kAttrVertexColourMode: fetchAttributes<kAttrVertexColourMode>(s, vi); break;
      case kAttrFlatArray: fetchAttributes<kAttrFlatArray>(s, vi); break;
      case kAttrFlat: fetchAttributes<kAttrFlat>(s, vi); break;
    }
    const uint8_t* v = m_vertex + vi * m_vertexStride;
    m_c.transformVertex(s, readWord(v), readWord(v + 4), readWord(v + 8));
    return &s;
  }

  // get for n indices, each new slot's transform left to transformPending
  // (at most kBatch indices between two calls); the attribute mode is fixed
  // and the pool base and stamp are held in registers.
  template <AttrMode Mode>
  void getMany(const GLushort* indices, int n, VertexSlot** out) {
    const int64_t base = m_c.m_vertexCount;
    const uint16_t stamp = m_stamp;
    VertexSlot* const pool = m_c.m_vertexPool;
    int32_t maxIndex = m_maxIndex;
    int pending = m_pending;
    for (int k = 0; k < n; ++k) {
      const uint32_t i = indices[k];
      const int64_t slotIndex = base + i;
      if (slotIndex >= kVertexPoolSize) {
        out[k] = nullptr;
        continue;
      }
      if (static_cast<int32_t>(i) > maxIndex) maxIndex = static_cast<int32_t>(i);
      VertexSlot& s = pool[slotIndex];
      out[k] = &s;
      if (s.stamp == stamp) continue;
      s.stamp = stamp;
      const int64_t vi = static_cast<int64_t>(i);
      fetchAttributes<Mode>(s, vi);
      m_pendingSlots[pending] = &s;
      m_pendingPositions[pending] = m_vertex + vi * m_vertexStride;
      ++pending;
    }
    m_maxIndex = maxIndex;
    m_pending = pending;
  }
  void getMany(const GLushort* indices, int n, VertexSlot** out) {
    switch (m_mode) {
      case kAttrTexturedMode: getMany<kAttrTexturedMode>(indices, n, out); break;
      case kAttrVertexColourMode: getMany<kAttrVertexColourMode>(indices, n, out); break;
      case kAttrFlatArray: getMany<kAttrFlatArray>(indices, n, out); break;
      case kAttrFlat: getMany<kAttrFlat>(indices, n, out); break;
    }
  }

  // Fills and transforms the slots of indices 0 .. last, all of them inside
  // the pool, as get would for each, and projects those inside the frustum;
  // returns the slot of index 0.
  template <AttrMode Mode>
  VertexSlot* getRange(uint32_t last) {
    VertexSlot* const first = &m_c.m_vertexPool[m_c.m_vertexCount];
    for (uint32_t from = 0; from <= last; from += kBatch) {
      const uint32_t to = last - from < kBatch ? last + 1 : from + kBatch;
      for (uint32_t i = from; i < to; ++i) {
        VertexSlot& s = first[i];
        s.stamp = m_stamp;
        const int64_t vi = static_cast<int64_t>(i);
        fetchAttributes<Mode>(s, vi);
        m_pendingSlots[i - from] = &s;
        m_pendingPositions[i - from] = m_vertex + vi * m_vertexStride;
      }
      m_pending = static_cast<int>(to - from);
      transformPending(true);
    }
    if (static_cast<int32_t>(last) > m_maxIndex) m_maxIndex = static_cast<int32_t>(last);
    return first;
  }
  VertexSlot* getRange(uint32_t last) {
    switch (m_mode) {
      case kAttrTexturedMode: return getRange<kAttrTexturedMode>(last);
      case kAttrVertexColourMode: return getRange<kAttrVertexColourMode>(last);
      case kAttrFlatArray: return getRange<kAttrFlatArray>(last);
      case kAttrFlat: break;
    }
    return getRange<kAttrFlat>(last);
  }

  static constexpr int kBatch = 384;
  void transformPending(bool project = false) {
    if (m_pending > 0) m_c.transformVertices(m_pendingSlots, m_pendingPositions, m_pending, project);
    m_pending = 0;
  }

  // Moves the pool base past the largest index used.
  void finish() {
    if (m_maxIndex < 0) return;
    const int64_t next = static_cast<int64_t>(m_c.m_vertexCount) + m_maxIndex + 1;
    m_c.m_vertexCount = next > kVertexPoolSize ? kVertexPoolSize : static_cast<int32_t>(next);
  }

 private:
  GlContext& m_c;
  AttrMode m_mode;
  uint16_t m_stamp;
  int32_t m_maxIndex = -1;
  const uint8_t* m_vertex;
  int32_t m_vertexStride;
  const uint8_t* m_tex;
  int32_t m_texStride;
  const uint8_t* m_colour;
  int32_t m_colourStride;
  uint32_t m_flat;
  int m_pending = 0;
  VertexSlot* m_pendingSlots[kBatch];
  const uint8_t* m_pendingPositions[kBatch];
};

// Advances the draw-call stamp; when its low half wraps every slot's stamp
// is cleared and 0 is skipped, so a stale slot never matches.
void nextStamp(GlContext& c) {
  ++c.m_drawStamp;
  if ((c.m_drawStamp & 0xFFFFu) == 0) {
    for (VertexSlot& s : c.m_vertexPool) s.stamp = 0;
    ++c.m_drawStamp;
  }
}

}  // namespace

void GlContext::setFrustum(Q14 right, Q14 zNear, Q14 zFar) {
  m_far = zFar;
  const int32_t range = wrapSub(zFar, zNear);
  int32_t shift = 0;
  while (shift < 31 && (range >> shift) >= kDepthBucketCount) ++shift;
  m_bucketShift = shift;
  m_near = zNear;
  const Q14 topExtent = q14Mul(right, q14Div(m_viewportHeight * kQ14One, m_viewportWidth * kQ14One));
  Vector3 ab(zNear, right, 0);
  ab.normalize();
  m_planeLeft = Vector3(wrapNeg(ab.x), 0, ab.y);
  m_planeRight = Vector3(ab.x, 0, ab.y);
  Vector3 cd(zNear, topExtent, 0);
  cd.normalize();
  m_planeBottom = Vector3(0, wrapNeg(cd.x), cd.y);
  m_planeTop = Vector3(0, cd.x, cd.y);
  m_projectionScale = q14Mul(q14Div(zNear, right), m_viewportHalfWidth * kQ14One) >> 14;
}

void GlContext::transformVertex(VertexSlot& slot, Q14 x, Q14 y, Q14 z) const {
  // Matrix34::transformPoint, inline: the hottest call of a draw.
  const Q14* m = m_modelviewTop->m;
  struct {
    Q14 x, y, z;
  } eye;
  eye.x = wrapAdd(wrapAdd(wrapAdd(q14Mul(x, m[0]), q14Mul(y, m[3])), q14Mul(z, m[6])), m[9]);
  eye.y = wrapAdd(wrapAdd(wrapAdd(q14Mul(x, m[1]), q14Mul(y, m[4])), q14Mul(z, m[7])), m[10]);
  eye.z = wrapAdd(wrapAdd(wrapAdd(q14Mul(x, m[2]), q14Mul(y, m[5])), q14Mul(z, m[8])), m[11]);
  slot.eyeX = eye.x;
  slot.eyeY = eye.y;
  slot.eyeZ = eye.z;
  slot.depth = 0;
  uint16_t code = 0;
  if (m_capFrustumClip) {
    const Q14 ex = eye.x, ey = eye.y, ez = eye.z;
    if (ez > wrapNeg(m_far)) {
      if (ez > wrapNeg(m_near)) code |= kOutNear;
      if (wrapAdd(q14Mul(m_planeBottom.y, ey), q14Mul(m_planeBottom.z, ez)) >= 0) code |= kOutBottom;
      if (wrapAdd(q14Mul(m_planeTop.y, ey), q14Mul(m_planeTop.z, ez)) >= 0) code |= kOutTop;
      if (wrapAdd(q14Mul(m_planeLeft.x, ex), q14Mul(m_planeLeft.z, ez)) >= 0) code |= kOutLeft;
      if (wrapAdd(q14Mul(m_planeRight.x, ex), q14Mul(m_planeRight.z, ez)) >= 0) code |= kOutRight;
    } else {
      code = kOutFar;
    }
  }
  slot.outcode = code;
}

void GlContext::projectVertex(VertexSlot* s) const {
  int32_t depth = wrapNeg(s->eyeZ);
  const Q14 inv = wrapMul(q14Recip(depth), m_projectionScale);
  s->invDepth = inv;
  if (m_capPolygonOffsetFill) depth = wrapAdd(depth, m_polygonOffsetUnits);
  s->depth = depth;
  int32_t sx = wrapAdd(q14Mul(s->eyeX, inv), m_viewportCentreX);
  const int32_t widthQ = wrapMul(m_viewportWidth, kQ14One);
  if (sx > 32768 && sx < 98304) {
    sx -= 32768;
  } else if (sx > wrapSub(widthQ, 32768)) {
    sx = widthQ;
  }
  s->screenX = static_cast<int16_t>(sx >> 14);
  const int32_t sy = wrapAdd(q14Mul(wrapNeg(s->eyeY), inv), m_viewportCentreY);
  s->screenY = static_cast<int16_t>(sy >> 14);
}

void GlContext::projectIfNeeded(VertexSlot* s) const {
  if (s->depth == 0) projectVertex(s);
}

void GlContext::glDrawElements(GLenum mode, GLsizei count, GLenum, const GLvoid* indices) {
  if (mode == GL_TRIANGLES) {
    drawTriangleElements(count, static_cast<const GLushort*>(indices));
  } else if (mode == GL_LINES) {
    drawLineElements(count, static_cast<const GLushort*>(indices));
  }
}

void GlContext::drawTriangleElements(GLsizei count, const GLushort* indices) {
  const bool selected = kvgl::selectRasteriser(*this);
  nextStamp(*this);
  if (!selected || !m_vertexArrayEnabled || m_vertexPointer == nullptr || indices == nullptr || count < 3)
    return;
  AttrMode mode = kAttrFlat;
  uint16_t flags = 0;
  const bool colourArray = m_colorArrayEnabled && m_colorPointer != nullptr;
  if (m_texCoordArrayEnabled && m_texCoordPointer != nullptr && m_capTexture2D && m_boundTexture != nullptr) {
    mode = kAttrTexturedMode;
    flags = kPrimTextured;
  } else if (m_shadeModel == GL_SMOOTH && colourArray) {
    // A rasteriser that takes the flat colour word gets the array colour packed.
    if (rasteriserTakesFlatColour(m_rasteriser)) {
      mode = kAttrFlatArray;
    } else {
      mode = kAttrVertexColourMode;
      flags = kPrimVertexColour;
    }
  } else if (colourArray) {
    mode = kAttrFlatArray;
  }
  // The selection stays the same for the whole call.
  const bool leaveOutEmpty = !m_keepOneRowRecords && kvgl::skipsOneRowTriangles(m_rasteriser);
  bool clippedQueued = false;
  // Classifies, culls and queues one triangle.
  auto triangle = [&](VertexSlot* a, VertexSlot* b, VertexSlot* c) {
    if (a == nullptr || b == nullptr || c == nullptr) return;
    const uint16_t orCode = a->outcode | b->outcode | c->outcode;
    const uint16_t andCode = a->outcode & b->outcode & c->outcode;
    if ((orCode & kOutFar) || andCode != 0) return;
    if (orCode != 0) {
      if (m_capCullFace) {
        Vector3 pa(a->eyeX, a->eyeY, a->eyeZ);
        Vector3 n = (Vector3(b->eyeX, b->eyeY, b->eyeZ) - pa).cross(Vector3(c->eyeX, c->eyeY, c->eyeZ) - pa);
        n.limitMaxComponent();
        pa.limitMaxComponent();
        const Q14 d = n.dot(pa);
        if (m_cullFaceMode == GL_BACK) {
          if (d > 0) return;
        } else if (m_cullFaceMode == GL_FRONT) {
          if (d < 0) return;
        } else {
          return;
        }
      }
      queueClippedTriangle(a, b, c, orCode, flags);
      clippedQueued = true;
      return;
    }
    projectIfNeeded(a);
    projectIfNeeded(b);
    projectIfNeeded(c);
    if (m_capCullFace) {
      const int64_t x1 = a->screenX, y1 = a->screenY, x2 = b->screenX, y2 = b->screenY, x3 = c->screenX,
                    y3 = c->screenY;
      const int64_t area = (x1 - x2) * (y1 - y3) - (y1 - y2) * (x1 - x3);
      if (m_cullFaceMode == GL_BACK) {
        if (area > 0) return;
      } else if (m_cullFaceMode == GL_FRONT) {
        if (area < 0) return;
      } else {
        return;
      }
    }
    queueTriangle(a, b, c, flags, leaveOutEmpty);
  };
  VertexFetch fetch(*this, mode);
  const GLsizei whole = count - count % 3;
  // Indices that leave few of the slots up to the largest one unused (the
  // usual mesh): every slot up to it is filled and transformed at once, each
  // triangle then takes its slots straight from the pool.
  uint32_t last = 0;
  for (GLsizei k = 0; k < whole; ++k) last = indices[k] > last ? indices[k] : last;
  if (!m_fetchEachIndex && static_cast<int64_t>(last) < whole &&
      static_cast<int64_t>(m_vertexCount) + last < kVertexPoolSize) {
    // The slots inside the frustum are projected with their transform (in
    // vector lanes): a triangle inside the frustum projects its corners
    // before anything else, culled or not.
    VertexSlot* const slots = fetch.getRange(last);
    for (GLsizei k = 0; k < whole; k += 3) triangle(&slots[indices[k]], &slots[indices[k + 1]], &slots[indices[k + 2]]);
    // A slot that only clipped triangles use is projected at the flush, with
    // the state of then: those projected here are marked unprojected again.
    if (clippedQueued) {
      uint8_t inside[kVertexPoolSize];
      std::memset(inside, 0, last + 1);
      for (GLsizei k = 0; k < whole; k += 3) {
        const GLushort a = indices[k], b = indices[k + 1], c = indices[k + 2];
        if ((slots[a].outcode | slots[b].outcode | slots[c].outcode) == 0) inside[a] = inside[b] = inside[c] = 1;
      }
      for (uint32_t i = 0; i <= last; ++i)
        if (!inside[i]) slots[i].depth = 0;
    }
    fetch.finish();
    return;
  }
  // Otherwise batches of triangles: their new slots are filled and
  // transformed together, then the triangles are taken one by one.
  VertexSlot* batch[VertexFetch::kBatch];
  for (GLsizei start = 0; start < whole; start += VertexFetch::kBatch) {
    const GLsizei n = whole - start < VertexFetch::kBatch ? whole - start : VertexFetch::kBatch;
    fetch.getMany(indices + start, n, batch);
    fetch.transformPending();
    for (GLsizei k = 0; k < n; k += 3) triangle(batch[k], batch[k + 1], batch[k + 2]);
  }
  fetch.finish();
}

void GlContext::drawLineElements(GLsizei count, const GLushort* indices) {
  kvgl::selectLineRasteriser(*this);
  nextStamp(*this);
  if (!m_vertexArrayEnabled || m_vertexPointer == nullptr || indices == nullptr || count < 2) return;
  AttrMode mode = kAttrFlat;
  uint16_t flags = 0;
  if (m_colorArrayEnabled && m_colorPointer != nullptr) {
    // A flat drawer gets the array colour packed.
    if (lineDrawerSmooth(m_lineDrawer)) {
      mode = kAttrVertexColourMode;
      flags = kPrimVertexColour;
    } else {
      mode = kAttrFlatArray;
    }
  }
  VertexFetch fetch(*this, mode);
  const GLsizei whole = count - count % 2;
  for (GLsizei i = 0; i < whole; i += 2) {
    VertexSlot* a = fetch.get(indices[i]);
    VertexSlot* b = fetch.get(indices[i + 1]);
    if (a == nullptr || b == nullptr) continue;
    const uint16_t orCode = a->outcode | b->outcode;
    if ((orCode & kOutFar) || (a->outcode & b->outcode) != 0) continue;
    if (orCode == 0) {
      projectIfNeeded(a);
      projectIfNeeded(b);
      queueLine(a, b, flags);
    } else {
      queueClippedLine(a, b, orCode, flags);
    }
  }
  fetch.finish();
}

// ---- depth buckets --------------------------------------------------------------

int32_t GlContext::bucketKey(int32_t value) const {
  if (value < 0) return 0;
  return value >= kDepthBucketCount ? kDepthBucketCount - 1 : value;
}

int32_t GlContext::noteKey(int32_t key) {
  key = bucketKey(key);
  if (key < m_buckets.lowest) m_buckets.lowest = key;
  if (key > m_buckets.highest) m_buckets.highest = key;
  return key;
}

void GlContext::pushRecord(TriangleRecord* r, int32_t key) {
  key = noteKey(key);
  r->next = m_buckets.heads[key];
  m_buckets.heads[key] = r;
}

void GlContext::queueTriangle(VertexSlot* first, VertexSlot* second, VertexSlot* third, uint16_t flags,
                              bool leaveOutEmpty) {
  if (m_recordCount >= kRecordPoolSize) return;
  TriangleRecord* r = &m_recordPool[m_recordCount++];
  r->first = first;
  r->second = second;
  r->third = third;
  r->flags = flags;
  // A triangle that every rasteriser walks without a pixel keeps its record
  // and its key but stays out of the lists that the flush walks.
  insertIntoBucket(r, !(leaveOutEmpty && kvgl::walksNoPixel(first, second, third)));
}

void GlContext::insertIntoBucket(TriangleRecord* r, bool link) {
  const int32_t depth = r->first->depth;
  const int32_t key = m_depthBuffer ? (depth >> 20) : (wrapSub(depth, m_near) >> m_bucketShift);
  r->rasteriser = m_rasteriser;
  r->lineDrawer = nullptr;
  r->span = m_spanFunction;
  r->texels = m_texelCache;
  r->outcode = 0;
  if (link) {
    pushRecord(r, key);
  } else {
    r->next = nullptr;
    noteKey(key);
  }
}

void GlContext::queueClippedTriangle(VertexSlot* first, VertexSlot* second, VertexSlot* third, uint16_t outcode,
                                     uint16_t flags) {
  if (m_recordCount >= kRecordPoolSize) return;
  TriangleRecord* r = &m_recordPool[m_recordCount++];
  Q14 ez = first->eyeZ;
  if (second->eyeZ < ez) ez = second->eyeZ;
  if (third->eyeZ < ez) ez = third->eyeZ;
  int32_t d = wrapNeg(ez);
  if (m_capPolygonOffsetFill) d = wrapAdd(d, m_polygonOffsetUnits);
  if (d < m_near) d = m_near;
  r->first = first;
  r->second = second;
  r->third = third;
  r->rasteriser = m_rasteriser;
  r->lineDrawer = nullptr;
  r->span = m_spanFunction;
  r->texels = m_texelCache;
  r->outcode = outcode;
  r->flags = flags;
  pushRecord(r, wrapSub(d, m_near) >> m_bucketShift);
}

void GlContext::queueLine(VertexSlot* first, VertexSlot* second, uint16_t flags) {
  if (m_recordCount >= kRecordPoolSize) return;
  TriangleRecord* r = &m_recordPool[m_recordCount++];
  const int32_t depth = first->depth;
  const int32_t key = m_depthBuffer ? (depth >> 20) : (wrapSub(depth, m_near) >> m_bucketShift);
  r->first = first;
  r->second = second;
  r->third = nullptr;
  r->rasteriser = nullptr;
  r->lineDrawer = m_lineDrawer;
  r->span = nullptr;
  r->texels = m_texelCache;
  r->outcode = 0;
  r->flags = flags;
  pushRecord(r, key);
}

void GlContext::queueClippedLine(VertexSlot* first, VertexSlot* second, uint16_t outcode, uint16_t flags) {
  if (m_recordCount >= kRecordPoolSize) return;
  TriangleRecord* r = &m_recordPool[m_recordCount++];
  const Q14 ez = first->eyeZ < second->eyeZ ? first->eyeZ : second->eyeZ;
  int32_t d = wrapNeg(ez);
  if (m_capPolygonOffsetFill) d = wrapAdd(d, m_polygonOffsetUnits);
  r->first = first;
  r->second = second;
  r->third = nullptr;
  r->rasteriser = nullptr;
  r->lineDrawer = m_lineDrawer;
  r->span = nullptr;
  r->texels = m_texelCache;
  r->outcode = outcode;
  r->flags = flags;
  pushRecord(r, wrapSub(d, m_near) >> m_bucketShift);
}

void GlContext::clearDepthBuckets() {
  for (TriangleRecord*& head : m_buckets.heads) head = nullptr;
  m_buckets.lowest = kDepthBucketsEmpty;
  m_buckets.highest = 0;
  resetFramePools();
}

void GlContext::resetFramePools() {
  m_recordCount = 0;
  m_vertexCount = 0;
  m_clipVertexCount = 0;
  m_scratchCount = 0;
  if (m_buckets.lowest != kDepthBucketsEmpty) {
    for (int32_t k = m_buckets.lowest; k <= m_buckets.highest; ++k) m_buckets.heads[k] = nullptr;
  }
  m_buckets.lowest = kDepthBucketsEmpty;
  m_buckets.highest = 0;
}

void GlContext::glFlush() {
  flushDepthBuckets();
  resetFramePools();
}

void GlContext::flushDepthBuckets() {
  if (m_buckets.lowest == kDepthBucketsEmpty) return;
  // Records replace the current selection while they draw; the selection of
  // the state is put back afterwards.
  const TriangleRasteriser savedRasteriser = m_rasteriser;
  const SpanFunction savedSpan = m_spanFunction;
  const uint16_t* const savedTexels = m_texelCache;
  if (m_depthBuffer && m_capDepthTest) {
    for (int32_t k = m_buckets.lowest; k <= m_buckets.highest; ++k)
      for (TriangleRecord* r = m_buckets.heads[k]; r != nullptr; r = r->next) dispatchRecord(r);
  } else {
    for (int32_t k = m_buckets.highest; k >= m_buckets.lowest; --k)
      for (TriangleRecord* r = m_buckets.heads[k]; r != nullptr; r = r->next) dispatchRecord(r);
  }
  m_rasteriser = savedRasteriser;
  m_spanFunction = savedSpan;
  m_texelCache = savedTexels;
}

void GlContext::dispatchRecord(TriangleRecord* r) {
  if (r->third != nullptr) {
    m_rasteriser = r->rasteriser;
    m_spanFunction = r->span;
    m_texelCache = r->texels;
    if (r->outcode == 0) {
      sortAndRasterise(r->first, r->second, r->third);
    } else {
      drawClippedTriangle(r);
    }
  } else if (r->outcode == 0) {
    if (r->lineDrawer != nullptr) r->lineDrawer(this, r->first, r->second, nullptr);
  } else {
    drawClippedLine(r);
  }
}

void GlContext::sortAndRasterise(const VertexSlot* a, const VertexSlot* b, const VertexSlot* c) {
  if (m_rasteriser == nullptr) return;
  const int32_t ya = a->screenY, yb = b->screenY, yc = c->screenY;
  const VertexSlot *t, *m, *bo;
  if (ya > yb) {
    if (yc < ya) {
      if (yc > yb) {
        t = b, m = c, bo = a;
      } else {
        t = c, m = b, bo = a;
      }
    } else {
      t = b, m = a, bo = c;
    }
  } else if (yb > yc) {
    if (ya > yc) {
      t = c, m = a, bo = b;
    } else {
      t = a, m = c, bo = b;
    }
  } else {
    t = a, m = b, bo = c;
  }
  m_rasteriser(this, t, m, bo);
}

// ---- flush-time clipping ----------------------------------------------------------

namespace {

// A new clip vertex between the inside end a and the outside end b.
VertexSlot* clipVertex(GlContext& c, const VertexSlot* a, const VertexSlot* b, Q14 da, Q14 db, uint16_t flags) {
  if (c.m_clipVertexCount >= kClipVertexPoolSize) return nullptr;
  VertexSlot* n = &c.m_clipVertices[c.m_clipVertexCount++];
  const Q14 t = q14Div(wrapNeg(da), wrapSub(db, da));
  n->eyeX = q14Lerp(a->eyeX, b->eyeX, t);
  n->eyeY = q14Lerp(a->eyeY, b->eyeY, t);
  n->eyeZ = q14Lerp(a->eyeZ, b->eyeZ, t);
  n->depth = 0;
  n->outcode = 0;
  if (flags & kPrimTextured) {
    n->attr0 = q14Lerp(a->attr0, b->attr0, t);
    n->attr1 = q14Lerp(a->attr1, b->attr1, t);
  } else if (flags & kPrimVertexColour) {
    n->attr0 = static_cast<int32_t>(lerpColour(static_cast<uint32_t>(a->attr0), static_cast<uint32_t>(b->attr0), t));
    n->attr1 = 0;
  } else {
    n->attr0 = a->attr0;
    n->attr1 = 0;
  }
  return n;
}

// Cuts scratch triangle idx at a plane (inside where d <= 0), keeping the
// winding; a triangle that would need a second entry beyond the scratch list,
// or a clip vertex beyond the pool, is dropped.
void clipTriangleAgainstPlane(GlContext& c, int idx, const Q14 d[3], uint16_t flags) {
  TriangleRecord& tri = c.m_scratchTriangles[idx];
  VertexSlot* v[3] = {tri.first, tri.second, tri.third};
  VertexSlot* nv[3] = {nullptr, nullptr, nullptr};
  bool cross[3] = {false, false, false};
  int crossings = 0;
  for (int i = 0; i < 3; ++i) {
    const int j = i == 2 ? 0 : i + 1;
    const bool inI = d[i] <= 0, inJ = d[j] <= 0;
    if (inI == inJ) continue;
    cross[i] = true;
    ++crossings;
    nv[i] = inI ? clipVertex(c, v[i], v[j], d[i], d[j], flags) : clipVertex(c, v[j], v[i], d[j], d[i], flags);
    if (nv[i] == nullptr) {
      tri.first = nullptr;
      return;
    }
  }
  const bool in0 = d[0] <= 0;
  if (crossings == 0) {
    if (!in0) tri.first = nullptr;
    return;
  }
  auto set = [](TriangleRecord& t, VertexSlot* a, VertexSlot* b, VertexSlot* e) {
    t.first = a;
    t.second = b;
    t.third = e;
  };
  auto add = [&](VertexSlot* a, VertexSlot* b, VertexSlot* e) {
    if (c.m_scratchCount >= kScratchTriangleCount) return;
    set(c.m_scratchTriangles[c.m_scratchCount++], a, b, e);
  };
  if (cross[1] && cross[2]) {  // vertex 2 alone
    if (!in0) {
      set(tri, nv[2], nv[1], v[2]);
    } else {
      set(tri, v[0], v[1], nv[1]);
      add(v[0], nv[1], nv[2]);
    }
  } else if (cross[0] && cross[2]) {  // vertex 0 alone
    if (in0) {
      set(tri, v[0], nv[0], nv[2]);
    } else {
      set(tri, nv[0], v[1], v[2]);
      add(nv[0], v[2], nv[2]);
    }
  } else {  // vertex 1 alone
    if (in0) {
      set(tri, v[0], nv[0], nv[1]);
      add(v[0], nv[1], v[2]);
    } else {
      set(tri, nv[0], v[1], nv[1]);
    }
  }
}

}  // namespace

void GlContext::drawClippedTriangle(const TriangleRecord* record) {
  m_clipVertexCount = 0;
  m_scratchCount = 1;
  TriangleRecord& s0 = m_scratchTriangles[0];
  s0.first = record->first;
  s0.second = record->second;
  s0.third = record->third;
  const uint16_t flags = record->flags;
  const uint16_t code = record->outcode;
  if (code & kOutNear) {
    const Q14 d[3] = {wrapAdd(s0.first->eyeZ, m_near), wrapAdd(s0.second->eyeZ, m_near),
                      wrapAdd(s0.third->eyeZ, m_near)};
    clipTriangleAgainstPlane(*this, 0, d, flags);
  }
  const struct {
    uint16_t bit;
    const Vector3* normal;
  } planes[4] = {{kOutBottom, &m_planeBottom}, {kOutTop, &m_planeTop}, {kOutLeft, &m_planeLeft},
                 {kOutRight, &m_planeRight}};
  for (const auto& p : planes) {
    if (!(code & p.bit)) continue;
    const int existing = m_scratchCount;
    for (int i = 0; i < existing; ++i) {
      TriangleRecord& t = m_scratchTriangles[i];
      if (t.first == nullptr) continue;
      const Q14 d[3] = {planeDistance(*p.normal, t.first), planeDistance(*p.normal, t.second),
                        planeDistance(*p.normal, t.third)};
      clipTriangleAgainstPlane(*this, i, d, flags);
    }
  }
  for (int i = 0; i < m_scratchCount; ++i) {
    TriangleRecord& t = m_scratchTriangles[i];
    if (t.first == nullptr) continue;
    projectIfNeeded(t.first);
    projectIfNeeded(t.second);
    projectIfNeeded(t.third);
    sortAndRasterise(t.first, t.second, t.third);
  }
}

void GlContext::drawClippedLine(const TriangleRecord* record) {
  m_clipVertexCount = 0;
  VertexSlot* e[2] = {record->first, record->second};
  const uint16_t code = record->outcode;
  const uint16_t flags = record->flags & kPrimVertexColour;
  auto clip = [&](Q14 d0, Q14 d1) {
    const bool in0 = d0 <= 0, in1 = d1 <= 0;
    if (in0 && in1) return true;
    if (!in0 && !in1) return false;
    VertexSlot* n = in0 ? clipVertex(*this, e[0], e[1], d0, d1, flags) : clipVertex(*this, e[1], e[0], d1, d0, flags);
    if (n == nullptr) return false;
    e[in0 ? 1 : 0] = n;
    return true;
  };
  if ((code & kOutNear) && !clip(wrapAdd(e[0]->eyeZ, m_near), wrapAdd(e[1]->eyeZ, m_near))) return;
  const struct {
    uint16_t bit;
    const Vector3* normal;
  } planes[4] = {{kOutBottom, &m_planeBottom}, {kOutTop, &m_planeTop}, {kOutLeft, &m_planeLeft},
                 {kOutRight, &m_planeRight}};
  for (const auto& p : planes) {
    if (!(code & p.bit)) continue;
    if (!clip(planeDistance(*p.normal, e[0]), planeDistance(*p.normal, e[1]))) return;
  }
  projectIfNeeded(e[0]);
  projectIfNeeded(e[1]);
  if (record->lineDrawer != nullptr) record->lineDrawer(this, e[0], e[1], nullptr);
}
