#include "zul/3d/GL3DASEFileResource.h"

#include <cstring>

#include "zul/3d/GL3DServices.h"
#include "zul/3d/GL3DTexture.h"
#include "zul/3d/GlRenderer.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"
#include "zul/memory/TrackedNew.h"

namespace {

constexpr const char* kSource = GL3DASEFileResource::kSource;
constexpr int32_t kHeaderSize = 20;
// Smallest part: flags and N; smallest sub-mesh: a placeholder, the header
// and three count words.
constexpr int64_t kMinPartSize = 8;
constexpr int64_t kMinSubMeshSize = 4 + kHeaderSize + 12;

uint32_t u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void putU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

bool refuse(const char* why) {
  debugTrace("model: %s\n", why);
  return false;
}

}  // namespace

// Reads parts from a memory stream: every count and block is checked against
// the bytes left before anything is used.
class GL3DModelReader {
 public:
  explicit GL3DModelReader(BufferStream& in) : m_in(in) {}

  int64_t left() const { return int64_t{m_in.getLength()} - m_in.tell(); }

  const uint8_t* take(int64_t n) {
    if (n < 0 || n > left()) return nullptr;
    return m_in.skip(static_cast<int32_t>(n));
  }

  // The stream's own (writable) bytes at p.
  uint8_t* writable(const uint8_t* p) const { return m_in.getData() + (p - m_in.getData()); }

  // One block of count elements of size bytes after its u32 count word; the
  // count must be a multiple of group.
  const uint8_t* block(int64_t size, uint32_t group, uint32_t& count) {
    const uint8_t* word = take(4);
    if (!word) return nullptr;
    count = u32(word);
    if (count % group != 0 || int64_t{count} > left() / size) return nullptr;
    return take(int64_t{count} * size);
  }

  // Where data is not aligned for elements of align bytes, an aligned copy
  // kept by the part.
  template <class T>
  const T* aligned(GL3DStaticObject& part, const uint8_t* data, int64_t bytes) {
    if (reinterpret_cast<uintptr_t>(data) % alignof(T) == 0 || bytes == 0) return reinterpret_cast<const T*>(data);
    void* copy = memNewArray(static_cast<size_t>(bytes), kSource, 270);
    if (!copy) return nullptr;
    std::memcpy(copy, data, static_cast<size_t>(bytes));
    part.m_copies[part.m_copyCount++] = copy;
    return static_cast<const T*>(copy);
  }

  bool readPart(GL3DStaticObject& part) {
    const uint8_t* flags = take(4);
    const uint8_t* nWord = flags ? take(4) : nullptr;
    if (!nWord) return refuse("part shorter than its header");
    part.m_flags = u32(flags);
    const uint32_t n = u32(nWord);
    if (int64_t{n} > left() / kMinSubMeshSize) return refuse("more sub-meshes than the bytes hold");
    if (!take(4 * int64_t{n})) return refuse("sub-mesh table past the end");
    if (n == 0) return true;
    part.m_subMeshes = new (kSource, 68, nullptr) GL3DSubMesh[n];
    part.m_copies = new (kSource, 69, nullptr) void*[3 * n];
    if (!part.m_subMeshes || !part.m_copies) return refuse("no memory for the sub-mesh table");
    part.m_subMeshCount = static_cast<int32_t>(n);
    for (uint32_t i = 0; i < n; ++i)
      if (!readSubMesh(part, part.m_subMeshes[i])) return false;
    return true;
  }

  bool readSubMesh(GL3DStaticObject& part, GL3DSubMesh& s) {
    s.header = take(kHeaderSize);
    if (!s.header) return refuse("sub-mesh shorter than its header");
    uint32_t values = 0, coords = 0, indices = 0;
    const uint8_t* v = block(4, 3, values);
    if (!v) return refuse("bad vertex block");
    const uint8_t* t = block(4, 2, coords);
    if (!t) return refuse("bad texture-coordinate block");
    const uint8_t* x = block(2, 3, indices);
    if (!x) return refuse("bad index block");
    s.vertexCount = static_cast<int32_t>(values / 3);
    s.texCoordCount = static_cast<int32_t>(coords / 2);
    s.triangleCount = static_cast<int32_t>(indices / 3);
    // Texture coordinates are fetched through the vertex indices.
    if (s.texCoordCount < s.vertexCount) return refuse("fewer texture coordinates than vertices");
    for (uint32_t i = 0; i < indices; ++i) {
      const uint32_t index = static_cast<uint32_t>(x[2 * i] | x[2 * i + 1] << 8);
      if (index >= values / 3) return refuse("index past the vertices");
    }
    s.vertices = aligned<Q14>(part, v, 4 * int64_t{values});
    s.texCoords = aligned<Q14>(part, t, 4 * int64_t{coords});
    s.indices = aligned<uint16_t>(part, x, 2 * int64_t{indices});
    if (!s.vertices || !s.texCoords || !s.indices) return refuse("no memory for aligned arrays");
    return true;
  }

