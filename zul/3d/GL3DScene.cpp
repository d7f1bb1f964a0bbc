#include "zul/3d/GL3DScene.h"

#include "korvane/gl.h"
#include "zul/3d/Camera.h"
#include "zul/3d/GL3DStaticObject.h"
#include "zul/3d/GL3DTexture.h"
#include "zul/3d/GlRenderer.h"
#include "zul/lm/Matrix34.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"

GL3DBillboard::GL3DBillboard(Q14 halfSize) { setSize(halfSize, halfSize); }

GL3DBillboard& GL3DBillboard::operator=(const GL3DBillboard& other) {
  for (int i = 0; i < 4; ++i) corners[i] = other.corners[i];
  for (int i = 0; i < 8; ++i) texCoords[i] = other.texCoords[i];
  for (int i = 0; i < 6; ++i) indices[i] = other.indices[i];
  blendMode = other.blendMode;
  return *this;
}

void GL3DBillboard::setSize(Q14 w, Q14 h) {
  corners[0] = Vector3(wrapNeg(w), h, 0);
  corners[1] = Vector3(w, h, 0);
  corners[2] = Vector3(wrapNeg(w), wrapNeg(h), 0);
  corners[3] = Vector3(w, wrapNeg(h), 0);
}

void GL3DBillboard::setTexCoords(const Q14 values[8]) {
  for (int i = 0; i < 8; ++i) texCoords[i] = values[i];
}

bool GL3DBillboard::placeCorners(const GlRenderer* renderer, const Vector3& position, Q14 scale, Q14 out[12]) const {
  const Camera* camera = renderer ? renderer->getCamera() : nullptr;
  if (!camera) return false;
  Matrix34 r = camera->rotation;
  if (scale != kQ14One) {
    Matrix34 s;
    s.setScale(scale, scale, scale);
    r = r * s;
  }
  for (int i = 0; i < 4; ++i) {
    Vector3 p;
    r.transformPoint(corners[i], p);
    p += position;
    out[3 * i] = p.x;
    out[3 * i + 1] = p.y;
    out[3 * i + 2] = p.z;
  }
  return true;
}

void GL3DBillboard::draw(GlRenderer* renderer, const Vector3& position, Q14 scale) {
  // Placed into a temporary: the corners stay the billboard's own, so a
  // billboard drawn every frame does not drift.
  Q14 placed[12];
  if (!placeCorners(renderer, position, scale, placed)) return;
  renderer->setCulling(false);
  glEnable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  if (blendMode == kBlendAdditive)
    glBlendFunc(GL_ONE, GL_ONE);
  else
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glVertexPointer(3, GL_FIXED, 0, placed);
  glTexCoordPointer(2, GL_FIXED, 0, texCoords);
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, indices);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
}

GL3DScene::~GL3DScene() { memDeleteArray(m_sorted); }

void GL3DScene::add(GL3DDrawable* object) {
  if (!object) return;
  object->setNext(m_first);
  m_first = object;
  m_count += 1;
}

void GL3DScene::sort(GlRenderer* renderer) {
  // Rebuilt from the list every time: objects added since the last sort
  // are in it, and equal depths come out in the same order on every frame.
  if (m_capacity < m_count) {
    memDeleteArray(m_sorted);
    m_sorted = nullptr;
    m_depths = nullptr;
    m_capacity = m_sortedCount = 0;
    const size_t entry = sizeof(GL3DDrawable*) + sizeof(Q14);
    m_sorted = static_cast<GL3DDrawable**>(memNewArray(entry * static_cast<size_t>(m_count), kSource, 81));
    if (!m_sorted) return;
    m_depths = reinterpret_cast<Q14*>(m_sorted + m_count);
    m_capacity = m_count;
  }
  m_sortedCount = 0;
  for (GL3DDrawable* o = m_first; o && m_sortedCount < m_capacity; o = o->getNext()) m_sorted[m_sortedCount++] = o;

  const Camera* camera = renderer ? renderer->getCamera() : nullptr;
  if (!camera) return;
  Matrix34 m;
  m.setRotationY(camera->angles.y);
  m[9] = camera->position.x;
  m[10] = camera->position.y;
  m[11] = camera->position.z;
  for (int32_t i = 0; i < m_sortedCount; ++i) m_depths[i] = m_sorted[i]->viewDepth(m);
  // Insertion sort to decreasing depth; an object moves in front of those
  // of the same depth.
  for (int32_t i = 1; i < m_sortedCount; ++i) {
    GL3DDrawable* object = m_sorted[i];
    const Q14 depth = m_depths[i];
    int32_t j = i;
    for (; j > 0 && m_depths[j - 1] <= depth; --j) {
      m_sorted[j] = m_sorted[j - 1];
      m_depths[j] = m_depths[j - 1];
    }
    m_sorted[j] = object;
    m_depths[j] = depth;
  }
}

void GL3DScene::draw(GlRenderer* renderer) {
  sort(renderer);
  if (m_sortedCount == m_count) {
    for (int32_t i = 0; i < m_sortedCount; ++i) {
      m_sorted[i]->draw(renderer);
      glFlush();
    }
    return;
  }
  // No memory for the array: the list order.
  for (GL3DDrawable* o = m_first; o; o = o->getNext()) {
    o->draw(renderer);
    glFlush();
  }
}

void GL3DScene::setBillboardCount(int32_t n) {
  KV_CHECK(n < kMaxBillboards, 108, kSource);
  m_billboardCount = n < 0 ? 0 : n > kMaxBillboards ? kMaxBillboards : n;
  const GL3DBillboard fresh(kBillboardHalfSize);
  for (int32_t i = 0; i < m_billboardCount; ++i) m_billboards[i] = fresh;
}

void GL3DScene::setBillboardPositions(const int32_t* records, Q14 height) {
  KV_CHECK(m_billboardCount < kMaxBillboards, 138, kSource);
  if (!records) return;
  for (int32_t i = 0; i < m_billboardCount; ++i) {
    const int32_t* r = records + 5 * i;
    m_positions[i] = Vector3(r[0], wrapAdd(height, 8192), r[2]);
  }
}

void GL3DScene::drawBillboards(GlRenderer* renderer) {
  if (!renderer || !renderer->getCamera()) return;
  if (m_texture) m_texture->bind();
  KV_CHECK(m_billboardCount < kMaxBillboards, 126, kSource);
  for (int32_t i = 0; i < m_billboardCount; ++i) {
    m_billboards[i].setBlendMode(GL3DBillboard::kBlendAlpha);
    m_billboards[i].draw(renderer, m_positions[i], kQ14One);
  }
}
