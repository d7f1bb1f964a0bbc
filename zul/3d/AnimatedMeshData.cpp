#include "zul/3d/AnimatedMeshData.h"

#include <cstring>

#include "zul/io/BufferStream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"

namespace {

constexpr const char* kSource = AnimatedMeshData::kSource;

uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

bool refuse(const char* why) {
  debugTrace("animated mesh: %s\n", why);
  return false;
}

// Takes bytes from a memory stream with the length checked first.
class Reader {
 public:
  explicit Reader(BufferStream& in) : m_in(in) {}
  int64_t left() const { return int64_t{m_in.getLength()} - m_in.tell(); }
  const uint8_t* take(int64_t n) {
    if (n < 0 || n > left()) return nullptr;
    return m_in.skip(static_cast<int32_t>(n));
  }
  // The tag is reported when it differs; false also when it is missing.
  bool tag(uint32_t expected) {
    const uint8_t* p = take(4);
    if (!p) return false;
    return KV_CHECK(u32(p) == expected, 244, kSource);
  }

 private:
  BufferStream& m_in;
};

}  // namespace

AnimatedMeshData::~AnimatedMeshData() { clear(); }

void AnimatedMeshData::clear() {
  for (void*& c : m_copies) {
    memDeleteArray(c);
    c = nullptr;
  }
  m_vertexCount = m_triangleCount = 0;
  m_positions = m_texCoords = nullptr;
  m_bones = nullptr;
  m_triangles = nullptr;
  m_highestBone = -1;
}

bool AnimatedMeshData::read(Stream& stream) {
  clear();
  auto* buffer = dynamic_cast<BufferStream*>(&stream);
  if (!buffer) return refuse("not a memory stream");
  Reader in(*buffer);
  const uint8_t* counts = in.take(8);
  if (!counts) return refuse("shorter than its counts");
  const uint32_t v = u32(counts), t = u32(counts + 4);
  // The smallest vertex takes 36 bytes and the smallest triangle 6.
  if (v > in.left() / 36 || t > in.left() / 6) return refuse("more vertices or triangles than the bytes hold");
  const uint8_t* positions = in.tag(fileTag("VPOS")) ? in.take(24 * int64_t{v}) : nullptr;
  const uint8_t* coords = positions && in.tag(fileTag("TEXC")) ? in.take(8 * int64_t{v}) : nullptr;
  const uint8_t* bones = coords && in.tag(fileTag("BONE")) ? in.take(4 * int64_t{v}) : nullptr;
  const uint8_t* faces = bones && in.tag(fileTag("FACE")) ? in.take(6 * int64_t{t}) : nullptr;
  if (!faces) return refuse("a block is missing, misnamed or cut short");

  int32_t highest = -1;
  for (uint32_t i = 0; i < v; ++i) {
    const uint8_t first = bones[4 * i], second = bones[4 * i + 1];
    if (first >= kMaxBones || (second != kNoBone && second >= kMaxBones)) return refuse("bone past 63");
    if (first > highest) highest = first;
    if (second != kNoBone && second > highest) highest = second;
  }
  for (uint32_t i = 0; i < 3 * t; ++i)
    if (static_cast<uint32_t>(faces[2 * i] | faces[2 * i + 1] << 8) >= v) return refuse("triangle index past the vertices");

  // Blocks in place where aligned, else copied.
  int copies = 0;
  auto aligned = [&](const uint8_t* data, int64_t bytes, size_t align) -> const void* {
    if (bytes == 0 || reinterpret_cast<uintptr_t>(data) % align == 0) return data;
    void* copy = memNewArray(static_cast<size_t>(bytes), kSource, 250);
    if (!copy) return nullptr;
    std::memcpy(copy, data, static_cast<size_t>(bytes));
    m_copies[copies++] = copy;
    return copy;
  };
  m_positions = static_cast<const Q14*>(aligned(positions, 24 * int64_t{v}, alignof(Q14)));
  m_texCoords = static_cast<const Q14*>(aligned(coords, 8 * int64_t{v}, alignof(Q14)));
  m_triangles = static_cast<const uint16_t*>(aligned(faces, 6 * int64_t{t}, alignof(uint16_t)));
  if ((v && (!m_positions || !m_texCoords)) || (t && !m_triangles)) {
    clear();
    return refuse("no memory for aligned blocks");
  }
  m_bones = bones;
  m_vertexCount = static_cast<int32_t>(v);
  m_triangleCount = static_cast<int32_t>(t);
  m_highestBone = highest;
  return true;
}

bool loadManagedResource(ManagedResource<AnimatedMeshData>* record, ResourceManager&, Stream& stream) {
  return record->read(stream);
}
