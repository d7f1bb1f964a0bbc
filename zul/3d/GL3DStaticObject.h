// Drawable objects: the abstract scene-list member and the static mesh part
// of a model (sub-meshes of one texture each, Q14 positions and texture
// coordinates, 16-bit triangle indices).
#pragma once

#include <cstdint>

#include "zul/lm/Matrix34.h"
#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class GL3DTexture;
class GlRenderer;

class GL3DDrawable {
 public:
  GL3DDrawable() = default;
  GL3DDrawable(const GL3DDrawable&) = delete;
  GL3DDrawable& operator=(const GL3DDrawable&) = delete;

  virtual void draw(GlRenderer* renderer) = 0;
  // The z of the centre seen through matrix.
  virtual Q14 viewDepth(const Matrix34& matrix);
  virtual void getCentre(Vector3& out) const = 0;
  virtual bool isStatic() const = 0;
  virtual ~GL3DDrawable();

  GL3DDrawable* getNext() const { return m_next; }
  void setNext(GL3DDrawable* next) { m_next = next; }

 private:
  GL3DDrawable* m_next = nullptr;
};

// One sub-mesh: its file header in place and the arrays it names. The arrays
// point into the model's bytes, or into storage of the part where the bytes
// are not aligned for their element type.
struct GL3DSubMesh {
  const uint8_t* header = nullptr;  // 20 bytes: unused, texture id, three placeholders
  GL3DTexture* texture = nullptr;   // null when the fetch failed: not drawn
  const Q14* vertices = nullptr;    // V x (x, y, z)
  int32_t vertexCount = 0;          // V
  const Q14* texCoords = nullptr;   // T x (s, t)
  int32_t texCoordCount = 0;        // T
  const uint16_t* indices = nullptr;
  int32_t triangleCount = 0;        // indices / 3
};

class GL3DStaticObject : public GL3DDrawable {
 public:
  static constexpr const char* kSource = "GL3DStaticObject";

  GL3DStaticObject() = default;
  ~GL3DStaticObject() override;

  void draw(GlRenderer* renderer) override { draw(renderer, nullptr); }
  // Every sub-mesh with a texture; with a matrix the positions are
  // transformed into scratch memory of the renderer first.
  void draw(GlRenderer* renderer, const Matrix34* matrix);
  void getCentre(Vector3& out) const override { out = m_centre; }
  bool isStatic() const override { return true; }

  int32_t getSubMeshCount() const { return m_subMeshCount; }
  // Null, after the report, for an index out of range.
  GL3DSubMesh* getSubMesh(int32_t index);
  void setTexture(int32_t subMesh, GL3DTexture* texture);

  const Vector3& getCentre() const { return m_centre; }
  Q14 getRadius() const { return m_radius; }
  uint32_t getFlags() const { return m_flags; }
  int32_t getDrawMode() const { return m_drawMode; }
  void setDrawMode(int32_t mode) { m_drawMode = mode; }

  // Half the Euclidean length of v in its own units.
  static Q14 scaledLength(Vector3 v);

 private:
  friend class GL3DModelReader;

  Vector3 m_centre;
  Q14 m_radius = 0;
  uint32_t m_flags = 0;
  int32_t m_words[2] = {};
  int32_t m_subMeshCount = 0;
  GL3DSubMesh* m_subMeshes = nullptr;
  int32_t m_drawMode = 0;
  // Aligned copies of arrays that were not aligned in the model's bytes.
  void** m_copies = nullptr;
  int32_t m_copyCount = 0;
};
