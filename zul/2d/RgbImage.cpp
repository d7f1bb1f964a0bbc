#include "zul/2d/RgbImage.h"

#include <cstring>

#include "zul/memory/Debug.h"
#include "zul/memory/Memory.h"

RgbImage::RgbImage() : Image(k_kindRgb) {}

RgbImage::RgbImage(uint32_t kind, void* pixels)
    : Image(kind), m_ownsPixels(0), m_pixels(static_cast<uint8_t*>(pixels)) {}

RgbImage::~RgbImage() { freePixels(); }

void RgbImage::setFromArgb(uint32_t* argb, int width, int height) {
  freePixels();
  m_bitsPerPixel = 32;
  m_flags = k_flagAlpha;
  m_key = -1;
  setDimensions(width, height, width * 4);
  m_pixels = reinterpret_cast<uint8_t*>(argb);
  m_ownsPixels = 1;
}

bool RgbImage::allocatePixels() {
  if (!KV_CHECK(m_pixels == nullptr, 77, "RgbImage")) return false;
  std::size_t size = static_cast<std::size_t>(m_height) * m_pitch;
  if (!KV_CHECK(size != 0, 81, "RgbImage")) return false;
  m_pixels = static_cast<uint8_t*>(memNewArray(size, "RgbImage", 84));
  if (!m_pixels) return false;
  std::memset(m_pixels, 0, size);
  m_ownsPixels = 1;
  return true;
}

void RgbImage::freePixels() {
  if (m_ownsPixels && m_pixels) {
    memDeleteArray(m_pixels);
  }
  if (m_ownsPixels) m_pixels = nullptr;
}