  // After every part was read: counts rewritten in place, textures fetched,
  // centre and radius.
  void finish(GL3DStaticObject& part) {
    GlRenderer* renderer = getGL3DServices()->renderer;
    Vector3 sum;
    int64_t count = 0;
    for (int32_t i = 0; i < part.m_subMeshCount; ++i) {
      GL3DSubMesh& s = part.m_subMeshes[i];
      uint8_t* h = writable(s.header);
      const int64_t vertexWord = kHeaderSize, texWord = vertexWord + 4 + 12 * int64_t{s.vertexCount};
      const int64_t indexWord = texWord + 4 + 8 * int64_t{s.texCoordCount};
      putU32(h + vertexWord, static_cast<uint32_t>(s.vertexCount));
      putU32(h + texWord, static_cast<uint32_t>(s.texCoordCount));
      putU32(h + indexWord, static_cast<uint32_t>(s.triangleCount));
      const int32_t id = static_cast<int32_t>(u32(s.header + 4));
      s.texture = renderer ? renderer->getTextures().getTexture(id) : nullptr;
      for (int32_t k = 0; k < s.vertexCount; ++k) {
        const Q14* p = s.vertices + 3 * k;
        sum += Vector3(p[0], p[1], p[2]);
      }
      count += s.vertexCount;
    }
    if (count > 0) {
      // The reciprocal of the count in Q14, taken in 64 bits.
      const int64_t divisor = count << 14;
      sum *= static_cast<Q14>(((int64_t{kQ14One} << 28) / divisor) >> 14);
    }
    part.m_centre = sum;
    Vector3 edge(0, 1, 0);
    if (part.m_subMeshCount > 0) {
      const GL3DSubMesh& first = part.m_subMeshes[0];
      // The sixth vertex, else the last there is.
      const int32_t k = first.vertexCount >= 6 ? 5 : first.vertexCount - 1;
      edge = k >= 0 ? Vector3(first.vertices[3 * k], first.vertices[3 * k + 1], first.vertices[3 * k + 2]) : Vector3();
    }
    part.m_radius = GL3DStaticObject::scaledLength(edge - part.m_centre);
  }

 private:
  BufferStream& m_in;
};

GL3DASEFileResource::~GL3DASEFileResource() { delete[] m_parts; }

bool GL3DASEFileResource::read(Stream& stream) {
  if (!KV_CHECK(m_parts == nullptr && m_partCount == 0, 45, kSource)) return false;
  auto* in = dynamic_cast<BufferStream*>(&stream);
  if (!in) return refuse("not a memory stream");
  GL3DModelReader reader(*in);
  const uint8_t* counts = reader.take(12);
  if (!counts) return refuse("shorter than its counts");
  const uint64_t sum = uint64_t{u32(counts)} + u32(counts + 4) + u32(counts + 8);
  if (sum > static_cast<uint64_t>(reader.left() / kMinPartSize)) return refuse("more parts than the bytes hold");
  if (sum == 0) {
    m_count1 = u32(counts);
    m_count3 = u32(counts + 8);
    return true;
  }
  GL3DStaticObject* parts = new (kSource, 53, nullptr) GL3DStaticObject[sum];
  if (!parts) return refuse("no memory for the parts");
  for (uint64_t i = 0; i < sum; ++i) {
    if (!reader.readPart(parts[i])) {
      delete[] parts;
      return false;
    }
  }
  for (uint64_t i = 0; i < sum; ++i) reader.finish(parts[i]);
  m_parts = parts;
  m_partCount = static_cast<int32_t>(sum);
  m_count1 = u32(counts);
  m_count3 = u32(counts + 8);
  return true;
}

void GL3DASEFileResource::draw(GlRenderer* renderer, const Matrix34* matrix) {
  for (int32_t i = 0; i < m_partCount; ++i) {
    m_parts[i].setDrawMode(m_drawMode);
    m_parts[i].draw(renderer, matrix);
  }
}

void GL3DASEFileResource::setTexture(GL3DTexture* texture) {
  if (!texture) return;
  for (int32_t i = 0; i < m_partCount; ++i)
    if (m_parts[i].getSubMeshCount() > 0) m_parts[i].setTexture(0, texture);
}

GL3DStaticObject* GL3DASEFileResource::getPart(int32_t index) {
  if (!KV_CHECK(index >= 0 && index < m_partCount, 25, kSource)) return nullptr;
  return &m_parts[index];
}

GL3DStaticObject* GL3DASEFileResource::getStaticObject(int32_t index) {
  if (!KV_CHECK(index >= 0 && index < m_partCount, 34, kSource)) return nullptr;
  return &m_parts[index];
}

bool loadManagedResource(ManagedResource<GL3DASEFileResource>* record, ResourceManager&, Stream& stream) {
  return record->read(stream);
}
