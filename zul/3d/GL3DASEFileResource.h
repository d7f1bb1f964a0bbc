// A model file: parts of static meshes, read in place from its resource
// stream, whose bytes stay in the stream's buffer while the model lives.
#pragma once

#include <cstdint>

#include "zul/3d/GL3DStaticObject.h"
#include "zul/resourcemanager/ResourceManager.h"

class Stream;

class GL3DASEFileResource {
 public:
  static constexpr const char* kSource = "GL3DASEFileResource";

  GL3DASEFileResource() = default;
  virtual ~GL3DASEFileResource();
  GL3DASEFileResource(const GL3DASEFileResource&) = delete;
  GL3DASEFileResource& operator=(const GL3DASEFileResource&) = delete;

  virtual void draw(GlRenderer* renderer) { draw(renderer, nullptr); }
  // Every part in order, each with the model's draw mode.
  void draw(GlRenderer* renderer, const Matrix34* matrix);
  // Sub-mesh 0 of every part gets texture; null changes nothing.
  void setTexture(GL3DTexture* texture);

  // Null, after the report, for an index out of range.
  GL3DStaticObject* getPart(int32_t index);
  GL3DStaticObject* getStaticObject(int32_t index);

  int32_t getPartCount() const { return m_partCount; }
  uint32_t getCount1() const { return m_count1; }
  uint32_t getCount3() const { return m_count3; }
  int32_t getDrawMode() const { return m_drawMode; }
  void setDrawMode(int32_t mode) { m_drawMode = mode; }

  // Reads the model from the stream's bytes (a memory stream), in place.
  // Counts are checked against the bytes; anything inconsistent fails the
  // read and leaves the model without parts.
  bool read(Stream& stream);

 private:
  int32_t m_partCount = 0;
  uint32_t m_count1 = 0;
  uint32_t m_count3 = 0;
  GL3DStaticObject* m_parts = nullptr;
  int32_t m_drawMode = 0;
};

// The resource loader of models.
bool loadManagedResource(ManagedResource<GL3DASEFileResource>* record, ResourceManager& manager, Stream& stream);
