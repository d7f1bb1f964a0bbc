// A texture resource: a Targa image uploaded as a GL texture of 16-bit
// texels, and the manager that shares one texture per resource id.
#pragma once

#include <cstdint>

#include "zul/resourcemanager/ResourceManager.h"

class Stream;

class GL3DTexture {
 public:
  static constexpr const char* kSource = "GL3DTexture";
  // Flag bit 0: loaded from a 32-bit true-colour image.
  static constexpr uint32_t kFlagTrueColour = 1;

  GL3DTexture() = default;
  virtual ~GL3DTexture();
  GL3DTexture(const GL3DTexture&) = delete;
  GL3DTexture& operator=(const GL3DTexture&) = delete;

  // Targa, read in place from a memory stream: type 2 (32-bit B, G, R, A, to
  // RGBA 4444) or type 1 (256 map entries of 24 bits, 8-bit indices, to RGB
  // 565, or RGBA 5551 when the map holds the key (255, 0, 255)). Square 32,
  // 64, 128 or 256; rows are uploaded in file order; an ID field is skipped.
  // Anything else, or a stream too short for its header, map and pixels, is
  // refused before any GL call. Closes the stream after the upload.
  bool loadTGA(Stream& stream);
  // Colour-mapped image of this layout (little-endian u32 fields through
  // readInt): width, height (square 32, 64, 128 or 256), colour count
  // (1 to 256); count entries of 4 bytes B, G, R, unused; one index byte per
  // pixel (each below the count), uploaded in file order. (255, 0, 255)
  // becomes transparent, every other colour opaque RGBA 5551.
  bool loadPalette(Stream& stream);

  void bind() const;

  uint32_t getName() const { return m_name; }
  uint32_t getFlags() const { return m_flags; }
  int32_t getId() const { return m_id; }
  void setId(int32_t id) { m_id = id; }

  // Texel conversions.
  static uint16_t toRgba4444(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    return static_cast<uint16_t>((r >> 4) << 12 | (g >> 4) << 8 | (b & 0xF0) | a >> 4);
  }
  // 0 is kept for nothing: black becomes 1.
  static uint16_t toRgb565(uint8_t r, uint8_t g, uint8_t b) {
    const uint16_t t = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | b >> 3);
    return t ? t : 1;
  }
  static uint16_t toRgba5551(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>((r >> 3) << 11 | (g >> 3) << 6 | (b >> 3) << 1 | 1);
  }
  static bool isKey(uint8_t r, uint8_t g, uint8_t b) { return r == 255 && g == 0 && b == 255; }
  static bool isTextureSize(int32_t size) { return size == 32 || size == 64 || size == 128 || size == 256; }

 private:
  // Generates the name and uploads size x size texels.
  void upload(int32_t size, uint32_t format, uint32_t type, const uint16_t* texels);

  uint32_t m_name = 0xFFFFFFFF;
  uint32_t m_flags = 0;
  int32_t m_id = -1;
};

// The resource loader of textures: the Targa loader.
bool loadManagedResource(ManagedResource<GL3DTexture>* record, ResourceManager& manager, Stream& stream);

// Up to 50 textures, one per resource id, fetched through the game's
// resource manager (the 3D services).
class GL3DTextureManager {
 public:
  static constexpr const char* kSource = "GL3DTextureManager";
  static constexpr int32_t kSlotCount = 50;

  GL3DTextureManager() = default;
  // Releases what the slots hold; the GL names are left alone.
  virtual ~GL3DTextureManager();
  GL3DTextureManager(const GL3DTextureManager&) = delete;
  GL3DTextureManager& operator=(const GL3DTextureManager&) = delete;

  // The texture of resource id, loaded on first use into the next slot (an
  // emptied slot once all 50 were used). Null when it cannot be loaded or no
  // slot is free.
  GL3DTexture* getTexture(int32_t id);
  // Deletes the GL name and releases the texture; its slot is not reused
  // until every slot was used. Null is ignored.
  void release(GL3DTexture* texture);
  // Deletes and releases everything; the slots start over.
  void releaseAll();

  int32_t getCount() const { return m_count; }
  GL3DTexture* getSlot(int32_t i) const { return i >= 0 && i < kSlotCount ? m_slots[i] : nullptr; }

 private:
  void releaseSlot(int32_t i, bool deleteName);

  int32_t m_count = 0;
  ManagedResource<GL3DTexture>* m_slots[kSlotCount] = {};
};
