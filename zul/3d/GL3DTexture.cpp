#include "zul/3d/GL3DTexture.h"

#include "korvane/gl.h"
#include "zul/3d/GL3DServices.h"
#include "zul/io/BufferStream.h"
#include "zul/memory/Memory.h"

namespace {

constexpr const char* kSource = GL3DTexture::kSource;
constexpr int32_t kHeaderSize = 18;
constexpr int32_t kMapLength = 256;

int32_t i16(const uint8_t* p) { return static_cast<int16_t>(static_cast<uint16_t>(p[0] | p[1] << 8)); }

// The texel block of a size x size image, freed when it goes out of scope.
struct Texels {
  uint16_t* data;
  explicit Texels(size_t count, int line)
      : data(static_cast<uint16_t*>(memNewArray(count * 2, kSource, line))) {}
  ~Texels() { memDeleteArray(data); }
  Texels(const Texels&) = delete;
  Texels& operator=(const Texels&) = delete;
};

// The next n bytes in place, or null when fewer are left.
const uint8_t* take(BufferStream& in, int64_t n) {
  if (n < 0 || n > int64_t{in.getLength()} - in.tell()) return nullptr;
  return in.skip(static_cast<int32_t>(n));
}

bool refuse(const char* why) {
  debugTrace("texture: %s\n", why);
  return false;
}

}  // namespace

GL3DTexture::~GL3DTexture() = default;

void GL3DTexture::bind() const { glBindTexture(GL_TEXTURE_2D, m_name); }

void GL3DTexture::upload(int32_t size, uint32_t format, uint32_t type, const uint16_t* texels) {
  GLuint name = 0;
  glGenTextures(1, &name);
  m_name = name;
  glBindTexture(GL_TEXTURE_2D, name);
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), size, size, 0, format, type, texels);
}

bool GL3DTexture::loadTGA(Stream& stream) {
  auto* in = dynamic_cast<BufferStream*>(&stream);
  if (!in) return refuse("not a memory stream");
  const uint8_t* h = take(*in, kHeaderSize);
  if (!h) return refuse("shorter than its header");
  if (h[0] && !take(*in, h[0])) return refuse("shorter than its ID field");
  const int32_t mapType = h[1], imageType = h[2];
  const int32_t firstEntry = i16(h + 3), mapLength = i16(h + 5), entrySize = h[7];
  const int32_t width = i16(h + 12), height = i16(h + 14), depth = h[16];
  m_flags = 0;
  if (width != height || !isTextureSize(width)) return refuse("not a square of 32, 64, 128 or 256");
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);

  if (mapType == 0 && imageType == 2) {
    m_flags |= kFlagTrueColour;
    if (!KV_CHECK(depth == 32, 181, kSource)) return false;
    const uint8_t* p = take(*in, static_cast<int64_t>(count) * 4);
    if (!p) return refuse("shorter than its pixels");
    Texels texels(count, 168);
    if (!texels.data) return false;
    for (size_t i = 0; i < count; ++i, p += 4) texels.data[i] = toRgba4444(p[2], p[1], p[0], p[3]);
    upload(width, GL_RGBA, GL_UNSIGNED_SHORT_4_4_4_4, texels.data);
  } else if (mapType == 1 && imageType == 1) {
    const bool entryOk = KV_CHECK(entrySize == 24, 208, kSource);
    const bool firstOk = KV_CHECK(firstEntry == 0, 209, kSource);
    const bool lengthOk = KV_CHECK(mapLength == kMapLength, 210, kSource);
    if (!entryOk || !firstOk || !lengthOk) return false;
    if (depth != 8) return refuse("colour-mapped pixels are not 8 bits");
    const uint8_t* map = take(*in, kMapLength * 3);
    const uint8_t* indices = map ? take(*in, static_cast<int64_t>(count)) : nullptr;
    if (!indices) return refuse("shorter than its map and pixels");
    int32_t key = -1;
    for (int32_t i = 0; i < kMapLength; ++i)
      if (isKey(map[3 * i + 2], map[3 * i + 1], map[3 * i])) key = i;
    Texels palette(kMapLength, 218);
    Texels texels(count, 168);
    if (!palette.data || !texels.data) return false;
    for (int32_t i = 0; i < kMapLength; ++i) {
      const uint8_t b = map[3 * i], g = map[3 * i + 1], r = map[3 * i + 2];
      palette.data[i] = key < 0 ? toRgb565(r, g, b) : i == key ? 0 : toRgba5551(r, g, b);
    }
    for (size_t i = 0; i < count; ++i) texels.data[i] = palette.data[indices[i]];
    if (key < 0)
      upload(width, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, texels.data);
    else
      upload(width, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, texels.data);
  } else {
    KV_CHECK(false, 290, kSource);
    return false;
  }
  stream.close();
  return true;
}

