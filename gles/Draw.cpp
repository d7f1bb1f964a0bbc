// Drawing side of the context: draw calls, flush, frustum, buckets and the
// span tables. Draw calls queue nothing yet.
#include <cstring>

#include "gles/GlContext.h"

void GlContext::initSpanTables() {
  m_texAffineSpans = SpanTable{};
  m_texPerspectiveSpans = SpanTable{};
  m_texFixedDivisorSpans = SpanTable{};
  for (SpanFunction& f : m_texAdditiveSpans) f = nullptr;
  for (SpanTable& t : m_depthTexSpans) t = SpanTable{};
  for (SpanFunction& f : m_depthTexAdditiveSpans) f = nullptr;
}

void GlContext::setFrustum(Q14 right, Q14 zNear, Q14 zFar) {
  (void)right;
  m_near = zNear;
  m_far = zFar;
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
  if (m_buckets.lowest != kDepthBucketsEmpty) {
    for (int32_t k = m_buckets.lowest; k <= m_buckets.highest && k < kDepthBucketCount; ++k) {
      if (k >= 0) m_buckets.heads[k] = nullptr;
    }
  }
  m_buckets.lowest = kDepthBucketsEmpty;
  m_buckets.highest = 0;
}

void GlContext::glDrawElements(GLenum, GLsizei, GLenum, const GLvoid*) {}

void GlContext::glFlush() { resetFramePools(); }
