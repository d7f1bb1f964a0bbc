// A skinned mesh: per vertex two positions (in the spaces of its first and
// second bone), texture coordinates and two bones with weights; triangles of
// 16-bit indices. Read in place from its resource stream.
#pragma once

#include <cstdint>

#include "zul/lm/Q14.h"
#include "zul/resourcemanager/ResourceManager.h"

class Stream;

// The four bytes of a tag in file order as one little-endian word.
constexpr uint32_t fileTag(const char (&t)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(t[0])) | static_cast<uint32_t>(static_cast<uint8_t>(t[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(t[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(t[3])) << 24;
}

class AnimatedMeshData {
 public:
  static constexpr const char* kSource = "GL3DAnimatedObject";
  static constexpr uint8_t kNoBone = 255;
  static constexpr int32_t kMaxBones = 64;
  // Weights: 64 is 1.0 (weight x 256 is the Q14 factor).
  static constexpr int32_t kFullWeight = 64;

  AnimatedMeshData() = default;
  virtual ~AnimatedMeshData();
  AnimatedMeshData(const AnimatedMeshData&) = delete;
  AnimatedMeshData& operator=(const AnimatedMeshData&) = delete;

  // V, T, "VPOS" positions, "TEXC" coordinates, "BONE" bones, "FACE"
  // triangles. A wrong tag, a block past the end, a triangle index at or
  // beyond V or a bone at or beyond 64 (but for the second bone's 255, none)
  // fails the read and leaves the mesh empty.
  bool read(Stream& stream);

  int32_t getVertexCount() const { return m_vertexCount; }
  int32_t getTriangleCount() const { return m_triangleCount; }
  // Six per vertex: x, y, z in the first bone's space, then in the second's.
  const Q14* getPositions() const { return m_positions; }
  // s, t per vertex.
  const Q14* getTexCoords() const { return m_texCoords; }
  // First bone, second bone (255 none), first weight, second weight.
  const uint8_t* getBones() const { return m_bones; }
  const uint16_t* getTriangles() const { return m_triangles; }
  // The highest bone a vertex is skinned with; -1 without vertices.
  int32_t getHighestBone() const { return m_highestBone; }

 private:
  void clear();

  int32_t m_vertexCount = 0;
  int32_t m_triangleCount = 0;
  const Q14* m_positions = nullptr;
  const Q14* m_texCoords = nullptr;
  const uint8_t* m_bones = nullptr;
  const uint16_t* m_triangles = nullptr;
  int32_t m_highestBone = -1;
  // Aligned copies of blocks that were not aligned in the stream's bytes.
  void* m_copies[3] = {};
};

// The resource loader of animated meshes.
bool loadManagedResource(ManagedResource<AnimatedMeshData>* record, ResourceManager& manager, Stream& stream);