bool GL3DTexture::loadPalette(Stream& stream) {
  auto* in = dynamic_cast<BufferStream*>(&stream);
  if (!in) return refuse("not a memory stream");
  m_flags = 0;
  const int32_t width = stream.readInt();
  const int32_t height = stream.readInt();
  const int32_t colours = stream.readInt();
  if (width != height || !isTextureSize(width)) return refuse("not a square of 32, 64, 128 or 256");
  if (colours < 1 || colours > kMapLength) return refuse("colour count not 1 to 256");
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  const uint8_t* entries = take(*in, int64_t{colours} * 4);
  const uint8_t* indices = entries ? take(*in, static_cast<int64_t>(count)) : nullptr;
  if (!indices) return refuse("shorter than its palette and pixels");
  for (size_t i = 0; i < count; ++i)
    if (indices[i] >= colours) return refuse("index past the palette");
  Texels palette(static_cast<size_t>(colours), 63);
  Texels texels(count, 83);
  if (!palette.data || !texels.data) return false;
  for (int32_t i = 0; i < colours; ++i) {
    const uint8_t* e = entries + 4 * i;
    palette.data[i] = isKey(e[2], e[1], e[0]) ? 0 : toRgba5551(e[2], e[1], e[0]);
  }
  for (size_t i = 0; i < count; ++i) texels.data[i] = palette.data[indices[i]];
  upload(width, GL_RGBA, GL_UNSIGNED_SHORT_5_5_5_1, texels.data);
  stream.close();
  return true;
}

bool loadManagedResource(ManagedResource<GL3DTexture>* record, ResourceManager&, Stream& stream) {
  return record->loadTGA(stream);
}

GL3DTextureManager::~GL3DTextureManager() {
  for (int32_t i = 0; i < kSlotCount; ++i) releaseSlot(i, false);
}

GL3DTexture* GL3DTextureManager::getTexture(int32_t id) {
  KV_CHECK(m_count < kSlotCount, 74, kSource);
  for (int32_t i = 0; i < m_count && i < kSlotCount; ++i)
    if (m_slots[i] && m_slots[i]->getId() == id) return m_slots[i];
  int32_t slot = m_count;
  if (slot >= kSlotCount) {
    // Full: an emptied slot is taken again.
    slot = -1;
    for (int32_t i = 0; i < kSlotCount && slot < 0; ++i)
      if (!m_slots[i]) slot = i;
    if (slot < 0) return nullptr;
  }
  ResourceManager* manager = getGL3DServices()->resourceManager;
  if (!manager) return nullptr;
  ManagedResource<GL3DTexture>* texture = manager->get<GL3DTexture>(static_cast<uint32_t>(id));
  if (!texture) return nullptr;
  m_slots[slot] = texture;
  texture->setId(id);
  if (slot == m_count) m_count += 1;
  return texture;
}

void GL3DTextureManager::releaseSlot(int32_t i, bool deleteName) {
  ManagedResource<GL3DTexture>* texture = m_slots[i];
  if (!texture) return;
  m_slots[i] = nullptr;
  if (deleteName) {
    const GLuint name = texture->getName();
    glDeleteTextures(1, &name);
  }
  if (ResourceManager* manager = getGL3DServices()->resourceManager) manager->release(texture);
}

void GL3DTextureManager::release(GL3DTexture* texture) {
  if (!texture) return;
  bool held[kSlotCount] = {};
  for (int32_t i = 0; i < kSlotCount; ++i) held[i] = m_slots[i] && static_cast<GL3DTexture*>(m_slots[i]) == texture;
  for (int32_t i = 0; i < kSlotCount; ++i)
    if (held[i]) releaseSlot(i, true);
}

void GL3DTextureManager::releaseAll() {
  for (int32_t i = 0; i < kSlotCount; ++i) releaseSlot(i, true);
  m_count = 0;
}
