// Readers of the image record (Image::load, IndexedImage, RgbImage).
#include <cstring>

#include "zul/2d/IndexedImage.h"
#include "zul/2d/RgbImage.h"
#include "zul/io/Stream.h"
#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"
#include "zul/memory/TrackedNew.h"

namespace {

bool readExact(Stream* s, void* buffer, int32_t count) { return count == 0 || s->read(buffer, count) == count; }

bool readU8(Stream* s, uint8_t& v) { return readExact(s, &v, 1); }

bool readI16(Stream* s, int& v) {
  uint8_t b[2];
  if (!readExact(s, b, 2)) return false;
  v = static_cast<int16_t>(static_cast<uint16_t>(b[0] | b[1] << 8));
  return true;
}

bool readI32(Stream* s, int32_t& v) {
  uint8_t b[4];
  if (!readExact(s, b, 4)) return false;
  v = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool validDepth(int bits) { return bits == 8 || bits == 16 || bits == 32; }

// Sizes the records may hold: positive, and a pitch that fits its 16-bit field.
bool validSize(int width, int height, int bits) {
  return width >= 1 && height >= 1 && imagePitch(width, bits) <= 0xFFFF;
}

}  // namespace

Image* Image::load(Stream* stream) {
  if (!stream) return nullptr;
  const int32_t start = stream->tell();
  uint8_t head[2];
  if (!readExact(stream, head, 2)) return nullptr;
  stream->seek(start, Stream::kSeekStart);
  const uint8_t flags = head[1];
  Image* image;
  if (flags & k_flagIndexed) {
    if (flags & k_flagRefused) {
      KV_CHECK(false, 32, "Image");
      KV_CHECK(false, 42, "Image");
      return nullptr;
    }
    image = new ("Image", 35, nullptr) IndexedImage(stream);
  } else {
    KV_CHECK(!(flags & k_flagRefused), 39, "Image");
    image = new ("Image", 40, nullptr) RgbImage(stream);
  }
  if (image && !image->getPixels()) {
    delete image;
    image = nullptr;
  }
  return image;
}

// ---- IndexedImage ----

IndexedImage::IndexedImage() : Image(k_kindIndexed) {}

IndexedImage::IndexedImage(int) : Image(k_kindIndexed) { KV_CHECK(false, 17, "IndexedImage"); }

IndexedImage::IndexedImage(Stream* stream) : Image(k_kindIndexed) {
  if (!stream || !read(stream)) release();
}

IndexedImage::~IndexedImage() { release(); }

void IndexedImage::unsupported() { KV_CHECK(false, 68, "IndexedImage"); }

void IndexedImage::release() {
  if (m_pixels) memDeleteArray(m_pixels);
  if (m_palette) memDeleteArray(m_palette);
  m_pixels = nullptr;
  m_palette = nullptr;
  m_colourCount = 0;
  m_flags = 0;
  m_key = -1;
  setDimensions(0, 0, 0);
}

bool IndexedImage::read(Stream* stream) {
  uint8_t bits, flags;
  int width, height, count;
  if (!readU8(stream, bits) || !readU8(stream, flags) || !readI16(stream, width) || !readI16(stream, height))
    return false;
  if (!validDepth(bits) || !validSize(width, height, bits)) return false;
  m_bitsPerPixel = bits;
  m_flags = flags;
  const int pitch = imagePitch(width, bits);
  if (flags & k_flagKeyed) {
    int32_t key;
    if (!readI32(stream, key)) return false;
    m_key = key;
  }
  if (!readI16(stream, count) || count < 0 || count > 256) return false;
  // Every 8-bit index (from any palette offset below the count) reads inside the palette.
  m_palette = static_cast<uint16_t*>(memNewArray(k_paletteStorage * sizeof(uint16_t), "IndexedImage", 32));
  if (!m_palette) return false;
  std::memset(m_palette, 0, k_paletteStorage * sizeof(uint16_t));
  if (count > 0) {
    auto* argb = static_cast<uint8_t*>(memNewArray(static_cast<std::size_t>(count) * 4, "IndexedImage", 34));
    if (!argb) return false;
    const bool ok = readExact(stream, argb, count * 4);
    for (int i = 0; ok && i < count; ++i) {
      const uint32_t c = static_cast<uint32_t>(argb[4 * i]) | static_cast<uint32_t>(argb[4 * i + 1]) << 8 |
                         static_cast<uint32_t>(argb[4 * i + 2]) << 16 | static_cast<uint32_t>(argb[4 * i + 3]) << 24;
      m_palette[i] = argbToRgb565(c);
    }
    memDeleteArray(argb);
    if (!ok) return false;
  }
  m_colourCount = static_cast<uint16_t>(count);
  const std::size_t size = static_cast<std::size_t>(pitch) * height;
  m_pixels = static_cast<uint8_t*>(memNewArray(size, "IndexedImage", 48));
  if (!m_pixels || !readExact(stream, m_pixels, static_cast<int32_t>(size))) return false;
  setDimensions(width, height, pitch);
  return true;
}

// ---- RgbImage ----

RgbImage::RgbImage(Stream* stream) : Image(k_kindRgb) {
  if (stream && read(stream)) return;
  freePixels();
  m_flags = 0;
  m_key = -1;
  setDimensions(0, 0, 0);
}

bool RgbImage::read(Stream* stream) {
  uint8_t bits, flags;
  int reserved, width, height;
  if (!readU8(stream, bits) || !readU8(stream, flags) || !readI16(stream, reserved) || !readI16(stream, width) ||
      !readI16(stream, height))
    return false;
  if (!validDepth(bits) || !validSize(width, height, bits)) return false;
  m_bitsPerPixel = bits;
  m_flags = flags;
  setDimensions(width, height, imagePitch(width, bits));
  if (!allocatePixels()) return false;
  return readExact(stream, m_pixels, static_cast<int32_t>(m_pitch) * m_height);
}
