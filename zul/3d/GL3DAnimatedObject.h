// A drawable skinned mesh: its animation is evaluated at the object's time
// into one matrix per bone, the mesh is skinned into renderer scratch memory
// and drawn, optionally with a model attached to one bone.
#pragma once

#include <cstdint>

#include "zul/3d/AnimatedMeshData.h"
#include "zul/3d/GL3DASEFileResource.h"
#include "zul/3d/GL3DStaticObject.h"
#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class GL3DAnimationTrack;
class GL3DTexture;
class GlRenderer;

class GL3DAnimatedObject : public GL3DDrawable {
 public:
  static constexpr const char* kSource = "GL3DAnimatedObject";
  // Flag bit 0: not drawn.
  static constexpr uint32_t kFlagHidden = 1;

  GL3DAnimatedObject() = default;
  // Releases the mesh and the attached model.
  ~GL3DAnimatedObject() override;

  // Placed (translation, scale, rotations about Y, X and -Z) around the
  // skinned mesh and its attached model.
  void draw(GlRenderer* renderer) override;
  void getCentre(Vector3& out) const override { out = position; }
  bool isStatic() const override { return false; }
  // Time += dt x the animation's speed; past either end it becomes the
  // duration and the result is true.
  virtual bool advance(Q14 dt);
  // As draw, without the object's own placement: the caller's matrix
  // applies.
  void drawInPlace(GlRenderer* renderer);

  // Mesh and texture (-1 keeps the texture) through the 3D services.
  void setMesh(int32_t meshId, int32_t textureId);
  // A model drawn with bone's matrix.
  void attachModel(int32_t modelId, int32_t bone);
  void detachModel();
  // The bone's origin in the world: turned about Y by the object's Y angle
  // and moved to its position. The origin without an animation or for a
  // bone out of range.
  Vector3 getBoneWorldPosition(int32_t bone);

  void setAnimation(GL3DAnimationTrack* track) { m_animation = track; }
  GL3DAnimationTrack* getAnimation() const { return m_animation; }
  ManagedResource<AnimatedMeshData>* getMesh() const { return m_mesh; }
  GL3DTexture* getTexture() const { return m_texture; }
  ManagedResource<GL3DASEFileResource>* getAttachedModel() const { return m_model; }
  int32_t getAttachmentBone() const { return m_attachmentBone; }

  Q14 time = 0;  // Q14 seconds
  uint32_t flags = 0;
  Vector3 angles;  // Q14 degrees about X, Y, Z
  Vector3 position;
  Vector3 scale{kQ14One, kQ14One, kQ14One};

 private:
  GL3DAnimationTrack* m_animation = nullptr;
  ManagedResource<AnimatedMeshData>* m_mesh = nullptr;
  GL3DTexture* m_texture = nullptr;
  ManagedResource<GL3DASEFileResource>* m_model = nullptr;
  int32_t m_attachmentBone = 0;
  // The managers the records came from, which take them back.
  ResourceManager* m_meshManager = nullptr;
  ResourceManager* m_modelManager = nullptr;
};
