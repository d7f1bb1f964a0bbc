#include "zul/3d/GL3DAnimatedObject.h"

#include "korvane/gl.h"
#include "zul/3d/GL3DAnimationTrack.h"
#include "zul/3d/GL3DServices.h"
#include "zul/3d/GL3DTexture.h"
#include "zul/3d/GlRenderer.h"
#include "zul/memory/Debug.h"

GL3DAnimatedObject::~GL3DAnimatedObject() {
  if (m_meshManager) m_meshManager->release(m_mesh);
  if (m_modelManager) m_modelManager->release(m_model);
}

void GL3DAnimatedObject::setMesh(int32_t meshId, int32_t textureId) {
  GL3DServices* services = getGL3DServices();
  if (!services->resourceManager) {
    debugTrace("GL3DAnimatedObject: no resource manager\n");
    return;
  }
  if (m_meshManager) m_meshManager->release(m_mesh);
  m_meshManager = services->resourceManager;
  m_mesh = m_meshManager->get<AnimatedMeshData>(static_cast<uint32_t>(meshId));
  if (textureId != -1 && services->renderer) m_texture = services->renderer->getTextures().getTexture(textureId);
}

void GL3DAnimatedObject::attachModel(int32_t modelId, int32_t bone) {
  ResourceManager* manager = getGL3DServices()->resourceManager;
  if (!manager) {
    debugTrace("GL3DAnimatedObject: no resource manager\n");
    return;
  }
  detachModel();
  m_modelManager = manager;
  m_model = manager->get<GL3DASEFileResource>(static_cast<uint32_t>(modelId));
  m_attachmentBone = bone;
}

void GL3DAnimatedObject::detachModel() {
  if (m_modelManager) m_modelManager->release(m_model);
  m_model = nullptr;
}

bool GL3DAnimatedObject::advance(Q14 dt) {
  if (!KV_CHECK(m_animation, 1471, kSource)) return true;
  const int64_t t = int64_t{time} + q14Mul(dt, m_animation->getSpeed());
  const Q14 duration = m_animation->getDuration();
  if (t < 0 || t > duration) {
    time = duration;
    return true;
  }
  time = static_cast<Q14>(t);
  return false;
}

void GL3DAnimatedObject::draw(GlRenderer* renderer) {
  if (flags & kFlagHidden) return;
  glPushMatrix();
  glTranslatex(position.x, position.y, position.z);
  glScalex(scale.x, scale.y, scale.z);
  glRotatex(angles.y, 0, kQ14One, 0);
  glRotatex(angles.x, kQ14One, 0, 0);
  glRotatex(wrapNeg(angles.z), 0, 0, kQ14One);
  drawInPlace(renderer);
  glPopMatrix();
}

void GL3DAnimatedObject::drawInPlace(GlRenderer* renderer) {
  if (flags & kFlagHidden) return;
  glEnable(GL_CULL_FACE);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  if (!m_mesh || !m_texture) return;
  m_texture->bind();
  // Without an animation there is nothing to skin with.
  if (!KV_CHECK(m_animation && renderer, 1210, kSource)) return;
  const AnimatedMeshData& mesh = *m_mesh;
  const int32_t bones = m_animation->getBoneCount();
  if (mesh.getHighestBone() >= bones) {
    debugTrace("GL3DAnimatedObject: the mesh uses bone %d of a track of %d\n", static_cast<int>(mesh.getHighestBone()),
               static_cast<int>(bones));
    return;
  }
  const int64_t vertexBytes = 12 * int64_t{mesh.getVertexCount()}, boneBytes = 48 * int64_t{bones};
  if (vertexBytes + boneBytes > GlRenderer::kScratchSize) {
    debugTrace("GL3DAnimatedObject: %lld scratch bytes needed\n", static_cast<long long>(vertexBytes + boneBytes));
    return;
  }
  auto* skinned = static_cast<Q14*>(renderer->allocScratch(static_cast<int32_t>(vertexBytes)));
  auto* matrices = skinned ? static_cast<Matrix34*>(renderer->allocScratch(static_cast<int32_t>(boneBytes))) : nullptr;
  if (!matrices) {
    KV_CHECK(false, 1210, kSource);  // no vertex array
    if (skinned) renderer->freeScratch(skinned);
    return;
  }
  const int32_t extra = m_model ? m_attachmentBone : -1;
  const uint64_t used = usedBoneSet(mesh, *m_animation, extra >= 0 && extra < bones ? extra : -1);
  m_animation->evaluate(time, matrices, used);
  skinMesh(mesh, matrices, skinned);

  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnable(GL_TEXTURE_2D);
  glVertexPointer(3, GL_FIXED, 0, skinned);
  glTexCoordPointer(2, GL_FIXED, 0, mesh.getTexCoords());
  glDrawElements(GL_TRIANGLES, 3 * mesh.getTriangleCount(), GL_UNSIGNED_SHORT, mesh.getTriangles());
  if (m_model) {
    // Every bone was evaluated; one out of range has no matrix.
    if (KV_CHECK(m_attachmentBone >= 0 && m_attachmentBone < bones, 60, kSource))
      m_model->draw(renderer, &matrices[m_attachmentBone]);
  }
  renderer->freeScratch(matrices);
  renderer->freeScratch(skinned);
}

Vector3 GL3DAnimatedObject::getBoneWorldPosition(int32_t bone) {
  if (!KV_CHECK(m_animation, 1575, kSource)) return Vector3();
  Matrix34 matrices[GL3DAnimationTrack::kMaxBones];
  if (!m_animation->evaluate(time, matrices, bone)) return Vector3();
  const Vector3 origin(matrices[bone][9], matrices[bone][10], matrices[bone][11]);
  Matrix34 turn;
  turn.setRotationY(angles.y);
  Vector3 out;
  turn.transformPoint(origin, out);
  return out + position;
}
