// A scene: drawable objects drawn back to front as seen from the renderer's
// camera, and up to 30 camera-facing textured quads (billboards) at given
// positions.
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/lm/Vector3.h"

class GL3DDrawable;
class GL3DTexture;
class GlRenderer;

// A square facing the camera: four corners around its centre, texture
// coordinates per corner and two triangles.
class GL3DBillboard {
 public:
  // Blend modes.
  enum { kBlendAlpha = 0, kBlendAdditive = 1 };

  GL3DBillboard() : GL3DBillboard(kQ14One) {}
  // Corners at +-halfSize.
  explicit GL3DBillboard(Q14 halfSize);
  GL3DBillboard(const GL3DBillboard& other) { *this = other; }
  GL3DBillboard& operator=(const GL3DBillboard& other);
  virtual ~GL3DBillboard() = default;

  // Corners (-w, h, 0), (w, h, 0), (-w, -h, 0), (w, -h, 0).
  void setSize(Q14 w, Q14 h);
  // (s, t) of the four corners.
  void setTexCoords(const Q14 values[8]);
  void setBlendMode(int32_t mode) { blendMode = mode; }

  // The corners as drawn: turned by the camera's rotation (scaled unless
  // scale is 1.0) and moved to position. The billboard's own corners are
  // left as they are. False, with nothing written, without a camera.
  bool placeCorners(const GlRenderer* renderer, const Vector3& position, Q14 scale, Q14 out[12]) const;
  // Two triangles, culling off, blended over the depth-tested picture
  // without writing depth. Nothing without a camera.
  void draw(GlRenderer* renderer, const Vector3& position, Q14 scale);

  Vector3 corners[4];
  Q14 texCoords[8] = {0, kQ14One, kQ14One, kQ14One, 0, 0, kQ14One, 0};
  uint16_t indices[6] = {2, 1, 0, 2, 3, 1};
  int32_t blendMode = kBlendAlpha;
};

class GL3DScene {
 public:
  static constexpr const char* kSource = "GL3DScene";
  static constexpr int32_t kMaxBillboards = 30;
  // Half size of the billboards that setBillboardCount makes (0.8).
  static constexpr Q14 kBillboardHalfSize = 13107;

  GL3DScene() = default;
  // Frees the sorted array; the objects belong to their owners.
  virtual ~GL3DScene();
  GL3DScene(const GL3DScene&) = delete;
  GL3DScene& operator=(const GL3DScene&) = delete;

  // Newest first.
  void add(GL3DDrawable* object);
  // The sorted array from the list: far objects first, as seen from the
  // camera's position turned about Y. Of objects of equal depth the later in
  // the list comes first, on every sort. Without a camera the list order.
  void sort(GlRenderer* renderer);
  // Sorts, then draws and flushes each object in the sorted order.
  void draw(GlRenderer* renderer);

  // Uses n fresh billboards of half size 0.8 (at most 30).
  void setBillboardCount(int32_t n);
  // Position i = (record i's first word, height + 0.5, its third word), the
  // records being five words apart.
  void setBillboardPositions(const int32_t* records, Q14 height);
  // Binds the texture and draws every billboard in use at its position, in
  // alpha blending. Nothing without a camera.
  void drawBillboards(GlRenderer* renderer);

  void setTexture(GL3DTexture* texture) { m_texture = texture; }
  GL3DTexture* getTexture() const { return m_texture; }
  GL3DDrawable* getFirst() const { return m_first; }
  int32_t getCount() const { return m_count; }
  // Object i of the last sort (null out of range).
  GL3DDrawable* getSorted(int32_t i) const { return i >= 0 && i < m_sortedCount ? m_sorted[i] : nullptr; }
  int32_t getBillboardCount() const { return m_billboardCount; }
  GL3DBillboard& getBillboard(int32_t i) { return m_billboards[i]; }
  const Vector3& getBillboardPosition(int32_t i) const { return m_positions[i]; }

 private:
  GL3DDrawable* m_first = nullptr;
  GL3DDrawable** m_sorted = nullptr;  // m_capacity pointers, then m_capacity depths
  Q14* m_depths = nullptr;
  int32_t m_capacity = 0;
  int32_t m_sortedCount = 0;
  int32_t m_count = 0;
  GL3DBillboard m_billboards[kMaxBillboards];
  GL3DTexture* m_texture = nullptr;
  int32_t m_billboardCount = 0;
  Vector3 m_positions[kMaxBillboards];
};
