#include "tools/model/AnimationWriter.h"

#include <cstring>

namespace kvmodel {

namespace {

void put32(Bytes& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put16(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void tag(Bytes& out, const char* t) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(t[i]));
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
  bool i32(int32_t& v) {
    uint32_t u;
    if (!u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool u16(uint16_t& v) {
    if (left() < 2) return false;
    v = static_cast<uint16_t>(m_b[m_at] | m_b[m_at + 1] << 8);
    m_at += 2;
    return true;
  }
  bool u8(uint8_t& v) {
    if (left() < 1) return false;
    v = m_b[m_at++];
    return true;
  }
  bool tag(const char* t) {
    if (left() < 4 || std::memcmp(&m_b[m_at], t, 4) != 0) return false;
    m_at += 4;
    return true;
  }

 private:
  const Bytes& m_b;
  size_t m_at = 0;
};

bool meshAcceptable(const AnimatedMesh& m) {
  if (m.triangles.size() % 3) return false;
  for (uint16_t i : m.triangles)
    if (i >= m.vertices.size()) return false;
  for (const AnimatedVertex& v : m.vertices)
    if (v.bone1 >= 64 || (v.bone2 != 255 && v.bone2 >= 64)) return false;
  return true;
}

// Runs of a channel: each with at least one key, all inside it.
bool runsFit(const std::vector<int16_t>& c) {
  for (size_t pos = 0; pos < c.size();) {
    const size_t k = static_cast<uint16_t>(c[pos]) & 0xFF;
    if (k == 0) return false;
    pos += 1 + k;
    if (pos > c.size()) return false;
  }
  return true;
}

bool trackAcceptable(const Track& t) {
  if (t.frameCount < 2 || t.frameCount > 0x20000 || t.fps == 0 || t.fps >= 0x20000 || t.shift > 14) return false;
  if (t.parents.size() > 64 || t.channels.size() != t.parents.size()) return false;
  size_t values = 0;
  for (size_t b = 0; b < t.parents.size(); ++b) {
    if (t.parents[b] < -1 || t.parents[b] >= static_cast<int32_t>(b)) return false;
    for (const auto& c : t.channels[b]) {
      if (values > 0xFFFF || !runsFit(c)) return false;  // the starts are 16-bit
      values += c.size();
    }
  }
  return values <= 0x7FFFFFFF;
}

}  // namespace

std::optional<Bytes> writeAnimatedMesh(const AnimatedMesh& mesh) {
  if (!meshAcceptable(mesh)) return std::nullopt;
  Bytes out;
  put32(out, static_cast<uint32_t>(mesh.vertices.size()));
  put32(out, static_cast<uint32_t>(mesh.triangles.size() / 3));
  tag(out, "VPOS");
  for (const AnimatedVertex& v : mesh.vertices) {
    for (int32_t c : v.first) put32(out, static_cast<uint32_t>(c));
    for (int32_t c : v.second) put32(out, static_cast<uint32_t>(c));
  }
  tag(out, "TEXC");
  for (const AnimatedVertex& v : mesh.vertices) {
    put32(out, static_cast<uint32_t>(v.s));
    put32(out, static_cast<uint32_t>(v.t));
  }
  tag(out, "BONE");
  for (const AnimatedVertex& v : mesh.vertices) out.insert(out.end(), {v.bone1, v.bone2, v.weight1, v.weight2});
  tag(out, "FACE");
  for (uint16_t i : mesh.triangles) put16(out, i);
  return out;
}

std::optional<AnimatedMesh> readAnimatedMesh(const Bytes& bytes) {
  Reader in(bytes);
  uint32_t v, t;
  if (!in.u32(v) || !in.u32(t) || v > in.left() / 36 || t > in.left() / 6) return std::nullopt;
  AnimatedMesh m;
  m.vertices.resize(v);
  m.triangles.resize(3 * size_t{t});
  if (!in.tag("VPOS")) return std::nullopt;
  for (AnimatedVertex& x : m.vertices) {
    for (int32_t& c : x.first)
      if (!in.i32(c)) return std::nullopt;
    for (int32_t& c : x.second)
      if (!in.i32(c)) return std::nullopt;
  }
  if (!in.tag("TEXC")) return std::nullopt;
  for (AnimatedVertex& x : m.vertices)
    if (!in.i32(x.s) || !in.i32(x.t)) return std::nullopt;
  if (!in.tag("BONE")) return std::nullopt;
  for (AnimatedVertex& x : m.vertices)
    if (!in.u8(x.bone1) || !in.u8(x.bone2) || !in.u8(x.weight1) || !in.u8(x.weight2)) return std::nullopt;
  if (!in.tag("FACE")) return std::nullopt;
  for (uint16_t& i : m.triangles)
    if (!in.u16(i)) return std::nullopt;
  if (!meshAcceptable(m)) return std::nullopt;
  return m;
}

std::vector<int16_t> encodeChannel(const std::vector<int16_t>& keys) {
  std::vector<int16_t> out;
  size_t i = 0;
  while (i < keys.size()) {
    // Keys while each differs from the one before, then the holds of the
    // last one.
    size_t k = 1;
    while (i + k < keys.size() && k < 255 && keys[i + k] != keys[i + k - 1]) ++k;
    size_t s = k;
    while (i + s < keys.size() && s < 255 && keys[i + s] == keys[i + k - 1]) ++s;
    out.push_back(static_cast<int16_t>(static_cast<uint16_t>(s << 8 | k)));
    out.insert(out.end(), keys.begin() + static_cast<std::ptrdiff_t>(i), keys.begin() + static_cast<std::ptrdiff_t>(i + k));
    i += s;
  }
  return out;
}

Track makeTrack(uint32_t fps, uint32_t shift, const std::vector<int32_t>& parents,
                const std::vector<std::array<std::vector<int16_t>, 6>>& keys) {
  Track t;
  t.fps = fps;
  t.shift = shift;
  t.parents = parents;
  t.frameCount = 0;
  for (const auto& bone : keys) {
    std::array<std::vector<int16_t>, 6> channels;
    for (int c = 0; c < 6; ++c) {
      channels[c] = encodeChannel(bone[c]);
      if (bone[c].size() > t.frameCount) t.frameCount = static_cast<uint32_t>(bone[c].size());
    }
    t.channels.push_back(channels);
  }
  return t;
}

std::optional<Bytes> writeTrack(const Track& t) {
  if (!trackAcceptable(t)) return std::nullopt;
  Bytes out;
  tag(out, "ANIM");
  put32(out, t.fps);
  put32(out, t.frameCount);
  put32(out, static_cast<uint32_t>(t.parents.size()));
  tag(out, "BONE");
  for (int32_t p : t.parents) put32(out, static_cast<uint32_t>(p));
  tag(out, "AIDX");
  uint32_t start = 0;
  for (const auto& bone : t.channels)
    for (const auto& c : bone) {
      put16(out, start);
      start += static_cast<uint32_t>(c.size());
    }
  tag(out, "AVAL");
  put32(out, start);
  put32(out, t.shift);
  for (const auto& bone : t.channels)
    for (const auto& c : bone)
      for (int16_t v : c) put16(out, static_cast<uint16_t>(v));
  return out;
}

std::optional<Track> readTrack(const Bytes& bytes) {
  Reader in(bytes);
  Track t;
  uint32_t bones;
  if (!in.tag("ANIM") || !in.u32(t.fps) || !in.u32(t.frameCount) || !in.u32(bones) || bones > 64) return std::nullopt;
  if (!in.tag("BONE")) return std::nullopt;
  t.parents.resize(bones);
  for (int32_t& p : t.parents)
    if (!in.i32(p)) return std::nullopt;
  if (!in.tag("AIDX")) return std::nullopt;
  std::vector<uint16_t> starts(6 * size_t{bones});
  for (uint16_t& s : starts)
    if (!in.u16(s)) return std::nullopt;
  uint32_t n;
  if (!in.tag("AVAL") || !in.u32(n) || !in.u32(t.shift) || n > in.left() / 2) return std::nullopt;
  std::vector<int16_t> values(n);
  for (int16_t& v : values) {
    uint16_t u;
    if (!in.u16(u)) return std::nullopt;
    v = static_cast<int16_t>(u);
  }
  t.channels.resize(bones);
  for (size_t c = 0; c < starts.size(); ++c) {
    const uint32_t begin = starts[c], end = c + 1 < starts.size() ? starts[c + 1] : n;
    if (begin > end || end > n) return std::nullopt;
    t.channels[c / 6][c % 6].assign(values.begin() + begin, values.begin() + end);
  }
  if (!trackAcceptable(t)) return std::nullopt;
  return t;
}

}  // namespace kvmodel
