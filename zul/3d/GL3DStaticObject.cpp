#include "zul/3d/GL3DStaticObject.h"

#include "korvane/gl.h"
#include "zul/3d/GL3DTexture.h"
#include "zul/3d/GlRenderer.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"

GL3DDrawable::~GL3DDrawable() = default;

Q14 GL3DDrawable::viewDepth(const Matrix34& matrix) {
  Vector3 centre, seen;
  getCentre(centre);
  matrix.transformPoint(centre, seen);
  return seen.z;
}

GL3DStaticObject::~GL3DStaticObject() {
  for (int32_t i = 0; i < m_copyCount; ++i) memDeleteArray(m_copies[i]);
  delete[] m_copies;
  delete[] m_subMeshes;
}

GL3DSubMesh* GL3DStaticObject::getSubMesh(int32_t index) {
  if (!KV_CHECK(index >= 0 && index < m_subMeshCount, 411, kSource)) return nullptr;
  return &m_subMeshes[index];
}

void GL3DStaticObject::setTexture(int32_t subMesh, GL3DTexture* texture) {
  if (GL3DSubMesh* s = getSubMesh(subMesh)) s->texture = texture;
}

Q14 GL3DStaticObject::scaledLength(Vector3 v) {
  int32_t k = 0;
  auto big = [](Q14 c) { return c >= 4096 || c <= -4096; };  // also for the most negative value
  while (big(v.x) || big(v.y) || big(v.z)) {
    v.x >>= 2;
    v.y >>= 2;
    v.z >>= 2;
    k += 2;
  }
  const Q14 s = sqrtQ14(v.x * v.x + v.y * v.y + v.z * v.z);
  return k < 8 ? s >> (8 - k) : static_cast<Q14>(static_cast<uint32_t>(s) << (k - 8));
}

void GL3DStaticObject::draw(GlRenderer* renderer, const Matrix34* matrix) {
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  switch (m_drawMode) {
    case 1:
      glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
      break;
    case 2:
      glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
      glDisableClientState(GL_COLOR_ARRAY);
      glDisableClientState(GL_VERTEX_ARRAY);
      glColor4x(0, 0, 0, kQ14One);
      break;
    default:
      glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
      break;
  }
  for (int32_t i = 0; i < m_subMeshCount; ++i) {
    const GL3DSubMesh& s = m_subMeshes[i];
    if (!s.texture) continue;
    Q14* moved = nullptr;
    if (matrix) {
      moved = renderer ? static_cast<Q14*>(renderer->allocScratch(s.vertexCount * 12)) : nullptr;
      if (!moved) {
        debugTrace("GL3DStaticObject: no scratch for %d vertices\n", static_cast<int>(s.vertexCount));
        continue;
      }
    }
    glBindTexture(GL_TEXTURE_2D, s.texture->getName());
    if (moved) {
      for (int32_t v = 0; v < s.vertexCount; ++v) {
        const Q14* in = s.vertices + 3 * v;
        Vector3 out;
        matrix->transformPoint(Vector3(in[0], in[1], in[2]), out);
        moved[3 * v] = out.x;
        moved[3 * v + 1] = out.y;
        moved[3 * v + 2] = out.z;
      }
      glVertexPointer(3, GL_FIXED, 0, moved);
    } else {
      glVertexPointer(3, GL_FIXED, 0, s.vertices);
    }
    glTexCoordPointer(2, GL_FIXED, 0, s.texCoords);
    glDrawElements(GL_TRIANGLES, 3 * s.triangleCount, GL_UNSIGNED_SHORT, s.indices);
    if (moved) renderer->freeScratch(moved);
  }
}
