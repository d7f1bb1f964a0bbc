// Writer and reader of the model file: parts of sub-meshes, each a texture
// resource id, Q14 positions, Q14 texture coordinates and 16-bit triangle
// indices.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kvmodel {

using Bytes = std::vector<uint8_t>;

struct SubMesh {
  uint32_t textureId = 0;
  std::vector<int32_t> positions;  // x, y, z per vertex
  std::vector<int32_t> texCoords;  // s, t per vertex (indexed like the positions)
  std::vector<uint16_t> indices;   // three per triangle
  bool operator==(const SubMesh&) const = default;
};

struct Part {
  uint32_t flags = 0;
  std::vector<SubMesh> subMeshes;
  bool operator==(const Part&) const = default;
};

struct Model {
  std::vector<Part> parts;
  bool operator==(const Model&) const = default;
};

// Counts (parts, 0, 0), then every part. Nothing when a sub-mesh breaks what
// the loader accepts (positions not in threes, coordinates not in twos or
// fewer than the vertices, indices not in threes or past the vertices).
std::optional<Bytes> writeModel(const Model& model);

// The model of a file with the loader's checks (all three counts summed);
// nothing for a short or inconsistent file.
std::optional<Model> readModel(const Bytes& bytes);

}  // namespace kvmodel
