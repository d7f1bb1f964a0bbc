#include "tools/model/ModelWriter.h"

namespace kvmodel {

namespace {

void put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool acceptable(const SubMesh& s) {
  const size_t vertices = s.positions.size() / 3;
  if (s.positions.size() % 3 || s.texCoords.size() % 2 || s.indices.size() % 3) return false;
  if (s.texCoords.size() / 2 < vertices) return false;
  for (uint16_t i : s.indices)
    if (i >= vertices) return false;
  return true;
}

class Reader {
 public:
  explicit Reader(const Bytes& b) : m_b(b) {}
  size_t left() const { return m_b.size() - m_at; }
  bool u32(uint32_t& v) {
    if (left() < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(m_b[m_at + i]) << (8 * i);
    m_at += 4;
    return true;
  }
  bool u16(uint16_t& v) {
    if (left() < 2) return false;
    v = static_cast<uint16_t>(m_b[m_at] | m_b[m_at + 1] << 8);
    m_at += 2;
    return true;
  }
  bool skip(uint64_t n) {
    if (n > left()) return false;
    m_at += n;
    return true;
  }
  template <class T>
  bool values(std::vector<T>& out, uint32_t n, bool (Reader::*one)(T&)) {
    if (uint64_t{n} * sizeof(T) > left()) return false;
    out.resize(n);
    for (T& v : out)
      if (!(this->*one)(v)) return false;
    return true;
  }
  bool i32(int32_t& v) {
    uint32_t u;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }

 private:
  const Bytes& m_b;
  size_t m_at = 0;
};

}  // namespace

std::optional<Bytes> writeModel(const Model& model) {
  Bytes out;
  put32(out, static_cast<uint32_t>(model.parts.size()));
  put32(out, 0);
  put32(out, 0);
  for (const Part& part : model.parts) {
    put32(out, part.flags);
    put32(out, static_cast<uint32_t>(part.subMeshes.size()));
    for (size_t i = 0; i < part.subMeshes.size(); ++i) put32(out, 0);
    for (const SubMesh& s : part.subMeshes) {
      if (!acceptable(s)) return std::nullopt;
      put32(out, 0);
      put32(out, s.textureId);
      for (int i = 0; i < 3; ++i) put32(out, 0);
      put32(out, static_cast<uint32_t>(s.positions.size()));
      for (int32_t v : s.positions) put32(out, static_cast<uint32_t>(v));
      put32(out, static_cast<uint32_t>(s.texCoords.size()));
      for (int32_t v : s.texCoords) put32(out, static_cast<uint32_t>(v));
      put32(out, static_cast<uint32_t>(s.indices.size()));
      for (uint16_t i : s.indices) {
        out.push_back(static_cast<uint8_t>(i));
        out.push_back(static_cast<uint8_t>(i >> 8));
      }
    }
  }
  return out;
}

std::optional<Model> readModel(const Bytes& bytes) {
  Reader in(bytes);
  uint32_t c1, c2, c3;
  if (!in.u32(c1) || !in.u32(c2) || !in.u32(c3)) return std::nullopt;
  const uint64_t parts = uint64_t{c1} + c2 + c3;
  if (parts > in.left() / 8) return std::nullopt;
  Model model;
  model.parts.resize(static_cast<size_t>(parts));
  for (Part& part : model.parts) {
    uint32_t n;
    if (!in.u32(part.flags) || !in.u32(n) || n > in.left() / 36 || !in.skip(4ull * n)) return std::nullopt;
    part.subMeshes.resize(n);
    for (SubMesh& s : part.subMeshes) {
      uint32_t unused, count;
      if (!in.u32(unused) || !in.u32(s.textureId) || !in.skip(12)) return std::nullopt;
      if (!in.u32(count) || !in.values(s.positions, count, &Reader::i32)) return std::nullopt;
      if (!in.u32(count) || !in.values(s.texCoords, count, &Reader::i32)) return std::nullopt;
      if (!in.u32(count) || !in.values(s.indices, count, &Reader::u16)) return std::nullopt;
      if (!acceptable(s)) return std::nullopt;
    }
  }
  return model;
}

}  // namespace kvmodel
